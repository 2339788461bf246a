// The barcode as a vector file: the bitmap's picture recorded and replayed at a physical size.

#include <sstream>

#include "engine/Barcode.h"
#include "host/graphics/Metafile.h"
#include "tools/lumivex/Render.h"

namespace lumivex::cli {

std::string RenderVector(const RenderSettings& Settings, ImageFormat Format,
                         double PixelMillimetres) {
    // The same font and height as the bitmap that RenderBarcode prepares, so that the text
    // takes the same places.
    vcl::TMetafile Metafile;
    vcl::TMetafileCanvas Canvas(Metafile);
    Canvas.GetFont().SetName(Settings.FontName);
    Metafile.SetHeight(Settings.Height);
    CreateBC(Canvas, Settings.Type, Settings.Scale, Settings.Height, Settings.Text,
             Settings.Interpret, Settings.Rotate);
    const vcl::TVectorFormat Vector = Format == ImageFormat::Svg   ? vcl::TVectorFormat::Svg
                                      : Format == ImageFormat::Eps ? vcl::TVectorFormat::Eps
                                                                   : vcl::TVectorFormat::Pdf;
    std::ostringstream Stream(std::ios::out | std::ios::binary);
    vcl::SaveMetafileToVector(Metafile, Vector, PixelMillimetres, Stream);
    return std::move(Stream).str();
}

} // namespace lumivex::cli
