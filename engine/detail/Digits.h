#pragma once
// Reading a byte of the text as a digit, or as an index into a table of consecutive characters.
// The numeric renderers end their symbol at the first byte that reads as neither, so the answer
// for such a byte is -1 rather than an exception.

#include <cstddef>
#include <string>

namespace lumivex::detail {

// Ch's place in the run of characters First..Last (First is 0), or -1 outside it. The byte is
// taken as unsigned, so that a byte above 127 never passes for one below First.
inline int OffsetIn(char Ch, char First, char Last) {
    const int first = static_cast<unsigned char>(First);
    const int i = static_cast<unsigned char>(Ch) - first;
    return i >= 0 && i <= static_cast<unsigned char>(Last) - first ? i : -1;
}

// The same for the byte at Pos of S. A position past the end counts as outside the run: a pair
// whose second character is missing ends the symbol like a byte that is no digit.
inline int OffsetAt(const std::string& S, std::size_t Pos, char First, char Last) {
    return Pos < S.size() ? OffsetIn(S[Pos], First, Last) : -1;
}

// The value of a digit, or -1 for any other byte.
inline int DigitOf(char Ch) {
    return OffsetIn(Ch, '0', '9');
}

inline int DigitAt(const std::string& S, std::size_t Pos) {
    return OffsetAt(S, Pos, '0', '9');
}

} // namespace lumivex::detail
