// Text on a canvas: opaque cells and one-bit glyphs.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host/Graphics.h"
#include "host/detail/Fonts.h"
#include "host/detail/Pixels.h"

namespace vcl {

detail::SizedFont& TCanvas::Sized() const {
    if (!FSized || !(FSizedFor == FFont)) {
        FSized = detail::ResolveFont(FFont);
        FSizedFor.Assign(FFont);
    }
    return *FSized;
}

int TCanvas::TextWidth(const std::string& Text) const {
    return Sized().TextWidth(Text);
}

int TCanvas::TextHeight(const std::string&) const {
    return Sized().CellHeight();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    detail::SizedFont& font = Sized();
    TBitmap& bmp = *FBitmap;
    const int W = bmp.FWidth, H = bmp.FHeight;
    const TPixelFormat fmt = bmp.FPixelFormat;
    const detail::PixelValue ink = detail::ToPixel(fmt, FFont.GetColor());
    const bool opaque = FBrush.GetStyle() == bsSolid;

    if (opaque && fmt != pf1bit) {
        // The cell, glyphs and background together, copied row by row.
        const detail::CellImage& cell =
            font.OpaqueCell(Text, fmt, ink, detail::ToPixel(fmt, FBrush.GetColor()));
        const std::int64_t x1 = std::max<std::int64_t>(X, 0);
        const std::int64_t x2 = std::min<std::int64_t>(std::int64_t{X} + cell.Width, W);
        const std::int64_t y1 = std::max<std::int64_t>(Y, 0);
        const std::int64_t y2 = std::min<std::int64_t>(std::int64_t{Y} + cell.Height, H);
        if (x1 >= x2 || y1 >= y2)
            return;
        const std::size_t bpp = fmt == pf8bit ? 1 : 3;
        std::uint8_t* const top = bmp.ScanLine(0);
        for (std::int64_t y = y1; y < y2; ++y)
            std::memcpy(top + static_cast<std::size_t>(y) * bmp.FRowBytes + bpp * x1,
                        cell.Pixels.data() + static_cast<std::size_t>(y - Y) * cell.RowBytes +
                            bpp * static_cast<std::size_t>(x1 - X),
                        bpp * static_cast<std::size_t>(x2 - x1));
        return;
    }

    // Clear brush (or a monochrome bitmap): the glyphs alone, over what is there; an opaque
    // string's glyphs stay inside its cell as above.
    std::int64_t clipX1 = 0, clipY1 = 0, clipX2 = W, clipY2 = H;
    if (opaque) {
        const std::int64_t right = std::int64_t{X} + font.TextWidth(Text);
        const std::int64_t bottom = std::int64_t{Y} + font.CellHeight();
        FillRect(Rect(X, Y, static_cast<int>(std::min<std::int64_t>(right, INT_MAX)),
                      static_cast<int>(std::min<std::int64_t>(bottom, INT_MAX))));
        clipX1 = std::max<std::int64_t>(clipX1, X);
        clipY1 = std::max<std::int64_t>(clipY1, Y);
        clipX2 = std::min<std::int64_t>(clipX2, right);
        clipY2 = std::min<std::int64_t>(clipY2, bottom);
    }
    if (W == 0 || H == 0)
        return;
    std::uint8_t* top = bmp.ScanLine(0);
    std::int64_t pen = X;
    for (const char ch : Text) {
        const detail::Glyph& g = font.GlyphOf(static_cast<unsigned char>(ch));
        detail::BlitGlyph(g, pen, std::int64_t{Y} + font.Ascent, fmt, top, bmp.GetRowBytes(), ink,
                          clipX1, clipY1, clipX2, clipY2);
        pen += g.Advance;
    }
}

} // namespace vcl
