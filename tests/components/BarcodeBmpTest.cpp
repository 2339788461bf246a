// TBarcodeBmp: defaults, published properties, filtered text, one render per assignment, the
// loading phase, rotation and the bitmap's height, fonts and the bitmap's identity.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "components/BarcodeBmp.h"
#include "components/BarcodeTypes.h"
#include "host/controls/Forms.h"
#include "host/sysutils/SysUtils.h"
#include "tests/components/ComponentTesting.h"

namespace lumivex {
namespace {

using testing::PixelDifference;
using testing::PropertyNames;
using testing::Reference;
using testing::Scribble;
using testing::Settings;

// Counts the render steps; whether one drew is seen on the bitmap.
class CountingBmp : public TBarcodeBmp {
public:
    using TBarcodeBmp::TBarcodeBmp;
    int Calls = 0;

protected:
    void PaintBC() override {
        ++Calls;
        TBarcodeBmp::PaintBC();
    }
};

Settings SettingsOf(const TBarcodeBmp& B) {
    return {B.GetBarcodeType(), B.GetScale(),  B.GetHeight(),        B.GetBarcodeText(),
            B.GetInterpret(),   B.GetRotate(), B.GetFont().GetName()};
}

// The bitmap holds exactly what its settings render to.
std::string Stale(const TBarcodeBmp& B) {
    return PixelDifference(B.GetBitmap(), *Reference(SettingsOf(B)));
}

TEST(BarcodeBmpDefaults, ANewComponentIsTwentyByFiftyWhiteAndReadyForCode128) {
    TBarcodeBmp b(nullptr);
    EXPECT_EQ(b.GetHeight(), 50);
    EXPECT_EQ(b.GetScale(), 1);
    EXPECT_TRUE(b.GetInterpret());
    EXPECT_EQ(b.GetBarcodeType(), bcCode128);
    EXPECT_EQ(b.GetRotate(), bcNoRotate);
    EXPECT_EQ(b.GetBarcodeText(), "");
    EXPECT_EQ(b.GetFont().GetName(), "Courier New");
    // The other font attributes keep the host's defaults.
    EXPECT_EQ(b.GetFont().GetHeight(), vcl::TFont().GetHeight());
    EXPECT_EQ(&b.GetFont(), &b.GetBitmap().GetCanvas().GetFont());

    const vcl::TBitmap& bmp = b.GetBitmap();
    EXPECT_EQ(bmp.GetWidth(), 20);
    EXPECT_EQ(bmp.GetHeight(), 50);
    EXPECT_EQ(bmp.GetPixelFormat(), vcl::pf8bit);
    EXPECT_EQ(bmp.GetCanvas().GetBrush().GetColor(), vcl::clWhite);
    EXPECT_EQ(bmp.GetCanvas().GetBrush().GetStyle(), vcl::bsSolid);
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x)
            ASSERT_EQ(bmp.PixelColor(x, y), vcl::clWhite) << x << ", " << y;
}

TEST(BarcodeBmpProperties, PublishedInDeclaredOrderWithoutDefaultsAndBitmapReadOnly) {
    TBarcodeBmp b(nullptr);
    const vcl::TClassInfo& info = TBarcodeBmp::StaticClassInfo();
    EXPECT_EQ(PropertyNames(info),
              (std::vector<std::string>{"Name", "Tag", "Height", "Bitmap", "BarcodeText",
                                        "BarcodeType", "Font", "Scale", "Interpret", "Rotate"}));
    for (const vcl::TPropInfo* p : info.Properties()) {
        if (p->Name == "Name" || p->Name == "Tag")
            continue;
        SCOPED_TRACE(p->Name);
        EXPECT_FALSE(p->Default.has_value());
        EXPECT_TRUE(p->Stored(b));
        EXPECT_EQ(p->Writable(), p->Name != "Bitmap");
    }
    EXPECT_EQ(info.FindProperty("Bitmap")->GetObj(b), &b.GetBitmap());
    EXPECT_EQ(info.FindProperty("Font")->GetObj(b), &b.GetFont());

    // Enumerations go by identifier, in ordinal order.
    const vcl::TTypeInfo& types = *info.FindProperty("BarcodeType")->Type;
    ASSERT_EQ(types.Names.size(), BC_Symbologies.size());
    EXPECT_EQ(types.IdentOf(bcCode128), "bcCode128");
    EXPECT_EQ(types.IdentOf(bcEAN128), "bcEAN128");
    EXPECT_EQ(types.IdentOf(bcUPC5ext), "bcUPC5ext");
    EXPECT_EQ(types.ValueOf("BCPOSTNET"), bcPOSTNET);
    const vcl::TTypeInfo& rotations = *info.FindProperty("Rotate")->Type;
    EXPECT_EQ(rotations.Names,
              (std::vector<std::string>{"bcNoRotate", "bcRotate90", "bcRotate180", "bcRotate270"}));

    // Through the descriptions, as the form reader sets them.
    info.FindProperty("BarcodeType")->SetOrd(b, bcCode39);
    info.FindProperty("BarcodeText")->SetStr(b, "abc");
    info.FindProperty("Rotate")->SetOrd(b, bcRotate180);
    EXPECT_EQ(b.GetBarcodeText(), "ABC");
    EXPECT_EQ(b.GetRotate(), bcRotate180);
    EXPECT_EQ(Stale(b), "");
}

TEST(BarcodeBmpText, ReadsBackFilteredForTheSymbology) {
    const struct {
        TBarCodeType Type;
        std::string Assigned;
        std::string Stored;
    } rows[] = {
        {bcCode128, std::string("Lumi\0vex\x80\xC8", 10), "Lumivex\x80"},
        {bcCode39, "abc-12 $/+%.#", "ABC-12 $/+%."},
        {bcCode39Ext, "a\tb", "a\tb"},
        {bcEAN13, "ISBN 978-0-306-40615-7", "978030640615"},
        {bcEAN8, "12345678", "1234567"},
        {bcUPCA, "0 12345 67890 5", "01234567890"},
        {bcUPCE, "x0123456", "012345"},
        {bcInt2of5, "12 34 5", "12345"},
        {bcPOSTNET, "12345-6789", "123456789"},
        {bcUPC5ext, "5 1999", "51999"},
        {bcUPC2ext, "#07#", "07"},
        {bcCode93, "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Assigned);
        TBarcodeBmp b(nullptr);
        b.SetBarcodeType(r.Type);
        b.SetBarcodeText(r.Assigned);
        EXPECT_EQ(b.GetBarcodeText(), r.Stored);
        EXPECT_EQ(Stale(b), "");
    }
}

TEST(BarcodeBmpText, ASymbologySwitchFiltersForGood) {
    TBarcodeBmp b(nullptr);
    b.SetBarcodeText("Ab-12cd");
    b.SetBarcodeType(bcCode39);
    EXPECT_EQ(b.GetBarcodeText(), "AB-12CD");
    b.SetBarcodeType(bcEAN8);
    EXPECT_EQ(b.GetBarcodeText(), "12");
    b.SetBarcodeType(bcCode128);
    EXPECT_EQ(b.GetBarcodeText(), "12");
    EXPECT_EQ(Stale(b), "");
}

TEST(BarcodeBmpRender, EveryAssignmentRendersOnceEvenWithTheSameValue) {
    CountingBmp b(nullptr);
    EXPECT_EQ(b.Calls, 0);
    vcl::TFont arial;
    arial.SetName("DejaVu Sans");
    const struct {
        const char* What;
        std::function<void(TBarcodeBmp&)> Assign;
    } steps[] = {
        {"text", [](TBarcodeBmp& c) { c.SetBarcodeText("4006381333931"); }},
        {"same text", [](TBarcodeBmp& c) { c.SetBarcodeText("4006381333931"); }},
        {"type", [](TBarcodeBmp& c) { c.SetBarcodeType(bcEAN13); }},
        {"same type", [](TBarcodeBmp& c) { c.SetBarcodeType(bcEAN13); }},
        {"height", [](TBarcodeBmp& c) { c.SetHeight(70); }},
        {"same height", [](TBarcodeBmp& c) { c.SetHeight(70); }},
        {"scale", [](TBarcodeBmp& c) { c.SetScale(2); }},
        {"same scale", [](TBarcodeBmp& c) { c.SetScale(2); }},
        {"interpret", [](TBarcodeBmp& c) { c.SetInterpret(false); }},
        {"same interpret", [](TBarcodeBmp& c) { c.SetInterpret(false); }},
        {"rotate", [](TBarcodeBmp& c) { c.SetRotate(bcRotate270); }},
        {"same rotate", [](TBarcodeBmp& c) { c.SetRotate(bcRotate270); }},
        {"interpret again", [](TBarcodeBmp& c) { c.SetInterpret(true); }},
        {"font", [&](TBarcodeBmp& c) { c.SetFont(&arial); }},
        {"same font", [&](TBarcodeBmp& c) { c.SetFont(&arial); }},
    };
    int calls = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.What);
        // Whatever is on the bitmap now must be drawn over by the assignment.
        Scribble(b.GetBitmap(), vcl::clBlack);
        s.Assign(b);
        EXPECT_EQ(b.Calls, ++calls);
        EXPECT_EQ(Stale(b), "");
    }
}

TEST(BarcodeBmpRender, NothingRendersWhileLoadingAndLoadedRendersOnce) {
    CountingBmp b(nullptr);
    Scribble(b.GetBitmap(), vcl::clBlack);
    b.SetLoading(true);
    vcl::TFont font;
    font.SetName("DejaVu Sans");
    b.SetHeight(80);
    b.SetBarcodeType(bcCode39);
    b.SetBarcodeText("loaded");
    b.SetScale(2);
    b.SetInterpret(false);
    b.SetRotate(bcRotate90);
    b.SetFont(&font);
    // Only the height reached the bitmap: nothing was drawn, the new rows are blank.
    const vcl::TBitmap& bmp = b.GetBitmap();
    EXPECT_EQ(bmp.GetWidth(), 20);
    EXPECT_EQ(bmp.GetHeight(), 80);
    EXPECT_EQ(bmp.PixelColor(0, 0), vcl::clBlack);
    EXPECT_EQ(bmp.PixelColor(19, 49), vcl::clBlack);
    EXPECT_EQ(bmp.PixelColor(0, 50), vcl::clWhite);
    EXPECT_EQ(b.GetBarcodeText(), "LOADED");

    const int before = b.Calls;
    b.Loaded();
    EXPECT_FALSE(b.InState(vcl::csLoading));
    EXPECT_EQ(b.Calls, before + 1);
    EXPECT_EQ(Stale(b), "");
    EXPECT_EQ(bmp.GetHeight(), CalcWidth(2, bcCode39, "LOADED"));
}

TEST(BarcodeBmpRender, QuarterTurnsChangeTheBitmapHeightButNotTheBarHeight) {
    TBarcodeBmp b(nullptr);
    b.SetBarcodeText("12345");
    const int length = CalcWidth(1, bcCode128, "12345");
    const vcl::TBitmap* identity = &b.GetBitmap();
    for (TbcRotate r : {bcRotate90, bcRotate270, bcRotate180, bcNoRotate, bcRotate90}) {
        SCOPED_TRACE(int{r});
        b.SetRotate(r);
        const bool quarter = r == bcRotate90 || r == bcRotate270;
        EXPECT_EQ(b.GetHeight(), 50);
        EXPECT_EQ(b.GetBitmap().GetHeight(), quarter ? length : 50);
        EXPECT_EQ(b.GetBitmap().GetWidth(), quarter ? 50 : length);
        EXPECT_EQ(Stale(b), "");
    }
    // The next render starts again from the bar height, not from the turned bitmap's height.
    b.SetScale(1);
    EXPECT_EQ(b.GetBitmap().GetWidth(), 50);
    EXPECT_EQ(Stale(b), "");
    b.SetRotate(bcNoRotate);
    EXPECT_EQ(b.GetBitmap().GetHeight(), 50);
    EXPECT_EQ(&b.GetBitmap(), identity);
}

TEST(BarcodeBmpRender, ValuesOutOfRangeGoToTheRendererUnchanged) {
    TBarcodeBmp b(nullptr);
    b.SetBarcodeText("Range");
    for (int scale : {0, -1, 3})
        for (int height : {0, -5, 1, 50}) {
            SCOPED_TRACE(std::to_string(scale) + " x " + std::to_string(height));
            b.SetScale(scale);
            b.SetHeight(height);
            EXPECT_EQ(b.GetScale(), scale);
            EXPECT_EQ(b.GetHeight(), height);
            EXPECT_EQ(Stale(b), "");
        }
    // The two-digit add-on reads its digits as a number; the filter lets ':' through, which
    // the conversion refuses. The text is stored all the same and the component stays usable.
    b.SetScale(1);
    b.SetHeight(50);
    b.SetBarcodeType(bcUPC2ext);
    EXPECT_THROW(b.SetBarcodeText(":1"), vcl::EConvertError);
    EXPECT_EQ(b.GetBarcodeText(), ":1");
    b.SetBarcodeText("42");
    EXPECT_EQ(Stale(b), "");
}

TEST(BarcodeBmpFont, ANullFontIsIgnoredAndAFontIsCopied) {
    CountingBmp b(nullptr);
    b.SetBarcodeText("Font");
    // Printing the text sets the font's size and colour for the scale; without it the copied
    // attributes stay as they came.
    b.SetInterpret(false);
    const int calls = b.Calls;
    Scribble(b.GetBitmap(), vcl::clBlack);
    b.SetFont(nullptr);
    EXPECT_EQ(b.Calls, calls);
    EXPECT_EQ(b.GetBitmap().PixelColor(0, 0), vcl::clBlack);
    EXPECT_EQ(b.GetFont().GetName(), "Courier New");

    vcl::TFont f;
    f.SetName("DejaVu Sans");
    f.SetSize(12);
    f.SetColor(vcl::clNavy);
    b.SetFont(&f);
    EXPECT_EQ(b.Calls, calls + 1);
    f.SetName("Liberation Serif");
    f.SetSize(30);
    EXPECT_EQ(b.GetFont().GetName(), "DejaVu Sans");
    EXPECT_EQ(b.GetFont().GetSize(), 12);
    EXPECT_EQ(b.GetFont().GetColor(), vcl::clNavy);
    EXPECT_NE(&b.GetFont(), &f);
    EXPECT_EQ(&b.GetFont(), &b.GetBitmap().GetCanvas().GetFont());
}

TEST(BarcodeBmpLifetime, TheOwnerFreesTheComponentAndItsBitmap) {
    vcl::TDataModule module(nullptr);
    auto* b = new TBarcodeBmp(&module);
    b->SetName("Barcode1");
    b->SetBarcodeText("owned");
    EXPECT_EQ(module.FindComponent("barcode1"), b);
    // The sanitizer build sees a leak or a double free here if ownership is wrong.
    module.DestroyComponents();
    EXPECT_EQ(module.GetComponentCount(), 0);
}

TEST(BarcodeBmpRegistry, TheFormReaderCanCreateTheComponents) {
    RegisterBarcodeClasses();
    RegisterBarcodeClasses();
    vcl::TDataModule module(nullptr);
    for (const char* name : {"TBarcodeBmp", "TBARCODE"}) {
        SCOPED_TRACE(name);
        const vcl::TClassInfo& info = vcl::GetClass(name);
        vcl::TComponent* c = info.Create(&module);
        EXPECT_EQ(&c->ClassInfo(), &info);
        EXPECT_EQ(c->GetOwner(), &module);
    }
    EXPECT_EQ(vcl::GetClass("TBarcodeBmp").Name(), "TBarcodeBmp");
}

} // namespace
} // namespace lumivex
