#pragma once
// Retail numbers with their add-on: "400638133393+12" draws the EAN-13 and its 2-digit add-on
// side by side in one picture, as labels carry them. The picture is put together from the two
// symbols as the components draw them, so neither changes by being joined.

#include <string>

#include "engine/Symbology.h"
#include "tools/lumivex/Render.h"

namespace lumivex::cli {

// Modules between the main symbol's last bar and the add-on's first. GS1 allows 7 to 12; 10 is
// the main symbol's own right quiet zone, so its picture is kept whole, the check digit that
// UPC-A and UPC-E print there included (at 9, that digit loses a column of pixels at scale 3).
inline constexpr int AddOnGapModules = 10;

// Whether Type takes an add-on after '+': EAN-13, UPC-A, UPC-E and EAN-8.
bool TakesAddOn(TBarCodeType Type);

struct AddOnSplit {
    // The main symbol's data, not yet checked.
    std::string Main;
    // The add-on's 2 or 5 digits; empty when there is none.
    std::string AddOn;
};

// Data split at its '+' for a symbology that takes an add-on, whose 2 or 5 digits are checked
// here; any other symbology's data stays whole. Raises DataRefused for an add-on of another
// length or with a byte that is no digit, for a '+' with no number before it, and, unless
// Filter, for a '+' in data of a symbology that neither carries it nor takes an add-on.
AddOnSplit SplitAddOn(const TSymbology& S, const std::string& Data, bool Filter);

// Says on standard error when the add-on's text above its bars leaves them less than half the
// picture's height.
void WarnAddOnHeight(const RenderSettings& Main);

// Draws Main (its Text checked) with the add-on AddOn beside it: the add-on's bars end on the
// row where the main symbol's do, its text above them, and its right quiet zone ends the
// picture. Turned as Main says, the picture is the unturned one turned.
void RenderJoined(vcl::TBitmap& Bitmap, const RenderSettings& Main, const std::string& AddOn);

// The same picture recorded for a vector file: fills and strings where RenderJoined puts
// pixels.
void RecordJoined(vcl::TMetafile& Metafile, const RenderSettings& Main, const std::string& AddOn);

} // namespace lumivex::cli
