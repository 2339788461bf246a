// Text form -> binary -> text with any bytes. Once a text is accepted, its conversion is a fixed
// point: converting the text that came back gives that same text again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/classes/Streaming.h"
#include "host/sysutils/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::string first;
    try {
        first = vcl::ObjectBinaryToText(
            vcl::ObjectTextToBinary(std::string(reinterpret_cast<const char*>(Data), Size)));
    } catch (const vcl::Exception&) {
        return 0;
    }
    // What the converters wrote themselves must be read back without complaint.
    const std::string second = vcl::ObjectBinaryToText(vcl::ObjectTextToBinary(first));
    if (second != first)
        __builtin_trap();
    return 0;
}
