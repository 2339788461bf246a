#pragma once
// The binary form's value types and object flags, and its 80-bit float.

#include <cstdint>

namespace vcl::detail {

enum TValueType : std::uint8_t {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String,
};

// The object prefix byte: 0xF0 and these flags.
inline constexpr std::uint8_t ffInherited = 1;
inline constexpr std::uint8_t ffChildPos = 2;
inline constexpr std::uint8_t ffInline = 4;
inline constexpr std::uint8_t ffKnown = ffInherited | ffChildPos | ffInline;

// The 80-bit extended float: a 64-bit mantissa with its integer bit, a 15-bit exponent biased
// by 16383 and the sign, little-endian. Built through frexp/ldexp so that it does not depend on
// how the compiler lays out long double.
inline constexpr int ExtendedBias = 16383;
long double DecodeExtended(std::uint64_t Mantissa, unsigned SignExp);
void EncodeExtended(long double V, std::uint64_t& Mantissa, unsigned& SignExp);

} // namespace vcl::detail
