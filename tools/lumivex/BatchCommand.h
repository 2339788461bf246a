#pragma once
// lumivex batch: one PNG per record of a SQLite query or a CSV file.

#include <string>
#include <vector>

#include "tools/lumivex/RenderCommand.h"

namespace CLI {
class App;
}

namespace lumivex::cli {

struct BatchOptions {
    SymbolOptions Symbol;
    std::string Database;
    std::string Sql;
    std::vector<std::string> Params;
    std::string Csv;
    std::string Field;
    std::string NameField;
    std::string Directory = "out/batch";
    bool Force = false;
    // 0: the cores this process may run on.
    int Jobs = 0;
};

CLI::App* AddBatchCommand(CLI::App& App, BatchOptions& Options);

// Returns the exit status: 0 when every record was written, 1 when one was skipped or failed,
// 130 when interrupted. Raises UsageError for options that cannot go together, and vcl
// exceptions when the data cannot be read or the directory cannot be made.
int RunBatch(const BatchOptions& Options);

} // namespace lumivex::cli
