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

RasterBars::RasterBars(vcl::TBitmap& Bitmap, int Width, int Height, int Degrees, std::int64_t Top,
                       std::int64_t BarHeight, vcl::TColor Background)
    : FWidth(std::max(Width, 0)), FHeight(std::max(Height, 0)),
      FDegrees(Degrees), FFormat(Bitmap.GetPixelFormat()) {
    // The rows where a bar may start or end, as BarWriter computes them.
    FCuts = {0, FHeight};
    for (const std::int64_t y : {Top, Top + BarHeight / 2, Top + BarHeight}) {
        const std::int64_t c = std::clamp<std::int64_t>(y, 0, FHeight);
        if (std::find(FCuts.begin(), FCuts.end(), c) == FCuts.end())
            FCuts.push_back(c);
    }
    std::sort(FCuts.begin(), FCuts.end());
    if (FWidth == 0 || FHeight == 0)
        return;
    FTop = Bitmap.ScanLine(0);
    FRowBytes = Bitmap.GetRowBytes();
    const vcl::detail::PixelValue back = vcl::detail::ToPixel(FFormat, Background);
    if (FDegrees == 0 || FDegrees == 180) {
        for (std::size_t k = 0; k + 1 < FCuts.size(); ++k) {
            std::uint8_t* row = BandRow(k);
            // Every byte is written, the unused bits of a monochrome row too.
            std::memset(row, 0xFF, FRowBytes);
            vcl::detail::FillSpan(FFormat, row, 0, FWidth, back);
        }
        return;
    }
    for (int x = 0; x < FWidth; ++x) {
        std::uint8_t* row = TurnedRow(x);
        for (std::size_t k = 0; k + 1 < FCuts.size(); ++k)
            row[BandColumn(k)] = back.b0;
    }
}

std::uint8_t* RasterBars::BandRow(std::size_t K) const {
    // Turned by 180, unturned row y is row H - 1 - y: the band's last row comes first.
    const std::int64_t y = FDegrees == 180 ? FHeight - FCuts[K + 1] : FCuts[K];
    return FTop + static_cast<std::size_t>(y) * FRowBytes;
}

std::size_t RasterBars::BandColumn(std::size_t K) const {
    // 90: (x, y) -> (H - 1 - y, x); 270: (x, y) -> (y, W - 1 - x).
    return static_cast<std::size_t>(FDegrees == 90 ? FHeight - FCuts[K + 1] : FCuts[K]);
}

std::uint8_t* RasterBars::TurnedRow(std::int64_t X) const {
    return FTop + static_cast<std::size_t>(FDegrees == 90 ? X : FWidth - 1 - X) * FRowBytes;
}

void RasterBars::Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
    X1 = std::max<std::int64_t>(X1, 0);
    X2 = std::min<std::int64_t>(X2, FWidth);
    if (X1 >= X2 || Y1 >= Y2 || FHeight == 0)
        return;
    const vcl::detail::PixelValue ink = vcl::detail::ToPixel(FFormat, vcl::clBlack);
    for (std::size_t k = 0; k + 1 < FCuts.size(); ++k) {
        if (!(Y1 <= FCuts[k] && Y2 >= FCuts[k + 1]) || FCuts[k] == FCuts[k + 1])
            continue;
        if (FDegrees == 0 || FDegrees == 180) {
            const std::int64_t a = FDegrees == 0 ? X1 : FWidth - X2;
            vcl::detail::FillSpan(FFormat, BandRow(k), static_cast<int>(a),
                                  static_cast<int>(a + (X2 - X1)), ink);
        } else {
            const std::size_t col = BandColumn(k);
            for (std::int64_t x = X1; x < X2; ++x)
                TurnedRow(x)[col] = ink.b0;
        }
    }
}

void RasterBars::Finish() {
    if (FWidth == 0 || FHeight == 0)
        return;
    if (FDegrees == 0 || FDegrees == 180) {
        for (std::size_t k = 0; k + 1 < FCuts.size(); ++k)
            CopyDown(BandRow(k), FRowBytes, static_cast<std::size_t>(FCuts[k + 1] - FCuts[k]));
        return;
    }
    // A turned row only changes where some band changes colour between two columns; alike
    // rows are copied whole.
    const std::size_t bands = FCuts.size() - 1;
    const std::uint8_t* previous = nullptr;
    for (int x = 0; x < FWidth; ++x) {
        std::uint8_t* row = TurnedRow(x);
        bool same = previous != nullptr;
        for (std::size_t k = 0; same && k < bands; ++k)
            same = row[BandColumn(k)] == previous[BandColumn(k)];
        if (same) {
            std::memcpy(row, previous, static_cast<std::size_t>(FHeight));
        } else {
            for (std::size_t k = 0; k < bands; ++k) {
                const std::size_t col = BandColumn(k);
                std::memset(row + col, row[col],
                            static_cast<std::size_t>(FCuts[k + 1] - FCuts[k]));
            }
        }
        previous = row;
    }
}

} // namespace lumivex::detail
