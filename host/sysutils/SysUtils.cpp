// Number conversion of the runtime.
#include "host/sysutils/SysUtils.h"

#include <cstdint>
#include <optional>

namespace vcl {

namespace {

std::optional<int> ParseInt(const std::string& S) {
    std::size_t i = 0;
    while (i < S.size() && (S[i] == ' ' || S[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) {
        negative = S[i] == '-';
        ++i;
    }
    if (i == S.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < S.size(); ++i) {
        const auto c = static_cast<unsigned char>(S[i]);
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

// Shows the text as the user gave it, but keeps control bytes and very long texts from making
// the message unreadable.
std::string Printable(const std::string& S) {
    std::string out;
    for (std::size_t i = 0; i < S.size() && i < 64; ++i) {
        const auto c = static_cast<unsigned char>(S[i]);
        if (c < 32 || c >= 127) {
            static const char hex[] = "0123456789ABCDEF";
            out += "#$";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (S.size() > 64)
        out += "...";
    return out;
}

} // namespace

int StrToInt(const std::string& S) {
    if (auto v = ParseInt(S))
        return *v;
    throw EConvertError("'" + Printable(S) + "' is not a valid integer value");
}

int StrToIntDef(const std::string& S, int Default) {
    return ParseInt(S).value_or(Default);
}

} // namespace vcl
