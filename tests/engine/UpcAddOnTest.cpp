// UPC/EAN 2- and 5-digit add-ons: parities, module strings, the early stop, the number
// conversion's exception, bar placement and the parity table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "host/sysutils/SysUtils.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

// The standard's 5-digit add-on parities by checksum.
const char* const Parity5[10] = {"GGLLL", "GLGLL", "GLLGL", "GLLLG", "LGGLL",
                                 "LLGGL", "LLLGG", "LGLGL", "LGLLG", "LLGLG"};
// The 2-digit add-on parities by value mod 4.
const char* const Parity2[4] = {"LL", "LG", "GL", "GG"};

const std::string Start = "1011";
const std::string Delineator = "01";

// The characters of Digits in the EAN codes (L odd parity, G even parity) of Parity,
// delineators between them.
std::string Chars(const std::string& Digits, const std::string& Parity) {
    std::string s;
    for (std::size_t i = 0; i < Digits.size(); ++i) {
        if (i > 0)
            s += Delineator;
        s += LGCodes(Parity.substr(i, 1), Digits.substr(i, 1));
    }
    return s;
}

TEST(UpcAddOn, FiveDigitModuleStrings) {
    const std::vector<ModuleRow> rows = {
        {"52495", "10110111001010010011010011101010001011010110001",
         "3 x (5 + 4 + 5) + 9 x (2 + 9) = 141: checksum 1, GLGLL"},
        {"52495", Start + Chars("52495", Parity5[1]), "the same from its pieces"},
        {"524951", Start + Chars("52495", Parity5[1]), "cut to the first five"},
        {"24", Start + Chars("00024", Parity5[0]), "00024: sum 30, checksum 0, GGLLL"},
        {"", Start + Chars("00000", Parity5[0]), "empty text, called directly: 00000"},
        {"01234", Start + Chars("01234", Parity5[4]), "sum 54: checksum 4"},
        {"90000", Start + Chars("90000", Parity5[7]), "sum 27: checksum 7"},
        {"00002", Start + Chars("00002", Parity5[6]), "sum 6: checksum 6"},
        {"00100", Start + Chars("00100", Parity5[3]), "sum 3: checksum 3"},
        {"01000", Start + Chars("01000", Parity5[9]), "sum 9: checksum 9"},
        {"00010", Start + Chars("00010", Parity5[9]), "sum 9, the fourth digit weighs 9 too"},
        {"00008", Start + Chars("00008", Parity5[4]), "sum 24: checksum 4"},
        {"00005", Start + Chars("00005", Parity5[5]), "sum 15: checksum 5"},
        {"99999", Start + Chars("99999", Parity5[3]), "sum 243: checksum 3"},
        {"00006", Start + Chars("00006", Parity5[8]), "sum 18: checksum 8"},
        {"00004", Start + Chars("00004", Parity5[2]), "sum 12: checksum 2"},
    };
    ExpectModules(BarcodeUPC5ext, rows);
    for (const auto& row : rows)
        EXPECT_EQ(row.Modules.size(), 47u) << row.Note;
}

TEST(UpcAddOn, FiveDigitStopsAtACharacterItCannotEncode) {
    ExpectModules(
        BarcodeUPC5ext,
        {
            {"12:45", Start + Chars("12", "GL") + Delineator,
             "':' counts 10: 3 x (1 + 10 + 5) + 9 x (2 + 4) = 102, checksum 2, GLLGL"},
            {":", Start + Chars("0000", "GGLL") + Delineator, "0000: with ':' counting 10, sum 30"},
            {";1234", Start, "at the first character"},
            {"1234\xFF", Start + Chars("1234", "LGLG") + Delineator,
             "255 counts 207: sum 687, checksum 7, LGLGL"},
            // A negative checksum names no parity: the characters before the stop take L codes.
            {"/", Start + Chars("0000", "LLLL") + Delineator, "'/' counts -1: sum -3"},
            {"1234\x01", Start + Chars("1234", "LLLL") + Delineator, "byte 1 counts -47: sum -75"},
        });
}

TEST(UpcAddOn, TwoDigitModuleStrings) {
    ExpectModules(BarcodeUPC2ext,
                  {
                      {"12", "10110011001010010011", "12 mod 4 = 0: LL"},
                      {"34", "10110100001010100011", "34 mod 4 = 2: GL"},
                      {"05", "10110001101010111001", "5 mod 4 = 1: LG"},
                      {"7", "10110100111010010001", "07: 7 mod 4 = 3, GG"},
                      {"123", Start + Chars("12", "LL"), "cut to the first two"},
                      {"99", Start + Chars("99", "GG"), "99 mod 4 = 3"},
                      {"", Start + Chars("0", "L") + Delineator,
                       "empty text, called directly: 0 and no second character"},
                      {" 1", Start, "a blank the conversion skips, but no digit to draw"},
                      {"-1", Start, "a sign the conversion reads, but no digit to draw"},
                  });
    // Every value: the parity follows the value mod 4.
    for (int v = 0; v <= 99; ++v) {
        const std::string text = {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
        EXPECT_EQ(Drawn(BarcodeUPC2ext, text), Start + Chars(text, Parity2[v % 4])) << text;
    }
}

TEST(UpcAddOn, TwoDigitNonNumberRaisesAfterTheStartGuard) {
    for (const std::string text : {"1:", ":1", ";;", "1;", ":", "1 "}) {
        SCOPED_TRACE(text);
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf8bit);
        bmp.SetSize(40, 10);
        vcl::TCanvas& c = bmp.GetCanvas();
        c.GetBrush().SetColor(vcl::clRed);
        c.GetBrush().SetStyle(vcl::bsClear);
        EXPECT_THROW(BarcodeUPC2ext(c, 0, 0, 10, 1, text), vcl::EConvertError);
        EXPECT_EQ(Ink(Row(bmp, 0)), Start);
        EXPECT_EQ(c.GetBrush().GetColor(), vcl::clRed);
        EXPECT_EQ(c.GetBrush().GetStyle(), vcl::bsClear);
    }
}

TEST(UpcAddOn, CreateBCLetsTheConversionErrorThroughAtOnce) {
    for (const std::string text : {"1:", ":1", ";"}) {
        SCOPED_TRACE(text);
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf24bit);
        bmp.SetHeight(30);
        EXPECT_THROW(CreateBC(bmp, bcUPC2ext, 2, 30, text, true, bcRotate90), vcl::EConvertError);
        // The width was set; the turn that would come later did not run.
        EXPECT_EQ(bmp.GetWidth(), 80);
        EXPECT_EQ(bmp.GetHeight(), 30);
        EXPECT_EQ(bmp.GetPixelFormat(), vcl::pf24bit);
        // The background was cleared and the start guard (1011) drawn before the conversion
        // (without the text flag, so that the bars take the whole height).
        bmp.SetPixelFormat(vcl::pf8bit);
        EXPECT_THROW(CreateBC(bmp, bcUPC2ext, 2, 30, text, false, bcRotate90), vcl::EConvertError);
        EXPECT_EQ(bmp.PixelColor(0, 29), vcl::clWhite);
        EXPECT_EQ(bmp.PixelColor(20, 29), vcl::clBlack);
        EXPECT_EQ(bmp.PixelColor(22, 29), vcl::clWhite);
        EXPECT_EQ(bmp.PixelColor(24, 29), vcl::clBlack);
    }
}

TEST(UpcAddOn, BarsStandBelowTheTextRoom) {
    // With the text flag the bars run from 15 x Scale to the bottom, else over every row.
    const struct {
        TBarCodeType type;
        std::string text, modules;
    } rows[] = {
        {bcUPC2ext, "34", Start + Chars("34", "GL")},
        {bcUPC5ext, "52495", Start + Chars("52495", Parity5[1])},
    };
    for (const auto& r : rows) {
        for (const int scale : {1, 2, 3}) {
            for (const bool interpret : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << r.text << " scale " << scale << " interpret " << interpret);
                const int height = 60;
                vcl::TBitmap bmp;
                PrepareBitmap(bmp, height, BitmapStart::EightBit);
                CreateBC(bmp, r.type, scale, height, r.text, interpret, bcNoRotate);
                const int top = interpret ? 15 * scale : 0;
                const int x = 10 * scale; // the first bar of the start guard
                for (int y = top; y < height; ++y)
                    ASSERT_EQ(bmp.PixelColor(x, y), vcl::clBlack) << "row " << y;
                if (top > 0) {
                    EXPECT_NE(bmp.PixelColor(x, top - 1), vcl::clBlack);
                }
                const std::string quiet(10 * scale, '0');
                EXPECT_EQ(Row(bmp, top), quiet + Widen(r.modules, scale) + quiet);
                EXPECT_EQ(Row(bmp, height - 1), quiet + Widen(r.modules, scale) + quiet);
            }
        }
    }
}

TEST(UpcAddOn, ScaleWidensEveryModule) {
    // Drawn also checks that the bars fill their rows from Top to Top + Height - 1 only.
    for (const int scale : {2, 3}) {
        EXPECT_EQ(Drawn(BarcodeUPC2ext, "34", scale), Widen(Start + Chars("34", "GL"), scale));
        EXPECT_EQ(Drawn(BarcodeUPC5ext, "52495", scale),
                  Widen(Start + Chars("52495", Parity5[1]), scale));
    }
}

TEST(UpcAddOn, ParityTable) {
    // By checksum: the parities of the five characters, two of them G codes.
    ExpectTwoOfFive(BC_UPC5ext_Parity, Parity5, 'G', 'L');
}

} // namespace
} // namespace lumivex::test
