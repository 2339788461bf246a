// The font cache file with any bytes: refused or read, and what is read formats and reads back
// the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/graphics/detail/FontFileCache.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const auto entries = vcl::detail::ParseFontFileCache(text, "stamp");
    if (!entries)
        return 0;
    const std::string again = vcl::detail::FormatFontFileCache(*entries, "stamp");
    const auto back = vcl::detail::ParseFontFileCache(again, "stamp");
    if (!back || back->size() != entries->size() ||
        vcl::detail::FormatFontFileCache(*back, "stamp") != again)
        __builtin_trap();
    return 0;
}
