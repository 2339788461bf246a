// Looking symbologies up by the names the command line accepts.

#include "tools/lumivex/Symbologies.h"

#include <cstddef>
#include <string>

#include "host/classes/Classes.h"

namespace lumivex::cli {

namespace {

// Calls Each with every short name of S, in the row's order.
template <typename F> bool AnyShortName(const Symbology& S, F Each) {
    std::string_view Rest = S.ShortNames;
    while (true) {
        const std::size_t Comma = Rest.find(',');
        if (Each(Rest.substr(0, Comma)))
            return true;
        if (Comma == std::string_view::npos)
            return false;
        Rest.remove_prefix(Comma + 1);
    }
}

// zint's names and numbers for the symbologies we draw. Its EAN names stand for EAN-13, EAN-8
// or an add-on alone by the number of digits, and its _CHK forms take the check digit with the
// data, as our retail symbologies do when it is right.
enum class ZintEan { No, Plain, WithCheck };
struct ZintName {
    std::string_view Name;
    int Number;
    TBarCodeType Type;
    ZintEan Ean = ZintEan::No;
};
// clang-format off
constexpr ZintName ZintNames[] = {
    {"C25INTER", 3, bcInt2of5},   {"CODE39", 8, bcCode39},     {"EXCODE39", 9, bcCode39Ext},
    {"EANX", 13, bcEAN13, ZintEan::Plain}, {"EANX_CHK", 14, bcEAN13, ZintEan::WithCheck},
    {"GS1_128", 16, bcEAN128},    {"EAN128", 16, bcEAN128},    {"CODE128", 20, bcCode128},
    {"CODE93", 25, bcCode93},     {"UPCA", 34, bcUPCA},        {"UPCA_CHK", 35, bcUPCA},
    {"UPCE", 37, bcUPCE},         {"UPCE_CHK", 38, bcUPCE},    {"POSTNET", 40, bcPOSTNET},
};
// clang-format on

const ZintName* FindZintName(std::string_view Name) {
    if (Name.size() > 8 && vcl::SameText(Name.substr(0, 8), "BARCODE_"))
        Name.remove_prefix(8);
    for (const ZintName& Z : ZintNames)
        if (vcl::SameText(Name, Z.Name) || Name == std::to_string(Z.Number))
            return &Z;
    return nullptr;
}

// As zint reads an EAN by its length: up to 2 digits the 2-digit add-on, up to 5 the 5-digit
// one, up to 7 (8 with the check digit) EAN-8, else EAN-13; an add-on after '+' does not count.
TBarCodeType EanByLength(std::string_view Data, bool WithCheck) {
    const std::size_t Digits = Data.substr(0, Data.find('+')).size();
    if (Digits == 0)
        return bcEAN13;
    if (Digits <= 2)
        return bcUPC2ext;
    if (Digits <= 5)
        return bcUPC5ext;
    return Digits <= (WithCheck ? 8u : 7u) ? bcEAN8 : bcEAN13;
}

} // namespace

const Symbology* FindSymbology(std::string_view Name, std::string_view Data) {
    for (const Symbology& S : Symbologies())
        if (vcl::SameText(Name, S.Identifier) ||
            AnyShortName(S, [&](std::string_view Short) { return vcl::SameText(Name, Short); }))
            return &S;
    if (const ZintName* Z = FindZintName(Name))
        return &Symbologies()[Z->Ean == ZintEan::No
                                  ? Z->Type
                                  : EanByLength(Data, Z->Ean == ZintEan::WithCheck)];
    return nullptr;
}

std::string ValidSymbologyNames() {
    std::string Names;
    for (const Symbology& S : Symbologies())
        AnyShortName(S, [&](std::string_view Short) {
            if (!Names.empty())
                Names += ", ";
            Names += Short;
            return false;
        });
    return Names;
}

} // namespace lumivex::cli
