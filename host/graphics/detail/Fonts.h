#pragma once
// Faces found by fontconfig and glyphs rasterised by FreeType, cached per face and pixel size.

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"
#include "host/graphics/Pixels.h"

namespace vcl::detail {

// One glyph as a one-bit image, rows of Pitch bytes, most significant bit first.
struct Glyph {
    int Advance = 0; // pixels to the next glyph's origin
    int Left = 0;    // from the origin to the image's left column
    int Top = 0;     // from the baseline up to the image's top row
    int Width = 0;
    int Rows = 0;
    int Pitch = 0;
    std::vector<std::uint8_t> Bits;
};

// A string's cell drawn opaque, ready to be copied row by row: Height rows of Width pixels.
struct CellImage {
    int Width = 0;
    int Height = 0;
    std::size_t RowBytes = 0;
    std::vector<std::uint8_t> Pixels;
};

// A face at one pixel size, with the cell metrics the framework derives from the face's Windows
// ascent and descent. Like the rest of the framework it is used from one thread: ResolveFont
// gives each thread its own.
class SizedFont {
public:
    virtual ~SizedFont() = default;
    int Ascent = 0;
    int Descent = 0;
    int CellHeight() const { return Ascent + Descent; }
    // The bytes that the cached glyphs and cells hold; read by the resolver from other threads.
    std::atomic<std::size_t> CacheBytes = 0;
    // The glyph of one byte of text, read in the Windows Western code page.
    virtual const Glyph& GlyphOf(unsigned char C) = 0;

    int TextWidth(const std::string& Text);
    // Text's cell in Format (pf8bit or pf24bit): Back everywhere, the glyphs in Ink, cut to
    // the cell. The last few strings are kept, so a render that prints the same text again costs
    // a copy. The reference holds until the next call.
    const CellImage& OpaqueCell(const std::string& Text, TPixelFormat Format, PixelValue Ink,
                                PixelValue Back);

private:
    struct CachedCell {
        std::string text;
        TPixelFormat format;
        PixelValue ink, back;
        std::uint64_t lastUse;
        CellImage image;
    };
    std::vector<CachedCell> FCells;
    std::uint64_t FClock = 0;
    // Each byte's advance once its glyph is known (kUnknown before): widths are asked for far
    // more often than glyphs are drawn.
    static constexpr int kUnknown = INT_MIN;
    std::array<int, 256> FAdvances = MakeUnknown();
    static std::array<int, 256> MakeUnknown() {
        std::array<int, 256> a;
        a.fill(kUnknown);
        return a;
    }
    CellImage FScratch;
};

// The face and size that Font asks for; a family that is not installed falls back to
// fontconfig's best match. Never fails: without any usable font the glyphs are empty.
std::shared_ptr<SizedFont> ResolveFont(const TFont& Font);

// Calls Span(X1, X2, Y) for every run of ink of glyph G, with its origin at (OriginX, Baseline),
// that lies in columns [ClipX1, ClipX2) and rows [ClipY1, ClipY2): columns X1..X2-1 of row Y.
template <typename SpanFn>
void ForEachInkSpan(const Glyph& G, std::int64_t OriginX, std::int64_t Baseline,
                    std::int64_t ClipX1, std::int64_t ClipY1, std::int64_t ClipX2,
                    std::int64_t ClipY2, SpanFn&& Span) {
    const std::int64_t gx = OriginX + G.Left, gy = Baseline - G.Top;
    if (gx >= ClipX2 || gx + G.Width <= ClipX1 || gy >= ClipY2 || gy + G.Rows <= ClipY1)
        return;
    auto ink = [](const std::uint8_t* Bits, int C) { return Bits[C >> 3] & (0x80 >> (C & 7)); };
    for (int r = 0; r < G.Rows; ++r) {
        const std::int64_t y = gy + r;
        if (y < ClipY1 || y >= ClipY2)
            continue;
        const std::uint8_t* bits = G.Bits.data() + static_cast<std::size_t>(r) * G.Pitch;
        int c = 0;
        while (c < G.Width) {
            if (!ink(bits, c)) {
                ++c;
                continue;
            }
            int e = c + 1;
            while (e < G.Width && ink(bits, e))
                ++e;
            const std::int64_t x1 = std::max(gx + c, ClipX1), x2 = std::min(gx + e, ClipX2);
            if (x1 < x2)
                Span(x1, x2, y);
            c = e;
        }
    }
}

// Draws Glyph G with its origin at (OriginX, Baseline) into Row-addressed pixels of format Format,
// setting Ink where the glyph has ink, only inside columns [ClipX1, ClipX2) and rows
// [ClipY1, ClipY2).
void BlitGlyph(const Glyph& G, std::int64_t OriginX, std::int64_t Baseline, TPixelFormat Format,
               std::uint8_t* Top, std::size_t RowBytes, PixelValue Ink, std::int64_t ClipX1,
               std::int64_t ClipY1, std::int64_t ClipX2, std::int64_t ClipY2);

// The largest em that text is rasterised at, in pixels; larger fonts are drawn at this size.
inline constexpr int MaxFontPixels = 1024;
// The glyphs and cells that the cached sizes may hold together before the cache starts afresh.
// One size adds at most its 256 glyphs at MaxFontPixels (some tens of MiB) beyond it.
inline constexpr std::size_t MaxFontCacheBytes = std::size_t{32} << 20;

} // namespace vcl::detail
