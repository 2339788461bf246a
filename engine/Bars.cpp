// The bar primitive: bars onto a canvas, or collected and painted band by band.
#include "engine/detail/Bars.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "host/detail/Pixels.h"

namespace lumivex::detail {

CanvasBars::CanvasBars(vcl::TCanvas& Canvas)
    : FCanvas(Canvas), FSavedColor(Canvas.GetBrush().GetColor()),
      FSavedStyle(Canvas.GetBrush().GetStyle()) {
    FCanvas.GetBrush().SetColor(vcl::clBlack);
    FCanvas.GetBrush().SetStyle(vcl::bsSolid);
}

CanvasBars::~CanvasBars() {
    FCanvas.GetBrush().SetColor(FSavedColor);
    FCanvas.GetBrush().SetStyle(FSavedStyle);
}

namespace {
// Coordinates beyond the int range lie beyond any bitmap; clamping them keeps what is covered.
int ToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}
} // namespace

void CanvasBars::Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
    FCanvas.Rectangle(ToInt(X1), ToInt(Y1), ToInt(X2), ToInt(Y2));
}

void RasterBars::Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
    if (X1 < X2 && Y1 < Y2) FBoxes.push_back({X1, Y1, X2, Y2});
}

void RasterBars::Paint(vcl::TBitmap& Bitmap, vcl::TColor Background) const {
    const int W = Bitmap.GetWidth(), H = Bitmap.GetHeight();
    if (W == 0 || H == 0) return;
    const vcl::TPixelFormat fmt = Bitmap.GetPixelFormat();
    const vcl::detail::PixelValue bg = vcl::detail::ToPixel(fmt, Background);
    const vcl::detail::PixelValue ink = vcl::detail::ToPixel(fmt, vcl::clBlack);

    // Clip the bars and gather the rows where the set of bars crossing a row changes.
    std::vector<Box> boxes;
    std::vector<std::int64_t> cuts{0, H};
    for (const Box& b : FBoxes) {
        const Box c{std::clamp<std::int64_t>(b.x1, 0, W), std::clamp<std::int64_t>(b.y1, 0, H),
                    std::clamp<std::int64_t>(b.x2, 0, W), std::clamp<std::int64_t>(b.y2, 0, H)};
        if (c.x1 < c.x2 && c.y1 < c.y2) {
            boxes.push_back(c);
            cuts.push_back(c.y1);
            cuts.push_back(c.y2);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    const std::size_t rowBytes = Bitmap.GetRowBytes();
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const int y1 = static_cast<int>(cuts[k]), y2 = static_cast<int>(cuts[k + 1]);
        std::uint8_t* first = Bitmap.ScanLine(y1);
        vcl::detail::FillSpan(fmt, first, 0, W, bg);
        for (const Box& b : boxes)
            if (b.y1 <= y1 && b.y2 >= y2)
                vcl::detail::FillSpan(fmt, first, static_cast<int>(b.x1), static_cast<int>(b.x2),
                                      ink);
        for (int y = y1 + 1; y < y2; ++y)
            std::memcpy(Bitmap.ScanLine(y), first, rowBytes);
    }
}

} // namespace lumivex::detail
