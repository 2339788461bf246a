// EAN-13, EAN-8 and UPC-A: the left/right code tables, the modulo-10 check digit and renderers.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Digits.h"

namespace lumivex {

// clang-format off
const std::array<std::uint16_t, 10> BC_EAN_LEFT{
    0x1A4E, 0x3266, 0x2636, 0x7A42, 0x463A, // 0
    0x6272, 0x5E0A, 0x7622, 0x6E12, 0x162E, // 5
};
// clang-format on
static_assert(BC_EAN_LEFT.size() == 10);

// clang-format off
const std::array<std::uint16_t, 10> BC_EAN_RIGHT{
    0xE400, 0xCC2C, 0xD834, 0x8438, 0xB84C, // 0
    0x9C64, 0xA070, 0x8854, 0x9058, 0xE868, // 5
};
// clang-format on
static_assert(BC_EAN_RIGHT.size() == 10);

// clang-format off
const std::array<std::uint16_t, 12> BC_UPCA{
    0xA0A0, 0x1AE4, 0x32CC, 0x26D8, 0x7A84, //  0: '/' '0' '1' '2' '3'
    0x46B8, 0x629C, 0x5EA0, 0x7688, 0x6E90, //  5: '4' '5' '6' '7' '8'
    0x16E8, 0x5050,                         // 10: '9' ':'
};
// clang-format on
// Indexed by character - '/': the guards' characters sit on either side of the digits in ASCII.
static_assert(BC_UPCA.size() == 12 && BC_UPCA.size() == ':' - '/' + 1);

char Mod10Check(const std::string& Text) {
    // Every byte counts with its code - 48, so the sum may go negative; 64 bits hold the sum of
    // any text that fits in memory, and % truncates as the check digit's definition wants.
    std::int64_t sum = 0;
    std::int64_t weight = 3;
    for (auto it = Text.rbegin(); it != Text.rend(); ++it) {
        sum += weight * (static_cast<unsigned char>(*it) - 48);
        weight = 4 - weight;
    }
    int c = 10 - static_cast<int>(sum % 10);
    if (c == 10)
        c = 0;
    return static_cast<char>(48 + c);
}

namespace detail {

namespace {

// Guards, read from their lowest bits: start and end 101, centre 01010.
constexpr std::uint32_t kGuard = 0b101;
constexpr std::uint32_t kCentre = 0b01010;
// The symbols keep their width whatever the text, blank after a byte that is no digit.
constexpr int kSymbolModules = 95; // EAN-13 and UPC-A
constexpr int kEAN8Modules = 67;

// Short texts are the number without its leading zeros; a long one is kept whole, so that the
// check digit lands after the characters that are drawn.
std::string WithCheckDigit(const std::string& Text, std::size_t Digits) {
    std::string s = Text;
    if (s.size() < Digits)
        s.insert(0, Digits - s.size(), '0');
    s += Mod10Check(s);
    return s;
}

// Draws the Count digits of S from First on, each in the code of Table's entry that sits in the
// high byte (L, or R for the right-hand table) or, where its bit of Parity is set, in the low
// byte (G); the first digit's bit is bit 7. False at a byte that is no digit, which ends the
// symbol there.
bool DrawDigits(BarWriter& W, const std::string& S, std::size_t First, std::size_t Count,
                const std::array<std::uint16_t, 10>& Table, std::uint8_t Parity = 0) {
    for (std::size_t i = 0; i < Count; ++i) {
        const int d = DigitOf(S[First + i]);
        if (d < 0)
            return false;
        const bool even = (Parity >> (7 - i)) & 1u;
        W.Pattern(Table[d], 7, even ? 7 : 15);
    }
    return true;
}

// The layout EAN-13 and EAN-8 share: guard, Half digits of S from First in the left-hand codes,
// centre guard, the next Half digits in the right-hand codes, guard.
void DrawHalves(BarWriter& W, const std::string& S, std::size_t First, std::size_t Half,
                std::uint8_t Parity) {
    W.Pattern(kGuard, 3, 2);
    if (!DrawDigits(W, S, First, Half, BC_EAN_LEFT, Parity))
        return;
    W.Pattern(kCentre, 5, 4);
    if (!DrawDigits(W, S, First + Half, Half, BC_EAN_RIGHT))
        return;
    W.Pattern(kGuard, 3, 2);
}

} // namespace

void DrawEAN13(BarWriter& W, const std::string& Text) {
    if (W.MeasuredAsFixed(kSymbolModules))
        return;
    const std::string s = WithCheckDigit(Text, 12);
    // The first digit has no bars of its own: it chooses the parities of the left half.
    const int first = DigitOf(s[0]);
    if (first >= 0)
        DrawHalves(W, s, 1, 6, static_cast<std::uint8_t>(BC_EAN_RIGHT[first] & 0xFF));
    W.SpaceTo(kSymbolModules);
}

void DrawEAN8(BarWriter& W, const std::string& Text) {
    if (W.MeasuredAsFixed(kEAN8Modules))
        return;
    // Both halves in L and R codes: no digit chooses parities.
    DrawHalves(W, WithCheckDigit(Text, 7), 0, 4, 0);
    W.SpaceTo(kEAN8Modules);
}

void DrawUPCA(BarWriter& W, const std::string& Text) {
    if (W.MeasuredAsFixed(kSymbolModules))
        return;
    const std::string s = WithCheckDigit(Text, 11);
    // The guards are table characters too: '/' for the outer guards, ':' for the centre. A '/'
    // or ':' in the text therefore draws a guard in a digit's place.
    std::string q = "/";
    q.append(s, 0, 6).append(":").append(s, 6, 6).append("/");
    for (std::size_t k = 0; k < q.size(); ++k) {
        const int i = OffsetIn(q[k], '/', ':');
        if (i < 0)
            break;
        const int modules = q[k] == '/' ? 3 : q[k] == ':' ? 5 : 7;
        // The first eight characters (start guard, left digits, centre) use the high byte.
        W.Pattern(BC_UPCA[i], modules, k < 8 ? 15 : 7);
    }
    W.SpaceTo(kSymbolModules);
}

} // namespace detail

void BarcodeUPCA(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                 const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawUPCA);
}

void BarcodeEAN13(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                  const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawEAN13);
}

void BarcodeEAN8(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                 const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawEAN8);
}

} // namespace lumivex
