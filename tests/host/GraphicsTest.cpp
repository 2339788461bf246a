// Bitmaps in memory: sizes and their limit, pixel formats, the shared palette, row access.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>

#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/BitmapTesting.h"

namespace vcl {
namespace {

using testing::Difference;
using testing::FormatName;
using testing::MakeBitmap;
using testing::MakePattern;
using testing::Snapshot;

constexpr TPixelFormat kFormats[] = {pf1bit, pf8bit, pf24bit};

TEST(BitmapSize, NegativeSizesActAsZero) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetSize(-5, 3);
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 3);
    EXPECT_TRUE(b.Empty());
    b.SetSize(4, -1);
    EXPECT_EQ(b.GetWidth(), 4);
    EXPECT_EQ(b.GetHeight(), 0);
    b.SetSize(4, 2);
    b.SetWidth(-7);
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 2);
    b.SetSize(INT_MIN, INT_MIN);
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 0);
}

TEST(BitmapSize, ResizingKeepsPixelsAndWhitensNewOnes) {
    // Shrinking and growing again must not bring back pixels that were cut off, which a
    // monochrome row could keep in the spare bits of its last byte, or memory kept for a height
    // that comes back.
    const struct {
        int W, H;
    } steps[] = {{9, 2}, {9, 4}, {13, 7}, {3, 2}, {11, 6}, {9, 5}, {17, 1}, {0, 4}, {6, 6}};
    for (TPixelFormat f : kFormats) {
        auto b = MakePattern(f, 9, 5);
        Snapshot want(*b);
        for (const auto& s : steps) {
            SCOPED_TRACE(std::string(FormatName(f)) + " to " + std::to_string(s.W) + " x " +
                         std::to_string(s.H));
            b->SetSize(s.W, s.H);
            Snapshot next(*b);
            for (int y = 0; y < s.H; ++y)
                for (int x = 0; x < s.W; ++x)
                    next.Set(x, y, x < want.Width && y < want.Height ? want.At(x, y) : clWhite);
            EXPECT_EQ(Difference(Snapshot(*b), next), "");
            EXPECT_EQ(b->GetPixelFormat(), f);
            want = next;
        }
    }
}

TEST(BitmapSize, TooLargeRaisesAndChangesNothing) {
    const struct {
        int W, H;
    } sizes[] = {{100000, 100000}, {INT_MAX, 2}, {2, INT_MAX}, {INT_MAX, INT_MAX}, {70000, 70000}};
    for (TPixelFormat f : kFormats)
        for (const auto& s : sizes) {
            const std::string size = std::to_string(s.W) + " x " + std::to_string(s.H);
            SCOPED_TRACE(std::string(FormatName(f)) + " " + size);
            auto b = MakePattern(f, 7, 3);
            const Snapshot before(*b);
            try {
                b->SetSize(s.W, s.H);
                ADD_FAILURE() << "no exception";
            } catch (const EOutOfResources& e) {
                EXPECT_NE(std::string(e.what()).find(size), std::string::npos) << e.what();
            }
            EXPECT_EQ(Difference(Snapshot(*b), before), "");
        }
}

TEST(BitmapSize, CheckBitmapSizeRaisesWhereSizingWould) {
    const struct {
        TPixelFormat Format;
        int W, H;
        bool Fits;
    } rows[] = {
        {pf8bit, 16384, 16384, true}, // exactly MaxBitmapBytes
        {pf8bit, 16384, 16385, false},
        {pf24bit, 16384, 16384, false}, // three bytes a pixel
        {pfDevice, 16384, 16384, false},
        {pf1bit, 100000, 20000, true}, // 250 MB at one bit a pixel
        {pf8bit, INT_MAX, 0, true},
        {pf8bit, 0, INT_MAX, true},
        {pf8bit, -5, INT_MAX, true}, // negative sizes act as 0
        {pf8bit, INT_MAX, INT_MAX, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.Format) + " " + std::to_string(r.W) + " x " +
                     std::to_string(r.H));
        if (r.Fits)
            EXPECT_NO_THROW(CheckBitmapSize(r.Format, r.W, r.H));
        else
            EXPECT_THROW(CheckBitmapSize(r.Format, r.W, r.H), EOutOfResources);
    }
}

TEST(BitmapSize, FormatChangePastTheLimitRaisesAndChangesNothing) {
    // 35 MB as one bit per pixel, but past the limit at one byte.
    auto b = MakeBitmap(pf1bit, 20000, 14000);
    b->GetCanvas().SetPixel(19999, 13999, clBlack);
    EXPECT_THROW(b->SetPixelFormat(pf8bit), EOutOfResources);
    EXPECT_THROW(b->SetMonochrome(false), EOutOfResources);
    EXPECT_EQ(b->GetPixelFormat(), pf1bit);
    EXPECT_EQ(b->GetWidth(), 20000);
    EXPECT_EQ(b->GetHeight(), 14000);
    EXPECT_EQ(b->GetCanvas().GetPixel(19999, 13999), clBlack);
    EXPECT_EQ(b->GetCanvas().GetPixel(19998, 13999), clWhite);
}

TEST(BitmapSize, AllBitmapsTogetherStayWithinTheLimit) {
    const std::size_t before = BitmapBytesInUse();
    constexpr int kSide = 16384; // a row of 16 KiB at one byte a pixel
    constexpr std::size_t kRow = kSide;
    {
        TBitmap a;
        a.SetPixelFormat(pf8bit);
        a.Reallocate(kSide, 10000);
        EXPECT_EQ(BitmapBytesInUse(), before + 10000 * kRow);

        // Each would fit alone; beside a, it does not. Sizing afresh leaves b empty, keeping
        // the pixels leaves it as it was.
        TBitmap b;
        b.SetPixelFormat(pf8bit);
        b.SetSize(10, 10);
        try {
            b.Reallocate(kSide, 8000);
            ADD_FAILURE() << "no exception";
        } catch (const EOutOfResources& e) {
            EXPECT_NE(std::string(e.what()).find("all bitmaps together"), std::string::npos)
                << e.what();
        }
        EXPECT_TRUE(b.Empty());
        EXPECT_EQ(BitmapBytesInUse(), before + 10000 * kRow);
        b.SetSize(10, 10);
        EXPECT_THROW(b.SetSize(kSide, 8000), EOutOfResources);
        EXPECT_EQ(b.GetWidth(), 10);
        EXPECT_THROW(b.Assign(a), EOutOfResources);
        EXPECT_EQ(b.GetWidth(), 10);

        // Keeping the pixels while growing needs the old and the new buffer at once; sizing
        // afresh gives the old one back first.
        EXPECT_THROW(a.SetSize(kSide, 16000), EOutOfResources);
        EXPECT_EQ(a.GetHeight(), 10000);
        a.Reallocate(kSide, kSide - 1);
        EXPECT_EQ(BitmapBytesInUse(), before + (kSide - 1) * kRow + 100);

        // Handing pixels over moves them without counting them twice.
        TBitmap c;
        c.TakePixels(a);
        EXPECT_EQ(BitmapBytesInUse(), before + (kSide - 1) * kRow + 100);
    }
    // Freed bitmaps give their bytes back.
    EXPECT_EQ(BitmapBytesInUse(), before);
    TBitmap d;
    d.SetPixelFormat(pf8bit);
    EXPECT_NO_THROW(d.Reallocate(kSide, 8000));
}

TEST(PixelFormat, NewBitmapsHoldTheDeviceFormat) {
    TBitmap b;
    EXPECT_EQ(b.GetPixelFormat(), pf24bit);
    EXPECT_FALSE(b.GetMonochrome());
    b.SetPixelFormat(pf8bit);
    b.SetPixelFormat(pfDevice);
    EXPECT_EQ(b.GetPixelFormat(), pf24bit);
}

TEST(PixelFormat, PaletteColoursSurvive24To8To24) {
    auto b = MakeBitmap(pf24bit, 16, 16);
    testing::Paint(*b, [](int x, int y) { return palette::Color(std::uint8_t(y * 16 + x)); });
    const Snapshot before(*b);
    b->SetPixelFormat(pf8bit);
    ASSERT_EQ(b->GetPixelFormat(), pf8bit);
    ASSERT_EQ(b->GetRowBytes(), 16u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(b->ScanLine(y)[x], y * 16 + x) << "(" << x << ", " << y << ")";
    b->SetPixelFormat(pf24bit);
    EXPECT_EQ(Difference(Snapshot(*b), before), "");
}

TEST(PixelFormat, MonochromeTakesTheNearerOfBlackAndWhite) {
    const struct {
        TColor In, Out;
    } cases[] = {
        {clBlack, clBlack},
        {clWhite, clWhite},
        {RGB(40, 40, 40), clBlack},
        {RGB(220, 220, 220), clWhite},
        {clRed, clBlack},
        {clYellow, clWhite},
        {clNavy, clBlack},
        {clAqua, clWhite},
        {RGB(102, 102, 102), clBlack},
        {RGB(153, 153, 153), clWhite},
    };
    for (TPixelFormat f : {pf8bit, pf24bit}) {
        SCOPED_TRACE(FormatName(f));
        auto b = MakeBitmap(f, std::size(cases), 2);
        for (int i = 0; i < int(std::size(cases)); ++i)
            b->GetCanvas().SetPixel(i, 1, cases[i].In);
        b->SetMonochrome(true);
        EXPECT_TRUE(b->GetMonochrome());
        EXPECT_EQ(b->GetPixelFormat(), pf1bit);
        for (int i = 0; i < int(std::size(cases)); ++i) {
            EXPECT_EQ(b->GetCanvas().GetPixel(i, 1), cases[i].Out) << testing::Hex(cases[i].In);
            EXPECT_EQ(b->GetCanvas().GetPixel(i, 0), clWhite);
        }
        const Snapshot mono(*b);
        b->SetMonochrome(false);
        EXPECT_EQ(b->GetPixelFormat(), pf24bit);
        Snapshot want = mono;
        want.Format = pf24bit;
        EXPECT_EQ(Difference(Snapshot(*b), want), "");
    }
    // Only a monochrome bitmap changes when Monochrome is switched off.
    auto b = MakeBitmap(pf8bit, 3, 3);
    b->SetMonochrome(false);
    EXPECT_EQ(b->GetPixelFormat(), pf8bit);
}

TEST(PixelFormat, MonochromeRowsAreMostSignificantBitFirstWithOneForWhite) {
    auto b = MakeBitmap(pf1bit, 10, 1);
    ASSERT_EQ(b->GetRowBytes(), 2u);
    b->GetCanvas().SetPixel(0, 0, clBlack);
    b->GetCanvas().SetPixel(9, 0, clBlack);
    EXPECT_EQ(b->ScanLine(0)[0], 0x7F);
    EXPECT_EQ(b->ScanLine(0)[1] & 0xC0, 0x80);

    // Into pf8bit and pf24bit, black and white become the exact palette ends and bytes.
    auto p = MakePattern(pf1bit, 13, 3);
    const Snapshot mono(*p);
    p->SetPixelFormat(pf8bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(p->ScanLine(y)[x],
                      mono.At(x, y) == clBlack ? palette::BlackIndex : palette::WhiteIndex);
    p->SetPixelFormat(pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3 * 13; ++x)
            ASSERT_EQ(p->ScanLine(y)[x], mono.At(x / 3, y) == clBlack ? 0 : 0xFF);
    p->SetPixelFormat(pf1bit);
    Snapshot back = mono;
    EXPECT_EQ(Difference(Snapshot(*p), back), "");
}

TEST(SharedPalette, EndsAreBlackAndWhiteAndEveryEntryIsItsOwnNearest) {
    EXPECT_EQ(palette::Color(palette::BlackIndex), clBlack);
    EXPECT_EQ(palette::Color(palette::WhiteIndex), clWhite);
    EXPECT_EQ(palette::IndexOf(clBlack), palette::BlackIndex);
    EXPECT_EQ(palette::IndexOf(clWhite), palette::WhiteIndex);
    std::set<TColor> distinct;
    for (int i = 0; i < 256; ++i) {
        const TColor c = palette::Color(std::uint8_t(i));
        distinct.insert(c);
        EXPECT_EQ(palette::IndexOf(c), i) << testing::Hex(c);
    }
    EXPECT_EQ(distinct.size(), 256u);
}

TEST(SharedPalette, IndexOfFindsTheNearestEntry) {
    auto dist = [](TColor a, TColor b) {
        const int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b),
                  db = GetBValue(a) - GetBValue(b);
        return dr * dr + dg * dg + db * db;
    };
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const TColor c = RGB(r, g, b);
                int best = INT_MAX;
                for (int i = 0; i < 256; ++i)
                    best = std::min(best, dist(c, palette::Color(std::uint8_t(i))));
                ASSERT_EQ(dist(c, palette::Color(palette::IndexOf(c))), best) << testing::Hex(c);
            }
    // Bits above the colour are ignored.
    EXPECT_EQ(palette::IndexOf(static_cast<TColor>(0x7F000000 | clWhite)), palette::WhiteIndex);
}

TEST(ScanLine, RowsOutsideTheBitmapRaise) {
    for (TPixelFormat f : kFormats) {
        SCOPED_TRACE(FormatName(f));
        auto b = MakeBitmap(f, 5, 4);
        const TBitmap& cb = *b;
        for (int y : {-1, 4, 5, INT_MIN, INT_MAX}) {
            EXPECT_THROW(b->ScanLine(y), EInvalidGraphic) << y;
            EXPECT_THROW(cb.ScanLine(y), EInvalidGraphic) << y;
        }
        EXPECT_EQ(b->ScanLine(1), b->ScanLine(0) + b->GetRowBytes());
    }
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(BitmapAssign, CopiesPixelsSizeAndFormat) {
    for (TPixelFormat f : kFormats) {
        SCOPED_TRACE(FormatName(f));
        auto src = MakePattern(f, 7, 5);
        TBitmap dst;
        dst.SetSize(2, 2);
        dst.Assign(*src);
        EXPECT_EQ(Difference(Snapshot(dst), Snapshot(*src)), "");
        // The copy is its own.
        dst.GetCanvas().SetPixel(0, 0, clWhite);
        src->GetCanvas().SetPixel(0, 0, clBlack);
        EXPECT_EQ(dst.GetCanvas().GetPixel(0, 0), clWhite);
    }
}

} // namespace
} // namespace vcl

namespace vcl {
namespace {

TEST(Font, SizeInPointsAndHeightInPixelsAt96Dpi) {
    const struct {
        int Size, Height;
    } cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {72, -96}, {0, 0}, {-8, 11}};
    for (const auto& c : cases) {
        TFont f;
        f.SetSize(c.Size);
        EXPECT_EQ(f.GetHeight(), c.Height) << c.Size;
        EXPECT_EQ(f.GetSize(), c.Size) << c.Size;
    }
    // Sizes from a file may be anything; the conversion stays defined at the ends of int.
    for (int size : {INT_MIN, INT_MIN + 1, -1700000000, 1700000000, INT_MAX}) {
        TFont f;
        f.SetSize(size);
        EXPECT_EQ(f.GetHeight() < 0, size > 0) << size;
        f.SetHeight(size);
        EXPECT_EQ(f.GetSize() > 0, size < 0) << size;
    }
}

} // namespace
} // namespace vcl
