// Joined add-ons: the '+' in the data, and the picture of a main symbol with its add-on.

#include "tools/lumivex/AddOn.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>

#include "engine/Barcode.h"
#include "tools/lumivex/DataCheck.h"

namespace lumivex::cli {

namespace {

constexpr int QuietModules = 10;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Position(std::size_t Index) {
    return "position " + std::to_string(Index + 1);
}

// The add-on's rows: its bars end where the main symbol's do, above the main symbol's text.
int AddOnHeight(const RenderSettings& Main) {
    return Main.Interpret ? std::max(Main.Height - 5 * Main.Scale, 0) : Main.Height;
}

} // namespace

bool TakesAddOn(TBarCodeType Type) {
    return Type == bcEAN13 || Type == bcUPCA || Type == bcUPCE || Type == bcEAN8;
}

AddOnSplit SplitAddOn(const TSymbology& S, const std::string& Data, bool Filter) {
    const std::size_t Plus = Data.find('+');
    if (Plus == std::string::npos)
        return {Data, {}};
    if (!TakesAddOn(S.Type)) {
        if (!Filter && FilterBCText(S.Type, "+").empty())
            throw DataRefused("'+' at " + Position(Plus) + " would join an add-on, which only " +
                              "EAN-13, UPC-A, UPC-E and EAN-8 take, not " + std::string(S.Name));
        return {Data, {}};
    }
    if (Plus == 0)
        throw DataRefused("no number before the '+' at position 1: the add-on follows the " +
                          std::string(S.Name) + " number, as in 400638133393+12");
    std::string AddOn = Data.substr(Plus + 1);
    for (std::size_t i = 0; i < AddOn.size(); ++i)
        if (!IsDigit(AddOn[i]))
            throw DataRefused(DescribeByte(static_cast<unsigned char>(AddOn[i])) + " at " +
                              Position(Plus + 1 + i) +
                              " is no digit: the add-on after '+' takes 2 or 5 digits");
    if (AddOn.size() != 2 && AddOn.size() != 5)
        throw DataRefused("the add-on after '+' at " + Position(Plus) + " has " +
                          std::to_string(AddOn.size()) + " digits: it takes 2 or 5");
    return {Data.substr(0, Plus), std::move(AddOn)};
}

void WarnAddOnHeight(const RenderSettings& Main) {
    if (!Main.Interpret)
        return;
    // The add-on's bars take its rows below its text, 15 modules' worth.
    const int Rows = AddOnHeight(Main), Bars = Rows - 15 * Main.Scale;
    if (2 * Bars < Main.Height)
        std::cerr << "lumivex: warning: at --height " << Main.Height
                  << " the add-on's text leaves its bars less than half the height; scanners "
                  << "may not read it (give --height " << 40 * Main.Scale
                  << " or more, or --notext)\n";
}

void RenderJoined(vcl::TBitmap& Bitmap, const RenderSettings& Main, const std::string& AddOn) {
    RenderSettings Flat = Main;
    Flat.Rotate = bcNoRotate;
    RenderSettings Add = Flat;
    Add.Type = AddOn.size() == 2 ? bcUPC2ext : bcUPC5ext;
    Add.Text = AddOn;
    Add.Height = AddOnHeight(Main);

    // The add-on's left quiet zone lies over the main symbol's right one, so the gap between
    // their bars is that zone. Each keeps its ink where both have a pixel: the text of one may
    // reach into the other's margin. Each part goes as soon as it is copied, so that a large
    // picture holds at most itself and one part.
    static_assert(AddOnGapModules == QuietModules);
    vcl::TBitmap Joined;
    int Left = 0;
    {
        vcl::TBitmap Symbol;
        RenderBarcode(Symbol, Flat);
        Symbol.SetPixelFormat(vcl::pf8bit);
        Left = Symbol.GetWidth() - QuietModules * Main.Scale;
        const int W = Left + CalcWidth(Add.Scale, Add.Type, Add.Text), H = Symbol.GetHeight();
        Joined.SetPixelFormat(vcl::pf8bit);
        Joined.Reallocate(W, H);
        const auto SymbolWidth = static_cast<std::size_t>(Symbol.GetWidth());
        for (int y = 0; y < H; ++y) {
            std::uint8_t* Row = Joined.ScanLine(y);
            std::memcpy(Row, Symbol.ScanLine(y), SymbolWidth);
            std::memset(Row + SymbolWidth, vcl::palette::WhiteIndex,
                        static_cast<std::size_t>(W) - SymbolWidth);
        }
    }
    {
        vcl::TBitmap Extra;
        RenderBarcode(Extra, Add);
        Extra.SetPixelFormat(vcl::pf8bit);
        const int Rows = std::min(Extra.GetHeight(), Joined.GetHeight());
        const int Columns = std::min(Extra.GetWidth(), Joined.GetWidth() - Left);
        for (int y = 0; y < Rows; ++y) {
            std::uint8_t* Row = Joined.ScanLine(y) + Left;
            const std::uint8_t* From = Extra.ScanLine(y);
            for (int x = 0; x < Columns; ++x)
                if (From[x] != vcl::palette::WhiteIndex)
                    Row[x] = From[x];
        }
    }

    switch (Main.Rotate) {
    case bcRotate90:
        RotateBmp90(Joined, Bitmap);
        break;
    case bcRotate180:
        RotateBmp180(Joined, Bitmap);
        break;
    case bcRotate270:
        RotateBmp270(Joined, Bitmap);
        break;
    default:
        Bitmap.TakePixels(Joined);
        break;
    }
}

} // namespace lumivex::cli
