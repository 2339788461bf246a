// The dataset's cursor, fields and editing states, on records held by the test itself.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/db/DB.h"

namespace vcl {
namespace {

// Records handed over as they are; Post is counted, and refused while Refuse is set.
class TMemDataSet : public TDataSet {
public:
    using TDataSet::TDataSet;

    std::vector<std::string> Names{"id", "name"};
    std::vector<Record> Rows;
    bool FailOpen = false;
    bool Refuse = false;
    int Posts = 0;

protected:
    void InternalOpen(std::vector<std::string>& N, std::vector<Record>& R) override {
        if (FailOpen)
            throw EDatabaseError("no records today");
        N = Names;
        R = Rows;
    }
    void InternalPost(int, const Record&, const Record&) override {
        if (Refuse)
            throw EDatabaseError("refused");
        ++Posts;
    }
};

std::vector<TDataSet::Record> Numbered(int Count) {
    std::vector<TDataSet::Record> rows;
    for (int i = 1; i <= Count; ++i)
        rows.push_back({std::to_string(i), std::string("r").append(std::to_string(i))});
    return rows;
}

enum TStep { Open, Next, Prior, First, Last, MoveBy, RecNo };

struct TCursorRow {
    TStep Step;
    int Arg;   // MoveBy's distance, RecNo's value
    int Moved; // what MoveBy returns; how far Next and Prior went
    int RecNo;
    bool Bof, Eof;
};

TEST(DataSetCursor, MovesAndReportsTheEndsLikeTheFramework) {
    // Bof and Eof say that a move tried to pass an end (or that the cursor was just put on the
    // first record by Open or First, or on the last by Last); landing on an end sets neither.
    const struct {
        int Records;
        std::vector<TCursorRow> Steps;
    } cases[] = {
        {0,
         {
             {Open, 0, 0, 0, true, true},
             {Next, 0, 0, 0, true, true},
             {Prior, 0, 0, 0, true, true},
             {Last, 0, 0, 0, true, true},
             {First, 0, 0, 0, true, true},
             {MoveBy, 3, 0, 0, true, true},
             {MoveBy, -3, 0, 0, true, true},
         }},
        {1,
         {
             {Open, 0, 0, 1, true, false},
             {Next, 0, 0, 1, false, true},
             {Next, 0, 0, 1, false, true},
             {Prior, 0, 0, 1, true, false},
             {Last, 0, 0, 1, false, true},
             {First, 0, 0, 1, true, false},
             {MoveBy, 5, 0, 1, false, true},
             {MoveBy, -5, 0, 1, true, false},
             {RecNo, 1, 0, 1, true, false},
         }},
        {3,
         {
             {Open, 0, 0, 1, true, false},
             {Next, 0, 1, 2, false, false},
             {Next, 0, 1, 3, false, false},
             {Next, 0, 0, 3, false, true},
             {Next, 0, 0, 3, false, true},
             {Prior, 0, -1, 2, false, false},
             {Prior, 0, -1, 1, false, false},
             {Prior, 0, 0, 1, true, false},
             {MoveBy, 2, 2, 3, false, false},
             {MoveBy, 1, 0, 3, false, true},
             {MoveBy, -1, -1, 2, false, false},
             {MoveBy, -5, -1, 1, true, false},
             {MoveBy, 0, 0, 1, true, false},
             {MoveBy, 7, 2, 3, false, true},
             {First, 0, 0, 1, true, false},
             {Last, 0, 0, 3, false, true},
             {RecNo, 2, 0, 2, false, false},
             {MoveBy, -7, -1, 1, true, false},
         }},
    };
    const char* names[] = {"Open", "Next", "Prior", "First", "Last", "MoveBy", "RecNo"};
    for (const auto& c : cases) {
        TMemDataSet d(nullptr);
        d.Rows = Numbered(c.Records);
        for (std::size_t i = 0; i < c.Steps.size(); ++i) {
            const TCursorRow& s = c.Steps[i];
            const int before = d.GetRecNo();
            int moved = 0;
            switch (s.Step) {
            case Open:
                d.Open();
                break;
            case Next:
                d.Next();
                moved = d.GetRecNo() - before;
                break;
            case Prior:
                d.Prior();
                moved = d.GetRecNo() - before;
                break;
            case First:
                d.First();
                break;
            case Last:
                d.Last();
                break;
            case MoveBy:
                moved = d.MoveBy(s.Arg);
                break;
            case RecNo:
                d.SetRecNo(s.Arg);
                break;
            }
            const std::string where = std::to_string(c.Records) + " record(s), step " +
                                      std::to_string(i) + " " + names[s.Step] + "(" +
                                      std::to_string(s.Arg) + ")";
            EXPECT_EQ(moved, s.Moved) << where;
            EXPECT_EQ(d.GetRecNo(), s.RecNo) << where;
            EXPECT_EQ(d.Bof(), s.Bof) << where;
            EXPECT_EQ(d.Eof(), s.Eof) << where;
            EXPECT_EQ(d.GetRecordCount(), c.Records) << where;
            if (s.RecNo > 0)
                EXPECT_EQ(d.FieldByName("id").GetAsString(), std::to_string(s.RecNo)) << where;
            else
                EXPECT_TRUE(d.FieldByName("id").IsNull()) << where;
        }
    }
}

TEST(DataSetCursor, ClosedDataSetRefusesTheCursorAndHasNoFields) {
    TMemDataSet d(nullptr);
    d.Rows = Numbered(2);
    EXPECT_FALSE(d.GetActive());
    EXPECT_EQ(d.GetState(), dsInactive);
    EXPECT_EQ(d.GetRecNo(), 0);
    EXPECT_TRUE(d.Eof());
    EXPECT_TRUE(d.Bof());
    EXPECT_EQ(d.GetFieldCount(), 0);
    const std::vector<std::function<void()>> refused = {
        [&] { d.Next(); },           [&] { d.Prior(); },   [&] { d.First(); },
        [&] { d.Last(); },           [&] { d.MoveBy(1); }, [&] { d.SetRecNo(1); },
        [&] { d.GetRecordCount(); }, [&] { d.Edit(); },    [&] { d.Post(); },
    };
    for (std::size_t i = 0; i < refused.size(); ++i)
        EXPECT_THROW(refused[i](), EDatabaseError) << "operation " << i;

    d.Open();
    d.Close();
    EXPECT_EQ(d.GetFieldCount(), 0);
    EXPECT_EQ(d.FindField("name"), nullptr);
    // Reopening makes new fields; the dataset keeps its cursor rules.
    d.Open();
    EXPECT_NE(d.FindField("name"), nullptr);
    EXPECT_TRUE(d.Bof());
    EXPECT_EQ(d.GetRecNo(), 1);
}

TEST(DataSetCursor, AFailedOpenLeavesTheDataSetClosed) {
    TMemDataSet d(nullptr);
    d.FailOpen = true;
    EXPECT_THROW(d.Open(), EDatabaseError);
    EXPECT_FALSE(d.GetActive());
    EXPECT_EQ(d.GetFieldCount(), 0);
    d.FailOpen = false;
    d.Rows = Numbered(1);
    d.Open();
    EXPECT_TRUE(d.GetActive());

    TMemDataSet ragged(nullptr);
    ragged.Rows = {{"1"}};
    EXPECT_THROW(ragged.Open(), EDatabaseError);
    EXPECT_FALSE(ragged.GetActive());
}

TEST(DataSetFields, AreFoundByNameWithoutRegardToCaseAndReadTheCurrentRecord) {
    TMemDataSet d(nullptr);
    d.SetName("Items");
    d.Rows = {{"1", std::nullopt}, {"2", std::string("x\0y", 3)}};
    d.Open();
    ASSERT_EQ(d.GetFieldCount(), 2);
    EXPECT_EQ(&d.FieldByName("NAME"), &d.GetField(1));
    EXPECT_EQ(d.GetField(1).GetIndex(), 1);
    EXPECT_EQ(&d.GetField(0).GetDataSet(), &d);
    EXPECT_THROW(d.GetField(2), EListError);
    EXPECT_THROW(d.GetField(-1), EListError);
    try {
        d.FieldByName("price");
        ADD_FAILURE() << "no exception";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Items: Field 'price' not found");
    }
    TField& name = d.FieldByName("name");
    EXPECT_TRUE(name.IsNull());
    EXPECT_EQ(name.GetAsString(), "");
    EXPECT_EQ(name.GetDisplayText(), "");
    d.Next();
    EXPECT_FALSE(name.IsNull());
    EXPECT_EQ(name.GetDisplayText(), std::string("x\0y", 3));
}

TEST(DataSetEditing, EditPostCancelAndTheStatesBetween) {
    TMemDataSet d(nullptr);
    d.Rows = Numbered(3);
    d.Open();
    TField& name = d.FieldByName("name");
    EXPECT_THROW(name.SetAsString("x"), EDatabaseError) << "not in edit mode";

    d.Edit();
    EXPECT_EQ(d.GetState(), dsEdit);
    name.SetAsString("changed");
    d.Cancel();
    EXPECT_EQ(d.GetState(), dsBrowse);
    EXPECT_EQ(name.GetAsString(), "r1");
    EXPECT_EQ(d.Posts, 0);

    d.Edit();
    name.Clear();
    EXPECT_TRUE(name.IsNull());
    d.Post();
    EXPECT_EQ(d.GetState(), dsBrowse);
    EXPECT_EQ(d.Posts, 1);
    EXPECT_TRUE(name.IsNull());

    // A refused post keeps the edit open with the edited value; Cancel brings the old one back.
    d.Edit();
    name.SetAsString("kept");
    d.Refuse = true;
    EXPECT_THROW(d.Post(), EDatabaseError);
    EXPECT_EQ(d.GetState(), dsEdit);
    EXPECT_EQ(name.GetAsString(), "kept");
    EXPECT_THROW(d.Next(), EDatabaseError) << "moving posts first, and the post is refused";
    EXPECT_EQ(d.GetRecNo(), 1);
    d.Cancel();
    EXPECT_TRUE(name.IsNull());
    d.Refuse = false;

    // Moving on posts a changed record and drops an unchanged edit.
    d.Edit();
    name.SetAsString("moved on");
    d.Next();
    EXPECT_EQ(d.Posts, 2);
    EXPECT_EQ(d.GetState(), dsBrowse);
    d.Edit();
    d.First();
    EXPECT_EQ(d.Posts, 2);
    EXPECT_EQ(name.GetAsString(), "moved on");

    // Closing in the middle of an edit drops it.
    d.Edit();
    d.Close();
    EXPECT_EQ(d.GetState(), dsInactive);

    TMemDataSet empty(nullptr);
    empty.Open();
    EXPECT_THROW(empty.Edit(), EDatabaseError);
    EXPECT_EQ(empty.GetState(), dsBrowse);
}

TEST(DataSetEditing, RecNoOutOfRangeIsRefused) {
    TMemDataSet d(nullptr);
    d.Rows = Numbered(2);
    d.Open();
    for (int bad : {0, -1, 3})
        EXPECT_THROW(d.SetRecNo(bad), EDatabaseError) << bad;
    EXPECT_EQ(d.GetRecNo(), 1);
}

} // namespace
} // namespace vcl
