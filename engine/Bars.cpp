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

// A render collects some dozens of bars; the storage of the last render on this thread is taken
// again, so that rendering allocates nothing once it has run.
std::vector<RasterBars::Box>& RasterBars::Spare() {
    thread_local std::vector<Box> spare;
    return spare;
}

RasterBars::RasterBars() {
    FBoxes.swap(Spare());
    FBoxes.clear();
}

RasterBars::~RasterBars() {
    // Huge texts keep no huge storage alive.
    if (FBoxes.capacity() <= 4096)
        FBoxes.swap(Spare());
}

void RasterBars::Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
    if (X1 >= X2 || Y1 >= Y2)
        return;
    // Symbols end on a space, but a bar that continues the previous one widens it.
    if (!FBoxes.empty()) {
        Box& last = FBoxes.back();
        if (last.x2 == X1 && last.y1 == Y1 && last.y2 == Y2) {
            last.x2 = X2;
            return;
        }
        FMixedRows = FMixedRows || Y1 != FBoxes.front().y1 || Y2 != FBoxes.front().y2;
    }
    FBoxes.push_back({X1, Y1, X2, Y2});
}

std::vector<std::int64_t> RasterBars::Cuts(int H) const {
    // The rows where the set of bars crossing a row changes. Most symbols have bars of one
    // height only, and then the bands are known without looking at every bar.
    std::vector<std::int64_t> cuts{0};
    auto cut = [&cuts, H](std::int64_t y) {
        y = std::clamp<std::int64_t>(y, 0, H);
        if (std::find(cuts.begin(), cuts.end(), y) == cuts.end())
            cuts.push_back(y);
    };
    cut(H);
    if (FMixedRows) {
        for (const Box& b : FBoxes) {
            cut(b.y1);
            cut(b.y2);
        }
    } else if (!FBoxes.empty()) {
        cut(FBoxes.front().y1);
        cut(FBoxes.front().y2);
    }
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

void RasterBars::BuildRow(vcl::TPixelFormat Format, std::uint8_t* Row, int W, std::int64_t Y1,
                          std::int64_t Y2, vcl::TColor Background) const {
    vcl::detail::FillSpan(Format, Row, 0, W, vcl::detail::ToPixel(Format, Background));
    const vcl::detail::PixelValue ink = vcl::detail::ToPixel(Format, vcl::clBlack);
    for (const Box& b : FBoxes)
        if (b.y1 <= Y1 && b.y2 >= Y2 && b.x2 > 0 && b.x1 < W)
            vcl::detail::FillSpan(Format, Row, static_cast<int>(std::max<std::int64_t>(b.x1, 0)),
                                  static_cast<int>(std::min<std::int64_t>(b.x2, W)), ink);
}

namespace {
// Copies the first of Rows contiguous rows into all the others, in doubling blocks.
void CopyDown(std::uint8_t* First, std::size_t RowBytes, std::size_t Rows) {
    std::size_t done = 1;
    while (done < Rows) {
        const std::size_t n = std::min(done, Rows - done);
        std::memcpy(First + done * RowBytes, First, n * RowBytes);
        done += n;
    }
}
} // namespace

void RasterBars::Paint(vcl::TBitmap& Bitmap, vcl::TColor Background) const {
    const int W = Bitmap.GetWidth(), H = Bitmap.GetHeight();
    if (W == 0 || H == 0)
        return;
    const std::vector<std::int64_t> cuts = Cuts(H);
    const std::size_t rowBytes = Bitmap.GetRowBytes();
    std::uint8_t* const top = Bitmap.ScanLine(0);
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        std::uint8_t* first = top + static_cast<std::size_t>(cuts[k]) * rowBytes;
        BuildRow(Bitmap.GetPixelFormat(), first, W, cuts[k], cuts[k + 1], Background);
        CopyDown(first, rowBytes, static_cast<std::size_t>(cuts[k + 1] - cuts[k]));
    }
}

void RasterBars::PaintTurned(vcl::TBitmap& Bitmap, int Width, int Degrees,
                             vcl::TColor Background) const {
    const int W = std::max(Width, 0), H = Bitmap.GetHeight();
    const std::vector<std::int64_t> cuts = Cuts(H);
    const std::size_t bands = cuts.size() - 1;
    // Each band's row before the turn, one palette index per pixel.
    std::vector<std::uint8_t> rows(bands * static_cast<std::size_t>(W));
    for (std::size_t k = 0; k < bands && W > 0; ++k)
        BuildRow(vcl::pf8bit, rows.data() + k * W, W, cuts[k], cuts[k + 1], Background);

    vcl::TBitmap turned;
    turned.SetPixelFormat(vcl::pf8bit);
    if (Degrees == 180) {
        // Row y, reversed, becomes row H - 1 - y.
        turned.Reallocate(W, H);
        for (std::size_t k = 0; k < bands && W > 0; ++k) {
            const std::uint8_t* src = rows.data() + k * W;
            std::uint8_t* first = turned.ScanLine(static_cast<int>(H - cuts[k + 1]));
            std::reverse_copy(src, src + W, first);
            CopyDown(first, static_cast<std::size_t>(W),
                     static_cast<std::size_t>(cuts[k + 1] - cuts[k]));
        }
    } else if (H > 0 && W > 0) {
        // Column x becomes row x (90, read bottom up) or row W - 1 - x (270). A turned row only
        // changes where some band changes colour between two columns.
        turned.Reallocate(H, W);
        std::uint8_t* const top = turned.ScanLine(0);
        std::uint8_t* previous = nullptr;
        for (int x = 0; x < W; ++x) {
            std::uint8_t* row = top + static_cast<std::size_t>(Degrees == 90 ? x : W - 1 - x) *
                                          static_cast<std::size_t>(H);
            bool same = previous != nullptr;
            for (std::size_t k = 0; same && k < bands; ++k)
                same = rows[k * W + x] == rows[k * W + x - 1];
            if (same) {
                std::memcpy(row, previous, static_cast<std::size_t>(H));
            } else {
                for (std::size_t k = 0; k < bands; ++k) {
                    const std::int64_t from = Degrees == 90 ? H - cuts[k + 1] : cuts[k];
                    std::memset(row + from, rows[k * W + x],
                                static_cast<std::size_t>(cuts[k + 1] - cuts[k]));
                }
            }
            previous = row;
        }
    } else {
        turned.SetSize(H, W);
    }
    Bitmap.TakePixels(turned);
}

} // namespace lumivex::detail
