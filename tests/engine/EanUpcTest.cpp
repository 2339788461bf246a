// EAN-13, EAN-8 and UPC-A: check digit, module strings, early stops and tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <set>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

// ---- the standard's pieces ----

const std::string Start = "101";
const std::string Centre = "01010";
const std::string End = "101";

std::string AllL(const std::string& Digits) {
    return LGCodes(std::string(Digits.size(), 'L'), Digits);
}
std::string RightHalf(const std::string& Digits) {
    std::string s;
    for (const char d : Digits)
        s += RCode(d);
    return s;
}

// ---- check digit ----

TEST(EanUpc, Mod10Check) {
    const struct {
        std::string text;
        char check;
        const char* note;
    } rows[] = {
        {"400638133393", '1', "EAN-13 4006381333931"},
        {"9638507", '4', "EAN-8 96385074"},
        {"03600029145", '2', "UPC-A 036000291452"},
        {"04210000526", '4', "UPC-E 425261 expanded"},
        {"", '0', "empty: sum 0"},
        {"0", '0', "zero"},
        {"1", '7', "the last character weighs 3"},
        {"10", '9', "the one before it weighs 1"},
        {"000000000001", '7', "leading zeros change nothing"},
        {":", '0', "':' counts 10: 30"},
        {";", '7', "';' counts 11: 33"},
        {"\xFF", '9', "byte 255 counts 207: 621"},
        {"/", '=', "'/' counts -1: sum -3, 10 - (-3) = 13"},
        {"//", '>', "sum -4"},
        {"\x01", ';', "sum -141, remainder -1: 10 - (-1) = 11, the lowest past '9'"},
        {"-", 'C', "'-' counts -3: sum -9, 10 - (-9) = 19, the highest"},
        {std::string(10, '/'), '0', "sum -20: a negative multiple of 10 gives '0'"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Mod10Check(r.text), r.check) << r.note;

    // Every byte alone: the result is 48 + (10 - r) with r the truncated remainder of 3 x (b - 48).
    std::set<char> results;
    for (int b = 0; b < 256; ++b)
        results.insert(Mod10Check(std::string(1, static_cast<char>(b))));
    for (const char c : results)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= ';' && c <= 'C')) << int{c};

    // Ten million bytes of 255 sum to 4 140 000 000, past a 32-bit int.
    EXPECT_EQ(Mod10Check(std::string(10'000'000, '\xFF')), '0');
}

// ---- module strings ----

TEST(EanUpc, EAN13Modules) {
    ExpectModules(BarcodeEAN13,
                  {
                      {"400638133393",
                       Start + LGCodes("LGLLGG", "006381") + Centre + RightHalf("333931") + End,
                       "standard example 4006381333931, first digit 4 selects LGLLGG"},
                      {"400638133393",
                       "101000110101001110101111011110100010010110011010101000010100"
                       "00101000010111010010000101100110101",
                       "the same, as printed in the standard"},
                      {"123", Start + AllL("000000") + Centre + RightHalf("001236") + End,
                       "padded to 000000000123, check 6; first digit 0: all L codes"},
                      {"4006381333930",
                       Start + LGCodes("LGLLGG", "006381") + Centre + RightHalf("333930") + End,
                       "13 digits: the text's own last digit stands in the check digit's place"},
                      {"40063813339312345",
                       Start + LGCodes("LGLLGG", "006381") + Centre + RightHalf("333931") + End,
                       "longer still: only the first 13 characters are drawn"},
                      {"12345:789012", Start + LGCodes("LLGL", "2345"),
                       "first digit 1 (LLGLGG); stops at ':'"},
                      {"1234567;9012", Start + LGCodes("LLGLGG", "234567") + Centre,
                       "stops at ';', the first right-hand character"},
                      {";", Start + AllL("000000") + Centre + RightHalf("0000"),
                       "padded to 00000000000;, stops at ';'"},
                      {":23456789012", "", "first character not a digit: nothing at all"},
                      {"/23456789012", "", "the same for '/'"},
                  });
}

TEST(EanUpc, EAN13FirstDigitSelectsParity) {
    // p followed by eleven zeros: only p counts, with weight 1, so the check digit is (10 - p)
    // mod 10. The parities are the standard's first-digit table.
    const std::array<std::string, 10> parity = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                                "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
    for (int p = 0; p < 10; ++p) {
        const std::string text = std::to_string(p) + std::string(11, '0');
        const char check = static_cast<char>('0' + (10 - p) % 10);
        const std::string expected = Start + LGCodes(parity[p], "000000") + Centre +
                                     RightHalf(std::string("00000") + check) + End;
        EXPECT_EQ(Drawn(BarcodeEAN13, text), expected) << "first digit " << p;
    }
}

TEST(EanUpc, EAN8Modules) {
    ExpectModules(
        BarcodeEAN8,
        {
            {"9638507", Start + AllL("9638") + Centre + RightHalf("5074") + End,
             "standard example 96385074"},
            {"9638507", "1010001011010111101111010110111010101001110111001010001001011100101",
             "the same, as printed in the standard"},
            {"1", Start + AllL("0000") + Centre + RightHalf("0017") + End,
             "padded to 0000001, check 7"},
            {"96385070", Start + AllL("9638") + Centre + RightHalf("5070") + End,
             "8 digits: the last stands in the check digit's place"},
            {"963:507", Start + AllL("963"), "stops at ':'"},
            {"9638;07", Start + AllL("9638") + Centre, "stops at ';' after the centre"},
            {"/", Start + AllL("0000") + Centre + RightHalf("00"),
             "padded to 000000/, stops at '/'"},
        });
}

TEST(EanUpc, UPCAModules) {
    ExpectModules(
        BarcodeUPCA,
        {
            {"03600029145", Start + AllL("036000") + Centre + RightHalf("291452") + End,
             "standard example 036000291452"},
            {"03600029145",
             "101000110101111010101111000110100011010001101010101101100111"
             "01001100110101110010011101101100101",
             "the same, as printed in the standard"},
            {"1", Start + AllL("000000") + Centre + RightHalf("000017") + End,
             "padded to 00000000001, check 7"},
            {"036000291450", Start + AllL("036000") + Centre + RightHalf("291450") + End,
             "12 digits: the last stands in the check digit's place"},
            {"0360002914599", Start + AllL("036000") + Centre + RightHalf("291459") + End,
             "characters after the twelfth are not drawn"},
            {"12345:78901", Start + AllL("12345") + Centre + Centre + RightHalf("789018") + End,
             "':' (worth 10, check 8) draws a centre guard in the sixth digit's place"},
            {"0/600029145",
             Start + LCode('0') + "101" + AllL("6000") + Centre + RightHalf("291456") + End,
             "'/' (worth -1, check 6) draws a 3-module guard from the left byte"},
            {"03600029/45",
             Start + AllL("036000") + Centre + RightHalf("29") + "101" + RightHalf("458") + End,
             "'/' in the right half (check 8): the guard from the right byte"},
            {"036000;9145", Start + AllL("036000") + Centre, "stops at ';'"},
            {"0360;0", Start + AllL("000000") + Centre + RightHalf("360"),
             "padded to 000000360;0, stops at ';'"},
            {"!", Start + AllL("000000") + Centre + RightHalf("0000"), "stops at '!'"},
        });
}

TEST(EanUpc, ModulesAreScalePixelsWide) {
    const struct {
        Renderer draw;
        std::string text;
    } rows[] = {
        {BarcodeEAN13, "400638133393"}, {BarcodeEAN8, "9638507"}, {BarcodeUPCA, "03600029145"}};
    for (const auto& r : rows) {
        const std::string modules = Drawn(r.draw, r.text, 1);
        for (const int scale : {2, 3})
            EXPECT_EQ(Drawn(r.draw, r.text, scale), Widen(modules, scale)) << r.text;
    }
    // At Scale 2 the start guard covers Left..Left+1 and Left+4..Left+5.
    EXPECT_EQ(Drawn(BarcodeEAN13, "400638133393", 2).substr(0, 6), "110011");
}

// ---- the pipeline ----

std::string PipelineRow(TBarCodeType Type, int Scale, const std::string& Text, bool Interpret,
                        vcl::TBitmap& bmp) {
    EXPECT_TRUE(
        CreatedAtCalcWidth(bmp, BitmapStart::AsComponents, 40, Type, Scale, Text, Interpret));
    return Row(bmp, 0);
}

TEST(EanUpc, CreateBCDrawsTheRendererBetweenQuietZones) {
    const struct {
        TBarCodeType type;
        Renderer draw;
        std::string text;
    } rows[] = {{bcEAN13, BarcodeEAN13, "400638133393"},
                {bcEAN8, BarcodeEAN8, "9638507"},
                {bcUPCA, BarcodeUPCA, "03600029145"}};
    for (const auto& r : rows) {
        for (const int scale : {1, 2}) {
            for (const bool interpret : {false, true}) {
                vcl::TBitmap bmp;
                const std::string row = PipelineRow(r.type, scale, r.text, interpret, bmp);
                const std::string symbol = Widen(Drawn(r.draw, r.text), scale);
                EXPECT_EQ(row, std::string(10 * scale, '0') + symbol +
                                   std::string(row.size() - 10 * scale - symbol.size(), '0'))
                    << r.text;
                if (interpret)
                    continue; // the rows below the bars belong to the text
                // Guards are no longer than the digits' bars: every bar runs the full height.
                for (int y = 1; y < 40; ++y)
                    for (int x = 0; x < bmp.GetWidth(); ++x)
                        ASSERT_EQ(bmp.PixelColor(x, y) == vcl::clBlack, row[x] == '1')
                            << r.text << " x " << x << " y " << y;
            }
        }
    }
}

// ---- tables ----

TEST(EanUpc, CodeTables) {
    std::set<std::string> all;
    for (int d = 0; d < 10; ++d) {
        SCOPED_TRACE(d);
        const char c = static_cast<char>('0' + d);
        const std::string l = Bits(BC_EAN_LEFT[d], 8, 15);
        const std::string g = Bits(BC_EAN_LEFT[d], 8, 7);
        const std::string r = Bits(BC_EAN_RIGHT[d], 8, 15);
        // Bars, spaces and parities are checked with every pattern table's.
        EXPECT_EQ(l.substr(0, 7), LCode(c));
        EXPECT_EQ(r.substr(0, 7), RCode(c)) << "R is L with bars and spaces exchanged";
        EXPECT_EQ(g.substr(0, 7), GCode(c)) << "G is R backwards";
        for (const std::string& code : {l.substr(0, 7), g.substr(0, 7), r.substr(0, 7)})
            all.insert(code);
    }
    EXPECT_EQ(all.size(), 30u) << "no two codes alike";

    // Parities of the first digit: L first always, three G's for 1..9, none for 0, bits 1..0
    // clear, no two alike.
    std::set<int> parities;
    for (int d = 0; d < 10; ++d) {
        const int p = BC_EAN_RIGHT[d] & 0xFF;
        EXPECT_EQ(p & 0x83, 0) << d;
        EXPECT_EQ(std::popcount(static_cast<unsigned>(p)), d == 0 ? 0 : 3) << d;
        parities.insert(p);
    }
    EXPECT_EQ(parities.size(), 10u);

    // UPC-A: the outer and centre guards, then per digit its L code on the left and R code on
    // the right.
    EXPECT_EQ(Bits(BC_UPCA[0], 8, 15), "10100000");
    EXPECT_EQ(Bits(BC_UPCA[0], 8, 7), "10100000");
    EXPECT_EQ(Bits(BC_UPCA[11], 8, 15), "01010000");
    EXPECT_EQ(Bits(BC_UPCA[11], 8, 7), "01010000");
    for (int d = 0; d < 10; ++d) {
        const char c = static_cast<char>('0' + d);
        EXPECT_EQ(Bits(BC_UPCA[d + 1], 8, 15), LCode(c) + "0") << d;
        EXPECT_EQ(Bits(BC_UPCA[d + 1], 8, 7), RCode(c) + "0") << d;
    }
}

} // namespace
} // namespace lumivex::test
