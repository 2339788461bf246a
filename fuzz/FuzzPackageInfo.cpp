// The package-information reader with any bytes: as a library image (libelf finds the section,
// the decoder reads it) or, for input that starts with the information's signature, as the
// section's bytes alone. Information or EPackageError, nothing else.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/sysutils/Packages.h"
#include "host/sysutils/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    try {
        const vcl::TPackageInfo info = bytes.starts_with("LXPK")
                                           ? vcl::DecodePackageInfo(bytes)
                                           : vcl::GetPackageInfoFromImage(bytes, "input");
        // What was read writes back to what was read.
        if (bytes.starts_with("LXPK") && vcl::EncodePackageInfo(info) != bytes)
            __builtin_trap();
    } catch (const vcl::EPackageError&) {
    }
    return 0;
}
