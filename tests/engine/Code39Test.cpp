// Code 39 and Code 39 full ASCII: module strings, early stops and the tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

// The 44 characters in table order, and their nine elements as the Code 39 standard lists them:
// bar, space, bar, ... with n = narrow (1 module) and w = wide (2 modules).
const std::string Order = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+%";
const char* const Elements[44] = {
    "nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw", // 0 1 2 3 4
    "wnnwwnnnn", "nnwwwnnnn", "nnnwnnwnw", "wnnwnnwnn", "nnwwnnwnn", // 5 6 7 8 9
    "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw", "wnnnwwnnn", // A B C D E
    "nnwnwwnnn", "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn", // F G H I J
    "wnnnnnnww", "nnwnnnnww", "wnwnnnnwn", "nnnnwnnww", "wnnnwnnwn", // K L M N O
    "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn", "nnwnnnwwn", "nnnnwnwwn", // P Q R S T
    "wwnnnnnnw", "nwwnnnnnw", "wwwnnnnnn", "nwnnwnnnw", "wwnnwnnnn", // U V W X Y
    "nwwnwnnnn", "nwnnnnwnw", "wwnnnnwnn", "nwwnnnwnn", "nwnnwnwnn", // Z - . space *
    "nwnwnwnnn", "nwnwnnnwn", "nwnnnwnwn", "nnnwnwnwn",              // $ / + %
};

// A character's modules followed by its one-module gap, built from the standard's elements.
std::string L(char c) {
    const char* e = Elements[Order.find(c)];
    std::string s;
    for (int i = 0; i < 9; ++i)
        s += std::string(e[i] == 'w' ? 2 : 1, i % 2 == 0 ? '1' : '0');
    return s + "0";
}

const std::string Quiet(10, '0');
const std::string Star = L('*');

TEST(Code39, DrawsFramedCharactersAndStopsAtTheFirstItCannotWrite) {
    ExpectModules(
        BarcodeCode39,
        {
            {"", Star + Star, "start and stop only, 26 modules"},
            {"AB", Star + L('A') + L('B') + Star, "two letters"},
            {"09", Star + L('0') + L('9') + Star, "the first and last digit"},
            {"-. $/+%", Star + L('-') + L('.') + L(' ') + L('$') + L('/') + L('+') + L('%') + Star,
             "the seven signs"},
            {"A*B", Star + L('A') + Star + L('B') + Star, "a '*' inside is drawn as one"},
            {"A!B", Star + L('A'), "'!' has no pattern: no stop character"},
            {"@", Star, "the at sign has no pattern either"},
            {"Ab", Star + L('A'), "lower case lies above 'Z'"},
            {"[", Star, "the byte after 'Z'"},
            {"\x1F", Star, "the byte before the space"},
            {"Z\x80", Star + L('Z'), "a byte above 127"},
        });
}

TEST(Code39, FullAsciiDrawsPairsAndStopsAboveByte127) {
    const std::string plusA = L('+') + L('A'), plusB = L('+') + L('B'), plusC = L('+') + L('C');
    ExpectModules(BarcodeCode39ext,
                  {
                      {"", Star + Star, "start and stop only"},
                      {"abc", Star + plusA + plusB + plusC + Star, "+A +B +C: 8 characters"},
                      {"-", Star + L('/') + L('M') + Star, "'-' is the pair /M"},
                      {".", Star + L('/') + L('N') + Star, "'.' is the pair /N"},
                      {"A 1", Star + L('A') + L(' ') + L('1') + Star, "single characters"},
                      {std::string(1, '\0'), Star + L('%') + L('U') + Star, "NUL is %U"},
                      {"\x7F", Star + L('%') + L('T') + Star, "DEL is %T"},
                      {"@`", Star + L('%') + L('V') + L('%') + L('W') + Star, "%V and %W"},
                      {"A\x80"
                       "B",
                       Star + L('A'), "byte 128: no further character, no stop"},
                      {"\xFF", Star, "a text that begins above 127 shows the start only"},
                  });
    // The 8 characters of abc are 104 modules.
    EXPECT_EQ((Star + plusA + plusB + plusC + Star).size(), 104u);
}

TEST(Code39, CreateBCDrawsTheModulesOfTheRenderer) {
    const std::string modules = Quiet + Star + L('+') + L('A') + L('1') + Star + Quiet;
    for (const int scale : {1, 2, 3}) {
        const std::string expected = Widen(modules, scale);
        vcl::TBitmap bmp;
        // Tall enough that the printed text leaves the top rows of bars whole.
        const int height = 50 * scale;
        PrepareBitmap(bmp, height, BitmapStart::EightBit);
        CreateBC(bmp, bcCode39Ext, scale, height, "a1", true, bcNoRotate);
        EXPECT_EQ(Row(bmp, 0), expected) << scale;
        CreateBC(bmp, bcCode39, scale, height, "+A1", false, bcNoRotate);
        EXPECT_EQ(Row(bmp, height - 1), expected) << "the same characters written directly";
    }
}

// Each entry is the standard's elements; the structure is checked with every pattern table's.
TEST(Code39, PatternTable) {
    for (int i = 0; i < 44; ++i)
        EXPECT_EQ(Bits(BC_Code39[i], 13), L(Order[i])) << "entry " << i << " '" << Order[i] << "'";
    ExpectEntries(BC_Code39, {{0, 0xA6D0}, {10, 0xD4B0}, {39, 0x96D0}, {43, 0xA490}});
}

TEST(Code39, ReferenceTables) {
    // BC_Code39Ref: every character of the set finds its own pattern, the others 0.
    for (int c = 32; c <= 90; ++c) {
        const std::size_t pos = Order.find(static_cast<char>(c));
        const int expected = pos == std::string::npos ? 0 : static_cast<int>(pos) + 1;
        EXPECT_EQ(BC_Code39Ref[c - 32], expected) << "byte " << c;
    }
    // BC_Code39ERef: the first character always exists, the second is a letter after one of
    // the four shifts; the pair is one character for space, digits and capitals only.
    const std::string shifts = "$%/+";
    for (int c = 0; c < 128; ++c) {
        SCOPED_TRACE(testing::Message() << "byte " << c);
        const int first = BC_Code39ERef[c] >> 8, second = BC_Code39ERef[c] & 0xFF;
        ASSERT_GE(first, 1);
        ASSERT_LE(first, 44);
        const bool single = c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
        if (single) {
            EXPECT_EQ(Order[first - 1], c);
            EXPECT_EQ(second, 0);
        } else {
            EXPECT_NE(shifts.find(Order[first - 1]), std::string::npos);
            ASSERT_GE(second, 11) << "a capital";
            ASSERT_LE(second, 36);
        }
    }
    // Rows of the full-ASCII table, one per range, indexed by byte.
    ExpectEntries(BC_Code39ERef,
                  {
                      {0, 0x2C1F},   {1, 0x290B},  {26, 0x2924}, {27, 0x2C0B},  {31, 0x2C0F},
                      {32, 0x2700},  {33, 0x2A0B}, {44, 0x2A16}, {45, 0x2A17},  {46, 0x2A18},
                      {47, 0x2A19},  {48, 0x0100}, {57, 0x0A00}, {58, 0x2A24},  {59, 0x2C10},
                      {63, 0x2C14},  {64, 0x2C20}, {65, 0x0B00}, {90, 0x2400},  {91, 0x2C15},
                      {95, 0x2C19},  {96, 0x2C21}, {97, 0x2B0B}, {122, 0x2B24}, {123, 0x2C1A},
                      {127, 0x2C1E},
                  });
}

} // namespace
} // namespace lumivex::test
