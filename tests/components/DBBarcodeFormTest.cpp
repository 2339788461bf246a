// TDBBarcodeBmp in form files: its data source written by name and found again after loading,
// both forms, and what loading renders at design time and at run time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/DBBarcodeBmp.h"
#include "engine/Barcode.h"
#include "host/classes/Streaming.h"
#include "host/controls/Forms.h"
#include "host/db/DB.h"
#include "host/sysutils/SysUtils.h"
#include "tests/components/DBComponentTesting.h"

namespace lumivex {
namespace {

using testing::Kind;
using testing::Shows;
using testing::TItem;

const std::vector<TItem> kRows = {{"lbl-001", "first"}, {"lbl-002", "second"}};

// A designer's module: what it takes in is designed with it, as the framework's designer sees
// to for every component it creates in a designed root.
class TDesignModule : public vcl::TDataModule {
public:
    using TDataModule::TDataModule;

protected:
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override {
        vcl::TDataModule::Notification(AComponent, Operation);
        if (Operation == vcl::opInsert && AComponent && InState(vcl::csDesigning))
            AComponent->SetDesigning(true);
    }
};

class DBBarcodeForms : public testing::DBComponentTest {
protected:
    // A module named Labels holding an open dataset Items1, a barcode Barcode1 and, after the
    // barcode so that the file refers ahead, its data source Source1; written as text.
    std::string LabelsText(Kind K) {
        vcl::TDataModule m(nullptr);
        m.SetName("Labels");
        vcl::TDataSet* d = Items(K, kRows, &m);
        d->SetName("Items1");
        auto* b = new TDBBarcodeBmp(&m);
        b->SetName("Barcode1");
        b->SetBarcodeType(bcCode39);
        b->SetScale(2);
        b->SetDataField("code");
        auto* s = new vcl::TDataSource(&m);
        s->SetName("Source1");
        s->SetDataSet(d);
        b->SetDataSource(s);
        d->Open();
        return vcl::WriteComponentToString(m, vcl::TFormFileFormat::Text);
    }
};

TEST_F(DBBarcodeForms, TheDataSourceTravelsByNameThroughBothForms) {
    for (Kind k : {Kind::SQLite, Kind::CSV}) {
        SCOPED_TRACE(testing::Shown(k));
        const std::string text = LabelsText(k);
        // The font lines between carry what the last render left in the canvas's font.
        for (const char* part : {"  object Barcode1: TDBBarcodeBmp\n"
                                 "    Height = 50\n"
                                 "    BarcodeType = bcCode39\n"
                                 "    Scale = 2\n"
                                 "    Interpret = True\n"
                                 "    DataField = 'code'\n"
                                 "    DataSource = Source1\n"
                                 "    Font.Charset = DEFAULT_CHARSET\n",
                                 "    Font.Name = 'Courier New'\n"
                                 "    Font.Style = []\n"
                                 "    Rotate = bcNoRotate\n"
                                 "  end\n"
                                 "  object Source1: TDataSource\n"
                                 "    DataSet = Items1\n"
                                 "  end\n"})
            EXPECT_NE(text.find(part), std::string::npos) << part << "\nin\n" << text;
        const std::string binary = vcl::ObjectTextToBinary(text);
        EXPECT_EQ(vcl::ObjectBinaryToText(binary), text);

        for (const std::string& data : {text, binary}) {
            SCOPED_TRACE(&data == &text ? "text" : "binary");
            const auto root = vcl::ReadComponentFromString(data);
            auto* b = dynamic_cast<TDBBarcodeBmp*>(root->FindComponent("Barcode1"));
            auto* s = dynamic_cast<vcl::TDataSource*>(root->FindComponent("Source1"));
            auto* d = dynamic_cast<vcl::TDataSet*>(root->FindComponent("Items1"));
            ASSERT_TRUE(b && s && d);
            EXPECT_EQ(b->GetDataSource(), s);
            EXPECT_EQ(s->GetDataSet(), d);
            EXPECT_TRUE(d->GetActive());
            EXPECT_EQ(b->GetDataField(), "code");
            EXPECT_EQ(b->GetBarcodeType(), bcCode39);
            EXPECT_EQ(b->GetScale(), 2);
            EXPECT_FALSE(b->InState(vcl::csLoading));
            EXPECT_EQ(vcl::WriteComponentToString(*root, vcl::TFormFileFormat::Text), text);
            EXPECT_EQ(vcl::WriteComponentToString(*root, vcl::TFormFileFormat::Binary), binary);
            // The link was made: the next record move reaches the barcode.
            d->Next();
            EXPECT_TRUE(Shows(*b, kRows[1].Code));
            // And the source's free notification reaches it too.
            delete s;
            EXPECT_EQ(b->GetDataSource(), nullptr);
        }
    }
}

TEST_F(DBBarcodeForms, OnlyTheDesignerRendersWhenTheFormIsLoaded) {
    for (Kind k : {Kind::SQLite, Kind::CSV}) {
        SCOPED_TRACE(testing::Shown(k));
        const std::string text = LabelsText(k);

        TDesignModule designed(nullptr);
        designed.SetDesigning(true);
        vcl::ReadComponentInto(text, designed);
        auto* b = dynamic_cast<TDBBarcodeBmp*>(designed.FindComponent("Barcode1"));
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->InState(vcl::csDesigning));
        EXPECT_TRUE(Shows(*b, kRows[0].Code));

        const auto running = vcl::ReadComponentFromString(text);
        b = dynamic_cast<TDBBarcodeBmp*>(running->FindComponent("Barcode1"));
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->InState(vcl::csDesigning));
        // The dataset opened while the barcode was still loading: the text was taken, the bitmap
        // was left as the constructor made it.
        EXPECT_EQ(b->GetBarcodeText(), FilterBCText(bcCode39, kRows[0].Code));
        EXPECT_EQ(b->GetBitmap().GetWidth(), 20);
        EXPECT_FALSE(Shows(*b, kRows[0].Code));
        dynamic_cast<vcl::TDataSet&>(*running->FindComponent("Items1")).Next();
        EXPECT_TRUE(Shows(*b, kRows[1].Code));
    }
}

TEST_F(DBBarcodeForms, ADataSourceThatIsNoneIsAReadError) {
    const std::string text = LabelsText(Kind::CSV);
    const std::string ref = "DataSource = Source1";
    const struct {
        const char* Target;
        const char* Message;
    } rows[] = {
        {"Nowhere1", "no component named Nowhere1"},
        {"Items1", "Items1 is a TCSVDataSet, expected a TDataSource"},
        {"Labels.Source1", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Target);
        std::string changed = text;
        changed.replace(changed.find(ref), ref.size(), std::string("DataSource = ") + r.Target);
        if (!r.Message) {
            const auto root = vcl::ReadComponentFromString(changed);
            EXPECT_EQ(
                dynamic_cast<TDBBarcodeBmp&>(*root->FindComponent("Barcode1")).GetDataSource(),
                root->FindComponent("Source1"));
            continue;
        }
        try {
            vcl::ReadComponentFromString(changed);
            ADD_FAILURE() << "read without error";
        } catch (const vcl::EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(r.Message), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace lumivex
