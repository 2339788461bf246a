// The rendering pipeline: bitmap width, background, renderer dispatch and rotation.
#include <algorithm>
#include <climits>

#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Interpret.h"

namespace lumivex {

namespace {

// Sizes beyond the int range belong to bitmaps that cannot exist; saturating keeps the
// arithmetic defined.
int SaturateInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

std::pair<int, int> detail::BarRows(TBarCodeType BarcodeType, int Scale, int Height,
                                    bool Interpret) {
    const std::int64_t textMargin = Interpret ? 5 * std::int64_t{Scale} : 0;
    const TSymbology* row = SymbologyOf(BarcodeType);
    std::int64_t top = 0, height = Height - textMargin;
    if (row && row->Placement == bpFullHeight) {
        height = Height;
    } else if (row && row->Placement == bpTextAbove) {
        top = 3 * textMargin;
        height = Height - 3 * textMargin;
    }
    return {SaturateInt(top), SaturateInt(height)};
}

int CalcWidth(int Scale, TBarCodeType BarcodeType, const std::string& Text) {
    const TSymbology* row = SymbologyOf(BarcodeType);
    std::int64_t modules = 20;
    if (row && !Text.empty()) {
        // The drawer's own walk, without ink: the width cannot differ from what it draws.
        detail::BarWriter walk;
        row->Draw(walk, Text);
        modules += walk.Modules();
    }
    // Modules stay far below 2^40 for any text that fits in memory, so the product fits.
    const std::int64_t width = modules * Scale;
    return SaturateInt(width);
}

void CreateBC(vcl::TBitmap& Bitmap, TBarCodeType BarcodeType, int Scale, int Height,
              const std::string& Text, bool Interpret, TbcRotate Rotate) {
    const int width = CalcWidth(Scale, BarcodeType, Text);
    const int H = Bitmap.GetHeight();
    const vcl::TPixelFormat format = Bitmap.GetPixelFormat();
    const bool printed = Interpret && !Text.empty();
    const bool turned = Rotate >= bcRotate90 && Rotate <= bcRotate270;
    const int degrees = turned ? 90 * Rotate : 0;
    // A picture past the bitmap bound is refused before anything is drawn or allocated. A turned
    // picture is painted turned at once, bars and text, in pf8bit: the unturned one is never
    // made, so a render holds one bitmap, whatever its turn.
    if (turned)
        vcl::CheckBitmapSize(vcl::pf8bit, H, width);
    else
        vcl::CheckBitmapSize(format, width, H);

    // The bars start and end only on these rows.
    const TSymbology* row = SymbologyOf(BarcodeType);
    const auto [barTop, barHeight] = detail::BarRows(BarcodeType, Scale, Height, Interpret);
    // Every pixel is painted below: a bitmap of the right size and format is painted over as
    // it is (a component's render after render), and otherwise the former pixels go first
    // rather than sit beside the new ones while they are made.
    auto resize = [&](vcl::TPixelFormat Format, int W, int HH) {
        if (Bitmap.GetPixelFormat() == Format && Bitmap.GetWidth() == std::max(W, 0) &&
            Bitmap.GetHeight() == std::max(HH, 0))
            return;
        Bitmap.Reallocate(0, 0);
        Bitmap.SetPixelFormat(Format);
        Bitmap.Reallocate(W, HH);
    };
    // A picture without pixels shows nothing, however long the text: no bar is drawn. The
    // 2-digit add-on still converts its text, so that its error does not depend on the size,
    // and the text still sets the canvas font.
    const bool empty = width <= 0 || H <= 0;
    // Draws the bars on the bitmap as it is sized; the renderer's exception, if any, comes
    // through once every pixel is painted.
    auto paint = [&](int Degrees) {
        detail::RasterBars bars(Bitmap, width, H, Degrees, barTop, barHeight, vcl::clWhite);
        const detail::Drawer draw =
            !row || Text.empty() || (empty && BarcodeType != bcUPC2ext) ? nullptr : row->Draw;
        if (draw) {
            detail::BarWriter writer(bars, SaturateInt(10 * std::int64_t{Scale}), barTop, barHeight,
                                     Scale);
            writer.WriteFullBarsTo(bars.DirectRow());
            try {
                draw(writer, Text);
            } catch (...) {
                bars.Finish();
                throw;
            }
        }
        bars.Finish();
    };

    vcl::TCanvas& canvas = Bitmap.GetCanvas();
    canvas.GetBrush().SetColor(vcl::clWhite);
    if (!turned) {
        resize(format, width, H);
        paint(0);
        if (printed)
            PrintInterpret(canvas, BarcodeType, Scale, Height, Bitmap.GetWidth(), Text);
        return;
    }
    const bool quarter = Rotate != bcRotate180;
    resize(vcl::pf8bit, quarter ? H : width, quarter ? width : H);
    try {
        paint(degrees);
    } catch (...) {
        // A renderer that raises (the 2-digit add-on's number conversion) leaves the unturned
        // background and the bars it drew before; nothing after it runs.
        try {
            resize(format, width, H);
            paint(0);
        } catch (...) {
        }
        throw;
    }
    if (!printed)
        return;
    const int W = std::max(width, 0);
    const std::vector<detail::TextItem>& items =
        detail::InterpretLayout(canvas, BarcodeType, Scale, Height, W, Text);
    for (const detail::TextItem& item : items)
        if (!empty)
            canvas.TurnedTextOut(degrees, W, H, item.X, item.Y, item.Text);
}

} // namespace lumivex
