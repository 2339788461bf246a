// Code 128 and EAN-128: start set, symbol strings, check symbols and the pattern table.
#include <gtest/gtest.h>

#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

using namespace lumivex;

namespace {

// Symbol values by name.
enum : int {
    Shift = 98,
    CodeC = 99,
    CodeB = 100,
    CodeA = 101,
    Fnc1 = 102,
    StartA = 103,
    StartB = 104,
    StartC = 105,
    Stop = 106,
    Fnc4A = 101, // FNC4 read in set A
    Fnc4B = 100, // FNC4 read in set B
};

std::vector<int> Values(const std::string& Symbols) {
    std::vector<int> v;
    for (const char c : Symbols)
        v.push_back(static_cast<unsigned char>(c) - 32);
    return v;
}

TEST(Code128, StartSet) {
    const struct {
        std::string text;
        char set;
    } rows[] = {
        {"", 'B'},      {"1234", 'C'}, {"12345", 'C'}, {"123", 'B'},
        {"123\t", 'A'}, {"123a", 'B'}, {"ABC", 'B'},   {"AB\tc", 'A'},
        {"ab\t", 'B'},  {"`\t", 'B'},  {"{", 'B'},     {"\x7F\x01", 'B'},
        {"\x80", 'A'},  {"\xE1", 'B'}, {"A\x81", 'A'}, {"12ab", 'B'},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Get_128_StartCode(row.text), row.set) << row.text;
}

struct SymbolRow {
    std::string text;
    bool ean;
    std::vector<int> symbols;
    const char* note;
};

TEST(Code128, SymbolStrings) {
    using std::string;
    const SymbolRow rows[] = {
        {"12345", false, {StartC, 12, 34, CodeB, 21, 54, Stop}, "odd digit run ends in set B"},
        {"1234", false, {StartC, 12, 34, 82, Stop}, "even digits stay in set C"},
        {"123", false, {StartB, 17, 18, 19, 8, Stop}, "three digits stay in set B"},
        {"AB1234", false, {StartB, 33, 34, CodeC, 12, 34, 102, Stop}, "switch to C for 4 digits"},
        {"A12345B",
         false,
         {StartB, 33, 17, CodeC, 23, 45, CodeB, 34, 78, Stop},
         "odd run: one digit in B, the rest in C"},
        {"\tabc", false, {StartA, 73, CodeB, 65, 66, 67, 37, Stop}, "control byte starts in A"},
        {"a\tb", false, {StartB, 65, Shift, 73, 66, 24, Stop}, "a lone control byte is shifted"},
        {"0123456789", true, {StartC, Fnc1, 1, 23, 45, 67, 89, 91, Stop}, "EAN-128 FNC1"},
        {"", false, {StartB, 1, Stop}, "empty text"},
        {"", true, {StartB, Fnc1, 0, Stop}, "empty text, EAN-128"},
        {"1234AB", false, {StartC, 12, 34, CodeB, 33, 34, 66, Stop}, "C, then B for the rest"},
        {"1234\tA", false, {StartC, 12, 34, CodeA, 73, 33, 18, Stop}, "C, then A for a control"},
        // A control byte left alone after the digit pairs is written in set A; set B has no
        // such symbol.
        {"1234\x01", false, {StartC, 12, 34, CodeA, 65, 27, Stop}, "last byte a control byte"},
        // Bytes only set B holds, met while set A is current.
        {"\t{", false, {StartA, 73, CodeB, 91, 31, Stop}, "'{' needs set B"},
        {"\t{\t", false, {StartA, 73, Shift, 91, 73, 10, Stop}, "'{' between controls: SHIFT"},
        {"\t`", false, {StartA, 73, CodeB, 64, 53, Stop}, "'`' needs set B"},
        // Byte 128 is FNC4 followed by NUL, which only set A holds.
        {"\x80", false, {StartA, Fnc4A, 64, 23, Stop}, "byte 128 in set A"},
        {"a\x80", false, {StartB, 65, CodeA, Fnc4A, 64, 3, Stop}, "byte 128 after set B"},
        {"\xE1", false, {StartB, Fnc4B, 65, 25, Stop}, "byte 225 is FNC4 + 'a'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        EXPECT_EQ(Values(Optimize_128_bc_New(row.text, row.ean)), row.symbols);
    }
}

TEST(Code128, CheckSymbol) {
    // Start symbol weight 1, then 1, 2, 3, ... modulo 103.
    EXPECT_EQ(Code128_Check_Digit(""), 32);
    EXPECT_EQ(Code128_Check_Digit(std::string(1, char(StartB + 32))), 1 + 32);
    const std::string s = {char(StartC + 32), char(12 + 32), char(34 + 32)};
    EXPECT_EQ(Code128_Check_Digit(s), (105 + 12 + 34 * 2) % 103 + 32);
    // A long string does not overflow the sum.
    const std::string longer(100000, char(106 + 32));
    const int c = static_cast<unsigned char>(Code128_Check_Digit(longer)) - 32;
    EXPECT_GE(c, 0);
    EXPECT_LT(c, 103);
}

TEST(Code128, EveryByteEncodesAsASymbolOfTheTable) {
    // Whatever the bytes, every symbol is a value of the table, the check and stop close it.
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    for (const bool ean : {false, true}) {
        const std::vector<int> v = Values(Optimize_128_bc_New(all, ean));
        for (const int value : v) {
            EXPECT_GE(value, 0);
            EXPECT_LE(value, 106);
        }
        EXPECT_EQ(v.back(), Stop);
        std::string withoutTail;
        for (std::size_t i = 0; i + 2 < v.size(); ++i)
            withoutTail += static_cast<char>(v[i] + 32);
        EXPECT_EQ(static_cast<unsigned char>(Code128_Check_Digit(withoutTail)) - 32,
                  v[v.size() - 2]);
    }
}

TEST(Code128, LongDigitAndMixedTextsStayLinear) {
    // Alternating short letters and digit runs make the set switch often; the symbol count
    // must match a direct count, and building the string must not rescan the text.
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "1234A";
    const std::string s = Optimize_128_bc_New(text, false);
    // START C, then per "1234A": 12 34 CODE B A CODE C (the last without CODE C), check, stop.
    EXPECT_EQ(s.size(), 1 + 20000 * 5 - 1 + 2);
}

// The entries' structure is checked with every pattern table's (PatternTableTest.cpp).
TEST(Code128, PatternTable) {
    test::ExpectEntries(BC_Code128,
                        {{0, 0xD980}, {103, 0xD080}, {104, 0xD200}, {105, 0xD380}, {106, 0xC758}});
}

} // namespace
