// Row conversion between pixel formats.
#include "host/graphics/Pixels.h"

#include <cstring>

namespace vcl {

void ConvertRow(TPixelFormat From, const std::uint8_t* Src, TPixelFormat To, std::uint8_t* Dst,
                int Width) {
    if (From == To) {
        std::memcpy(Dst, Src,
                    From == pf1bit   ? (static_cast<std::size_t>(Width) + 7) / 8
                    : From == pf8bit ? static_cast<std::size_t>(Width)
                                     : 3 * static_cast<std::size_t>(Width));
        return;
    }
    if (To == pf8bit && From == pf1bit) {
        for (int x = 0; x < Width; ++x)
            Dst[x] = (Src[x >> 3] & (0x80 >> (x & 7))) ? palette::WhiteIndex : palette::BlackIndex;
        return;
    }
    // Colour by colour, remembering the last conversion: images here hold few colours.
    TColor last = -1;
    PixelValue lastValue{};
    for (int x = 0; x < Width; ++x) {
        const TColor c = PixelColorAt(From, Src, x);
        if (c != last) {
            last = c;
            lastValue = ToPixel(To, c);
        }
        SetPixelValue(To, Dst, x, lastValue);
    }
}

} // namespace vcl
