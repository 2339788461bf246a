// CreateBC with any symbology byte, any text bytes, any scale and height, either text flag and
// any rotation byte: a picture or a host exception, nothing else.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzRender.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    lumivex::fuzz::LoadFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    lumivex::fuzz::Render(Data, Size, /*Filter*/ false);
    return 0;
}
