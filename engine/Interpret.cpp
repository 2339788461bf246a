// The human-readable text: centred under the bars, in digit groups for the retail symbologies,
// above the bars for the add-ons, none for POSTNET.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/Barcode.h"
#include "engine/detail/Interpret.h"

namespace lumivex {

namespace {

std::string PadLeft(const std::string& Text, std::size_t Length) {
    return Text.size() < Length ? std::string(Length - Text.size(), '0') + Text : Text;
}

// Characters From..To of S, counted from 1 as the groups are named; what lies beyond S's end is
// left out.
std::string Sub(const std::string& S, std::size_t From, std::size_t To) {
    if (From > S.size())
        return {};
    return S.substr(From - 1, To - From + 1);
}

// Positions are worked out in 64 bits: a wild size must not overflow on its way to the canvas,
// which clips whatever lies outside the bitmap.
int Saturate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// Each string of the text and where its cell goes, in the order the strings are drawn.
class Layout {
public:
    // Four strings at most, for UPC-A.
    explicit Layout(vcl::TCanvas& Canvas) : FCanvas(Canvas) { FItems.reserve(4); }
    void At(std::int64_t X, std::int64_t Y, const std::string& S) {
        FItems.push_back({Saturate(X), Saturate(Y), S});
    }
    void Centred(std::int64_t Centre, std::int64_t Y, const std::string& S) {
        At(Centre - FCanvas.TextWidth(S) / 2, Y, S);
    }
    void FlushRight(int Width, std::int64_t Y, const std::string& S) {
        At(std::int64_t{Width} - FCanvas.TextWidth(S), Y, S);
    }
    std::vector<detail::TextItem> Take() { return std::move(FItems); }

private:
    vcl::TCanvas& FCanvas;
    std::vector<detail::TextItem> FItems;
};

// Where each string of Text goes, with Canvas's font already set.
std::vector<detail::TextItem> Compute(vcl::TCanvas& Canvas, TBarCodeType BarcodeType, int Height,
                                      int Width, const std::string& Text) {
    Layout out(Canvas);

    // The retail digits sit two pixels lower than flush with the bottom.
    auto retailY = [&](const std::string& S) {
        return std::int64_t{Height} + 2 - Canvas.TextHeight(S);
    };

    const TSymbology* row = SymbologyOf(BarcodeType);
    switch (row ? row->Layout : tlCentred) {
    case tlNone:
        break;
    case tlAddOn:
        out.Centred(Width / 2, 0, Text);
        break;
    case tlUPCA: {
        std::string s = PadLeft(Text, 11);
        s += Mod10Check(s);
        const std::string first = Sub(s, 1, 1), check = Sub(s, 12, 12);
        const std::string left = Sub(s, 2, 6), right = Sub(s, 7, 11);
        out.At(0, retailY(first), first);
        out.FlushRight(Width, retailY(check), check);
        out.Centred(Width / 3, retailY(left), left);
        out.Centred(2 * std::int64_t{Width / 3}, retailY(right), right);
        break;
    }
    case tlEAN13: {
        std::string s = PadLeft(Text, 12);
        s += Mod10Check(s);
        const std::string t = Sub(s, 1, 7) + " " + Sub(s, 8, 13);
        const std::string first = Sub(t, 1, 1), rest = Sub(t, 2, 14);
        out.At(0, retailY(first), first);
        out.Centred(Width / 2, retailY(rest), rest);
        break;
    }
    case tlUPCE: {
        std::string s = PadLeft(Text, 6);
        s += Mod10Check(UPCE_Expand(s));
        const std::string system = "0", check = Sub(s, 7, 7), digits = Sub(s, 1, 6);
        out.At(0, retailY(system), system);
        out.FlushRight(Width, retailY(check), check);
        out.Centred(Width / 2, retailY(digits), digits);
        break;
    }
    case tlCentred:
        out.Centred(Width / 2, std::int64_t{Height} - Canvas.TextHeight(Text), Text);
        break;
    }
    return out.Take();
}

} // namespace

namespace detail {

const std::vector<TextItem>& InterpretLayout(vcl::TCanvas& Canvas, TBarCodeType BarcodeType,
                                             int Scale, int Height, int Width,
                                             const std::string& Text) {
    Canvas.GetFont().SetSize(Saturate(8 * std::int64_t{Scale}));
    Canvas.GetFont().SetColor(vcl::clBlack);
    Canvas.GetBrush().SetColor(vcl::clWhite);
    // A component renders the same text again and again (a control on every paint), so the last
    // short text's layout is kept. Its font's generation stands for every setting of the font.
    struct Last {
        bool valid = false;
        TBarCodeType type = bcCode128;
        int height = 0, width = 0;
        std::uint64_t font = 0;
        std::string text;
        std::vector<TextItem> items;
    };
    thread_local Last last;
    const std::uint64_t font = Canvas.GetFont().Generation();
    if (last.valid && last.type == BarcodeType && last.height == Height && last.width == Width &&
        last.font == font && last.text == Text)
        return last.items;
    // Text may be one of the kept strings: it is read in full before they go.
    std::vector<TextItem> items = Compute(Canvas, BarcodeType, Height, Width, Text);
    constexpr std::size_t kShortText = 64;
    last.valid = Text.size() <= kShortText;
    if (last.valid) {
        last.type = BarcodeType;
        last.height = Height;
        last.width = Width;
        last.font = font;
        last.text = Text;
    }
    last.items = std::move(items);
    return last.items;
}

} // namespace detail

void PrintInterpret(vcl::TCanvas& Canvas, TBarCodeType BarcodeType, int Scale, int Height,
                    int Width, const std::string& Text) {
    for (const detail::TextItem& item :
         detail::InterpretLayout(Canvas, BarcodeType, Scale, Height, Width, Text))
        Canvas.TextOut(item.X, item.Y, item.Text);
}

} // namespace lumivex
