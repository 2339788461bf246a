#pragma once
// lumivex samples: a set of PNGs that shows every symbology and rotation at a glance.

#include <string>

namespace CLI {
class App;
}

namespace lumivex::cli {

struct SamplesOptions {
    std::string Directory = "out/samples";
};

CLI::App* AddSamplesCommand(CLI::App& App, SamplesOptions& Options);

// Creates the directory if needed, writes the samples and prints each path, then a summary.
void RunSamples(const SamplesOptions& Options);

} // namespace lumivex::cli
