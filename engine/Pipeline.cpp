// The rendering pipeline: bitmap width, background, renderer dispatch and rotation.
#include <algorithm>
#include <climits>

#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Interpret.h"

namespace lumivex {

namespace {

// Code 39 characters that a byte of the full-ASCII form takes: two where its pair has a second
// character, else one. A byte above 127 has no pair and counts none: the renderer stops there,
// so any width given to it would only widen the blank space right of the bars.
std::int64_t Code39ExtChars(const std::string& Text) {
    std::int64_t n = 0;
    for (const char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 127)
            n += (BC_Code39ERef[c] & 0xFF) != 0 ? 2 : 1;
    }
    return n;
}

// Code 93 symbols that a byte takes: two where its reference names a second symbol (a low byte
// below 47), else one. A byte above 127 counts none, as for Code 39 full ASCII.
std::int64_t Code93Chars(const std::string& Text) {
    std::int64_t n = 0;
    for (const char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 127)
            n += (BC_Code93_Reference[c] & 0xFF) < 47 ? 2 : 1;
    }
    return n;
}

// The symbol's width in modules, quiet zones included.
std::int64_t WidthInModules(TBarCodeType BarcodeType, const std::string& Text) {
    const auto L = static_cast<std::int64_t>(Text.size());
    switch (BarcodeType) {
    case bcCode128:
    case bcEAN128:
        return 11 * static_cast<std::int64_t>(
                        detail::Code128Symbols(Text, BarcodeType == bcEAN128).size()) +
               22;
    case bcCode39:
        return 13 * (L + 2) + 20;
    case bcCode39Ext:
        return 13 * (2 + Code39ExtChars(Text)) + 20;
    case bcUPCA:
    case bcEAN13:
        return 115;
    case bcInt2of5:
        return 9 * (L % 2 == 0 ? L : L + 1) + 29;
    case bcCode93:
        return 9 * Code93Chars(Text) + 57;
    case bcEAN8:
        return 87;
    case bcPOSTNET:
        return 10 * (L + 1) + 23;
    case bcUPCE:
        return 71;
    case bcUPC2ext:
        return 40;
    case bcUPC5ext:
        return 67;
    }
    return 20;
}

detail::Drawer DrawerOf(TBarCodeType BarcodeType) {
    switch (BarcodeType) {
    case bcCode128:
        return detail::DrawCode128;
    case bcEAN128:
        return detail::DrawEAN128;
    case bcCode39:
        return detail::DrawCode39;
    case bcCode39Ext:
        return detail::DrawCode39ext;
    case bcCode93:
        return detail::DrawCode93;
    case bcInt2of5:
        return detail::DrawInt2of5;
    case bcPOSTNET:
        return detail::DrawPOSTNET;
    case bcUPC2ext:
        return detail::DrawUPC2ext;
    case bcUPC5ext:
        return detail::DrawUPC5ext;
    case bcUPCA:
        return detail::DrawUPCA;
    case bcEAN13:
        return detail::DrawEAN13;
    case bcEAN8:
        return detail::DrawEAN8;
    case bcUPCE:
        return detail::DrawUPCE;
    }
    return nullptr;
}

// Sizes beyond the int range belong to bitmaps that cannot exist; saturating keeps the
// arithmetic defined.
int SaturateInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

int CalcWidth(int Scale, TBarCodeType BarcodeType, const std::string& Text) {
    const std::int64_t modules = Text.empty() ? 20 : WidthInModules(BarcodeType, Text);
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
    const std::int64_t textMargin = Interpret ? 5 * std::int64_t{Scale} : 0;
    std::int64_t top = 0, height = Height - textMargin;
    if (BarcodeType == bcPOSTNET) {
        height = Height;
    } else if (BarcodeType == bcUPC2ext || BarcodeType == bcUPC5ext) {
        top = 3 * textMargin;
        height = Height - 3 * textMargin;
    }
    const int barTop = SaturateInt(top), barHeight = SaturateInt(height);
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
            Text.empty() || (empty && BarcodeType != bcUPC2ext) ? nullptr : DrawerOf(BarcodeType);
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
