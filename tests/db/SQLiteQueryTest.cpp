// TSQLiteQuery on real files: values read, parameters bound, edits written to exactly one row
// or not at all, and every fault named with its file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/db/DB.h"
#include "tests/db/DbTesting.h"

namespace vcl {
namespace {

using TRows = std::vector<std::string>;

class SQLiteQuery : public ::testing::Test {
protected:
    SQLiteQuery() {
        File.Exec("CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT, code TEXT, qty INTEGER);"
                  "INSERT INTO items VALUES (1, 'alpha', 'A1', 3), (2, 'beta', 'B2', 5),"
                  " (3, 'gamma', 'C3', 7);");
        Query.SetDatabaseName(Db);
    }

    TRows Items() { return File.Rows("SELECT id, name, code, qty FROM items ORDER BY id"); }

    dbtest::TTempDir Dir;
    std::string Db = Dir.Path("shop.db");
    dbtest::TSqlFile File{Db};
    TSQLiteQuery Query{nullptr};
};

TEST_F(SQLiteQuery, ReadsEveryStorageClassAsText) {
    File.Exec("CREATE TABLE vals(k INTEGER, v)");
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(File.Handle(), "INSERT INTO vals VALUES (?, ?)", -1, &stmt, nullptr),
        SQLITE_OK);
    const std::string blob("\0\x01\xff", 3);
    const std::function<void()> binders[] = {
        [&] {
            sqlite3_bind_text(stmt, 2,
                              "Gr\xc3\xbc\xc3\x9f"
                              "e",
                              -1, SQLITE_TRANSIENT);
        },
        [&] { sqlite3_bind_int64(stmt, 2, -9007199254740993LL); },
        [&] { sqlite3_bind_double(stmt, 2, 0.1 + 0.2); },
        [&] { sqlite3_bind_double(stmt, 2, 1.0); },
        [&] { sqlite3_bind_blob(stmt, 2, blob.data(), 3, SQLITE_TRANSIENT); },
        [&] { sqlite3_bind_null(stmt, 2); },
        [&] { sqlite3_bind_text(stmt, 2, "", 0, SQLITE_TRANSIENT); },
    };
    int k = 0;
    for (const auto& bind : binders) {
        sqlite3_bind_int(stmt, 1, ++k);
        bind();
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_DONE);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);

    const struct {
        std::string Text;
        bool Null;
        const char* Note;
    } expected[] = {
        {"Gr\xc3\xbc\xc3\x9f"
         "e",
         false, "UTF-8 text, byte for byte"},
        {"-9007199254740993", false, "an integer beyond a double's precision"},
        {"0.30000000000000004", false, "a real as the shortest text that reads back the same"},
        {"1.0", false, "a whole real keeps its point"},
        {blob, false, "a BLOB's bytes, NUL included"},
        {"", true, "NULL"},
        {"", false, "an empty text is not NULL"},
    };
    Query.SetSQL("SELECT v FROM vals ORDER BY k");
    Query.Open();
    ASSERT_EQ(Query.GetRecordCount(), static_cast<int>(std::size(expected)));
    for (const auto& e : expected) {
        const TField& v = Query.FieldByName("v");
        EXPECT_EQ(v.GetAsString(), e.Text) << e.Note;
        EXPECT_EQ(v.IsNull(), e.Null) << e.Note;
        Query.Next();
    }
}

TEST_F(SQLiteQuery, ParametersAreBoundNeverSpliced) {
    const std::string hostile = "'; DROP TABLE items; --";
    Query.SetSQL("SELECT id, name FROM items WHERE name = ?1 OR id = ?2");
    Query.SetParams({hostile, "2"});
    Query.Open();
    ASSERT_EQ(Query.GetRecordCount(), 1);
    EXPECT_EQ(Query.FieldByName("name").GetAsString(), "beta");

    Query.Edit();
    Query.FieldByName("name").SetAsString(hostile);
    Query.Post();
    EXPECT_EQ(Items(), (TRows{"1|alpha|A1|3", "2|" + hostile + "|B2|5", "3|gamma|C3|7"}));

    Query.Close();
    Query.SetSQL("SELECT id, name FROM items WHERE name = :name");
    Query.SetParams({hostile});
    Query.Open();
    ASSERT_EQ(Query.GetRecordCount(), 1);
    EXPECT_EQ(Query.FieldByName("name").GetAsString(), hostile);

    // A NULL parameter matches nothing with '='.
    Query.Close();
    Query.SetParams({std::nullopt});
    Query.Open();
    EXPECT_EQ(Query.GetRecordCount(), 0);
}

TEST_F(SQLiteQuery, PostWritesExactlyTheEditedRow) {
    // Two rows that differ only in a column the edit does not touch.
    File.Exec("CREATE TABLE pairs(a TEXT, b INTEGER, c TEXT);"
              "INSERT INTO pairs VALUES ('x', 1, 'p'), ('x', 1, 'q');");
    Query.SetSQL("SELECT a, b, c FROM pairs ORDER BY c");
    Query.Open();
    Query.Next();
    Query.Edit();
    Query.FieldByName("a").SetAsString("y");
    Query.Post();
    EXPECT_EQ(File.Rows("SELECT a, b, c FROM pairs ORDER BY c"), (TRows{"x|1|p", "y|1|q"}));

    // The row is found again by what was written, as often as it is edited; a number written
    // as text takes the column's type.
    Query.Edit();
    Query.FieldByName("b").SetAsString("42");
    Query.Post();
    Query.Edit();
    Query.FieldByName("c").Clear();
    Query.Post();
    Query.Edit();
    Query.FieldByName("c").SetAsString("r");
    Query.Post();
    EXPECT_EQ(File.Rows("SELECT a, typeof(b), b, c FROM pairs ORDER BY rowid"),
              (TRows{"x|integer|1|p", "y|integer|42|r"}));
}

TEST_F(SQLiteQuery, RowsAreMatchedByTheirStoredValuesNotByText) {
    File.Exec("CREATE TABLE m(r REAL, big INTEGER, raw, label TEXT);"
              "INSERT INTO m VALUES (0.1 + 0.2, 9007199254740993, x'00ff', 'one');");
    Query.SetSQL("SELECT r, big, raw, label FROM m");
    Query.Open();
    Query.Edit();
    Query.FieldByName("label").SetAsString("two");
    Query.Post();
    EXPECT_EQ(File.Rows("SELECT label FROM m"), TRows{"two"});
}

TEST_F(SQLiteQuery, APostThatCannotWriteExactlyOneRowWritesNothing) {
    const char* schema = "CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
                         "INSERT INTO items VALUES (1, 'alpha', 3), (2, 'beta', 5);"
                         "CREATE TABLE stock(item INTEGER PRIMARY KEY, shelf TEXT);"
                         "INSERT INTO stock VALUES (1, 'S1'), (2, 'S2');"
                         "CREATE TABLE dup(name TEXT, n INTEGER);"
                         "INSERT INTO dup VALUES ('same', 1), ('same', 2);";
    const auto everything = [](dbtest::TSqlFile& F) {
        TRows all;
        for (const char* sql :
             {"SELECT * FROM items ORDER BY id", "SELECT * FROM stock ORDER BY item",
              "SELECT * FROM dup ORDER BY n"})
            for (const std::string& r : F.Rows(sql))
                all.push_back(r);
        return all;
    };
    const struct {
        const char* What;
        const char* SQL;
        const char* Behind; // done to the file after the query read it
        std::vector<std::pair<const char*, const char*>> Edits;
        const char* Message;
    } cases[] = {
        {"a row changed behind the dataset's back",
         "SELECT id, name, qty FROM items ORDER BY id",
         "UPDATE items SET qty = 99 WHERE id = 1",
         {{"name", "new"}},
         "the record was changed or deleted by another user"},
        {"a row deleted behind the dataset's back",
         "SELECT id, name FROM items ORDER BY id",
         "DELETE FROM items WHERE id = 1",
         {{"name", "new"}},
         "the record was changed or deleted by another user"},
        {"a record that matches two rows",
         "SELECT name FROM dup",
         "",
         {{"name", "other"}},
         "matches more than one row"},
        {"an expression",
         "SELECT id, upper(name) AS shout FROM items ORDER BY id",
         "",
         {{"shout", "LOUD"}},
         "field 'shout'"},
        {"a second table changed behind the dataset's back: the first is not written either",
         "SELECT i.id, i.name, s.item, s.shelf FROM items i JOIN stock s ON s.item = i.id "
         "ORDER BY i.id",
         "UPDATE stock SET shelf = 'moved' WHERE item = 1",
         {{"name", "new"}, {"shelf", "S9"}},
         "the record was changed or deleted by another user"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string path = Dir.Path("case" + std::to_string(++n) + ".db");
        dbtest::TSqlFile f(path);
        f.Exec(schema);
        TSQLiteQuery q(nullptr);
        q.SetDatabaseName(path);
        q.SetSQL(c.SQL);
        q.Open();
        f.Exec(c.Behind);
        const TRows before = everything(f);
        q.Edit();
        for (const auto& [field, value] : c.Edits)
            q.FieldByName(field).SetAsString(value);
        try {
            q.Post();
            ADD_FAILURE() << "Post succeeded";
        } catch (const EDatabaseError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find(c.Message), std::string::npos) << message;
        }
        EXPECT_EQ(everything(f), before);
        EXPECT_EQ(q.GetState(), dsEdit) << "the edit stays open";
        q.Cancel();
        EXPECT_EQ(q.GetState(), dsBrowse);
    }
}

TEST_F(SQLiteQuery, EveryFaultRaisesNamingTheFileAndLeavesTheQueryClosed) {
    const std::string missing = Dir.Path("missing.db");
    const std::string notADatabase = Dir.Path("notes.txt");
    dbtest::WriteFile(notADatabase, std::string(4096, 'x'));
    const std::string uriNamed = "file:" + Dir.Path("made.db") + "?mode=rwc";
    const struct {
        std::string File;
        std::string SQL;
        std::vector<TDataSet::Value> Params;
        std::vector<std::string> Said;
    } cases[] = {
        {missing, "SELECT 1", {}, {missing, "unable to open"}},
        {uriNamed, "SELECT 1", {}, {uriNamed, "unable to open"}},
        {notADatabase, "SELECT * FROM items", {}, {notADatabase, "not a database"}},
        {Db, "SELECT x FROM nowhere", {}, {Db, "no such table: nowhere"}},
        {Db, "SELEKT 1", {}, {Db, "syntax error"}},
        {Db, "SELECT 1; DROP TABLE items", {}, {Db, "only one SQL statement"}},
        {Db, "SELECT 1; SELECT 2;", {}, {Db, "only one SQL statement"}},
        {Db, std::string("SELECT 1\0; DROP TABLE items", 27), {}, {Db, "NUL"}},
        {Db, "DELETE FROM items", {}, {Db, "only read"}},
        {Db, "  -- nothing\n", {}, {Db, "no statement"}},
        {Db, "", {}, {Db, "no statement"}},
        {Db, "SELECT * FROM items WHERE id = ?", {}, {Db, "1 parameter(s), 0 given"}},
        {Db, "SELECT * FROM items", {"1"}, {Db, "0 parameter(s), 1 given"}},
        {"", "SELECT 1", {}, {"No database file name"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.SQL + " on " + c.File);
        TSQLiteQuery q(nullptr);
        q.SetDatabaseName(c.File);
        q.SetSQL(c.SQL);
        q.SetParams(c.Params);
        try {
            q.Open();
            ADD_FAILURE() << "opened";
        } catch (const EDatabaseError& e) {
            for (const std::string& s : c.Said)
                EXPECT_NE(std::string(e.what()).find(s), std::string::npos) << e.what();
        }
        EXPECT_FALSE(q.GetActive());
        EXPECT_EQ(q.GetFieldCount(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(missing)) << "a missing file is not created";
    EXPECT_FALSE(std::filesystem::exists(Dir.Path("made.db")));
    EXPECT_EQ(Items().size(), 3u) << "no statement after the first ran, nor a writing one";
}

TEST_F(SQLiteQuery, AStatementFollowedByBlanksAndCommentsOpens) {
    Query.SetSQL("SELECT name FROM items ORDER BY id; -- the list\n  /* done */ ;  \n");
    Query.Open();
    EXPECT_EQ(Query.GetRecordCount(), 3);
    EXPECT_THROW(Query.SetDatabaseName(Dir.Path("other.db")), EDatabaseError)
        << "the file of an open query stays";
    Query.SetSQL("SELECT code FROM items");
    EXPECT_FALSE(Query.GetActive()) << "new SQL closes the query";
}

} // namespace
} // namespace vcl
