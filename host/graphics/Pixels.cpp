// Row conversion between pixel formats.
#include "host/graphics/Pixels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__SSE2__)
#include <immintrin.h>
#if defined(__GLIBC__) && __has_include(<sys/platform/x86.h>)
#include <sys/platform/x86.h>
#define LUMIVEX_GLIBC_CPU_FEATURES 1
#endif
#endif

namespace vcl {

namespace {

#if defined(__x86_64__) && defined(__SSE2__)
#define LUMIVEX_FILL_DISPATCH 1

// Each fill is built twice: with 32-byte AVX2 stores for processors that have them, and with the
// 16-byte SSE2 ones that every x86-64 processor has. A store that straddles two cache lines costs
// about two, so the stores between an unaligned one at each end are aligned.
template <std::size_t W> std::uint8_t* AlignedAfter(std::uint8_t* P) {
    return reinterpret_cast<std::uint8_t*>((reinterpret_cast<std::uintptr_t>(P) + W) &
                                           ~std::uintptr_t{W - 1});
}

// The offset into a pattern of Period of the byte Ahead bytes into it.
inline std::size_t Wrapped(std::size_t Ahead, std::size_t Period) {
    return Ahead >= Period ? Ahead - Period : Ahead;
}

__attribute__((target("avx2"))) void FillRunAvx2(std::uint8_t* P, std::uint8_t V, std::size_t N) {
    const __m256i v = _mm256_set1_epi8(static_cast<char>(V));
    std::uint8_t* const end = P + N;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(P), v);
    for (std::uint8_t* a = AlignedAfter<32>(P); a + 32 <= end; a += 32)
        _mm256_store_si256(reinterpret_cast<__m256i*>(a), v);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(end - 32), v);
}

__attribute__((target("avx2"))) void FillRepeatAvx2(std::uint8_t* P, std::size_t N,
                                                    const std::uint8_t* Block, std::size_t Period) {
    std::uint8_t* const end = P + N;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(P),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Block)));
    std::uint8_t* a = AlignedAfter<32>(P);
    for (std::size_t at = Wrapped(static_cast<std::size_t>(a - P), Period); a + 32 <= end;
         a += 32, at = Wrapped(at + 32, Period))
        _mm256_store_si256(reinterpret_cast<__m256i*>(a),
                           _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Block + at)));
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(end - 32),
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Block + (N - 32) % Period)));
}

void FillRunSse2(std::uint8_t* P, std::uint8_t V, std::size_t N) {
    const __m128i v = _mm_set1_epi8(static_cast<char>(V));
    std::uint8_t* const end = P + N;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(P), v);
    for (std::uint8_t* a = AlignedAfter<16>(P); a + 16 <= end; a += 16)
        _mm_store_si128(reinterpret_cast<__m128i*>(a), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), v);
}

void FillRepeatSse2(std::uint8_t* P, std::size_t N, const std::uint8_t* Block, std::size_t Period) {
    auto load = [](const std::uint8_t* Q) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(Q));
    };
    std::uint8_t* const end = P + N;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(P), load(Block));
    std::uint8_t* a = AlignedAfter<16>(P);
    for (std::size_t at = Wrapped(static_cast<std::size_t>(a - P), Period); a + 16 <= end;
         a += 16, at = Wrapped(at + 16, Period))
        _mm_store_si128(reinterpret_cast<__m128i*>(a), load(Block + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), load(Block + (N - 16) % Period));
}

#endif

bool HasAvx2() {
#if defined(LUMIVEX_FILL_DISPATCH)
    // glibc's answer, which it found when the program started; the compiler's own
    // (__builtin_cpu_supports) would bring libgcc's start-up probe of the processor into every
    // program linked with a static libgcc.
#if defined(LUMIVEX_GLIBC_CPU_FEATURES)
    static const bool avx2 = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool avx2 = __builtin_cpu_supports("avx2");
#endif
    return avx2;
#else
    return false;
#endif
}

} // namespace

void FillRun(std::uint8_t* P, std::uint8_t V, std::size_t N) {
    if (N < 32) {
        FillBytes(P, V, N);
        return;
    }
#if defined(LUMIVEX_FILL_DISPATCH)
    if (HasAvx2()) {
        FillRunAvx2(P, V, N);
        return;
    }
    FillRunSse2(P, V, N);
#else
    std::memset(P, V, N);
#endif
}

void FillRepeat(std::uint8_t* P, std::size_t N, const std::uint8_t* Block, std::size_t Period) {
    if (N < 32) {
        std::memcpy(P, Block, N);
        return;
    }
#if defined(LUMIVEX_FILL_DISPATCH)
    if (HasAvx2()) {
        FillRepeatAvx2(P, N, Block, Period);
        return;
    }
    FillRepeatSse2(P, N, Block, Period);
#else
    for (std::size_t done = 0; done < N; done += Period)
        std::memcpy(P + done, Block, std::min(Period, N - done));
#endif
}

void ConvertRow(TPixelFormat From, const std::uint8_t* Src, TPixelFormat To, std::uint8_t* Dst,
                int Width) {
    if (From == To) {
        std::memcpy(Dst, Src,
                    From == pf1bit   ? (static_cast<std::size_t>(Width) + 7) / 8
                    : From == pf8bit ? static_cast<std::size_t>(Width)
                                     : 3 * static_cast<std::size_t>(Width));
        return;
    }
    if (To == pf8bit && From == pf1bit) {
        for (int x = 0; x < Width; ++x)
            Dst[x] = (Src[x >> 3] & (0x80 >> (x & 7))) ? palette::WhiteIndex : palette::BlackIndex;
        return;
    }
    // Colour by colour, remembering the last conversion: images here hold few colours.
    TColor last = -1;
    PixelValue lastValue{};
    for (int x = 0; x < Width; ++x) {
        const TColor c = PixelColorAt(From, Src, x);
        if (c != last) {
            last = c;
            lastValue = ToPixel(To, c);
        }
        SetPixelValue(To, Dst, x, lastValue);
    }
}

} // namespace vcl
