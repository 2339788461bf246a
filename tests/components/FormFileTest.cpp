// The barcode components in form files: what is written, round trips through both forms, and
// the single render after loading.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/BarcodeTypes.h"
#include "engine/Barcode.h"
#include "host/classes/Streaming.h"
#include "host/controls/Forms.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"
#include "tests/components/ComponentTesting.h"

namespace lumivex {
namespace {

using testing::PixelDifference;

// Counts the render steps of components the form reader creates.
class CountingBmp : public TBarcodeBmp {
public:
    using TBarcodeBmp::TBarcodeBmp;
    // Whether the component was loading at each render step.
    std::vector<bool> LoadingAtCall;
    const vcl::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const vcl::TClassInfo& StaticClassInfo() {
        static const vcl::TClassInfo info("TCountingBmp", &TBarcodeBmp::StaticClassInfo(),
                                          &vcl::CreateComponent<CountingBmp>);
        return info;
    }

protected:
    void PaintBC() override {
        LoadingAtCall.push_back(InState(vcl::csLoading));
        TBarcodeBmp::PaintBC();
    }
};

class FormFiles : public ::testing::Test {
protected:
    void SetUp() override {
        vcl::RegisterHostClasses();
        RegisterBarcodeClasses();
        vcl::RegisterClass(CountingBmp::StaticClassInfo());
    }
};

TEST_F(FormFiles, ANewBitmapComponentWritesEverySettingButTheBitmap) {
    vcl::TDataModule module(nullptr);
    module.SetName("Module1");
    auto* b = new TBarcodeBmp(&module);
    b->SetName("Barcode1");
    const std::string text = vcl::WriteComponentToString(module, vcl::TFormFileFormat::Text);
    EXPECT_EQ(text, "object Module1: TDataModule\n"
                    "  Left = 0\n"
                    "  Top = 0\n"
                    "  Height = 150\n"
                    "  Width = 215\n"
                    "  object Barcode1: TBarcodeBmp\n"
                    "    Height = 50\n"
                    "    BarcodeType = bcCode128\n"
                    "    Font.Charset = DEFAULT_CHARSET\n"
                    "    Font.Color = clWindowText\n"
                    "    Font.Height = -11\n"
                    "    Font.Name = 'Courier New'\n"
                    "    Font.Style = []\n"
                    "    Scale = 1\n"
                    "    Interpret = True\n"
                    "    Rotate = bcNoRotate\n"
                    "  end\n"
                    "end\n");
}

TEST_F(FormFiles, AControlWritesVisibleOnlyWhenHidden) {
    vcl::TForm form(nullptr);
    form.SetName("Form1");
    auto* b = new TBarcode(&form);
    b->SetName("Barcode1");
    b->SetParent(&form);
    EXPECT_EQ(vcl::WriteComponentToString(form, vcl::TFormFileFormat::Text).find("Visible"),
              std::string::npos);
    b->SetVisible(false);
    EXPECT_NE(vcl::WriteComponentToString(form, vcl::TFormFileFormat::Text)
                  .find("    Font.Style = []\n    Visible = False\n    Rotate = bcNoRotate\n"),
              std::string::npos);
}

TEST_F(FormFiles, EveryPublishedSettingSurvivesBothForms) {
    vcl::TForm form(nullptr);
    form.SetName("Form1");
    form.SetCaption("Labels");
    form.SetClientWidth(300);
    auto* bmp = new TBarcodeBmp(&form);
    bmp->SetName("Bmp1");
    bmp->SetTag(7);
    bmp->GetFont().SetName("DejaVu Sans");
    bmp->SetBarcodeType(bcEAN13);
    bmp->SetBarcodeText("400638133393");
    bmp->SetScale(2);
    bmp->SetHeight(60);
    bmp->SetRotate(bcRotate90);
    auto* ctl = new TBarcode(&form);
    ctl->SetName("Ctl1");
    ctl->SetParent(&form);
    ctl->SetBounds(12, 34, 1, 70);
    ctl->SetBarcodeType(bcCode39);
    ctl->SetBarcodeText("LUMIVEX 1");
    ctl->SetInterpret(false);
    ctl->SetRotate(bcRotate180);
    ctl->SetCursor(vcl::crHandPoint);
    ctl->SetHint("it's a 'barcode'");
    ctl->SetVisible(false);

    for (auto format : {vcl::TFormFileFormat::Text, vcl::TFormFileFormat::Binary}) {
        SCOPED_TRACE(format == vcl::TFormFileFormat::Text ? "text" : "binary");
        const std::string data = vcl::WriteComponentToString(form, format);
        const auto root = vcl::ReadComponentFromString(data);
        auto* f = dynamic_cast<vcl::TForm*>(root.get());
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->GetCaption(), "Labels");
        EXPECT_EQ(f->GetClientWidth(), 300);

        auto* b = dynamic_cast<TBarcodeBmp*>(f->FindComponent("Bmp1"));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->GetTag(), 7);
        EXPECT_EQ(b->GetBarcodeType(), bcEAN13);
        EXPECT_EQ(b->GetBarcodeText(), "400638133393");
        EXPECT_EQ(b->GetScale(), 2);
        EXPECT_EQ(b->GetHeight(), 60);
        EXPECT_EQ(b->GetRotate(), bcRotate90);
        EXPECT_TRUE(b->GetInterpret());
        EXPECT_TRUE(b->GetFont() == bmp->GetFont());
        EXPECT_FALSE(b->InState(vcl::csLoading));
        // Loaded rendered the bitmap from what was read.
        EXPECT_EQ(PixelDifference(b->GetBitmap(), bmp->GetBitmap()), "");

        auto* c = dynamic_cast<TBarcode*>(f->FindComponent("Ctl1"));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetParent(), f);
        EXPECT_EQ(c->GetLeft(), 12);
        EXPECT_EQ(c->GetTop(), 34);
        EXPECT_EQ(c->GetHeight(), 70);
        EXPECT_EQ(c->GetBarcodeType(), bcCode39);
        EXPECT_EQ(c->GetBarcodeText(), "LUMIVEX 1");
        EXPECT_FALSE(c->GetInterpret());
        EXPECT_EQ(c->GetRotate(), bcRotate180);
        EXPECT_EQ(c->GetCursor(), vcl::crHandPoint);
        EXPECT_EQ(c->GetHint(), "it's a 'barcode'");
        EXPECT_FALSE(c->GetVisible());
        EXPECT_TRUE(c->GetFont() == ctl->GetFont());

        // Written again, the tree gives the same file; the other form converts back to it.
        EXPECT_EQ(vcl::WriteComponentToString(*f, format), data);
        if (format == vcl::TFormFileFormat::Text) {
            EXPECT_EQ(vcl::ObjectBinaryToText(vcl::ObjectTextToBinary(data)), data);
        }
    }
}

TEST_F(FormFiles, AReadComponentRendersOnceAfterEverythingIsSet) {
    const std::string text = "object Module1: TDataModule\n"
                             "  object Barcode1: TCountingBmp\n"
                             "    Height = 40\n"
                             "    BarcodeText = 'abc'\n"
                             "    BarcodeType = bcCode39\n"
                             "    Font.Name = 'DejaVu Sans'\n"
                             "    Scale = 3\n"
                             "    Interpret = False\n"
                             "    Rotate = bcRotate270\n"
                             "  end\n"
                             "end\n";
    const auto root = vcl::ReadComponentFromString(text);
    auto* b = dynamic_cast<CountingBmp*>(root->FindComponent("Barcode1"));
    ASSERT_NE(b, nullptr);
    // Every setter ran while the component was loading; only Loaded's call could render.
    ASSERT_FALSE(b->LoadingAtCall.empty());
    EXPECT_EQ(std::count(b->LoadingAtCall.begin(), b->LoadingAtCall.end(), false), 1);
    EXPECT_FALSE(b->LoadingAtCall.back());
    // The text was filtered for Code 128 while it was read, then again for Code 39.
    EXPECT_EQ(b->GetBarcodeText(), "ABC");
    const auto want =
        testing::Reference({bcCode39, 3, 40, "ABC", false, bcRotate270, "DejaVu Sans"});
    EXPECT_EQ(PixelDifference(b->GetBitmap(), *want), "");
}

TEST_F(FormFiles, BarcodesPastTheBitmapBudgetTogetherFailTheFormCleanly) {
    // Each barcode alone fits the bitmap limit; the two together do not.
    const int width = CalcWidth(1, bcCode128, "12");
    const int height = static_cast<int>((vcl::MaxBitmapBytes / 5 * 3) / std::size_t(width));
    std::string barcode = "    Height = " + std::to_string(height) + "\n";
    barcode += "    BarcodeText = '12'\n";
    barcode += "    Scale = 1\n";
    barcode += "    Interpret = False\n";
    barcode += "  end\n";
    std::string text = "object Module1: TDataModule\n";
    text += "  object Barcode1: TBarcodeBmp\n" + barcode;
    const std::size_t before = vcl::BitmapBytesInUse();
    EXPECT_NO_THROW(vcl::ReadComponentFromString(text + "end\n"));
    EXPECT_EQ(vcl::BitmapBytesInUse(), before);

    text += "  object Barcode2: TBarcodeBmp\n" + barcode;
    try {
        vcl::ReadComponentFromString(text + "end\n");
        ADD_FAILURE() << "no exception";
    } catch (const vcl::EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("all bitmaps together"), std::string::npos)
            << e.what();
    }
    // Nothing of the half-read form stays behind.
    EXPECT_EQ(vcl::BitmapBytesInUse(), before);
}

} // namespace
} // namespace lumivex
