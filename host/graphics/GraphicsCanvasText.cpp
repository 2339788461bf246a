// Text on a canvas, turned or not: the cell, then each glyph's cached mask for the turn.
#include <algorithm>
#include <climits>
#include <cstring>

#include "host/graphics/Graphics.h"
#include "host/graphics/Pixels.h"
#include "host/graphics/detail/Fonts.h"
#include "host/sysutils/SysUtils.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A rectangle of pixels: columns x1..x2-1 of rows y1..y2-1.
struct Box {
    std::int64_t x1, y1, x2, y2;
};

// Where rectangle R of a picture of UW x UH pixels lies once the picture is turned clockwise by
// Quarter quarter turns, as the engine turns one.
Box Turned(const Box& R, int Quarter, std::int64_t UW, std::int64_t UH) {
    switch (Quarter) {
    case 1:
        return {UH - R.y2, R.x1, UH - R.y1, R.x2};
    case 2:
        return {UW - R.x2, UH - R.y2, UW - R.x1, UH - R.y1};
    case 3:
        return {R.y1, UW - R.x2, R.y2, UW - R.x1};
    default:
        return R;
    }
}

struct Sixteen {
    std::uint64_t a, b;
};

// Ink where the mask's bytes are 0xFF, the destination's bytes elsewhere.
std::uint32_t Blend(std::uint32_t D, std::uint32_t M, std::uint8_t Ink) {
    return (D & ~M) | (0x01010101u * Ink & M);
}
std::uint64_t Blend(std::uint64_t D, std::uint64_t M, std::uint8_t Ink) {
    return (D & ~M) | (0x0101010101010101u * Ink & M);
}
Sixteen Blend(Sixteen D, Sixteen M, std::uint8_t Ink) {
    return {Blend(D.a, M.a, Ink), Blend(D.b, M.b, Ink)};
}

// Blends the N bytes of Dest with Ink where Mask is 0xFF. A glyph's row is often a few bytes
// wide, where a loop costs more than the blend: up to 32 bytes are done as two blocks of one
// size that may overlap, both read before either is written, so that the second read never
// waits for the first write (a glyph's box rarely overlaps its neighbour's, whose rows come next).
void BlendRow(std::uint8_t* Dest, const std::uint8_t* Mask, std::size_t N, std::uint8_t Ink) {
    auto twice = [&](auto Block) {
        using T = decltype(Block);
        constexpr std::size_t size = sizeof(T);
        T d0, d1, m0, m1;
        std::memcpy(&d0, Dest, size);
        std::memcpy(&d1, Dest + N - size, size);
        std::memcpy(&m0, Mask, size);
        std::memcpy(&m1, Mask + N - size, size);
        d0 = Blend(d0, m0, Ink);
        d1 = Blend(d1, m1, Ink);
        std::memcpy(Dest, &d0, size);
        std::memcpy(Dest + N - size, &d1, size);
    };
    if (N >= 16 && N <= 32) {
        twice(Sixteen{});
    } else if (N >= 8 && N < 16) {
        twice(std::uint64_t{});
    } else if (N >= 4 && N < 8) {
        twice(std::uint32_t{});
    } else {
        for (std::size_t i = 0; i < N; ++i)
            Dest[i] = static_cast<std::uint8_t>((Dest[i] & ~Mask[i]) | (Ink & Mask[i]));
    }
}

// Sets Ink wherever mask M, its top-left corner at (X, Y), has ink inside Clip, in pixels that
// end at End.
void BlendMask(const detail::GlyphMask& M, std::int64_t X, std::int64_t Y, const Box& Clip,
               std::uint8_t* Top, const std::uint8_t* End, std::size_t Stride, bool Wide,
               PixelValue Ink) {
    const std::int64_t x1 = std::max(X, Clip.x1), x2 = std::min(X + M.Width, Clip.x2);
    const std::int64_t y1 = std::max(Y, Clip.y1), y2 = std::min(Y + M.Rows, Clip.y2);
    if (x1 >= x2 || y1 >= y2)
        return;
#if defined(__SSE2__)
    // A narrow glyph whose columns all show is one block of sixteen per row: the block's bytes
    // past the glyph are mask padding, which leaves those pixels as they are.
    if (!Wide && M.Pitch == 16 && x1 == X && x2 == X + M.Width &&
        Top + static_cast<std::size_t>(y2 - 1) * Stride + static_cast<std::size_t>(x1) + 16 <=
            End) {
        const __m128i ink = _mm_set1_epi8(static_cast<char>(Ink.b0));
        const std::uint8_t* m = M.Bytes.data() + static_cast<std::size_t>(y1 - Y) * 16;
        std::uint8_t* d =
            Top + static_cast<std::size_t>(y1) * Stride + static_cast<std::size_t>(x1);
        for (std::int64_t y = y1; y < y2; ++y, m += 16, d += Stride) {
            const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                             _mm_or_si128(_mm_andnot_si128(mv, dv), _mm_and_si128(mv, ink)));
        }
        return;
    }
#endif
    const auto n = static_cast<std::size_t>(x2 - x1);
    for (std::int64_t y = y1; y < y2; ++y) {
        const std::uint8_t* m =
            M.Bytes.data() + static_cast<std::size_t>(y - Y) * static_cast<std::size_t>(M.Pitch) +
            static_cast<std::size_t>(x1 - X);
        std::uint8_t* d = Top + static_cast<std::size_t>(y) * Stride +
                          (Wide ? 3u : 1u) * static_cast<std::size_t>(x1);
        if (!Wide) {
            BlendRow(d, m, n, Ink.b0);
            continue;
        }
        for (std::size_t i = 0; i < n; ++i)
            if (m[i]) {
                d[3 * i] = Ink.b0;
                d[3 * i + 1] = Ink.b1;
                d[3 * i + 2] = Ink.b2;
            }
    }
}

// Draws the glyphs of Text, the first one's origin at (X, Baseline) of a picture of UW x UH
// pixels turned by Quarter quarter turns into Top's pixels, only inside Clip (unturned). Each
// glyph comes from its cached mask for that turn; a monochrome bitmap, or a glyph too large to
// keep a mask of, goes through Span(X1, X2, Y) for every run of ink, in unturned coordinates.
template <typename SpanFn>
void DrawGlyphs(detail::SizedFont& Font, const std::string& Text, std::int64_t X,
                std::int64_t Baseline, int Quarter, std::int64_t UW, std::int64_t UH,
                const Box& Clip, TPixelFormat Format, std::uint8_t* Top, std::size_t Stride,
                std::size_t Rows, PixelValue Ink, SpanFn&& Span) {
    if (Clip.x1 >= Clip.x2 || Clip.y1 >= Clip.y2)
        return;
    const Box clip = Turned(Clip, Quarter, UW, UH);
    const bool masks = Format == pf8bit || Format == pf24bit;
    const std::uint8_t* const end = Top + Stride * Rows;
    // Every other glyph, then the rest: a glyph's blocks may reach into its neighbour's pixels,
    // and reading those right after they were written would wait for the write. Ink is ink, so
    // the order does not change the picture.
    for (std::size_t parity = 0; parity < 2; ++parity) {
        std::int64_t pen = X;
        for (std::size_t k = 0; k < Text.size(); ++k) {
            const auto c = static_cast<unsigned char>(Text[k]);
            const detail::Glyph& g = Font.GlyphOf(c);
            const std::int64_t gx = pen + g.Left, gy = Baseline - g.Top;
            pen += g.Advance;
            if ((k & 1) != parity || gx >= Clip.x2 || gx + g.Width <= Clip.x1 || gy >= Clip.y2 ||
                gy + g.Rows <= Clip.y1)
                continue;
            const detail::GlyphMask* m = masks ? Font.MaskOf(c, Quarter) : nullptr;
            if (!m) {
                detail::ForEachInkSpan(g, gx - g.Left, Baseline, Clip.x1, Clip.y1, Clip.x2, Clip.y2,
                                       Span);
                continue;
            }
            const Box at = Turned({gx, gy, gx + g.Width, gy + g.Rows}, Quarter, UW, UH);
            BlendMask(*m, at.x1, at.y1, clip, Top, end, Stride, Format == pf24bit, Ink);
        }
    }
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
    Box clip{0, 0, W, H};
    if (FBrush.GetStyle() == bsSolid) {
        // The cell in the brush colour, then the glyphs over it, cut to it.
        const std::int64_t right = std::int64_t{X} + font.TextWidth(Text);
        const std::int64_t bottom = std::int64_t{Y} + font.CellHeight();
        if (right <= 0 || bottom <= 0 || X >= W || Y >= H)
            return;
        FillRect(Rect(X, Y, static_cast<int>(std::min<std::int64_t>(right, INT_MAX)),
                      static_cast<int>(std::min<std::int64_t>(bottom, INT_MAX))));
        clip = {std::max<std::int64_t>(X, 0), std::max<std::int64_t>(Y, 0),
                std::min<std::int64_t>(right, W), std::min<std::int64_t>(bottom, H)};
    }
    std::uint8_t* const top = bmp.ScanLine(0);
    const std::size_t stride = bmp.FRowBytes;
    DrawGlyphs(font, Text, X, std::int64_t{Y} + font.Ascent, 0, W, H, clip, fmt, top, stride,
               static_cast<std::size_t>(H), ink,
               [&](std::int64_t X1, std::int64_t X2, std::int64_t Row) {
                   FillSpan(fmt, top + static_cast<std::size_t>(Row) * stride, static_cast<int>(X1),
                            static_cast<int>(X2), ink);
               });
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
            FillBytes(top + static_cast<std::size_t>(ty) * stride + tx1, back,
                      static_cast<std::size_t>(tx2 - tx1));
    }

    DrawGlyphs(font, Text, X, std::int64_t{Y} + font.Ascent, Degrees / 90, UW, UH,
               {clipX1, clipY1, clipX2, clipY2}, pf8bit, top, stride,
               static_cast<std::size_t>(bmp.FHeight), {ink}, plot);
}

} // namespace vcl
