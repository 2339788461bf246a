// The glyph cache: text assembled from cached masks, turned or not, against the same text worked
// out pixel by pixel from the glyphs' bits; the cache's bound; canvases on several threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/graphics/Graphics.h"
#include "host/graphics/detail/Fonts.h"

using namespace vcl;

namespace {

constexpr int UW = 90, UH = 40;

struct Case {
    std::string font;
    int height;
    TFontStyles style;
    std::string text;
    int x, y;
};

// What TextOut(X, Y, Text) leaves on a blue UW x UH picture, from the one-bit glyphs alone: the
// cell in white while the brush is solid, then every bit of ink inside the picture (and the cell).
std::vector<TColor> Expected(const TFont& Font, const Case& C, bool Opaque) {
    const auto font = detail::ResolveFont(Font);
    std::vector<TColor> px(UW * UH, clBlue);
    const long right = C.x + long{font->TextWidth(C.text)}, bottom = C.y + long{font->CellHeight()};
    auto inside = [&](long x, long y) {
        return x >= 0 && y >= 0 && x < UW && y < UH &&
               (!Opaque || (x >= C.x && x < right && y >= C.y && y < bottom));
    };
    if (Opaque)
        for (long y = C.y; y < bottom; ++y)
            for (long x = C.x; x < right; ++x)
                if (inside(x, y))
                    px[y * UW + x] = clWhite;
    long pen = C.x;
    for (const char ch : C.text) {
        const detail::Glyph& g = font->GlyphOf(static_cast<unsigned char>(ch));
        for (int r = 0; r < g.Rows; ++r)
            for (int c = 0; c < g.Width; ++c) {
                const long x = pen + g.Left + c, y = C.y + font->Ascent - g.Top + r;
                if ((g.Bits[r * g.Pitch + c / 8] & (0x80 >> (c % 8))) && inside(x, y))
                    px[y * UW + x] = clBlack;
            }
        pen += g.Advance;
    }
    return px;
}

// Unturned pixel (x, y) of the picture, read from its turn by Degrees.
TColor TurnedPixel(const TBitmap& B, int Degrees, int x, int y) {
    switch (Degrees) {
    case 90:
        return B.PixelColor(UH - 1 - y, x);
    case 180:
        return B.PixelColor(UW - 1 - x, UH - 1 - y);
    case 270:
        return B.PixelColor(y, UW - 1 - x);
    default:
        return B.PixelColor(x, y);
    }
}

std::vector<Case> Cases() {
    std::string bytes;
    for (int c = 0x21; c < 0x100; c += 7)
        bytes += static_cast<char>(c);
    std::vector<Case> rows;
    // Sizes from the smallest label font to past a 16-byte glyph row; a positive height is a
    // cell. Positions inside, cut at the left and top, and cut at the right and bottom.
    for (const char* font : {"Courier New", "DejaVu Sans"})
        for (const int height : {-11, -21, -32, -45, 30})
            for (const TFontStyles style :
                 {TFontStyles{0}, FontStyleBit(fsBold), TFontStyles(FontStyleBit(fsItalic) | 1)}) {
                rows.push_back({font, height, style, "Lumivex-2026/ab12345", 2, 3});
                rows.push_back({font, height, style, "Wg|_{}@", -7, -4});
                rows.push_back({font, height, style, bytes, UW - 40, UH - 12});
            }
    return rows;
}

TEST(GlyphCache, TextEqualsTheDrawingFromTheGlyphBitsAtEveryTurn) {
    for (const TPixelFormat fmt : {pf8bit, pf24bit, pf1bit})
        for (const int degrees : {0, 90, 180, 270}) {
            if (degrees && fmt != pf8bit)
                continue;
            // One bitmap for the whole table: every row changes the font of the same canvas.
            TBitmap bmp;
            bmp.SetPixelFormat(fmt);
            bmp.SetSize(degrees % 180 ? UH : UW, degrees % 180 ? UW : UH);
            TCanvas& canvas = bmp.GetCanvas();
            for (const Case& c : Cases())
                for (const bool opaque : {true, false}) {
                    SCOPED_TRACE(c.font + " " + std::to_string(c.height) + " style " +
                                 std::to_string(c.style) + " '" + c.text + "' format " +
                                 std::to_string(fmt) + " turn " + std::to_string(degrees) +
                                 (opaque ? " opaque" : " clear"));
                    canvas.GetBrush().SetColor(clBlue);
                    canvas.FillRect(Rect(0, 0, UW, UW));
                    canvas.GetBrush().SetColor(clWhite);
                    canvas.GetBrush().SetStyle(opaque ? bsSolid : bsClear);
                    canvas.GetFont().SetName(c.font);
                    canvas.GetFont().SetHeight(c.height);
                    canvas.GetFont().SetStyle(c.style);
                    canvas.GetFont().SetColor(clBlack);
                    if (degrees)
                        canvas.TurnedTextOut(degrees, UW, UH, c.x, c.y, c.text);
                    else
                        canvas.TextOut(c.x, c.y, c.text);
                    std::vector<TColor> expected = Expected(canvas.GetFont(), c, opaque);
                    if (fmt == pf1bit)
                        for (TColor& p : expected)
                            p = p == clWhite ? clWhite : clBlack; // blue is nearer black
                    for (int y = 0; y < UH; ++y)
                        for (int x = 0; x < UW; ++x)
                            ASSERT_EQ(TurnedPixel(bmp, degrees, x, y), expected[y * UW + x])
                                << x << "," << y;
                }
        }
}

TEST(GlyphCache, StaysBounded) {
    // Every byte at every turn in many sizes: the cache starts afresh rather than grow.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    TBitmap bmp;
    bmp.SetPixelFormat(pf8bit);
    bmp.SetSize(64, 64);
    TCanvas& canvas = bmp.GetCanvas();
    canvas.GetFont().SetName("Courier New");
    for (int h = -8; h >= -200; h -= 3) {
        canvas.GetFont().SetHeight(h);
        for (const int degrees : {0, 90, 180, 270})
            if (degrees)
                canvas.TurnedTextOut(degrees, 64, 64, 0, 0, all.substr(0, 64 / -h + 1));
            else
                canvas.TextOut(-h * 2, 0, all);
        // One size holds at most its glyphs' bits and four masks of each.
        EXPECT_LE(detail::FontCacheBytes(),
                  detail::MaxFontCacheBytes + 256 * (4 * detail::MaxMaskBytes + 200 * 200 / 8))
            << h;
    }
    // A glyph too large for a mask is drawn from its bits.
    canvas.GetFont().SetHeight(-600);
    EXPECT_EQ(detail::ResolveFont(canvas.GetFont())->MaskOf('W', 1), nullptr);
}

TEST(GlyphCache, CanvasesOnSeveralThreadsDrawAsOneDoes) {
    // The threads share the faces and glyphs; each draws what one thread alone draws.
    auto render = [](int Degrees) {
        TBitmap bmp;
        bmp.SetPixelFormat(pf8bit);
        bmp.SetSize(UH, UW);
        TCanvas& canvas = bmp.GetCanvas();
        std::vector<TColor> out;
        for (const int h : {-13, -17, -23, -29}) {
            canvas.GetFont().SetName("DejaVu Sans Mono");
            canvas.GetFont().SetHeight(h);
            canvas.TurnedTextOut(Degrees, UW, UH, 1, 1, "0123456789 QWERTY");
            for (int y = 0; y < UW; ++y)
                for (int x = 0; x < UH; ++x)
                    out.push_back(bmp.PixelColor(x, y));
        }
        return out;
    };
    std::vector<std::vector<TColor>> results(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] { results[t] = render(t % 2 ? 90 : 270); });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(results[0], render(270));
    EXPECT_EQ(results[1], render(90));
    EXPECT_EQ(results[2], results[0]);
    EXPECT_EQ(results[3], results[1]);
}

} // namespace
