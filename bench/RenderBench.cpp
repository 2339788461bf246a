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

} // namespace

BENCHMARK(BM_Memset);
BENCHMARK(BM_Memcpy);
BENCHMARK_CAPTURE(BM_CreateBC, bcNoRotate, lumivex::bcNoRotate);
BENCHMARK_CAPTURE(BM_CreateBC, bcRotate90, lumivex::bcRotate90);
BENCHMARK_CAPTURE(BM_CreateBC, bcRotate180, lumivex::bcRotate180);
BENCHMARK_CAPTURE(BM_CreateBC, bcRotate270, lumivex::bcRotate270);
