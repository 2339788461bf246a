// Fields and the dataset: the cursor over the records in memory, editing, and the events it
// sends to its data sources.
#include "host/db/DB.h"

#include <algorithm>
#include <cstdint>

namespace vcl {

// ---- fields ----

TField::TField(TDataSet& DataSet, std::string FieldName, int Index)
    : FDataSet(&DataSet), FFieldName(std::move(FieldName)), FIndex(Index) {}

const std::optional<std::string>* TField::CurrentValue() const {
    const TDataSet& d = *FDataSet;
    const auto i = static_cast<std::size_t>(FIndex);
    // A link may hold a field of a cursor closed while controls were disabled; it reads as
    // null rather than as a column of whatever was opened since.
    if (d.FState == dsInactive || FIndex < 0 || i >= d.FFields.size() ||
        d.FFields[i].get() != this || d.FCurrent < 0)
        return nullptr;
    return &d.FRecords[static_cast<std::size_t>(d.FCurrent)][i];
}

bool TField::IsNull() const {
    const auto* v = CurrentValue();
    return !v || !*v;
}

std::string TField::GetAsString() const {
    const auto* v = CurrentValue();
    return v && *v ? **v : std::string();
}

void TField::SetAsString(const std::string& Value) {
    Store(Value);
}

void TField::Clear() {
    Store(std::nullopt);
}

void TField::Store(std::optional<std::string> Value) {
    TDataSet& d = *FDataSet;
    if (d.FState != dsEdit)
        d.Fail("Dataset not in edit or insert mode");
    if (!CurrentValue())
        d.Fail("Field '" + FFieldName + "' is no longer part of the dataset");
    d.FRecords[static_cast<std::size_t>(d.FCurrent)][static_cast<std::size_t>(FIndex)] =
        std::move(Value);
    d.DataEvent(deFieldChange, this);
}

// ---- the dataset ----

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
    // Links must let go of the fields now, however deeply controls were disabled; and a
    // destructor cannot pass on what a control's handler raises.
    FDisableCount = 0;
    try {
        DoClose();
    } catch (...) {
    }
    while (!FDataSources.empty()) {
        TDataSource* s = FDataSources.back();
        try {
            s->SetDataSet(nullptr);
        } catch (...) {
        }
        std::erase(FDataSources, s);
        if (s->FDataSet == this)
            s->FDataSet = nullptr;
    }
}

void TDataSet::Fail(const std::string& Msg) const {
    const std::string name = GetName();
    throw EDatabaseError(name.empty() ? Msg : name + ": " + Msg);
}

void TDataSet::CheckActive() const {
    if (FState == dsInactive)
        Fail("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive() const {
    if (FState != dsInactive)
        Fail("Cannot perform this operation on an open dataset");
}

void TDataSet::Open() {
    SetActive(true);
}

void TDataSet::Close() {
    SetActive(false);
}

void TDataSet::SetActive(bool Value) {
    // The form loader may set Active before the file name or the SQL; Loaded opens.
    if (InState(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    if (Value == GetActive())
        return;
    if (Value)
        DoOpen();
    else
        DoClose();
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        SetActive(true);
    }
}

void TDataSet::SetUniDirectional(bool Value) {
    CheckInactive();
    FUniDirectional = Value;
}

std::int64_t TDataSet::InternalOpenCursor(std::vector<std::string>&) {
    Fail("This dataset cannot be read unidirectionally");
}

bool TDataSet::InternalFetch(Record&) {
    return false;
}

void TDataSet::CheckBiDirectional() const {
    if (FUniDirectional)
        Fail("Operation not allowed on a unidirectional dataset");
}

void TDataSet::DoOpenUniDirectional() {
    std::vector<std::string> names;
    const std::int64_t count = InternalOpenCursor(names);
    std::vector<Record> records;
    try {
        if (count > INT32_MAX)
            Fail("More records than a dataset can count");
        Record first;
        if (count > 0) {
            if (!InternalFetch(first) || first.size() != names.size())
                Fail("The data changed while it was read");
            records.push_back(std::move(first));
        }
    } catch (...) {
        InternalCloseCursor();
        throw;
    }
    FFields.clear();
    for (std::size_t i = 0; i < names.size(); ++i)
        FFields.push_back(std::make_unique<TField>(*this, names[i], static_cast<int>(i)));
    FRecords = std::move(records);
    FCount = count;
    FPassed = 0;
    FCurrent = FRecords.empty() ? -1 : 0;
    FBof = true;
    FEof = FRecords.empty();
    SetState(dsBrowse);
}

void TDataSet::DoOpen() {
    if (FUniDirectional) {
        DoOpenUniDirectional();
        return;
    }
    std::vector<std::string> names;
    std::vector<Record> records;
    InternalOpen(names, records);
    for (const Record& r : records)
        if (r.size() != names.size())
            Fail("A record does not hold one value per field");
    FFields.clear();
    for (std::size_t i = 0; i < names.size(); ++i)
        FFields.push_back(std::make_unique<TField>(*this, names[i], static_cast<int>(i)));
    FRecords = std::move(records);
    FCurrent = FRecords.empty() ? -1 : 0;
    FBof = true;
    FEof = FRecords.empty();
    SetState(dsBrowse);
}

void TDataSet::DoClose() {
    if (FState == dsInactive)
        return;
    // The fields outlive the event that tells the links they are gone.
    for (auto& f : FFields)
        FRetiredFields.push_back(std::move(f));
    FFields.clear();
    std::vector<Record>().swap(FRecords);
    FEditBuffer.clear();
    if (FUniDirectional) {
        FFetched.clear();
        FPassed = FCount = 0;
        InternalCloseCursor();
    }
    FCurrent = -1;
    FBof = FEof = true;
    SetState(dsInactive);
    if (FDisableCount == 0)
        FRetiredFields.clear();
}

void TDataSet::SetState(TDataSetState Value) {
    if (FState == Value)
        return;
    FState = Value;
    DataEvent(deUpdateState, nullptr);
}

void TDataSet::DataEvent(TDataEvent Event, const TField* Info) {
    if (FDisableCount > 0) {
        FMissedChange = true;
        if (Event == deLayoutChange || (Event == deUpdateState && FState == dsInactive))
            FMissedLayout = true;
        return;
    }
    // A handler may detach data sources; each is told only while it is still attached.
    const std::vector<TDataSource*> sources = FDataSources;
    for (TDataSource* s : sources)
        if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end())
            s->DataEvent(Event, Info);
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FMissedChange = false;
        FMissedLayout = false;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0 || --FDisableCount > 0)
        return;
    const bool missed = FMissedChange;
    const bool layout = FMissedLayout;
    FMissedChange = FMissedLayout = false;
    if (FState != FDisableState)
        DataEvent(deUpdateState, nullptr);
    // A link that went active or inactive above has already looked at the data again.
    if (missed && FDisableState != dsInactive && FState != dsInactive)
        DataEvent(layout ? deLayoutChange : deDataSetChange, nullptr);
    if (FDisableCount == 0)
        FRetiredFields.clear();
}

// ---- the cursor ----

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (FState == dsEdit) {
        if (FRecords[static_cast<std::size_t>(FCurrent)] != FEditBuffer)
            Post();
        else
            Cancel();
    }
}

void TDataSet::MoveTo(std::int64_t Index) {
    if (Index == FCurrent)
        return;
    FCurrent = Index;
    DataEvent(deDataSetScroll, nullptr);
}

void TDataSet::First() {
    CheckBrowseMode();
    // Standing on the first record is the one place a unidirectional dataset can go first.
    if (FUniDirectional && FPassed > 0)
        CheckBiDirectional();
    FBof = true;
    FEof = FRecords.empty();
    MoveTo(FRecords.empty() ? -1 : 0);
}

void TDataSet::Last() {
    CheckBrowseMode();
    CheckBiDirectional();
    FBof = FRecords.empty();
    FEof = true;
    MoveTo(static_cast<std::int64_t>(FRecords.size()) - 1);
}

void TDataSet::Next() {
    MoveBy(1);
}

void TDataSet::Prior() {
    MoveBy(-1);
}

int TDataSet::MoveBy(int Distance) {
    CheckBrowseMode();
    if (FUniDirectional) {
        if (Distance < 0)
            CheckBiDirectional();
        return MoveForward(Distance);
    }
    if (Distance == 0 || (Distance > 0 && FEof) || (Distance < 0 && FBof))
        return 0;
    // Bof and Eof mean that a move tried to go past an end, not that the cursor stands on it.
    FBof = FEof = false;
    const auto count = static_cast<std::int64_t>(FRecords.size());
    std::int64_t target = FCurrent + Distance;
    if (target >= count) {
        target = count - 1;
        FEof = true;
    }
    if (target < 0) {
        target = count > 0 ? 0 : -1;
        FBof = true;
    }
    const auto moved = static_cast<int>(target - FCurrent);
    MoveTo(target);
    return moved;
}

// The one record held is replaced by the next; the count taken at open is the end, so that the
// dataset never holds more records than it said it would.
int TDataSet::MoveForward(int Distance) {
    if (Distance <= 0 || FEof)
        return 0;
    FBof = false;
    int moved = 0;
    while (moved < Distance) {
        if (FPassed + 1 >= FCount) {
            FEof = true;
            break;
        }
        if (!InternalFetch(FFetched) || FFetched.size() != FFields.size())
            Fail("The data changed while it was read");
        std::swap(FRecords.front(), FFetched);
        ++FPassed;
        ++moved;
    }
    if (moved > 0)
        DataEvent(deDataSetScroll, nullptr);
    return moved;
}

int TDataSet::GetRecNo() const {
    if (FState == dsInactive || FCurrent < 0)
        return 0;
    return static_cast<int>(FPassed + FCurrent + 1);
}

void TDataSet::SetRecNo(int Value) {
    CheckBrowseMode();
    if (Value < 1 || Value > GetRecordCount())
        Fail("Record number " + std::to_string(Value) + " is out of range (1 to " +
             std::to_string(GetRecordCount()) + ")");
    if (Value == GetRecNo())
        return;
    if (FUniDirectional) {
        if (Value < GetRecNo())
            CheckBiDirectional();
        MoveForward(Value - GetRecNo());
        return;
    }
    FBof = FEof = false;
    MoveTo(Value - 1);
}

int TDataSet::GetRecordCount() const {
    CheckActive();
    if (FUniDirectional)
        return static_cast<int>(FCount);
    return static_cast<int>(FRecords.size());
}

// ---- fields by name ----

TField& TDataSet::GetField(int Index) const {
    if (Index < 0 || Index >= GetFieldCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return *FFields[static_cast<std::size_t>(Index)];
}

TField* TDataSet::FindField(const std::string& FieldName) const {
    for (const auto& f : FFields)
        if (SameText(f->GetFieldName(), FieldName))
            return f.get();
    return nullptr;
}

TField& TDataSet::FieldByName(const std::string& FieldName) const {
    if (TField* f = FindField(FieldName))
        return *f;
    Fail("Field '" + FieldName + "' not found");
}

// ---- editing ----

void TDataSet::Edit() {
    CheckActive();
    CheckBiDirectional();
    if (FState == dsEdit)
        return;
    if (FCurrent < 0)
        Fail("Cannot edit an empty dataset");
    FEditBuffer = FRecords[static_cast<std::size_t>(FCurrent)];
    SetState(dsEdit);
    DataEvent(deRecordChange, nullptr);
}

void TDataSet::Post() {
    CheckActive();
    if (FState != dsEdit)
        return;
    InternalPost(static_cast<int>(FCurrent + 1), FEditBuffer,
                 FRecords[static_cast<std::size_t>(FCurrent)]);
    FEditBuffer.clear();
    SetState(dsBrowse);
    DataEvent(deDataSetChange, nullptr);
}

void TDataSet::Cancel() {
    if (FState != dsEdit)
        return;
    FRecords[static_cast<std::size_t>(FCurrent)] = std::move(FEditBuffer);
    FEditBuffer.clear();
    SetState(dsBrowse);
    DataEvent(deDataSetChange, nullptr);
}

void TDataSet::InternalPost(int, const Record&, const Record&) {}

const TClassInfo& TDataSet::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TDataSet", &TComponent::StaticClassInfo());
        // Streamed in, it takes effect in Loaded, once the descendant's own settings are read.
        c.Ordinal<TDataSet, bool>("Active", BooleanType(), &TDataSet::GetActive,
                                  &TDataSet::SetActive)
            .Default = 0;
        return c;
    }();
    return info;
}

} // namespace vcl
