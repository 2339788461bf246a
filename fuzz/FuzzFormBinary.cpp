// The binary form reader ("TPF0" streams) with any bytes, every component class registered: a
// component tree or a host exception, nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzRegister.h"
#include "host/classes/Streaming.h"
#include "host/sysutils/SysUtils.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    lumivex::fuzz::RegisterAllClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string binary(reinterpret_cast<const char*>(Data), Size);
    // Anything else is read as text, which has its own target.
    if (!binary.starts_with("TPF0"))
        return 0;
    try {
        vcl::ReadComponentFromString(binary);
    } catch (const vcl::Exception&) {
    }
    return 0;
}
