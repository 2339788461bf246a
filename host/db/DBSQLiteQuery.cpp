// TSQLiteQuery: one SQL query on an SQLite file read into memory, and edits written back to the
// table row each record came from.
#include <sqlite3.h>

#include <charconv>
#include <climits>
#include <map>

#include "host/db/DB.h"
#include "host/sysutils/LateLibrary.h"

namespace vcl {
namespace {

// SQLite is opened by the first query: a program that reads no database never loads it.
// clang-format off
#define LUMIVEX_SQLITE(X)                                                                          \
    X(sqlite3_bind_blob64) X(sqlite3_bind_double) X(sqlite3_bind_int64) X(sqlite3_bind_null)       \
    X(sqlite3_bind_parameter_count) X(sqlite3_bind_text64) X(sqlite3_busy_timeout)                 \
    X(sqlite3_changes64) X(sqlite3_close_v2) X(sqlite3_column_blob) X(sqlite3_column_bytes)        \
    X(sqlite3_column_count) X(sqlite3_column_database_name) X(sqlite3_column_double)               \
    X(sqlite3_column_name) X(sqlite3_column_origin_name) X(sqlite3_column_table_name)              \
    X(sqlite3_column_text) X(sqlite3_column_type) X(sqlite3_errcode) X(sqlite3_errmsg)             \
    X(sqlite3_errstr) X(sqlite3_exec) X(sqlite3_finalize) X(sqlite3_open_v2)                       \
    X(sqlite3_prepare_v2) X(sqlite3_reset) X(sqlite3_step) X(sqlite3_stmt_readonly)
// clang-format on
struct TSqlite {
    LUMIVEX_SQLITE(LUMIVEX_LATE_FIELD)
};
const TSqlite& Sqlite() {
    return detail::LateApi<TSqlite>(
        [](TSqlite& Api) {
            return detail::OpenLateLibrary("libsqlite3.so.0", {LUMIVEX_SQLITE(LUMIVEX_LATE_ENTRY)});
        },
        [](const std::string& Why) { throw EDatabaseError("Cannot open SQLite: " + Why); });
}

struct TDatabaseCloser {
    void operator()(sqlite3* Db) const { Sqlite().sqlite3_close_v2(Db); }
};
struct TStatementFinalizer {
    void operator()(sqlite3_stmt* Stmt) const { Sqlite().sqlite3_finalize(Stmt); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TStatementFinalizer>;

// One connection for one open or one post: nothing is held between them, so no lock outlives
// the call that needed it.
class TConnection {
public:
    explicit TConnection(const std::string& FileName) : FFileName(FileName) {
        if (FileName.empty())
            throw EDatabaseError("No database file name given");
        if (FileName.find('\0') != std::string::npos)
            throw EDatabaseError("Database file name contains a NUL byte");
        // This SQLite reads "file:" names as URIs, whose options could create the file or
        // open another one; a plain path stays a plain path.
        const std::string path = FileName.rfind("file:", 0) == 0 ? "./" + FileName : FileName;
        sqlite3* db = nullptr;
        const int rc = Sqlite().sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        FDb.reset(db);
        if (rc != SQLITE_OK) {
            if (!db)
                Fail(Sqlite().sqlite3_errstr(rc));
            Fail();
        }
        Sqlite().sqlite3_busy_timeout(db, 5000);
    }

    sqlite3* Handle() const { return FDb.get(); }

    [[noreturn]] void Fail(const std::string& Msg) const {
        throw EDatabaseError(FFileName + ": " + Msg);
    }
    // The connection's own account of its last error.
    [[noreturn]] void Fail() const { Fail(Sqlite().sqlite3_errmsg(FDb.get())); }

    // Prepares the first statement of Sql; null when it holds none (blanks and comments).
    TStatement Prepare(std::string_view Sql, std::size_t& Used) const {
        if (Sql.size() > static_cast<std::size_t>(INT_MAX))
            Fail("the SQL text is too long");
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (Sqlite().sqlite3_prepare_v2(FDb.get(), Sql.data(), static_cast<int>(Sql.size()), &stmt,
                                        &tail) != SQLITE_OK)
            Fail();
        Used = tail ? static_cast<std::size_t>(tail - Sql.data()) : Sql.size();
        return TStatement(stmt);
    }

    void Exec(const char* Sql) const {
        if (Sqlite().sqlite3_exec(FDb.get(), Sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            Fail();
    }

    void BindText(sqlite3_stmt* Stmt, int Index, const TDataSet::Value& Value) const {
        const int rc = Value
                           ? Sqlite().sqlite3_bind_text64(Stmt, Index, Value->data(), Value->size(),
                                                          SQLITE_TRANSIENT, SQLITE_UTF8)
                           : Sqlite().sqlite3_bind_null(Stmt, Index);
        if (rc != SQLITE_OK)
            Fail();
    }

private:
    std::string FFileName;
    std::unique_ptr<sqlite3, TDatabaseCloser> FDb;
};

// Reals as the shortest text that reads back as the same number, so that nothing is lost
// between the value shown and the value matched.
std::string RealText(double Value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, Value);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".eEn") == std::string::npos)
        s += ".0";
    return s;
}

std::string ColumnBytes(sqlite3_stmt* Stmt, int Column, bool Blob) {
    const void* p = Blob ? Sqlite().sqlite3_column_blob(Stmt, Column)
                         : static_cast<const void*>(Sqlite().sqlite3_column_text(Stmt, Column));
    const int n = Sqlite().sqlite3_column_bytes(Stmt, Column);
    return p && n > 0 ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n))
                      : std::string();
}

std::string Quoted(const std::string& Identifier) {
    std::string q = "\"";
    for (char c : Identifier) {
        q += c;
        if (c == '"')
            q += '"';
    }
    return q + '"';
}

const char* OrEmpty(const char* S) {
    return S ? S : "";
}

} // namespace

TSQLiteQuery::TSQLiteQuery(TComponent* AOwner) : TDataSet(AOwner) {}

// The cursor goes with the query, which closes it first.
TSQLiteQuery::~TSQLiteQuery() {
    try {
        Close();
    } catch (...) {
    }
}

void TSQLiteQuery::SetDatabaseName(const std::string& Value) {
    CheckInactive();
    FDatabaseName = Value;
}

void TSQLiteQuery::SetSQL(const std::string& Value) {
    // Only an open query closes: while loading, Close would also forget a streamed Active.
    if (GetActive())
        Close();
    FSQL = Value;
}

void TSQLiteQuery::SetParams(std::vector<Value> Values) {
    FParams = std::move(Values);
}

struct TSQLiteQuery::TCursor {
    explicit TCursor(const std::string& FileName) : Db(FileName) {}
    TConnection Db;
    TStatement Stmt;
    std::vector<std::uint8_t> Types;
};

void TSQLiteQuery::PrepareQuery(TCursor& Cursor, std::vector<std::string>& Names) {
    const TConnection& db = Cursor.Db;
    // SQLite would stop reading at a NUL and quietly ignore whatever follows it.
    if (FSQL.find('\0') != std::string::npos)
        db.Fail("the SQL text contains a NUL byte");
    std::size_t used = 0;
    TStatement& stmt = Cursor.Stmt;
    stmt = db.Prepare(FSQL, used);
    if (!stmt)
        db.Fail("the SQL text holds no statement");
    for (std::string_view rest = std::string_view(FSQL).substr(used); !rest.empty();) {
        std::size_t more = 0;
        if (db.Prepare(rest, more))
            db.Fail("only one SQL statement may be given; more text follows the first");
        rest.remove_prefix(more ? more : rest.size());
    }
    if (!Sqlite().sqlite3_stmt_readonly(stmt.get()))
        db.Fail("the SQL must only read; this statement would change the database");
    const int columns = Sqlite().sqlite3_column_count(stmt.get());
    if (columns == 0)
        db.Fail("the SQL returns no columns");

    const int expected = Sqlite().sqlite3_bind_parameter_count(stmt.get());
    if (static_cast<std::size_t>(expected) != FParams.size())
        db.Fail("the SQL takes " + std::to_string(expected) + " parameter(s), " +
                std::to_string(FParams.size()) + " given");
    for (int i = 0; i < expected; ++i)
        db.BindText(stmt.get(), i + 1, FParams[static_cast<std::size_t>(i)]);

    std::vector<std::string> names;
    std::vector<TOrigin> origins;
    for (int c = 0; c < columns; ++c) {
        const char* name = Sqlite().sqlite3_column_name(stmt.get(), c);
        if (!name)
            db.Fail("out of memory");
        names.emplace_back(name);
        origins.push_back({OrEmpty(Sqlite().sqlite3_column_database_name(stmt.get(), c)),
                           OrEmpty(Sqlite().sqlite3_column_table_name(stmt.get(), c)),
                           OrEmpty(Sqlite().sqlite3_column_origin_name(stmt.get(), c))});
    }
    Names = std::move(names);
    FOrigins = std::move(origins);
}

namespace {

// The row the statement stands on into R, and each value's storage class into T.
void ReadRow(const TConnection& db, sqlite3_stmt* Stmt, TDataSet::Record& R,
             std::vector<std::uint8_t>& T) {
    const int columns = Sqlite().sqlite3_column_count(Stmt);
    R.assign(static_cast<std::size_t>(columns), std::nullopt);
    T.assign(static_cast<std::size_t>(columns), 0);
    for (int c = 0; c < columns; ++c) {
        const int type = Sqlite().sqlite3_column_type(Stmt, c);
        const auto i = static_cast<std::size_t>(c);
        T[i] = static_cast<std::uint8_t>(type);
        switch (type) {
        case SQLITE_NULL:
            break;
        case SQLITE_FLOAT:
            R[i] = RealText(Sqlite().sqlite3_column_double(Stmt, c));
            break;
        default:
            R[i] = ColumnBytes(Stmt, c, type == SQLITE_BLOB);
            if (Sqlite().sqlite3_errcode(db.Handle()) == SQLITE_NOMEM)
                db.Fail();
            break;
        }
    }
}

} // namespace

void TSQLiteQuery::InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) {
    TCursor cursor(FDatabaseName);
    std::vector<std::string> names;
    PrepareQuery(cursor, names);
    const TConnection& db = cursor.Db;
    const TStatement& stmt = cursor.Stmt;
    std::vector<Record> records;
    std::vector<std::vector<std::uint8_t>> types;
    for (;;) {
        const int rc = Sqlite().sqlite3_step(stmt.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            db.Fail();
        Record r;
        std::vector<std::uint8_t> t;
        ReadRow(db, stmt.get(), r, t);
        records.push_back(std::move(r));
        types.push_back(std::move(t));
    }
    Names = std::move(names);
    Records = std::move(records);
    FTypes = std::move(types);
}

std::int64_t TSQLiteQuery::InternalOpenCursor(std::vector<std::string>& Names) {
    auto cursor = std::make_unique<TCursor>(FDatabaseName);
    // The read lock that this takes is held until the dataset closes: the price of reading
    // forward. The count and the rows come from the same snapshot.
    cursor->Db.Exec("BEGIN");
    PrepareQuery(*cursor, Names);
    std::int64_t count = 0;
    for (;;) {
        const int rc = Sqlite().sqlite3_step(cursor->Stmt.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            cursor->Db.Fail();
        ++count;
    }
    // The bindings stay.
    if (Sqlite().sqlite3_reset(cursor->Stmt.get()) != SQLITE_OK)
        cursor->Db.Fail();
    FCursor = std::move(cursor);
    return count;
}

bool TSQLiteQuery::InternalFetch(Record& Next) {
    if (!FCursor)
        return false;
    const int rc = Sqlite().sqlite3_step(FCursor->Stmt.get());
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        FCursor->Db.Fail();
    ReadRow(FCursor->Db, FCursor->Stmt.get(), Next, FCursor->Types);
    return true;
}

// Closing the connection ends the read transaction with it.
void TSQLiteQuery::InternalCloseCursor() {
    FCursor.reset();
}

void TSQLiteQuery::InternalPost(int RecNo, const Record& Original, const Record& Changed) {
    const auto row = static_cast<std::size_t>(RecNo - 1);
    // The changed columns, by the table they came from, in the order the tables first appear.
    std::vector<std::pair<std::string, std::string>> tables; // (database, table)
    std::map<std::pair<std::string, std::string>, std::vector<std::size_t>> changedIn;
    for (std::size_t c = 0; c < Changed.size(); ++c) {
        if (Changed[c] == Original[c])
            continue;
        const TOrigin& o = FOrigins[c];
        if (o.Table.empty() || o.Column.empty())
            throw EDatabaseError(FDatabaseName + ": field '" +
                                 GetField(static_cast<int>(c)).GetFieldName() +
                                 "' is computed by the query, not read from a table column; it "
                                 "cannot be changed");
        auto& list = changedIn[{o.Database, o.Table}];
        if (list.empty())
            tables.emplace_back(o.Database, o.Table);
        list.push_back(c);
    }
    if (tables.empty())
        return;

    const TConnection db(FDatabaseName);
    db.Exec("SAVEPOINT lumivex_post");
    try {
        for (const auto& table : tables) {
            std::string set, where;
            std::map<std::string, std::size_t> setColumn; // origin column -> result column
            for (std::size_t c : changedIn[table]) {
                const std::string& column = FOrigins[c].Column;
                if (auto it = setColumn.find(column); it != setColumn.end()) {
                    if (Changed[it->second] != Changed[c])
                        db.Fail("fields '" + GetField(static_cast<int>(it->second)).GetFieldName() +
                                "' and '" + GetField(static_cast<int>(c)).GetFieldName() +
                                "' give column " + column + " two different values");
                    continue;
                }
                setColumn[column] = c;
                set += (set.empty() ? "" : ", ") + Quoted(column) + " = ?";
            }
            std::vector<std::size_t> matched; // every column of this row the query read
            for (std::size_t c = 0; c < FOrigins.size(); ++c)
                if (FOrigins[c].Database == table.first && FOrigins[c].Table == table.second &&
                    !FOrigins[c].Column.empty()) {
                    where += (where.empty() ? "" : " AND ") + Quoted(FOrigins[c].Column) + " IS ?";
                    matched.push_back(c);
                }
            const std::string sql = "UPDATE " + Quoted(table.first) + "." + Quoted(table.second) +
                                    " SET " + set + " WHERE " + where;
            std::size_t used = 0;
            const TStatement stmt = db.Prepare(sql, used);
            int index = 1;
            for (std::size_t c : changedIn[table])
                if (setColumn[FOrigins[c].Column] == c)
                    db.BindText(stmt.get(), index++, Changed[c]);
            for (std::size_t c : matched) {
                const TDataSet::Value& v = Original[c];
                int rc = SQLITE_OK;
                switch (FTypes[row][c]) {
                case SQLITE_NULL:
                    rc = Sqlite().sqlite3_bind_null(stmt.get(), index);
                    break;
                case SQLITE_INTEGER: {
                    std::int64_t n = 0;
                    std::from_chars(v->data(), v->data() + v->size(), n);
                    rc = Sqlite().sqlite3_bind_int64(stmt.get(), index, n);
                    break;
                }
                case SQLITE_FLOAT: {
                    double d = 0;
                    std::from_chars(v->data(), v->data() + v->size(), d);
                    rc = Sqlite().sqlite3_bind_double(stmt.get(), index, d);
                    break;
                }
                case SQLITE_BLOB:
                    rc = Sqlite().sqlite3_bind_blob64(stmt.get(), index, v->data(), v->size(),
                                                      SQLITE_TRANSIENT);
                    break;
                default:
                    db.BindText(stmt.get(), index, v);
                    break;
                }
                if (rc != SQLITE_OK)
                    db.Fail();
                ++index;
            }
            if (Sqlite().sqlite3_step(stmt.get()) != SQLITE_DONE)
                db.Fail();
            const auto changes = Sqlite().sqlite3_changes64(db.Handle());
            if (changes == 0)
                db.Fail("the record was changed or deleted by another user");
            if (changes > 1)
                db.Fail("the record matches more than one row of table " + table.second +
                        "; nothing was written");
        }
        db.Exec("RELEASE lumivex_post");
    } catch (...) {
        // Closing the connection would roll back too; saying so keeps the intent plain.
        Sqlite().sqlite3_exec(db.Handle(), "ROLLBACK TO lumivex_post; RELEASE lumivex_post",
                              nullptr, nullptr, nullptr);
        throw;
    }
    // The row now holds the text that was bound, converted by the column's affinity when it
    // has one; matching that text again finds it either way.
    for (std::size_t c = 0; c < Changed.size(); ++c)
        if (Changed[c] != Original[c])
            FTypes[row][c] = Changed[c] ? SQLITE_TEXT : SQLITE_NULL;
}

const TClassInfo& TSQLiteQuery::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TSQLiteQuery", &TDataSet::StaticClassInfo(), &CreateComponent<TSQLiteQuery>);
        c.String<TSQLiteQuery, const std::string&>("DatabaseName", &TSQLiteQuery::GetDatabaseName,
                                                   &TSQLiteQuery::SetDatabaseName);
        c.String<TSQLiteQuery, const std::string&>("SQL", &TSQLiteQuery::GetSQL,
                                                   &TSQLiteQuery::SetSQL);
        return c;
    }();
    return info;
}

} // namespace vcl
