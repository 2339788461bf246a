// The rendering pipeline onto a recording canvas: the bitmap's picture as fills and strings.
#include <algorithm>
#include <climits>

#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Interpret.h"
#include "host/graphics/Metafile.h"

namespace lumivex {

namespace {

// Bars as black fills, turned as the bitmap's turn moves its pixels, cut to the picture as a
// bitmap cuts them.
class TurnedFills final : public detail::BarSink {
public:
    TurnedFills(vcl::TMetafileCanvas& Canvas, int Degrees, int Width, int Height)
        : FCanvas(Canvas), FDegrees(Degrees), FWidth(Width), FHeight(Height) {}
    void Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) override {
        X1 = std::clamp<std::int64_t>(X1, 0, FWidth);
        X2 = std::clamp<std::int64_t>(X2, 0, FWidth);
        Y1 = std::clamp<std::int64_t>(Y1, 0, FHeight);
        Y2 = std::clamp<std::int64_t>(Y2, 0, FHeight);
        if (X1 >= X2 || Y1 >= Y2)
            return;
        const std::int64_t W = FWidth, H = FHeight;
        std::int64_t a = X1, b = Y1, c = X2, d = Y2;
        switch (FDegrees) {
        case 90:
            a = H - Y2, b = X1, c = H - Y1, d = X2;
            break;
        case 180:
            a = W - X2, b = H - Y2, c = W - X1, d = H - Y1;
            break;
        case 270:
            a = Y1, b = W - X2, c = Y2, d = W - X1;
            break;
        default:
            break;
        }
        // Inside the picture, so inside the int range.
        FCanvas.FillRect(vcl::Rect(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c),
                                   static_cast<int>(d)));
    }

private:
    vcl::TMetafileCanvas& FCanvas;
    int FDegrees, FWidth, FHeight;
};

} // namespace

void CreateBC(vcl::TMetafileCanvas& Canvas, TBarCodeType BarcodeType, int Scale, int Height,
              const std::string& Text, bool Interpret, TbcRotate Rotate) {
    vcl::TMetafile& metafile = Canvas.GetMetafile();
    const int width = std::max(CalcWidth(Scale, BarcodeType, Text), 0);
    const int H = metafile.GetHeight();
    const bool turned = Rotate >= bcRotate90 && Rotate <= bcRotate270;
    const int degrees = turned ? 90 * Rotate : 0;
    const bool quarter = Rotate == bcRotate90 || Rotate == bcRotate270;
    const TSymbology* row = SymbologyOf(BarcodeType);
    const auto [barTop, barHeight] = detail::BarRows(BarcodeType, Scale, Height, Interpret);

    metafile.Clear();
    metafile.SetSize(quarter ? H : width, quarter ? width : H);
    const bool empty = width <= 0 || H <= 0;
    vcl::TBrush& brush = Canvas.GetBrush();
    brush.SetStyle(vcl::bsSolid);
    brush.SetColor(vcl::clWhite);
    Canvas.FillRect(vcl::Rect(0, 0, metafile.GetWidth(), metafile.GetHeight()));
    // As on a bitmap, the 2-digit add-on converts its text even when nothing can be seen, so
    // that its error does not depend on the size.
    if (row && !Text.empty() && (!empty || BarcodeType == bcUPC2ext)) {
        brush.SetColor(vcl::clBlack);
        TurnedFills fills(Canvas, degrees, width, H);
        detail::BarWriter writer(
            fills, static_cast<int>(std::min<std::int64_t>(10 * std::int64_t{Scale}, INT_MAX)),
            barTop, barHeight, Scale);
        try {
            row->Draw(writer, Text);
        } catch (...) {
            brush.SetColor(vcl::clWhite);
            throw;
        }
        brush.SetColor(vcl::clWhite);
    }
    if (!Interpret || Text.empty() || empty)
        return;
    const std::vector<detail::TextItem>& items =
        detail::InterpretLayout(Canvas, BarcodeType, Scale, Height, width, Text);
    for (const detail::TextItem& item : items)
        if (turned)
            Canvas.TurnedTextOut(degrees, width, H, item.X, item.Y, item.Text);
        else
            Canvas.TextOut(item.X, item.Y, item.Text);
}

} // namespace lumivex
