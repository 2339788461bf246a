// The package's design-time part as a designer meets it: what Register registers and in which
// order, the editors the designer then finds, their verbs, About texts and previews.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "../host/WidgetSetTesting.h"
#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/DBBarcodeBmp.h"
#include "design/BarcodeReg.h"
#include "preview/BCModal.h"

namespace lumivex {
namespace {

// Register once per test, tagged, and everything it registered goes again afterwards.
class Registered : public ::testing::Test {
protected:
    void SetUp() override {
        vcl::TModuleRegistration tag(&Module);
        Register();
    }
    void TearDown() override { vcl::UnregisterModuleClasses(&Module); }
    static inline const char Module = 0;
    vcl::testing::ScopedWidgetSet<> WS;
    vcl::THeadlessDesigner Designer;
};

std::string Described(const vcl::TPropertyEditorRegistration& R) {
    return R.PropertyType->Name + " " + R.ComponentClass->Name() + "." + R.PropertyName + ": " +
           R.EditorClass.Name;
}

TEST_F(Registered, TheRegistriesHoldThePackagesEntriesInOrder) {
    std::vector<std::string> got;
    for (const auto& r : vcl::ComponentRegistrations())
        if (r.Module == &Module)
            got.push_back(r.Page + " " + r.ComponentClass->Name());
    EXPECT_EQ(got, (std::vector<std::string>{"Okanda TBarcode", "Okanda TBarcodeBmp",
                                             "Okanda TDBBarcodeBmp"}));
    got.clear();
    for (const auto& r : vcl::PropertyEditorRegistrations())
        if (r.Module == &Module)
            got.push_back(Described(r));
    EXPECT_EQ(
        got, (std::vector<std::string>{"TBitmap TBarcodeBmp.Bitmap: TBarcodeBmpPropertyEdit",
                                       "string TBarcode.BarcodeText: TBarcodeTextEdit",
                                       "TBitmap TDBBarcodeBmp.Bitmap: TDBBarcodeBmpPropertyEdit"}));
    got.clear();
    for (const auto& r : vcl::ComponentEditorRegistrations())
        if (r.Module == &Module)
            got.push_back(r.ComponentClass->Name() + ": " + r.EditorClass.Name);
    EXPECT_EQ(got, (std::vector<std::string>{"TBarcode: TBarcodeCompEdit",
                                             "TBarcodeBmp: TBarcodeBmpCompEdit",
                                             "TDBBarcodeBmp: TDBBarcodeBmpCompEdit"}));
}

TEST_F(Registered, TheDesignerFindsTheEditorsWithTheirAttributes) {
    const vcl::TClassInfo& control = TBarcode::StaticClassInfo();
    const vcl::TClassInfo& bmp = TBarcodeBmp::StaticClassInfo();
    EXPECT_EQ(vcl::GetPropertyEditorClass(*control.FindProperty("BarcodeText"), control).Name,
              "TBarcodeTextEdit");
    const vcl::TPropInfo& text = *bmp.FindProperty("BarcodeText");
    EXPECT_EQ(vcl::GetPropertyEditorClass(text, bmp), vcl::DefaultPropertyEditorClass(text));

    TBarcode barcode(nullptr);
    TBarcodeBmp bitmap(nullptr);
    auto attributes = [&](vcl::TPersistent& C, const char* Name) {
        for (const auto& e : vcl::GetPropertyEditors({&C}, &Designer))
            if (e->GetName() == Name)
                return static_cast<int>(e->GetAttributes().Byte());
        return -1;
    };
    EXPECT_EQ(attributes(bitmap, "Bitmap"), 28);
    EXPECT_EQ(attributes(barcode, "BarcodeText"), 24);
    EXPECT_FALSE(vcl::TPropertyAttributes::FromByte(
                     static_cast<std::uint8_t>(attributes(bitmap, "BarcodeText")))
                     .Contains(vcl::paAutoUpdate));
}

std::vector<std::string> Split(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t next; (next = Text.find("\n\r", at)) != std::string::npos; at = next + 2)
        lines.push_back(Text.substr(at, next - at));
    lines.push_back(Text.substr(at));
    return lines;
}

TEST_F(Registered, EachComponentHasOneVerbThatShowsItsAboutText) {
    const std::string common[] = {"   Create many different styles of barcodes with ",
                                  "barcode type, height, and scale. Simply enter in ",
                                  "whatever text you want represented into the ",
                                  "\"BarcodeText\" property. A bitmap will automatically ",
                                  "be created representing your text. "};
    struct TCase {
        std::unique_ptr<vcl::TComponent> Component;
        std::string Verb;
        std::vector<std::string> Lines;
    };
    TCase cases[] = {
        {std::make_unique<TBarcodeBmp>(nullptr),
         "&About TBarcodeBmp",
         {"                TBarcodeBmp - V1.2", "                ================", "", common[0],
          "the TBarcodeBmp component. Once you decide your ", common[1], common[2], common[3],
          common[4], "Use the bitmap property to display, copy, print, ", "etc., your barcode.",
          ""}},
        {std::make_unique<TDBBarcodeBmp>(nullptr),
         "&About TDBBarcodeBmp",
         {"             TDBBarcodeBmp - V1.2", "             ===================", "", common[0],
          "the TDBBarcodeBmp component. Select your ",
          "barcode type, height, and scale. Then select ",
          "a datasource, and a datafield you wish to be ",
          "represented.  A bitmap will automatically ",
          "be created representing your field's text. ",
          "Use the bitmap property to display, copy, print, ", "etc., your barcode.", ""}},
        {std::make_unique<TBarcode>(nullptr),
         "&About TBarcode",
         {"                TBarcode - V1.2", "                =============", "", common[0],
          "the TBarcodeBmp component. Once you decide your ", common[1], common[2], common[3],
          common[4], "Use the controls canvas property to display, ",
          "copy, print, etc., your barcode.", ""}},
    };
    for (TCase& c : cases) {
        SCOPED_TRACE(c.Verb);
        auto editor = vcl::GetComponentEditor(*c.Component, &Designer);
        ASSERT_EQ(editor->GetVerbCount(), 1);
        EXPECT_EQ(editor->GetVerb(0), c.Verb);
        EXPECT_EQ(editor->GetVerb(1), "");
        const std::size_t before = WS->MessageBoxes().size();
        editor->ExecuteVerb(1);
        EXPECT_EQ(WS->MessageBoxes().size(), before) << "no other verb does anything";
        editor->ExecuteVerb(0);
        ASSERT_EQ(WS->MessageBoxes().size(), before + 1);
        const vcl::TMessageBoxRequest& box = WS->MessageBoxes().back();
        EXPECT_EQ(box.Icon, vcl::TMessageIcon::Information);
        ASSERT_EQ(box.Buttons.size(), 1u);
        EXPECT_EQ(box.HelpContext, 0);
        const std::vector<std::string> lines = Split(box.Text);
        ASSERT_GT(lines.size(), 12u) << "the credit lines follow";
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 12), c.Lines);
        for (const std::string& line : lines)
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a break other than LF CR";
    }
}

TEST_F(Registered, ADoubleClickPreviewsACopyOfTheBitmapOrShowsTheAboutText) {
    TBarcodeBmp bmp(nullptr);
    bmp.SetBarcodeText("LUMIVEX");
    std::ostringstream before;
    bmp.GetBitmap().SaveToStream(before);
    int shown = 0;
    WS->QueueModalAction([&](vcl::TForm& F) {
        auto& preview = dynamic_cast<TFBCModal&>(F);
        const vcl::TBitmap& picture = preview.Image1->GetPicture().GetBitmap();
        EXPECT_NE(&picture, &bmp.GetBitmap());
        EXPECT_EQ(picture.GetWidth(), bmp.GetBitmap().GetWidth());
        ++shown;
        preview.BitBtn1->Click();
    });
    vcl::GetComponentEditor(bmp, &Designer)->Edit();
    // The property's ellipsis does the same.
    WS->QueueModalAction([&](vcl::TForm& F) {
        ++shown;
        F.Close();
    });
    for (const auto& e : vcl::GetPropertyEditors({&bmp}, &Designer))
        if (e->GetName() == "Bitmap")
            e->Edit();
    EXPECT_EQ(shown, 2);
    std::ostringstream after;
    bmp.GetBitmap().SaveToStream(after);
    EXPECT_EQ(after.str(), before.str());
    EXPECT_EQ(Designer.ModifiedCount(), 0);

    TBarcode control(nullptr);
    const std::size_t boxes = WS->MessageBoxes().size();
    vcl::GetComponentEditor(control, &Designer)->Edit();
    EXPECT_EQ(WS->GetModalCount(), 2) << "no preview for the control";
    ASSERT_EQ(WS->MessageBoxes().size(), boxes + 1);
    EXPECT_EQ(WS->MessageBoxes().back().Text, BarcodeAboutText());
}

} // namespace
} // namespace lumivex
