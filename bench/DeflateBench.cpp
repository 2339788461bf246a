// What zlib's parameters do to the one-call PNG writer's deflate, on the filtered image data of
// labels across symbologies, scales and text: time per image and compressed bytes beside
// today's choice (libpng's: level 6, 32 kB window, memLevel 8, default strategy), each measured
// in the same run. The data are read back out of the writer's own files, so that the
// benchmark compresses what the writer compresses.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "components/BarcodeBmp.h"
#include "host/graphics/Graphics.h"

namespace {

using namespace lumivex;

struct Label {
    TBarCodeType Type;
    const char* Data;
    int Scale;
    bool Text;
    TbcRotate Rotate;
};

const Label kLabels[] = {
    {bcCode128, "LX-1007919", 1, true, bcNoRotate},
    {bcCode128, "LX-1007919", 1, false, bcNoRotate},
    {bcCode128, "LX-1007919", 3, true, bcNoRotate},
    {bcCode128, "LX-1007919", 2, true, bcRotate90},
    {bcEAN13, "400638133393", 2, true, bcNoRotate},
    {bcCode39, "CODE39-TEST", 2, true, bcNoRotate},
    {bcPOSTNET, "12345678901", 2, false, bcNoRotate},
    {bcUPCE, "123456", 5, true, bcRotate270},
};

struct Params {
    const char* Name;
    int Level, WindowBits, MemLevel, Strategy; // WindowBits 0: the least that finds every match
};

// Index order: the benchmark's argument. Row 0 is what the writer uses.
const Params kParams[] = {
    {"today", Z_DEFAULT_COMPRESSION, 15, 8, Z_DEFAULT_STRATEGY},
    {"window sized", Z_DEFAULT_COMPRESSION, 0, 8, Z_DEFAULT_STRATEGY},
    {"memLevel 1", Z_DEFAULT_COMPRESSION, 15, 1, Z_DEFAULT_STRATEGY},
    {"memLevel 5", Z_DEFAULT_COMPRESSION, 15, 5, Z_DEFAULT_STRATEGY},
    {"level 1", 1, 15, 8, Z_DEFAULT_STRATEGY},
    {"level 9", 9, 15, 8, Z_DEFAULT_STRATEGY},
    {"filtered", Z_DEFAULT_COMPRESSION, 15, 8, Z_FILTERED},
    {"rle", Z_DEFAULT_COMPRESSION, 15, 8, Z_RLE},
};

std::uint32_t Get32(const std::string& S, std::size_t At) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(S[At])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(S[At + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(S[At + 2])) << 8 |
           static_cast<unsigned char>(S[At + 3]);
}

// The filtered rows of the label, as the writer hands them to zlib.
std::vector<std::uint8_t> FilteredImage(const Label& L) {
    TBarcodeBmp Barcode(nullptr);
    Barcode.SetBarcodeType(L.Type);
    Barcode.SetScale(L.Scale);
    Barcode.SetInterpret(L.Text);
    Barcode.SetRotate(L.Rotate);
    Barcode.SetBarcodeText(L.Data);
    std::ostringstream Png;
    vcl::SaveBitmapToPng(Barcode.GetBitmap(), Png);
    const std::string F = Png.str();
    std::string Idat;
    for (std::size_t At = 8; At + 12 <= F.size();) {
        const std::uint32_t Length = Get32(F, At);
        if (F.compare(At + 4, 4, "IDAT") == 0)
            Idat += F.substr(At + 8, Length);
        At += 12 + Length;
    }
    std::vector<std::uint8_t> Raw(std::size_t{64} << 20);
    uLongf Size = Raw.size();
    if (uncompress(Raw.data(), &Size, reinterpret_cast<const Bytef*>(Idat.data()), Idat.size()) !=
        Z_OK)
        std::abort();
    Raw.resize(Size);
    return Raw;
}

int WindowBitsFor(std::size_t Size) {
    int Bits = 9;
    while (Bits < 15 && (std::size_t{1} << Bits) < Size + 262)
        ++Bits;
    return Bits;
}

// Every label once per iteration, each stream reset as the writer resets its own.
void BM_Deflate(benchmark::State& State) {
    const Params& P = kParams[State.range(0)];
    std::vector<std::vector<std::uint8_t>> Images;
    for (const Label& L : kLabels)
        Images.push_back(FilteredImage(L));
    std::vector<z_stream> Streams(Images.size());
    std::vector<std::uint8_t> Out(std::size_t{1} << 20);
    for (std::size_t i = 0; i < Images.size(); ++i) {
        const int Bits = P.WindowBits ? P.WindowBits : WindowBitsFor(Images[i].size());
        if (deflateInit2(&Streams[i], P.Level, Z_DEFLATED, Bits, P.MemLevel, P.Strategy) != Z_OK)
            std::abort();
    }
    std::size_t Bytes = 0;
    for (auto _ : State) {
        Bytes = 0;
        for (std::size_t i = 0; i < Images.size(); ++i) {
            z_stream& Z = Streams[i];
            deflateReset(&Z);
            Z.next_in = Images[i].data();
            Z.avail_in = static_cast<uInt>(Images[i].size());
            Z.next_out = Out.data();
            Z.avail_out = static_cast<uInt>(Out.size());
            if (deflate(&Z, Z_FINISH) != Z_STREAM_END)
                std::abort();
            Bytes += Z.total_out;
        }
        benchmark::DoNotOptimize(Out.data());
    }
    for (z_stream& Z : Streams)
        deflateEnd(&Z);
    State.counters["bytes"] = static_cast<double>(Bytes);
    State.counters["per_image"] = benchmark::Counter(static_cast<double>(Images.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
    State.SetLabel(P.Name);
}

} // namespace

BENCHMARK(BM_Deflate)->DenseRange(0, static_cast<int>(std::size(kParams)) - 1);
