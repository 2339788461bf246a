// The symbology catalogue's character classes and maximum lengths, and the text filter.
#include "engine/Barcode.h"

namespace lumivex {

namespace {

enum class CharClass { FullAscii, Code39, Digits };

struct FilterRule {
    CharClass cls;
    std::size_t maxLength; // 0: none
};

constexpr std::array<FilterRule, BarCodeTypeCount> kRules{{
    {CharClass::FullAscii, 0}, // bcCode128
    {CharClass::Code39, 0},    // bcCode39
    {CharClass::FullAscii, 0}, // bcCode39Ext
    {CharClass::Digits, 11},   // bcUPCA
    {CharClass::Digits, 0},    // bcInt2of5
    {CharClass::FullAscii, 0}, // bcCode93
    {CharClass::Digits, 12},   // bcEAN13
    {CharClass::Digits, 7},    // bcEAN8
    {CharClass::FullAscii, 0}, // bcEAN128
    {CharClass::Digits, 11},   // bcPOSTNET
    {CharClass::Digits, 6},    // bcUPCE
    {CharClass::Digits, 2},    // bcUPC2ext
    {CharClass::Digits, 5},    // bcUPC5ext
}};

bool Passes(CharClass cls, unsigned char c) {
    if (c == 0)
        return false;
    switch (cls) {
    case CharClass::FullAscii:
        return c <= 128; // 128 passes too: Code 128 carries it with FNC4
    case CharClass::Code39:
        return c >= 32 && c <= 90 && BC_Code39Ref[c - 32] != 0;
    case CharClass::Digits:
        return c >= '0' && c <= ';'; // ':' and ';' included
    }
    return false;
}

} // namespace

std::string FilterBCText(TBarCodeType BarcodeType, const std::string& Text) {
    if (BarcodeType >= BarCodeTypeCount)
        return {};
    const FilterRule& rule = kRules[BarcodeType];
    std::string out;
    out.reserve(Text.size());
    for (const char ch : Text) {
        auto c = static_cast<unsigned char>(ch);
        if (BarcodeType == bcCode39 && c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 32);
        if (Passes(rule.cls, c)) {
            out += static_cast<char>(c);
            if (rule.maxLength != 0 && out.size() == rule.maxLength)
                break;
        }
    }
    return out;
}

} // namespace lumivex
