// The catalogue of symbologies: identifiers, short names as zint users know them, descriptions.

#include "tools/lumivex/Symbologies.h"

#include <array>
#include <cstddef>

namespace lumivex::cli {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view FullAscii = "full ASCII (bytes 1-128)";
constexpr std::string_view Code39Chars = "Code 39 (0-9 A-Z space - . $ / + % *)";
constexpr std::string_view Digits = "digits";

constexpr std::array Code128Names{"code128"sv};
constexpr std::array Code39Names{"code39"sv};
constexpr std::array Code39ExtNames{"code39ext"sv, "code39-ext"sv, "excode39"sv};
constexpr std::array UPCANames{"upca"sv};
constexpr std::array Int2of5Names{"i2of5"sv, "int2of5"sv, "i25"sv, "itf"sv};
constexpr std::array Code93Names{"code93"sv};
constexpr std::array EAN13Names{"ean13"sv};
constexpr std::array EAN8Names{"ean8"sv};
constexpr std::array EAN128Names{"ean128"sv, "gs1-128"sv, "gs1_128"sv};
constexpr std::array POSTNETNames{"postnet"sv};
constexpr std::array UPCENames{"upce"sv};
constexpr std::array UPC2Names{"upc2"sv, "ean2"sv, "upc2ext"sv};
constexpr std::array UPC5Names{"upc5"sv, "ean5"sv, "upc5ext"sv};

constexpr std::array<Symbology, BarCodeTypeCount> Catalogue{{
    {bcCode128, "bcCode128", Code128Names, "Code 128", FullAscii, 0},
    {bcCode39, "bcCode39", Code39Names, "Code 39", Code39Chars, 0},
    {bcCode39Ext, "bcCode39Ext", Code39ExtNames, "Code 39 full ASCII", FullAscii, 0},
    {bcUPCA, "bcUPCA", UPCANames, "UPC-A", Digits, 11},
    {bcInt2of5, "bcInt2of5", Int2of5Names, "Interleaved 2 of 5", Digits, 0},
    {bcCode93, "bcCode93", Code93Names, "Code 93", FullAscii, 0},
    {bcEAN13, "bcEAN13", EAN13Names, "EAN-13", Digits, 12},
    {bcEAN8, "bcEAN8", EAN8Names, "EAN-8", Digits, 7},
    {bcEAN128, "bcEAN128", EAN128Names, "EAN-128", FullAscii, 0},
    {bcPOSTNET, "bcPOSTNET", POSTNETNames, "POSTNET", Digits, 11},
    {bcUPCE, "bcUPCE", UPCENames, "UPC-E", Digits, 6},
    {bcUPC2ext, "bcUPC2ext", UPC2Names, "UPC/EAN 2-digit add-on", Digits, 2},
    {bcUPC5ext, "bcUPC5ext", UPC5Names, "UPC/EAN 5-digit add-on", Digits, 5},
}};

// SymbologyOf indexes by ordinal, so the rows must stay in the enumeration's order.
constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < Catalogue.size(); ++i)
        if (Catalogue[i].Type != i)
            return false;
    return true;
}
static_assert(InEnumOrder());

bool SameIgnoringCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        auto Lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (Lower(static_cast<unsigned char>(A[i])) != Lower(static_cast<unsigned char>(B[i])))
            return false;
    }
    return true;
}

} // namespace

std::span<const Symbology> Symbologies() {
    return Catalogue;
}

const Symbology& SymbologyOf(TBarCodeType Type) {
    return Catalogue.at(Type);
}

const Symbology* FindSymbology(std::string_view Name) {
    for (const Symbology& S : Catalogue) {
        if (SameIgnoringCase(Name, S.Identifier))
            return &S;
        for (std::string_view Short : S.ShortNames)
            if (SameIgnoringCase(Name, Short))
                return &S;
    }
    return nullptr;
}

std::string ValidSymbologyNames() {
    std::string Names;
    for (const Symbology& S : Catalogue)
        for (std::string_view Short : S.ShortNames) {
            if (!Names.empty())
                Names += ", ";
            Names += Short;
        }
    return Names;
}

} // namespace lumivex::cli
