// Canvas drawing: the pixels Rectangle, FillRect, Draw and SetPixel cover, clipping included.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "host/graphics/Graphics.h"
#include "tests/host/BitmapTesting.h"

namespace vcl {
namespace {

using testing::Difference;
using testing::FormatName;
using testing::MakeBitmap;
using testing::MakePattern;
using testing::Snapshot;

constexpr TPixelFormat kFormats[] = {pf1bit, pf8bit, pf24bit};

TEST(CanvasRectangle, CoversColumnsX1ToX2Minus1AndRowsY1ToY2Minus1) {
    struct Case {
        const char* Note;
        int X1, Y1, X2, Y2;
        int Left, Top, Right, Bottom; // what must turn black
    };
    const Case cases[] = {
        {"ordinary", 2, 3, 7, 9, 2, 3, 7, 9},
        {"both corners swapped", 7, 9, 2, 3, 2, 3, 7, 9},
        {"x swapped only", 7, 3, 2, 9, 2, 3, 7, 9},
        {"y swapped only", 2, 9, 7, 3, 2, 3, 7, 9},
        {"a single pixel", 4, 4, 5, 5, 4, 4, 5, 5},
        {"one column", 0, 0, 1, 10, 0, 0, 1, 10},
        {"the whole bitmap", 0, 0, 12, 10, 0, 0, 12, 10},
        {"zero width", 3, 2, 3, 8, 0, 0, 0, 0},
        {"zero height", 2, 5, 9, 5, 0, 0, 0, 0},
    };
    for (TPixelFormat f : kFormats)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(FormatName(f)) + ", " + c.Note);
            auto b = MakeBitmap(f, 12, 10);
            b->GetCanvas().GetBrush().SetColor(clBlack);
            b->GetCanvas().Rectangle(c.X1, c.Y1, c.X2, c.Y2);
            Snapshot want(*b);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x)
                    want.Set(x, y,
                             x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom ? clBlack
                                                                                      : clWhite);
            EXPECT_EQ(Difference(Snapshot(*b), want), "");
        }
}

TEST(CanvasRectangle, OutlineTakesThePenAndTheInsideTheBrush) {
    const TColor background = clBlue, brush = clRed, pen = clBlack;
    struct Case {
        const char* Note;
        bool BrushClear;
        bool PenClear;
        int PenWidth;
        TColor PenColor;
    };
    const Case cases[] = {
        {"default pen", false, false, 1, pen},
        {"wide pen", false, false, 2, pen},
        {"pen as wide as half the box", false, false, 3, pen},
        {"clear brush keeps the inside", true, false, 1, pen},
        {"clear pen leaves only the brush", false, true, 1, pen},
        {"pen in the brush's colour", false, false, 1, brush},
    };
    for (TPixelFormat f : {pf8bit, pf24bit})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(FormatName(f)) + ", " + c.Note);
            auto b = MakeBitmap(f, 12, 10);
            TCanvas& cv = b->GetCanvas();
            cv.GetBrush().SetColor(background);
            cv.FillRect(Rect(0, 0, 12, 10));
            cv.GetBrush().SetColor(brush);
            if (c.BrushClear)
                cv.GetBrush().SetStyle(bsClear);
            cv.GetPen().SetColor(c.PenColor);
            cv.GetPen().SetWidth(c.PenWidth);
            if (c.PenClear)
                cv.GetPen().SetStyle(psClear);
            cv.Rectangle(2, 1, 9, 7);
            Snapshot want(*b);
            const int w = c.PenWidth;
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x) {
                    TColor col = background;
                    if (x >= 2 && x < 9 && y >= 1 && y < 7) {
                        const bool edge = x < 2 + w || x >= 9 - w || y < 1 + w || y >= 7 - w;
                        if (edge && !c.PenClear)
                            col = c.PenColor;
                        else if (!c.BrushClear)
                            col = brush;
                    }
                    want.Set(x, y, col);
                }
            EXPECT_EQ(Difference(Snapshot(*b), want), "");
        }
}

TEST(CanvasBrush, ClearBrushFillsNothingUntilItGetsAColour) {
    for (TPixelFormat f : kFormats) {
        SCOPED_TRACE(FormatName(f));
        auto b = MakePattern(f, 9, 6);
        const Snapshot before(*b);
        TBrush& brush = b->GetCanvas().GetBrush();
        brush.SetColor(clBlack);
        brush.SetStyle(bsClear);
        b->GetCanvas().FillRect(Rect(0, 0, 9, 6));
        EXPECT_EQ(Difference(Snapshot(*b), before), "");

        brush.SetColor(clWhite);
        EXPECT_EQ(brush.GetStyle(), bsSolid);
        b->GetCanvas().FillRect(Rect(1, 2, 4, 5));
        Snapshot want = before;
        for (int y = 2; y < 5; ++y)
            for (int x = 1; x < 4; ++x)
                want.Set(x, y, clWhite);
        EXPECT_EQ(Difference(Snapshot(*b), want), "");
    }
}

// Coordinates far outside the bitmap, some near the ends of int so that careless arithmetic
// on them overflows.
constexpr int kWild[] = {INT_MIN, INT_MIN + 1, -1000000, -3, 0, 4, 9, 10, 11, INT_MAX - 1, INT_MAX};
constexpr int kW = 10, kH = 8;

bool Within(std::int64_t V, std::int64_t From, std::int64_t To) {
    return V >= From && V < To;
}

TEST(CanvasClipping, FillRectAndRectangleWriteOnlyInside) {
    for (TPixelFormat f : kFormats) {
        // pf1bit cannot tell three colours apart, so its outline and inside are both black.
        const TColor background = f == pf1bit ? clWhite : clBlue;
        const TColor brush = f == pf1bit ? clBlack : clRed;
        const TColor pen = clBlack;
        auto b = MakeBitmap(f, kW, kH);
        TCanvas& cv = b->GetCanvas();
        Snapshot want(*b);
        int failures = 0;
        for (int x1 : kWild)
            for (int y1 : kWild)
                for (int x2 : kWild)
                    for (int y2 : kWild) {
                        if (failures > 3)
                            return;
                        SCOPED_TRACE(std::string(FormatName(f)) + " (" + std::to_string(x1) + ", " +
                                     std::to_string(y1) + ", " + std::to_string(x2) + ", " +
                                     std::to_string(y2) + ")");
                        cv.GetBrush().SetColor(background);
                        cv.FillRect(Rect(0, 0, kW, kH));
                        cv.GetBrush().SetColor(brush);
                        cv.FillRect(Rect(x1, y1, x2, y2));
                        for (int y = 0; y < kH; ++y)
                            for (int x = 0; x < kW; ++x)
                                want.Set(x, y,
                                         Within(x, x1, x2) && Within(y, y1, y2) ? brush
                                                                                : background);
                        if (Difference(Snapshot(*b), want) != "") {
                            ADD_FAILURE() << "FillRect: " << Difference(Snapshot(*b), want);
                            ++failures;
                        }

                        cv.GetBrush().SetColor(background);
                        cv.FillRect(Rect(0, 0, kW, kH));
                        cv.GetBrush().SetColor(brush);
                        cv.Rectangle(x1, y1, x2, y2);
                        const std::int64_t l = std::min(x1, x2), r = std::max(x1, x2);
                        const std::int64_t t = std::min(y1, y2), d = std::max(y1, y2);
                        for (int y = 0; y < kH; ++y)
                            for (int x = 0; x < kW; ++x) {
                                TColor col = background;
                                if (Within(x, l, r) && Within(y, t, d))
                                    col =
                                        x == l || x == r - 1 || y == t || y == d - 1 ? pen : brush;
                                want.Set(x, y, col);
                            }
                        if (Difference(Snapshot(*b), want) != "") {
                            ADD_FAILURE() << "Rectangle: " << Difference(Snapshot(*b), want);
                            ++failures;
                        }
                    }
    }
}

TEST(CanvasClipping, DrawCopiesOnlyTheOverlap) {
    for (TPixelFormat f : kFormats) {
        auto src = MakePattern(f, 5, 4);
        const Snapshot source(*src);
        for (int x : kWild)
            for (int y : kWild) {
                SCOPED_TRACE(std::string(FormatName(f)) + " at (" + std::to_string(x) + ", " +
                             std::to_string(y) + ")");
                auto dst = MakeBitmap(f, kW, kH);
                dst->GetCanvas().Draw(x, y, *src);
                Snapshot want(*dst);
                for (int py = 0; py < kH; ++py)
                    for (int px = 0; px < kW; ++px) {
                        const std::int64_t sx = std::int64_t{px} - x, sy = std::int64_t{py} - y;
                        want.Set(px, py,
                                 Within(sx, 0, 5) && Within(sy, 0, 4)
                                     ? source.At(static_cast<int>(sx), static_cast<int>(sy))
                                     : clWhite);
                    }
                EXPECT_EQ(Difference(Snapshot(*dst), want), "");
            }
    }
}

TEST(CanvasClipping, PixelAccessOutsideIsIgnored) {
    for (TPixelFormat f : kFormats) {
        auto b = MakeBitmap(f, kW, kH);
        Snapshot want(*b);
        for (int x : kWild)
            for (int y : kWild) {
                SCOPED_TRACE(std::string(FormatName(f)) + " (" + std::to_string(x) + ", " +
                             std::to_string(y) + ")");
                const bool inside = Within(x, 0, kW) && Within(y, 0, kH);
                b->GetCanvas().SetPixel(x, y, clBlack);
                if (inside)
                    want.Set(x, y, clBlack);
                EXPECT_EQ(Difference(Snapshot(*b), want), "");
                EXPECT_EQ(b->GetCanvas().GetPixel(x, y), inside ? clBlack : -1);
            }
    }
    TBitmap empty;
    EXPECT_EQ(empty.GetCanvas().GetPixel(0, 0), -1);
    empty.GetCanvas().SetPixel(0, 0, clBlack);
    empty.GetCanvas().FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    empty.GetCanvas().Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_TRUE(empty.Empty());
}

// The black-or-white choice of a monochrome target for each colour PatternColor uses.
TColor NearerOfBlackAndWhite(TColor C) {
    return C == clWhite || C == RGB(255, 255, 102) ? clWhite : clBlack;
}

TEST(CanvasDraw, ConvertsBetweenPixelFormats) {
    for (TPixelFormat from : kFormats)
        for (TPixelFormat to : kFormats) {
            SCOPED_TRACE(std::string(FormatName(from)) + " onto " + FormatName(to));
            auto src = MakePattern(from, 7, 5);
            const Snapshot source(*src);
            auto dst = MakeBitmap(to, 12, 9);
            dst->GetCanvas().Draw(3, 2, *src);
            Snapshot want(*dst);
            for (int y = 2; y < 7; ++y)
                for (int x = 3; x < 10; ++x) {
                    const TColor c = source.At(x - 3, y - 2);
                    want.Set(x, y, to == pf1bit ? NearerOfBlackAndWhite(c) : c);
                }
            EXPECT_EQ(Difference(Snapshot(*dst), want), "");
            EXPECT_EQ(dst->GetPixelFormat(), to);
        }
}

TEST(CanvasDraw, OntoItselfActsAsIfFromACopy) {
    const struct { int X, Y; } offsets[] = {{0, 0}, {2, 1}, {-3, -2}, {1, -1}, {9, 0}};
    for (TPixelFormat f : kFormats)
        for (const auto& o : offsets) {
            SCOPED_TRACE(std::string(FormatName(f)) + " at (" + std::to_string(o.X) + ", " +
                         std::to_string(o.Y) + ")");
            auto b = MakePattern(f, 9, 6);
            const Snapshot before(*b);
            b->GetCanvas().Draw(o.X, o.Y, *b);
            Snapshot want = before;
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 9; ++x)
                    if (Within(x - o.X, 0, 9) && Within(y - o.Y, 0, 6))
                        want.Set(x, y, before.At(x - o.X, y - o.Y));
            EXPECT_EQ(Difference(Snapshot(*b), want), "");
        }
}

} // namespace
} // namespace vcl
