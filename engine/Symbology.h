#pragma once
// The symbology table: one row per TBarCodeType, from which the filter, the pipeline, the text
// layout, the type information, the command line and the tests all read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Barcode.h"

namespace lumivex {

namespace detail {
class BarWriter;
// Walks Text's symbol through W, module by module, to the last module that CalcWidth counts:
// where it stops at a character it cannot encode it goes on as blank, so that the same walk
// gives both the bars and the width.
using Drawer = void (*)(BarWriter& W, const std::string& Text);
void DrawCode128(BarWriter& W, const std::string& Text);
void DrawCode39(BarWriter& W, const std::string& Text);
void DrawCode39ext(BarWriter& W, const std::string& Text);
void DrawUPCA(BarWriter& W, const std::string& Text);
void DrawInt2of5(BarWriter& W, const std::string& Text);
void DrawCode93(BarWriter& W, const std::string& Text);
void DrawEAN13(BarWriter& W, const std::string& Text);
void DrawEAN8(BarWriter& W, const std::string& Text);
void DrawEAN128(BarWriter& W, const std::string& Text);
void DrawPOSTNET(BarWriter& W, const std::string& Text);
void DrawUPCE(BarWriter& W, const std::string& Text);
void DrawUPC2ext(BarWriter& W, const std::string& Text);
void DrawUPC5ext(BarWriter& W, const std::string& Text);
} // namespace detail

// The public renderers' signature: Canvas, Left, Top, Height, Scale, Text.
using TRenderer = void (*)(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                           const std::string& Text);

// What FilterBCText lets through. A byte 0 never passes.
enum TCharClass : std::uint8_t {
    ccFullAscii, // 1..128: Code 128 carries 128 with FNC4
    ccCode39,    // the 44 characters of BC_Code39Ref, '*' among them
    ccDigits,    // '0'..';': the renderers say what ':' and ';' become
};
inline constexpr int CharClassCount = 3;

// Each class as listings describe it.
constexpr std::string_view CharClassText(TCharClass Class) {
    constexpr std::array<std::string_view, CharClassCount> texts{
        "full ASCII (bytes 1-128)", "Code 39 (0-9 A-Z space - . $ / + % *)", "digits"};
    return texts[Class];
}

// Where PrintInterpret puts the human-readable text.
enum TTextLayout : std::uint8_t {
    tlCentred, // the text as it is, centred under the bars
    tlUPCA,    // number system, two groups of five, check digit
    tlEAN13,   // first digit apart, then six, a space, six
    tlUPCE,    // "0", the six digits, the check digit of the expansion
    tlAddOn,   // centred above the bars
    tlNone,    // POSTNET prints nothing
};

// Which rows the bars take, with TextMargin the room that printed text needs.
enum TBarPlacement : std::uint8_t {
    bpTextBelow,  // rows 0 .. Height - TextMargin
    bpFullHeight, // rows 0 .. Height, text or not
    bpTextAbove,  // rows 3 x TextMargin .. Height
};

struct TSymbology {
    TBarCodeType Type;
    std::string_view Identifier;
    // Comma-separated, as zint users know them; the first is printed and names files.
    std::string_view ShortNames;
    std::string_view Name;
    TCharClass CharClass;
    // Data characters without the check characters the renderer adds; 0 for no limit.
    std::size_t MaxLength;
    TRenderer Render;
    detail::Drawer Draw;
    TTextLayout Layout;
    TBarPlacement Placement;
    // Whether the decoder the tests read with (zxing-cpp 1.4) finds this symbology at all.
    bool DecoderReads;
    // A text that the filter passes whole, so its picture shows a complete symbol.
    std::string_view Sample;

    constexpr std::string_view PrimaryName() const {
        return ShortNames.substr(0, ShortNames.find(','));
    }
};

// clang-format off
inline constexpr std::array<TSymbology, BarCodeTypeCount> BC_Symbologies{{
    {bcCode128, "bcCode128", "code128", "Code 128", ccFullAscii, 0,
     BarcodeCode128, detail::DrawCode128, tlCentred, bpTextBelow, true, "Lumivex 2026"},
    {bcCode39, "bcCode39", "code39", "Code 39", ccCode39, 0,
     BarcodeCode39, detail::DrawCode39, tlCentred, bpTextBelow, true, "LUMIVEX-39"},
    {bcCode39Ext, "bcCode39Ext", "code39ext,code39-ext,excode39", "Code 39 full ASCII",
     ccFullAscii, 0,
     BarcodeCode39ext, detail::DrawCode39ext, tlCentred, bpTextBelow, true, "Lumivex 39"},
    {bcUPCA, "bcUPCA", "upca", "UPC-A", ccDigits, 11,
     BarcodeUPCA, detail::DrawUPCA, tlUPCA, bpTextBelow, true, "03600029145"},
    {bcInt2of5, "bcInt2of5", "i2of5,int2of5,i25,itf", "Interleaved 2 of 5", ccDigits, 0,
     BarcodeInt2of5, detail::DrawInt2of5, tlCentred, bpTextBelow, true, "1234567890"},
    // 5
    {bcCode93, "bcCode93", "code93", "Code 93", ccFullAscii, 0,
     BarcodeCode93, detail::DrawCode93, tlCentred, bpTextBelow, true, "CODE 93"},
    {bcEAN13, "bcEAN13", "ean13", "EAN-13", ccDigits, 12,
     BarcodeEAN13, detail::DrawEAN13, tlEAN13, bpTextBelow, true, "400638133393"},
    {bcEAN8, "bcEAN8", "ean8", "EAN-8", ccDigits, 7,
     BarcodeEAN8, detail::DrawEAN8, tlCentred, bpTextBelow, true, "9638507"},
    {bcEAN128, "bcEAN128", "ean128,gs1-128,gs1_128", "EAN-128", ccFullAscii, 0,
     BarcodeEAN128, detail::DrawEAN128, tlCentred, bpTextBelow, true, "0101234567890128"},
    {bcPOSTNET, "bcPOSTNET", "postnet", "POSTNET", ccDigits, 11,
     BarcodePOSTNET, detail::DrawPOSTNET, tlNone, bpFullHeight, false, "55555"},
    // 10
    {bcUPCE, "bcUPCE", "upce", "UPC-E", ccDigits, 6,
     BarcodeUPCE, detail::DrawUPCE, tlUPCE, bpTextBelow, true, "123456"},
    {bcUPC2ext, "bcUPC2ext", "upc2,ean2,upc2ext", "UPC/EAN 2-digit add-on", ccDigits, 2,
     BarcodeUPC2ext, detail::DrawUPC2ext, tlAddOn, bpTextAbove, false, "12"},
    {bcUPC5ext, "bcUPC5ext", "upc5,ean5,upc5ext", "UPC/EAN 5-digit add-on", ccDigits, 5,
     BarcodeUPC5ext, detail::DrawUPC5ext, tlAddOn, bpTextAbove, false, "52495"},
}};
// clang-format on

// Rows are looked up by ordinal: row i must describe type i, and every type must have one (a
// missing row would be all zeros, without names). Function addresses are left out: under the
// sanitisers their comparison with null is no constant expression.
constexpr bool RowsInTypeOrder() {
    for (std::size_t i = 0; i < BC_Symbologies.size(); ++i)
        if (static_cast<std::size_t>(BC_Symbologies[i].Type) != i ||
            BC_Symbologies[i].Identifier.empty() || BC_Symbologies[i].ShortNames.empty() ||
            BC_Symbologies[i].Sample.empty())
            return false;
    return true;
}
static_assert(BC_Symbologies.size() == static_cast<std::size_t>(BarCodeTypeCount) &&
              RowsInTypeOrder());

// The row of BarcodeType; a value outside the enumeration has none.
constexpr const TSymbology* SymbologyOf(TBarCodeType BarcodeType) {
    return static_cast<std::size_t>(BarcodeType) < BC_Symbologies.size()
               ? &BC_Symbologies[BarcodeType]
               : nullptr;
}

} // namespace lumivex
