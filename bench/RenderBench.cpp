// What a component's re-render costs, beside a memset and a memcpy of the same bitmap's bytes
// measured in the same run, so that the figures compare across machines.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Barcode.h"

namespace {

using namespace lumivex;

// Twenty bytes that take sets B and C and a change between them.
const std::string kText = "Lumivex-2026/ab12345";
constexpr int kScale = 2;
constexpr int kHeight = 100;

// Every case writes the same number of pixels, one byte each: the unturned bitmap's.
std::int64_t BitmapBytes() {
    return std::int64_t{CalcWidth(kScale, bcCode128, kText)} * kHeight;
}

// As a component renders: its bitmap made once, monochrome then 8-bit, and its height set again
// before every call (a turned bitmap comes back with its sides swapped).
void BM_CreateBC(benchmark::State& State, TbcRotate Rotate) {
    vcl::TBitmap bmp;
    bmp.SetMonochrome(true);
    bmp.SetPixelFormat(vcl::pf8bit);
    for (auto _ : State) {
        bmp.SetHeight(kHeight);
        CreateBC(bmp, bcCode128, kScale, kHeight, kText, false, Rotate);
        benchmark::DoNotOptimize(bmp.ScanLine(0));
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * BitmapBytes());
}

void BM_Memset(benchmark::State& State) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(BitmapBytes()));
    for (auto _ : State) {
        std::memset(pixels.data(), 0xFF, pixels.size());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * BitmapBytes());
}

void BM_Memcpy(benchmark::State& State) {
    const std::vector<std::uint8_t> source(static_cast<std::size_t>(BitmapBytes()), 0xFF);
    std::vector<std::uint8_t> dest(source.size());
    for (auto _ : State) {
        std::memcpy(dest.data(), source.data(), source.size());
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * BitmapBytes());
}

// What the printed text adds: the same render with and without it, for a retail symbology (its
// digit groups) and Code 128 (one centred string), at the smallest and a large font.
void BM_Text(benchmark::State& State, TBarCodeType Type, const std::string& Text) {
    const int scale = static_cast<int>(State.range(0));
    const bool interpret = State.range(1) != 0;
    const int height = 50 * scale;
    vcl::TBitmap bmp;
    bmp.SetMonochrome(true);
    bmp.SetPixelFormat(vcl::pf8bit);
    bmp.GetCanvas().GetFont().SetName("Courier New");
    for (auto _ : State) {
        bmp.SetHeight(height);
        CreateBC(bmp, Type, scale, height, Text, interpret, bcNoRotate);
        benchmark::DoNotOptimize(bmp.ScanLine(0));
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_Text, EAN13, lumivex::bcEAN13, std::string("400638133393"))
    ->ArgNames({"scale", "text"})
    ->ArgsProduct({{1, 3}, {0, 1}});
BENCHMARK_CAPTURE(BM_Text, Code128, lumivex::bcCode128, kText)
    ->ArgNames({"scale", "text"})
    ->ArgsProduct({{1, 3}, {0, 1}});

BENCHMARK(BM_Memset);
BENCHMARK(BM_Memcpy);
BENCHMARK_CAPTURE(BM_CreateBC, bcNoRotate, lumivex::bcNoRotate);
BENCHMARK_CAPTURE(BM_CreateBC, bcRotate90, lumivex::bcRotate90);
BENCHMARK_CAPTURE(BM_CreateBC, bcRotate180, lumivex::bcRotate180);
BENCHMARK_CAPTURE(BM_CreateBC, bcRotate270, lumivex::bcRotate270);
