#pragma once
// Rendering a barcode the way the bitmap component does, and encoding the bitmap as an image.

#include <string>

#include "engine/Barcode.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/Metafile.h"

namespace lumivex::cli {

struct RenderSettings {
    TBarCodeType Type = bcCode128;
    // Already filtered for Type.
    std::string Text;
    int Scale = 1;
    int Height = 50;
    bool Interpret = true;
    TbcRotate Rotate = bcNoRotate;
    std::string FontName = "Courier New";
};

void RenderBarcode(vcl::TBitmap& Bitmap, const RenderSettings& Settings);

enum class ImageFormat { Png, Bmp, Svg, Eps, Pdf };

constexpr bool IsVector(ImageFormat Format) {
    return Format == ImageFormat::Svg || Format == ImageFormat::Eps || Format == ImageFormat::Pdf;
}

// PNG for "-" (standard output) and names ending in .png, BMP for .bmp, SVG, EPS and PDF for
// .svg, .eps and .pdf, in any case; anything else raises UsageError.
ImageFormat ImageFormatFor(const std::string& Output);

// What RenderBarcode would paint, recorded as fills and strings.
void RecordBarcode(vcl::TMetafile& Metafile, const RenderSettings& Settings);

// The vector file (Format: Svg, Eps or Pdf) of Metafile, each unit PixelMillimetres wide and
// high, black and white drawn in Colours.
std::string SaveVector(const vcl::TMetafile& Metafile, ImageFormat Format, double PixelMillimetres,
                       const vcl::TInkColours& Colours = {});

// The vector file (Format: Svg, Eps or Pdf) of the picture RenderBarcode would paint, each of
// its pixels PixelMillimetres wide and high, on a page of exactly that size, black and white
// drawn in Colours.
std::string RenderVector(const RenderSettings& Settings, ImageFormat Format,
                         double PixelMillimetres, const vcl::TInkColours& Colours = {});

// The file's bytes. Dpi > 0 goes into the PNG's resolution chunk or the BMP's header; black and
// white are written in Colours.
std::string EncodeImage(const vcl::TBitmap& Bitmap, ImageFormat Format, int Dpi,
                        const vcl::TInkColours& Colours = {});

// 0, 90, 180 or 270 degrees clockwise; anything else raises UsageError.
TbcRotate RotationFromDegrees(int Degrees);

} // namespace lumivex::cli
