// UPC-E: the conversions both ways, module strings, early stops and tables.
#include <gtest/gtest.h>

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
const std::string End = "010101";

// The standard's parity patterns for number system 0, by check digit.
const std::array<std::string, 10> Parity0 = {"GGGLLL", "GGLGLL", "GGLLGL", "GGLLLG", "GLGGLL",
                                             "GLLGGL", "GLLLGG", "GLGLGL", "GLGLLG", "GLLGLG"};

// The six characters of a code whose expansion has check digit Check.
std::string Six(int Check, const std::string& Digits) {
    return LGCodes(Parity0[Check], Digits);
}

// ---- conversions ----

TEST(UpcE, Expand) {
    const struct {
        std::string code, number;
        const char* note;
    } rows[] = {
        {"123450", "01200000345", "last digit 0: manufacturer X1 X2 X6 00, product 00 X3 X4 X5"},
        {"123451", "01210000345", "last digit 1"},
        {"123452", "01220000345", "last digit 2"},
        {"123453", "01230000045", "last digit 3: X1 X2 X3 00, 000 X4 X5"},
        {"123454", "01234000005", "last digit 4: X1..X4 0, 0000 X5"},
        {"123455", "01234500005", "last digit 5: X1..X5, 0000 X6"},
        {"123459", "01234500009", "last digit 9"},
        {"425261", "04210000526", "standard example, check digit 4"},
        {"1234567", "01234500006", "characters after the sixth are ignored"},
        {"AB:;/0", "0AB00000:;/", "the first five are copied unexamined"},
        {"12345", "", "five characters"},
        {"", "", "empty"},
        {"12345A", "", "sixth character not a digit"},
        {"12345:", "", "':' in the sixth place"},
        {"12345;", "", "';' in the sixth place"},
        {"12345/", "", "'/' in the sixth place"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(UPCE_Expand(r.code), r.number) << r.note;
}

TEST(UpcE, UPCAToUPCE) {
    const struct {
        std::string number, code;
        const char* note;
    } rows[] = {
        {"01200000345", "123450", "A4 = 0..2 with A5..A8 zero"},
        {"01210000345", "123451", "A4 = 1"},
        {"01220000345", "123452", "A4 = 2"},
        {"01230000045", "123453", "A5..A9 zero"},
        {"01234000005", "123454", "A6..A10 zero"},
        {"01234500005", "123455", "A7..A10 zero, A11 = 5"},
        {"01234500009", "123459", "A11 = 9"},
        {"04210000526", "425261", "standard example"},
        {"012000003455", "123450", "a check digit after the eleventh is ignored"},
        {"01300000345", "133450", "the first two rules both fit: the first wins"},
        {"11200000345", "123450", "the number system is not examined"},
        {"01234567890", "", "no UPC-E form"},
        {"01230000405", "", "A4 = 3 and A9 not zero"},
        {"01234000015", "", "A10 not zero"},
        {"01234500004", "", "A7..A10 zero but A11 below 5"},
        {"01200010345", "", "A5..A8 not all zero"},
        {"0120000034", "", "ten characters"},
        {"", "", "empty"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(UPCA_to_UPCE(r.number), r.code) << r.note;
}

TEST(UpcE, ConversionsRoundTrip) {
    // Every number system 0 number made of the digits 0, 3 and 5: those with a UPC-E form come
    // back from it, and each kind of last digit occurs.
    const char digits[] = {'0', '3', '5'};
    std::set<char> kinds;
    int converted = 0;
    for (int n = 0; n < 59049; ++n) {
        std::string number = "0";
        for (int i = 0, v = n; i < 10; ++i, v /= 3)
            number += digits[v % 3];
        const std::string code = UPCA_to_UPCE(number);
        if (code.empty())
            continue;
        ++converted;
        ASSERT_EQ(code.size(), 6u) << number;
        ASSERT_EQ(UPCE_Expand(code), number) << number << " -> " << code;
        kinds.insert(code[5]);
    }
    EXPECT_EQ(kinds, (std::set<char>{'0', '3', '4', '5'}));
    EXPECT_GT(converted, 100);
    // And the other way: every code whose expansion converts back to it does so through the
    // rule its last digit names.
    for (char last = '0'; last <= '9'; ++last) {
        const std::string code = std::string("12345") + last;
        EXPECT_EQ(UPCA_to_UPCE(UPCE_Expand(code)), code) << code;
    }
}

// ---- module strings ----

TEST(UpcE, Modules) {
    ExpectModules(
        BarcodeUPCE,
        {
            {"425261", Start + Six(4, "425261") + End, "standard example: 04210000526, check 4"},
            {"425261", "101001110100100110111001001101101011110011001010101",
             "the same, as printed in the standard"},
            {"123450", Start + Six(5, "123450") + End, "01200000345, check 5"},
            {"123453", Start + Six(1, "123453") + End, "01230000045, check 1"},
            {"123454", Start + Six(3, "123454") + End, "01234000005, check 3"},
            {"123455", Start + Six(8, "123455") + End, "01234500005, check 8"},
            {"1", Start + Six(9, "000001") + End, "padded to 000001: 00010000000, check 9"},
            {"12:450", Start + LGCodes("GL", "12"),
             "01200000:45 (':' counts 10), check 4; stops at ':'"},
            {"12345:", Start + Six(0, "12345"),
             "no expansion: the parities of check 0; stops at ':'"},
            {";", Start + Six(0, "00000"), "padded to 00000;: no expansion, stops at ';'"},
            {"1234567", Start + LGCodes("GLLGGLL", "1234567") + End,
             "direct call: 01234500006, check 5; the seventh character reads bit 9 (clear)"},
            {"1234560000000000"
             "0",
             Start +
                 LGCodes("GLLGGLLLLGGLLGLLL", "1234560000000000"
                                              "0") +
                 End,
             "past the sixth character the parity word reads on (bits 9..0), then L codes"},
            {"1////0", Start + GCode('1'),
             "check of 01/00000/// is 'C' (sum -9), not a digit: the parities of check 0"},
        });

    // Every check digit selects its parity pattern.
    std::set<int> checks;
    for (int n = 0; n < 400; ++n) {
        const std::string code = std::to_string(100000 + n * 7).substr(1) + "5";
        const int c = Mod10Check(UPCE_Expand(code)) - '0';
        checks.insert(c);
        EXPECT_EQ(Drawn(BarcodeUPCE, code), Ink(Start + Six(c, code) + End)) << code;
    }
    EXPECT_EQ(checks.size(), 10u);
}

TEST(UpcE, ModulesAreScalePixelsWide) {
    const std::string modules = Drawn(BarcodeUPCE, "425261");
    for (const int scale : {2, 3})
        EXPECT_EQ(Drawn(BarcodeUPCE, "425261", scale), Widen(modules, scale));
}

// ---- the pipeline ----

TEST(UpcE, CreateBCDrawsTheRendererBetweenQuietZones) {
    const struct {
        std::string text;
        const char* note;
    } rows[] = {
        {"425261", "full symbol"},
        {"1", "padded"},
        {"12:450", "early stop"},
        {"1234567", "a direct call's seventh character runs into the quiet zone"},
    };
    for (const auto& r : rows) {
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << r.note << ", scale " << scale);
            for (const bool interpret : {false, true}) {
                vcl::TBitmap bmp;
                // Tall enough that the printed digits leave row 0 of the bars whole.
                ASSERT_TRUE(CreatedAtCalcWidth(bmp, BitmapStart::AsComponents, 50 * scale, bcUPCE,
                                               scale, r.text, interpret));
                const std::string row = Row(bmp, 0);
                std::string expected =
                    std::string(10 * scale, '0') + Widen(Drawn(BarcodeUPCE, r.text), scale);
                expected.resize(row.size(), '0');
                EXPECT_EQ(row, expected);
                if (interpret)
                    continue;
                // Guards are no longer than the characters' bars.
                for (int y = 1; y < 30; ++y)
                    for (int x = 0; x < bmp.GetWidth(); ++x)
                        ASSERT_EQ(bmp.PixelColor(x, y) == vcl::clBlack, row[x] == '1')
                            << "x " << x << " y " << y;
            }
        }
    }
}

// ---- tables ----

TEST(UpcE, Tables) {
    for (int d = 0; d < 10; ++d) {
        SCOPED_TRACE(d);
        const char c = static_cast<char>('0' + d);
        const std::string l = Bits(BC_UPCE[d], 8, 15), g = Bits(BC_UPCE[d], 8, 7);
        EXPECT_EQ(l, LCode(c) + "0") << "seven modules, the bit below clear";
        EXPECT_EQ(g, GCode(c) + "0");
        EXPECT_EQ(BC_UPCE[d], BC_EAN_LEFT[d]) << "the same codes as EAN's left half";
    }
    std::set<int> seen;
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE(c);
        const std::uint16_t w = BC_UPCE_Parity[c];
        EXPECT_EQ(Bits(w, 6, 15, 'G', 'L'), Parity0[c]);
        EXPECT_EQ(w & 0x0303, 0) << "bits 9..8 and 1..0 clear";
        EXPECT_EQ((w >> 10) ^ ((w >> 2) & 0x3F), 0x3F) << "number system 1 is the complement";
        EXPECT_EQ(std::popcount(static_cast<unsigned>(w >> 10)), 3) << "three even characters";
        seen.insert(w >> 10);
    }
    EXPECT_EQ(seen.size(), 10u);
}

} // namespace
} // namespace lumivex::test
