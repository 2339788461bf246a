// Code 128 and EAN-128: automatic code sets, check symbol and renderers.
#include <vector>

#include "engine/Barcode.h"
#include "engine/detail/Bars.h"

namespace lumivex {

// clang-format off
const std::array<std::uint16_t, 107> BC_Code128{
    0xD980, 0xCD80, 0xCCC0, 0x9300, 0x9180, //   0
    0x8980, 0x9900, 0x9880, 0x8C80, 0xC900, //   5
    0xC880, 0xC480, 0xB380, 0x9B80, 0x99C0, //  10
    0xB980, 0x9D80, 0x9CC0, 0xCE40, 0xCB80, //  15
    0xC9C0, 0xDC80, 0xCE80, 0xEDC0, 0xE980, //  20
    0xE580, 0xE4C0, 0xEC80, 0xE680, 0xE640, //  25
    0xDB00, 0xD8C0, 0xC6C0, 0xA300, 0x8B00, //  30
    0x88C0, 0xB100, 0x8D00, 0x8C40, 0xD100, //  35
    0xC500, 0xC440, 0xB700, 0xB1C0, 0x8DC0, //  40
    0xBB00, 0xB8C0, 0x8EC0, 0xEEC0, 0xD1C0, //  45
    0xC5C0, 0xDD00, 0xDC40, 0xDDC0, 0xEB00, //  50
    0xE8C0, 0xE2C0, 0xED00, 0xEC40, 0xE340, //  55
    0xEF40, 0xC840, 0xF140, 0xA600, 0xA180, //  60
    0x9600, 0x90C0, 0x8580, 0x84C0, 0xB200, //  65
    0xB080, 0x9A00, 0x9840, 0x8680, 0x8640, //  70
    0xC240, 0xCA00, 0xF740, 0xC280, 0x8F40, //  75
    0xA780, 0x9780, 0x93C0, 0xBC80, 0x9E80, //  80
    0x9E40, 0xF480, 0xF280, 0xF240, 0xDBC0, //  85
    0xDEC0, 0xF6C0, 0xAF00, 0xA3C0, 0x8BC0, //  90
    0xBD00, 0xBC40, 0xF500, 0xF440, 0xBBC0, //  95
    0xBDC0, 0xEBC0, 0xF5C0, 0xD080, 0xD200, // 100
    0xD380, 0xC758, // 105
};
// clang-format on
static_assert(BC_Code128.size() == 107);

namespace {

// Bytes of the symbol string for the function and frame symbols (value + 32).
constexpr char kShift = '\x82';
constexpr char kCodeC = '\x83';
constexpr char kCodeB = '\x84';
constexpr char kCodeA = '\x85';
constexpr char kFnc1 = '\x86';
constexpr char kStartA = '\x87';
constexpr char kStartB = '\x88';
constexpr char kStartC = '\x89';
constexpr char kStop = '\x8A';
// FNC4 is value 101 in set A and 100 in set B: the same bytes as CODE A and CODE B, read in the
// other set.
constexpr char kFnc4InA = '\x85';
constexpr char kFnc4InB = '\x84';

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// A byte above 127 is written as FNC4 followed by its low seven bits, so the code set a byte
// needs is the one its low seven bits need: control bytes only set A holds, '`' and '{' to DEL
// only set B.
bool NeedsA(unsigned char c) {
    return (c & 0x7F) < 32;
}
bool NeedsB(unsigned char c) {
    return (c & 0x7F) >= 96;
}

// The set that the first byte from a position on that only one set holds asks for: 'A', 'B',
// or 'B' when there is none. Positions are asked for in rising order, so the scan never goes
// back and the whole text is read once.
class DecisiveSets {
public:
    explicit DecisiveSets(const std::string& Text) : FText(Text) {}
    char At(std::size_t Pos) {
        if (FFound == npos || FFound < Pos) {
            FFound = Pos;
            while (FFound < FText.size() && !Decides(static_cast<unsigned char>(FText[FFound])))
                ++FFound;
        }
        if (FFound >= FText.size())
            return 'B';
        return NeedsA(static_cast<unsigned char>(FText[FFound])) ? 'A' : 'B';
    }

private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    static bool Decides(unsigned char c) { return NeedsA(c) || NeedsB(c); }
    const std::string& FText;
    std::size_t FFound = npos;
};

std::size_t DigitRun(const std::string& Text, std::size_t Pos) {
    std::size_t n = 0;
    while (Pos + n < Text.size() && IsDigit(static_cast<unsigned char>(Text[Pos + n])))
        ++n;
    return n;
}

} // namespace

char Get_128_StartCode(const std::string& Text) {
    if (DigitRun(Text, 0) >= 4)
        return 'C';
    for (const char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsA(c))
            return 'A';
        if (NeedsB(c))
            return 'B';
    }
    return 'B';
}

std::string Optimize_128_bc_New(const std::string& Text, bool IsEAN128) {
    const std::size_t n = Text.size();
    DecisiveSets decisive(Text);
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(Text[i]); };

    char set = Get_128_StartCode(Text);
    std::string s(1, set == 'A' ? kStartA : set == 'C' ? kStartC : kStartB);
    s.reserve(n + n / 2 + 4);
    if (IsEAN128)
        s += kFnc1;

    bool shift = false;
    std::size_t pos = 0;
    while (pos < n) {
        // Write the symbol at pos in the current set.
        if (set == 'C') {
            s += static_cast<char>(10 * (at(pos) - '0') + (at(pos + 1) - '0') + 32);
            pos += 2;
        } else {
            const unsigned char c = at(pos);
            if (c >= 128)
                s += set == 'A' ? kFnc4InA : kFnc4InB;
            const unsigned char low = c & 0x7F;
            s += static_cast<char>(set == 'A' && low < 32 ? low + 96 : low);
            pos += 1;
        }
        if (pos >= n)
            break;

        if (shift) {
            shift = false;
            set = set == 'A' ? 'B' : 'A';
        }
        const unsigned char c = at(pos);
        // A SHIFT changes the set of the one symbol after it, so a byte written with FNC4 (two
        // symbols) always gets a full set change.
        const bool canShift = c < 128 && pos + 1 < n;
        if (set != 'C') {
            const std::size_t run = DigitRun(Text, pos);
            if (run >= 4 && run % 2 == 0) {
                s += kCodeC;
                set = 'C';
            } else if (set == 'B' && NeedsA(c)) {
                if (canShift && NeedsB(at(pos + 1))) {
                    s += kShift;
                    shift = true;
                } else {
                    s += kCodeA;
                }
                set = 'A';
            } else if (set == 'A' && NeedsB(c)) {
                if (canShift && NeedsA(at(pos + 1))) {
                    s += kShift;
                    shift = true;
                } else {
                    s += kCodeB;
                }
                set = 'B';
            }
        } else if (pos + 1 == n) {
            // One byte left after the digit pairs: a control byte needs set A, whatever set B
            // would be chosen for anything else.
            set = NeedsA(c) ? 'A' : 'B';
            s += set == 'A' ? kCodeA : kCodeB;
        } else if (!(IsDigit(c) && IsDigit(at(pos + 1)))) {
            set = decisive.At(pos);
            s += set == 'A' ? kCodeA : kCodeB;
        }
    }
    s += Code128_Check_Digit(s);
    s += kStop;
    return s;
}

char Code128_Check_Digit(const std::string& Symbols) {
    if (Symbols.empty())
        return 32;
    auto value = [&](std::size_t i) {
        return static_cast<int>(static_cast<unsigned char>(Symbols[i])) - 32;
    };
    int sum = value(0) % 103;
    for (std::size_t i = 1; i < Symbols.size(); ++i)
        sum = (sum + value(i) * static_cast<int>(i % 103)) % 103;
    if (sum < 0)
        sum += 103;
    return static_cast<char>(sum + 32);
}

namespace detail {

const std::string& Code128Symbols(const std::string& Text, bool IsEAN128) {
    // CreateBC asks for the same text twice, for the width and for the bars; the last short
    // text's symbols are kept for the second time.
    thread_local std::string lastText, lastSymbols;
    thread_local bool lastEAN = false, valid = false;
    if (valid && lastEAN == IsEAN128 && lastText == Text)
        return lastSymbols;
    valid = false;
    lastSymbols = Optimize_128_bc_New(Text, IsEAN128);
    if (Text.size() <= 256) {
        lastText = Text;
        lastEAN = IsEAN128;
        valid = true;
    }
    return lastSymbols;
}

namespace {
void DrawSymbols(BarWriter& W, const std::string& Text, bool IsEAN128) {
    const std::string& s = Code128Symbols(Text, IsEAN128);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int value = static_cast<unsigned char>(s[i]) - 32;
        // A byte that names no symbol ends the bars; its room and the rest's stay blank, since
        // the width counts every symbol of the string.
        const bool known = value >= 0 && value <= 106;
        if (!known)
            W.Blank();
        W.Pattern(known ? BC_Code128[value] : 0, i + 1 == s.size() ? 13 : 11);
    }
}
} // namespace

void DrawCode128(BarWriter& W, const std::string& Text) {
    DrawSymbols(W, Text, false);
}
void DrawEAN128(BarWriter& W, const std::string& Text) {
    DrawSymbols(W, Text, true);
}

} // namespace detail

void BarcodeCode128(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawCode128);
}

void BarcodeEAN128(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                   const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawEAN128);
}

} // namespace lumivex
