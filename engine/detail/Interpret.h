#pragma once
// Where PrintInterpret puts the strings of the human-readable text, apart from drawing them, so
// that a turned picture can draw them turned.

#include <string>
#include <vector>

#include "engine/Barcode.h"

namespace lumivex::detail {

// One string and the top-left corner of its cell, as TextOut takes them.
struct TextItem {
    int X;
    int Y;
    std::string Text;
};

// Sets Canvas's font and brush as PrintInterpret does and returns its strings in drawing order.
// The reference holds until the next call.
const std::vector<TextItem>& InterpretLayout(vcl::TCanvas& Canvas, TBarCodeType BarcodeType,
                                             int Scale, int Height, int Width,
                                             const std::string& Text);

} // namespace lumivex::detail
