// The rendering pipeline: bitmap width, background, renderer dispatch and rotation.
#include <algorithm>
#include <climits>

#include "engine/Barcode.h"
#include "engine/detail/Bars.h"

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
    const bool printed = Interpret && !Text.empty();
    const bool turned = Rotate >= bcRotate90 && Rotate <= bcRotate270;
    // Without text nothing goes over the bars, so a turned picture can be painted at once: its
    // pixels are those of the sized, cleared and barred bitmap turned afterwards, but the
    // unturned picture is never made.
    const bool turnAtOnce = turned && !printed;
    if (!turnAtOnce)
        Bitmap.SetWidth(width);

    // The background and the bars are painted together: the bars are collected first, then
    // every row is written once. The pixels are those of a white fill followed by the
    // renderer's rectangles.
    vcl::TCanvas& canvas = Bitmap.GetCanvas();
    canvas.GetBrush().SetColor(vcl::clWhite);
    const std::int64_t textMargin = Interpret ? 5 * std::int64_t{Scale} : 0;
    detail::RasterBars bars;
    if (!Text.empty()) {
        std::int64_t top = 0, height = Height - textMargin;
        if (BarcodeType == bcPOSTNET) {
            height = Height;
        } else if (BarcodeType == bcUPC2ext || BarcodeType == bcUPC5ext) {
            top = 3 * textMargin;
            height = Height - 3 * textMargin;
        }
        detail::BarWriter writer(bars, SaturateInt(10 * std::int64_t{Scale}), SaturateInt(top),
                                 SaturateInt(height), Scale);
        if (const detail::Drawer draw = DrawerOf(BarcodeType)) {
            try {
                draw(writer, Text);
            } catch (...) {
                // A renderer that raises (the 2-digit add-on's number conversion) leaves the
                // sized background and the bars it drew before; nothing after it runs.
                Bitmap.SetWidth(width);
                bars.Paint(Bitmap, vcl::clWhite);
                throw;
            }
        }
    }
    if (turnAtOnce) {
        bars.PaintTurned(Bitmap, width, 90 * Rotate, vcl::clWhite);
        return;
    }
    bars.Paint(Bitmap, vcl::clWhite);
    if (printed)
        PrintInterpret(canvas, BarcodeType, Scale, Height, Bitmap.GetWidth(), Text);
    if (!turned)
        return;

    vcl::TBitmap work;
    switch (Rotate) {
    case bcRotate90:
        RotateBmp90(Bitmap, work);
        break;
    case bcRotate180:
        RotateBmp180(Bitmap, work);
        break;
    default:
        RotateBmp270(Bitmap, work);
        break;
    }
    // Sizing the bitmap to the turned image and drawing that over it leaves exactly the turned
    // pixels; taking them over gives the same result without two copies.
    Bitmap.TakePixels(work);
}

} // namespace lumivex
