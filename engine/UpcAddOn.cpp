// UPC/EAN 2- and 5-digit add-ons: start guard, L and G characters with delineators, parity.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Digits.h"
#include "host/sysutils/SysUtils.h"

namespace lumivex {

// Per checksum 0..9: the parities of the five characters in bits 7..3, bit 7 first, 1 = G code.
// clang-format off
const std::array<std::uint8_t, 10> BC_UPC5ext_Parity{
    0xC0, 0xA0, 0x90, 0x88, 0x60, // 0
    0x30, 0x18, 0x50, 0x48, 0x28, // 5
};
// clang-format on
static_assert(BC_UPC5ext_Parity.size() == 10);

namespace detail {

namespace {

constexpr std::uint32_t kStartGuard = 0b1011;
constexpr int kStartModules = 4;
constexpr int kCharModules = 7;
// Both add-ons keep their width whatever the text, blank after a byte that is no digit.
constexpr int k2Modules = 20;
constexpr int k5Modules = 47;

// The 7 modules of Digit's L code (high byte of its entry) or G code (low byte).
void Character(BarWriter& W, int Digit, bool G) {
    W.Pattern(BC_EAN_LEFT[Digit], kCharModules, G ? 7 : 15);
}

void Delineator(BarWriter& W) {
    W.Space();
    W.Bar();
}

} // namespace

void DrawUPC5ext(BarWriter& W, const std::string& Text) {
    if (W.MeasuredAsFixed(k5Modules))
        return;
    std::string s = Text;
    if (s.size() < 5)
        s.insert(0, 5 - s.size(), '0');
    s.resize(5);

    auto v = [&](std::size_t k) { return static_cast<unsigned char>(s[k]) - '0'; };
    const int c = (3 * (v(0) + v(2) + v(4)) + 9 * (v(1) + v(3))) % 10;
    // Only characters below '0' make the checksum negative, and drawing stops at the first of
    // them anyway: the characters before it take L codes, as no table entry is named.
    const std::uint8_t parity = c >= 0 ? BC_UPC5ext_Parity[c] : 0;

    W.Pattern(kStartGuard, kStartModules, kStartModules - 1);
    for (int k = 0; k < 5; ++k) {
        const bool g = (parity << k) & 0x80;
        const int d = DigitAt(s, k);
        if (d < 0)
            break;
        Character(W, d, g);
        if (k < 4)
            Delineator(W);
    }
    W.SpaceTo(k5Modules);
}

void DrawUPC2ext(BarWriter& W, const std::string& Text) {
    if (W.MeasuredAsFixed(k2Modules))
        return;
    std::string s = Text;
    if (s.size() < 2)
        s.insert(0, 1, '0');
    if (s.size() > 2)
        s.resize(2);

    W.Pattern(kStartGuard, kStartModules, kStartModules - 1);
    // Two characters that are no number (a digit and ':') raise here, after the start guard;
    // a walk that only measures has left already, so CalcWidth never raises.
    const int v = vcl::StrToInt(s);

    int d = DigitAt(s, 0);
    if (d >= 0) {
        Character(W, d, v % 4 == 2 || v % 4 == 3);
        Delineator(W);
        // An empty text leaves only the "0" put in front: the second character is missing and
        // the symbol ends after the delineator, as at any other character that is not a digit.
        d = DigitAt(s, 1);
        if (d >= 0)
            Character(W, d, v % 2 != 0);
    }
    W.SpaceTo(k2Modules);
}

} // namespace detail

void BarcodeUPC2ext(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawUPC2ext);
}

void BarcodeUPC5ext(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawUPC5ext);
}

} // namespace lumivex
