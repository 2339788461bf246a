// Colour options: parsing, the checks on the pair, and the palette of bitmap files.

#include "tools/lumivex/Colours.h"

#include <cstdint>
#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Rec. 601 luma, the weights that scanners' grey conversions use, times 1000.
int Luma(vcl::TColor C) {
    return 299 * vcl::GetRValue(C) + 587 * vcl::GetGValue(C) + 114 * vcl::GetBValue(C);
}

std::uint32_t Get32(const std::string& B, std::size_t At) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(B[At + static_cast<std::size_t>(i)]);
    return v;
}

} // namespace

void AddColourOptions(CLI::App& Command, std::string& Fg, std::string& Bg) {
    Command.add_option("--fg", Fg, "Colour of the bars and text, hex, # optional (default 000000)")
        ->type_name("RRGGBB");
    Command.add_option("--bg", Bg, "Colour of the background, hex, # optional (default FFFFFF)")
        ->type_name("RRGGBB");
}

vcl::TColor ParseColour(std::string_view Option, std::string_view Text) {
    std::string_view Hex = Text;
    if (Hex.starts_with('#'))
        Hex.remove_prefix(1);
    int Channel[3] = {};
    bool Good = Hex.size() == 6;
    for (std::size_t i = 0; Good && i < 6; ++i) {
        const int d = HexDigit(Hex[i]);
        Good = d >= 0;
        Channel[i / 2] = 16 * Channel[i / 2] + d;
    }
    if (!Good)
        throw UsageError("--" + std::string(Option) + " \"" + std::string(Text) +
                         "\" is no colour: give six hexadecimal digits RRGGBB, such as 000000 "
                         "for black or #1F3A93");
    return vcl::RGB(Channel[0], Channel[1], Channel[2]);
}

vcl::TInkColours InkColoursFor(const std::string& Fg, const std::string& Bg) {
    vcl::TInkColours Colours;
    if (!Fg.empty())
        Colours.Ink = ParseColour("fg", Fg);
    if (!Bg.empty())
        Colours.Paper = ParseColour("bg", Bg);
    if (Colours.Ink == Colours.Paper)
        throw UsageError("--fg and --bg are the same colour: the bars would not show");
    if (Luma(Colours.Ink) > Luma(Colours.Paper))
        std::cerr << "lumivex: warning: --fg is lighter than --bg; most scanners read only dark "
                     "bars on a light background\n";
    return Colours;
}

void InkBitmapFile(std::string& Bytes, const vcl::TInkColours& Colours) {
    // The info header follows the 14-byte file header; its palette follows its 40 bytes.
    constexpr std::size_t Info = 14, Quads = Info + 40;
    if (Colours == vcl::TInkColours{} || Bytes.size() < Quads)
        return;
    const unsigned Bits = static_cast<unsigned char>(Bytes[Info + 14]);
    const std::uint32_t Entries = Get32(Bytes, Info + 32);
    auto Set = [&](std::uint32_t Entry, vcl::TColor C) {
        const std::size_t At = Quads + 4 * std::size_t{Entry};
        if (Entry >= Entries || At + 3 > Bytes.size())
            return;
        Bytes[At] = static_cast<char>(vcl::GetBValue(C));
        Bytes[At + 1] = static_cast<char>(vcl::GetGValue(C));
        Bytes[At + 2] = static_cast<char>(vcl::GetRValue(C));
    };
    if (Bits == 1) {
        Set(0, Colours.Ink);
        Set(1, Colours.Paper);
    } else if (Bits == 8) {
        Set(vcl::palette::BlackIndex, Colours.Ink);
        Set(vcl::palette::WhiteIndex, Colours.Paper);
    }
}

} // namespace lumivex::cli
