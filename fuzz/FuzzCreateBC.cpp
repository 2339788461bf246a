// CreateBC with any symbology byte, any text bytes, any scale and height, either text flag and
// any rotation byte: a picture or a host exception, nothing else.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/Barcode.h"
#include "fuzz/FuzzInput.h"
#include "host/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    lumivex::fuzz::Input in(Data, Size);
    const auto type = static_cast<lumivex::TBarCodeType>(in.Byte());
    const int scale = in.Int();
    const int height = in.Int();
    const bool interpret = in.Byte() & 1;
    const auto rotate = static_cast<lumivex::TbcRotate>(in.Byte());
    const bool filtered = in.Byte() & 1;
    std::string text = in.Rest();
    // The components' road: the text filtered for the symbology first.
    if (filtered)
        text = lumivex::FilterBCText(type, text);
    vcl::TBitmap bmp;
    try {
        bmp.SetMonochrome(true);
        bmp.SetPixelFormat(vcl::pf8bit);
        bmp.GetCanvas().GetFont().SetName("Courier New");
        bmp.SetHeight(height);
        lumivex::CreateBC(bmp, type, scale, height, text, interpret, rotate);
    } catch (const vcl::Exception&) {
        // Sizes past the bitmap bound and the 2-digit add-on's conversion error.
    }
    return 0;
}
