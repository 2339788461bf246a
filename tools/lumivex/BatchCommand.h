#pragma once
// lumivex batch: one PNG per record of a SQLite query or a CSV file.

#include <string>
#include <vector>

#include "tools/lumivex/RenderCommand.h"

namespace CLI {
class App;
}

namespace vcl {
class TDataSet;
}

namespace lumivex::cli {

struct BatchOptions {
    SymbolOptions Symbol;
    std::string Database;
    std::string Sql;
    std::vector<std::string> Params;
    std::string Csv;
    // A file of lines, or - for standard input.
    std::string Lines;
    std::string Field;
    std::string NameField;
    std::string Directory = "out/batch";
    bool Force = false;
    bool Filter = false;
    // 0: the cores this process may run on.
    int Jobs = 0;
};

CLI::App* AddBatchCommand(CLI::App& App, BatchOptions& Options);

// Returns the exit status: 0 when every record was written, 1 when one was skipped, refused or
// failed, 130 when interrupted. Raises UsageError for options that cannot go together, and vcl
// exceptions when the data cannot be read or the directory cannot be made.
int RunBatch(const BatchOptions& Options);

struct BatchJob;
// The batch loop over Data with the command's messages, progress bar, interruption and summary
// (FilesIn names where the files went); returns the exit status as RunBatch does.
int RunBatchJob(vcl::TDataSet& Data, const BatchJob& Job, const std::string& FilesIn);

// Threads for --jobs 0: the cores this process may run on.
int AvailableCores();

} // namespace lumivex::cli
