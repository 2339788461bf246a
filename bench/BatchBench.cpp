// Batch throughput, records per second into PNG files, beside what encoding and writing the same
// PNG files alone costs in the same run: the batch's own work (reading the data, the data link,
// rendering, the temporary file and the rename) is what the ratio shows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "components/BarcodeBmp.h"
#include "host/db/DB.h"
#include "host/graphics/Graphics.h"
#include "tools/lumivex/Batch.h"

namespace {

using namespace lumivex;
namespace fs = std::filesystem;

constexpr int kRecords = 1000;

// Product codes of the lengths a catalogue holds, under the record numbers' names.
std::string CodeOf(int RecNo) {
    return "LX-" + std::to_string(1000000 + RecNo * 7919);
}

cli::BatchJob MakeJob(const fs::path& Directory) {
    cli::BatchJob Job;
    Job.Symbol.Type = bcCode128;
    Job.Symbol.Scale = 2;
    Job.Symbol.Height = 60;
    Job.Symbol.Interpret = true;
    Job.Field = "code";
    Job.Source = "bench.csv";
    Job.Directory = Directory.string();
    return Job;
}

// A directory of its own under the system's temporary one, removed at exit.
class Scratch {
public:
    Scratch() {
        std::string Template = (fs::temp_directory_path() / "lumivex-bench-XXXXXX").string();
        if (::mkdtemp(Template.data()) == nullptr)
            std::abort();
        FRoot = Template;
        std::string Csv = "code\n";
        for (int i = 1; i <= kRecords; ++i)
            Csv += CodeOf(i) + '\n';
        std::ofstream(FRoot / "bench.csv", std::ios::binary) << Csv;
    }
    ~Scratch() {
        std::error_code Ignored;
        fs::remove_all(FRoot, Ignored);
    }
    const fs::path& Root() const { return FRoot; }

private:
    fs::path FRoot;
};

Scratch& Files() {
    static Scratch S;
    return S;
}

class Quiet : public cli::BatchListener {};

// Each pass writes new files into an empty directory, as a first batch does: replacing files
// costs the file system differently for a rename and for a truncation, and is not what is
// measured here.
void Empty(benchmark::State& State, const fs::path& Directory) {
    State.PauseTiming();
    fs::remove_all(Directory);
    fs::create_directories(Directory);
    State.ResumeTiming();
}

void BM_Batch(benchmark::State& State) {
    const cli::BatchJob Job = MakeJob(Files().Root() / "batch");
    Quiet Listener;
    for (auto _ : State) {
        Empty(State, Job.Directory);
        vcl::TCSVDataSet Data(nullptr);
        Data.SetFileName((Files().Root() / "bench.csv").string());
        const cli::BatchTotals Totals = cli::RunBatchLoop(Data, Job, Listener);
        if (Totals.Written != kRecords)
            State.SkipWithError("the batch did not write every record");
    }
    State.SetItemsProcessed(State.iterations() * kRecords);
}

// The same images, rendered beforehand: each pass only encodes them as the batch does, into one
// reused buffer, and writes each with one write into its file. The batch encodes a bitmap it has
// just drawn, still in the cache; these thousand were drawn long before, and reading them back
// makes each encoding somewhat dearer, so a ratio a little under 1 is no error of measurement.
void BM_EncodeAndWrite(benchmark::State& State) {
    const cli::BatchJob Job = MakeJob(Files().Root() / "encode");
    std::vector<std::unique_ptr<vcl::TBitmap>> Bitmaps;
    std::vector<std::string> Paths;
    TBarcodeBmp Barcode(nullptr);
    Barcode.SetBarcodeType(Job.Symbol.Type);
    Barcode.SetScale(Job.Symbol.Scale);
    Barcode.SetHeight(Job.Symbol.Height);
    Barcode.SetInterpret(Job.Symbol.Interpret);
    for (int i = 1; i <= kRecords; ++i) {
        Barcode.SetBarcodeText(CodeOf(i));
        Bitmaps.push_back(std::make_unique<vcl::TBitmap>());
        Bitmaps.back()->Assign(Barcode.GetBitmap());
        Paths.push_back(Job.Directory + "/" + std::to_string(i) + ".png");
    }
    cli::PngEncoder Encoder;
    for (auto _ : State) {
        Empty(State, Job.Directory);
        for (std::size_t i = 0; i < Bitmaps.size(); ++i) {
            const std::string_view Bytes = Encoder.Encode(*Bitmaps[i], Job.Dpi);
            const int Fd = ::open(Paths[i].c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (Fd < 0 ||
                ::write(Fd, Bytes.data(), Bytes.size()) != static_cast<ssize_t>(Bytes.size()))
                State.SkipWithError("cannot write the reference files");
            ::close(Fd);
        }
    }
    State.SetItemsProcessed(State.iterations() * kRecords);
}

} // namespace

BENCHMARK(BM_EncodeAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Batch)->Unit(benchmark::kMillisecond);
