// lumivex batch: options, the data source, messages, the progress bar, interruption, summary.

#include "tools/lumivex/BatchCommand.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>

#include <CLI/CLI.hpp>
#include <sched.h>
#include <unistd.h>

#include "host/db/DBLineDataSet.h"
#include "tools/lumivex/Batch.h"
#include "tools/lumivex/Colours.h"
#include "tools/lumivex/Symbologies.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t StopSignal = 0;

extern "C" void OnStopSignal(int Signal) {
    StopSignal = Signal;
}

// Ctrl-C ends the batch between two records, so no temporary file is left; a second one, with
// the handler gone, ends it at once for a user who will not wait.
class StopSignals {
public:
    StopSignals() {
        StopSignal = 0;
        struct sigaction Action {};
        Action.sa_handler = OnStopSignal;
        sigemptyset(&Action.sa_mask);
        Action.sa_flags = SA_RESTART | SA_RESETHAND;
        ::sigaction(SIGINT, &Action, &FOldInt);
        ::sigaction(SIGTERM, &Action, &FOldTerm);
    }
    ~StopSignals() {
        ::sigaction(SIGINT, &FOldInt, nullptr);
        ::sigaction(SIGTERM, &FOldTerm, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction FOldInt {};
    struct sigaction FOldTerm {};
};

// A field's text as a message shows it: on one line, bytes outside printable ASCII as \xNN,
// long texts cut.
std::string Quote(std::string_view Text) {
    constexpr std::size_t Shown = 40;
    std::string Out = "'";
    for (std::size_t i = 0; i < Text.size() && i < Shown; ++i) {
        const auto c = static_cast<unsigned char>(Text[i]);
        if (c >= 0x20 && c <= 0x7E && c != '\\') {
            Out += static_cast<char>(c);
        } else {
            char Hex[8];
            std::snprintf(Hex, sizeof Hex, "\\x%02X", c);
            Out += Hex;
        }
    }
    Out += Text.size() > Shown ? "'..." : "'";
    return Out;
}

std::string Seconds(double Value) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.2f s", Value);
    return Text;
}

// Messages for the records that were not written, and the progress bar when standard error is
// a terminal: count and total, records per second and time left, at most ten frames a second.
class Reporter : public BatchListener {
public:
    Reporter(const BatchJob& Job, const Symbology& S)
        : FJob(Job), FSymbology(S), FBar(::isatty(STDERR_FILENO) == 1), FStart(Clock::now()) {}

    void Started(int Total) override {
        FTotal = Total;
        if (Total == 0)
            std::cerr << "lumivex: " << FJob.Source << ": no records\n";
        Draw(0);
    }

    void RecordDone(const RecordReport& R) override {
        if (R.Result != RecordResult::Written) {
            Clear();
            std::cerr << "lumivex: record " << R.RecNo << ": ";
            switch (R.Result) {
            case RecordResult::NothingToEncode:
                if (R.FieldText.empty())
                    std::cerr << "field '" << FJob.Field << "' is empty";
                else
                    std::cerr << "nothing in " << Quote(R.FieldText) << " that "
                              << FSymbology.PrimaryName() << " can carry";
                std::cerr << "; skipped\n";
                break;
            case RecordResult::Exists:
                std::cerr << R.Path << " exists; skipped (--force replaces it)\n";
                break;
            case RecordResult::Refused:
                std::cerr << R.Error << "; skipped\n";
                break;
            default:
                std::cerr << R.Error << "; failed\n";
                break;
            }
            FLastDraw = {};
        }
        if (FBar) {
            const Clock::time_point Now = Clock::now();
            if (Now - FLastDraw >= std::chrono::milliseconds(100) || R.RecNo == FTotal)
                Draw(R.RecNo, Now);
        }
    }

    bool StopRequested() override { return StopSignal != 0; }

    // Takes the bar off the screen before the summary.
    void Clear() {
        if (FBar && FDrawn) {
            std::fputs("\r\033[K", stderr);
            FDrawn = false;
        }
    }

private:
    void Draw(int Done, Clock::time_point Now = Clock::now()) {
        if (!FBar || FTotal == 0)
            return;
        FLastDraw = Now;
        const double Elapsed = std::chrono::duration<double>(Now - FStart).count();
        constexpr int Width = 30;
        const int Filled = static_cast<int>(static_cast<long long>(Done) * Width / FTotal);
        FLine.assign("\r[");
        FLine.append(static_cast<std::size_t>(Filled), '#');
        FLine.append(static_cast<std::size_t>(Width - Filled), '.');
        char Text[96];
        std::snprintf(Text, sizeof Text, "] %d/%d", Done, FTotal);
        FLine += Text;
        if (Done > 0 && Elapsed > 0) {
            const double Rate = Done / Elapsed;
            const auto Left = static_cast<long long>((FTotal - Done) / Rate + 0.5);
            std::snprintf(Text, sizeof Text, "  %.0f records/s  %lld:%02lld left", Rate, Left / 60,
                          Left % 60);
            FLine += Text;
        }
        FLine += "\033[K";
        std::fwrite(FLine.data(), 1, FLine.size(), stderr);
        FDrawn = true;
    }

    const BatchJob& FJob;
    const Symbology& FSymbology;
    const bool FBar;
    const Clock::time_point FStart;
    Clock::time_point FLastDraw{};
    int FTotal = 0;
    bool FDrawn = false;
    std::string FLine;
};

} // namespace

int AvailableCores() {
    cpu_set_t Set;
    CPU_ZERO(&Set);
    if (::sched_getaffinity(0, sizeof Set, &Set) == 0 && CPU_COUNT(&Set) > 0)
        return CPU_COUNT(&Set);
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

CLI::App* AddBatchCommand(CLI::App& App, BatchOptions& Options) {
    CLI::App* Batch = App.add_subcommand(
        "batch", "Render one barcode per record of a SQLite query or a CSV file into PNG files");
    AddSymbolOptions(*Batch, Options.Symbol);
    AddColourOptions(*Batch, Options.Symbol.Fg, Options.Symbol.Bg);
    CLI::Option* Database =
        Batch->add_option("--db", Options.Database, "SQLite database file (with --sql)");
    CLI::Option* Sql =
        Batch->add_option("--sql", Options.Sql, "Query whose rows are the records (with --db)");
    CLI::Option* Param = Batch->add_option(
        "--param", Options.Params,
        "Value bound to ?1, ?2, ... in the order given; values are never spliced into the SQL");
    Param->allow_extra_args(false);
    CLI::Option* Csv = Batch->add_option(
        "--csv", Options.Csv, "CSV file whose first line names the fields (instead of --db)");
    CLI::Option* Lines = Batch->add_option(
        "--lines", Options.Lines,
        "File whose lines are the records, one barcode each (- reads standard input)");
    Database->needs(Sql);
    Sql->needs(Database);
    Param->needs(Database);
    Csv->excludes(Database)->excludes(Sql)->excludes(Param);
    Lines->excludes(Database)->excludes(Sql)->excludes(Param)->excludes(Csv);
    CLI::Option* Field = Batch->add_option(
        "--field", Options.Field, "Field whose text each barcode encodes (not with --lines)");
    CLI::Option* NameField =
        Batch->add_option("--name-field", Options.NameField,
                          "Field that names the files (made safe for file names); default: the "
                          "record number");
    Lines->excludes(Field)->excludes(NameField);
    Batch->add_flag("--filter", Options.Filter,
                    "Draw records the symbology would change as the data-aware component does "
                    "(dropping what it cannot carry, cutting what is too long, silently) instead "
                    "of refusing them");
    Batch->add_option("-o,--output", Options.Directory, "Directory for the PNG files")
        ->capture_default_str();
    Batch->add_flag("--force", Options.Force, "Replace existing files");
    Batch
        ->add_option("-j,--jobs", Options.Jobs,
                     "Records drawn and written at once (default: the cores available); the "
                     "files and messages are the same for any number")
        ->check(CLI::Range(1, 256));
    Batch->footer(Batch->get_footer() +
                  "\n\nExit status: 0 every record written; 1 a record skipped (nothing to encode, "
                  "its file exists), refused (the symbology would change it) or failed, or the "
                  "data could not be read; 2 bad arguments; 130 interrupted.");
    return Batch;
}

int RunBatch(const BatchOptions& Options) {
    if (int(!Options.Database.empty()) + int(!Options.Csv.empty()) + int(!Options.Lines.empty()) !=
        1)
        throw UsageError("batch needs its data: --db FILE --sql QUERY, --csv FILE or --lines FILE");
    if (Options.Lines.empty() && Options.Field.empty())
        throw UsageError("batch needs --field: the field whose text each barcode encodes");

    BatchJob Job;
    Job.Symbol = SettingsFor(Options.Symbol);
    Job.Dpi = Options.Symbol.Dpi;
    Job.Colours = InkColoursFor(Options.Symbol.Fg, Options.Symbol.Bg);
    Job.Field = Options.Field;
    Job.NameField = Options.NameField;
    Job.Directory = Options.Directory;
    Job.Replace = Options.Force;
    Job.Filter = Options.Filter;
    Job.Jobs = Options.Jobs > 0 ? Options.Jobs : AvailableCores();

    std::unique_ptr<vcl::TDataSet> Data;
    if (!Options.Lines.empty()) {
        auto Lines = std::make_unique<vcl::TLineDataSet>(nullptr);
        Lines->SetFileName(Options.Lines);
        Lines->SetUniDirectional(true);
        Job.Field = vcl::TLineDataSet::DataFieldName;
        Job.Source = Options.Lines == "-" ? "standard input" : Options.Lines;
        Data = std::move(Lines);
    } else if (!Options.Csv.empty()) {
        auto Csv = std::make_unique<vcl::TCSVDataSet>(nullptr);
        Csv->SetFileName(Options.Csv);
        // Read forward, one record in memory at a time: a batch of any size takes the same.
        Csv->SetUniDirectional(true);
        Job.Source = Options.Csv;
        Data = std::move(Csv);
    } else {
        auto Query = std::make_unique<vcl::TSQLiteQuery>(nullptr);
        Query->SetDatabaseName(Options.Database);
        Query->SetSQL(Options.Sql);
        Query->SetUniDirectional(true);
        Query->SetParams(
            std::vector<vcl::TDataSet::Value>(Options.Params.begin(), Options.Params.end()));
        Job.Source = Options.Database;
        Data = std::move(Query);
    }
    return RunBatchJob(*Data, Job, Options.Directory);
}

int RunBatchJob(vcl::TDataSet& Data, const BatchJob& Job, const std::string& FilesIn) {
    const StopSignals Signals;
    Reporter Report(Job, BC_Symbologies.at(Job.Symbol.Type));
    const Clock::time_point Start = Clock::now();
    const BatchTotals Totals = RunBatchLoop(Data, Job, Report);
    const double Elapsed = std::chrono::duration<double>(Clock::now() - Start).count();
    Report.Clear();

    if (Totals.Stopped)
        std::cerr << "lumivex: interrupted; "
                  << Totals.Total - Totals.Written - Totals.Skipped - Totals.Failed
                  << " record(s) not done\n";
    if (Totals.GaveUp)
        std::cerr << "lumivex: gave up after " << MaxFailuresInARow << " failures in a row\n";
    std::cout << Totals.Written << " written, " << Totals.Skipped << " skipped, " << Totals.Failed
              << " failed in " << Seconds(Elapsed) << "; files in " << FilesIn << std::endl;

    if (Totals.Stopped)
        return 128 + StopSignal;
    return Totals.Written == Totals.Total ? 0 : 1;
}

} // namespace lumivex::cli
