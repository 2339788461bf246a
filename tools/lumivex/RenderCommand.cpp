// lumivex render: options, data filtering with a report of what was lost, rendering, writing.

#include "tools/lumivex/RenderCommand.h"

#include <iostream>

#include <CLI/CLI.hpp>

#include "engine/Barcode.h"
#include "host/sysutils/AtomicFile.h"
#include "tools/lumivex/AddOn.h"
#include "tools/lumivex/Colours.h"
#include "tools/lumivex/DataCheck.h"
#include "tools/lumivex/OutputFile.h"
#include "tools/lumivex/Render.h"
#include "tools/lumivex/Symbologies.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

// The engine's filter decides; we only explain its result. A byte it drops on its own was
// refused by the character class; if the bytes it keeps one at a time outnumber what it returns
// for the whole text, the rest was cut at the maximum length.
std::string FilterAndReport(const Symbology& S, const std::string& Data) {
    const std::string Text = FilterBCText(S.Type, Data);
    bool Seen[256] = {};
    std::string Dropped;
    std::size_t Kept = 0;
    for (char Byte : Data) {
        const auto c = static_cast<unsigned char>(Byte);
        if (!FilterBCText(S.Type, std::string(1, Byte)).empty()) {
            ++Kept;
        } else if (!Seen[c]) {
            Seen[c] = true;
            if (!Dropped.empty())
                Dropped += ", ";
            Dropped += DescribeByte(c);
        }
    }
    if (!Dropped.empty())
        std::cerr << "lumivex: warning: " << S.Name << " takes " << CharClassText(S.CharClass)
                  << "; dropped " << Dropped << '\n';
    if (Kept > Text.size())
        std::cerr << "lumivex: warning: " << S.Name << " takes at most " << Text.size()
                  << " characters; the data was cut to \"" << Text << "\"\n";
    if (Text.empty()) {
        if (Data.empty())
            throw UsageError("no data to encode: --data is empty");
        throw UsageError("nothing left to encode: " + std::string(S.Name) + " takes " +
                         std::string(CharClassText(S.CharClass)));
    }
    return Text;
}

void AddSymbolOptions(CLI::App& Command, SymbolOptions& Options) {
    Command
        .add_option("-b,--barcode", Options.Barcode,
                    "Symbology: a short name (listed below), an identifier like bcCode128, or "
                    "zint's name or number (CODE128, 20; EANX by the data's length); any case")
        ->required();
    Command.add_option("--scale", Options.Scale, "Module width in pixels")
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    Command
        .add_option("--height", Options.Height,
                    "Barcode height in pixels, text included (default: 50 per --scale)")
        ->check(CLI::Range(1, 10000));
    Command.add_flag("--notext", Options.NoText, "Leave out the human-readable text");
    Command.add_option("--rotate", Options.Rotate, "Clockwise rotation in degrees")
        ->check(CLI::IsMember({0, 90, 180, 270}))
        ->capture_default_str();
    Command
        .add_option("--dpi", Options.Dpi,
                    "Resolution written into the PNG or BMP file; in an SVG, EPS or PDF file "
                    "without --xdim the size of a pixel (default 96)")
        ->check(CLI::Range(1, 100000));
    Command.add_option("--font", Options.Font, "Font of the human-readable text")
        ->capture_default_str();
    Command.footer("Symbologies: " + ValidSymbologyNames());
}

RenderSettings SettingsFor(const SymbolOptions& Options, std::string_view Data) {
    const Symbology* S = FindSymbology(Options.Barcode, Data);
    if (S == nullptr)
        throw UsageError("unknown symbology \"" + Options.Barcode +
                         "\"; valid names: " + ValidSymbologyNames());
    RenderSettings Settings;
    Settings.Type = S->Type;
    Settings.Scale = Options.Scale;
    Settings.Height = Options.Height > 0 ? Options.Height : 50 * Options.Scale;
    Settings.Interpret = !Options.NoText;
    // The printed text takes 5 modules' worth of rows below the bars, 15 above an add-on's.
    const int TextRows = (S->Placement == bpTextAbove ? 15 : 5) * Options.Scale;
    if (Settings.Interpret && S->Layout != tlNone &&
        2 * (Settings.Height - TextRows) < Settings.Height)
        std::cerr << "lumivex: warning: at --height " << Settings.Height << " the text takes "
                  << TextRows << " rows and leaves the bars less than half the height; scanners "
                  << "may not read it (give --height " << 4 * TextRows
                  << " or more, or --notext)\n";
    Settings.Rotate = RotationFromDegrees(Options.Rotate);
    Settings.FontName = Options.Font;
    return Settings;
}

CLI::App* AddRenderCommand(CLI::App& App, RenderOptions& Options) {
    CLI::App* Render =
        App.add_subcommand("render", "Render one barcode into a PNG, BMP, SVG, EPS or PDF file");
    AddSymbolOptions(*Render, Options.Symbol);
    AddColourOptions(*Render, Options.Symbol.Fg, Options.Symbol.Bg);
    Render->add_option("-d,--data", Options.Data,
                       "Text to encode, refused (exit 2) when the symbology would change it: a "
                       "character it cannot carry, too many characters, a wrong check digit. "
                       "EAN-13, UPC-A, UPC-E and EAN-8 take a 2- or 5-digit add-on after '+', "
                       "drawn beside the symbol (400638133393+12)");
    Render->add_flag("--filter", Options.Filter,
                     "Drop what the symbology cannot carry and cut what is too long, with a "
                     "warning, as the components do");
    Render
        ->add_option("-o,--output", Options.Output,
                     "Output file, PNG, BMP, SVG, EPS or PDF by its extension; - writes PNG to "
                     "standard output")
        ->capture_default_str();
    Render
        ->add_option("--xdim", Options.XDim,
                     "Module width as a length: 0.33mm, 13mil, 0.013in. Exact in SVG, EPS and PDF "
                     "(default there: --scale pixels at --dpi, or at 96 dpi); a PNG or BMP needs "
                     "--dpi and takes the nearest whole number of pixels, said on standard error")
        ->type_name("LENGTH")
        ->excludes("--scale");
    return Render;
}

void RunRender(const RenderOptions& Options) {
    const ImageFormat Format = ImageFormatFor(Options.Output);
    SymbolOptions Symbol = Options.Symbol;
    const double PixelMm = ApplyXDim(Options.XDim, Format, Symbol);
    RenderSettings Settings = SettingsFor(Symbol, Options.Data);
    const vcl::TInkColours Colours = InkColoursFor(Symbol.Fg, Symbol.Bg);
    const TSymbology& S = BC_Symbologies.at(Settings.Type);
    const AddOnSplit Parts = SplitAddOn(S, Options.Data, Options.Filter);
    Settings.Text = Options.Filter ? FilterAndReport(S, Parts.Main) : CheckedData(S, Parts.Main);

    std::string Bytes;
    if (IsVector(Format)) {
        if (Parts.AddOn.empty()) {
            Bytes = RenderVector(Settings, Format, PixelMm, Colours);
        } else {
            WarnAddOnHeight(Settings);
            vcl::TMetafile Joined;
            RecordJoined(Joined, Settings, Parts.AddOn);
            Bytes = SaveVector(Joined, Format, PixelMm, Colours);
        }
    } else {
        vcl::TBitmap Bitmap;
        if (Parts.AddOn.empty()) {
            RenderBarcode(Bitmap, Settings);
        } else {
            WarnAddOnHeight(Settings);
            RenderJoined(Bitmap, Settings, Parts.AddOn);
        }
        Bytes = EncodeImage(Bitmap, Format, Symbol.Dpi, Colours);
    }
    if (Options.Output == "-")
        WriteStandardOutput(Bytes);
    else
        vcl::WriteFileAtomically(Options.Output, Bytes);
}

} // namespace lumivex::cli
