// lumivex: renders barcodes from the command line.
//
// Exit status: 0 done, 1 the work failed (rendering or writing), 2 the command line asked for
// something that cannot be done. Every failure is one line on standard error.

#include <algorithm>
#include <exception>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

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

// The commands, by the names the line gives them.
constexpr std::string_view Commands[] = {"render", "samples", "list",   "batch",
                                         "form",   "preview", "package"};

// The command a line names: the options before it take no values, so it is the first argument
// that is not an option.
std::string_view NamedCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            return argv[i];
    return {};
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

    // Only the command named is built: the options of all of them are most of a short run's own
    // work. With none named, or a name that is none of them (help, --types, a mistake), all are,
    // so that the help lists them and a mistake is told as it always was.
    const std::string_view Named = NamedCommand(argc, argv);
    const bool All =
        std::find(std::begin(Commands), std::end(Commands), Named) == std::end(Commands);
    const auto Wanted = [&](std::string_view Name) { return All || Named == Name; };

    lumivex::cli::RenderOptions RenderOptions;
    lumivex::cli::LineInputOptions LineOptions;
    CLI::App* Render = nullptr;
    if (Wanted("render")) {
        Render = lumivex::cli::AddRenderCommand(App, RenderOptions);
        lumivex::cli::AddLineInputOptions(*Render, LineOptions);
    }
    lumivex::cli::SamplesOptions SamplesOptions;
    CLI::App* Samples =
        Wanted("samples") ? lumivex::cli::AddSamplesCommand(App, SamplesOptions) : nullptr;
    CLI::App* List = Wanted("list") ? lumivex::cli::AddListCommand(App) : nullptr;
    lumivex::cli::BatchOptions BatchOptions;
    CLI::App* Batch = Wanted("batch") ? lumivex::cli::AddBatchCommand(App, BatchOptions) : nullptr;
    lumivex::cli::FormOptions FormOptions;
    CLI::App* Form = Wanted("form") ? lumivex::cli::AddFormCommand(App, FormOptions) : nullptr;
    lumivex::cli::PreviewOptions PreviewOptions;
    CLI::App* Preview =
        Wanted("preview") ? lumivex::cli::AddPreviewCommand(App, PreviewOptions) : nullptr;
    lumivex::cli::PackageOptions PackageOptions;
    CLI::App* Package =
        Wanted("package") ? lumivex::cli::AddPackageCommand(App, PackageOptions) : nullptr;
    const auto Parsed = [](const CLI::App* Command) { return Command && Command->parsed(); };

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
        if (Parsed(Render)) {
            if (lumivex::cli::LineInputGiven(*Render))
                return lumivex::cli::RunRenderLines(*Render, RenderOptions, LineOptions);
            if (Render->get_option("--data")->count() == 0)
                return ReportParseError(App, CLI::RequiredError("-d,--data or -i,--input"));
            lumivex::cli::RunRender(RenderOptions);
        }
        if (Parsed(Samples))
            lumivex::cli::RunSamples(SamplesOptions);
        if (Parsed(List))
            lumivex::cli::RunList();
        if (Parsed(Batch))
            return lumivex::cli::RunBatch(BatchOptions);
        if (Parsed(Form))
            lumivex::cli::RunForm(*Form, FormOptions);
        if (Parsed(Package))
            return lumivex::cli::RunPackage(*Package, PackageOptions);
        if (Parsed(Preview))
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
