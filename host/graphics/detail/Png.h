#pragma once
// The pieces of PNG output that tests and benchmarks reach beside SaveBitmapToPng.

#include <cstdint>
#include <iosfwd>

#include "host/graphics/Graphics.h"

namespace vcl::detail {

// Packs Width pf8bit palette indices into (Width + 7) / 8 bytes of 1-bit grey, most significant
// bit first, 1 = white, the bits past the last pixel 0; false as soon as an index is neither
// black nor white (Dst then holds anything).
bool PackBlackWhiteRow(const std::uint8_t* Src, int Width, std::uint8_t* Dst);

// The former writer: libpng fed row by row, zlib at its default level. SaveBitmapToPng hands it
// true-colour bitmaps; benchmarks and size checks compare the one-call writer with it.
void SaveBitmapToPngRowByRow(const TBitmap& Bitmap, std::ostream& Stream, int Dpi);

} // namespace vcl::detail
