// Interleaved 2 of 5: module strings, padding, frame characters, the early stop and the pattern
// table.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "tests/engine/Decode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

// The digits' element widths as the Interleaved 2 of 5 standard lists them, N narrow, W wide.
const char* const Widths[10] = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};
// The frame characters read as the five space widths of a pair: their table bytes 1010 0000 and
// 1110 1000, one bit per element.
const std::string StartAsSpaces = "WNWNN";
const std::string StopAsSpaces = "WWWNW";

const std::string Start = "1010"; // narrow bar, narrow space, narrow bar, narrow space
const std::string Stop = "11101"; // wide bar, narrow space, narrow bar

std::string Element(char W, char Module) {
    return std::string(W == 'W' ? 3 : 1, Module);
}

// One pair: the bars from Bars' widths, interleaved with the spaces from Spaces' widths.
std::string Pair(const std::string& Bars, const std::string& Spaces) {
    std::string s;
    for (int i = 0; i < 5; ++i)
        s += Element(Bars[i], '1') + Element(Spaces[i], '0');
    return s;
}
std::string Pair(int Bars, int Spaces) {
    return Pair(Widths[Bars], Widths[Spaces]);
}

TEST(Int2of5, ModuleStrings) {
    ExpectModules(
        BarcodeInt2of5,
        {
            {"1234", Start + Pair(1, 2) + Pair(3, 4) + Stop, "pairs 12 and 34: 45 modules"},
            {"12345", Start + Pair(0, 1) + Pair(2, 3) + Pair(4, 5) + Stop,
             "odd length gains a leading 0: 63 modules"},
            {"7", Start + Pair(0, 7) + Stop, "one digit becomes 07"},
            {"", Start + Stop, "an empty text draws the frame only"},
            {"00", Start + Pair(0, 0) + Stop, "the smallest pair"},
            {"99", Start + Pair(9, 9) + Stop, "the largest pair"},
            {"0123456789",
             Start + Pair(0, 1) + Pair(2, 3) + Pair(4, 5) + Pair(6, 7) + Pair(8, 9) + Stop,
             "every digit once"},
            // ':' and '/' where a pair would begin are frame patterns; as the second character of a
            // pair they give the space widths of their table entries.
            {":", Start + Pair(Widths[0], StopAsSpaces) + Stop, "':' alone: 0: then the stop"},
            {"1:23", Start + Pair(Widths[1], StopAsSpaces) + Pair(2, 3) + Stop, "':' as spaces"},
            {":1", Start + Stop + Pair(Widths[1], StopAsSpaces),
             "':' first: stop, then the pairing"},
            {":12", Start + Pair(Widths[0], StopAsSpaces) + Pair(1, 2) + Stop, "0: then 12"},
            {"/1", Start + Start + Pair(Widths[1], StopAsSpaces), "'/' first: a second start"},
            {"1/", Start + Pair(Widths[1], StartAsSpaces) + Stop, "'/' as spaces"},
            {"::", Start + Stop + Stop + Stop, "three stops in a row"},
        });
    EXPECT_EQ((Start + Pair(1, 2) + Pair(3, 4) + Stop).size(), 45u);
    EXPECT_EQ((Start + Pair(0, 1) + Pair(2, 3) + Pair(4, 5) + Stop).size(), 63u);
}

TEST(Int2of5, StopsAtThePairThatHoldsACharacterItCannotEncode) {
    ExpectModules(BarcodeInt2of5, {
                                      {"12;4", Start + Pair(1, 2), "';' begins the second pair"},
                                      {"123;", Start + Pair(1, 2), "';' ends the second pair"},
                                      {"1;", Start, "';' in the first pair"},
                                      {";", Start, "';' alone becomes 0;"},
                                      {"12;", Start + Pair(0, 1),
                                       "';' counts for the length: 012; is drawn as 01 and 2;"},
                                      {"A2", Start, "a letter"},
                                      {"12 4", Start + Pair(1, 2), "a space"},
                                      {"12.4", Start + Pair(1, 2), "'.', the byte just below '/'"},
                                      {std::string("12\x80"
                                                   "4"),
                                       Start + Pair(1, 2), "a byte above 127"},
                                      {std::string("12\0"
                                                   "4",
                                                   4),
                                       Start + Pair(1, 2), "a NUL byte"},
                                  });
}

TEST(Int2of5, ScaleWidensEveryModuleAndBarsFillTheirRows) {
    const std::string modules = Start + Pair(1, 2) + Pair(3, 4) + Stop;
    // Drawn checks that every row from Top to Top + Height - 1 reads alike and the others are
    // white.
    for (const int scale : {1, 2, 3})
        EXPECT_EQ(Drawn(BarcodeInt2of5, "1234", scale), Widen(modules, scale)) << scale;
}

// Records the rectangles a drawer hands to its sink.
struct Recorder final : detail::BarSink {
    std::vector<std::int64_t> widths;
    void Bar(std::int64_t X1, std::int64_t, std::int64_t X2, std::int64_t) override {
        widths.push_back(X2 - X1);
    }
};

TEST(Int2of5, AWideBarIsOneRectangle) {
    // 12: bars of 1 are W N N N W; start 2 bars, stop a wide and a narrow bar.
    Recorder r;
    detail::BarWriter w(r, 0, 0, 10, 2);
    detail::DrawInt2of5(w, "12");
    EXPECT_EQ(r.widths, (std::vector<std::int64_t>{2, 2, 6, 2, 2, 2, 6, 6, 2}));
}

// CreateBC draws the pairs between the quiet zones, an odd text with its zero in front.
TEST(Int2of5, CreateBCDrawsEveryLength) {
    std::string text;
    for (int length = 1; length <= 12; ++length) {
        text += static_cast<char>('0' + length % 10);
        const std::string even = length % 2 ? "0" + text : text;
        std::string modules = Start;
        for (std::size_t i = 0; i < even.size(); i += 2)
            modules += Pair(even[i] - '0', even[i + 1] - '0');
        modules += Stop;
        for (const int scale : {1, 2, 3}) {
            for (const bool interpret : {false, true}) {
                SCOPED_TRACE(testing::Message() << text << " scale " << scale);
                vcl::TBitmap bmp;
                ASSERT_TRUE(CreatedAtCalcWidth(bmp, BitmapStart::EightBit, 40, bcInt2of5, scale,
                                               text, interpret));
                const std::string quiet(10 * scale, '0');
                EXPECT_EQ(Row(bmp, 0), quiet + Widen(modules, scale) + quiet);
            }
        }
    }
}

TEST(Int2of5, PatternTable) {
    // Start and stop: single modules in the high bits, the rest zero.
    EXPECT_EQ(BC_Int2of5[0], 0xA0);
    EXPECT_EQ(BC_Int2of5[11], 0xE8);
    EXPECT_EQ(BC_Int2of5[0] & 0x0F, 0) << "start: 4 modules";
    EXPECT_EQ(BC_Int2of5[11] & 0x07, 0) << "stop: 5 modules";
    // The digits: two of five elements wide, so 2 x 3 + 3 = 9 modules each.
    ExpectTwoOfFive(std::span<const std::uint8_t>(BC_Int2of5).subspan(1, 10), Widths, 'W', 'N');
}

} // namespace
} // namespace lumivex::test
