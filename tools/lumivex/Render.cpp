// Bitmap preparation, rendering and image encoding shared by the render and samples commands.

#include "tools/lumivex/Render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>

#include "components/BarcodeTypes.h"
#include "tools/lumivex/Colours.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

void RenderBarcode(vcl::TBitmap& Bitmap, const RenderSettings& Settings) {
    // The same preparation as the bitmap component's, so the tool draws what an application
    // using the component would get for the same settings.
    PrepareBarcodeBitmap(Bitmap);
    Bitmap.GetCanvas().GetFont().SetName(Settings.FontName);
    Bitmap.SetHeight(Settings.Height);
    CreateBC(Bitmap, Settings.Type, Settings.Scale, Settings.Height, Settings.Text,
             Settings.Interpret, Settings.Rotate);
}

ImageFormat ImageFormatFor(const std::string& Output) {
    if (Output == "-")
        return ImageFormat::Png;
    std::string Lower = Output;
    std::transform(Lower.begin(), Lower.end(), Lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    if (Lower.ends_with(".png"))
        return ImageFormat::Png;
    if (Lower.ends_with(".bmp"))
        return ImageFormat::Bmp;
    if (Lower.ends_with(".svg"))
        return ImageFormat::Svg;
    if (Lower.ends_with(".eps"))
        return ImageFormat::Eps;
    if (Lower.ends_with(".pdf"))
        return ImageFormat::Pdf;
    throw UsageError("cannot tell the image format of \"" + Output +
                     "\": the output name must end in .png, .bmp, .svg, .eps or .pdf, or be - "
                     "for PNG on standard output");
}

std::string EncodeImage(const vcl::TBitmap& Bitmap, ImageFormat Format, int Dpi,
                        const vcl::TInkColours& Colours) {
    std::ostringstream Stream(std::ios::out | std::ios::binary);
    if (Format == ImageFormat::Png) {
        vcl::SaveBitmapToPng(Bitmap, Stream, Dpi, Colours);
        return std::move(Stream).str();
    }
    Bitmap.SaveToStream(Stream);
    std::string Bytes = std::move(Stream).str();
    InkBitmapFile(Bytes, Colours);
    if (Dpi > 0) {
        // The info header's resolution fields, pixels per metre, after the 14-byte file header.
        const auto PerMetre = static_cast<std::uint32_t>(std::lround(Dpi / 0.0254));
        for (const std::size_t At : {std::size_t{14 + 24}, std::size_t{14 + 28}})
            for (int i = 0; i < 4; ++i)
                Bytes[At + i] = static_cast<char>((PerMetre >> (8 * i)) & 0xFF);
    }
    return Bytes;
}

TbcRotate RotationFromDegrees(int Degrees) {
    switch (Degrees) {
    case 0:
        return bcNoRotate;
    case 90:
        return bcRotate90;
    case 180:
        return bcRotate180;
    case 270:
        return bcRotate270;
    default:
        throw UsageError("cannot rotate by " + std::to_string(Degrees) +
                         " degrees: use 0, 90, 180 or 270");
    }
}

} // namespace lumivex::cli
