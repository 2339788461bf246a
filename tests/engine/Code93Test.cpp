// Code 93: check symbols, module strings, early stops and the tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

// Symbol values 0..46 and the start/stop symbol (47) as the Code 93 standard lists them: the
// widths of bar, space, bar, space, bar, space in modules.
const char* const Widths[48] = {
    "131112", "111213", "111312", "111411", "121113", //  0: 0 1 2 3 4
    "121212", "121311", "111114", "131211", "141111", //  5: 5 6 7 8 9
    "211113", "211212", "211311", "221112", "221211", // 10: A B C D E
    "231111", "112113", "112212", "112311", "122112", // 15: F G H I J
    "132111", "111123", "111222", "111321", "121122", // 20: K L M N O
    "131121", "212112", "212211", "211122", "211221", // 25: P Q R S T
    "221121", "222111", "112122", "112221", "122121", // 30: U V W X Y
    "123111", "121131", "311112", "311211", "321111", // 35: Z - . space $
    "112131", "113121", "211131", "121221", "312111", // 40: / + % ($) (%)
    "311121", "122211", "111141",                     // 45: (/) (+) start/stop
};

// A symbol's 9 modules.
std::string S(int Value) {
    std::string s;
    for (int i = 0; i < 6; ++i)
        s += std::string(Widths[Value][i] - '0', i % 2 == 0 ? '1' : '0');
    return s;
}

// Symbol values by name.
enum : int { ShiftDollar = 43, ShiftPercent = 44, ShiftSlash = 45, ShiftPlus = 46 };
int V(char c) {
    const std::string values = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    return static_cast<int>(values.find(c));
}

const std::string Quiet(10, '0');
const std::string Start = S(47);
const std::string StopBar = S(47) + "1"; // the stop symbol and its closing bar

TEST(Code93, CheckSymbols) {
    const struct {
        std::string Text;
        int C, K;
        const char* Note;
    } rows[] = {
        {"TEST93", 41, 6, "data 29 14 28 29 9 3: C '+', K '6'"},
        {"ABC", 17, 20, "C 'H', K 'K'"},
        {"a", 8, 25, "the pair (+)A, 46 and 10"},
        {"ABCDEFGHIJKLMNOPQRSTU", 31, 22, "21 symbols: both weights wrap (20 for C, 15 for K)"},
        {"", 0, 0, "no data"},
        {"!", 6, 20, "(/)A: C = 10 + 45 x 2, K = 6 + 10 x 2 + 45 x 3"},
        {"$%+-./ ", 22, 35,
         "single symbols 39 42 41 36 37 40 38: C = 1103 mod 47, K = (22 + 1376) mod 47"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "\"" << r.Text << "\": " << r.Note);
        EXPECT_EQ(Mod93Left(r.Text), r.C);
        EXPECT_EQ(Mod93Right(r.Text), r.K);
    }
    // A byte above 127 has no symbols of its own, so it leaves both checks as the bytes around
    // it give them; no entry outside the table is read.
    EXPECT_EQ(Mod93Left("A\x80"
                        "BC"),
              17);
    EXPECT_EQ(Mod93Right("\xFF"
                         "ABC\x80"),
              20);
    EXPECT_EQ(Mod93Left("\xC0\xFF"), 0);
}

const std::vector<ModuleRow>& ModuleRows() {
    static const std::vector<ModuleRow> rows = {
        {"", Start + S(0) + S(0) + StopBar, "start, C = 0, K = 0, stop: 37 modules"},
        {"TEST93",
         Start + S(V('T')) + S(V('E')) + S(V('S')) + S(V('T')) + S(9) + S(3) + S(41) + S(6) +
             StopBar,
         "C 41, K 6"},
        {"ABC", Start + S(10) + S(11) + S(12) + S(17) + S(20) + StopBar, "C 17, K 20"},
        {"a", Start + S(ShiftPlus) + S(10) + S(8) + S(25) + StopBar, "(+)A, C 8, K 25"},
        {"!", Start + S(ShiftSlash) + S(10) + S(6) + S(20) + StopBar, "(/)A, C 6, K 20"},
        {std::string(1, '\0'), Start + S(ShiftPercent) + S(V('U')) + S(24) + S(28) + StopBar,
         "NUL is (%)U: C = 30 + 44 x 2 = 118 mod 47, K = 24 + 30 x 2 + 44 x 3 = 216 mod 47"},
        {"\x01", Start + S(ShiftDollar) + S(10) + S(2) + S(10) + StopBar,
         "SOH is ($)A: C = 10 + 43 x 2 = 96 mod 47, K = 2 + 10 x 2 + 43 x 3 = 151 mod 47"},
        {"A\x80"
         "B",
         Start + S(10), "byte 128: no further symbol, no checks, no stop"},
        {"\x80", Start, "a text that begins above 127 shows the start only"},
    };
    return rows;
}

TEST(Code93, DrawsSymbolsChecksAndStopAndStopsAboveByte127) {
    ExpectModules(BarcodeCode93, ModuleRows());
}

// CreateBC's bitmap holds the renderer's modules at every scale, between the quiet zones.
TEST(Code93, CreateBCDrawsTheModuleRows) {
    for (const ModuleRow& r : ModuleRows()) {
        if (r.Text.empty())
            continue; // CreateBC draws no bars for it
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message()
                         << "\"" << Escaped(r.Text) << "\" scale " << scale << ": " << r.Note);
            vcl::TBitmap bmp;
            ASSERT_TRUE(
                CreatedAtCalcWidth(bmp, BitmapStart::EightBit, 20, bcCode93, scale, r.Text, false));
            const int width = bmp.GetWidth();
            std::string expected = Widen(Quiet + r.Modules, scale);
            ASSERT_LE(static_cast<int>(expected.size()), width);
            expected.resize(width, '0');
            EXPECT_EQ(Row(bmp, 0), expected);
            EXPECT_EQ(Row(bmp, 19), expected) << "the bars reach the bottom without the text";
        }
    }
}

// Each entry is the standard's widths; the structure is checked with every pattern table's.
TEST(Code93, PatternTable) {
    for (int v = 0; v < 49; ++v)
        EXPECT_EQ(Bits(BC_Code93[v], v == 48 ? 10 : 9), v == 48 ? StopBar : S(v)) << "entry " << v;
    ExpectEntries(
        BC_Code93,
        {{0, 0x8A00}, {10, 0xD400}, {43, 0x9300}, {46, 0x9900}, {47, 0xAF00}, {48, 0xAF40}});
}

TEST(Code93, ReferenceTable) {
    const std::string singles = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    for (int c = 0; c < 128; ++c) {
        SCOPED_TRACE(testing::Message() << "byte " << c);
        const int first = BC_Code93_Reference[c] >> 8, second = BC_Code93_Reference[c] & 0xFF;
        if (singles.find(static_cast<char>(c)) != std::string::npos) {
            EXPECT_EQ(first, V(static_cast<char>(c)));
            EXPECT_EQ(second, 0xFF);
        } else {
            EXPECT_GE(first, ShiftDollar) << "a shift symbol";
            EXPECT_LE(first, ShiftPlus);
            EXPECT_GE(second, 10) << "a capital";
            EXPECT_LE(second, 35);
        }
    }
    // Rows of the table, indexed by byte.
    ExpectEntries(BC_Code93_Reference,
                  {
                      {0, 0x2C1E},   {1, 0x2B0A},   {26, 0x2B23}, {27, 0x2C0A}, {31, 0x2C0E},
                      {32, 0x26FF},  {33, 0x2D0A},  {35, 0x2D0C}, {36, 0x27FF}, {37, 0x2AFF},
                      {38, 0x2D0F},  {42, 0x2D13},  {43, 0x29FF}, {44, 0x2D15}, {45, 0x24FF},
                      {46, 0x25FF},  {47, 0x28FF},  {48, 0x00FF}, {57, 0x09FF}, {58, 0x2D23},
                      {59, 0x2C0F},  {63, 0x2C13},  {64, 0x2C1F}, {65, 0x0AFF}, {90, 0x23FF},
                      {91, 0x2C14},  {95, 0x2C18},  {96, 0x2C20}, {97, 0x2E0A}, {122, 0x2E23},
                      {123, 0x2C19}, {127, 0x2C1D},
                  });
}

} // namespace
} // namespace lumivex::test
