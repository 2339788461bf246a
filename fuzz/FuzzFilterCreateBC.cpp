// The components' road: the text filtered for the symbology, then drawn by CreateBC with any
// scale, height, text flag and rotation.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzRender.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    lumivex::fuzz::LoadFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    lumivex::fuzz::Render(Data, Size, /*Filter*/ true);
    return 0;
}
