// Drawing on a bitmap's canvas, clipped to the bitmap.
#include <algorithm>
#include <cstring>
#include <vector>

#include "host/graphics/Graphics.h"
#include "host/graphics/Pixels.h"

namespace vcl {

namespace {

struct Clipped {
    int x1, y1, x2, y2;
    bool Empty() const { return x1 >= x2 || y1 >= y2; }
};

Clipped Clip(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, int W, int H) {
    return {static_cast<int>(std::clamp<std::int64_t>(x1, 0, W)),
            static_cast<int>(std::clamp<std::int64_t>(y1, 0, H)),
            static_cast<int>(std::clamp<std::int64_t>(x2, 0, W)),
            static_cast<int>(std::clamp<std::int64_t>(y2, 0, H))};
}

// Fills a clipped area: the first row span by span, the others as copies of it.
void FillArea(TBitmap& Bmp, const Clipped& c, TColor Color) {
    if (c.Empty())
        return;
    const TPixelFormat fmt = Bmp.GetPixelFormat();
    const PixelValue v = ToPixel(fmt, Color);
    for (int y = c.y1; y < c.y2; ++y)
        FillSpan(fmt, Bmp.ScanLine(y), c.x1, c.x2, v);
}

} // namespace

void TCanvas::FillRect(const TRect& R) {
    if (FBrush.GetStyle() == bsClear)
        return;
    FillArea(*FBitmap, Clip(R.Left, R.Top, R.Right, R.Bottom, FBitmap->FWidth, FBitmap->FHeight),
             FBrush.GetColor());
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    std::int64_t x1 = std::min(X1, X2), x2 = std::max(X1, X2);
    std::int64_t y1 = std::min(Y1, Y2), y2 = std::max(Y1, Y2);
    if (x1 == x2 || y1 == y2)
        return;
    const int W = FBitmap->FWidth, H = FBitmap->FHeight;
    const bool pen = FPen.GetStyle() != psClear;
    if (FBrush.GetStyle() != bsClear) {
        // Inside and outline in one colour (the common case of a bar) is one fill.
        FillArea(*FBitmap, Clip(x1, y1, x2, y2, W, H), FBrush.GetColor());
        if (!pen || (FPen.GetColor() & 0xFFFFFF) == (FBrush.GetColor() & 0xFFFFFF))
            return;
    }
    if (!pen)
        return;
    const std::int64_t w = FPen.GetWidth();
    const TColor pc = FPen.GetColor();
    FillArea(*FBitmap, Clip(x1, y1, x2, std::min(y1 + w, y2), W, H), pc);
    FillArea(*FBitmap, Clip(x1, std::max(y2 - w, y1), x2, y2, W, H), pc);
    FillArea(*FBitmap, Clip(x1, y1, std::min(x1 + w, x2), y2, W, H), pc);
    FillArea(*FBitmap, Clip(std::max(x2 - w, x1), y1, x2, y2, W, H), pc);
}

void TCanvas::Draw(int X, int Y, const TBitmap& Source) {
    if (&Source == FBitmap) {
        TBitmap copy;
        copy.Assign(Source);
        Draw(X, Y, copy);
        return;
    }
    TBitmap& dst = *FBitmap;
    const Clipped c = Clip(X, Y, std::int64_t{X} + Source.FWidth, std::int64_t{Y} + Source.FHeight,
                           dst.FWidth, dst.FHeight);
    if (c.Empty())
        return;
    const TPixelFormat sf = Source.FPixelFormat, df = dst.FPixelFormat;
    const int sx = static_cast<int>(c.x1 - std::int64_t{X});
    const int n = c.x2 - c.x1;
    std::vector<std::uint8_t> tmp;
    for (int y = c.y1; y < c.y2; ++y) {
        const std::uint8_t* src = Source.ScanLine(static_cast<int>(y - std::int64_t{Y}));
        std::uint8_t* row = dst.ScanLine(y);
        if (sf == df && sf != pf1bit) {
            const std::size_t bpp = sf == pf8bit ? 1 : 3;
            std::memcpy(row + bpp * c.x1, src + bpp * sx, bpp * n);
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const TColor col = PixelColorAt(sf, src, sx + i);
            SetPixelValue(df, row, c.x1 + i, ToPixel(df, col));
        }
    }
}

TColor TCanvas::GetPixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= FBitmap->FWidth || Y >= FBitmap->FHeight)
        return -1;
    return FBitmap->PixelColor(X, Y);
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    if (X < 0 || Y < 0 || X >= FBitmap->FWidth || Y >= FBitmap->FHeight)
        return;
    const TPixelFormat f = FBitmap->FPixelFormat;
    SetPixelValue(f, FBitmap->ScanLine(Y), X, ToPixel(f, Color));
}

} // namespace vcl
