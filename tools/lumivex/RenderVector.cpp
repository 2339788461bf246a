// The barcode as a vector file, the bitmap's picture recorded and replayed at a physical size,
// and the module length (--xdim) that sizes it.

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "engine/Barcode.h"
#include "host/graphics/Metafile.h"
#include "tools/lumivex/Length.h"
#include "tools/lumivex/Modules.h"
#include "tools/lumivex/Render.h"
#include "tools/lumivex/RenderCommand.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

void RecordBarcode(vcl::TMetafile& Metafile, const RenderSettings& Settings) {
    // The same font and height as the bitmap that RenderBarcode prepares, so that the text
    // takes the same places.
    vcl::TMetafileCanvas Canvas(Metafile);
    Canvas.GetFont().SetName(Settings.FontName);
    Metafile.SetHeight(Settings.Height);
    CreateBC(Canvas, Settings.Type, Settings.Scale, Settings.Height, Settings.Text,
             Settings.Interpret, Settings.Rotate);
}

std::string SaveVector(const vcl::TMetafile& Metafile, ImageFormat Format, double PixelMillimetres,
                       const vcl::TInkColours& Colours) {
    const vcl::TVectorFormat Vector = Format == ImageFormat::Svg   ? vcl::TVectorFormat::Svg
                                      : Format == ImageFormat::Eps ? vcl::TVectorFormat::Eps
                                                                   : vcl::TVectorFormat::Pdf;
    std::ostringstream Stream(std::ios::out | std::ios::binary);
    LoadVectorWriter()(Metafile, Vector, PixelMillimetres, Stream, Colours);
    return std::move(Stream).str();
}

std::string RenderVector(const RenderSettings& Settings, ImageFormat Format,
                         double PixelMillimetres, const vcl::TInkColours& Colours) {
    vcl::TMetafile Metafile;
    RecordBarcode(Metafile, Settings);
    return SaveVector(Metafile, Format, PixelMillimetres, Colours);
}

double ApplyXDim(const std::string& XDim, ImageFormat Format, SymbolOptions& Symbol) {
    const int Dpi = Symbol.Dpi;
    // Without --xdim a pixel is one at --dpi, or at 96 per inch, as a screen shows the bitmap.
    if (XDim.empty())
        return 25.4 / (Dpi > 0 ? Dpi : vcl::TFont::PixelsPerInch);
    const double Mm = ParseLength(XDim, "--xdim");
    if (Dpi > 0)
        Symbol.Scale = std::max(1, static_cast<int>(std::lround(Mm / 25.4 * Dpi)));
    else if (!IsVector(Format))
        throw UsageError("--xdim needs --dpi for a PNG or BMP file, to count its pixels");
    if (!IsVector(Format))
        std::cerr << "lumivex: --xdim " << XDim << " at " << Dpi << " dpi: " << Symbol.Scale
                  << (Symbol.Scale == 1 ? " pixel" : " pixels") << " a module, an X-dimension of "
                  << DescribeLength(Symbol.Scale * 25.4 / Dpi) << '\n';
    return Mm / Symbol.Scale;
}

} // namespace lumivex::cli
