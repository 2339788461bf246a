// The bar primitive: bars onto a canvas, or collected and painted band by band.
#include "engine/detail/Bars.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "host/graphics/Pixels.h"

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
    : FWidth(std::max(Width, 0)), FHeight(std::max(Height, 0)), FDegrees(Degrees),
      FFormat(Bitmap.GetPixelFormat()), FBarTop(std::clamp<std::int64_t>(Top, 0, FHeight)),
      FBarBottom(std::clamp<std::int64_t>(Top + BarHeight, 0, FHeight)) {
    // The rows where a bar may start or end, as BarWriter computes them.
    // POSTNET's half bars add the middle of the bars when the first one comes (Split).
    FCuts = {0, FHeight};
    for (const std::int64_t y : {Top, Top + BarHeight}) {
        const std::int64_t c = std::clamp<std::int64_t>(y, 0, FHeight);
        if (std::find(FCuts.begin(), FCuts.end(), c) == FCuts.end())
            FCuts.push_back(c);
    }
    std::sort(FCuts.begin(), FCuts.end());
    if (FWidth == 0 || FHeight == 0)
        return;
    FTop = Bitmap.ScanLine(0);
    FRowBytes = Bitmap.GetRowBytes();
    FInk = vcl::ToPixel(FFormat, vcl::clBlack);
    const vcl::PixelValue back = vcl::ToPixel(FFormat, Background);
    if (FDegrees == 0 || FDegrees == 180) {
        for (std::size_t k = 0; k + 1 < FCuts.size(); ++k) {
            std::uint8_t* row = BandRow(k);
            // Every byte is written, the unused bits of a monochrome row too; whole bytes of
            // pixels once only, which shows in a row as wide as the bitmap bound allows.
            const std::size_t pixelBytes = FFormat == vcl::pf8bit ? static_cast<std::size_t>(FWidth)
                                           : FFormat == vcl::pf1bit
                                               ? 0
                                               : 3 * static_cast<std::size_t>(FWidth);
            std::memset(row + pixelBytes, 0xFF, FRowBytes - pixelBytes);
            vcl::FillSpan(FFormat, row, 0, FWidth, back);
        }
        return;
    }
    // Turned, the rows follow one another without padding: the background of the columns
    // between bars is one fill each, made as the bars come (BackgroundTo).
    FBack = back.b0;
}

void RasterBars::BackgroundTo(std::int64_t X) {
    if (X <= FPainted)
        return;
    // Columns FPainted..X-1 are turned rows FPainted..X-1 (90) or W-X..W-1-FPainted (270).
    const std::int64_t r1 = FDegrees == 90 ? FPainted : FWidth - X;
    vcl::FillRun(FTop + static_cast<std::size_t>(r1) * FRowBytes, FBack,
                 static_cast<std::size_t>(X - FPainted) * FRowBytes);
    FPainted = X;
}

std::uint8_t* RasterBars::BandRow(std::size_t K) const {
    // Turned by 180, unturned row y is row H - 1 - y: the band's last row comes first.
    const std::int64_t y = FDegrees == 180 ? FHeight - FCuts[K + 1] : FCuts[K];
    return FTop + static_cast<std::size_t>(y) * FRowBytes;
}

void RasterBars::Split(std::int64_t Y) {
    if (Y <= 0 || Y >= FHeight)
        return;
    const auto next = std::upper_bound(FCuts.begin(), FCuts.end(), Y);
    if (*(next - 1) == Y)
        return;
    // The band that holds Y becomes two with the same pixels so far.
    const auto k = static_cast<std::size_t>(next - FCuts.begin()) - 1;
    const std::uint8_t* painted = BandRow(k);
    FCuts.insert(next, Y);
    for (const std::size_t j : {k, k + 1})
        if (BandRow(j) != painted)
            std::memcpy(BandRow(j), painted, FRowBytes);
}

void RasterBars::Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
    X1 = std::max<std::int64_t>(X1, 0);
    X2 = std::min<std::int64_t>(X2, FWidth);
    if (X1 >= X2 || Y1 >= Y2 || FHeight == 0)
        return;
    const vcl::PixelValue ink = FInk;
    if (FDegrees == 90 || FDegrees == 270) {
        // The rows the bar covers, as a span of every turned row: 90 reads a column bottom up.
        const std::int64_t y1 = std::clamp<std::int64_t>(Y1, 0, FHeight);
        const std::int64_t y2 = std::clamp<std::int64_t>(Y2, 0, FHeight);
        if (y1 >= y2)
            return;
        const std::int64_t from = FDegrees == 90 ? FHeight - y2 : y1;
        const std::size_t span = static_cast<std::size_t>(y2 - y1);
        // Turned rows x1..x2-1 (90) or W-x2..W-x1-1 (270) lie one after the other.
        auto rowOf = [&](std::int64_t X) {
            return FTop + static_cast<std::size_t>(FDegrees == 90 ? X : FWidth - 1 - X) * FRowBytes;
        };
        BackgroundTo(X1);
        // Columns already written (a walk that went back) take the bar over what they hold.
        const std::int64_t fresh = std::max(X1, FPainted);
        for (std::int64_t x = X1; x < fresh; ++x)
            vcl::FillBytes(rowOf(x) + from, ink.b0, span);
        if (fresh >= X2)
            return;
        // The others are written whole, background and bar together.
        const std::int64_t r1 = FDegrees == 90 ? fresh : FWidth - X2;
        const auto rows = static_cast<std::size_t>(X2 - fresh);
        std::uint8_t* first = FTop + static_cast<std::size_t>(r1) * FRowBytes;
        FPainted = X2;
        if (span == FRowBytes) {
            vcl::FillRun(first, ink.b0, rows * FRowBytes);
            return;
        }
        const TurnedRows& pattern = TurnedPattern(static_cast<std::size_t>(from), span);
        vcl::FillRepeat(first, rows * FRowBytes, pattern.Bytes.data(), pattern.Period);
        return;
    }
    Split(Y1);
    Split(Y2);
    for (std::size_t k = 0; k + 1 < FCuts.size(); ++k) {
        if (!(Y1 <= FCuts[k] && Y2 >= FCuts[k + 1]) || FCuts[k] == FCuts[k + 1])
            continue;
        const std::int64_t a = FDegrees == 0 ? X1 : FWidth - X2;
        vcl::FillSpan(FFormat, BandRow(k), static_cast<int>(a), static_cast<int>(a + (X2 - X1)),
                      ink);
    }
}

const RasterBars::TurnedRows& RasterBars::TurnedPattern(std::size_t From, std::size_t Span) {
    for (const TurnedRows& t : FTurnedRows)
        if (t.From == From && t.Span == Span)
            return t;
    // Full bars and POSTNET's half bars: two spans in all, a few with clipped bars.
    if (FTurnedRows.size() == 4)
        FTurnedRows.clear();
    TurnedRows& t = FTurnedRows.emplace_back();
    t.From = From;
    t.Span = Span;
    t.Period = vcl::RepeatPeriod(FRowBytes);
    t.Bytes.resize(t.Period + vcl::RepeatSlack);
    std::uint8_t* row = t.Bytes.data();
    vcl::FillBytes(row, FBack, From);
    vcl::FillBytes(row + From, FInk.b0, Span);
    vcl::FillBytes(row + From + Span, FBack, FRowBytes - From - Span);
    // The rows that make up the period, then the first of them again as far as the slack goes.
    for (std::size_t done = FRowBytes; done < t.Bytes.size(); done += FRowBytes)
        std::memcpy(row + done, row, std::min(FRowBytes, t.Bytes.size() - done));
    return t;
}

RasterBars::FullBarRow RasterBars::DirectRow() const {
    if (FWidth == 0 || FHeight == 0 || FFormat != vcl::pf8bit || FBarTop >= FBarBottom ||
        (FDegrees != 0 && FDegrees != 180))
        return {};
    // The full bars' rows are one band: no cut lies between their ends until a half bar comes.
    const auto k = static_cast<std::size_t>(std::lower_bound(FCuts.begin(), FCuts.end(), FBarTop) -
                                            FCuts.begin());
    if (k + 1 >= FCuts.size() || FCuts[k] != FBarTop || FCuts[k + 1] != FBarBottom)
        return {};
    return {BandRow(k), FWidth, FDegrees == 180, FInk.b0};
}

void RasterBars::Finish() {
    if (FWidth == 0 || FHeight == 0)
        return;
    // A quarter turn has every bar's pixels written already; the background after the last
    // bar is left.
    if (FDegrees == 90 || FDegrees == 270) {
        BackgroundTo(FWidth);
        return;
    }
    for (std::size_t k = 0; k + 1 < FCuts.size(); ++k)
        CopyDown(BandRow(k), FRowBytes, static_cast<std::size_t>(FCuts[k + 1] - FCuts[k]));
}

} // namespace lumivex::detail
