#pragma once
// lumivex list: the symbologies with their names, characters and lengths.

namespace CLI {
class App;
}

namespace lumivex::cli {

CLI::App* AddListCommand(CLI::App& App);

// Prints one line per symbology: identifier, short names, character class, maximum length.
void RunList();

} // namespace lumivex::cli
