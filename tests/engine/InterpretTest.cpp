// The human-readable text: where each string's opaque box lands, which bars it cuts, and the
// font it is drawn in.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

struct Box {
    int x, y, w, h;
    std::string text;
};

// Renders as the components do, with the face they set.
void Render(vcl::TBitmap& bmp, TBarCodeType type, int scale, int height, const std::string& text,
            bool interpret = true) {
    PrepareBitmap(bmp, height);
    bmp.GetCanvas().GetFont().SetName("Courier New");
    CreateBC(bmp, type, scale, height, text, interpret, bcNoRotate);
}

// The box of string S at (X, Y) in the font PrintInterpret uses for Scale.
Box BoxOf(int scale, int x, int y, const std::string& s) {
    vcl::TBitmap scratch;
    vcl::TCanvas& c = scratch.GetCanvas();
    c.GetFont().SetName("Courier New");
    c.GetFont().SetSize(8 * scale);
    return {x, y, c.TextWidth(s), c.TextHeight(s), s};
}

int TW(int scale, const std::string& s) {
    return BoxOf(scale, 0, 0, s).w;
}
int TH(int scale) {
    return BoxOf(scale, 0, 0, "0").h;
}

// Checks the boxes against the bitmap: the top row of every box is background (the cell's
// leading lies above the glyphs), there is ink inside every box, and the bars outside the boxes
// run down to BarEnd (exclusive) untouched.
void ExpectBoxes(const vcl::TBitmap& bmp, const std::vector<Box>& boxes, int BarTop, int BarEnd) {
    const int W = bmp.GetWidth(), H = bmp.GetHeight();
    auto inBox = [&](int x, int y) {
        for (const Box& b : boxes)
            if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h)
                return true;
        return false;
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE("box of \"" + b.text + "\" at " + std::to_string(b.x));
        ASSERT_GE(b.x, 0);
        ASSERT_LE(b.x + b.w, W);
        for (int x = b.x; x < b.x + b.w; ++x)
            EXPECT_FALSE(IsBlack(bmp, x, b.y)) << "top row of the cell, x " << x;
        int ink = 0;
        for (int y = b.y; y < std::min(H, b.y + b.h); ++y)
            for (int x = b.x; x < b.x + b.w; ++x)
                ink += IsBlack(bmp, x, y);
        EXPECT_GT(ink, 3 * static_cast<int>(b.text.size()));
    }
    // A bar column outside every box keeps its full length.
    int barColumns = 0, cutColumns = 0;
    for (int x = 0; x < W; ++x) {
        if (!IsBlack(bmp, x, BarTop))
            continue;
        bool cut = false;
        for (int y = BarTop; y < BarEnd; ++y) {
            if (inBox(x, y)) {
                cut = true;
                break;
            }
            ASSERT_TRUE(IsBlack(bmp, x, y)) << "bar at column " << x << " broken at row " << y;
        }
        ++barColumns;
        cutColumns += cut;
        if (BarEnd < H && !inBox(x, BarEnd)) {
            EXPECT_FALSE(IsBlack(bmp, x, BarEnd)) << "bar at column " << x << " too long";
        }
    }
    EXPECT_GT(barColumns, 0);
    EXPECT_GT(cutColumns, 0) << "the boxes cut no bar";
}

TEST(PrintInterpret, CentredUnderTheBars) {
    const struct {
        TBarCodeType type;
        std::string text;
    } rows[] = {
        {bcCode128, "ABC"},   {bcCode39, "AB-1"},  {bcCode39Ext, "ab"}, {bcInt2of5, "123"},
        {bcCode93, "CODE93"}, {bcEAN8, "1234567"}, {bcEAN128, "0101"},
    };
    for (const auto& r : rows)
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(r.text + " scale " + std::to_string(scale));
            const int H = 40 * scale;
            vcl::TBitmap bmp;
            Render(bmp, r.type, scale, H, r.text);
            const int W = bmp.GetWidth();
            // Printed as given: no start/stop characters, no added zero, no check digit.
            const Box b = BoxOf(scale, W / 2 - TW(scale, r.text) / 2, H - TH(scale), r.text);
            ExpectBoxes(bmp, {b}, 0, H - 5 * scale);
        }
}

TEST(PrintInterpret, RetailDigitGroups) {
    for (const int scale : {1, 2, 3}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const int H = 40 * scale, th = TH(scale), y = H + 2 - th;
        {
            // UPC-A 12345 works on 00000012345 and its check digit 7.
            vcl::TBitmap bmp;
            Render(bmp, bcUPCA, scale, H, "12345");
            const int W = bmp.GetWidth();
            ExpectBoxes(bmp,
                        {BoxOf(scale, 0, y, "0"), BoxOf(scale, W - TW(scale, "7"), y, "7"),
                         BoxOf(scale, W / 3 - TW(scale, "00000") / 2, y, "00000"),
                         BoxOf(scale, 2 * (W / 3) - TW(scale, "12345") / 2, y, "12345")},
                        0, H - 5 * scale);
        }
        {
            // EAN-13: the first digit apart, then six digits, a space, five and the check.
            vcl::TBitmap bmp;
            Render(bmp, bcEAN13, scale, H, "400638133393");
            const int W = bmp.GetWidth();
            const std::string rest = "006381 333931";
            ExpectBoxes(
                bmp, {BoxOf(scale, 0, y, "4"), BoxOf(scale, W / 2 - TW(scale, rest) / 2, y, rest)},
                0, H - 5 * scale);
        }
        {
            // UPC-E: "0" whatever the text, the check digit of the expanded number (425261 is
            // 04252614 in full: check 4... computed through the engine's own routines).
            vcl::TBitmap bmp;
            Render(bmp, bcUPCE, scale, H, "425261");
            const int W = bmp.GetWidth();
            const std::string check(1, Mod10Check(UPCE_Expand("425261")));
            ExpectBoxes(bmp,
                        {BoxOf(scale, 0, y, "0"), BoxOf(scale, W - TW(scale, check), y, check),
                         BoxOf(scale, W / 2 - TW(scale, "425261") / 2, y, "425261")},
                        0, H - 5 * scale);
        }
    }
}

TEST(PrintInterpret, AddOnDigitsAboveTheBars) {
    for (const TBarCodeType type : {bcUPC2ext, bcUPC5ext})
        for (const int scale : {1, 2, 3}) {
            const std::string text = type == bcUPC2ext ? "12" : "52495";
            SCOPED_TRACE(text + " scale " + std::to_string(scale));
            const int H = 50 * scale;
            vcl::TBitmap bmp;
            Render(bmp, type, scale, H, text);
            const int W = bmp.GetWidth();
            // The bars start 15 x Scale below the top; nothing of them above.
            for (int x = 0; x < W; ++x)
                EXPECT_FALSE(IsBlack(bmp, x, 15 * scale - 1) && IsBlack(bmp, x, 15 * scale - 2))
                    << "bar above its start at column " << x;
            const Box b = BoxOf(scale, W / 2 - TW(scale, text) / 2, 0, text);
            int ink = 0;
            for (int y = 0; y < b.h; ++y)
                for (int x = b.x; x < b.x + b.w; ++x)
                    ink += IsBlack(bmp, x, y);
            EXPECT_GT(ink, 3 * static_cast<int>(text.size()));
            // Bars run from 15 x Scale to the bottom where no box lies over them.
            int bars = 0;
            for (int x = 0; x < W; ++x)
                if (IsBlack(bmp, x, H - 1)) {
                    ++bars;
                    if (b.y + b.h <= 15 * scale || x < b.x || x >= b.x + b.w) {
                        EXPECT_TRUE(IsBlack(bmp, x, 15 * scale)) << x;
                    }
                }
            EXPECT_GT(bars, 0);
        }
}

TEST(PrintInterpret, PostnetPrintsNothing) {
    vcl::TBitmap with, without;
    Render(with, bcPOSTNET, 2, 40, "12345", true);
    Render(without, bcPOSTNET, 2, 40, "12345", false);
    ASSERT_EQ(with.GetWidth(), without.GetWidth());
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < with.GetWidth(); ++x)
            ASSERT_EQ(with.PixelColor(x, y), without.PixelColor(x, y)) << x << "," << y;
}

TEST(PrintInterpret, LeavesTheFontAndBrushAsItSetThem) {
    for (const int scale : {1, 3}) {
        vcl::TBitmap bmp;
        bmp.GetCanvas().GetFont().SetColor(vcl::clRed);
        bmp.GetCanvas().GetBrush().SetColor(vcl::clBlue);
        Render(bmp, bcCode128, scale, 60, "A");
        EXPECT_EQ(bmp.GetCanvas().GetFont().GetSize(), 8 * scale);
        EXPECT_EQ(bmp.GetCanvas().GetFont().GetColor(), vcl::clBlack);
        EXPECT_EQ(bmp.GetCanvas().GetBrush().GetColor(), vcl::clWhite);
        EXPECT_EQ(bmp.GetCanvas().GetFont().GetName(), "Courier New") << "the face is kept";
        // Only black and white pixels in the result.
        for (int y = 0; y < bmp.GetHeight(); ++y)
            for (int x = 0; x < bmp.GetWidth(); ++x) {
                const vcl::TColor c = bmp.PixelColor(x, y);
                ASSERT_TRUE(c == vcl::clBlack || c == vcl::clWhite);
            }
    }
}

TEST(PrintInterpret, ARenderAgainFollowsEveryChangeOfItsInputs) {
    // One bitmap rendered over and over, as a component does, against a fresh bitmap for each
    // step: the text's layout must never be one left from an earlier render.
    const struct {
        TBarCodeType type;
        int scale, height;
        std::string text, face;
    } steps[] = {
        {bcEAN13, 1, 50, "400638133393", "Courier New"},
        {bcEAN13, 1, 50, "400638133393", "Courier New"},
        {bcEAN13, 1, 50, "400638133393", "DejaVu Sans"},
        {bcEAN13, 1, 60, "400638133393", "DejaVu Sans"},
        {bcEAN13, 2, 60, "400638133393", "DejaVu Sans"},
        {bcEAN13, 2, 60, "400638133394", "DejaVu Sans"},
        {bcUPCA, 2, 60, "400638133394", "DejaVu Sans"},
        {bcCode128, 2, 60, "400638133394", "DejaVu Sans"},
        {bcCode128, 2, 60, "Lumivex iiii", "DejaVu Sans"},
        // A monospaced face: the same string is wider.
        {bcCode128, 2, 60, "Lumivex iiii", "Courier New"},
    };
    auto render = [](vcl::TBitmap& Bitmap, const auto& Step) {
        Bitmap.GetCanvas().GetFont().SetName(Step.face);
        Bitmap.SetHeight(Step.height);
        CreateBC(Bitmap, Step.type, Step.scale, Step.height, Step.text, true, bcNoRotate);
    };
    // The references first, each on its own bitmap and followed by an unrelated render, so that
    // none can take anything from the render before it.
    std::vector<std::unique_ptr<vcl::TBitmap>> fresh;
    for (const auto& s : steps) {
        fresh.push_back(std::make_unique<vcl::TBitmap>());
        fresh.back()->SetPixelFormat(vcl::pf8bit);
        render(*fresh.back(), s);
        vcl::TBitmap other;
        CreateBC(other, bcCode39, 1, 20, "OTHER", true, bcNoRotate);
    }
    vcl::TBitmap again;
    again.SetPixelFormat(vcl::pf8bit);
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = steps[i];
        SCOPED_TRACE(s.text + " " + s.face + " " + std::to_string(s.type) + " scale " +
                     std::to_string(s.scale) + " height " + std::to_string(s.height));
        render(again, s);
        ASSERT_EQ(again.GetWidth(), fresh[i]->GetWidth());
        ASSERT_EQ(again.GetHeight(), fresh[i]->GetHeight());
        for (int y = 0; y < again.GetHeight(); ++y)
            ASSERT_EQ(Row(again, y), Row(*fresh[i], y)) << "row " << y;
    }
}

} // namespace
} // namespace lumivex::test
