// The helpers every engine test reads bitmaps, renderers and tables with.
#include "tests/engine/Modules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

namespace lumivex::test {

bool IsBlack(const vcl::TBitmap& Bitmap, int X, int Y) {
    return Bitmap.PixelColor(X, Y) == vcl::clBlack;
}

std::string Row(const vcl::TBitmap& Bitmap, int Y) {
    std::string s;
    for (int x = 0; x < Bitmap.GetWidth(); ++x)
        s += IsBlack(Bitmap, x, Y) ? '1' : '0';
    return s;
}

std::string Ink(std::string Modules) {
    Modules.erase(Modules.find_last_not_of('0') + 1);
    return Modules;
}

std::string Widen(const std::string& Modules, int Scale) {
    std::string s;
    for (const char m : Modules)
        s += std::string(Scale, m);
    return s;
}

std::string Bits(std::uint32_t Word, int Count, int TopBit, char One, char Zero) {
    std::string s;
    for (int i = 0; i < Count; ++i)
        s += (Word >> (TopBit - i)) & 1u ? One : Zero;
    return s;
}

int Bars(const std::string& Modules) {
    int n = 0;
    for (std::size_t i = 0; i < Modules.size(); ++i)
        n += Modules[i] == '1' && (i == 0 || Modules[i - 1] == '0');
    return n;
}

std::string Bytes(int First, int Last) {
    std::string s;
    for (int c = First; c <= Last; ++c)
        s += static_cast<char>(c);
    return s;
}

std::string Escaped(const std::string& Bytes) {
    std::string out;
    for (const char ch : Bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c >= 32 && c < 127) {
            out += ch;
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

namespace {

// Where Drawn puts the symbol: room on every side, so that a bar out of place shows, and room
// to the right for the longest symbol a test draws.
constexpr int kLeft = 5, kTop = 2, kHeight = 6, kModules = 300;

std::string DrawnOn(vcl::TPixelFormat Format, Renderer Render, const std::string& Text, int Scale) {
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(Format);
    bmp.SetSize(2 * kLeft + kModules * Scale, kTop + kHeight + 2);
    vcl::TCanvas& c = bmp.GetCanvas();
    c.GetBrush().SetColor(vcl::clRed);
    c.GetBrush().SetStyle(vcl::bsClear);
    Render(c, kLeft, kTop, kHeight, Scale, Text);
    EXPECT_EQ(c.GetBrush().GetColor(), vcl::clRed) << "the brush comes back";
    EXPECT_EQ(c.GetBrush().GetStyle(), vcl::bsClear) << "the brush comes back";

    const std::string top = Row(bmp, kTop);
    const std::string white(bmp.GetWidth(), '0');
    for (int y = 0; y < bmp.GetHeight(); ++y)
        EXPECT_EQ(Row(bmp, y), y >= kTop && y < kTop + kHeight ? top : white) << "row " << y;
    EXPECT_EQ(top.substr(0, kLeft), std::string(kLeft, '0')) << "nothing left of Left";
    return Ink(top.substr(kLeft));
}

} // namespace

std::string Drawn(Renderer Render, const std::string& Text, int Scale) {
    SCOPED_TRACE(testing::Message() << "drawn: \"" << Escaped(Text) << "\" at scale " << Scale);
    const std::string eightBit = DrawnOn(vcl::pf8bit, Render, Text, Scale);
    EXPECT_EQ(DrawnOn(vcl::pf24bit, Render, Text, Scale), eightBit) << "true colour";
    return eightBit;
}

void ExpectModules(Renderer Render, const std::vector<ModuleRow>& Rows) {
    for (const ModuleRow& r : Rows) {
        SCOPED_TRACE(testing::Message() << "\"" << Escaped(r.Text) << "\": " << r.Note);
        EXPECT_EQ(Drawn(Render, r.Text), Ink(r.Modules));
    }
}

vcl::TCanvas& DrawnOnRed(vcl::TBitmap& Bitmap, int Width, Renderer Render, const std::string& Text,
                         int FirstBar, Placement At) {
    SCOPED_TRACE(testing::Message() << "on red: \"" << Escaped(Text) << "\"");
    Bitmap.SetSize(Width, At.Top + At.Height + 3);
    vcl::TCanvas& c = Bitmap.GetCanvas();
    c.GetBrush().SetColor(vcl::clRed);
    c.FillRect(vcl::Rect(0, 0, Bitmap.GetWidth(), Bitmap.GetHeight()));
    c.GetBrush().SetStyle(vcl::bsClear);
    Render(c, At.Left, At.Top, At.Height, 1, Text);
    EXPECT_EQ(c.GetBrush().GetColor(), vcl::clRed);
    EXPECT_EQ(c.GetBrush().GetStyle(), vcl::bsClear);

    const int last = At.Left + FirstBar - 1, bottom = At.Top + At.Height - 1, y = At.Top + 2;
    EXPECT_EQ(c.GetPixel(At.Left, At.Top), vcl::clBlack) << "the first bar's top";
    EXPECT_EQ(c.GetPixel(last, bottom), vcl::clBlack) << "the first bar's bottom";
    EXPECT_EQ(c.GetPixel(At.Left, At.Top - 1), vcl::clRed) << "above the bar";
    EXPECT_EQ(c.GetPixel(At.Left, bottom + 1), vcl::clRed) << "below the bar";
    EXPECT_EQ(c.GetPixel(At.Left - 1, y), vcl::clRed) << "nothing left of Left";
    EXPECT_EQ(c.GetPixel(last + 1, y), vcl::clRed) << "a space keeps what was there";
    return c;
}

void DrawnOnRed(Renderer Render, int Width, std::initializer_list<std::string> Texts) {
    for (const std::string& text : Texts) {
        vcl::TBitmap bmp;
        DrawnOnRed(bmp, Width, Render, text);
    }
}

void PrepareBitmap(vcl::TBitmap& Bitmap, int Height, BitmapStart Start) {
    if (Start == BitmapStart::AsComponents)
        Bitmap.SetMonochrome(true);
    Bitmap.SetPixelFormat(vcl::pf8bit);
    Bitmap.SetHeight(Height);
}

testing::AssertionResult CreatedAtCalcWidth(vcl::TBitmap& Bitmap, BitmapStart Start, int Height,
                                            TBarCodeType Type, int Scale, const std::string& Text,
                                            bool Interpret) {
    PrepareBitmap(Bitmap, Height, Start);
    CreateBC(Bitmap, Type, Scale, Height, Text, Interpret, bcNoRotate);
    const int width = CalcWidth(Scale, Type, Text);
    if (Bitmap.GetWidth() != width)
        return testing::AssertionFailure()
               << "the bitmap is " << Bitmap.GetWidth() << " wide, CalcWidth says " << width;
    return testing::AssertionSuccess();
}

namespace {

const std::array<std::string, 10> kLCodes = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                             "0110001", "0101111", "0111011", "0110111", "0001011"};

} // namespace

std::string LCode(char Digit) {
    return kLCodes[static_cast<std::size_t>(Digit - '0')];
}

std::string RCode(char Digit) {
    std::string s = LCode(Digit);
    for (char& m : s)
        m = m == '1' ? '0' : '1';
    return s;
}

std::string GCode(char Digit) {
    const std::string r = RCode(Digit);
    return {r.rbegin(), r.rend()};
}

std::string LGCodes(const std::string& Parity, const std::string& Digits) {
    std::string s;
    for (std::size_t i = 0; i < Digits.size(); ++i)
        s += Parity[i] == 'G' ? GCode(Digits[i]) : LCode(Digits[i]);
    return s;
}

void ExpectTwoOfFive(std::span<const std::uint8_t> Entries, const char* const* Standard, char One,
                     char Zero) {
    std::set<std::uint8_t> seen;
    for (std::size_t i = 0; i < Entries.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        const std::uint8_t e = Entries[i];
        EXPECT_EQ(e & 0x07, 0) << "five elements in bits 7..3";
        const std::string elements = Bits(e, 5, 7, One, Zero);
        EXPECT_EQ(std::count(elements.begin(), elements.end(), One), 2) << "two of five";
        EXPECT_EQ(elements, Standard[i]);
        seen.insert(e);
    }
    EXPECT_EQ(seen.size(), Entries.size()) << "no two alike";
}

} // namespace lumivex::test
