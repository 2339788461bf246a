// What holds for every row of the symbology table: its sample passes the filter whole,
// CalcWidth is the width the bars take, the renderers give the brush back and draw only bars,
// and the decoder reads what it can read.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Decode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

struct WidthCase {
    std::string Text;
    int Width;   // modules of the bitmap, quiet zones included
    int LastBar; // modules from the bitmap's left edge to the end of the last bar; 0 for a
                 // complete symbol (Width - 10 - the trailing gap), -1 where not probed
    const char* Note;
};

// The renderer stops at Text's first unusable character, after Drawn modules.
struct StopCase {
    std::string Text;
    int Drawn;
};

struct ReadCase {
    std::string Text;
    std::string Bytes; // as zxing reports them; UPC-A in its EAN-13 form, led by 0
};

struct Family {
    int TrailingGap = 0; // Code 39's characters end in a one-module gap
    int FirstBar = 1;    // modules of the first bar
    std::vector<WidthCase> Widths;
    std::vector<StopCase> Stops;
    std::vector<ReadCase> Reads;
};

std::vector<ReadCase> Same(std::initializer_list<std::string> Texts) {
    std::vector<ReadCase> out;
    for (const std::string& t : Texts)
        out.push_back({t, t});
    return out;
}

std::vector<WidthCase> DigitRuns(int Longest, int (*Modules)(int), int Step) {
    std::vector<WidthCase> out;
    std::string text;
    for (int length = 1; length <= Longest; ++length) {
        text += static_cast<char>('0' + (Step * length) % 10);
        out.push_back({text, Modules(length), 0, "every length"});
    }
    return out;
}

std::vector<WidthCase> Plus(std::vector<WidthCase> A, std::initializer_list<WidthCase> B) {
    A.insert(A.end(), B);
    return A;
}

const Family& FamilyOf(TBarCodeType Type) {
    static const std::map<TBarCodeType, Family> families{
        {bcCode128,
         {0,
          2,
          {{"ABC", 88, 0, "start B, three symbols, check, stop"}, {"12345", 99, 0, ""}},
          {},
          Same({"Lumivex 2026"})}},
        {bcEAN128, {0, 2, {{"0123456789", 121, 0, "start C, FNC1, five pairs"}}, {}, {}}},
        {bcCode39,
         {1,
          1,
          {{"AB", 72, 0, "2 x 13 x 4 + 40 = 144 pixels at Scale 2"},
           {"A", 59, 0, "one character"},
           {"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", 605, 0, "every character"},
           {"A!B", 85, 35, "stops at '!': every byte keeps its 13 modules"}},
          {{"A\x80", 26}},
          Same({"0123456789", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "-. $/+%", "CODE 39", "7",
                "$A/B+C%D"})}},
        {bcCode39Ext,
         {1,
          1,
          {{"abc", 124, 0, "three pairs"},
           {"A B", 85, 0, "letters and space are single"},
           {"-.", 98, 0, "'-' and '.' are pairs"},
           {"\x01\x1B!:;@[`a{\x7F", 332, 0, "one byte of every pair family"},
           // A byte above 127 takes no room, the bytes after it keep theirs.
           {"AB\x80", 72, 48, "byte 128 at the end: no stop drawn"},
           {"\x80", 46, 22, "byte 128 alone: the start only"},
           {"a\xFF"
            "a",
            98, 48, "a byte above 127 between pairs"}},
          {{"A\x80", 26}},
          Same({"abc", "-", ".", "Lumivex 2026-12.5", Bytes(1, 31), Bytes(32, 63), Bytes(64, 95),
                Bytes(96, 127), std::string("A\0B", 3)})}},
        {bcCode93,
         {0,
          1,
          {{"TEST93", 111, 0, "6 data symbols"},
           {"a", 75, 0, "a pair"},
           {"$%+-./ ", 120, 0, "the seven signs are single symbols"},
           {"!\"#&',:;<=>?@[\\]^_`{|}~\x7F\x01\x1F", 9 * 2 * 26 + 57, 0, "26 pairs"},
           // A byte above 127 takes no room, the bytes after it keep theirs.
           {"AB\x80", 75, -1, "byte 128 at the end"},
           {"\x80", 57, -1, "byte 128 alone"},
           {"a\xFF"
            "a",
            93, -1, "a byte above 127 between pairs"}},
          {{"A\x80", 18}},
          Same({"TEST93", "CODE 93", "7", "abc", "$%+-./ ", Bytes(1, 31), Bytes(32, 63),
                Bytes(64, 95), Bytes(96, 127), std::string("A\0B", 3),
                "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"})}}, // C's weights wrap at 20, K's at 15
        {bcInt2of5,
         {0,
          1,
          Plus(DigitRuns(
                   12, [](int L) { return 9 * (L + L % 2) + 29; }, 1),
               {{"12;4", 65, -1, "stops at ';'"},
                {"::", 47, 29, "stop characters in the text draw narrower than a pair"}}),
          {{"12;4", 22}},
          // No check digit is added; an odd text reads with its leading zero.
          {{"123456", "123456"},
           {"000000", "000000"},
           {"999999", "999999"},
           {"1234567", "01234567"},
           {"0123456789", "0123456789"},
           {"9876543210", "9876543210"},
           {"00112233445566778899", "00112233445566778899"},
           {"31415926535897932384626", "031415926535897932384626"}}}},
        {bcPOSTNET,
         {0,
          1,
          Plus(DigitRuns(
                   11, [](int L) { return 10 * (L + 1) + 23; }, 7),
               {{"12:3", 73, -1, "stops at ':'"}}),
          {{"12:3", 21}},
          {}}},
        {bcEAN13,
         {0,
          1,
          {{"400638133393", 115, 0, "full symbol"},
           {"1", 115, 0, "padded"},
           {"4006381333931999", 115, 0, "too long: fixed width all the same"},
           {"12345:789012", 115, 41, "early stop: narrower, same bitmap"}},
          {{"12345:789012", 31}},
          {{"400638133393", "4006381333931"},
           {"123", "0000000001236"},
           {"036000291452", "0360002914522"},
           {"590123412345", "5901234123457"},
           {"978020137962", "9780201379624"},
           {"100000000000", "1000000000009"},
           {"200000000000", "2000000000008"},
           {"312345678901", "3123456789019"},
           {"699999999999", "6999999999997"},
           {"712345678901", "7123456789015"},
           {"850006000012", "8500060000122"},
           {"999999999999", "9999999999994"}}}},
        {bcEAN8,
         {0,
          1,
          {{"9638507", 87, 0, "full symbol"},
           {"12", 87, 0, "padded"},
           {"963:507", 87, 34, "early stop"}},
          {{"963:507", 24}},
          {{"9638507", "96385074"},
           {"1", "00000017"},
           {"5512345", "55123457"},
           {"4719512", "47195127"}}}},
        {bcUPCA,
         {0,
          1,
          {{"03600029145", 115, 0, "full symbol"},
           {"7", 115, 0, "padded"},
           {"12345:78901", 115, 103, "a centre guard in a digit's place"}},
          {},
          {{"03600029145", "0036000291452"},
           {"1", "0000000000017"},
           {"72527273070", "0725272730706"},
           {"98765432109", "0987654321098"}}}},
        {bcUPCE,
         {0,
          1,
          {{"425261", 71, 0, "full symbol"},
           {"1", 71, 0, "padded"},
           {"12:450", 71, 27, "early stop"},
           {"1234567", 71, 68, "a direct call's seventh character runs into the quiet zone"}},
          {{"12:450", 17}},
          // Number system 0, the six digits and the check digit of the expansion.
          {{"425261", "04252614"},
           {"123450", "01234505"},
           {"123451", "01234514"},
           {"123452", "01234523"},
           {"123453", "01234531"},
           {"123454", "01234543"},
           {"123455", "01234558"},
           {"654329", "06543297"},
           {"1", "00000019"},
           {"999999", "09999992"}}}},
        {bcUPC2ext, {0, 1, {{"7", 40, 0, "padded"}, {"12", 40, 0, ""}}, {}, {}}},
        {bcUPC5ext,
         {0,
          1,
          {{"1", 67, 0, "padded"},
           {"24", 67, 0, ""},
           {"52495", 67, 0, ""},
           {"12:45", 67, -1, "stops at ':'"}},
          {{"12:45", 22}},
          {}}},
    };
    return families.at(Type);
}

class EveryRow : public testing::TestWithParam<TSymbology> {};

std::string RowName(const testing::TestParamInfo<TSymbology>& Info) {
    return std::string(Info.param.Identifier);
}

INSTANTIATE_TEST_SUITE_P(Symbology, EveryRow, testing::ValuesIn(BC_Symbologies), RowName);

// The samples name the files of `lumivex samples`: each must be a whole symbol.
TEST_P(EveryRow, SampleFiltersWhole) {
    const TSymbology& row = GetParam();
    EXPECT_EQ(FilterBCText(row.Type, std::string(row.Sample)), row.Sample);
}

// The bitmap is CalcWidth wide; the bars start after the left quiet zone and a complete symbol
// ends where the width leaves the right one, its trailing gap aside.
TEST_P(EveryRow, CalcWidthIsTheWidthTheBarsTake) {
    const TSymbology& row = GetParam();
    const Family& family = FamilyOf(row.Type);
    std::vector<WidthCase> cases = family.Widths;
    cases.push_back({std::string(row.Sample), 0, 0, "the sample"});
    for (const WidthCase& c : cases)
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message()
                         << "\"" << Escaped(c.Text) << "\" scale " << scale << ": " << c.Note);
            const int width = CalcWidth(scale, row.Type, c.Text);
            if (c.Width) {
                EXPECT_EQ(width, c.Width * scale);
            }
            vcl::TBitmap bmp;
            ASSERT_TRUE(
                CreatedAtCalcWidth(bmp, BitmapStart::EightBit, 20, row.Type, scale, c.Text, false));
            // Every symbology's bars reach the bottom row, POSTNET's short ones too.
            const std::string bottom = Row(bmp, 19);
            EXPECT_EQ(bottom.find('1'), 10u * scale) << "first bar";
            if (c.LastBar < 0)
                continue;
            const int end =
                c.LastBar ? c.LastBar * scale : width - (10 + family.TrailingGap) * scale;
            EXPECT_EQ(static_cast<int>(bottom.rfind('1')), end - 1) << "last bar";
        }
}

// A renderer paints only bars, in black, and gives the brush back, also where it stops early;
// after a stop nothing more is painted.
TEST_P(EveryRow, RendererGivesTheBrushBackAndPaintsNothingButBars) {
    const TSymbology& row = GetParam();
    const Family& family = FamilyOf(row.Type);
    std::vector<StopCase> cases = family.Stops;
    cases.push_back({std::string(row.Sample), -1});
    for (const StopCase& c : cases) {
        const int width = CalcWidth(1, row.Type, c.Text) + 10;
        vcl::TBitmap bmp;
        const vcl::TCanvas& canvas = DrawnOnRed(bmp, width, row.Render, c.Text, family.FirstBar);
        for (int x = 3 + c.Drawn; c.Drawn >= 0 && x < width; ++x)
            ASSERT_EQ(canvas.GetPixel(x, 4), vcl::clRed)
                << "\"" << Escaped(c.Text) << "\": nothing after the stop, column " << x;
    }
}

// zxing-cpp reads every symbology the table says it reads, at every scale and rotation.
TEST_P(EveryRow, DecoderReadsItAtEveryScaleAndRotation) {
    const TSymbology& row = GetParam();
    const ZXing::BarcodeFormats formats = DecodeOptionsFor(row.Type, bcNoRotate).Formats;
    if (!row.DecoderReads) {
        EXPECT_TRUE(formats.empty()) << "zxing-cpp 1.4 reads no " << row.Name;
        return;
    }
    std::vector<ReadCase> cases = FamilyOf(row.Type).Reads;
    if (cases.empty())
        cases.push_back({std::string(row.Sample), std::string(row.Sample)});
    for (const ReadCase& c : cases) {
        // zxing may read a 0-led EAN-13 as UPC-A and the other way round.
        const ReadCheck check = [&](const DecodeResult& got) -> std::string {
            const std::string bytes =
                got.Format == ZXing::BarcodeFormat::UPCA ? "0" + got.Bytes : got.Bytes;
            if (!formats.testFlag(got.Format))
                return std::string("read as ") + ZXing::ToString(got.Format);
            return bytes == c.Bytes ? "" : "read \"" + Escaped(got.Bytes) + "\"";
        };
        EXPECT_TRUE(ReadsBackEverywhere(row.Type, c.Text, check, 60)) << Escaped(c.Text);
    }
}

} // namespace
} // namespace lumivex::test
