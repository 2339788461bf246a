// The text form's parser, from tokens to the form-file tree.
#include <charconv>
#include <cmath>
#include <limits>

#include "host/classes/Classes.h"
#include "host/classes/detail/FormLexer.h"
#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::detail {

namespace {

// A currency spelled with at most four decimals is taken digit by digit, so that every value the
// binary form holds comes back from its text exactly.
bool ExactCurrency(std::string_view s, std::int64_t& Out) {
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative)
        ++i;
    constexpr std::uint64_t limit = std::uint64_t{1} << 63;
    std::uint64_t v = 0;
    int decimals = -1;
    for (; i < s.size(); ++i) {
        if (s[i] == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!IsDigit(static_cast<unsigned char>(s[i])) || decimals == 4)
            return false;
        if (decimals >= 0)
            ++decimals;
        if (v > (limit - 9) / 10)
            return false;
        v = v * 10 + static_cast<unsigned>(s[i] - '0');
    }
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d) {
        if (v > limit / 10)
            return false;
        v *= 10;
    }
    if (v > limit - (negative ? 0 : 1))
        return false;
    Out = negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
    return true;
}

class TTextParser {
public:
    explicit TTextParser(std::string_view Text) : FLexer(Text) { Next(); }

    TFormObject File() {
        TFormObject root = Object(1);
        if (FTok.Kind != TTokenKind::End)
            Expected("end of file after the root object's 'end'");
        return root;
    }

private:
    void Next() { FTok = FLexer.Next(); }
    [[noreturn]] void Fail(const std::string& What) const {
        throw EReadError(FormWhere(TFormSyntax::Text, FTok.Line) + ": " + What);
    }
    [[noreturn]] void Expected(const std::string& What) const {
        Fail("expected " + What + ", found " + DescribeToken(FTok));
    }
    bool Is(char c) const { return FTok.Kind == TTokenKind::Char && FTok.Ch == c; }
    bool IsKeyword(std::string_view Word) const {
        return FTok.Kind == TTokenKind::Symbol && SameText(FTok.Text, Word);
    }
    bool AtObject() const {
        return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline");
    }
    void CheckDepth(int Depth) const {
        if (Depth > MaxFormDepth)
            Fail("objects and values nested deeper than " + std::to_string(MaxFormDepth) +
                 " levels");
    }
    std::string Ident(const char* What, bool Dotted) {
        if (FTok.Kind != TTokenKind::Symbol)
            Expected(What);
        if (!IsFormIdent(FTok.Text, Dotted))
            Fail("'" + FTok.Text + "' is not a valid " + What);
        std::string s = std::move(FTok.Text);
        Next();
        return s;
    }
    std::int64_t Order() {
        Next();
        if (FTok.Kind != TTokenKind::Integer)
            Expected("an integer after '['");
        const std::int64_t v = FTok.Int;
        Next();
        if (!Is(']'))
            Expected("']'");
        Next();
        return v;
    }

    TFormObject Object(int Depth) {
        CheckDepth(Depth);
        if (IsKeyword("inherited") || IsKeyword("inline"))
            Fail("'" + FTok.Text + "' objects are not supported, expected 'object'");
        if (!IsKeyword("object"))
            Expected("'object'");
        TFormObject obj;
        obj.At = FTok.Line;
        Next();
        std::string first = Ident("object name or class name", false);
        if (Is(':')) {
            Next();
            obj.Name = std::move(first);
            obj.ClassName = Ident("class name", false);
        } else {
            obj.ClassName = std::move(first);
        }
        if (Is('['))
            obj.Position = Order();
        while (FTok.Kind == TTokenKind::Symbol && !AtObject() && !IsKeyword("end"))
            obj.Props.push_back(Property(Depth));
        while (!IsKeyword("end")) {
            if (AtObject())
                obj.Children.push_back(Object(Depth + 1));
            else if (FTok.Kind == TTokenKind::Symbol)
                Expected("'object' or 'end' (properties come before child objects)");
            else
                Expected(obj.Children.empty() ? "a property name, 'object' or 'end'"
                                              : "'object' or 'end'");
        }
        Next();
        return obj;
    }

    TFormProperty Property(int Depth) {
        TFormProperty p;
        p.At = FTok.Line;
        p.Name = Ident("property name", true);
        if (!Is('='))
            Expected("'=' after property name");
        Next();
        p.Value = Value(Depth);
        return p;
    }

    TFormValue Value(int Depth) {
        CheckDepth(Depth);
        TFormValue v;
        v.At = FTok.Line;
        switch (FTok.Kind) {
        case TTokenKind::Integer:
            v.Kind = TFormValueKind::Integer;
            v.Int = FTok.Int;
            Next();
            return v;
        case TTokenKind::Float:
            FloatValue(v);
            Next();
            return v;
        case TTokenKind::String:
            StringValue(v);
            return v;
        case TTokenKind::Symbol:
            // Reserved words are no identifiers: a value left out runs into the next 'end'.
            if (AtObject() || IsKeyword("end") || IsKeyword("item"))
                Expected("a value");
            v.Kind = TFormValueKind::Ident;
            v.Str = Ident("identifier", true);
            return v;
        case TTokenKind::Binary:
            v.Kind = TFormValueKind::Binary;
            v.Str = std::move(FTok.Text);
            Next();
            return v;
        case TTokenKind::End:
        case TTokenKind::Char:
            break;
        }
        if (Is('['))
            SetValue(v);
        else if (Is('('))
            ListValue(v, Depth);
        else if (Is('<'))
            CollectionValue(v, Depth);
        else
            Expected("a value");
        return v;
    }

    void FloatValue(TFormValue& v) {
        const std::string& s = FTok.Text;
        const char* first = s.data();
        const char* last = s.data() + s.size();
        std::from_chars_result r{};
        switch (FTok.FloatType) {
        case 's': {
            float f = 0;
            r = std::from_chars(first, last, f);
            v.Kind = TFormValueKind::Single;
            v.Float = f;
            break;
        }
        case 'd': {
            double d = 0;
            r = std::from_chars(first, last, d);
            v.Kind = TFormValueKind::Date;
            v.Float = d;
            break;
        }
        case 'c':
            v.Kind = TFormValueKind::Currency;
            if (ExactCurrency(s, v.Int))
                return;
            r = std::from_chars(first, last, v.Float);
            if (r.ec == std::errc() && std::fabs(v.Float) < 9.2e14L)
                v.Int = static_cast<std::int64_t>(std::llroundl(v.Float * 10000));
            else
                r.ec = std::errc::result_out_of_range;
            v.Float = 0;
            break;
        default:
            v.Kind = TFormValueKind::Extended;
            r = std::from_chars(first, last, v.Float);
            break;
        }
        if (r.ec != std::errc() || r.ptr != last)
            Fail("number " + s + " out of range");
    }

    void StringValue(TFormValue& v) {
        v.Kind = TFormValueKind::String;
        bool wide = false;
        for (;;) {
            if (FTok.IsWide && !wide) {
                wide = true;
                for (char b : v.Str)
                    v.Wide.push_back(static_cast<unsigned char>(b));
                v.Str.clear();
            }
            if (!wide)
                v.Str += FTok.Text;
            else if (FTok.IsWide)
                v.Wide += FTok.Wide;
            else
                for (char b : FTok.Text)
                    v.Wide.push_back(static_cast<unsigned char>(b));
            Next();
            if (!Is('+'))
                break;
            Next();
            if (FTok.Kind != TTokenKind::String)
                Expected("a string after '+'");
        }
        if (wide)
            v.Kind = TFormValueKind::WideString;
    }

    void SetValue(TFormValue& v) {
        v.Kind = TFormValueKind::Set;
        Next();
        if (Is(']')) {
            Next();
            return;
        }
        for (;;) {
            v.Names.push_back(Ident("set element", false));
            if (Is(']'))
                break;
            if (!Is(','))
                Expected("',' or ']' in a set");
            Next();
        }
        Next();
    }

    void ListValue(TFormValue& v, int Depth) {
        v.Kind = TFormValueKind::List;
        Next();
        while (!Is(')')) {
            if (FTok.Kind == TTokenKind::End)
                Expected("')'");
            v.Values.push_back(Value(Depth + 1));
        }
        Next();
    }

    void CollectionValue(TFormValue& v, int Depth) {
        v.Kind = TFormValueKind::Collection;
        CheckDepth(Depth + 1);
        Next();
        while (!Is('>')) {
            if (!IsKeyword("item"))
                Expected("'item' or '>'");
            TFormItem item;
            item.At = FTok.Line;
            Next();
            if (Is('['))
                item.Order = Order();
            while (!IsKeyword("end")) {
                if (FTok.Kind != TTokenKind::Symbol)
                    Expected("a property name or 'end'");
                item.Props.push_back(Property(Depth + 1));
            }
            Next();
            v.Items.push_back(std::move(item));
        }
        Next();
    }

    TFormLexer FLexer;
    TToken FTok;
};

} // namespace

TFormObject ParseTextForm(std::string_view Text) {
    return TTextParser(Text).File();
}

} // namespace vcl::detail
