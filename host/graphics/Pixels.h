#pragma once
// Pixel values and row spans in each pixel format: what the bitmap, the canvas and the file
// formats use, and what code that writes scan lines itself (the bar painter) needs to write them
// as the canvas would.

#include <cstdint>
#include <cstring>

#include "host/graphics/Graphics.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vcl {

// memset for the short runs that turned pictures are made of (a turned row is a column of the
// picture, some tens or hundreds of bytes), where the call costs as much as the stores: blocks
// that may overlap, sixteen bytes at most, written in line.
inline void FillBytes(std::uint8_t* P, std::uint8_t V, std::size_t N) {
    if (N >= 16 && N <= 256) {
#if defined(__SSE2__)
        const __m128i v = _mm_set1_epi8(static_cast<char>(V));
        for (std::size_t i = 0; i + 16 < N; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(P + i), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(P + N - 16), v);
        return;
#endif
    } else if (N >= 8 && N < 16) {
        const std::uint64_t v = 0x0101010101010101u * V;
        std::memcpy(P, &v, 8);
        std::memcpy(P + N - 8, &v, 8);
        return;
    } else if (N >= 4 && N < 8) {
        const std::uint32_t v = 0x01010101u * V;
        std::memcpy(P, &v, 4);
        std::memcpy(P + N - 4, &v, 4);
        return;
    } else if (N < 4) {
        for (std::size_t i = 0; i < N; ++i)
            P[i] = V;
        return;
    }
    std::memset(P, V, N);
}

// The bytes past a repeating pattern's period that FillRepeat reads: its block holds the period
// and then this many of its first bytes again.
inline constexpr std::size_t RepeatSlack = 64;

// Fills N bytes at P with V, in aligned blocks of the widest stores the processor has. For the
// runs of whole turned rows that a turned picture is written in (hundreds to thousands of bytes),
// where stores that straddle cache lines, and memset's call, cost more than the bytes.
void FillRun(std::uint8_t* P, std::uint8_t V, std::size_t N);

// Writes N bytes at P that repeat with Period (at least RepeatSlack): byte t is
// Block[t % Period]. Block holds Period + RepeatSlack bytes, the last RepeatSlack the same as the
// first. Rows of one pattern one after another, or a row copied down over the rows below it,
// written as FillRun writes a run; Block may be the first of those rows, followed by as much of
// the next one as is already written.
void FillRepeat(std::uint8_t* P, std::size_t N, const std::uint8_t* Block, std::size_t Period);

// The period of whole rows of RowBytes that FillRepeat can take: the fewest rows that reach
// RepeatSlack bytes.
inline std::size_t RepeatPeriod(std::size_t RowBytes) {
    return RowBytes >= RepeatSlack ? RowBytes : (RepeatSlack + RowBytes - 1) / RowBytes * RowBytes;
}

// A colour as stored in one pixel format: the palette index (pf8bit), the bit (pf1bit) or the
// blue, green and red bytes (pf24bit).
struct PixelValue {
    std::uint8_t b0 = 0, b1 = 0, b2 = 0;
};

inline PixelValue ToPixel(TPixelFormat Format, TColor C) {
    if (C < 0 || C > 0xFFFFFF)
        C = ColorToRGB(C);
    switch (Format) {
    case pf1bit: {
        const int r = GetRValue(C), g = GetGValue(C), b = GetBValue(C);
        const int toBlack = r * r + g * g + b * b;
        const int toWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
        return {static_cast<std::uint8_t>(toWhite < toBlack ? 1 : 0)};
    }
    case pf8bit:
        return {palette::IndexOf(C)};
    default:
        return {static_cast<std::uint8_t>(GetBValue(C)), static_cast<std::uint8_t>(GetGValue(C)),
                static_cast<std::uint8_t>(GetRValue(C))};
    }
}

inline TColor PixelColorAt(TPixelFormat Format, const std::uint8_t* Row, int X) {
    switch (Format) {
    case pf1bit:
        return (Row[X >> 3] & (0x80 >> (X & 7))) ? clWhite : clBlack;
    case pf8bit:
        return palette::Color(Row[X]);
    default:
        return RGB(Row[3 * X + 2], Row[3 * X + 1], Row[3 * X]);
    }
}

// Sets pixels X1..X2-1 of Row (already clipped to the row) to V.
inline void FillSpan(TPixelFormat Format, std::uint8_t* Row, int X1, int X2, PixelValue V) {
    if (X2 <= X1)
        return;
    switch (Format) {
    case pf1bit: {
        int x = X1;
        const std::uint8_t fill = V.b0 ? 0xFF : 0x00;
        while (x < X2 && (x & 7)) {
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
            Row[x >> 3] =
                static_cast<std::uint8_t>(V.b0 ? (Row[x >> 3] | bit) : (Row[x >> 3] & ~bit));
            ++x;
        }
        const int whole = (X2 - x) >> 3;
        std::memset(Row + (x >> 3), fill, static_cast<std::size_t>(whole));
        x += whole * 8;
        for (; x < X2; ++x) {
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
            Row[x >> 3] =
                static_cast<std::uint8_t>(V.b0 ? (Row[x >> 3] | bit) : (Row[x >> 3] & ~bit));
        }
        return;
    }
    case pf8bit:
        // Bars are a few pixels wide: a short loop beats the call.
        if (X2 - X1 <= 16) {
            for (int x = X1; x < X2; ++x)
                Row[x] = V.b0;
        } else {
            std::memset(Row + X1, V.b0, static_cast<std::size_t>(X2 - X1));
        }
        return;
    default: {
        std::uint8_t* p = Row + 3 * static_cast<std::size_t>(X1);
        const std::size_t total = 3 * static_cast<std::size_t>(X2 - X1);
        if (V.b0 == V.b1 && V.b1 == V.b2) {
            std::memset(p, V.b0, total);
            return;
        }
        p[0] = V.b0;
        p[1] = V.b1;
        p[2] = V.b2;
        // Doubling copies: the filled part grows 3, 6, 12, ... bytes.
        std::size_t done = 3;
        while (done < total) {
            const std::size_t n = done < total - done ? done : total - done;
            std::memcpy(p + done, p, n);
            done += n;
        }
        return;
    }
    }
}

inline void SetPixelValue(TPixelFormat Format, std::uint8_t* Row, int X, PixelValue V) {
    switch (Format) {
    case pf1bit: {
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (X & 7));
        Row[X >> 3] = static_cast<std::uint8_t>(V.b0 ? (Row[X >> 3] | bit) : (Row[X >> 3] & ~bit));
        return;
    }
    case pf8bit:
        Row[X] = V.b0;
        return;
    default:
        Row[3 * X] = V.b0;
        Row[3 * X + 1] = V.b1;
        Row[3 * X + 2] = V.b2;
        return;
    }
}

// Converts Width pixels of a row from one format to another.
void ConvertRow(TPixelFormat From, const std::uint8_t* Src, TPixelFormat To, std::uint8_t* Dst,
                int Width);

} // namespace vcl
