// Text on the canvas: font sizes, metrics of the face that stands in for Courier New, opaque
// cells, one-bit glyphs and clipping.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"
#include "host/graphics/detail/Fonts.h"

using namespace vcl;

namespace {

struct Canvas8 {
    TBitmap bmp;
    TCanvas& c = bmp.GetCanvas();
    Canvas8(int W, int H) {
        bmp.SetPixelFormat(pf8bit);
        bmp.SetSize(W, H);
        c.GetFont().SetName("Courier New");
    }
};

TEST(Font, SizeInPointsAndHeightInPixels) {
    TFont f;
    const struct { int size, height; } rows[] = {{8, -11}, {16, -21}, {24, -32}, {10, -13}, {0, 0}};
    for (const auto& r : rows) {
        f.SetSize(r.size);
        EXPECT_EQ(f.GetHeight(), r.height) << r.size;
        EXPECT_EQ(f.GetSize(), r.size) << r.size;
    }
    TFont g;
    g.SetName("Courier New");
    g.SetColor(clRed);
    g.SetStyle(FontStyleBit(fsBold));
    f.Assign(g);
    EXPECT_TRUE(f == g);
    g.SetName("Arial");
    EXPECT_EQ(f.GetName(), "Courier New") << "Assign copies, it does not share";
}

TEST(Text, CourierNewMetrics) {
    Canvas8 t(200, 60);
    t.c.GetFont().SetSize(8);
    EXPECT_EQ(t.c.TextHeight("0"), 12);
    // A monospaced face: every digit advances alike, the widths add up.
    const int one = t.c.TextWidth("0");
    EXPECT_GT(one, 0);
    EXPECT_EQ(t.c.TextWidth("0123456789"), 10 * one);
    EXPECT_EQ(t.c.TextWidth(""), 0);
    t.c.GetFont().SetSize(24);
    EXPECT_GT(t.c.TextHeight("0"), 3 * 12 - 3);
    EXPECT_GT(t.c.TextWidth("0"), 2 * one);
}

TEST(Text, OpaqueCellAndBlackGlyphs) {
    Canvas8 t(120, 40);
    t.c.GetBrush().SetColor(clBlack);
    t.c.FillRect(Rect(0, 0, 120, 40));
    t.c.GetBrush().SetColor(clWhite);
    t.c.GetFont().SetSize(8);
    t.c.TextOut(10, 5, "12345");
    const int w = t.c.TextWidth("12345"), h = t.c.TextHeight("12345");
    // Outside the cell nothing changed; inside, only black and white, with some ink and mostly
    // background.
    int ink = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const TColor p = t.c.GetPixel(x, y);
            const bool inside = x >= 10 && x < 10 + w && y >= 5 && y < 5 + h;
            if (!inside) {
                ASSERT_EQ(p, clBlack) << x << "," << y;
                continue;
            }
            ASSERT_TRUE(p == clBlack || p == clWhite);
            ink += p == clBlack;
        }
    EXPECT_GT(ink, 20);
    EXPECT_LT(ink, w * h / 2);
}

TEST(Text, OpaqueTextIsItsCellThenItsGlyphs) {
    // Cut at either side by any amount, so that every width of row is copied, in both formats
    // that keep cells ready-made.
    for (const TPixelFormat fmt : {pf8bit, pf24bit})
        for (const std::string text : {"4", "0123", "006381 333939"})
            for (int x = -12; x <= 4; x += 1) {
                SCOPED_TRACE(std::to_string(fmt) + " '" + text + "' at " + std::to_string(x));
                auto draw = [&](bool opaque) {
                    Canvas8 t(40, 16);
                    t.bmp.SetPixelFormat(fmt);
                    t.c.GetBrush().SetColor(clBlue);
                    t.c.FillRect(Rect(0, 0, 40, 16));
                    t.c.GetFont().SetSize(8);
                    t.c.GetBrush().SetColor(clWhite);
                    if (!opaque) {
                        t.c.FillRect(Rect(x, 2, x + t.c.TextWidth(text), 2 + t.c.TextHeight(text)));
                        t.c.GetBrush().SetStyle(bsClear);
                    }
                    t.c.TextOut(x, 2, text);
                    std::vector<TColor> pixels;
                    for (int y = 0; y < 16; ++y)
                        for (int c = 0; c < 40; ++c)
                            pixels.push_back(t.c.GetPixel(c, y));
                    return pixels;
                };
                ASSERT_EQ(draw(true), draw(false));
            }
}

TEST(Text, TheCanvasFollowsEveryChangeOfItsFont) {
    Canvas8 t(10, 10);
    t.c.GetFont().SetSize(8);
    const int small = t.c.TextWidth("0000");
    t.c.GetFont().SetSize(24);
    const int large = t.c.TextWidth("0000");
    EXPECT_GT(large, 2 * small);
    TFont eight;
    eight.SetName("Courier New");
    eight.SetSize(8);
    t.c.GetFont().Assign(eight);
    EXPECT_EQ(t.c.TextWidth("0000"), small);
    t.c.GetFont().SetHeight(-32);
    EXPECT_EQ(t.c.TextWidth("0000"), large);
    // Setting what is already there changes nothing.
    const std::uint64_t generation = t.c.GetFont().Generation();
    t.c.GetFont().SetHeight(-32);
    t.c.GetFont().SetName("Courier New");
    EXPECT_EQ(t.c.GetFont().Generation(), generation);
    EXPECT_EQ(t.c.TextWidth("0000"), large);
}

TEST(Text, ClearBrushDrawsOnlyTheGlyphsInTheFontColour) {
    Canvas8 t(80, 30);
    t.c.GetBrush().SetColor(clBlue);
    t.c.FillRect(Rect(0, 0, 80, 30));
    t.c.GetBrush().SetStyle(bsClear);
    t.c.GetFont().SetColor(clRed);
    t.c.TextOut(2, 2, "HI");
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const TColor p = t.c.GetPixel(x, y);
            ASSERT_TRUE(p == clBlue || p == clRed);
            red += p == clRed;
        }
    EXPECT_GT(red, 5);
}

TEST(Text, MissingFamilyFallsBack) {
    Canvas8 t(60, 30);
    t.c.GetFont().SetName("No Such Family 12345");
    EXPECT_GT(t.c.TextHeight("A"), 0);
    EXPECT_GT(t.c.TextWidth("A"), 0);
    t.c.TextOut(0, 0, "A");
    t.c.GetFont().SetName("");
    t.c.TextOut(0, 0, "A");
}

TEST(Text, WildPositionsSizesAndBytesStayInside) {
    Canvas8 t(50, 20);
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    for (const int size : {-8, 0, 1, 8, 200, 100000, INT_MAX}) {
        t.c.GetFont().SetSize(size);
        for (const int x : {INT_MIN, -1000, -3, 0, 25, 49, 50, INT_MAX})
            for (const int y : {INT_MIN, -7, 0, 19, INT_MAX}) {
                t.c.TextOut(x, y, "Wg|");
            }
        EXPECT_GE(t.c.TextWidth(all), 0);
    }
    t.c.GetFont().SetSize(8);
    t.c.TextOut(0, 0, all);
}

TEST(Text, ALongStringIsDrawnWhereItCanBeSeen) {
    // A string whose cell is far larger than the bitmap, or than any bitmap may be, paints the
    // part that the bitmap shows exactly as a short string with the same start does; it is
    // never made whole (it once was, and past the bitmap bound it was not drawn at all).
    for (const TPixelFormat fmt : {pf1bit, pf8bit, pf24bit})
        for (const std::size_t n : {std::size_t{6000}, std::size_t{20000}}) {
            SCOPED_TRACE(std::to_string(fmt) + " " + std::to_string(n));
            TBitmap whole, start;
            for (TBitmap* b : {&whole, &start}) {
                b->SetPixelFormat(fmt);
                b->SetSize(300, 200);
                b->GetCanvas().GetFont().SetName("Courier New");
                b->GetCanvas().GetFont().SetHeight(-200);
                b->GetCanvas().GetBrush().SetColor(clWhite);
            }
            whole.GetCanvas().GetBrush().SetColor(clBlack);
            whole.GetCanvas().FillRect(Rect(0, 0, 300, 200));
            whole.GetCanvas().GetBrush().SetColor(clWhite);
            start.GetCanvas().GetBrush().SetColor(clBlack);
            start.GetCanvas().FillRect(Rect(0, 0, 300, 200));
            start.GetCanvas().GetBrush().SetColor(clWhite);
            whole.GetCanvas().TextOut(-5, 3, std::string(n, 'W'));
            start.GetCanvas().TextOut(-5, 3, "WWW");
            ASSERT_GT(start.GetCanvas().TextWidth("WWW"), 305);
            int ink = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 300; ++x) {
                    ASSERT_EQ(whole.PixelColor(x, y), start.PixelColor(x, y)) << x << "," << y;
                    ink += whole.PixelColor(x, y) == clBlack && y >= 3;
                }
            EXPECT_GT(ink, 1000);
        }
}

TEST(Text, HeightsPastTheLargestEmShareOneFace) {
    // Every such height draws at the largest em, so one set of its large glyphs serves them
    // all, rather than one set each until the memory runs out.
    TFont f;
    f.SetName("Courier New");
    f.SetHeight(-detail::MaxFontPixels);
    const auto largest = detail::ResolveFont(f);
    for (const int h : {-detail::MaxFontPixels - 1, -5000, -100000, INT_MIN}) {
        f.SetHeight(h);
        EXPECT_EQ(detail::ResolveFont(f), largest) << h;
    }
    f.SetHeight(-detail::MaxFontPixels + 1);
    EXPECT_NE(detail::ResolveFont(f), largest);
}

} // namespace
