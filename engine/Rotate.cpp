// Quarter and half turns of a bitmap, 8-bit pixels moved sixteen at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/Barcode.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumivex {

namespace {

// Every destination pixel is written below, so the destination is sized without clearing it.
// Dest's former pixels go first: converting them would only hold memory they are about to give
// back.
void Prepare(vcl::TBitmap& Source, vcl::TBitmap& Dest, int Width, int Height) {
    Source.SetPixelFormat(vcl::pf8bit);
    Dest.Reallocate(0, 0);
    Dest.SetPixelFormat(vcl::pf8bit);
    Dest.Reallocate(Width, Height);
}

// Rows are reached through the first row's address and the row length: ScanLine checks its
// argument on every call, which costs more than the copy of a pixel.
struct Plane {
    std::uint8_t* p;
    std::ptrdiff_t stride;
    std::uint8_t* Row(std::ptrdiff_t y) const { return p + y * stride; }
};

Plane PlaneOf(vcl::TBitmap& B) {
    return {B.ScanLine(0), static_cast<std::ptrdiff_t>(B.GetRowBytes())};
}

constexpr int kTile = 16;

// Moves the 16 x 16 source tile at (X0, Y0) to the destination. Column X0 + j of the tile, read
// from row Y0 downwards (Reverse: from row Y0 + 15 upwards), becomes the 16 bytes at Dst[j].
void TransposeTile(const Plane& Src, int X0, int Y0, bool Reverse, std::uint8_t* const Dst[kTile]) {
#if defined(__SSE2__)
    __m128i r[kTile];
    for (int i = 0; i < kTile; ++i)
        r[i] = _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(Src.Row(Y0 + (Reverse ? kTile - 1 - i : i)) + X0));
    // Four rounds of interleaving, each doubling the run of bytes that already belong to one
    // column: bytes, then pairs, quads and eights.
    __m128i b[kTile], c[kTile];
    for (int i = 0; i < kTile; i += 2) {
        b[i] = _mm_unpacklo_epi8(r[i], r[i + 1]);
        b[i + 1] = _mm_unpackhi_epi8(r[i], r[i + 1]);
    }
    for (int g = 0; g < kTile; g += 4) {
        c[g] = _mm_unpacklo_epi16(b[g], b[g + 2]);
        c[g + 1] = _mm_unpackhi_epi16(b[g], b[g + 2]);
        c[g + 2] = _mm_unpacklo_epi16(b[g + 1], b[g + 3]);
        c[g + 3] = _mm_unpackhi_epi16(b[g + 1], b[g + 3]);
    }
    // c[4q + k] holds columns 4k..4k+3 of rows 4q..4q+3.
    for (int k = 0; k < 4; ++k) {
        const __m128i lo0 = _mm_unpacklo_epi32(c[k], c[4 + k]);
        const __m128i hi0 = _mm_unpackhi_epi32(c[k], c[4 + k]);
        const __m128i lo1 = _mm_unpacklo_epi32(c[8 + k], c[12 + k]);
        const __m128i hi1 = _mm_unpackhi_epi32(c[8 + k], c[12 + k]);
        // lo0: columns 4k and 4k+1 of rows 0..7; lo1 the same of rows 8..15.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst[4 * k]), _mm_unpacklo_epi64(lo0, lo1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst[4 * k + 1]), _mm_unpackhi_epi64(lo0, lo1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst[4 * k + 2]), _mm_unpacklo_epi64(hi0, hi1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst[4 * k + 3]), _mm_unpackhi_epi64(hi0, hi1));
    }
#else
    for (int j = 0; j < kTile; ++j)
        for (int i = 0; i < kTile; ++i)
            Dst[j][i] = Src.Row(Y0 + (Reverse ? kTile - 1 - i : i))[X0 + j];
#endif
}

// 90: (x, y) -> (H - 1 - y, x); 270: (x, y) -> (y, W - 1 - x). A destination row is a source
// column, so both are transposes; 90 reads the column bottom up, 270 writes the rows bottom up.
template <bool Clockwise> void QuarterTurn(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    const int W = Source.GetWidth(), H = Source.GetHeight();
    Prepare(Source, Dest, H, W);
    if (W == 0 || H == 0)
        return;
    const Plane src = PlaneOf(Source), dst = PlaneOf(Dest);
    auto destRow = [&](int x) { return dst.Row(Clockwise ? x : W - 1 - x); };
    auto destCol = [&](int y) { return Clockwise ? H - 1 - y : y; };

    const int fullW = W - W % kTile, fullH = H - H % kTile;
    for (int y0 = 0; y0 < fullH; y0 += kTile) {
        // The tile's first destination column: where its last (90) or first (270) row lands.
        const int col = Clockwise ? H - kTile - y0 : y0;
        for (int x0 = 0; x0 < fullW; x0 += kTile) {
            std::uint8_t* rows[kTile];
            for (int j = 0; j < kTile; ++j)
                rows[j] = destRow(x0 + j) + col;
            TransposeTile(src, x0, y0, Clockwise, rows);
        }
    }
    // The strips that no whole tile covers: the right-hand columns, then the bottom rows.
    for (int x = fullW; x < W; ++x) {
        std::uint8_t* d = destRow(x);
        for (int y = 0; y < H; ++y)
            d[destCol(y)] = src.Row(y)[x];
    }
    for (int y = fullH; y < H; ++y) {
        const std::uint8_t* s = src.Row(y);
        const int c = destCol(y);
        for (int x = 0; x < fullW; ++x)
            destRow(x)[c] = s[x];
    }
}

// Dst[i] = Src[N - 1 - i] for N bytes.
void ReverseBytes(const std::uint8_t* Src, std::uint8_t* Dst, int N) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= N; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + N - 16 - i));
        // Dwords reversed, then the words in each dword, then the bytes in each word.
        v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
        v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
        v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
        v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), v);
    }
#endif
    for (; i < N; ++i)
        Dst[i] = Src[N - 1 - i];
}

void HalfTurn(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    const int W = Source.GetWidth(), H = Source.GetHeight();
    Prepare(Source, Dest, W, H);
    if (W == 0 || H == 0)
        return;
    const Plane src = PlaneOf(Source), dst = PlaneOf(Dest);
    for (int y = 0; y < H; ++y)
        ReverseBytes(src.Row(y), dst.Row(H - 1 - y), W);
}

// Turning a bitmap into itself reads from a second bitmap that takes over its pixels: the
// destination's new size would otherwise overwrite the source while it is read. If the turn
// fails, the bitmap gets its pixels back (in pf8bit if they were already converted).
void Guarded(vcl::TBitmap& Source, vcl::TBitmap& Dest, void (*Turn)(vcl::TBitmap&, vcl::TBitmap&)) {
    if (&Source != &Dest) {
        Turn(Source, Dest);
        return;
    }
    vcl::TBitmap source;
    source.TakePixels(Source);
    try {
        Turn(source, Dest);
    } catch (...) {
        Dest.TakePixels(source);
        throw;
    }
}

} // namespace

void RotateBmp90(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    Guarded(Source, Dest, QuarterTurn<true>);
}

void RotateBmp180(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    Guarded(Source, Dest, HalfTurn);
}

void RotateBmp270(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    Guarded(Source, Dest, QuarterTurn<false>);
}

} // namespace lumivex
