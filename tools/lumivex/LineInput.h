#pragma once
// lumivex render -i: one barcode per line of a file or of standard input, through the batch
// loop that batch --lines runs, the files named by the -o pattern.

#include <string>

namespace CLI {
class App;
}

namespace lumivex::cli {

struct RenderOptions;

struct LineInputOptions {
    // A file of lines, or - for standard input.
    std::string Input;
    // 0: the cores this process may run on.
    int Jobs = 0;
};

// Adds -i and --jobs to the render command, -i in place of its -d.
void AddLineInputOptions(CLI::App& Render, LineInputOptions& Options);

// Whether -i was given.
bool LineInputGiven(const CLI::App& Render);

// The exit status, as the batch gives it. Raises UsageError for a pattern that cannot name
// every line.
int RunRenderLines(const CLI::App& Render, const RenderOptions& Options,
                   const LineInputOptions& Lines);

} // namespace lumivex::cli
