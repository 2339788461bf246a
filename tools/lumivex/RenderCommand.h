#pragma once
// lumivex render: one barcode into a PNG, BMP, SVG, EPS or PDF file, or PNG onto standard
// output. Also the
// symbol options that every command drawing barcodes shares, defined and checked once here.

#include <string>
#include <string_view>

#include "engine/Symbology.h"
#include "tools/lumivex/Render.h"

namespace CLI {
class App;
}

namespace lumivex::cli {

// How each barcode is drawn: -b, --scale, --height, --notext, --rotate, --dpi, --font.
struct SymbolOptions {
    std::string Barcode;
    int Scale = 1;
    // 0: follows the scale, 50 pixels a module of width (zint's default height, and at scale 1
    // the components' 50 pixels).
    int Height = 0;
    bool NoText = false;
    int Rotate = 0;
    // 0: no resolution chunk.
    int Dpi = 0;
    std::string Font = "Courier New";
    // --fg and --bg as given (tools/lumivex/Colours.h reads them); empty: black, white.
    std::string Fg;
    std::string Bg;
};

// Adds the symbol options to Command, bound to Options, with their ranges checked by CLI11.
void AddSymbolOptions(CLI::App& Command, SymbolOptions& Options);

// The settings the options name, without text; UsageError for an unknown symbology or
// rotation. Says on standard error when the printed text leaves the bars less than half the
// height.
// Data, where there is one, picks among the symbologies a zint name stands for (EANX).
RenderSettings SettingsFor(const SymbolOptions& Options, std::string_view Data = {});

// Data as the symbology's filter leaves it, with a warning on standard error for what it
// dropped or cut; UsageError when nothing is left.
std::string FilterAndReport(const TSymbology& S, const std::string& Data);

struct RenderOptions {
    SymbolOptions Symbol;
    std::string Data;
    // Drop what the symbology cannot carry, as the components do, instead of refusing it.
    bool Filter = false;
    std::string Output = "out.png";
    // The module's physical width, as given ("0.33mm"); empty: --scale pixels at --dpi.
    std::string XDim;
};

// A pixel's width in millimetres in a vector file for --xdim XDim (empty when not given), with
// Symbol's scale set to the nearest whole pixels a module when there is a --dpi, said on
// standard error for a bitmap. UsageError for a length that cannot be read and for a bitmap
// without --dpi.
double ApplyXDim(const std::string& XDim, ImageFormat Format, SymbolOptions& Symbol);

// Adds the subcommand with its options bound to Options and returns it.
CLI::App* AddRenderCommand(CLI::App& App, RenderOptions& Options);

// Raises UsageError for a request that cannot be carried out as given (unknown symbology, image
// format, data the symbology would change, nothing left to encode) and vcl or standard exceptions
// when rendering or writing fails.
void RunRender(const RenderOptions& Options);

} // namespace lumivex::cli
