// The text form's tokenizer: identifiers (dotted), numbers, strings of quoted runs and #n codes,
// { hex } data and punctuation, each with the line it starts on.
#include <charconv>
#include <limits>

#include "host/classes/detail/FormLexer.h"
#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::detail {

namespace {

bool IsIdentStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(unsigned char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '.';
}
int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// How a character is shown in a message: printable ASCII quoted, anything else by its code.
std::string ShowChar(unsigned char c) {
    if (c >= 0x20 && c < 0x7F)
        return std::string("'") + static_cast<char>(c) + "'";
    return "byte #" + std::to_string(c);
}

} // namespace

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

TFormLexer::TFormLexer(std::string_view Text) : FText(Text) {
    if (FText.substr(0, 3) == "\xEF\xBB\xBF")
        FPos = 3;
}

TToken TFormLexer::Next() {
    SkipBlanks();
    TToken t;
    t.Line = FLine;
    if (FPos >= FText.size())
        return t;
    const auto c = Peek();
    if (IsIdentStart(c)) {
        const std::size_t start = FPos;
        while (FPos < FText.size() && IsIdentChar(Peek()))
            ++FPos;
        t.Kind = TTokenKind::Symbol;
        t.Text = std::string(FText.substr(start, FPos - start));
    } else if (IsDigit(c) || c == '$' ||
               (c == '-' && FPos + 1 < FText.size() && (IsDigit(PeekAt(1)) || PeekAt(1) == '$'))) {
        Number(t);
    } else if (c == '\'' || c == '#') {
        String(t);
    } else if (c == '{') {
        Binary(t);
    } else {
        ++FPos;
        t.Kind = TTokenKind::Char;
        t.Ch = static_cast<char>(c);
        if (std::string_view("=:[](),<>+").find(static_cast<char>(c)) == std::string_view::npos)
            Fail("unexpected " + ShowChar(c));
    }
    return t;
}

void TFormLexer::Fail(const std::string& What) const {
    throw EReadError(FormWhere(TFormSyntax::Text, FLine) + ": " + What);
}

unsigned char TFormLexer::Peek() const {
    return static_cast<unsigned char>(FText[FPos]);
}

unsigned char TFormLexer::PeekAt(std::size_t Ahead) const {
    return static_cast<unsigned char>(FText[FPos + Ahead]);
}

void TFormLexer::SkipBlanks() {
    while (FPos < FText.size()) {
        const auto c = Peek();
        if (c == '\n')
            ++FLine;
        else if (c != ' ' && c != '\t' && c != '\r')
            return;
        ++FPos;
    }
}

void TFormLexer::Number(TToken& t) {
    const std::size_t start = FPos;
    const bool negative = Peek() == '-';
    if (negative)
        ++FPos;
    if (FPos < FText.size() && Peek() == '$') {
        ++FPos;
        std::uint64_t v = 0;
        std::size_t digits = 0;
        for (; FPos < FText.size() && HexDigit(Peek()) >= 0; ++FPos, ++digits) {
            if (v > (std::uint64_t{std::numeric_limits<std::int64_t>::max()} >> 4))
                Fail("integer out of range");
            v = v << 4 | static_cast<unsigned>(HexDigit(Peek()));
        }
        if (digits == 0)
            Fail("expected hex digits after '$'");
        EndOfNumber();
        t.Kind = TTokenKind::Integer;
        t.Int = negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
        return;
    }
    while (FPos < FText.size() && IsDigit(Peek()))
        ++FPos;
    bool isFloat = false;
    if (FPos + 1 < FText.size() && Peek() == '.' && IsDigit(PeekAt(1))) {
        isFloat = true;
        ++FPos;
        while (FPos < FText.size() && IsDigit(Peek()))
            ++FPos;
    }
    if (FPos < FText.size() && (Peek() == 'e' || Peek() == 'E')) {
        std::size_t p = FPos + 1;
        if (p < FText.size() && (FText[p] == '+' || FText[p] == '-'))
            ++p;
        if (p < FText.size() && IsDigit(static_cast<unsigned char>(FText[p]))) {
            isFloat = true;
            FPos = p;
            while (FPos < FText.size() && IsDigit(Peek()))
                ++FPos;
        }
    }
    const std::string spelling(FText.substr(start, FPos - start));
    if (FPos < FText.size()) {
        const char s = static_cast<char>(Peek() | 0x20);
        if ((s == 's' || s == 'c' || s == 'd') &&
            (FPos + 1 >= FText.size() || !IsIdentChar(PeekAt(1)))) {
            ++FPos;
            t.Kind = TTokenKind::Float;
            t.Text = spelling;
            t.FloatType = s;
            return;
        }
    }
    EndOfNumber();
    if (isFloat) {
        t.Kind = TTokenKind::Float;
        t.Text = spelling;
        return;
    }
    std::int64_t v = 0;
    const auto r = std::from_chars(spelling.data(), spelling.data() + spelling.size(), v);
    if (r.ec != std::errc() || r.ptr != spelling.data() + spelling.size())
        Fail("integer " + spelling + " out of range");
    t.Kind = TTokenKind::Integer;
    t.Int = v;
}

void TFormLexer::EndOfNumber() {
    if (FPos < FText.size() && IsIdentChar(Peek()))
        Fail("malformed number near " + ShowChar(Peek()));
}

void TFormLexer::String(TToken& t) {
    t.Kind = TTokenKind::String;
    std::string bytes;
    std::u16string wide;
    bool isWide = false;
    auto add = [&](unsigned v) {
        if (v > 255 && !isWide) {
            isWide = true;
            for (char b : bytes)
                wide.push_back(static_cast<unsigned char>(b));
        }
        if (isWide)
            wide.push_back(static_cast<char16_t>(v));
        else
            bytes.push_back(static_cast<char>(v));
    };
    while (FPos < FText.size() && (Peek() == '\'' || Peek() == '#')) {
        if (Peek() == '\'') {
            ++FPos;
            for (;;) {
                if (FPos >= FText.size() || Peek() == '\n' || Peek() == '\r')
                    Fail("unterminated string");
                if (Peek() == '\'') {
                    if (FPos + 1 < FText.size() && PeekAt(1) == '\'') {
                        add('\'');
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                add(Peek());
                ++FPos;
            }
        } else {
            ++FPos;
            const bool hex = FPos < FText.size() && Peek() == '$';
            if (hex)
                ++FPos;
            unsigned v = 0;
            std::size_t digits = 0;
            for (; FPos < FText.size(); ++FPos, ++digits) {
                const int d = hex ? HexDigit(Peek()) : (IsDigit(Peek()) ? Peek() - '0' : -1);
                if (d < 0)
                    break;
                v = v * (hex ? 16 : 10) + static_cast<unsigned>(d);
                if (v > 0xFFFF)
                    Fail("character code out of range after '#'");
            }
            if (digits == 0)
                Fail("expected a character code after '#'");
            add(v);
        }
    }
    t.Text = std::move(bytes);
    t.Wide = std::move(wide);
    t.IsWide = isWide;
}

void TFormLexer::Binary(TToken& t) {
    const std::size_t line = FLine;
    ++FPos;
    std::string bytes;
    int high = -1;
    for (;;) {
        if (FPos >= FText.size())
            throw EReadError(FormWhere(TFormSyntax::Text, line) +
                             ": unterminated binary data, expected '}'");
        const auto c = Peek();
        ++FPos;
        if (c == '}')
            break;
        if (c == '\n')
            ++FLine;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        const int d = HexDigit(c);
        if (d < 0)
            Fail("expected a hex digit in binary data, found " + ShowChar(c));
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<char>(high << 4 | d));
            high = -1;
        }
    }
    if (high >= 0)
        Fail("binary data with an odd number of hex digits");
    t.Kind = TTokenKind::Binary;
    t.Text = std::move(bytes);
}

std::string DescribeToken(const TToken& t) {
    switch (t.Kind) {
    case TTokenKind::End:
        return "end of file";
    case TTokenKind::Symbol:
        return "'" + t.Text + "'";
    case TTokenKind::Integer:
        return "number " + std::to_string(t.Int);
    case TTokenKind::Float:
        return "number " + t.Text;
    case TTokenKind::String:
        return "a string";
    case TTokenKind::Binary:
        return "binary data";
    case TTokenKind::Char:
        break;
    }
    return std::string("'") + t.Ch + "'";
}

} // namespace vcl::detail
