// Data sources and field data links over a real SQLite file: what a linked control is told,
// and when it is told nothing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/db/DB.h"
#include "tests/db/DbTesting.h"

namespace vcl {
namespace {

using TLog = std::vector<std::string>;

// A link that writes down what its control would show at each data change ("-": no field).
struct TWatched {
    TFieldDataLink Link;
    TLog Log;

    TWatched() {
        Link.OnDataChange = [this](TFieldDataLink& L) {
            Log.push_back(L.GetField() ? L.GetField()->GetDisplayText() : "-");
        };
    }
    // What was reported since the last call.
    TLog Take() { return std::exchange(Log, {}); }
};

struct TStepRow {
    const char* What;
    std::function<void()> Do;
    TLog Expected;
};

class DataLinks : public ::testing::Test {
protected:
    DataLinks() {
        dbtest::TSqlFile f(Db);
        f.Exec("CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT, code TEXT, qty INTEGER);"
               "INSERT INTO items VALUES (1, 'alpha', 'A1', 3), (2, 'beta', 'B2', 5),"
               " (3, 'gamma', 'C3', 7);");
        Query = new TSQLiteQuery(&Root);
        Query->SetDatabaseName(Db);
        Query->SetSQL("SELECT id, name, code FROM items ORDER BY id");
        Source = new TDataSource(&Root);
        Source->SetDataSet(Query);
        W.Link.SetDataSource(Source);
        W.Link.SetFieldName("name");
    }

    void Run(const std::vector<TStepRow>& Steps) {
        for (const TStepRow& s : Steps) {
            s.Do();
            EXPECT_EQ(W.Take(), s.Expected) << s.What;
        }
    }

    dbtest::TTempDir Dir;
    std::string Db = Dir.Path("shop.db");
    TComponent Root{nullptr};
    TSQLiteQuery* Query = nullptr;
    TDataSource* Source = nullptr;
    TWatched W; // declared last: it goes before the components it is linked to
};

TEST_F(DataLinks, EveryRecordMoveIsReportedOnce) {
    EXPECT_EQ(W.Take(), TLog{}) << "nothing while the dataset is closed";
    EXPECT_EQ(W.Link.GetField(), nullptr);
    Run({
        {"Open", [&] { Query->Open(); }, {"alpha"}},
        {"Next", [&] { Query->Next(); }, {"beta"}},
        {"Last", [&] { Query->Last(); }, {"gamma"}},
        {"Next past the end does not move", [&] { Query->Next(); }, {}},
        {"Prior", [&] { Query->Prior(); }, {"beta"}},
        {"MoveBy(-5)", [&] { Query->MoveBy(-5); }, {"alpha"}},
        {"First while on the first", [&] { Query->First(); }, {}},
        {"MoveBy(0)", [&] { Query->MoveBy(0); }, {}},
        {"RecNo := 3", [&] { Query->SetRecNo(3); }, {"gamma"}},
        {"RecNo := 3 again", [&] { Query->SetRecNo(3); }, {}},
    });
    EXPECT_TRUE(W.Link.GetActive());
    EXPECT_EQ(W.Link.GetDataSet(), Query);
}

TEST_F(DataLinks, EditsOfItsFieldAndEveryChangeOfStateAreReported) {
    Run({
        {"Open", [&] { Query->Open(); }, {"alpha"}},
        {"Edit", [&] { Query->Edit(); }, {"alpha"}},
        {"another field's edit", [&] { Query->FieldByName("code").SetAsString("Z9"); }, {}},
        {"its field's edit", [&] { Query->FieldByName("name").SetAsString("alef"); }, {"alef"}},
        {"Post", [&] { Query->Post(); }, {"alef"}},
        {"Edit again", [&] { Query->Edit(); }, {"alef"}},
        {"edit", [&] { Query->FieldByName("name").SetAsString("x"); }, {"x"}},
        {"Cancel", [&] { Query->Cancel(); }, {"alef"}},
        {"Close", [&] { Query->Close(); }, {"-"}},
        {"Open shows what was posted", [&] { Query->Open(); }, {"alef"}},
        {"Edit", [&] { Query->Edit(); }, {"alef"}},
        {"Close in the middle of an edit", [&] { Query->Close(); }, {"-"}},
    });
    EXPECT_FALSE(W.Link.GetEditing());
    dbtest::TSqlFile f(Db);
    EXPECT_EQ(f.Rows("SELECT id, name, code FROM items ORDER BY id"),
              (TLog{"1|alef|Z9", "2|beta|B2", "3|gamma|C3"}));
}

TEST_F(DataLinks, TheLinkFollowsItsFieldNameAndTheDataSetsFields) {
    Run({
        {"Open", [&] { Query->Open(); }, {"alpha"}},
        {"the same field in other letters", [&] { W.Link.SetFieldName("NAME"); }, {}},
        {"another field", [&] { W.Link.SetFieldName("code"); }, {"A1"}},
        {"no such field", [&] { W.Link.SetFieldName("price"); }, {"-"}},
        {"no field name", [&] { W.Link.SetFieldName(""); }, {}},
        {"back to a field", [&] { W.Link.SetFieldName("code"); }, {"A1"}},
        {"new SQL closes the query",
         [&] { Query->SetSQL("SELECT id, name FROM items ORDER BY id"); },
         {"-"}},
        {"reopened without the field", [&] { Query->Open(); }, {"-"}},
        {"SQL again", [&] { Query->SetSQL("SELECT code, id FROM items ORDER BY id DESC"); }, {"-"}},
        {"reopened with the field", [&] { Query->Open(); }, {"C3"}},
    });
    EXPECT_EQ(W.Link.GetField(), &Query->FieldByName("code"));
    EXPECT_EQ(W.Link.GetFieldName(), "code");
}

TEST_F(DataLinks, NothingIsReportedWhileControlsAreDisabledAndOnceAfter) {
    Query->Open();
    W.Take();
    TField* before = nullptr;
    Run({
        {"nested disabling",
         [&] {
             Query->DisableControls();
             Query->DisableControls();
             Query->Next();
             Query->Edit();
             Query->FieldByName("name").SetAsString("b2");
             Query->Post();
             Query->Last();
         },
         {}},
        {"the inner EnableControls", [&] { Query->EnableControls(); }, {}},
        {"the outer EnableControls", [&] { Query->EnableControls(); }, {"gamma"}},
        {"nothing missed, nothing told",
         [&] {
             Query->DisableControls();
             Query->EnableControls();
         },
         {}},
        {"a field name changed while disabled",
         [&] {
             Query->DisableControls();
             W.Link.SetFieldName("code");
         },
         {}},
        {"is told at the end", [&] { Query->EnableControls(); }, {"C3"}},
        {"reopened with other fields while disabled",
         [&] {
             Query->DisableControls();
             before = W.Link.GetField();
             Query->SetSQL("SELECT code, id FROM items ORDER BY id DESC");
             Query->Open();
             // The link still holds the old cursor's field: it reads as empty, safely.
             EXPECT_EQ(W.Link.GetField(), before);
             EXPECT_TRUE(before->IsNull());
         },
         {}},
        {"is told once, with the new field", [&] { Query->EnableControls(); }, {"C3"}},
        {"closed while disabled",
         [&] {
             Query->DisableControls();
             Query->Close();
         },
         {}},
        {"is told it has no field", [&] { Query->EnableControls(); }, {"-"}},
        {"opened while disabled",
         [&] {
             Query->DisableControls();
             Query->Open();
         },
         {}},
        {"is told once", [&] { Query->EnableControls(); }, {"C3"}},
    });
    EXPECT_EQ(W.Link.GetField(), &Query->FieldByName("code"));
    EXPECT_FALSE(Query->ControlsDisabled());
    Query->EnableControls(); // one too many is ignored
    EXPECT_FALSE(Query->ControlsDisabled());
}

TEST_F(DataLinks, AFixedDataSourceCannotBeChanged) {
    TDataSource other(nullptr);
    W.Link.SetDataSourceFixed(true);
    EXPECT_THROW(W.Link.SetDataSource(&other), EDatabaseError);
    EXPECT_THROW(W.Link.SetDataSource(nullptr), EDatabaseError);
    EXPECT_EQ(W.Link.GetDataSource(), Source);
    W.Link.SetDataSource(Source); // the same source is no change
    W.Link.SetDataSourceFixed(false);
    W.Link.SetDataSource(&other);
    EXPECT_EQ(W.Link.GetDataSource(), &other);
    W.Link.SetDataSource(nullptr);
}

TEST_F(DataLinks, FreeingTheDataSourceDetachesItsLinks) {
    Query->Open();
    W.Take();
    auto early = std::make_unique<TWatched>();
    early->Link.SetDataSource(Source);
    early.reset(); // a link that goes first leaves nothing behind in the source

    delete Source;
    EXPECT_EQ(W.Take(), TLog{"-"});
    EXPECT_EQ(W.Link.GetDataSource(), nullptr);
    EXPECT_EQ(W.Link.GetField(), nullptr);
    EXPECT_FALSE(W.Link.GetActive());
    EXPECT_EQ(Root.GetComponentCount(), 1) << "the owner let go of it";
    Query->Next(); // the dataset no longer knows the source
    EXPECT_EQ(W.Take(), TLog{});
}

TEST_F(DataLinks, FreeingTheDataSetClearsTheDataSourcesDataSet) {
    Query->Open();
    W.Take();
    delete Query;
    EXPECT_EQ(W.Take(), TLog{"-"});
    EXPECT_EQ(Source->GetDataSet(), nullptr);
    EXPECT_EQ(Source->GetState(), dsInactive);
    EXPECT_EQ(W.Link.GetField(), nullptr);

    // The same when the dataset goes with its owner, and while its controls are disabled.
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* q = new TSQLiteQuery(owner.get());
    q->SetDatabaseName(Db);
    q->SetSQL("SELECT name FROM items");
    Source->SetDataSet(q);
    q->Open();
    EXPECT_EQ(W.Take(), TLog{"alpha"});
    q->DisableControls();
    owner.reset();
    EXPECT_EQ(W.Take(), TLog{"-"});
    EXPECT_EQ(Source->GetDataSet(), nullptr);
}

TEST_F(DataLinks, ADisabledDataSourceForwardsNothing) {
    Query->Open();
    W.Take();
    Run({
        {"Enabled := false", [&] { Source->SetEnabled(false); }, {"-"}},
        {"moves are not forwarded", [&] { Query->Next(); }, {}},
        {"Enabled := true", [&] { Source->SetEnabled(true); }, {"beta"}},
        {"Enabled := true again", [&] { Source->SetEnabled(true); }, {}},
    });
    EXPECT_EQ(Source->GetState(), dsBrowse);
    Source->SetEnabled(false);
    EXPECT_EQ(Source->GetState(), dsInactive);
    EXPECT_FALSE(W.Link.GetActive());
}

// Moves its dataset on; remembers the dataset it was asked to update for.
class TNextAction : public TBasicAction {
public:
    explicit TNextAction(TDataSet* Target) : TBasicAction(nullptr), FTarget(Target) {}
    bool HandlesTarget(TPersistent* Target) const override { return Target && Target == FTarget; }
    bool ExecuteTarget(TPersistent& D) override {
        static_cast<TDataSet&>(D).Next();
        return true;
    }
    bool UpdateTarget(TPersistent& D) override {
        Updated = &static_cast<TDataSet&>(D);
        return true;
    }
    TDataSet* FTarget;
    TDataSet* Updated = nullptr;
};

TEST_F(DataLinks, ALinkCarriesOutActionsMeantForItsDataSet) {
    Query->Open();
    TSQLiteQuery other(nullptr);
    TNextAction mine(Query), theirs(&other), none(nullptr);
    TBasicAction plain(nullptr);

    EXPECT_TRUE(W.Link.ExecuteAction(mine));
    EXPECT_EQ(Query->GetRecNo(), 2);
    EXPECT_TRUE(W.Link.UpdateAction(mine));
    EXPECT_EQ(mine.Updated, Query);

    for (TBasicAction* a : std::initializer_list<TBasicAction*>{&theirs, &none, &plain}) {
        EXPECT_FALSE(W.Link.ExecuteAction(*a));
        EXPECT_FALSE(W.Link.UpdateAction(*a));
    }
    EXPECT_EQ(Query->GetRecNo(), 2);
    EXPECT_EQ(theirs.Updated, nullptr);

    TFieldDataLink unlinked;
    EXPECT_FALSE(unlinked.ExecuteAction(mine));
    EXPECT_FALSE(unlinked.UpdateAction(mine));
    EXPECT_EQ(Query->GetRecNo(), 2);
}

TEST_F(DataLinks, FormFilesReachTheClassesThroughTheirPublishedProperties) {
    RegisterDBClasses();
    RegisterDBClasses();
    const struct {
        const char* Class;
        std::vector<std::string> Properties;
    } cases[] = {
        {"TDataSource", {"Name", "Tag", "DataSet", "Enabled"}},
        // Active is every dataset's, and so comes before the descendant's own settings.
        {"TSQLiteQuery", {"Name", "Tag", "Active", "DatabaseName", "SQL"}},
        {"TCSVDataSet", {"Name", "Tag", "Active", "FileName"}},
    };
    for (const auto& c : cases) {
        const TClassInfo* info = FindClass(c.Class);
        ASSERT_NE(info, nullptr) << c.Class;
        std::vector<std::string> names;
        for (const TPropInfo* p : info->Properties())
            names.push_back(p->Name);
        EXPECT_EQ(names, c.Properties) << c.Class;
        std::unique_ptr<TComponent> made(info->Create(nullptr));
        EXPECT_EQ(made->ClassName(), c.Class);
    }
    const TClassInfo& source = TDataSource::StaticClassInfo();
    EXPECT_EQ(source.FindProperty("Enabled")->Default, 1);
    EXPECT_EQ(source.FindProperty("DataSet")->Type->Kind, TTypeKind::Component);
    EXPECT_EQ(source.FindProperty("DataSet")->Type->ClassType, &TDataSet::StaticClassInfo());
    EXPECT_EQ(TSQLiteQuery::StaticClassInfo().FindProperty("Active")->Default, 0);
    EXPECT_EQ(TCSVDataSet::StaticClassInfo().FindProperty("Active")->Default, 0);
    EXPECT_EQ(DataSourceType().ClassType, &TDataSource::StaticClassInfo());

    // As the loader does it: Active comes first in this file and is applied in Loaded.
    std::unique_ptr<TComponent> made(FindClass("TSQLiteQuery")->Create(nullptr));
    made->SetLoading(true);
    const TClassInfo& q = made->ClassInfo();
    q.FindProperty("Active")->SetOrd(*made, 1);
    q.FindProperty("DatabaseName")->SetStr(*made, Db);
    q.FindProperty("SQL")->SetStr(*made, "SELECT name FROM items ORDER BY id");
    auto* query = dynamic_cast<TSQLiteQuery*>(made.get());
    ASSERT_NE(query, nullptr);
    EXPECT_FALSE(query->GetActive());
    TDataSource src(nullptr);
    source.FindProperty("DataSet")->SetRef(src, query);
    EXPECT_EQ(source.FindProperty("DataSet")->GetRef(src), query);
    made->Loaded();
    EXPECT_TRUE(query->GetActive());
    EXPECT_EQ(q.FindProperty("Active")->GetOrd(*made), 1);
    EXPECT_EQ(query->FieldByName("name").GetAsString(), "alpha");
    EXPECT_EQ(src.GetState(), dsBrowse);
}

} // namespace
} // namespace vcl
