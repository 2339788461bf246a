// lumivex: renders barcodes from the command line.
//
// Exit status: 0 done, 1 the work failed (rendering or writing), 2 the command line asked for
// something that cannot be done. Every failure is one line on standard error.

#include <exception>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "host/sysutils/SysUtils.h"
#include "tools/lumivex/BatchCommand.h"
#include "tools/lumivex/FormCommand.h"
#include "tools/lumivex/LineInput.h"
#include "tools/lumivex/ListCommand.h"
#include "tools/lumivex/PackageCommand.h"
#include "tools/lumivex/PreviewCommand.h"
#include "tools/lumivex/RenderCommand.h"
#include "tools/lumivex/SamplesCommand.h"
#include "tools/lumivex/UsageError.h"

#ifndef LUMIVEX_VERSION
#error "LUMIVEX_VERSION must come from the build"
#endif

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// Messages from CLI11 or the system may span lines; we promise one.
std::string OneLine(std::string Message) {
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == '\r'))
        Message.pop_back();
    for (char& c : Message)
        if (c == '\n' || c == '\r')
            c = ' ';
    return Message;
}

int Fail(int Status, const std::string& Message) {
    std::cerr << "lumivex: " << OneLine(Message) << '\n';
    return Status;
}

int ReportParseError(const CLI::App& App, const CLI::ParseError& Error) {
    // --help and --version arrive as "errors" with status 0; CLI11 prints them itself.
    if (Error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
        return App.exit(Error);
    // Down to the innermost subcommand given, whose help tells what it expects.
    std::string Command = "lumivex";
    for (auto Subs = App.get_subcommands(); !Subs.empty(); Subs = Subs.front()->get_subcommands())
        Command += " " + Subs.front()->get_name();
    Fail(ExitUsage, Error.what());
    std::cerr << "Run '" << Command << " --help' for more information.\n";
    return ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App App{"Lumivex barcode renderer", "lumivex"};
    App.set_version_flag("--version", "lumivex " LUMIVEX_VERSION);
    // One command, or -t/--types alone (zint's spelling of list).
    App.require_subcommand(0, 1);
    bool Types = false;
    App.add_flag("-t,--types", Types, "List the symbologies, as the list command does");
    App.footer("Exit status: 0 done; 1 the work failed (an output not written, data not read, a "
               "batch record skipped, refused or failed); 2 bad arguments or data the symbology "
               "would change; 130 a batch interrupted. Each command's --help says more.");

    lumivex::cli::RenderOptions RenderOptions;
    CLI::App* Render = lumivex::cli::AddRenderCommand(App, RenderOptions);
    lumivex::cli::LineInputOptions LineOptions;
    lumivex::cli::AddLineInputOptions(*Render, LineOptions);
    lumivex::cli::SamplesOptions SamplesOptions;
    CLI::App* Samples = lumivex::cli::AddSamplesCommand(App, SamplesOptions);
    CLI::App* List = lumivex::cli::AddListCommand(App);
    lumivex::cli::BatchOptions BatchOptions;
    CLI::App* Batch = lumivex::cli::AddBatchCommand(App, BatchOptions);
    lumivex::cli::FormOptions FormOptions;
    CLI::App* Form = lumivex::cli::AddFormCommand(App, FormOptions);
    lumivex::cli::PreviewOptions PreviewOptions;
    CLI::App* Preview = lumivex::cli::AddPreviewCommand(App, PreviewOptions);
    lumivex::cli::PackageOptions PackageOptions;
    CLI::App* Package = lumivex::cli::AddPackageCommand(App, PackageOptions);

    try {
        App.parse(argc, argv);
    } catch (const CLI::ParseError& Error) {
        return ReportParseError(App, Error);
    }

    if (!Types && App.get_subcommands().empty())
        return ReportParseError(App, CLI::RequiredError("A subcommand"));

    try {
        if (Types && App.get_subcommands().empty())
            lumivex::cli::RunList();
        if (Render->parsed()) {
            if (lumivex::cli::LineInputGiven(*Render))
                return lumivex::cli::RunRenderLines(*Render, RenderOptions, LineOptions);
            if (Render->get_option("--data")->count() == 0)
                return ReportParseError(App, CLI::RequiredError("-d,--data or -i,--input"));
            lumivex::cli::RunRender(RenderOptions);
        }
        if (Samples->parsed())
            lumivex::cli::RunSamples(SamplesOptions);
        if (List->parsed())
            lumivex::cli::RunList();
        if (Batch->parsed())
            return lumivex::cli::RunBatch(BatchOptions);
        if (Form->parsed())
            lumivex::cli::RunForm(*Form, FormOptions);
        if (Package->parsed())
            return lumivex::cli::RunPackage(*Package, PackageOptions);
        if (Preview->parsed())
            return lumivex::cli::RunPreview(argc, argv, PreviewOptions);
    } catch (const lumivex::cli::UsageError& Error) {
        return Fail(ExitUsage, Error.what());
    } catch (const vcl::Exception& Error) {
        return Fail(ExitFailure, Error.GetMessage());
    } catch (const std::exception& Error) {
        return Fail(ExitFailure, Error.what());
    }
    return 0;
}
