// CSV files: the RFC 4180 forms that parse, the faults named by line, and the file around them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/db/DB.h"
#include "tests/db/DbTesting.h"

namespace vcl {
namespace {

using namespace std::string_literals;
using TRecords = std::vector<std::vector<std::string>>;

std::vector<std::string> Texts(const TDataSet::Record& R) {
    std::vector<std::string> out;
    for (const auto& v : R) {
        EXPECT_TRUE(v.has_value()) << "CSV has no NULL";
        out.push_back(v.value_or("<null>"));
    }
    return out;
}

TEST(CSVParse, ReadsTheFormsOfRfc4180) {
    const struct {
        const char* What;
        std::string Text;
        std::vector<std::string> Names;
        TRecords Records;
    } cases[] = {
        {"LF", "id,name\n1,one\n2,two\n", {"id", "name"}, {{"1", "one"}, {"2", "two"}}},
        {"CRLF", "id,name\r\n1,one\r\n2,two\r\n", {"id", "name"}, {{"1", "one"}, {"2", "two"}}},
        {"CRLF and LF mixed",
         "id,name\r\n1,one\n2,two\r\n",
         {"id", "name"},
         {{"1", "one"}, {"2", "two"}}},
        {"no final line break", "id,name\n1,one", {"id", "name"}, {{"1", "one"}}},
        {"no final line break after a quote",
         "id,name\r\n1,\"one\"",
         {"id", "name"},
         {{"1", "one"}}},
        {"byte-order mark", "\xEF\xBB\xBFid,name\n1,one\n", {"id", "name"}, {{"1", "one"}}},
        {"a mark-like text later is data", "id\n\xEF\xBB\xBFx\n", {"id"}, {{"\xEF\xBB\xBFx"}}},
        {"quoted comma and doubled quote",
         "a,b\n\"x,y\",\"say \"\"hi\"\"\"\n",
         {"a", "b"},
         {{"x,y", "say \"hi\""}}},
        {"quoted LF and CRLF kept as they are",
         "a,b\n\"l1\nl2\",\"c1\r\nc2\"\n",
         {"a", "b"},
         {{"l1\nl2", "c1\r\nc2"}}},
        {"lone CR inside quotes and unquoted is data",
         "a,b\n\"x\ry\",p\rq\n",
         {"a", "b"},
         {{"x\ry", "p\rq"}}},
        {"CR before a comma is data", "a,b\nx\r,y\n", {"a", "b"}, {{"x\r", "y"}}},
        {"empty fields, quoted and not", "a,b,c\n,\"\",\n", {"a", "b", "c"}, {{"", "", ""}}},
        {"a quoted header", "\"first name\",\"a,b\"\nx,y\n", {"first name", "a,b"}, {{"x", "y"}}},
        {"header only", "id,name\n", {"id", "name"}, {}},
        {"header only, no line break", "id,name", {"id", "name"}, {}},
        {"one column with an empty line", "a\n\nb\n", {"a"}, {{""}, {"b"}}},
        {"spaces are kept", "a,b\n  x , y \n", {"a", "b"}, {{"  x ", " y "}}},
        {"bytes of any value",
         "k,v\n\xff\xfe,\x80\0\x01\n"s,
         {"k", "v"},
         {{"\xff\xfe", "\x80\0\x01"s}}},
        {"NUL inside quotes", "k\n\"a\0b\"\n"s, {"k"}, {{"a\0b"s}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        std::vector<TDataSet::Record> records;
        TCSVDataSet::Parse(c.Text, "test.csv", names, records);
        EXPECT_EQ(names, c.Names) << c.What;
        TRecords got;
        for (const auto& r : records)
            got.push_back(Texts(r));
        EXPECT_EQ(got, c.Records) << c.What;
    }
}

TEST(CSVParse, FaultsNameTheSourceAndTheLine) {
    const struct {
        const char* What;
        std::string Text;
        const char* Said; // the line and what is wrong
    } cases[] = {
        {"a short record", "a,b\n1,2\n3\n",
         "items.csv, line 3: the record has 1 field(s); the "
         "header names 2"},
        {"a long record", "a,b\n1,2,3\n4,5\n", "items.csv, line 2: the record has 3 field(s)"},
        {"a ragged record after a quoted line break: the line where it starts",
         "a,b\n\"x\ny\",1\n2\n", "items.csv, line 4: the record has 1 field(s)"},
        {"a ragged record starting in CRLF text", "a,b\r\n1,2\r\n3\r\n", "items.csv, line 3:"},
        {"an empty line among two columns", "a,b\n1,2\n\n3,4\n", "items.csv, line 3:"},
        {"an unterminated quote: the line where it opened", "a,b\n1,\"open\nmore\nstill\n",
         "items.csv, line 2: a quoted field is not closed"},
        {"an unterminated quote in the header", "\"a,b\n", "items.csv, line 1: a quoted"},
        {"a quote inside an unquoted field", "a,b\n1,x\"y\n", "items.csv, line 2: a quote inside"},
        {"text after a closing quote", "a,b\n1,\"x\"y\n", "items.csv, line 2: a quoted field must"},
        {"a closing quote then a lone CR", "a,b\n1,\"x\"\r2\n", "items.csv, line 2: a quoted"},
        {"an empty header name", "a,,c\n1,2,3\n", "items.csv, line 1: field 2 of the header"},
        {"an empty quoted header name", "a,\"\"\n", "items.csv, line 1: field 2 of the header"},
        {"a name twice, in other letters", "id,Name,NAME\n",
         "items.csv, line 1: the header names "
         "the field 'NAME' twice"},
        {"an empty file", "", "items.csv: the file is empty"},
        {"a byte-order mark alone", "\xEF\xBB\xBF", "items.csv: the file is empty"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        std::vector<TDataSet::Record> records;
        try {
            TCSVDataSet::Parse(c.Text, "items.csv", names, records);
            ADD_FAILURE() << c.What << ": parsed";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.Said, 0), 0u) << c.What << ": " << e.what();
        }
    }
}

class CSVFile : public ::testing::Test {
protected:
    dbtest::TTempDir Dir;
    TCSVDataSet Data{nullptr};
};

// Memory stays proportional to the text and bounded: a text past the file bound is refused
// before it is parsed, and one whose tiny values would cost many times its size (every value
// takes its slot) is refused once its records would pass their bound.
TEST(CSVParse, BoundsTheTextAndTheMemoryOfItsRecords) {
    std::string header;
    for (int i = 0; i < 1000; ++i)
        header += (i ? ",f" : "f") + std::to_string(i);
    const std::string emptyRecord = std::string(999, ',') + "\n";
    std::string manyEmpty = header + "\n";
    // 40 bytes a value and 64 a record: the header takes 40000 bytes, each record 40064, so the
    // record on line 5026 passes 192 MiB, in a text of 5 MB.
    for (int r = 0; r < 6000; ++r)
        manyEmpty += emptyRecord;
    std::string fewEmpty = header + "\n";
    for (int r = 0; r < 100; ++r)
        fewEmpty += emptyRecord;
    const struct {
        const char* What;
        std::string Text;
        std::string Said; // empty: parses
    } cases[] = {
        {"past the file bound", std::string(TCSVDataSet::MaxFileBytes + 1, 'a'),
         "big.csv: the file is larger than 64 MiB"},
        {"tiny values past the record bound", manyEmpty,
         "big.csv, line 5026: the records would take more than 192 MiB in memory"},
        {"tiny values within it", fewEmpty, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        std::vector<std::string> names;
        std::vector<TDataSet::Record> records;
        try {
            TCSVDataSet::Parse(c.Text, "big.csv", names, records);
            EXPECT_EQ(c.Said, "");
            EXPECT_EQ(records.size(), 100u);
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.what(), c.Said);
        }
    }
}

TEST_F(CSVFile, OpensAFileAndKeepsEditsInMemory) {
    const std::string path = Dir.Path("labels.csv");
    const std::string text = "\xEF\xBB\xBFsku,caption\r\n4006381333931,\"Pens, blue\"\r\n";
    dbtest::WriteFile(path, text);
    Data.SetFileName(path);
    Data.Open();
    ASSERT_EQ(Data.GetRecordCount(), 1);
    EXPECT_EQ(Data.FieldByName("SKU").GetDisplayText(), "4006381333931");
    EXPECT_EQ(Data.FieldByName("caption").GetAsString(), "Pens, blue");
    EXPECT_THROW(Data.SetFileName(Dir.Path("other.csv")), EDatabaseError);

    Data.Edit();
    Data.FieldByName("caption").SetAsString("Pens, red");
    Data.Post();
    EXPECT_EQ(Data.FieldByName("caption").GetAsString(), "Pens, red");
    EXPECT_EQ(dbtest::ReadFile(path), text) << "the file is not written";
    Data.Close();
    Data.Open();
    EXPECT_EQ(Data.FieldByName("caption").GetAsString(), "Pens, blue");
}

TEST_F(CSVFile, FilesThatCannotBeReadAreNamed) {
    const std::string missing = Dir.Path("missing.csv");
    const std::string huge = Dir.Path("huge.csv");
    {
        dbtest::WriteFile(huge, "");
        // Sparse: the size is what counts, not the bytes on disk.
        std::filesystem::resize_file(huge, TCSVDataSet::MaxFileBytes + 1);
    }
    const std::string ragged = Dir.Path("ragged.csv");
    dbtest::WriteFile(ragged, "a,b\n1\n");
    const struct {
        std::string File;
        std::string Said;
    } cases[] = {
        {missing, "Cannot open file " + missing},
        {Dir.Root().string(), "Cannot open file " + Dir.Root().string() + ": not a regular file"},
        {huge, "Cannot open file " + huge + ": the file is larger than 64 MiB"},
        {ragged, ragged + ", line 2:"},
        {"", "No CSV file name"},
    };
    for (const auto& c : cases) {
        TCSVDataSet d(nullptr);
        d.SetFileName(c.File);
        try {
            d.Open();
            ADD_FAILURE() << c.File << ": opened";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.Said, 0), 0u) << e.what();
        }
        EXPECT_FALSE(d.GetActive());
    }
}

} // namespace
} // namespace vcl
