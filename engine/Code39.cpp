// Code 39 and Code 39 full ASCII: tables and renderers.
#include "engine/Barcode.h"

namespace lumivex {

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

} // namespace lumivex
