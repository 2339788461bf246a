// POSTNET: height-modulated digits between two full frame bars, with the digit-sum check digit.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Digits.h"

namespace lumivex {

// Five bars per digit in bits 7..3, the leftmost in bit 7: 1 = full bar, 0 = half bar.
// clang-format off
const std::array<std::uint8_t, 10> BC_POSTNET{
    0xC0, 0x18, 0x28, 0x30, 0x48, // 0
    0x50, 0x60, 0x88, 0x90, 0xA0, // 5
};
// clang-format on
static_assert(BC_POSTNET.size() == 10);

char POSTNET_Check(const std::string& Text) {
    // 64 bits: a text of a few million high bytes would carry an int sum past its range.
    std::int64_t sum = 0;
    for (const char ch : Text)
        sum += static_cast<unsigned char>(ch) - 48;
    // A byte below '0' can make the sum negative; the remainder then is too, and the character
    // returned lies above '9', which no digit-only text can give.
    const int r = static_cast<int>(sum % 10);
    const int c = r == 0 ? 0 : 10 - r;
    return static_cast<char>(48 + c);
}

namespace detail {

namespace {
constexpr std::uint8_t kFirstBar = 0x80;
constexpr int kBarsPerDigit = 5;
} // namespace

void DrawPOSTNET(BarWriter& W, const std::string& Text) {
    const std::string s = Text + POSTNET_Check(Text);
    W.Bar();
    for (const char ch : s) {
        const int d = DigitOf(ch);
        // The width keeps ten modules for every character and the check digit: the bars end
        // at the first that is no digit, the walk goes on blank.
        if (d < 0) {
            W.Blank();
            W.Space(2 * kBarsPerDigit);
            continue;
        }
        for (int i = 0; i < kBarsPerDigit; ++i) {
            W.Space();
            if ((BC_POSTNET[d] << i) & kFirstBar)
                W.Bar();
            else
                W.HalfBar();
        }
    }
    W.Space();
    W.Bar();
}

} // namespace detail

void BarcodePOSTNET(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawPOSTNET);
}

} // namespace lumivex
