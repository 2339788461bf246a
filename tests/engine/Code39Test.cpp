// Code 39 and Code 39 full ASCII: module strings, early stops, widths, the tables and a real
// decoder.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Decode.h"

namespace lumivex {
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

using Renderer = void (*)(vcl::TCanvas&, int, int, int, int, const std::string&);
constexpr int Top = 2;
constexpr int BarHeight = 4;

// The pixels of row Y as '1' (black) and '0' (white).
std::string Row(const vcl::TBitmap& b, int Y) {
    std::string s;
    for (int x = 0; x < b.GetWidth(); ++x)
        s += b.PixelColor(x, Y) == vcl::clBlack ? '1' : '0';
    return s;
}

// The public renderer at Scale 1 on a white bitmap, the symbol starting at x = 10 as in CreateBC's
// bitmaps: row Top from x = 0.
std::string Drawn(Renderer Render, const std::string& Text, int Width) {
    vcl::TBitmap bmp;
    bmp.SetSize(Width, Top + BarHeight + 2);
    Render(bmp.GetCanvas(), 10, Top, BarHeight, 1, Text);
    const std::string row = Row(bmp, Top);
    // A full-height bar: the rows of the bar read alike, the rows around it are white.
    EXPECT_EQ(Row(bmp, Top + BarHeight - 1), row);
    EXPECT_EQ(Row(bmp, Top - 1), std::string(Width, '0'));
    EXPECT_EQ(Row(bmp, Top + BarHeight), std::string(Width, '0'));
    return row;
}

struct ModuleRow {
    std::string Text;
    std::string Modules; // from x = 0, quiet zone included; the rest of the row is white
    const char* Note;
};

void ExpectModules(Renderer Render, const std::vector<ModuleRow>& Rows) {
    for (const ModuleRow& r : Rows) {
        SCOPED_TRACE(testing::Message() << "\"" << test::Escaped(r.Text) << "\": " << r.Note);
        const int width = static_cast<int>(r.Modules.size()) + 30;
        std::string expected = r.Modules;
        expected.resize(width, '0');
        EXPECT_EQ(Drawn(Render, r.Text, width), expected);
    }
}

TEST(Code39, DrawsFramedCharactersAndStopsAtTheFirstItCannotWrite) {
    ExpectModules(
        BarcodeCode39,
        {
            {"", Quiet + Star + Star, "start and stop only, 26 modules"},
            {"AB", Quiet + Star + L('A') + L('B') + Star, "two letters"},
            {"09", Quiet + Star + L('0') + L('9') + Star, "the first and last digit"},
            {"-. $/+%",
             Quiet + Star + L('-') + L('.') + L(' ') + L('$') + L('/') + L('+') + L('%') + Star,
             "the seven signs"},
            {"A*B", Quiet + Star + L('A') + Star + L('B') + Star, "a '*' inside is drawn as one"},
            {"A!B", Quiet + Star + L('A'), "'!' has no pattern: no stop character"},
            {"@", Quiet + Star, "the at sign has no pattern either"},
            {"Ab", Quiet + Star + L('A'), "lower case lies above 'Z'"},
            {"[", Quiet + Star, "the byte after 'Z'"},
            {"\x1F", Quiet + Star, "the byte before the space"},
            {"Z\x80", Quiet + Star + L('Z'), "a byte above 127"},
        });
}

TEST(Code39, FullAsciiDrawsPairsAndStopsAboveByte127) {
    const std::string plusA = L('+') + L('A'), plusB = L('+') + L('B'), plusC = L('+') + L('C');
    ExpectModules(
        BarcodeCode39ext,
        {
            {"", Quiet + Star + Star, "start and stop only"},
            {"abc", Quiet + Star + plusA + plusB + plusC + Star, "+A +B +C: 8 characters"},
            {"-", Quiet + Star + L('/') + L('M') + Star, "'-' is the pair /M"},
            {".", Quiet + Star + L('/') + L('N') + Star, "'.' is the pair /N"},
            {"A 1", Quiet + Star + L('A') + L(' ') + L('1') + Star, "single characters"},
            {std::string(1, '\0'), Quiet + Star + L('%') + L('U') + Star, "NUL is %U"},
            {"\x7F", Quiet + Star + L('%') + L('T') + Star, "DEL is %T"},
            {"@`", Quiet + Star + L('%') + L('V') + L('%') + L('W') + Star, "%V and %W"},
            {"A\x80"
             "B",
             Quiet + Star + L('A'), "byte 128: no further character, no stop"},
            {"\xFF", Quiet + Star, "a text that begins above 127 shows the start only"},
        });
    // The 8 characters of abc are 104 modules.
    EXPECT_EQ((Star + plusA + plusB + plusC + Star).size(), 104u);
}

TEST(Code39, RenderersGiveTheBrushBackAndPaintNothingButBars) {
    for (const Renderer render : {BarcodeCode39, BarcodeCode39ext}) {
        vcl::TBitmap bmp;
        bmp.SetSize(80, 10);
        vcl::TCanvas& c = bmp.GetCanvas();
        c.GetBrush().SetColor(vcl::clRed);
        c.FillRect(vcl::Rect(0, 0, 80, 10));
        c.GetBrush().SetStyle(vcl::bsClear);
        // Stops early in both: after the start and 'A'.
        render(c, 3, 2, 5, 1, "A\x80");
        EXPECT_EQ(c.GetBrush().GetColor(), vcl::clRed);
        EXPECT_EQ(c.GetBrush().GetStyle(), vcl::bsClear);
        EXPECT_EQ(c.GetPixel(3, 2), vcl::clBlack);
        EXPECT_EQ(c.GetPixel(3, 6), vcl::clBlack);
        EXPECT_EQ(c.GetPixel(3, 1), vcl::clRed);
        EXPECT_EQ(c.GetPixel(3, 7), vcl::clRed);
        EXPECT_EQ(c.GetPixel(4, 4), vcl::clRed) << "a space keeps what was there";
        EXPECT_EQ(c.GetPixel(3 + 26, 4), vcl::clRed) << "nothing after the second character";
    }
}

// CreateBC's bitmap is CalcWidth wide; the symbol starts after 10 modules and ends where the
// width says: the last black column is followed by the last gap and the right quiet zone.
TEST(Code39, CalcWidthMatchesTheDrawnSymbol) {
    const struct {
        TBarCodeType Type;
        std::string Text;
        int Characters; // Code 39 characters drawn, start and stop included
        int Width;      // modules of the bitmap
        const char* Note;
    } rows[] = {
        {bcCode39, "AB", 4, 72, "2 x 13 x 4 + 40 = 144 pixels at Scale 2"},
        {bcCode39, "A", 3, 59, "one character"},
        {bcCode39, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", 45, 605, "every character"},
        {bcCode39Ext, "abc", 8, 124, "three pairs"},
        {bcCode39Ext, "A B", 5, 85, "letters and space are single"},
        {bcCode39Ext, "-.", 6, 98, "'-' and '.' are pairs"},
        {bcCode39Ext, "\x01\x1B!:;@[`a{\x7F", 24, 332, "one byte of every pair family"},
        // The renderer stops at a byte above 127; the byte itself takes no room, the bytes
        // after it still do (their count does not depend on where they stand).
        {bcCode39Ext, "AB\x80", 3, 72, "byte 128 at the end: no stop drawn"},
        {bcCode39Ext, "\x80", 1, 46, "byte 128 alone: the start only"},
        {bcCode39Ext,
         "a\xFF"
         "a",
         3, 98, "a byte above 127 between pairs"},
    };
    for (const auto& r : rows) {
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << "\"" << test::Escaped(r.Text) << "\" scale " << scale
                                            << ": " << r.Note);
            EXPECT_EQ(CalcWidth(scale, r.Type, r.Text), r.Width * scale);
            vcl::TBitmap bmp;
            bmp.SetPixelFormat(vcl::pf8bit);
            bmp.SetHeight(20);
            CreateBC(bmp, r.Type, scale, 20, r.Text, false, bcNoRotate);
            ASSERT_EQ(bmp.GetWidth(), r.Width * scale);
            const std::string row = Row(bmp, 0);
            EXPECT_EQ(row.find('1'), 10u * scale) << "first bar";
            // The last character ends with a narrow bar, then its gap.
            EXPECT_EQ(row.rfind('1'), (10u + 13u * r.Characters - 1u) * scale - 1u) << "last bar";
            EXPECT_EQ(Row(bmp, 19), row) << "the bars reach the bottom without the text";
        }
    }
}

TEST(Code39, CreateBCDrawsTheModulesOfTheRenderer) {
    const std::string modules = Quiet + Star + L('+') + L('A') + L('1') + Star + Quiet;
    for (const int scale : {1, 2, 3}) {
        std::string expected;
        for (const char m : modules)
            expected += std::string(scale, m);
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf8bit);
        // Tall enough that the printed text leaves the top rows of bars whole.
        const int height = 50 * scale;
        bmp.SetHeight(height);
        CreateBC(bmp, bcCode39Ext, scale, height, "a1", true, bcNoRotate);
        EXPECT_EQ(Row(bmp, 0), expected) << scale;
        CreateBC(bmp, bcCode39, scale, height, "+A1", false, bcNoRotate);
        EXPECT_EQ(Row(bmp, height - 1), expected) << "the same characters written directly";
    }
}

TEST(Code39, PatternTable) {
    std::set<std::uint16_t> seen;
    for (int i = 0; i < 44; ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i << " '" << Order[i] << "'");
        const std::uint16_t w = BC_Code39[i];
        EXPECT_EQ(w & 0xF, 0) << "gap and unused bits are white";
        // Five bars and four spaces alternating from a bar, each 1 or 2 modules, 3 of them wide.
        int elements = 0, wide = 0, i2 = 0;
        while (i2 < 12) {
            const bool dark = (w >> (15 - i2)) & 1;
            EXPECT_EQ(dark, elements % 2 == 0) << "element " << elements;
            int run = 0;
            while (i2 + run < 12 && bool((w >> (15 - i2 - run)) & 1) == dark)
                ++run;
            EXPECT_LE(run, 2);
            wide += run == 2;
            ++elements;
            i2 += run;
        }
        EXPECT_EQ(elements, 9);
        EXPECT_EQ(wide, 3);
        // The module string of the standard's elements.
        std::string bits;
        for (int b = 0; b < 13; ++b)
            bits += (w >> (15 - b)) & 1 ? '1' : '0';
        EXPECT_EQ(bits, L(Order[i]));
        seen.insert(w);
    }
    EXPECT_EQ(seen.size(), 44u);
    EXPECT_EQ(BC_Code39[0], 0xA6D0);
    EXPECT_EQ(BC_Code39[10], 0xD4B0);
    EXPECT_EQ(BC_Code39[39], 0x96D0);
    EXPECT_EQ(BC_Code39[43], 0xA490);
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
    // Rows of the full-ASCII table, one per range.
    const struct {
        int Byte;
        std::uint16_t Pair;
    } rows[] = {
        {0, 0x2C1F},   {1, 0x290B},   {26, 0x2924}, {27, 0x2C0B}, {31, 0x2C0F}, {32, 0x2700},
        {33, 0x2A0B},  {44, 0x2A16},  {45, 0x2A17}, {46, 0x2A18}, {47, 0x2A19}, {48, 0x0100},
        {57, 0x0A00},  {58, 0x2A24},  {59, 0x2C10}, {63, 0x2C14}, {64, 0x2C20}, {65, 0x0B00},
        {90, 0x2400},  {91, 0x2C15},  {95, 0x2C19}, {96, 0x2C21}, {97, 0x2B0B}, {122, 0x2B24},
        {123, 0x2C1A}, {127, 0x2C1E},
    };
    for (const auto& r : rows)
        EXPECT_EQ(BC_Code39ERef[r.Byte], r.Pair) << "byte " << r.Byte;
}

// ---- a real decoder ----

const char* RotateName(TbcRotate Rotate) {
    static const char* const names[] = {"bcNoRotate", "bcRotate90", "bcRotate180", "bcRotate270"};
    return names[Rotate];
}

testing::AssertionResult ReadsBack(TBarCodeType Type, const std::string& Text, int Scale,
                                   TbcRotate Rotate, bool Interpret) {
    vcl::TBitmap bmp;
    bmp.SetMonochrome(true);
    bmp.SetPixelFormat(vcl::pf8bit);
    bmp.SetHeight(60);
    CreateBC(bmp, Type, Scale, 60, Text, Interpret, Rotate);
    const test::DecodeResult got = test::Decode(bmp, test::DecodeOptionsFor(Type, Rotate));
    if (!got.Read)
        return testing::AssertionFailure() << "not read: " << got.Error;
    if (got.Format != ZXing::BarcodeFormat::Code39)
        return testing::AssertionFailure() << "read as " << ZXing::ToString(got.Format);
    if (got.Bytes != Text)
        return testing::AssertionFailure() << "read \"" << test::Escaped(got.Bytes) << "\"";
    if (got.Orientation != 90 * Rotate)
        return testing::AssertionFailure() << "read at " << got.Orientation << " degrees";
    return testing::AssertionSuccess();
}

testing::AssertionResult ReadsBackEverywhere(TBarCodeType Type, const std::string& Text) {
    for (int scale = 1; scale <= 3; ++scale)
        for (int r = 0; r < RotateCount; ++r)
            for (const bool interpret : {false, true}) {
                const auto rotate = static_cast<TbcRotate>(r);
                const testing::AssertionResult one =
                    ReadsBack(Type, Text, scale, rotate, interpret);
                if (!one)
                    return testing::AssertionFailure()
                           << "scale " << scale << ", " << RotateName(rotate) << ", interpret "
                           << interpret << ": " << one.message();
            }
    return testing::AssertionSuccess();
}

std::string Bytes(int First, int Last) {
    std::string s;
    for (int c = First; c <= Last; ++c)
        s += static_cast<char>(c);
    return s;
}

// Code 39 carries no check character; what zxing reads is the text itself.
TEST(Code39, DecodesAtEveryScaleAndRotation) {
    for (const std::string text :
         {"0123456789", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "-. $/+%", "CODE 39", "7", "$A/B+C%D"})
        EXPECT_TRUE(ReadsBackEverywhere(bcCode39, text)) << "\"" << text << "\"";
}

// In its extended mode zxing turns the pairs back into bytes, /M and /N into '-' and '.'.
TEST(Code39, FullAsciiDecodesAtEveryScaleAndRotation) {
    const std::vector<std::string> texts = {
        "abc",
        "-",
        ".",
        "Lumivex 2026-12.5",
        Bytes(1, 31),
        Bytes(32, 63),
        Bytes(64, 95),
        Bytes(96, 127),
        std::string("A\0B", 3),
    };
    for (const std::string& text : texts)
        EXPECT_TRUE(ReadsBackEverywhere(bcCode39Ext, text)) << "\"" << test::Escaped(text) << "\"";
}

} // namespace
} // namespace lumivex
