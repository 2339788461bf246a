#include "tools/lumivex/DataCheck.h"

#include <cstdio>

#include "engine/Barcode.h"

namespace lumivex::cli {

namespace {

// A printable byte as it is, any other named as one.
std::string Byte(unsigned char c) {
    return c >= 0x20 && c <= 0x7E ? DescribeByte(c) : "byte " + DescribeByte(c);
}

// The retail numbers whose full form carries its check digit: how many digits that form has, and
// the check digit the components would compute for the rest.
struct TFullForm {
    std::size_t Digits = 0;
    char (*Check)(const std::string& Rest) = nullptr;
};

char UPCECheck(const std::string& Rest) {
    // "0", the six digits: the check digit is the expansion's, of number system 0.
    return Mod10Check(UPCE_Expand(Rest.substr(1)));
}

TFullForm FullFormOf(TBarCodeType Type) {
    switch (Type) {
    case bcEAN13:
        return {13, Mod10Check};
    case bcUPCA:
        return {12, Mod10Check};
    case bcEAN8:
        return {8, Mod10Check};
    case bcUPCE:
        return {8, UPCECheck};
    default:
        return {};
    }
}

} // namespace

std::string DescribeByte(unsigned char c) {
    if (c == '\'')
        return "\"'\"";
    if (c >= 0x20 && c <= 0x7E)
        return std::string("'") + static_cast<char>(c) + "'";
    char Hex[8];
    std::snprintf(Hex, sizeof Hex, "0x%02X", c);
    return Hex;
}

std::string CheckedData(const TSymbology& S, const std::string& Data) {
    const std::string Name(S.Name);
    if (Data.empty())
        throw DataRefused("no data to encode: --data is empty");
    for (std::size_t i = 0; i < Data.size(); ++i)
        if (FilterBCText(S.Type, std::string(1, Data[i])).empty())
            throw DataRefused(Byte(static_cast<unsigned char>(Data[i])) + " at position " +
                              std::to_string(i + 1) + " is not carried by " + Name +
                              ", which takes " + std::string(CharClassText(S.CharClass)) +
                              " (--filter drops what it cannot carry)");
    const TFullForm Full = FullFormOf(S.Type);
    if (Full.Digits != 0 && Data.size() == Full.Digits) {
        const std::string Rest = Data.substr(0, Data.size() - 1);
        if (S.Type == bcUPCE && Rest[0] != '0')
            throw DataRefused("the 8-digit " + Name + " must start with number system 0, not " +
                              Byte(static_cast<unsigned char>(Rest[0])) + " at position 1");
        const char Computed = Full.Check(Rest);
        if (Data.back() != Computed)
            throw DataRefused("check digit " + std::string(1, Data.back()) + " at position " +
                              std::to_string(Data.size()) + " is wrong for " + Name + " " + Rest +
                              ": it is " + std::string(1, Computed));
        return S.Type == bcUPCE ? Rest.substr(1) : Rest;
    }
    if (S.MaxLength != 0 && Data.size() > S.MaxLength)
        throw DataRefused(Name + " carries at most " + std::to_string(S.MaxLength) + " characters" +
                          (Full.Digits
                               ? " (" + std::to_string(Full.Digits) + " with its check digit)"
                               : std::string()) +
                          ", not " + std::to_string(Data.size()) + ": position " +
                          std::to_string(S.MaxLength + 1) + " on is too many");
    // A byte the filter keeps may still be written as another (Code 39 has capitals only).
    const std::string Filtered = FilterBCText(S.Type, Data);
    for (std::size_t i = 0; i < Data.size() && i < Filtered.size(); ++i)
        if (Filtered[i] != Data[i])
            throw DataRefused(Byte(static_cast<unsigned char>(Data[i])) + " at position " +
                              std::to_string(i + 1) + " would be encoded as " +
                              Byte(static_cast<unsigned char>(Filtered[i])) + " by " + Name +
                              ", which takes " + std::string(CharClassText(S.CharClass)) +
                              " (--filter encodes it so)");
    if (Filtered != Data)
        throw DataRefused("the data is not carried by " + Name + " as it stands");
    return Data;
}

} // namespace lumivex::cli
