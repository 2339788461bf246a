#pragma once
// The symbologies as the command line names and describes them.

#include <span>
#include <string>
#include <string_view>

#include "engine/Barcode.h"

namespace lumivex::cli {

struct Symbology {
    TBarCodeType Type;
    // The enumeration's identifier, accepted on the command line as well as the short names.
    std::string_view Identifier;
    // The first short name is the one we print in listings and use for file names.
    std::span<const std::string_view> ShortNames;
    std::string_view Name;
    std::string_view CharacterClass;
    // 0 when the symbology takes texts of any length.
    int MaxLength;

    std::string_view PrimaryName() const { return ShortNames.front(); }
};

// Every symbology, in the enumeration's order.
std::span<const Symbology> Symbologies();

const Symbology& SymbologyOf(TBarCodeType Type);

// Looks Name up among the identifiers and short names, ignoring case; nullptr when none matches.
const Symbology* FindSymbology(std::string_view Name);

// The short names of all symbologies, comma-separated, for messages and help.
std::string ValidSymbologyNames();

} // namespace lumivex::cli
