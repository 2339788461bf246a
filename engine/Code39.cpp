// Code 39 and Code 39 full ASCII: tables and renderers.
#include "engine/Barcode.h"
#include "engine/detail/Bars.h"

namespace lumivex {

// clang-format off
const std::array<std::uint16_t, 44> BC_Code39{
    0xA6D0, 0xD2B0, 0xB2B0, 0xD950, 0xA6B0, //  0: 0 1 2 3 4
    0xD350, 0xB350, 0xA5B0, 0xD2D0, 0xB2D0, //  5: 5 6 7 8 9
    0xD4B0, 0xB4B0, 0xDA50, 0xACB0, 0xD650, // 10: A B C D E
    0xB650, 0xA9B0, 0xD4D0, 0xB4D0, 0xACD0, // 15: F G H I J
    0xD530, 0xB530, 0xDA90, 0xAD30, 0xD690, // 20: K L M N O
    0xB690, 0xAB30, 0xD590, 0xB590, 0xAD90, // 25: P Q R S T
    0xCAB0, 0x9AB0, 0xCD50, 0x96B0, 0xCB50, // 30: U V W X Y
    0x9B50, 0x95B0, 0xCAD0, 0x9AD0, 0x96D0, // 35: Z - . space *
    0x9250, 0x9290, 0x9490, 0xA490,         // 40: $ / + %
};
// clang-format on
static_assert(BC_Code39.size() == 44);

// clang-format off
const std::array<std::uint8_t, 59> BC_Code39Ref{
    39,  0,  0,  0, 41, //  32: space ! " # $
    44,  0,  0,  0,  0, //  37: % & ' ( )
    40, 43,  0, 37, 38, //  42: * + , - .
    42,  1,  2,  3,  4, //  47: / 0 1 2 3
     5,  6,  7,  8,  9, //  52: 4 5 6 7 8
    10,  0,  0,  0,  0, //  57: 9 : ; < =
     0,  0,  0, 11, 12, //  62: > ? @ A B
    13, 14, 15, 16, 17, //  67: C D E F G
    18, 19, 20, 21, 22, //  72: H I J K L
    23, 24, 25, 26, 27, //  77: M N O P Q
    28, 29, 30, 31, 32, //  82: R S T U V
    33, 34, 35, 36,     //  87: W X Y Z
};
// clang-format on
static_assert(BC_Code39Ref.size() == 90 - 32 + 1);

// The pairs are those of the usual full-ASCII table, but '-' and '.' are written /M and /N like
// the rest of the punctuation, not as the characters of their own that Code 39 has.
// clang-format off
const std::array<std::uint16_t, 128> BC_Code39ERef{
    0x2C1F, 0x290B, 0x290C, 0x290D, 0x290E, //   0: NUL SOH STX ETX EOT
    0x290F, 0x2910, 0x2911, 0x2912, 0x2913, //   5: ENQ ACK BEL BS HT
    0x2914, 0x2915, 0x2916, 0x2917, 0x2918, //  10: LF VT FF CR SO
    0x2919, 0x291A, 0x291B, 0x291C, 0x291D, //  15: SI DLE DC1 DC2 DC3
    0x291E, 0x291F, 0x2920, 0x2921, 0x2922, //  20: DC4 NAK SYN ETB CAN
    0x2923, 0x2924, 0x2C0B, 0x2C0C, 0x2C0D, //  25: EM SUB ESC FS GS
    0x2C0E, 0x2C0F, 0x2700, 0x2A0B, 0x2A0C, //  30: RS US space ! "
    0x2A0D, 0x2A0E, 0x2A0F, 0x2A10, 0x2A11, //  35: # $ % & '
    0x2A12, 0x2A13, 0x2A14, 0x2A15, 0x2A16, //  40: ( ) * + ,
    0x2A17, 0x2A18, 0x2A19, 0x0100, 0x0200, //  45: - . / 0 1
    0x0300, 0x0400, 0x0500, 0x0600, 0x0700, //  50: 2 3 4 5 6
    0x0800, 0x0900, 0x0A00, 0x2A24, 0x2C10, //  55: 7 8 9 : ;
    0x2C11, 0x2C12, 0x2C13, 0x2C14, 0x2C20, //  60: < = > ? @
    0x0B00, 0x0C00, 0x0D00, 0x0E00, 0x0F00, //  65: A B C D E
    0x1000, 0x1100, 0x1200, 0x1300, 0x1400, //  70: F G H I J
    0x1500, 0x1600, 0x1700, 0x1800, 0x1900, //  75: K L M N O
    0x1A00, 0x1B00, 0x1C00, 0x1D00, 0x1E00, //  80: P Q R S T
    0x1F00, 0x2000, 0x2100, 0x2200, 0x2300, //  85: U V W X Y
    0x2400, 0x2C15, 0x2C16, 0x2C17, 0x2C18, //  90: Z [ backslash ] ^
    0x2C19, 0x2C21, 0x2B0B, 0x2B0C, 0x2B0D, //  95: _ ` a b c
    0x2B0E, 0x2B0F, 0x2B10, 0x2B11, 0x2B12, // 100: d e f g h
    0x2B13, 0x2B14, 0x2B15, 0x2B16, 0x2B17, // 105: i j k l m
    0x2B18, 0x2B19, 0x2B1A, 0x2B1B, 0x2B1C, // 110: n o p q r
    0x2B1D, 0x2B1E, 0x2B1F, 0x2B20, 0x2B21, // 115: s t u v w
    0x2B22, 0x2B23, 0x2B24, 0x2C1A, 0x2C1B, // 120: x y z { |
    0x2C1C, 0x2C1D, 0x2C1E, // 125: } ~ DEL
};
// clang-format on
static_assert(BC_Code39ERef.size() == 128);

namespace detail {

namespace {

// Pattern, gap included: every character advances by the same 13 modules.
constexpr int kCharModules = 13;

void DrawIndex(BarWriter& W, int Index) {
    W.Pattern(BC_Code39[Index - 1], kCharModules);
}

// False for a byte Code 39 cannot write. The holes of BC_Code39Ref ('!', '#', ':' and the others)
// end the symbol like any byte outside space..'Z': entry 0 names no pattern.
bool DrawDirect(BarWriter& W, unsigned char c) {
    if (c < ' ' || c > 'Z')
        return false;
    const int index = BC_Code39Ref[c - ' '];
    if (index == 0)
        return false;
    DrawIndex(W, index);
    return true;
}

} // namespace

// The width keeps 13 modules for every byte, so the bars end at the first byte Code 39 cannot
// write and the walk goes on blank over its room, the rest's and the stop character's.
void DrawCode39(BarWriter& W, const std::string& Text) {
    DrawDirect(W, '*');
    for (const char ch : Text)
        if (!DrawDirect(W, static_cast<unsigned char>(ch))) {
            W.Blank();
            W.Space(kCharModules);
        }
    DrawDirect(W, '*');
}

void DrawCode39ext(BarWriter& W, const std::string& Text) {
    DrawDirect(W, '*');
    for (const char ch : Text) {
        const auto c = static_cast<unsigned char>(ch);
        // A byte above 127 has no pair: the bars end there and it takes no room, but the bytes
        // after it keep theirs (blank), as the width counts them.
        if (c > 127) {
            W.Blank();
            continue;
        }
        const std::uint16_t pair = BC_Code39ERef[c];
        DrawIndex(W, pair >> 8);
        if ((pair & 0xFF) != 0)
            DrawIndex(W, pair & 0xFF);
    }
    DrawDirect(W, '*');
}

} // namespace detail

void BarcodeCode39(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                   const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawCode39);
}

void BarcodeCode39ext(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                      const std::string& Text) {
    detail::RenderOnCanvas(Canvas, Left, Top, Height, Scale, Text, detail::DrawCode39ext);
}

} // namespace lumivex
