#pragma once
// The command line's view of the engine's symbology table: look-up by name, and the names it
// lists.

#include <span>
#include <string>
#include <string_view>

#include "engine/Barcode.h"

namespace lumivex::cli {

using Symbology = TSymbology;

// Every symbology, in the enumeration's order.
inline std::span<const Symbology> Symbologies() {
    return BC_Symbologies;
}

// Looks Name up among the identifiers and short names, then zint's names and numbers (CODE128,
// BARCODE_CODE128, 20; EANX picks EAN-13, EAN-8 or an add-on by the length of Data), ignoring
// case; nullptr when none matches.
const Symbology* FindSymbology(std::string_view Name, std::string_view Data = {});

// The short names of all symbologies, comma-separated, for messages and help.
std::string ValidSymbologyNames();

} // namespace lumivex::cli
