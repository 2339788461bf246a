// Joined add-ons: the '+' in the data, and the picture of a main symbol with its add-on.

#include "tools/lumivex/AddOn.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <variant>

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

// The two parts are drawn unturned; the joined picture turns as a whole.
RenderSettings Unturned(const RenderSettings& Main) {
    RenderSettings Flat = Main;
    Flat.Rotate = bcNoRotate;
    return Flat;
}

RenderSettings AddOnPart(const RenderSettings& Main, const std::string& AddOn) {
    RenderSettings Add = Unturned(Main);
    Add.Type = AddOn.size() == 2 ? bcUPC2ext : bcUPC5ext;
    Add.Text = AddOn;
    Add.Height = AddOnHeight(Main);
    return Add;
}

int DegreesOf(TbcRotate Rotate) {
    switch (Rotate) {
    case bcRotate90:
        return 90;
    case bcRotate180:
        return 180;
    case bcRotate270:
        return 270;
    default:
        return 0;
    }
}

// R of a picture UW x UH units turned clockwise, as the engine turns a bitmap: (x, y) goes to
// (UH - y, x) at 90, (UW - x, UH - y) at 180 and (y, UW - x) at 270.
vcl::TRect Turned(const vcl::TRect& R, int Degrees, int UW, int UH) {
    switch (Degrees) {
    case 90:
        return vcl::Rect(UH - R.Bottom, R.Left, UH - R.Top, R.Right);
    case 180:
        return vcl::Rect(UW - R.Right, UH - R.Bottom, UW - R.Left, UH - R.Top);
    case 270:
        return vcl::Rect(R.Top, UW - R.Right, R.Bottom, UW - R.Left);
    default:
        return R;
    }
}

bool IsWhite(vcl::TColor Color) {
    return (vcl::ColorToRGB(Color) & 0xFFFFFF) == 0xFFFFFF;
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
    const RenderSettings Flat = Unturned(Main), Add = AddOnPart(Main, AddOn);

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

void RecordJoined(vcl::TMetafile& Metafile, const RenderSettings& Main, const std::string& AddOn) {
    const RenderSettings Flat = Unturned(Main), Add = AddOnPart(Main, AddOn);
    vcl::TMetafile Symbol, Extra;
    RecordBarcode(Symbol, Flat);
    RecordBarcode(Extra, Add);

    // Put together unturned, as the bitmap is, then every record turned with the whole: a
    // fill's rectangle moved, a string told the turn and the picture it turns in.
    const int Left = Symbol.GetWidth() - QuietModules * Main.Scale;
    const int W = Left + Extra.GetWidth(), H = Symbol.GetHeight();
    const int Degrees = DegreesOf(Main.Rotate);
    const bool Sideways = Degrees == 90 || Degrees == 270;
    Metafile.Clear();
    Metafile.SetSize(Sideways ? H : W, Sideways ? W : H);
    auto Put = [&](vcl::TMetafileRecord Record) {
        if (auto* Fill = std::get_if<vcl::TMetafileFill>(&Record)) {
            Fill->Rect = Turned(Fill->Rect, Degrees, W, H);
        } else if (Degrees != 0) {
            auto& Text = std::get<vcl::TMetafileText>(Record);
            Text.Degrees = Degrees;
            Text.UnturnedWidth = W;
            Text.UnturnedHeight = H;
        }
        Metafile.Add(std::move(Record));
    };
    Put(vcl::TMetafileFill{vcl::Rect(0, 0, W, H), vcl::clWhite});
    for (const vcl::TMetafileRecord& Record : Symbol.Records())
        Put(Record);
    // As in the bitmap, the add-on lays only its ink over the main symbol's margin: its white,
    // the background and the cells behind its digits, is left out.
    for (vcl::TMetafileRecord Record : Extra.Records()) {
        if (auto* Fill = std::get_if<vcl::TMetafileFill>(&Record)) {
            if (IsWhite(Fill->Color))
                continue;
            Fill->Rect.Left += Left;
            Fill->Rect.Right += Left;
        } else {
            auto& Text = std::get<vcl::TMetafileText>(Record);
            Text.X += Left;
            Text.Opaque = false;
        }
        Put(std::move(Record));
    }
}

} // namespace lumivex::cli
