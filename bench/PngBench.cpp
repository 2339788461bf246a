// PNG output of typical label bitmaps: the one-call writer (zlib on the whole filtered image)
// beside the former row-by-row libpng writer and a memset of the same bitmap's pixels, each
// measured in the same run; then N labels written into files on /tmp as a batch writes them
// (encode, temporary file, rename), by either writer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "components/BarcodeBmp.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/detail/Png.h"
#include "host/sysutils/AtomicFile.h"

namespace {

using namespace lumivex;
namespace fs = std::filesystem;

struct Label {
    const char* Name;
    TBarCodeType Type;
    const char* Data;
    int Scale, Height;
    bool Text;
    TbcRotate Rotate;
};

// Index order: the benchmarks' first argument.
const Label kLabels[] = {
    {"code128", bcCode128, "LX-1007919", 2, 60, true, bcNoRotate},
    {"code128-notext", bcCode128, "LX-1007919", 2, 60, false, bcNoRotate},
    {"ean13", bcEAN13, "400638133393", 2, 50, true, bcNoRotate},
    {"code128-90", bcCode128, "LX-1007919", 2, 60, true, bcRotate90},
    {"large", bcCode128, "LARGE-0123456789-ABCDEFGHIJ", 8, 600, true, bcNoRotate},
};

std::unique_ptr<vcl::TBitmap> Render(const Label& L, const std::string& Data) {
    TBarcodeBmp Barcode(nullptr);
    Barcode.SetBarcodeType(L.Type);
    Barcode.SetScale(L.Scale);
    Barcode.SetHeight(L.Height);
    Barcode.SetInterpret(L.Text);
    Barcode.SetRotate(L.Rotate);
    Barcode.SetBarcodeText(Data);
    auto B = std::make_unique<vcl::TBitmap>();
    B->Assign(Barcode.GetBitmap());
    return B;
}

// A stream into one reused string, as the batch encodes.
class Sink : public std::streambuf {
public:
    std::string Bytes;

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            Bytes.push_back(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Bytes.append(s, static_cast<std::size_t>(n));
        return n;
    }
};

// 0: the one-call writer; 1: the former row-by-row writer.
void Encode(int Writer, const vcl::TBitmap& B, std::ostream& S) {
    if (Writer == 0)
        vcl::SaveBitmapToPng(B, S);
    else
        vcl::detail::SaveBitmapToPngRowByRow(B, S, 0);
}

void BM_Memset(benchmark::State& State) {
    const auto B = Render(kLabels[State.range(0)], kLabels[State.range(0)].Data);
    for (auto _ : State)
        for (int y = 0; y < B->GetHeight(); ++y) {
            std::memset(B->ScanLine(y), vcl::palette::WhiteIndex, B->GetRowBytes());
            benchmark::ClobberMemory();
        }
    State.SetLabel(kLabels[State.range(0)].Name);
}

void BM_Png(benchmark::State& State) {
    const Label& L = kLabels[State.range(0)];
    const auto B = Render(L, L.Data);
    Sink Out;
    std::ostream S(&Out);
    for (auto _ : State) {
        Out.Bytes.clear();
        Encode(static_cast<int>(State.range(1)), *B, S);
        benchmark::DoNotOptimize(Out.Bytes.data());
    }
    State.counters["bytes"] = static_cast<double>(Out.Bytes.size());
    State.SetLabel(std::string(L.Name) + (State.range(1) ? " row-by-row" : " one-call"));
}

constexpr int kRecords = 1000;

// N Code 128 labels of distinct data, encoded and written each through a temporary file and a
// rename into an empty directory, without a sync: what a batch does after drawing.
void BM_Files(benchmark::State& State) {
    std::vector<std::unique_ptr<vcl::TBitmap>> Bitmaps;
    std::vector<std::string> Paths;
    std::string Root = (fs::temp_directory_path() / "lumivex-pngbench-XXXXXX").string();
    if (::mkdtemp(Root.data()) == nullptr)
        std::abort();
    for (int i = 1; i <= kRecords; ++i) {
        Bitmaps.push_back(Render(kLabels[0], "LX-" + std::to_string(1000000 + i * 7919)));
        Paths.push_back(Root + "/" + std::to_string(i) + ".png");
    }
    Sink Out;
    std::ostream S(&Out);
    const vcl::TAtomicWriteOptions Mode{/*Sync*/ false, /*Replace*/ false};
    for (auto _ : State) {
        State.PauseTiming();
        fs::remove_all(Root);
        fs::create_directories(Root);
        State.ResumeTiming();
        for (int i = 0; i < kRecords; ++i) {
            Out.Bytes.clear();
            Encode(static_cast<int>(State.range(0)), *Bitmaps[static_cast<std::size_t>(i)], S);
            vcl::WriteFileAtomically(Paths[static_cast<std::size_t>(i)], Out.Bytes, Mode);
        }
    }
    fs::remove_all(Root);
    State.SetItemsProcessed(State.iterations() * kRecords);
    State.SetLabel(State.range(0) ? "row-by-row" : "one-call");
}

} // namespace

BENCHMARK(BM_Memset)->DenseRange(0, 4);
BENCHMARK(BM_Png)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}});
BENCHMARK(BM_Files)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
