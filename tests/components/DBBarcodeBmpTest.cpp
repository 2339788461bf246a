// TDBBarcodeBmp over real datasets (a SQLite file and a CSV file): what it renders on each data
// change, and how it follows and loses its data source.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "components/DBBarcodeBmp.h"
#include "host/db/DB.h"
#include "tests/components/ComponentTesting.h"
#include "tests/components/DBComponentTesting.h"

namespace lumivex {
namespace {

using testing::Kind;
using testing::Shows;
using testing::TItem;

using DBBarcodeBmps = testing::DBComponentTest;

TEST_F(DBBarcodeBmps, ANewComponentHasTheDefaultsAndThePublishedProperties) {
    TDBBarcodeBmp b(nullptr);
    EXPECT_EQ(b.GetHeight(), 50);
    EXPECT_EQ(b.GetScale(), 1);
    EXPECT_TRUE(b.GetInterpret());
    EXPECT_EQ(b.GetBarcodeType(), bcCode128);
    EXPECT_EQ(b.GetRotate(), bcNoRotate);
    EXPECT_EQ(b.GetDataSource(), nullptr);
    EXPECT_EQ(b.GetDataField(), "");
    EXPECT_EQ(b.GetBarcodeText(), "");
    EXPECT_EQ(b.GetFieldText(), "");
    EXPECT_EQ(b.GetFont().GetName(), "Courier New");
    EXPECT_EQ(b.GetBitmap().GetWidth(), 20);
    EXPECT_EQ(b.GetBitmap().GetHeight(), 50);
    EXPECT_EQ(b.GetBitmap().GetPixelFormat(), vcl::pf8bit);
    EXPECT_EQ(b.GetDataLink().GetControl(), &b);
    EXPECT_TRUE(static_cast<bool>(b.GetDataLink().OnDataChange));

    const vcl::TClassInfo& info = TDBBarcodeBmp::StaticClassInfo();
    EXPECT_EQ(testing::PropertyNames(info),
              (std::vector<std::string>{"Name", "Tag", "Height", "Bitmap", "BarcodeType", "Scale",
                                        "Interpret", "DataField", "DataSource", "Font", "Rotate"}));
    for (const vcl::TPropInfo* p : info.Properties()) {
        if (p->Name == "Name" || p->Name == "Tag")
            continue;
        EXPECT_FALSE(p->Default.has_value()) << p->Name;
        EXPECT_TRUE(p->Stored(b)) << p->Name;
    }
    EXPECT_FALSE(info.FindProperty("Bitmap")->Writable());
    const vcl::TTypeInfo& source = *info.FindProperty("DataSource")->Type;
    EXPECT_EQ(source.Kind, vcl::TTypeKind::Component);
    EXPECT_EQ(source.ClassType, &vcl::TDataSource::StaticClassInfo());
    EXPECT_EQ(vcl::FindClass("TDBBarcodeBmp"), &info);
}

// Every step below must render (the bitmap is scribbled over before it) and show the text of
// the current record's field as filtered for Code 128.
TEST_F(DBBarcodeBmps, EachDataChangeRendersTheFieldsFilteredText) {
    // The second code is "Größe 42" in UTF-8.
    const std::vector<TItem> rows = {
        {"ABC-123", "first"}, {"Gr\303\266\303\237e 42", "second"}, {"say \"hi\", twice", "third"}};
    for (Kind k : {Kind::SQLite, Kind::CSV}) {
        SCOPED_TRACE(testing::Shown(k));
        Module.DestroyComponents();
        TDBBarcodeBmp* b = Linked(k, rows);
        b->SetScale(2);
        b->SetInterpret(false);
        b->SetRotate(bcRotate90);
        const struct {
            const char* What;
            std::function<void()> Do;
            std::string Raw;
        } steps[] = {
            {"Open", [&] { Data->Open(); }, rows[0].Code},
            {"Next: characters beyond ASCII are dropped", [&] { Data->Next(); }, rows[1].Code},
            {"Next", [&] { Data->Next(); }, rows[2].Code},
            {"Prior", [&] { Data->Prior(); }, rows[1].Code},
            {"Edit", [&] { Data->Edit(); }, rows[1].Code},
            {"an edit of the field", [&] { Data->FieldByName("code").SetAsString("NEW-9"); },
             "NEW-9"},
            {"Post", [&] { Data->Post(); }, "NEW-9"},
            {"another field", [&] { b->SetDataField("name"); }, "second"},
            {"no such field", [&] { b->SetDataField("price"); }, ""},
            {"the field again", [&] { b->SetDataField("code"); }, "NEW-9"},
            {"Close", [&] { Data->Close(); }, ""},
            {"Open again", [&] { Data->Open(); }, rows[0].Code},
            {"Last", [&] { Data->Last(); }, rows[2].Code},
        };
        for (const auto& s : steps) {
            testing::Scribble(b->GetBitmap(), vcl::clBlack);
            s.Do();
            EXPECT_TRUE(Shows(*b, s.Raw)) << s.What;
            EXPECT_EQ(b->GetFieldText(), s.Raw) << s.What;
            if (s.Raw == rows[1].Code) {
                EXPECT_EQ(b->GetBarcodeText(), "Gre 42") << s.What;
            }
        }
        EXPECT_EQ(b->GetBarcodeText(), "say \"hi\", twice");
        if (k == Kind::SQLite) {
            dbtest::TSqlFile f(Db);
            EXPECT_EQ(f.Rows("SELECT code FROM items WHERE id = 2"),
                      std::vector<std::string>{"NEW-9"});
        }
    }
}

TEST_F(DBBarcodeBmps, ASymbologyChangeFiltersTheStoredTextUntilTheNextDataChange) {
    TDBBarcodeBmp* b = Linked(Kind::SQLite, {{"AB12cd34", "a"}, {"9", "b"}});
    Data->Open();
    EXPECT_TRUE(Shows(*b, "AB12cd34"));
    b->SetBarcodeType(bcEAN8);
    EXPECT_TRUE(Shows(*b, "1234"));
    // Back to Code 128: the letters that EAN-8 dropped stay dropped.
    b->SetBarcodeType(bcCode128);
    EXPECT_TRUE(Shows(*b, "1234"));
    // The text is not published; whatever is put there lasts until the field is read again.
    b->SetBarcodeText("manual");
    EXPECT_TRUE(Shows(*b, "manual"));
    Data->Next();
    Data->Prior();
    EXPECT_TRUE(Shows(*b, "AB12cd34"));
    b->SetBarcodeType(bcCode39);
    EXPECT_TRUE(Shows(*b, "AB12CD34"));
}

TEST_F(DBBarcodeBmps, FreeingTheDataSourceDisconnects) {
    TDBBarcodeBmp* b = Linked(Kind::SQLite, {{"A1", ""}, {"B2", ""}});
    auto* bystander = new vcl::TDataSource(&Module);
    Data->Open();
    delete bystander;
    EXPECT_EQ(b->GetDataSource(), Source);

    delete Source;
    EXPECT_EQ(b->GetDataSource(), nullptr);
    EXPECT_TRUE(Shows(*b, ""));
    // The dataset lives on, but no longer reaches the barcode.
    testing::Scribble(b->GetBitmap(), vcl::clBlack);
    Data->Next();
    EXPECT_EQ(b->GetBitmap().PixelColor(0, 0), vcl::clBlack);

    // An owner that lets the source go tells its other components, which let go of it too.
    auto* kept = new vcl::TDataSource(&Module);
    b->SetDataSource(kept);
    Module.RemoveComponent(kept);
    EXPECT_EQ(b->GetDataSource(), nullptr);
    delete kept;

    // A source owned elsewhere that outlives the barcode forgets it.
    vcl::TDataSource other(nullptr);
    other.SetDataSet(Data);
    b->SetDataSource(&other);
    EXPECT_TRUE(Shows(*b, "B2"));
    delete b;
    Data->First();
    EXPECT_EQ(Data->GetRecNo(), 1);
}

TEST_F(DBBarcodeBmps, AFixedDataSourceIsKeptWhileLoading) {
    const struct {
        bool Fixed;
        bool Loading;
        bool Moves;
        bool Raises;
    } rows[] = {
        {false, false, true, false},
        {false, true, true, false},
        {true, true, false, false},
        // Outside loading the link itself refuses.
        {true, false, false, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.Fixed ? "fixed" : "free") + (r.Loading ? ", loading" : ""));
        vcl::TDataSource a(nullptr), other(nullptr);
        TDBBarcodeBmp b(nullptr);
        b.SetDataSource(&a);
        b.GetDataLink().SetDataSourceFixed(r.Fixed);
        b.SetLoading(r.Loading);
        if (r.Raises)
            EXPECT_THROW(b.SetDataSource(&other), vcl::EDatabaseError);
        else
            b.SetDataSource(&other);
        EXPECT_EQ(b.GetDataSource(), r.Moves ? &other : &a);
        EXPECT_EQ(b.GetDataLink().GetDataSource(), b.GetDataSource());
        b.SetLoading(false);
        b.GetDataLink().SetDataSourceFixed(false);
    }
}

// Moves its dataset on; remembers the dataset it was asked to update for.
class TNextAction : public vcl::TBasicAction {
public:
    explicit TNextAction(vcl::TDataSet* Target) : vcl::TBasicAction(nullptr), FTarget(Target) {}
    bool HandlesTarget(vcl::TPersistent* Target) const override {
        return Target && Target == FTarget;
    }
    bool ExecuteTarget(vcl::TPersistent& D) override {
        static_cast<vcl::TDataSet&>(D).Next();
        return true;
    }
    bool UpdateTarget(vcl::TPersistent& D) override {
        Updated = &static_cast<vcl::TDataSet&>(D);
        return true;
    }
    vcl::TDataSet* FTarget;
    vcl::TDataSet* Updated = nullptr;
};

TEST_F(DBBarcodeBmps, TheComponentAnswersForItsDataLink) {
    TDBBarcodeBmp* b = Linked(Kind::CSV, {{"A1", ""}, {"B2", ""}});
    Data->Open();
    EXPECT_EQ(b->Perform(vcl::CM_GETDATALINK, 0, 0),
              reinterpret_cast<std::intptr_t>(&b->GetDataLink()));
    EXPECT_EQ(b->Perform(vcl::CM_GETDATALINK + 1, 0, 0), 0);

    TNextAction mine(Data), theirs(nullptr);
    EXPECT_TRUE(b->ExecuteAction(mine));
    EXPECT_TRUE(Shows(*b, "B2"));
    EXPECT_TRUE(b->UpdateAction(mine));
    EXPECT_EQ(mine.Updated, Data);
    EXPECT_FALSE(b->ExecuteAction(theirs));
    EXPECT_FALSE(b->UpdateAction(theirs));

    TDBBarcodeBmp unlinked(nullptr);
    EXPECT_FALSE(unlinked.ExecuteAction(mine));
    EXPECT_FALSE(unlinked.UpdateAction(mine));
    EXPECT_EQ(Data->GetRecNo(), 2);
}

// Field values that read like SQL are only characters to render: they never reach an SQL
// statement as text, neither when read nor when written back.
TEST_F(DBBarcodeBmps, HostileSqlInAFieldOnlyRendersItsCharacters) {
    const std::vector<TItem> rows = {
        {"'; DROP TABLE items; --", "a"}, {"Robert'); DELETE FROM items;--", "b"}, {"plain", "c"}};
    TDBBarcodeBmp* b = Linked(Kind::SQLite, rows);
    auto* b39 = new TDBBarcodeBmp(&Module);
    b39->SetBarcodeType(bcCode39);
    b39->SetDataField("code");
    b39->SetDataSource(Source);
    Data->Open();
    for (const TItem& r : rows) {
        SCOPED_TRACE(r.Code);
        EXPECT_TRUE(Shows(*b, r.Code));
        EXPECT_TRUE(Shows(*b39, r.Code));
        Data->Next();
    }
    EXPECT_EQ(b39->GetBarcodeText(), "PLAIN");

    const std::string hostile = "x'); DROP TABLE items;--";
    Data->Edit();
    Data->FieldByName("code").SetAsString(hostile);
    Data->Post();
    EXPECT_TRUE(Shows(*b, hostile));
    b->SetDataField("code'); DROP TABLE items;--");
    EXPECT_TRUE(Shows(*b, ""));

    dbtest::TSqlFile f(Db);
    EXPECT_EQ(
        f.Rows("SELECT id, code, name FROM items ORDER BY id"),
        (std::vector<std::string>{"1|'; DROP TABLE items; --|a",
                                  "2|Robert'); DELETE FROM items;--|b", "3|" + hostile + "|c"}));
    EXPECT_EQ(f.Rows("SELECT name FROM sqlite_master WHERE type = 'table'"),
              std::vector<std::string>{"items"});
}

} // namespace
} // namespace lumivex
