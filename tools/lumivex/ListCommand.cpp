// lumivex list: the catalogue as a table.

#include "tools/lumivex/ListCommand.h"

#include <iomanip>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/lumivex/Symbologies.h"

namespace lumivex::cli {

CLI::App* AddListCommand(CLI::App& App) {
    return App.add_subcommand("list", "List the symbologies: identifier, short names, the "
                                      "characters each carries and its maximum length");
}

void RunList() {
    // The maximum length counts the data characters; check characters are computed.
    std::cout << std::left << std::setw(13) << "IDENTIFIER" << std::setw(30) << "SHORT NAMES"
              << std::setw(40) << "CHARACTERS"
              << "MAX LENGTH\n";
    for (const Symbology& s : Symbologies())
        std::cout << std::setw(13) << s.Identifier << std::setw(30) << s.ShortNames << std::setw(40)
                  << CharClassText(s.CharClass)
                  << (s.MaxLength ? std::to_string(s.MaxLength) : "none") << '\n';
}

} // namespace lumivex::cli
