// The font cache file with any bytes: refused or read, and what is read formats and reads back
// the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/graphics/detail/FontFileCache.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const auto cache = vcl::detail::ParseFontFileCache(text, "stamp");
    if (!cache)
        return 0;
    const std::string again = vcl::detail::FormatFontFileCache(*cache, "stamp");
    const auto back = vcl::detail::ParseFontFileCache(again, "stamp");
    if (!back || back->Entries.size() != cache->Entries.size() || back->Sources != cache->Sources ||
        vcl::detail::FormatFontFileCache(*back, "stamp") != again)
        __builtin_trap();
    return 0;
}
