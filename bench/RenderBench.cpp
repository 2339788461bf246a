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

// The same render with its text printed: the same string every time (a control repainting), or a
// different one every time (a batch of labels), as many strings as a cache of strings would not
// hold. All have the length of kText, so the bitmap and the memset stay the same.
void BM_CreateBCText(benchmark::State& State, TbcRotate Rotate, bool Changing) {
    std::vector<std::string> texts;
    for (int i = 0; i < (Changing ? 1000 : 1); ++i) {
        std::string t = kText;
        for (int k = 0, n = i; k < 4; ++k, n /= 10)
            t[t.size() - 1 - k] = static_cast<char>('0' + n % 10);
        texts.push_back(t);
    }
    vcl::TBitmap bmp;
    bmp.SetMonochrome(true);
    bmp.SetPixelFormat(vcl::pf8bit);
    bmp.GetCanvas().GetFont().SetName("Courier New");
    std::size_t next = 0;
    for (auto _ : State) {
        bmp.SetHeight(kHeight);
        CreateBC(bmp, bcCode128, kScale, kHeight, texts[next], true, Rotate);
        next = next + 1 == texts.size() ? 0 : next + 1;
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

// A one-row bitmap as wide as the bitmap bound lets it be, beside a memset of its bytes: where a
// fixed cost per pixel row or a second pass over the pixels would show.
constexpr int kBoundScale = 923904;

std::int64_t BoundBytes() {
    return CalcWidth(kBoundScale, bcCode128, kText);
}

void BM_OneRowAtBound(benchmark::State& State) {
    vcl::TBitmap bmp;
    bmp.SetMonochrome(true);
    bmp.SetPixelFormat(vcl::pf8bit);
    for (auto _ : State) {
        bmp.SetHeight(1);
        CreateBC(bmp, bcCode128, kBoundScale, 1, kText, false, bcNoRotate);
        benchmark::DoNotOptimize(bmp.ScanLine(0));
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * BoundBytes());
}

void BM_MemsetOneRowAtBound(benchmark::State& State) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(BoundBytes()));
    for (auto _ : State) {
        std::memset(pixels.data(), 0xFF, pixels.size());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    State.SetBytesProcessed(State.iterations() * BoundBytes());
}

} // namespace

BENCHMARK(BM_MemsetOneRowAtBound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneRowAtBound)->Unit(benchmark::kMillisecond);

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

BENCHMARK_CAPTURE(BM_CreateBCText, bcNoRotate_same, lumivex::bcNoRotate, false);
BENCHMARK_CAPTURE(BM_CreateBCText, bcNoRotate_changing, lumivex::bcNoRotate, true);
BENCHMARK_CAPTURE(BM_CreateBCText, bcRotate90_same, lumivex::bcRotate90, false);
BENCHMARK_CAPTURE(BM_CreateBCText, bcRotate90_changing, lumivex::bcRotate90, true);
BENCHMARK_CAPTURE(BM_CreateBCText, bcRotate180_same, lumivex::bcRotate180, false);
BENCHMARK_CAPTURE(BM_CreateBCText, bcRotate180_changing, lumivex::bcRotate180, true);
BENCHMARK_CAPTURE(BM_CreateBCText, bcRotate270_same, lumivex::bcRotate270, false);
BENCHMARK_CAPTURE(BM_CreateBCText, bcRotate270_changing, lumivex::bcRotate270, true);
