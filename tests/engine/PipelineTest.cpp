// The pipeline: widths, background, bar placement, equivalence with the canvas renderer, and
// what wild arguments do.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/Barcode.h"
#include "host/sysutils/SysUtils.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

TEST(CalcWidth, Widths) {
    for (const TSymbology& row : BC_Symbologies)
        for (const int scale : {1, 2, 3})
            EXPECT_EQ(CalcWidth(scale, row.Type, ""), 20 * scale) << row.Identifier;
    const struct {
        TBarCodeType type;
        int scale;
        std::string text;
        int width;
    } rows[] = {
        {bcCode39, 2, "AB", 144},
        {bcCode128, 1, "ABC", 88},
        {bcCode128, 1, "12345", 99},
        {bcCode128, 3, "12345", 297},
        {bcEAN128, 1, "0123456789", 121},
        {bcUPCA, 1, "1", 115},
        {bcEAN13, 2, "123", 230},
        {bcEAN8, 1, "1", 87},
        {bcUPCE, 1, "1", 71},
        {bcUPC2ext, 1, "1", 40},
        {bcUPC5ext, 1, "1", 67},
        {bcInt2of5, 1, "123", 65},
        {bcInt2of5, 1, "1234", 65},
        {bcPOSTNET, 1, "12345", 83},
        {bcCode39Ext, 1, "abc", 124},
        {bcCode39Ext, 1, "A B", 85},
        {bcCode93, 1, "AB", 75},
        {bcCode93, 1, "ab", 93},
    };
    for (const auto& r : rows)
        EXPECT_EQ(CalcWidth(r.scale, r.type, r.text), r.width) << r.type << " " << r.text;
}

TEST(CalcWidth, SaturatesForScalesNoBitmapCanHold) {
    EXPECT_EQ(CalcWidth(INT_MAX, bcCode128, "ABC"), INT_MAX);
    EXPECT_EQ(CalcWidth(INT_MIN, bcEAN13, "1"), INT_MIN);
    EXPECT_EQ(CalcWidth(0, bcCode128, "ABC"), 0);
}

TEST(CreateBC, EmptyTextGivesAWhiteBitmap) {
    for (const int scale : {1, 3}) {
        vcl::TBitmap bmp;
        PrepareBitmap(bmp, 30);
        CreateBC(bmp, bcCode128, scale, 30, "", true, bcNoRotate);
        ASSERT_EQ(bmp.GetWidth(), 20 * scale);
        ASSERT_EQ(bmp.GetHeight(), 30);
        for (int y = 0; y < 30; ++y)
            EXPECT_EQ(Row(bmp, y), std::string(20 * scale, '0'));
    }
}

TEST(CreateBC, Code128BarsAndQuietZones) {
    // 12345: START C, 12, 34, CODE B, '5', check 54, STOP.
    const std::string modules = "11010011100"    // START C
                                "10110011100"    // 12
                                "10001011000"    // 34
                                "10111101110"    // CODE B
                                "11011100100"    // '5' (21)
                                "11101011000"    // check 54
                                "1100011101011"; // STOP
    for (const int scale : {1, 2}) {
        vcl::TBitmap bmp;
        PrepareBitmap(bmp, 40);
        CreateBC(bmp, bcCode128, scale, 40, "12345", false, bcNoRotate);
        const std::string quiet(10 * scale, '0');
        const std::string expected = quiet + Widen(modules, scale) + quiet;
        ASSERT_EQ(bmp.GetWidth(), 99 * scale);
        EXPECT_EQ(Row(bmp, 0), expected);
        EXPECT_EQ(Row(bmp, 39), expected);
    }
}

TEST(CreateBC, BarHeightWithAndWithoutTextMargin) {
    for (const TBarCodeType type : {bcCode128, bcEAN128}) {
        vcl::TBitmap bmp;
        PrepareBitmap(bmp, 50);
        CreateBC(bmp, type, 1, 50, "AB", false, bcNoRotate);
        EXPECT_TRUE(IsBlack(bmp, 10, 0));
        EXPECT_TRUE(IsBlack(bmp, 10, 49));
        // With the text the bars end 5 x Scale above the bottom.
        for (const int scale : {1, 2}) {
            CreateBC(bmp, type, scale, 50, "AB", true, bcNoRotate);
            EXPECT_TRUE(IsBlack(bmp, 10 * scale, 50 - 5 * scale - 1));
            EXPECT_FALSE(IsBlack(bmp, 10 * scale, 50 - 5 * scale));
        }
    }
}

TEST(CreateBC, PaintsWhatTheCanvasRendererPaints) {
    // The pipeline paints background and bars in one pass; the pixels must equal a white fill
    // followed by the public renderer and the text on the canvas, in every pixel format, also
    // where the bitmap's height differs from the Height argument.
    const struct {
        std::string text;
        int scale, bitmapHeight, height;
        bool interpret;
    } rows[] = {
        {"Lumivex", 1, 30, 30, true}, {"12345", 2, 20, 20, false}, {"a\tb\x80", 3, 10, 25, true},
        {"AB1234", 1, 40, 12, false}, {"x", 2, 7, -5, false},      {"HELLO", 0, 5, 5, true},
        {"HELLO", -2, 5, 5, false},
    };
    for (const vcl::TPixelFormat fmt : {vcl::pf1bit, vcl::pf8bit, vcl::pf24bit}) {
        for (const auto& r : rows) {
            for (const TBarCodeType type : {bcCode128, bcEAN128}) {
                SCOPED_TRACE(r.text + " format " + std::to_string(fmt));
                vcl::TBitmap fast;
                fast.SetPixelFormat(fmt);
                fast.SetHeight(r.bitmapHeight);
                CreateBC(fast, type, r.scale, r.height, r.text, r.interpret, bcNoRotate);

                vcl::TBitmap slow;
                slow.SetPixelFormat(fmt);
                slow.SetSize(CalcWidth(r.scale, type, r.text), r.bitmapHeight);
                slow.GetCanvas().GetBrush().SetColor(vcl::clBlack);
                slow.GetCanvas().FillRect(vcl::Rect(0, 0, slow.GetWidth(), slow.GetHeight()));
                slow.GetCanvas().GetBrush().SetColor(vcl::clWhite);
                slow.GetCanvas().FillRect(vcl::Rect(0, 0, slow.GetWidth(), slow.GetHeight()));
                const int margin = r.interpret ? 5 * r.scale : 0;
                (type == bcCode128 ? BarcodeCode128 : BarcodeEAN128)(
                    slow.GetCanvas(), 10 * r.scale, 0, r.height - margin, r.scale, r.text);
                if (r.interpret && !r.text.empty())
                    PrintInterpret(slow.GetCanvas(), type, r.scale, r.height, slow.GetWidth(),
                                   r.text);

                ASSERT_EQ(fast.GetWidth(), slow.GetWidth());
                ASSERT_EQ(fast.GetHeight(), slow.GetHeight());
                EXPECT_EQ(fast.GetPixelFormat(), fmt) << "no rotation keeps the format";
                for (int y = 0; y < fast.GetHeight(); ++y)
                    ASSERT_EQ(Row(fast, y), Row(slow, y)) << "row " << y;
                EXPECT_EQ(fast.GetCanvas().GetBrush().GetColor(), vcl::clWhite);
            }
        }
    }
}

TEST(CreateBC, EverySymbologyPaintsWhatItsCanvasRendererPaints) {
    // The bars' own rows: full bars, POSTNET's half bars, the add-ons below their text. Each
    // table row's sample and a text of its own.
    struct Case {
        TBarCodeType type;
        std::string text;
    };
    std::vector<Case> rows{
        {bcCode128, "Lumivex 26"}, {bcEAN128, "0101234"},   {bcCode39, "CODE-39"},
        {bcCode39Ext, "a+B"},      {bcCode93, "C93"},       {bcInt2of5, "123456"},
        {bcPOSTNET, "55555-1237"}, {bcUPCA, "03600029145"}, {bcEAN13, "400638133393"},
        {bcEAN8, "9638507"},       {bcUPCE, "0421000"},     {bcUPC2ext, "12"},
        {bcUPC5ext, "52495"},
    };
    for (const TSymbology& row : BC_Symbologies)
        rows.push_back({row.Type, std::string(row.Sample)});
    for (const auto& r : rows)
        for (const bool interpret : {false, true})
            for (const int scale : {1, 3}) {
                SCOPED_TRACE(r.text + " scale " + std::to_string(scale) +
                             (interpret ? " with text" : ""));
                const int height = 30 * scale;
                vcl::TBitmap fast;
                fast.SetPixelFormat(vcl::pf8bit);
                fast.SetHeight(height);
                CreateBC(fast, r.type, scale, height, r.text, interpret, bcNoRotate);

                vcl::TBitmap slow;
                slow.SetPixelFormat(vcl::pf8bit);
                slow.SetSize(CalcWidth(scale, r.type, r.text), height);
                const int margin = interpret ? 5 * scale : 0;
                int top = 0, barHeight = height - margin;
                if (r.type == bcPOSTNET) {
                    barHeight = height;
                } else if (r.type == bcUPC2ext || r.type == bcUPC5ext) {
                    top = 3 * margin;
                    barHeight = height - 3 * margin;
                }
                BC_Symbologies[r.type].Render(slow.GetCanvas(), 10 * scale, top, barHeight, scale,
                                              r.text);
                if (interpret)
                    PrintInterpret(slow.GetCanvas(), r.type, scale, height, slow.GetWidth(),
                                   r.text);

                ASSERT_EQ(fast.GetWidth(), slow.GetWidth());
                ASSERT_EQ(fast.GetHeight(), slow.GetHeight());
                for (int y = 0; y < fast.GetHeight(); ++y)
                    ASSERT_EQ(Row(fast, y), Row(slow, y)) << "row " << y;
            }
}

TEST(Renderer, RestoresTheBrushAndDrawsOnlyBars) {
    // START B begins with a 2-module bar at x = 5, rows 3..12; nothing else changes.
    vcl::TBitmap bmp;
    DrawnOnRed(bmp, 120, BarcodeCode128, "A", 2, {.Left = 5, .Top = 3, .Height = 10});
}

TEST(CreateBC, RotationSizesAndFormat) {
    const struct {
        TbcRotate rotate;
        bool swaps;
    } rows[] = {{bcRotate90, true}, {bcRotate180, false}, {bcRotate270, true}};
    for (const auto& r : rows) {
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf24bit);
        bmp.SetHeight(30);
        CreateBC(bmp, bcCode128, 2, 30, "AB12", false, r.rotate);
        const int w = CalcWidth(2, bcCode128, "AB12");
        EXPECT_EQ(bmp.GetWidth(), r.swaps ? 30 : w);
        EXPECT_EQ(bmp.GetHeight(), r.swaps ? w : 30);
        EXPECT_EQ(bmp.GetPixelFormat(), vcl::pf8bit);
    }
    // An empty text turns the white 20 x Scale bitmap too.
    vcl::TBitmap bmp;
    PrepareBitmap(bmp, 7);
    CreateBC(bmp, bcEAN128, 1, 7, "", true, bcRotate90);
    EXPECT_EQ(bmp.GetWidth(), 7);
    EXPECT_EQ(bmp.GetHeight(), 20);
}

TEST(CreateBC, WildArgumentsNeverWriteOutsideTheBitmap) {
    // Scale and Height of 0, negative or huge values: either a bitmap or EOutOfResources.
    const int values[] = {0, -1, -100, 1, 7, INT_MAX, INT_MIN};
    for (const int scale : values) {
        for (const int height : values) {
            for (const TbcRotate rot : {bcNoRotate, bcRotate90}) {
                vcl::TBitmap bmp;
                PrepareBitmap(bmp, std::clamp(height, 0, 64));
                try {
                    CreateBC(bmp, bcCode128, scale, height, "Wild1234", true, rot);
                } catch (const vcl::EOutOfResources&) {
                    continue;
                }
                EXPECT_GE(bmp.GetWidth(), 0);
            }
        }
    }
}

TEST(CreateBC, OversizedBitmapRaisesBeforeAllocating) {
    // The bitmap is left as it was: nothing was drawn or allocated first, turned or not, with
    // or without text. The last rows came from the fuzzer, which saw a turned render allocate a
    // row of the picture per band before any size was checked.
    const struct {
        TBarCodeType type;
        int scale, height;
        std::string text;
    } rows[] = {
        {bcCode128, 100000, 10000, "ABC"},
        {bcEAN8, 0x01000002, 0x003C0003,
         std::string("\0\0\1\3\3"
                     "0",
                     6)},
        {bcPOSTNET, 0x02000001, 0x00310014, "12345"},
    };
    for (const auto& r : rows)
        for (const bool interpret : {false, true})
            for (const TbcRotate rot : {bcNoRotate, bcRotate90, bcRotate180, bcRotate270}) {
                SCOPED_TRACE(std::to_string(r.type) + " turn " + std::to_string(rot));
                vcl::TBitmap bmp;
                PrepareBitmap(bmp, r.height);
                EXPECT_THROW(CreateBC(bmp, r.type, r.scale, r.height, r.text, interpret, rot),
                             vcl::EOutOfResources);
                EXPECT_EQ(bmp.GetWidth(), 0);
                EXPECT_EQ(bmp.GetHeight(), r.height);
            }
}

} // namespace

namespace {

TEST(CreateBC, TurnedEqualsTheTurnOfTheUnturnedPicture) {
    // The turned picture is painted at once, bars and text; it must be the turn of what the
    // unturned render gives, for bars of one height and of two (POSTNET), in every format,
    // where the bitmap's height differs from Height and where the text's cells reach past the
    // bitmap.
    const struct {
        TBarCodeType type;
        std::string text;
        int scale, bitmapHeight, height;
    } rows[] = {
        {bcCode128, "Lumivex 2026", 1, 30, 30},
        {bcEAN128, "0101234", 2, 17, 25},
        {bcPOSTNET, "12345", 2, 40, 40},
        {bcPOSTNET, "123", 1, 9, 31},
        {bcEAN13, "400638133393", 3, 50, 50},
        {bcInt2of5, "12345", 1, 1, 1},
        {bcCode39, "AB", 1, 0, 10},
        {bcCode128, "", 2, 12, 12},
        {bcUPC5ext, "52495", 1, 20, 20},
        {bcCode93, "x", -1, 5, 5},
        {bcUPCA, "03600029145", 2, 70, 70},
        {bcUPCE, "042100", 1, 12, 60},
        {bcEAN8, "9638507", 1, 50, 8},
        {bcUPC2ext, "12", 3, 45, 45},
        {bcCode39, "W", 1, 20, -4},
        // Shapes the fuzzer found slow to turn: a picture one row high and very wide, and
        // one a few rows high under a text margin.
        {bcUPCA, "03600029145", 2000, 1, 1},
        {bcCode39, "CODE-DFM", 300, 40, 40},
        {bcUPCA, "03600029145", 700, 2, 2},
    };
    for (const vcl::TPixelFormat fmt : {vcl::pf1bit, vcl::pf8bit, vcl::pf24bit})
        for (const auto& r : rows)
            for (const bool interpret : {false, true})
                for (const TbcRotate rot : {bcRotate90, bcRotate180, bcRotate270}) {
                    SCOPED_TRACE(r.text + " turn " + std::to_string(rot) + " format " +
                                 std::to_string(fmt) + (interpret ? " with text" : ""));
                    vcl::TBitmap fast;
                    fast.SetPixelFormat(fmt);
                    fast.SetHeight(r.bitmapHeight);
                    fast.GetCanvas().GetFont().SetName("Courier New");
                    CreateBC(fast, r.type, r.scale, r.height, r.text, interpret, rot);

                    vcl::TBitmap flat, expected;
                    flat.SetPixelFormat(fmt);
                    flat.SetHeight(r.bitmapHeight);
                    flat.GetCanvas().GetFont().SetName("Courier New");
                    CreateBC(flat, r.type, r.scale, r.height, r.text, interpret, bcNoRotate);
                    (rot == bcRotate90    ? RotateBmp90
                     : rot == bcRotate180 ? RotateBmp180
                                          : RotateBmp270)(flat, expected);

                    ASSERT_EQ(fast.GetPixelFormat(), vcl::pf8bit);
                    ASSERT_EQ(fast.GetWidth(), expected.GetWidth());
                    ASSERT_EQ(fast.GetHeight(), expected.GetHeight());
                    for (int y = 0; y < fast.GetHeight(); ++y)
                        ASSERT_EQ(Row(fast, y), Row(expected, y)) << "row " << y;
                }
}

} // namespace
} // namespace lumivex::test
