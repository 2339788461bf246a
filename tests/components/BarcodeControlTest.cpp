// TBarcode: defaults, published properties, paint-time rendering and the bounds that follow the
// bitmap, squaring under a quarter turn, invalidation without rendering, loading, visibility
// and fonts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "components/BarcodeControl.h"
#include "host/controls/Forms.h"
#include "host/sysutils/SysUtils.h"
#include "tests/components/ComponentTesting.h"

namespace lumivex {
namespace {

using testing::PixelDifference;
using testing::PropertyNames;
using testing::Reference;
using testing::Settings;

// Counts its paints and records the bar height each one was given.
class CountingBarcode : public TBarcode {
public:
    using TBarcode::TBarcode;
    int Paints = 0;
    std::vector<int> BarHeights;

protected:
    void Paint() override {
        ++Paints;
        BarHeights.push_back(GetHeight());
        TBarcode::Paint();
    }
};

Settings SettingsOf(const TBarcode& B, int BarHeight) {
    return {B.GetBarcodeType(),   B.GetScale(),     BarHeight,
            B.GetBarcodeText(),   B.GetInterpret(), B.GetRotate(),
            B.GetFont().GetName()};
}

// The control's size and surface are those of its settings rendered with BarHeight.
std::string Stale(const TBarcode& B, int BarHeight) {
    const auto want = Reference(SettingsOf(B, BarHeight));
    if (B.GetWidth() != want->GetWidth() || B.GetHeight() != want->GetHeight())
        return "bounds " + std::to_string(B.GetWidth()) + " x " + std::to_string(B.GetHeight());
    return PixelDifference(B.GetSurface(), *want);
}

TEST(BarcodeControlDefaults, ANewControlIsTwentyByFiftyAndPaintsToTheBitmapsWidth) {
    CountingBarcode b(nullptr);
    EXPECT_EQ(b.GetWidth(), 20);
    EXPECT_EQ(b.GetHeight(), 50);
    EXPECT_EQ(b.GetLeft(), 0);
    EXPECT_EQ(b.GetTop(), 0);
    EXPECT_EQ(b.GetBarcodeText(), "");
    EXPECT_EQ(b.GetBarcodeType(), bcCode128);
    EXPECT_EQ(b.GetScale(), 1);
    EXPECT_TRUE(b.GetInterpret());
    EXPECT_EQ(b.GetRotate(), bcNoRotate);
    EXPECT_TRUE(b.GetVisible());
    EXPECT_EQ(b.GetCursor(), vcl::crDefault);
    EXPECT_EQ(b.GetFont().GetName(), "Courier New");
    // Nothing is rendered before the first paint.
    EXPECT_EQ(b.Paints, 0);
    EXPECT_TRUE(b.PaintPending());

    EXPECT_TRUE(b.Update());
    EXPECT_EQ(b.Paints, 1);
    EXPECT_EQ(Stale(b, 50), "");

    b.SetBarcodeText("Lumivex");
    b.Update();
    EXPECT_EQ(b.GetWidth(), CalcWidth(1, bcCode128, "Lumivex"));
    EXPECT_EQ(b.GetHeight(), 50);
    EXPECT_EQ(Stale(b, 50), "");
}

TEST(BarcodeControlProperties, PublishedInDeclaredOrderWithVisibleDefaultingToTrue) {
    TBarcode b(nullptr);
    const vcl::TClassInfo& info = TBarcode::StaticClassInfo();
    EXPECT_EQ(PropertyNames(info),
              (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height", "Cursor",
                                        "Hint", "BarcodeText", "BarcodeType", "Scale", "Interpret",
                                        "Font", "Visible", "Rotate"}));
    for (const char* own : {"BarcodeText", "BarcodeType", "Scale", "Interpret", "Font", "Rotate"}) {
        SCOPED_TRACE(own);
        const vcl::TPropInfo* p = info.FindProperty(own);
        EXPECT_FALSE(p->Default.has_value());
        EXPECT_TRUE(p->Stored(b));
        EXPECT_TRUE(p->Writable());
    }
    // Visible keeps the framework's rule: stored, and written only when it is not true.
    const vcl::TPropInfo* visible = info.FindProperty("Visible");
    EXPECT_EQ(visible->Default, 1);
    EXPECT_TRUE(visible->Stored(b));
    visible->SetOrd(b, 0);
    EXPECT_FALSE(b.GetVisible());
    EXPECT_EQ(info.FindProperty("Cursor")->Default, vcl::crDefault);
    EXPECT_EQ(info.FindProperty("Font")->GetObj(b), &b.GetFont());
    // The render bitmap is not published.
    EXPECT_EQ(info.FindProperty("Bitmap"), nullptr);
}

TEST(BarcodeControlPaint, WidthHasNoLastingEffectAndHeightIsTheBarHeight) {
    for (TbcRotate r : {bcNoRotate, bcRotate180}) {
        SCOPED_TRACE(int{r});
        TBarcode b(nullptr);
        b.SetBarcodeText("0123456789");
        b.SetRotate(r);
        b.SetHeight(80);
        b.Update();
        EXPECT_EQ(b.GetHeight(), 80);
        EXPECT_EQ(Stale(b, 80), "");
        b.SetWidth(5);
        b.Update();
        EXPECT_EQ(b.GetWidth(), CalcWidth(1, bcCode128, "0123456789"));
        EXPECT_EQ(b.GetHeight(), 80);
        EXPECT_EQ(Stale(b, 80), "");
    }
}

TEST(BarcodeControlPaint, AQuarterTurnSquaresTheControlOverTheRepaintsItCauses) {
    for (TbcRotate r : {bcRotate90, bcRotate270}) {
        SCOPED_TRACE(int{r});
        CountingBarcode b(nullptr);
        b.SetBarcodeText("12345");
        b.SetRotate(r);
        const int length = CalcWidth(1, bcCode128, "12345");
        b.Update();
        // The first paint turns the 50-pixel bars and takes the barcode's length as height;
        // that height is the next paint's bar height, after which only the width changes.
        EXPECT_EQ(b.BarHeights, (std::vector<int>{50, length, length}));
        EXPECT_EQ(b.GetWidth(), length);
        EXPECT_EQ(b.GetHeight(), length);
        EXPECT_FALSE(b.PaintPending());
        EXPECT_EQ(Stale(b, length), "");

        // Once square it stays square.
        b.Invalidate();
        b.Update();
        EXPECT_EQ(b.BarHeights.back(), length);
        EXPECT_EQ(b.Paints, 4);
        EXPECT_EQ(b.GetHeight(), length);
        EXPECT_EQ(b.GetWidth(), length);
    }
}

TEST(BarcodeControlPaint, SettersOnlyInvalidateAndSeveralChangesPaintOnce) {
    CountingBarcode b(nullptr);
    b.SetBarcodeText("ABC");
    b.Update();
    const int settled = b.Paints;
    vcl::TFont font;
    font.SetName("DejaVu Sans");
    // Changes that keep the control's size: one paint serves them all.
    const std::function<void(TBarcode&)> setters[] = {
        [](TBarcode& c) { c.SetBarcodeText("ABC"); },
        [](TBarcode& c) { c.SetBarcodeType(bcCode128); },
        [](TBarcode& c) { c.SetScale(1); },
        [](TBarcode& c) { c.SetInterpret(false); },
        [](TBarcode& c) { c.SetRotate(bcRotate180); },
        [&](TBarcode& c) { c.SetFont(&font); },
        [](TBarcode& c) { c.SetInterpret(true); },
    };
    int paints = settled;
    for (const auto& set : setters) {
        set(b);
        EXPECT_TRUE(b.PaintPending());
        EXPECT_EQ(b.Paints, paints) << "a setter only asks";
        b.Update();
        EXPECT_EQ(b.Paints, ++paints);
    }
    const int before = b.Paints;
    for (const auto& set : setters)
        set(b);
    EXPECT_EQ(b.Paints, before);
    b.Update();
    EXPECT_EQ(b.Paints, before + 1);
    EXPECT_EQ(Stale(b, 50), "");
}

TEST(BarcodeControlText, ReadsBackFilteredAndASwitchFiltersForGood) {
    TBarcode b(nullptr);
    b.SetBarcodeText("Ab-12cd");
    EXPECT_EQ(b.GetBarcodeText(), "Ab-12cd");
    b.SetBarcodeType(bcCode39);
    EXPECT_EQ(b.GetBarcodeText(), "AB-12CD");
    b.SetBarcodeType(bcEAN8);
    EXPECT_EQ(b.GetBarcodeText(), "12");
    b.SetBarcodeType(bcCode128);
    EXPECT_EQ(b.GetBarcodeText(), "12");
    b.SetBarcodeType(bcEAN13);
    b.SetBarcodeText("978-0-306-40615-7");
    EXPECT_EQ(b.GetBarcodeText(), "978030640615");
    b.Update();
    EXPECT_EQ(Stale(b, 50), "");
}

TEST(BarcodeControlPaint, PaintsWhileLoadingDrawNothingAndTheFirstPaintAfterDoes) {
    CountingBarcode b(nullptr);
    b.SetLoading(true);
    b.SetBarcodeText("loading");
    b.SetScale(2);
    b.SetHeight(60);
    b.Update();
    // A paint request came and was answered without a render: the size is still the one set.
    EXPECT_EQ(b.Paints, 1);
    EXPECT_EQ(b.GetWidth(), 20);
    EXPECT_EQ(b.GetHeight(), 60);
    b.Loaded();
    EXPECT_TRUE(b.PaintPending());
    b.Update();
    EXPECT_EQ(b.GetWidth(), CalcWidth(2, bcCode128, "loading"));
    EXPECT_EQ(Stale(b, 60), "");
}

TEST(BarcodeControlPaint, AHiddenControlStopsRendering) {
    CountingBarcode b(nullptr);
    b.SetVisible(false);
    b.SetBarcodeText("hidden");
    b.SetRotate(bcRotate90);
    EXPECT_FALSE(b.Update());
    EXPECT_EQ(b.Paints, 0);
    EXPECT_EQ(b.GetWidth(), 20);
    EXPECT_EQ(b.GetHeight(), 50);
    b.SetVisible(true);
    EXPECT_TRUE(b.Update());
    EXPECT_EQ(b.GetWidth(), b.GetHeight());
}

TEST(BarcodeControlFont, ANullFontDoesNothingNotEvenARepaintAndAFontIsCopied) {
    CountingBarcode b(nullptr);
    b.SetBarcodeText("Font");
    b.Update();
    b.SetFont(nullptr);
    EXPECT_FALSE(b.PaintPending());
    EXPECT_EQ(b.GetFont().GetName(), "Courier New");

    vcl::TFont f;
    f.SetName("DejaVu Sans");
    f.SetSize(11);
    b.SetFont(&f);
    EXPECT_TRUE(b.PaintPending());
    f.SetName("Liberation Serif");
    EXPECT_EQ(b.GetFont().GetName(), "DejaVu Sans");
    EXPECT_EQ(b.GetFont().GetSize(), 11);
    b.Update();
    EXPECT_EQ(Stale(b, 50), "");
}

TEST(BarcodeControlPaint, ValuesOutOfRangeNeverCrashAndRendererErrorsSurface) {
    TBarcode b(nullptr);
    b.SetBarcodeText("Range");
    for (int scale : {0, -2}) {
        b.SetScale(scale);
        b.SetHeight(-5);
        EXPECT_NO_THROW(b.Update());
        EXPECT_EQ(b.GetHeight(), 0);
    }
    b.SetScale(1);
    b.SetHeight(50);
    b.SetBarcodeType(bcUPC2ext);
    b.SetBarcodeText(":1");
    EXPECT_THROW(b.Update(), vcl::EConvertError);
    b.SetBarcodeText("42");
    b.Update();
    EXPECT_EQ(Stale(b, 50), "");
}

TEST(BarcodeControlParent, AFormShowsItsBarcodesAtTheirPlaces) {
    vcl::TForm form(nullptr);
    auto* b = new TBarcode(&form);
    b->SetParent(&form);
    b->SetBarcodeText("Form");
    b->SetBounds(7, 3, 1, 50);
    vcl::TBitmap screen;
    screen.SetSize(200, 80);
    testing::Scribble(screen, vcl::clRed);
    form.PaintTo(screen);
    const auto want = Reference(SettingsOf(*b, 50));
    // The control took the bitmap's size; around it the screen is untouched.
    ASSERT_EQ(b->GetWidth(), want->GetWidth());
    for (int y = 0; y < screen.GetHeight(); ++y)
        for (int x = 0; x < screen.GetWidth(); ++x) {
            const bool inside = x >= 7 && x < 7 + want->GetWidth() && y >= 3 && y < 3 + 50;
            ASSERT_EQ(screen.PixelColor(x, y), inside ? want->PixelColor(x - 7, y - 3) : vcl::clRed)
                << x << ", " << y;
        }
}

} // namespace
} // namespace lumivex
