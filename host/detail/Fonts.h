#pragma once
// Faces found by fontconfig and glyphs rasterised by FreeType, cached per face and pixel size.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/Graphics.h"

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

// A face at one pixel size, with the cell metrics the framework derives from the face's Windows
// ascent and descent.
class SizedFont {
public:
    virtual ~SizedFont() = default;
    int Ascent = 0;
    int Descent = 0;
    int CellHeight() const { return Ascent + Descent; }
    // The bytes that the glyphs loaded so far hold.
    std::size_t GlyphBytes = 0;
    // The glyph of one byte of text, read in the Windows Western code page.
    virtual const Glyph& GlyphOf(unsigned char C) = 0;
};

// The face and size that Font asks for; a family that is not installed falls back to
// fontconfig's best match. Never fails: without any usable font the glyphs are empty.
SizedFont& ResolveFont(const TFont& Font);

// The largest em that text is rasterised at, in pixels; larger fonts are drawn at this size.
inline constexpr int MaxFontPixels = 1024;

} // namespace vcl::detail
