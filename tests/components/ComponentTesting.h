#pragma once
// What the component tests share: a barcode rendered the way the components prepare their
// bitmaps, and pixel comparisons that ignore the pixel format.

#include <memory>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "host/classes/Classes.h"
#include "host/graphics/Graphics.h"

namespace lumivex::testing {

struct Settings {
    TBarCodeType Type = bcCode128;
    int Scale = 1;
    int Height = 50;
    std::string Text;
    bool Interpret = true;
    TbcRotate Rotate = bcNoRotate;
    std::string FontName = "Courier New";
};

// A fresh bitmap with a white solid brush, monochrome then 8-bit, the font named, its height set
// to the bar height, then rendered by CreateBC.
std::unique_ptr<vcl::TBitmap> Reference(const Settings& S);

// Empty when both have the same size and colours, else where they first differ.
std::string PixelDifference(const vcl::TBitmap& Got, const vcl::TBitmap& Want);

// Sets every pixel to one colour, so that a later render shows whether it ran.
void Scribble(vcl::TBitmap& B, vcl::TColor Color);

// The names of a class's published properties, inherited first.
std::vector<std::string> PropertyNames(const vcl::TClassInfo& Info);

} // namespace lumivex::testing
