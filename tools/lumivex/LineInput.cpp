#include "tools/lumivex/LineInput.h"

#include <CLI/CLI.hpp>

#include "host/db/DB.h"
#include "host/db/DBLineDataSet.h"
#include "tools/lumivex/Batch.h"
#include "tools/lumivex/BatchCommand.h"
#include "tools/lumivex/Colours.h"
#include "tools/lumivex/LinePattern.h"
#include "tools/lumivex/RenderCommand.h"

namespace lumivex::cli {

void AddLineInputOptions(CLI::App& Render, LineInputOptions& Options) {
    Render
        .add_option("-i,--input", Options.Input,
                    "File (- for standard input) whose lines are encoded one barcode each, as "
                    "batch --lines does, into PNG files that -o names: each '~' a digit of the "
                    "line number (default ~~~~~.png)")
        ->excludes(Render.get_option("--data"))
        ->excludes(Render.get_option("--xdim"));
    Render
        .add_option("-j,--jobs", Options.Jobs,
                    "With -i: lines drawn and written at once (default: the cores available)")
        ->check(CLI::Range(1, 256));
    Render.footer(Render.get_footer() +
                  "\n\nExit status: 0 done; 1 the file could not be written, or with -i a line "
                  "skipped (empty), refused or failed; 2 bad arguments, data the symbology would "
                  "change (without -i and --filter) or a pattern that cannot name every line; 130 "
                  "-i interrupted.");
}

bool LineInputGiven(const CLI::App& Render) {
    return Render.get_option("--input")->count() > 0;
}

int RunRenderLines(const CLI::App& Render, const RenderOptions& Options,
                   const LineInputOptions& Lines) {
    BatchJob Job;
    Job.Symbol = SettingsFor(Options.Symbol);
    Job.Dpi = Options.Symbol.Dpi;
    Job.Colours = InkColoursFor(Options.Symbol.Fg, Options.Symbol.Bg);
    Job.Pattern = LinePattern(Options.Output, Render.get_option("--output")->count() > 0);
    Job.Field = vcl::TLineDataSet::DataFieldName;
    Job.Source = Lines.Input == "-" ? "standard input" : Lines.Input;
    Job.Filter = Options.Filter;
    // A file the pattern names is replaced, as render replaces its one file and zint its own.
    Job.Replace = true;
    Job.Jobs = Lines.Jobs > 0 ? Lines.Jobs : AvailableCores();
    vcl::TLineDataSet Data(nullptr);
    Data.SetFileName(Lines.Input);
    Data.SetUniDirectional(true);
    return RunBatchJob(Data, Job, Job.Pattern);
}

} // namespace lumivex::cli
