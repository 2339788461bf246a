// POSTNET: check digit, bar heights, frame bars, the early stop and the code table.
#include <gtest/gtest.h>

#include <string>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

// Bars as the published POSTNET code table lists them, F full, H half.
const char* const Digit[10] = {"FFHHH", "HHHFF", "HHFHF", "HHFFH", "HFHHF",
                               "HFHFH", "HFFHH", "FHHHF", "FHHFH", "FHFHH"};
const std::string Frame = "F";

std::string Digits(const std::string& Text) {
    std::string s;
    for (const char c : Text)
        s += Digit[c - '0'];
    return s;
}

// The modules of a row that crosses the bars of Heights: every bar one module, one module of
// space between bars. Full rows cross the full bars only, the lower half crosses them all.
std::string Modules(const std::string& Heights, bool LowerHalf) {
    std::string s;
    for (const char h : Heights) {
        if (!s.empty())
            s += '0';
        s += h == 'F' || LowerHalf ? '1' : '0';
    }
    return s;
}

// The public renderer onto a white bitmap at Left 0; the bitmap leaves a row free above and
// below the bars.
void Draw(vcl::TBitmap& bmp, const std::string& Text, int Top, int Height, int Scale = 1) {
    bmp.SetPixelFormat(vcl::pf8bit);
    bmp.SetSize(static_cast<int>(10 * Text.size() + 30) * Scale, Top + Height + 1);
    BarcodePOSTNET(bmp.GetCanvas(), 0, Top, Height, Scale, Text);
}

TEST(Postnet, CheckDigit) {
    const struct {
        std::string text;
        char check;
        const char* note;
    } rows[] = {
        {"55555", '5', "sum 25"},
        {"12345", '5', "sum 15"},
        {"12345678901", '4', "sum 46"},
        {"19", '0', "sum 10, a multiple of 10"},
        {"0", '0', "sum 0"},
        {"", '0', "empty text"},
        {"9", '1', "sum 9"},
        {"99999999999", '1', "the largest eleven-digit sum, 99"},
        {"12:3", '4', "':' counts 10: 1 + 2 + 10 + 3 = 16"},
        {";", '9', "';' counts 11"},
        {"/", ';', "'/' counts -1: a negative sum gives a character above '9'"},
        {"0.", '<', "'.' counts -2"},
        {std::string(11000001, '\xFF'), '3', "207 each, a sum past the int range, ends in 7"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(POSTNET_Check(row.text), row.check) << row.note;
}

TEST(Postnet, ModuleStrings) {
    const struct {
        std::string text;
        std::string heights;
        const char* note;
    } rows[] = {
        {"55555", Frame + Digits("55555") + Digits("5") + Frame, "check digit 5"},
        {"12345", Frame + Digits("12345") + Digits("5") + Frame, "check 5: 32 bars"},
        {"19", Frame + Digits("19") + Digits("0") + Frame, "check 0"},
        {"12345678901", Frame + Digits("12345678901") + Digits("4") + Frame, "check 4: 62 bars"},
        {"0", Frame + Digits("00") + Frame, "a single digit"},
        {"", Frame + Digits("0") + Frame, "empty text, called directly: the check digit alone"},
        {"12:3", Frame + Digits("12"), "':' stops the drawing, no closing frame bar"},
        {";", Frame, "';' at once: the opening frame bar only"},
        {"1A", Frame + Digits("1"), "a letter"},
        {"1/", Frame + Digits("1"), "a byte below '0'"},
        {"1\xB0", Frame + Digits("1"), "a byte above 127"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        vcl::TBitmap bmp;
        Draw(bmp, row.text, 3, 51);
        EXPECT_EQ(Ink(Row(bmp, 2)), "");
        EXPECT_EQ(Ink(Row(bmp, 3)), Modules(row.heights, false)) << "first row";
        EXPECT_EQ(Ink(Row(bmp, 27)), Modules(row.heights, false)) << "last row above the half";
        EXPECT_EQ(Ink(Row(bmp, 28)), Modules(row.heights, true)) << "Top + Height div 2";
        EXPECT_EQ(Ink(Row(bmp, 53)), Modules(row.heights, true)) << "last row";
        EXPECT_EQ(Ink(Row(bmp, 54)), "");
    }
    EXPECT_EQ((Frame + Digits("123455") + Frame).size(), 32u);
    EXPECT_EQ((Frame + Digits("123456789014") + Frame).size(), 62u);
}

TEST(Postnet, BarRowsForEveryTopAndHeight) {
    // Digit 0 is FFHHH: the first data bar (module 2) is full, the third (module 6) half.
    const struct {
        int top, height, halfFrom;
    } rows[] = {
        {0, 50, 25}, {0, 51, 25}, {7, 10, 12}, {4, 11, 9}, {0, 2, 1}, {5, 1, 5},
    };
    for (const auto& r : rows) {
        for (const int scale : {1, 2}) {
            SCOPED_TRACE(testing::Message()
                         << "top " << r.top << " height " << r.height << " scale " << scale);
            vcl::TBitmap bmp;
            Draw(bmp, "0", r.top, r.height, scale);
            for (int y = 0; y < bmp.GetHeight(); ++y) {
                const bool full = y >= r.top && y < r.top + r.height;
                const bool half = y >= r.halfFrom && y < r.top + r.height;
                EXPECT_EQ(bmp.PixelColor(2 * scale, y) == vcl::clBlack, full) << "row " << y;
                EXPECT_EQ(bmp.PixelColor(6 * scale + scale - 1, y) == vcl::clBlack, half)
                    << "row " << y;
            }
        }
    }
}

TEST(Postnet, CreateBCGivesTheBarsTheFullHeight) {
    // The text flag takes no margin from POSTNET: full bars over every row, half bars from the
    // middle, for an even and an odd height.
    const std::string heights = Frame + Digits("12345") + Digits("5") + Frame;
    for (const int height : {50, 51}) {
        for (const int scale : {1, 2, 3}) {
            for (const bool interpret : {false, true}) {
                SCOPED_TRACE(testing::Message() << "height " << height << " scale " << scale
                                                << " interpret " << interpret);
                vcl::TBitmap bmp;
                PrepareBitmap(bmp, height, BitmapStart::EightBit);
                CreateBC(bmp, bcPOSTNET, scale, height, "12345", interpret, bcNoRotate);
                const std::string quiet(10 * scale, '0');
                const std::string upper = quiet + Widen(Modules(heights, false), scale) + quiet;
                const std::string lower = quiet + Widen(Modules(heights, true), scale) + quiet;
                for (int y = 0; y < height; ++y)
                    ASSERT_EQ(Row(bmp, y), y < height / 2 ? upper : lower) << "row " << y;
            }
        }
    }
}

TEST(Postnet, CodeTable) {
    // Five bars per digit, two of them full.
    ExpectTwoOfFive(BC_POSTNET, Digit, 'F', 'H');
}

} // namespace
} // namespace lumivex::test
