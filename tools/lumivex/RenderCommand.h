#pragma once
// lumivex render: one barcode into a PNG or BMP file, or PNG onto standard output.

#include <string>

namespace CLI {
class App;
}

namespace lumivex::cli {

struct RenderOptions {
    std::string Barcode;
    std::string Data;
    std::string Output = "out.png";
    int Scale = 1;
    int Height = 50;
    bool NoText = false;
    int Rotate = 0;
    // 0: no resolution chunk.
    int Dpi = 0;
    std::string Font = "Courier New";
};

// Adds the subcommand with its options bound to Options and returns it.
CLI::App* AddRenderCommand(CLI::App& App, RenderOptions& Options);

// Raises UsageError for a request that cannot be carried out as given (unknown symbology, image
// format, nothing left to encode) and vcl or standard exceptions when rendering or writing fails.
void RunRender(const RenderOptions& Options);

} // namespace lumivex::cli
