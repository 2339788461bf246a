// Code 93 in its full-ASCII form: tables, the two check symbols and the renderer.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"

namespace lumivex {

// clang-format off
const std::array<std::uint16_t, 49> BC_Code93{
    0x8A00, 0xA400, 0xA200, 0xA100, 0x9400, //  0: 0 1 2 3 4
    0x9200, 0x9100, 0xA800, 0x8900, 0x8500, //  5: 5 6 7 8 9
    0xD400, 0xD200, 0xD100, 0xCA00, 0xC900, // 10: A B C D E
    0xC500, 0xB400, 0xB200, 0xB100, 0x9A00, // 15: F G H I J
    0x8D00, 0xAC00, 0xA600, 0xA300, 0x9600, // 20: K L M N O
    0x8B00, 0xDA00, 0xD900, 0xD600, 0xD300, // 25: P Q R S T
    0xCB00, 0xCD00, 0xB600, 0xB300, 0x9B00, // 30: U V W X Y
    0x9D00, 0x9700, 0xEA00, 0xE900, 0xE500, // 35: Z - . space $
    0xB700, 0xBB00, 0xD700, 0x9300, 0xED00, // 40: / + % ($) (%)
    0xEB00, 0x9900, 0xAF00, 0xAF40,         // 45: (/) (+) start, stop with its closing bar
};
// clang-format on
static_assert(BC_Code93.size() == 49);

// clang-format off
const std::array<std::uint16_t, 128> BC_Code93_Reference{
    0x2C1E, 0x2B0A, 0x2B0B, 0x2B0C, 0x2B0D, //   0: NUL SOH STX ETX EOT
    0x2B0E, 0x2B0F, 0x2B10, 0x2B11, 0x2B12, //   5: ENQ ACK BEL BS HT
    0x2B13, 0x2B14, 0x2B15, 0x2B16, 0x2B17, //  10: LF VT FF CR SO
    0x2B18, 0x2B19, 0x2B1A, 0x2B1B, 0x2B1C, //  15: SI DLE DC1 DC2 DC3
    0x2B1D, 0x2B1E, 0x2B1F, 0x2B20, 0x2B21, //  20: DC4 NAK SYN ETB CAN
    0x2B22, 0x2B23, 0x2C0A, 0x2C0B, 0x2C0C, //  25: EM SUB ESC FS GS
    0x2C0D, 0x2C0E, 0x26FF, 0x2D0A, 0x2D0B, //  30: RS US space ! "
    0x2D0C, 0x27FF, 0x2AFF, 0x2D0F, 0x2D10, //  35: # $ % & '
    0x2D11, 0x2D12, 0x2D13, 0x29FF, 0x2D15, //  40: ( ) * + ,
    0x24FF, 0x25FF, 0x28FF, 0x00FF, 0x01FF, //  45: - . / 0 1
    0x02FF, 0x03FF, 0x04FF, 0x05FF, 0x06FF, //  50: 2 3 4 5 6
    0x07FF, 0x08FF, 0x09FF, 0x2D23, 0x2C0F, //  55: 7 8 9 : ;
    0x2C10, 0x2C11, 0x2C12, 0x2C13, 0x2C1F, //  60: < = > ? @
    0x0AFF, 0x0BFF, 0x0CFF, 0x0DFF, 0x0EFF, //  65: A B C D E
    0x0FFF, 0x10FF, 0x11FF, 0x12FF, 0x13FF, //  70: F G H I J
    0x14FF, 0x15FF, 0x16FF, 0x17FF, 0x18FF, //  75: K L M N O
    0x19FF, 0x1AFF, 0x1BFF, 0x1CFF, 0x1DFF, //  80: P Q R S T
    0x1EFF, 0x1FFF, 0x20FF, 0x21FF, 0x22FF, //  85: U V W X Y
    0x23FF, 0x2C14, 0x2C15, 0x2C16, 0x2C17, //  90: Z [ backslash ] ^
    0x2C18, 0x2C20, 0x2E0A, 0x2E0B, 0x2E0C, //  95: _ ` a b c
    0x2E0D, 0x2E0E, 0x2E0F, 0x2E10, 0x2E11, // 100: d e f g h
    0x2E12, 0x2E13, 0x2E14, 0x2E15, 0x2E16, // 105: i j k l m
    0x2E17, 0x2E18, 0x2E19, 0x2E1A, 0x2E1B, // 110: n o p q r
    0x2E1C, 0x2E1D, 0x2E1E, 0x2E1F, 0x2E20, // 115: s t u v w
    0x2E21, 0x2E22, 0x2E23, 0x2C19, 0x2C1A, // 120: x y z { |
    0x2C1B, 0x2C1C, 0x2C1D, // 125: } ~ DEL
};
// clang-format on
static_assert(BC_Code93_Reference.size() == 128);

namespace {

constexpr int kSymbolModules = 9;
constexpr int kStart = 47;
constexpr int kStopAndBar = 48;
// A low byte from here on names no second symbol (the table writes 0xFF).
constexpr int kNoSecond = 47;

// Calls Add with the data symbols of Text from the last to the first, the second symbol of a
// pair before its first. A byte above 127 has no entry and gives no symbols: the renderer never
// gets that far, and for a direct call the check is that of the bytes that Code 93 can carry.
template <typename Add> void EachSymbolFromTheRight(const std::string& Text, Add add) {
    for (auto it = Text.rbegin(); it != Text.rend(); ++it) {
        const auto c = static_cast<unsigned char>(*it);
        if (c > 127)
            continue;
        const std::uint16_t pair = BC_Code93_Reference[c];
        if ((pair & 0xFF) < kNoSecond)
            add(pair & 0xFF);
        add(pair >> 8);
    }
}

} // namespace

std::uint8_t Mod93Left(const std::string& Text) {
    int sum = 0, weight = 0;
    EachSymbolFromTheRight(Text, [&](int value) {
        weight = weight % 20 + 1;
        sum = (sum + value * weight) % 47;
    });
    return static_cast<std::uint8_t>(sum);
}

std::uint8_t Mod93Right(const std::string& Text) {
    // C is the rightmost symbol of the sequence that K weighs, with weight 1.
    int sum = Mod93Left(Text), weight = 1;
    EachSymbolFromTheRight(Text, [&](int value) {
        weight = weight % 15 + 1;
        sum = (sum + value * weight) % 47;
    });
    return static_cast<std::uint8_t>(sum);
}

namespace detail {

void DrawCode93(BarWriter& W, const std::string& Text) {
    W.Pattern(BC_Code93[kStart], kSymbolModules);
    for (const char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        // As for Code 39 full ASCII: a byte above 127 ends the bars and takes no room; the rest,
        // the check symbols and the stop keep theirs, blank.
        if (c > 127) {
            W.Blank();
            continue;
        }
        const std::uint16_t pair = BC_Code93_Reference[c];
        W.Pattern(BC_Code93[pair >> 8], kSymbolModules);
        if ((pair & 0xFF) < kNoSecond)
            W.Pattern(BC_Code93[pair & 0xFF], kSymbolModules);
    }
    // The check symbols' values matter to the ink only: a walk that measures, or one past a stop,
    // goes over them without working them out.
    const bool ink = W.Draws();
    W.Pattern(ink ? BC_Code93[Mod93Left(Text)] : 0, kSymbolModules);
    W.Pattern(ink ? BC_Code93[Mod93Right(Text)] : 0, kSymbolModules);
    W.Pattern(BC_Code93[kStopAndBar], kSymbolModules + 1);
}

} // namespace detail

void BarcodeCode93(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                   const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawCode93);
}

} // namespace lumivex
