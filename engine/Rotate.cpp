// Quarter and half turns of a bitmap, copied in square blocks of 8-bit pixels.
#include <algorithm>
#include <cstring>

#include "engine/Barcode.h"

namespace lumivex {

namespace {

// Small enough that a block of source rows and a block of destination rows stay in the first
// level cache together.
constexpr int kBlock = 64;

void Prepare(vcl::TBitmap& Source, vcl::TBitmap& Dest, int Width, int Height) {
    Source.SetPixelFormat(vcl::pf8bit);
    Dest.SetPixelFormat(vcl::pf8bit);
    Dest.SetHeight(Height);
    Dest.SetWidth(Width);
}

// Dest pixel (DestX(x, y), DestY(x, y)) receives source pixel (x, y); the destination row is the
// source column, so both quarter turns are block transposes.
template <bool Clockwise> void QuarterTurn(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    const int W = Source.GetWidth(), H = Source.GetHeight();
    Prepare(Source, Dest, H, W);
    if (W == 0 || H == 0) return;
    const auto srcStride = static_cast<std::ptrdiff_t>(Source.GetRowBytes());
    const std::uint8_t* src0 = Source.ScanLine(0);
    for (int by = 0; by < H; by += kBlock) {
        const int ey = std::min(by + kBlock, H);
        for (int bx = 0; bx < W; bx += kBlock) {
            const int ex = std::min(bx + kBlock, W);
            for (int x = bx; x < ex; ++x) {
                // 90: (x, y) -> (H - 1 - y, x); 270: (x, y) -> (y, W - 1 - x).
                std::uint8_t* dst = Dest.ScanLine(Clockwise ? x : W - 1 - x);
                const std::uint8_t* src = src0 + by * srcStride + x;
                if constexpr (Clockwise) {
                    for (int y = by; y < ey; ++y, src += srcStride)
                        dst[H - 1 - y] = *src;
                } else {
                    for (int y = by; y < ey; ++y, src += srcStride)
                        dst[y] = *src;
                }
            }
        }
    }
}

void HalfTurn(vcl::TBitmap& Source, vcl::TBitmap& Dest) {
    const int W = Source.GetWidth(), H = Source.GetHeight();
    Prepare(Source, Dest, W, H);
    for (int y = 0; W != 0 && y < H; ++y) {
        const std::uint8_t* src = Source.ScanLine(y);
        std::reverse_copy(src, src + W, Dest.ScanLine(H - 1 - y));
    }
}

// Turning a bitmap into itself goes through a copy: the destination's new size would otherwise
// overwrite the source while it is read.
void Guarded(vcl::TBitmap& Source, vcl::TBitmap& Dest, void (*Turn)(vcl::TBitmap&, vcl::TBitmap&)) {
    if (&Source != &Dest) {
        Turn(Source, Dest);
        return;
    }
    vcl::TBitmap copy;
    copy.Assign(Source);
    Turn(copy, Dest);
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
