// The line dataset: the lines of a file as records, read whole or forward, from a regular file or
// from a pipe that can be read only once.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "host/db/DB.h"
#include "host/db/DBLineDataSet.h"
#include "tests/db/DbTesting.h"

namespace vcl {
namespace {

std::vector<std::string> ReadAll(TLineDataSet& Data) {
    std::vector<std::string> Lines;
    Data.Open();
    EXPECT_EQ(Data.GetFieldCount(), 1);
    EXPECT_EQ(Data.GetField(0).GetFieldName(), "Data");
    for (int RecNo = 1; RecNo <= Data.GetRecordCount(); ++RecNo) {
        if (RecNo > 1)
            Data.Next();
        Lines.push_back(Data.FieldByName("Data").GetAsString());
    }
    Data.Close();
    return Lines;
}

struct LinesRow {
    const char* Note;
    std::string Text;
    std::vector<std::string> Lines;
};

TEST(LineDataSet, ReadsEachLineAsOneRecordWholeForwardAndFromAPipe) {
    const std::string Long(200000, 'x'); // across the reader's 64 KiB blocks
    const LinesRow Rows[] = {
        {"empty file", "", {}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"CR LF, and a CR kept inside a line", "a\r\nb\rc\r\n", {"a", "b\rc"}},
        {"no final newline, its CR dropped", "a\nb\r", {"a", "b"}},
        {"empty lines are records", "\n\na\n\n", {"", "", "a", ""}},
        {"NUL and high bytes are data",
         std::string("a\0b\n\xFF\n", 6),
         {std::string("a\0b", 3), "\xFF"}},
        {"a long line", Long + "\r\n" + Long, {Long, Long}},
    };
    dbtest::TTempDir Dir;
    for (const LinesRow& Row : Rows) {
        SCOPED_TRACE(Row.Note);
        EXPECT_EQ(TLineDataSet::Split(Row.Text, "t.txt"), Row.Lines);
        dbtest::WriteFile(Dir.Path("t.txt"), Row.Text);
        TLineDataSet Whole(nullptr), Forward(nullptr), Piped(nullptr);
        Whole.SetFileName(Dir.Path("t.txt"));
        Forward.SetFileName(Dir.Path("t.txt"));
        Forward.SetUniDirectional(true);
        EXPECT_EQ(ReadAll(Whole), Row.Lines);
        EXPECT_EQ(ReadAll(Forward), Row.Lines);
        // A pipe is read once; the dataset keeps its own copy for the second pass.
        const std::string Fifo = Dir.Path("fifo");
        ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
        std::thread Writer([&] { dbtest::WriteFile(Fifo, Row.Text); });
        Piped.SetFileName(Fifo);
        Piped.SetUniDirectional(true);
        EXPECT_EQ(ReadAll(Piped), Row.Lines);
        Writer.join();
        std::filesystem::remove(Fifo);
    }
}

TEST(LineDataSet, RefusesWhatItCannotRead) {
    dbtest::TTempDir Dir;
    dbtest::WriteFile(Dir.Path("huge.txt"),
                      "ok\n" + std::string(TLineDataSet::MaxLineBytes + 1, '9') + "\n");
    const struct {
        std::string FileName;
        const char* Message;
    } Rows[] = {
        {Dir.Path("huge.txt"), "huge.txt, line 2: the line is longer than 1 MiB"},
        {Dir.Path("missing.txt"), "Cannot open file"},
        {Dir.Root().string(), "it is a directory"},
        {"", "No file name given"},
    };
    for (const auto& Row : Rows) {
        for (const bool Forward : {false, true}) {
            SCOPED_TRACE(Row.FileName + (Forward ? " forward" : " whole"));
            TLineDataSet Data(nullptr);
            Data.SetFileName(Row.FileName);
            Data.SetUniDirectional(Forward);
            try {
                Data.Open();
                ADD_FAILURE() << "opened";
            } catch (const EDatabaseError& E) {
                EXPECT_NE(E.GetMessage().find(Row.Message), std::string::npos) << E.GetMessage();
            }
            EXPECT_FALSE(Data.GetActive());
        }
    }
}

} // namespace
} // namespace vcl
