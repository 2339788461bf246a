// The text form reader with any bytes, every component class registered: a component tree or a
// host exception (a malformed file, a bitmap past the bound), nothing else.
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
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    // The binary signature leads to the other reader, which has its own target.
    if (text.starts_with("TPF0"))
        return 0;
    try {
        vcl::ReadComponentFromString(text);
    } catch (const vcl::Exception&) {
    }
    return 0;
}
