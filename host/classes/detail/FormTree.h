#pragma once
// The syntax tree of a form file. Both forms parse into it and print from it, so that the text
// and binary forms convert into each other without any component class, and so that the layout
// of a written file depends on its values alone.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vcl::detail {

enum class TFormValueKind : std::uint8_t {
    Integer,    // up to 64 bits; the binary form picks the smallest width
    Extended,   // 80-bit float
    Single,     // 32-bit float, written 1.5s in text
    Currency,   // 64-bit count of ten-thousandths, written 1.5c in text
    Date,       // 64-bit float, written 1.5d in text
    String,     // bytes
    WideString, // UTF-16 code units, for characters past #255
    Ident,      // an identifier, possibly dotted (True, False and nil among them)
    Set,        // [a, b]
    Binary,     // { hex }
    List,       // ( values )
    Collection, // < item ... end >
};

struct TFormItem;

struct TFormValue {
    TFormValueKind Kind = TFormValueKind::Integer;
    std::size_t At = 0;             // line (text) or offset (binary) where it starts
    std::int64_t Int = 0;           // Integer; Currency
    long double Float = 0;          // Extended, Single, Date
    std::string Str;                // String, Ident, Binary
    std::u16string Wide;            // WideString
    std::vector<std::string> Names; // Set
    std::vector<TFormValue> Values; // List
    std::vector<TFormItem> Items;   // Collection
};

struct TFormProperty {
    std::string Name; // dotted into class-typed properties: Font.Name
    TFormValue Value;
    std::size_t At = 0;
};

struct TFormItem {
    std::optional<std::int64_t> Order;
    std::vector<TFormProperty> Props;
    std::size_t At = 0;
};

struct TFormObject {
    std::string Name; // may be empty
    std::string ClassName;
    std::optional<std::int64_t> Position; // the binary form's child position, [n] in text
    std::vector<TFormProperty> Props;
    std::vector<TFormObject> Children;
    std::size_t At = 0;
};

enum class TFormSyntax : std::uint8_t { Text, Binary };

// Objects, lists and collection items together nest no deeper than this, so that hostile input
// cannot exhaust the stack of the recursive readers and printers.
inline constexpr int MaxFormDepth = 64;
// A form whose components pass this many is refused: every component joining a form is
// announced to all that are there, so a form of n components costs n^2 to load.
inline constexpr std::size_t MaxFormComponents = 1024;
// Text strings are broken into pieces of this many characters, joined with +.
inline constexpr std::size_t TextLineLength = 64;
inline constexpr std::string_view BinarySignature = "TPF0";

// "line 12" or "offset 0x1A": the prefix of every read error.
std::string FormWhere(TFormSyntax Syntax, std::size_t At);
bool IsBinaryForm(std::string_view Data);
// A plain identifier, or several joined with dots when Dotted.
bool IsFormIdent(std::string_view Name, bool Dotted);

// Each raises EReadError naming the line or offset and what was expected.
TFormObject ParseTextForm(std::string_view Text);
TFormObject ParseBinaryForm(std::string_view Data);
// Raise EWriteError for what the form cannot hold (names too long for the binary form).
std::string PrintTextForm(const TFormObject& Root);
std::string PrintBinaryForm(const TFormObject& Root);

} // namespace vcl::detail
