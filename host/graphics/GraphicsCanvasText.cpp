// Text on a canvas: opaque cells and one-bit glyphs.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host/graphics/Graphics.h"
#include "host/graphics/Pixels.h"
#include "host/graphics/detail/Fonts.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

detail::SizedFont& TCanvas::Sized() const {
    if (!FSized || FSizedFor != FFont.Generation()) {
        FSized = detail::ResolveFont(FFont);
        FSizedFor = FFont.Generation();
    }
    return *FSized;
}

int TCanvas::TextWidth(const std::string& Text) const {
    return Sized().TextWidth(Text);
}

int TCanvas::TextHeight(const std::string&) const {
    return Sized().CellHeight();
}

namespace {
// A string's cell is kept ready-made only while it is small; a larger one is drawn straight onto
// the bitmap, where only its visible part costs anything.
constexpr std::size_t MaxCellBytes = std::size_t{256} << 10;

// Copies N bytes. A cell's rows are often a few bytes wide, where a call to memcpy costs more
// than the copy: up to 32 bytes are moved as two fixed-size blocks that may overlap.
void CopyRow(std::uint8_t* Dest, const std::uint8_t* Source, std::size_t N) {
    auto twice = [&](auto Block) {
        constexpr std::size_t size = sizeof(Block);
        std::memcpy(&Block, Source, size);
        decltype(Block) last;
        std::memcpy(&last, Source + N - size, size);
        std::memcpy(Dest, &Block, size);
        std::memcpy(Dest + N - size, &last, size);
    };
    struct Sixteen {
        std::uint64_t a, b;
    };
    if (N > 32)
        std::memcpy(Dest, Source, N);
    else if (N >= 16)
        twice(Sixteen{});
    else if (N >= 8)
        twice(std::uint64_t{});
    else if (N >= 4)
        twice(std::uint32_t{});
    else
        for (std::size_t i = 0; i < N; ++i)
            Dest[i] = Source[i];
}
} // namespace

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    detail::SizedFont& font = Sized();
    TBitmap& bmp = *FBitmap;
    const int W = bmp.FWidth, H = bmp.FHeight;
    if (W == 0 || H == 0)
        return;
    const TPixelFormat fmt = bmp.FPixelFormat;
    const PixelValue ink = ToPixel(fmt, FFont.GetColor());
    const bool opaque = FBrush.GetStyle() == bsSolid;
    const std::int64_t textWidth = font.TextWidth(Text);
    const std::int64_t right = std::int64_t{X} + textWidth;
    const std::int64_t bottom = std::int64_t{Y} + font.CellHeight();
    if (opaque && (right <= 0 || bottom <= 0 || X >= W || Y >= H))
        return;

    const std::size_t cellBytes = (fmt == pf8bit ? 1u : 3u) * static_cast<std::size_t>(textWidth) *
                                  static_cast<std::size_t>(font.CellHeight());
    if (opaque && fmt != pf1bit && cellBytes <= MaxCellBytes) {
        // The cell, glyphs and background together, copied row by row.
        const detail::CellImage& cell =
            font.OpaqueCell(Text, fmt, ink, ToPixel(fmt, FBrush.GetColor()));
        const std::int64_t x1 = std::max<std::int64_t>(X, 0);
        const std::int64_t x2 = std::min<std::int64_t>(std::int64_t{X} + cell.Width, W);
        const std::int64_t y1 = std::max<std::int64_t>(Y, 0);
        const std::int64_t y2 = std::min<std::int64_t>(std::int64_t{Y} + cell.Height, H);
        if (x1 >= x2 || y1 >= y2)
            return;
        const std::size_t bpp = fmt == pf8bit ? 1 : 3;
        std::uint8_t* const top = bmp.ScanLine(0);
        for (std::int64_t y = y1; y < y2; ++y)
            CopyRow(top + static_cast<std::size_t>(y) * bmp.FRowBytes + bpp * x1,
                    cell.Pixels.data() + static_cast<std::size_t>(y - Y) * cell.RowBytes +
                        bpp * static_cast<std::size_t>(x1 - X),
                    bpp * static_cast<std::size_t>(x2 - x1));
        return;
    }

    // A clear brush, a monochrome bitmap or a large cell: the background, then the glyphs over
    // it; an opaque string's glyphs stay inside its cell as above.
    std::int64_t clipX1 = 0, clipY1 = 0, clipX2 = W, clipY2 = H;
    if (opaque) {
        FillRect(Rect(X, Y, static_cast<int>(std::min<std::int64_t>(right, INT_MAX)),
                      static_cast<int>(std::min<std::int64_t>(bottom, INT_MAX))));
        clipX1 = std::max<std::int64_t>(clipX1, X);
        clipY1 = std::max<std::int64_t>(clipY1, Y);
        clipX2 = std::min<std::int64_t>(clipX2, right);
        clipY2 = std::min<std::int64_t>(clipY2, bottom);
    }
    std::uint8_t* top = bmp.ScanLine(0);
    std::int64_t pen = X;
    for (const char ch : Text) {
        const detail::Glyph& g = font.GlyphOf(static_cast<unsigned char>(ch));
        detail::BlitGlyph(g, pen, std::int64_t{Y} + font.Ascent, fmt, top, bmp.GetRowBytes(), ink,
                          clipX1, clipY1, clipX2, clipY2);
        pen += g.Advance;
    }
}

void TCanvas::TurnedTextOut(int Degrees, int UnturnedWidth, int UnturnedHeight, int X, int Y,
                            const std::string& Text) {
    detail::SizedFont& font = Sized();
    TBitmap& bmp = *FBitmap;
    const std::int64_t UW = std::max(UnturnedWidth, 0), UH = std::max(UnturnedHeight, 0);
    const bool quarter = Degrees == 90 || Degrees == 270;
    if ((!quarter && Degrees != 180) || bmp.FPixelFormat != pf8bit ||
        bmp.FWidth != (quarter ? UH : UW) || bmp.FHeight != (quarter ? UW : UH))
        throw EInvalidGraphic("TurnedTextOut needs the turned picture in pf8bit");
    if (UW == 0 || UH == 0)
        return;
    const std::uint8_t ink = ToPixel(pf8bit, FFont.GetColor()).b0;
    std::uint8_t* const top = bmp.ScanLine(0);
    const std::size_t stride = bmp.FRowBytes;

    // Inks unturned columns x1..x2-1 of row y where they land in the turned picture.
    auto plot = [&](std::int64_t x1, std::int64_t x2, std::int64_t y) {
        if (Degrees == 180) {
            std::memset(top + static_cast<std::size_t>(UH - 1 - y) * stride + (UW - x2), ink,
                        static_cast<std::size_t>(x2 - x1));
            return;
        }
        for (std::int64_t x = x1; x < x2; ++x) {
            const std::int64_t row = Degrees == 90 ? x : UW - 1 - x;
            const std::int64_t col = Degrees == 90 ? UH - 1 - y : y;
            top[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(col)] = ink;
        }
    };

    std::int64_t clipX1 = 0, clipY1 = 0, clipX2 = UW, clipY2 = UH;
    if (FBrush.GetStyle() == bsSolid) {
        const std::int64_t right =
            std::min<std::int64_t>(std::int64_t{X} + font.TextWidth(Text), INT_MAX);
        const std::int64_t bottom =
            std::min<std::int64_t>(std::int64_t{Y} + font.CellHeight(), INT_MAX);
        clipX1 = std::max<std::int64_t>(clipX1, X);
        clipY1 = std::max<std::int64_t>(clipY1, Y);
        clipX2 = std::min<std::int64_t>(clipX2, right);
        clipY2 = std::min<std::int64_t>(clipY2, bottom);
        if (clipX1 >= clipX2 || clipY1 >= clipY2)
            return;
        // The cell's background, as a rectangle of the turned picture.
        const std::uint8_t back = ToPixel(pf8bit, FBrush.GetColor()).b0;
        std::int64_t tx1, tx2, ty1, ty2;
        if (Degrees == 180) {
            tx1 = UW - clipX2, tx2 = UW - clipX1, ty1 = UH - clipY2, ty2 = UH - clipY1;
        } else if (Degrees == 90) {
            tx1 = UH - clipY2, tx2 = UH - clipY1, ty1 = clipX1, ty2 = clipX2;
        } else {
            tx1 = clipY1, tx2 = clipY2, ty1 = UW - clipX2, ty2 = UW - clipX1;
        }
        for (std::int64_t ty = ty1; ty < ty2; ++ty)
            std::memset(top + static_cast<std::size_t>(ty) * stride + tx1, back,
                        static_cast<std::size_t>(tx2 - tx1));
    }

    std::int64_t pen = X;
    for (const char ch : Text) {
        const detail::Glyph& g = font.GlyphOf(static_cast<unsigned char>(ch));
        detail::ForEachInkSpan(g, pen, std::int64_t{Y} + font.Ascent, clipX1, clipY1, clipX2,
                               clipY2, plot);
        pen += g.Advance;
    }
}

} // namespace vcl
