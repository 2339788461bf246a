// Unidirectional datasets: forward reads give what a whole read gives, one record at a time;
// every move back and every edit is refused.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/db/DB.h"
#include "tests/db/DbTesting.h"

namespace vcl {
namespace {

// The records a dataset holds in memory, seen from inside.
template <typename T> class TProbe : public T {
public:
    TProbe() : T(nullptr) {}
    using T::GetBufferCount;
};

// Every record, read forward, as its values joined by '|' ("NULL" for null); the dataset must
// hold no more than one record at any time.
template <typename T> std::vector<std::string> ReadForward(TProbe<T>& Data) {
    std::vector<std::string> Rows;
    Data.Open();
    const int Count = Data.GetRecordCount();
    for (int RecNo = 1; RecNo <= Count; ++RecNo) {
        if (RecNo > 1)
            Data.Next();
        EXPECT_EQ(Data.GetRecNo(), RecNo);
        if (Data.GetUniDirectional()) {
            EXPECT_EQ(Data.GetBufferCount(), 1);
        }
        std::string Row;
        for (int f = 0; f < Data.GetFieldCount(); ++f) {
            if (f > 0)
                Row += '|';
            const TField& Field = Data.GetField(f);
            Row += Field.IsNull() ? std::string("NULL") : Field.GetAsString();
        }
        Rows.push_back(Row);
    }
    Data.Next();
    EXPECT_TRUE(Data.Eof());
    EXPECT_EQ(Data.GetRecNo(), Count);
    return Rows;
}

TEST(UniDirectionalCSV, ReadsWhatAWholeReadReadsAcrossBlocks) {
    // Long texts put quotes, doubled quotes and CR LF breaks across the reader's 64 KiB blocks.
    std::string Long = "id,text\r\n";
    for (int i = 0; i < 9000; ++i)
        Long += std::to_string(i) + (i % 3 ? ",\"a \"\"q\"\"\r\nb\"\r\n" : ",plain\r\n");
    const std::string Texts[] = {
        "\xEF\xBB\xBFid,name\n1,one\n2,\n,\"x,y\"",
        "h\n",
        "a,b\n\"l1\nl2\",p\rq\r\n",
        Long,
    };
    dbtest::TTempDir Dir;
    for (const std::string& Text : Texts) {
        SCOPED_TRACE(Text.substr(0, 40));
        dbtest::WriteFile(Dir.Path("t.csv"), Text);
        TProbe<TCSVDataSet> Whole, Forward;
        Whole.SetFileName(Dir.Path("t.csv"));
        Forward.SetFileName(Dir.Path("t.csv"));
        Forward.SetUniDirectional(true);
        const std::vector<std::string> Expected = ReadForward(Whole);
        EXPECT_EQ(ReadForward(Forward), Expected);
        EXPECT_EQ(Forward.GetRecordCount(), Whole.GetRecordCount());
        EXPECT_EQ(Forward.GetFieldCount(), Whole.GetFieldCount());
    }
}

TEST(UniDirectionalCSV, AFaultAnywhereFailsTheOpen) {
    dbtest::TTempDir Dir;
    std::string Text = "a,b\n";
    for (int i = 0; i < 5000; ++i)
        Text += "x,y\n";
    Text += "only one\n";
    dbtest::WriteFile(Dir.Path("bad.csv"), Text);
    TCSVDataSet Data(nullptr);
    Data.SetFileName(Dir.Path("bad.csv"));
    Data.SetUniDirectional(true);
    try {
        Data.Open();
        FAIL() << "opened";
    } catch (const EDatabaseError& E) {
        EXPECT_NE(E.GetMessage().find("line 5002: the record has 1 field(s)"), std::string::npos)
            << E.GetMessage();
    }
    EXPECT_FALSE(Data.GetActive());
}

TEST(UniDirectionalSQLite, ReadsTheQueryForwardWithItsParameters) {
    dbtest::TTempDir Dir;
    dbtest::TSqlFile File(Dir.Path("t.db"));
    File.Exec("CREATE TABLE t(k INTEGER, v TEXT);");
    for (int i = 0; i < 300; ++i)
        File.Exec("INSERT INTO t VALUES (" + std::to_string(i) + ", " +
                  (i % 7 ? "'v" + std::to_string(i) + "'" : std::string("NULL")) + ")");
    const auto Setup = [&](TSQLiteQuery& Q) {
        Q.SetDatabaseName(Dir.Path("t.db"));
        Q.SetSQL("SELECT k, v, k * 0.5 FROM t WHERE k >= ?1 ORDER BY k DESC");
        Q.SetParams({std::string("10")});
    };
    TProbe<TSQLiteQuery> Whole, Forward;
    Setup(Whole);
    Setup(Forward);
    Forward.SetUniDirectional(true);
    const std::vector<std::string> Expected = ReadForward(Whole);
    ASSERT_EQ(Expected.size(), 290u);
    EXPECT_EQ(ReadForward(Forward), Expected);
}

TEST(UniDirectional, RefusesEveryMoveBackAndEveryEdit) {
    dbtest::TTempDir Dir;
    dbtest::WriteFile(Dir.Path("t.csv"), "a\n1\n2\n3\n");
    const std::function<void(TDataSet&)> Refused[] = {
        [](TDataSet& D) { D.Prior(); }, [](TDataSet& D) { D.MoveBy(-1); },
        [](TDataSet& D) { D.First(); }, [](TDataSet& D) { D.SetRecNo(1); },
        [](TDataSet& D) { D.Last(); },  [](TDataSet& D) { D.Edit(); },
    };
    for (std::size_t i = 0; i < std::size(Refused); ++i) {
        SCOPED_TRACE(i);
        TCSVDataSet Data(nullptr);
        Data.SetFileName(Dir.Path("t.csv"));
        Data.SetUniDirectional(true);
        Data.Open();
        Data.First(); // still on the first record: nowhere to go back to
        Data.SetRecNo(2);
        EXPECT_THROW(Refused[i](Data), EDatabaseError);
        EXPECT_EQ(Data.GetRecNo(), 2);
        EXPECT_EQ(Data.FieldByName("a").GetAsString(), "2");
    }
    TCSVDataSet Open(nullptr);
    Open.SetFileName(Dir.Path("t.csv"));
    Open.Open();
    EXPECT_THROW(Open.SetUniDirectional(true), EDatabaseError);
}

} // namespace
} // namespace vcl
