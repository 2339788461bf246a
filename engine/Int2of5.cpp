// Interleaved 2 of 5: digit pairs, one digit in the bars and the next in the spaces between them.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"
#include "engine/detail/Digits.h"

namespace lumivex {

// '/' and ':' stand beside '0' and '9' in ASCII, so the start and stop patterns share the digits'
// table, indexed by character - 47. The start and stop entries hold single modules; the digit
// entries hold five elements, 1 = wide.
// clang-format off
const std::array<std::uint8_t, 12> BC_Int2of5{
    0xA0, 0x30, 0x88, 0x48, 0xC0, //  0: / 0 1 2 3
    0x28, 0xA0, 0x60, 0x18, 0x90, //  5: 4 5 6 7 8
    0x50, 0xE8,                   // 10: 9 :
};
// clang-format on
static_assert(BC_Int2of5.size() == 12 && BC_Int2of5.size() == ':' - '/' + 1);

namespace detail {

namespace {

constexpr std::uint8_t kFirstElement = 0x80;
constexpr int kStart = 0;
constexpr int kStop = 11;
constexpr int kWide = 3;
constexpr int kDigitModules = 9;

bool IsWide(int Entry, int Element) {
    return (BC_Int2of5[Entry] << Element) & kFirstElement;
}

} // namespace

void DrawInt2of5(BarWriter& W, const std::string& Text) {
    std::string s;
    s.reserve(Text.size() + 3);
    s += '/';
    if (Text.size() % 2)
        s += '0';
    s += Text;
    s += ':';
    std::size_t pos = 0;
    while (pos < s.size()) {
        // A '/' or ':' where a pair would begin is a frame pattern wherever it stands; the
        // pairing goes on after it.
        if (s[pos] == '/') {
            W.Pattern(BC_Int2of5[kStart], 4, 7);
            ++pos;
            continue;
        }
        if (s[pos] == ':') {
            W.Pattern(BC_Int2of5[kStop], 5, 7);
            ++pos;
            continue;
        }
        // Table indices; anything outside '/'..':' (a missing character included) ends the
        // drawing.
        const int bars = OffsetAt(s, pos, '/', ':'), spaces = OffsetAt(s, pos + 1, '/', ':');
        if (bars < 0 || spaces < 0)
            break;
        for (int i = 0; i < 5; ++i) {
            W.Bar(IsWide(bars, i) ? kWide : 1);
            W.Space(IsWide(spaces, i) ? kWide : 1);
        }
        pos += 2;
    }
    // The width keeps 9 modules per digit of the even text and 9 for start and stop, whatever
    // was drawn: a stop leaves the rest blank, and a '/' or ':' in the text draws narrower than
    // the pair it stands in.
    W.SpaceTo(std::int64_t{kDigitModules} * static_cast<std::int64_t>(s.size() - 1));
}

} // namespace detail

void BarcodeInt2of5(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawInt2of5);
}

} // namespace lumivex
