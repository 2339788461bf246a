// UPC-E: its code and parity tables, the UPC-E/UPC-A conversions and the renderer.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Digits.h"

namespace lumivex {

// clang-format off
const std::array<std::uint16_t, 10> BC_UPCE{
    0x1A4E, 0x3266, 0x2636, 0x7A42, 0x463A, // 0
    0x6272, 0x5E0A, 0x7622, 0x6E12, 0x162E, // 5
};
// clang-format on
static_assert(BC_UPCE.size() == 10);

// clang-format off
const std::array<std::uint16_t, 10> BC_UPCE_Parity{
    0xE01C, 0xD02C, 0xC834, 0xC438, 0xB04C, // 0
    0x9864, 0x8C70, 0xA854, 0xA458, 0x9468, // 5
};
// clang-format on
static_assert(BC_UPCE_Parity.size() == 10);

namespace {

// Builds a number from Layout: a capital picks a character of From ('A' the first), a digit
// stands for itself. The layouts read as the standard writes the rules.
std::string Pick(const std::string& From, const char* Layout) {
    std::string s;
    for (const char* p = Layout; *p; ++p)
        s += *p >= 'A' ? From[static_cast<std::size_t>(*p - 'A')] : *p;
    return s;
}

} // namespace

std::string UPCE_Expand(const std::string& Text) {
    if (Text.size() < 6)
        return {};
    // The last digit says where the suppressed zeros went.
    switch (Text[5]) {
    case '0':
    case '1':
    case '2':
        return Pick(Text, "0ABF0000CDE");
    case '3':
        return Pick(Text, "0ABC00000DE");
    case '4':
        return Pick(Text, "0ABCD00000E");
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        return Pick(Text, "0ABCDE0000F");
    default:
        return {};
    }
}

std::string UPCA_to_UPCE(const std::string& Text) {
    if (Text.size() < 11)
        return {};
    // Positions as the number is usually written, A1 the number system.
    auto a = [&](int Pos) { return Text[static_cast<std::size_t>(Pos - 1)]; };
    auto zeros = [&](int From, int Count) {
        return Text.compare(static_cast<std::size_t>(From - 1), static_cast<std::size_t>(Count),
                            std::string(static_cast<std::size_t>(Count), '0')) == 0;
    };
    // Tried in order: where two rules fit, the earlier wins.
    if (zeros(5, 4) && a(4) >= '0' && a(4) <= '2')
        return Pick(Text, "BCIJKD");
    if (zeros(5, 5))
        return Pick(Text, "BCDJK3");
    if (zeros(6, 5))
        return Pick(Text, "BCDEK4");
    if (zeros(7, 4) && a(11) >= '5' && a(11) <= '9')
        return Pick(Text, "BCDEFK");
    return {};
}

namespace detail {

namespace {
constexpr int kSymbolModules = 51;
} // namespace

void DrawUPCE(BarWriter& W, const std::string& Text) {
    if (W.MeasuredAsFixed(kSymbolModules))
        return;
    std::string s = Text;
    if (s.size() < 6)
        s.insert(0, 6 - s.size(), '0');
    // Only bytes below '0' in a direct call can give a check "digit" outside 0..9; such a number
    // takes the parities of check digit 0, as a code without an expansion does.
    int check = Mod10Check(UPCE_Expand(s)) - '0';
    if (check < 0 || check > 9)
        check = 0;
    const std::uint16_t parity = BC_UPCE_Parity[check];

    W.Pattern(0b101, 3, 2);
    for (std::size_t k = 1; k <= s.size(); ++k) {
        const int d = DigitOf(s[k - 1]);
        if (d < 0) {
            W.Blank();
            break;
        }
        // Characters past the sixth, which only a direct call passes, read on down the parity
        // word and take the L code once it is used up.
        const bool even = k <= 16 && ((parity >> (16 - k)) & 1u);
        W.Pattern(BC_UPCE[d], 7, even ? 7 : 15);
    }
    W.Pattern(0b010101, 6, 5);
    // The symbol is 51 modules whatever the text: blank after a byte that is no digit, and the
    // characters past the sixth, which only a direct call passes, run on into the quiet zone, so
    // the walk steps back over them.
    W.SpaceTo(kSymbolModules);
}

} // namespace detail

void BarcodeUPCE(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                 const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawUPCE);
}

} // namespace lumivex
