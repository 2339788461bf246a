// A real decoder reads back every Code 128 and EAN-128 symbol that CreateBC draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Decode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

struct TextRow {
    std::string Text;
    const char* Note;
};

// Each row aims at one decision of the code-set logic; together they draw all 107 patterns.
// Octal escapes where a hex escape would swallow the letter after it.
std::vector<TextRow> Code128Texts() {
    std::vector<TextRow> rows = {
        {"1234", "even digits: start C"},
        {"12345", "odd digits: start C, the last digit in set B"},
        {"0123456789", "ten digits from 0"},
        {"123", "three digits stay in set B"},
        {"7", "one digit"},
        {"AB1234", "set B, then an even digit run in set C"},
        {"A12345B", "an odd run begins in set B, its even rest in set C"},
        {"ab12345cd", "an odd run between lower case"},
        {"12345678\t", "set C, then one control byte left"},
        {"123456`", "set C, then one byte of set B only"},
        {"1234\x01", "set C, then byte 1"},
        {"1234\x80", "set C, then byte 128 (FNC4 in set A)"},
        {"12\001345678", "two digits, a control byte, an even run"},
        {"Lumivex 2026", "mixed case, space and a four-digit run at the end"},
        {"abcdefghijklmnopqrstuvwxyz", "lower case"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "upper case"},
        {"\tabc", "start A for the tab, CODE B for the letters"},
        {"a\tb", "SHIFT: the tab alone in set A"},
        {"\001a\002", "SHIFT from set A: one letter in set B"},
        {"`\x01", "set B only, then a control byte"},
        {"\x01`", "a control byte, then set B only"},
        {"{\t|\n}\r~\x7F", "set B only bytes and control bytes taking turns"},
        {"\x7F\x1F\x7F\x1F\x7F", "DEL and US taking turns"},
        {"A\x1F{B", "capitals on both sides of a set change"},
        {"\x1B[0m`{|}~\x7F", "escape sequence, then every set B only byte"},
        {"\x80", "byte 128 alone"},
        {"A\200b", "byte 128 between letters"},
        {"\x80\x80", "byte 128 twice"},
        {"a\x80\x01", "byte 128 after lower case, before a control byte"},
        {"The quick brown fox jumps over the lazy dog; 0123456789 / Lumivex 2026: #80 ok!",
         "a long text"},
    };
    // Every byte 1..127, in runs that each cross a set boundary.
    rows.push_back({Bytes(1, 42), "bytes 1 to 42"});
    rows.push_back({Bytes(43, 85), "bytes 43 to 85"});
    rows.push_back({Bytes(86, 127), "bytes 86 to 127"});
    std::string alternating;
    for (int i = 0; i < 32; ++i) {
        alternating += static_cast<char>(i == 0 ? 31 : i);
        alternating += static_cast<char>(96 + i);
    }
    rows.push_back({alternating, "control and set B only bytes alternating: SHIFT after SHIFT"});
    // Every set C value 0..99, the ones that share a pattern with FNC3, FNC2 and SHIFT included.
    std::string pairsLow, pairsHigh;
    for (int v = 0; v < 50; ++v) {
        pairsLow += std::to_string(v / 10) + std::to_string(v % 10);
        pairsHigh += std::to_string((v + 50) / 10) + std::to_string((v + 50) % 10);
    }
    rows.push_back({pairsLow, "digit pairs 00 to 49"});
    rows.push_back({pairsHigh, "digit pairs 50 to 99"});
    return rows;
}

// Bytes read as Latin-1, which is how zxing turns Code 128 data into text.
std::string Latin1ToUtf8(const std::string& Bytes) {
    std::string out;
    for (const char ch : Bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Every scale and rotation, with and without the printed text: the data, zxing's text, the
// symbology and the reading direction (the start symbol comes first in the direction the rotation
// turned the left edge to).
testing::AssertionResult ReadsBackAsCode128(TBarCodeType Type, const std::string& Text,
                                            const std::string& SymbologyIdentifier) {
    return test::ReadsBackEverywhere(Type, Text, [&](const DecodeResult& got) -> std::string {
        if (std::string why = NotReadAs(got, ZXing::BarcodeFormat::Code128, Text); !why.empty())
            return why;
        if (got.Utf8 != Latin1ToUtf8(Text))
            return "text not Latin-1: \"" + Escaped(got.Utf8) + "\"";
        if (got.SymbologyIdentifier != SymbologyIdentifier)
            return "symbology identifier " + got.SymbologyIdentifier;
        return {};
    });
}

TEST(DecodeTest, Code128ReadsBackAtEveryScaleAndRotation) {
    for (const TextRow& row : Code128Texts())
        EXPECT_TRUE(ReadsBackAsCode128(bcCode128, row.Text, "]C0"))
            << "text \"" << Escaped(row.Text) << "\" (" << row.Note << ")";
}

// zxing reports a leading FNC1 as GS1 content (identifier ]C1) and leaves it out of the data.
TEST(DecodeTest, EAN128ReadsBackAsGS1AtEveryScaleAndRotation) {
    for (const TextRow& row : Code128Texts())
        EXPECT_TRUE(ReadsBackAsCode128(bcEAN128, row.Text, "]C1"))
            << "text \"" << Escaped(row.Text) << "\" (" << row.Note << ")";
}

// The helper takes whatever pixel format the bitmap has; CreateBC draws into each of them.
TEST(DecodeTest, ReadsEveryPixelFormat) {
    for (const vcl::TPixelFormat format : {vcl::pf1bit, vcl::pf8bit, vcl::pf24bit}) {
        SCOPED_TRACE(testing::Message() << "pixel format " << int{format});
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(format);
        bmp.SetHeight(40);
        CreateBC(bmp, bcCode128, 1, 40, "Pixel 42", false, bcNoRotate);
        ASSERT_EQ(bmp.GetPixelFormat(), format);
        const DecodeResult got = Decode(bmp, DecodeOptionsFor(bcCode128, bcNoRotate));
        ASSERT_TRUE(got.Read) << got.Error;
        EXPECT_EQ(got.Bytes, "Pixel 42");
    }
}

// An empty text draws no bars; the decoder must find nothing rather than something stale.
TEST(DecodeTest, EmptyTextReadsNothing) {
    vcl::TBitmap bmp;
    PrepareBitmap(bmp, 60);
    CreateBC(bmp, bcCode128, 2, 60, "", false, bcNoRotate);
    const DecodeResult got = Decode(bmp, DecodeOptionsFor(bcCode128, bcNoRotate));
    EXPECT_FALSE(got.Read);
    EXPECT_TRUE(got.Bytes.empty());
}

} // namespace
} // namespace lumivex::test
