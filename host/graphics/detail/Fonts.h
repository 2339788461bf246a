#pragma once
// Faces found by fontconfig and glyphs rasterised by FreeType, cached per face, pixel size and
// style, with each glyph's masks per quarter turn.

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
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

// A glyph turned clockwise by a multiple of a quarter turn, as one byte per pixel: 0xFF where it
// has ink, 0 elsewhere, Rows rows of Width bytes. Text is assembled from these rather than from
// the bits, a blend of several bytes at a time instead of a test per pixel. Rows are Pitch
// bytes apart, padded with zeros to a multiple of sixteen, so that a narrow glyph's row is one
// block of sixteen.
struct GlyphMask {
    int Width = 0;
    int Rows = 0;
    int Pitch = 0;
    std::vector<std::uint8_t> Bytes;
};

// The largest mask kept for one glyph and turn; a larger glyph is drawn from its bits.
inline constexpr std::size_t MaxMaskBytes = std::size_t{16} << 10;

// A face at one pixel size, with the cell metrics the framework derives from the face's Windows
// ascent and descent. Canvases on several threads may share one: a glyph and its masks are made
// once, under the font's lock, and never change afterwards, so reading them takes no lock.
class SizedFont {
public:
    SizedFont() = default;
    virtual ~SizedFont();
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;

    int Em = 0; // the pixel size the face is rasterised at
    int Ascent = 0;
    int Descent = 0;
    int CellHeight() const { return Ascent + Descent; }
    // The bytes that the cached glyphs and masks hold.
    std::size_t CacheBytes() const { return FBytes.load(std::memory_order_relaxed); }
    // The glyph of one byte of text, read in the Windows Western code page.
    const Glyph& GlyphOf(unsigned char C);
    // Its mask turned clockwise by Quarter quarter turns (0..3); null for a glyph too large to
    // keep one (draw it from its bits) or without ink.
    const GlyphMask* MaskOf(unsigned char C, int Quarter);

    int TextWidth(const std::string& Text);

protected:
    // Rasterises the glyph of C; called under the font's lock, once per byte.
    virtual Glyph Load(unsigned char C) = 0;

private:
    struct Entry {
        Glyph glyph;
        mutable std::array<std::atomic<const GlyphMask*>, 4> masks{};
    };
    const Entry& EntryOf(unsigned char C);

    std::mutex FLock;
    std::array<std::atomic<const Entry*>, 256> FEntries{};
    std::atomic<std::size_t> FBytes{0};
};

// The face and size that Font asks for; a family that is not installed falls back to
// fontconfig's best match. Never fails: without any usable font the glyphs are empty.
std::shared_ptr<SizedFont> ResolveFont(const TFont& Font);
// The bytes that the cached sizes hold now, glyphs and masks.
std::size_t FontCacheBytes();
// The file and face index that Font resolves to (an empty name when there is none), for a
// device that opens the face itself: the vector files' text is set in the very face the
// bitmaps' is.
std::pair<std::string, int> FontFileOf(const TFont& Font);
// The character that one byte of text stands for in the Windows Western code page.
std::uint32_t CodePointOf(unsigned char C);

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
// The glyphs and masks that the cached sizes may hold together before the cache starts afresh.
// One size adds at most its 256 glyphs at MaxFontPixels (some tens of MiB) and four masks of
// MaxMaskBytes per glyph beyond it.
inline constexpr std::size_t MaxFontCacheBytes = std::size_t{32} << 20;

} // namespace vcl::detail
