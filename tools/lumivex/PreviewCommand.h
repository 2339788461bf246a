#pragma once
// lumivex preview: the preview form on one barcode, in a real window or as a screenshot.

#include <string>

#include "tools/lumivex/RenderCommand.h"

namespace CLI {
class App;
}

namespace lumivex::cli {

struct PreviewOptions {
    SymbolOptions Symbol;
    std::string Data;
    // --form FILE --component NAME instead of a symbology and data.
    std::string FormFile;
    std::string Component;
    // Set: paint the form into this PNG without a window.
    std::string Screenshot;
};

CLI::App* AddPreviewCommand(CLI::App& App, PreviewOptions& Options);

// Shows the preview modally and answers the exit status: 0 when closed with Okay, 1 otherwise
// (0 once a screenshot is written). UsageError for a request that cannot be carried out.
int RunPreview(int& Argc, char** Argv, const PreviewOptions& Options);

// Puts the window system in place of the headless widgetset, or raises UsageError saying why it
// cannot (a build without Qt, no display). Defined by the build: Qt's or none.
void InstallWindowSystem(int& Argc, char** Argv);

} // namespace lumivex::cli
