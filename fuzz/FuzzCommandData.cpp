// The command line's own readers of data: --fg and --bg, then --data split at its '+', checked
// and drawn with its add-on beside it, and written with the colours. Bytes: symbology, scale
// (1 to 4), height, text and turn flags, then "FG\nBG\nDATA".
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzRender.h"
#include "tools/lumivex/AddOn.h"
#include "tools/lumivex/Colours.h"
#include "tools/lumivex/DataCheck.h"
#include "tools/lumivex/Render.h"

namespace {

// The text up to the next newline, which it takes away with it.
std::string Line(std::string& Text) {
    const std::size_t End = Text.find('\n');
    std::string Head = Text.substr(0, End);
    Text.erase(0, End == std::string::npos ? Text.size() : End + 1);
    return Head;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    lumivex::fuzz::LoadFonts();
    // The warnings are the command's business, not the fuzzer's.
    std::cerr.setstate(std::ios::failbit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    using namespace lumivex;
    using namespace lumivex::cli;
    fuzz::Input In(Data, Size);
    RenderSettings Settings;
    Settings.Type = static_cast<TBarCodeType>(In.Byte() % BarCodeTypeCount);
    Settings.Scale = 1 + In.Byte() % 4;
    Settings.Height = In.Byte();
    const std::uint8_t Flags = In.Byte();
    Settings.Interpret = Flags & 1;
    Settings.Rotate = static_cast<TbcRotate>((Flags >> 1) % RotateCount);
    const bool Filter = Flags & 8;
    std::string Rest = In.Rest();
    const std::string Fg = Line(Rest), Bg = Line(Rest);
    try {
        const vcl::TInkColours Colours = InkColoursFor(Fg, Bg);
        const TSymbology& S = BC_Symbologies[Settings.Type];
        const AddOnSplit Parts = SplitAddOn(S, Rest, Filter);
        Settings.Text = Filter ? FilterBCText(S.Type, Parts.Main) : CheckedData(S, Parts.Main);
        if (Settings.Text.empty())
            return 0;
        vcl::TBitmap Bitmap;
        if (Parts.AddOn.empty())
            RenderBarcode(Bitmap, Settings);
        else
            RenderJoined(Bitmap, Settings, Parts.AddOn);
        if (!Bitmap.Empty()) {
            EncodeImage(Bitmap, ImageFormat::Png, 0, Colours);
            EncodeImage(Bitmap, ImageFormat::Bmp, 0, Colours);
        }
    } catch (const UsageError&) {
        // Refused colours or data: the command's exit 2.
    } catch (const vcl::EConvertError&) {
        // The 2-digit add-on's number conversion, under --filter.
    }
    return 0;
}
