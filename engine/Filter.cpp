// The text filter: each symbology's character class and maximum length, from its table row.
#include "engine/Barcode.h"

namespace lumivex {

namespace {

bool Passes(TCharClass cls, unsigned char c) {
    if (c == 0)
        return false;
    switch (cls) {
    case ccFullAscii:
        return c <= 128; // 128 passes too: Code 128 carries it with FNC4
    case ccCode39:
        return c >= 32 && c <= 90 && BC_Code39Ref[c - 32] != 0;
    case ccDigits:
        return c >= '0' && c <= ';'; // ':' and ';' included
    }
    return false;
}

} // namespace

std::string FilterBCText(TBarCodeType BarcodeType, const std::string& Text) {
    const TSymbology* row = SymbologyOf(BarcodeType);
    if (!row)
        return {};
    std::string out;
    out.reserve(Text.size());
    for (const char ch : Text) {
        auto c = static_cast<unsigned char>(ch);
        if (BarcodeType == bcCode39 && c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 32);
        if (Passes(row->CharClass, c)) {
            out += static_cast<char>(c);
            if (row->MaxLength != 0 && out.size() == row->MaxLength)
                break;
        }
    }
    return out;
}

} // namespace lumivex
