#pragma once
// Data access: datasets with a cursor, fields, data sources and data links.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/classes/Classes.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

class EDatabaseError : public Exception {
    using Exception::Exception;
};

class TDataSet;
class TDataSource;
class TDataLink;

enum TDataSetState : std::uint8_t { dsInactive, dsBrowse, dsEdit, dsInsert };

enum TDataEvent : std::uint8_t {
    deFieldChange,   // a field's value changed (Info: the field)
    deRecordChange,  // the current record changed in place (Info: a field or null)
    deDataSetChange, // the records changed as a whole (opened, posted, cancelled)
    deDataSetScroll, // the cursor moved
    deLayoutChange,  // the fields changed
    deUpdateState,   // the state changed
};

// The message a data-aware control answers with its data link.
inline constexpr unsigned CM_GETDATALINK = 0xB02D;

class TField {
public:
    TField(TDataSet& DataSet, std::string FieldName, int Index);

    const std::string& GetFieldName() const { return FFieldName; }
    int GetIndex() const { return FIndex; }
    TDataSet& GetDataSet() const { return *FDataSet; }

    bool IsNull() const;
    // The value as text; a null value is the empty string.
    std::string GetAsString() const;
    // What a control shows: the text of the value.
    std::string GetDisplayText() const { return GetAsString(); }
    // Only while the dataset is in dsEdit; else EDatabaseError.
    void SetAsString(const std::string& Value);
    void Clear();

private:
    // The value in the current record, or null when the dataset is closed, has no current
    // record or this field belongs to a cursor that was closed since.
    const std::optional<std::string>* CurrentValue() const;
    void Store(std::optional<std::string> Value);

    TDataSet* FDataSet;
    std::string FFieldName;
    int FIndex;
};

// A dataset holds its records in memory once opened; subclasses say where they come from and
// where edits go. Every change is told to the data sources that use it, unless controls are
// disabled. A unidirectional one (as the framework's SQL datasets are) holds only the current
// record: it reads forward, is read-only, and refuses to move back.
class TDataSet : public TComponent {
public:
    using Value = std::optional<std::string>; // nullopt: NULL
    using Record = std::vector<Value>;

    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    void Open();
    void Close();
    bool GetActive() const { return FState != dsInactive; }
    void SetActive(bool Value);
    TDataSetState GetState() const { return FState; }
    bool GetUniDirectional() const { return FUniDirectional; }
    // Only while closed. A dataset that cannot read that way refuses to open.
    void SetUniDirectional(bool Value);

    void First();
    void Next();
    void Prior();
    void Last();
    // Moves up to Distance records (negative: back) and returns how far it went.
    int MoveBy(int Distance);
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    // 1-based; 0 when there is no current record.
    int GetRecNo() const;
    void SetRecNo(int Value);
    int GetRecordCount() const;

    int GetFieldCount() const { return static_cast<int>(FFields.size()); }
    TField& GetField(int Index) const;
    TField* FindField(const std::string& FieldName) const;
    // EDatabaseError "Field 'X' not found" when there is none.
    TField& FieldByName(const std::string& FieldName) const;

    void Edit();
    // Writes the edited record through InternalPost; if that fails the edit stays open and
    // nothing is changed.
    void Post();
    void Cancel();

    void DisableControls();
    // Tells the data sources of the changes they missed.
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // Opens the dataset if Active was streamed in as true.
    void Loaded() override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    // Fills Names and Records; raises on failure (the dataset stays closed).
    virtual void InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) = 0;
    // Writes a changed record; Original is the record before the edit. Raises on failure,
    // having changed nothing.
    virtual void InternalPost(int RecNo, const Record& Original, const Record& Changed);
    // A unidirectional read: the names, and how many records the cursor holds (counted, since
    // the records are read only as the cursor moves); then one record per fetch, false past the
    // last. The base class reads no dataset that way.
    virtual std::int64_t InternalOpenCursor(std::vector<std::string>& Names);
    virtual bool InternalFetch(Record& Next);
    virtual void InternalCloseCursor() {}
    // The records held in memory: all of them, or the current one of a unidirectional dataset.
    int GetBufferCount() const { return static_cast<int>(FRecords.size()); }
    // Throws unless the dataset is open.
    void CheckActive() const;
    void CheckInactive() const;

private:
    friend class TField;
    friend class TDataSource;
    friend class TFieldDataLink;
    void DataEvent(TDataEvent Event, const TField* Info);
    void SetState(TDataSetState Value);
    void CheckBrowseMode();
    void MoveTo(std::int64_t Index);
    void DoOpen();
    void DoOpenUniDirectional();
    void DoClose();
    // Refuses a move back (or an edit) of a unidirectional dataset.
    void CheckBiDirectional() const;
    int MoveForward(int Distance);
    // EDatabaseError prefixed with the dataset's name, as the framework words it.
    [[noreturn]] void Fail(const std::string& Msg) const;

    TDataSetState FState = dsInactive;
    std::vector<std::unique_ptr<TField>> FFields;
    std::vector<Record> FRecords;
    std::int64_t FCurrent = -1; // index of the current record
    bool FUniDirectional = false;
    // Unidirectional: the records passed before the one held, and the count at open.
    std::int64_t FPassed = 0;
    std::int64_t FCount = 0;
    Record FFetched;
    bool FEof = true;
    bool FBof = true;
    Record FEditBuffer; // the record as it was when the edit began
    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive; // the state when controls were disabled
    bool FMissedChange = false;
    bool FMissedLayout = false; // the fields were replaced while controls were disabled
    // Fields of a closed cursor that links may still point at until they are told.
    std::vector<std::unique_ptr<TField>> FRetiredFields;
    bool FStreamedActive = false;
    std::vector<TDataSource*> FDataSources;
};

// Connects data-aware controls, through their links, to a dataset.
class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    TDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The dataset's state, or dsInactive when there is none or the source is disabled.
    TDataSetState GetState() const;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, const TField* Info);

    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    std::vector<TDataLink*> FDataLinks;
};

// The connection of one control to a data source.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* GetDataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    // A fixed data source cannot be changed through SetDataSource.
    bool GetDataSourceFixed() const { return FDataSourceFixed; }
    void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
    TDataSet* GetDataSet() const;
    // The data source is enabled and its dataset open.
    bool GetActive() const { return FActive; }
    bool GetEditing() const { return FEditing; }

    // Carries out a dataset action meant for this link's dataset.
    virtual bool ExecuteAction(TBasicAction& Action);
    virtual bool UpdateAction(TBasicAction& Action);

protected:
    virtual void ActiveChanged() {}
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int) { DataSetChanged(); }
    virtual void RecordChanged(const TField*) {}

private:
    friend class TDataSource;
    void DataEvent(TDataEvent Event, const TField* Info);
    void UpdateState();

    TDataSource* FDataSource = nullptr;
    bool FDataSourceFixed = false;
    bool FActive = false;
    bool FEditing = false;
};

// The link of a control that shows one field: it finds the field by name and raises
// OnDataChange on a record move, a field edit, a change of state and a change of field.
class TFieldDataLink : public TDataLink {
public:
    TComponent* GetControl() const { return FControl; }
    void SetControl(TComponent* Value) { FControl = Value; }
    const std::string& GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // Null when there is no such field or the dataset is closed.
    TField* GetField() const { return FField; }

    std::function<void(TFieldDataLink&)> OnDataChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(const TField* Field) override;

private:
    // Looks the field up again; true when it changed (and the change was reported).
    bool UpdateField();
    // Raises OnDataChange, or leaves it to EnableControls while the dataset's controls are
    // disabled.
    void DataChange();

    TComponent* FControl = nullptr;
    std::string FFieldName;
    TField* FField = nullptr;
};

// ---- datasets ----

// The rows of an SQL query on an SQLite database file. Parameters are always bound, never
// spliced into the SQL. An edited record is written back to its table row, matched by all of
// its original values, inside a savepoint: exactly one row changes or nothing does.
class TSQLiteQuery : public TDataSet {
public:
    explicit TSQLiteQuery(TComponent* AOwner);
    ~TSQLiteQuery() override;

    const std::string& GetDatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const std::string& Value);
    const std::string& GetSQL() const { return FSQL; }
    void SetSQL(const std::string& Value);
    // Values for ?1, ?2, ... (or ? in order); nullopt binds NULL.
    void SetParams(std::vector<Value> Values);

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    void InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) override;
    void InternalPost(int RecNo, const Record& Original, const Record& Changed) override;
    // One connection and one statement, held while open, inside a read transaction so that the
    // count and the rows see the same database.
    std::int64_t InternalOpenCursor(std::vector<std::string>& Names) override;
    bool InternalFetch(Record& Next) override;
    void InternalCloseCursor() override;

private:
    struct TCursor;
    // Prepares the query on the cursor's connection, binds its parameters, and reads its
    // columns' names and origins.
    void PrepareQuery(TCursor& Cursor, std::vector<std::string>& Names);
    std::unique_ptr<TCursor> FCursor;
    std::string FDatabaseName;
    std::string FSQL;
    std::vector<Value> FParams;
    // Where each column comes from, as SQLite reports it; all empty for an expression.
    struct TOrigin {
        std::string Database, Table, Column;
    };
    std::vector<TOrigin> FOrigins;
    // The storage class (SQLITE_INTEGER, ...) of every value read, by record and column, so
    // that a row is matched by the values it holds rather than by their text.
    std::vector<std::vector<std::uint8_t>> FTypes;
};

// The records of a CSV file (RFC 4180: quoted fields, embedded commas, quotes and line breaks;
// the first row names the fields; UTF-8 with or without a byte-order mark). Edits stay in
// memory. Unidirectional, the file is read twice in blocks, once to check and count it and once
// record by record, so any size takes the same memory.
class TCSVDataSet : public TDataSet {
public:
    explicit TCSVDataSet(TComponent* AOwner);
    ~TCSVDataSet() override;

    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value);

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Larger files are refused rather than read.
    static constexpr std::size_t MaxFileBytes = std::size_t{64} << 20;
    // What the parsed records may take in memory: every value costs its slot (and its bytes
    // past the short-string buffer), every record its vector. A file of many tiny values would
    // otherwise take some forty times its size.
    static constexpr std::size_t MaxRecordBytes = std::size_t{192} << 20;

    // Parses CSV text; raises EDatabaseError naming Source and the line of the first fault, or
    // saying which bound above the text passes.
    static void Parse(const std::string& Text, const std::string& Source,
                      std::vector<std::string>& Names, std::vector<Record>& Records);

protected:
    void InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) override;
    void InternalPost(int RecNo, const Record& Original, const Record& Changed) override;
    std::int64_t InternalOpenCursor(std::vector<std::string>& Names) override;
    bool InternalFetch(Record& Next) override;
    void InternalCloseCursor() override;

private:
    struct TCursor;
    std::unique_ptr<TCursor> FCursor;
    std::string FFileName;
};

// The types of properties that refer to a dataset or a data source by name.
const TTypeInfo& DataSetType();
const TTypeInfo& DataSourceType();

// Registers TDataSource, TSQLiteQuery, TCSVDataSet and TLineDataSet with the class registry.
void RegisterDBClasses();

} // namespace vcl
