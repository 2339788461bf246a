#pragma once
// One CreateBC call read from fuzzer bytes: symbology byte, scale and height (four bytes each,
// little-endian), text flag, rotation byte, then the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Barcode.h"
#include "fuzz/FuzzInput.h"
#include "host/sysutils/SysUtils.h"

namespace lumivex::fuzz {

// Loads fontconfig's configuration and a face before the first input, so that no input is
// charged with what every process pays once.
inline void LoadFonts() {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf8bit);
    bmp.GetCanvas().GetFont().SetName("Courier New");
    bmp.SetHeight(20);
    CreateBC(bmp, bcCode39, 1, 20, "A", true, bcNoRotate);
}

inline void Render(const std::uint8_t* Data, std::size_t Size, bool Filter) {
    Input in(Data, Size);
    const auto type = static_cast<TBarCodeType>(in.Byte());
    const int scale = in.Int();
    const int height = in.Int();
    const bool interpret = in.Byte() & 1;
    const auto rotate = static_cast<TbcRotate>(in.Byte());
    std::string text = in.Rest();
    if (Filter)
        text = FilterBCText(type, text);
    vcl::TBitmap bmp;
    try {
        bmp.SetMonochrome(true);
        bmp.SetPixelFormat(vcl::pf8bit);
        bmp.GetCanvas().GetFont().SetName("Courier New");
        bmp.SetHeight(height);
        CreateBC(bmp, type, scale, height, text, interpret, rotate);
    } catch (const vcl::EOutOfResources&) {
        // Sizes past the bitmap bound.
    } catch (const vcl::EConvertError&) {
        // The 2-digit add-on's number conversion.
    }
}

} // namespace lumivex::fuzz
