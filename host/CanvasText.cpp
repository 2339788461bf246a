// Text on a canvas: opaque cells and one-bit glyphs.
#include <algorithm>
#include <climits>

#include "host/Graphics.h"
#include "host/detail/Fonts.h"
#include "host/detail/Pixels.h"

namespace vcl {

int TCanvas::TextWidth(const std::string& Text) const {
    detail::SizedFont& font = detail::ResolveFont(FFont);
    std::int64_t w = 0;
    for (const char c : Text)
        w += font.GlyphOf(static_cast<unsigned char>(c)).Advance;
    return static_cast<int>(std::min<std::int64_t>(w, INT_MAX));
}

int TCanvas::TextHeight(const std::string&) const {
    return detail::ResolveFont(FFont).CellHeight();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    detail::SizedFont& font = detail::ResolveFont(FFont);
    if (FBrush.GetStyle() == bsSolid) {
        const std::int64_t right = std::int64_t{X} + TextWidth(Text);
        const std::int64_t bottom = std::int64_t{Y} + font.CellHeight();
        FillRect(Rect(X, Y, static_cast<int>(std::min<std::int64_t>(right, INT_MAX)),
                      static_cast<int>(std::min<std::int64_t>(bottom, INT_MAX))));
    }
    TBitmap& bmp = *FBitmap;
    const int W = bmp.FWidth, H = bmp.FHeight;
    const TPixelFormat fmt = bmp.FPixelFormat;
    const detail::PixelValue ink = detail::ToPixel(fmt, FFont.GetColor());
    const std::int64_t baseline = std::int64_t{Y} + font.Ascent;
    std::int64_t penX = X;
    for (const char ch : Text) {
        if (penX >= W)
            break;
        const detail::Glyph& g = font.GlyphOf(static_cast<unsigned char>(ch));
        const std::int64_t gx = penX + g.Left, gy = baseline - g.Top;
        penX += g.Advance;
        if (gx >= W || gx + g.Width <= 0 || gy >= H || gy + g.Rows <= 0)
            continue;
        for (int r = 0; r < g.Rows; ++r) {
            const std::int64_t y = gy + r;
            if (y < 0 || y >= H)
                continue;
            std::uint8_t* row = bmp.ScanLine(static_cast<int>(y));
            const std::uint8_t* bits = g.Bits.data() + static_cast<std::size_t>(r) * g.Pitch;
            for (int c = 0; c < g.Width; ++c) {
                const std::int64_t x = gx + c;
                if (x >= 0 && x < W && (bits[c >> 3] & (0x80 >> (c & 7))))
                    detail::SetPixelValue(fmt, row, static_cast<int>(x), ink);
            }
        }
    }
}

} // namespace vcl
