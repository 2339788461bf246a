#pragma once
// --fg and --bg: the colours a label's black and white are written in. The engine draws black
// and white; the colours go into the file's palette when it is written, so a coloured label
// costs nothing more to draw and keeps its size.

#include <string>
#include <string_view>

#include "host/graphics/Graphics.h"

namespace CLI {
class App;
}

namespace lumivex::cli {

// Adds --fg and --bg to Command, bound to Fg and Bg as given.
void AddColourOptions(CLI::App& Command, std::string& Fg, std::string& Bg);

// RRGGBB in hexadecimal, any case, with or without a leading '#'; UsageError naming Option
// otherwise.
vcl::TColor ParseColour(std::string_view Option, std::string_view Text);

// The colours the two options name, black and white where one is empty. Refuses (UsageError)
// one colour for both, which would print a label without a bar to see, and warns on standard
// error when the bars are lighter than the background, which most scanners do not read.
vcl::TInkColours InkColoursFor(const std::string& Fg, const std::string& Bg);

// Sets the palette entries of black and white in a bitmap file's bytes, as SaveToStream wrote
// them (1- or 8-bit; a 24-bit file has none and stays as it is).
void InkBitmapFile(std::string& Bytes, const vcl::TInkColours& Colours);

} // namespace lumivex::cli
