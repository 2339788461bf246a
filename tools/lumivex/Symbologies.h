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

// Looks Name up among the identifiers and short names, ignoring case; nullptr when none matches.
const Symbology* FindSymbology(std::string_view Name);

// The short names of all symbologies, comma-separated, for messages and help.
std::string ValidSymbologyNames();

} // namespace lumivex::cli
