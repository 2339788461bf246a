// The BMP loader with any bytes: a bitmap or EInvalidGraphic/EOutOfResources, and a loaded
// bitmap saves and loads back the same.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(Data), Size));
    vcl::TBitmap bmp;
    try {
        bmp.LoadFromStream(in);
    } catch (const vcl::Exception&) {
        return 0;
    }
    std::ostringstream out;
    bmp.SaveToStream(out);
    std::istringstream again(out.str());
    vcl::TBitmap copy;
    copy.LoadFromStream(again);
    if (copy.GetWidth() != bmp.GetWidth() || copy.GetHeight() != bmp.GetHeight() ||
        copy.GetPixelFormat() != bmp.GetPixelFormat())
        __builtin_trap();
    for (int y = 0; y < bmp.GetHeight(); ++y)
        for (int x = 0; x < bmp.GetWidth(); ++x)
            if (copy.PixelColor(x, y) != bmp.PixelColor(x, y))
                __builtin_trap();
    return 0;
}
