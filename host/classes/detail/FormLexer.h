#pragma once
// The text form's tokens and tokenizer, used by its parser.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vcl::detail {

enum class TTokenKind : std::uint8_t { End, Symbol, Integer, Float, String, Binary, Char };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    std::size_t Line = 1;
    char Ch = 0;          // Char
    std::string Text;     // Symbol; String and Binary bytes; Float spelling
    std::u16string Wide;  // String holding a character past #255
    bool IsWide = false;  // String
    std::int64_t Int = 0; // Integer
    char FloatType = 0;   // Float: 0 (extended), 's', 'c' or 'd'
};

// How a token is shown in "expected ..., found ..." messages.
std::string DescribeToken(const TToken& t);
bool IsDigit(unsigned char c);

// Raises EReadError naming the line for what cannot be a token: a stray character, an
// unterminated string or binary block, a number out of range.
class TFormLexer {
public:
    explicit TFormLexer(std::string_view Text);
    TToken Next();
    [[noreturn]] void Fail(const std::string& What) const;

private:
    unsigned char Peek() const;
    unsigned char PeekAt(std::size_t Ahead) const;
    void SkipBlanks();
    void Number(TToken& t);
    void EndOfNumber();
    void String(TToken& t);
    void Binary(TToken& t);

    std::string_view FText;
    std::size_t FPos = 0;
    std::size_t FLine = 1;
};

} // namespace vcl::detail
