// The text form's printer, from the form-file tree to text. Its layout depends on the values
// alone, which is what lets text -> binary -> text reproduce a file byte for byte.
#include <charconv>

#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::detail {

namespace {

// Shortest spelling that reads back to the same value, always with a decimal point or an
// exponent so that it is never taken for an integer.
template <typename F> std::string FloatText(F Value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, Value);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".eE") == std::string::npos)
        s += ".0";
    return s;
}

std::string CurrencyText(std::int64_t Value) {
    const bool negative = Value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0')
        fraction.pop_back();
    std::string s = negative ? "-" : "";
    s += std::to_string(magnitude / 10000);
    s += '.';
    s += fraction;
    s += 'c';
    return s;
}

// A string as pieces of at most TextLineLength characters, printable ASCII quoted ('' for a
// quote) and everything else as #n, so that the file stays 7-bit and line ends survive.
template <typename S> std::vector<std::string> StringPieces(const S& Units) {
    std::vector<std::string> pieces;
    std::string cur;
    bool quoted = false;
    std::size_t count = 0;
    auto closeQuote = [&] {
        if (quoted)
            cur += '\'';
        quoted = false;
    };
    for (std::size_t i = 0; i < Units.size(); ++i) {
        const auto u = static_cast<std::uint32_t>(
            static_cast<std::make_unsigned_t<typename S::value_type>>(Units[i]));
        if (u >= 0x20 && u < 0x7F) {
            if (!quoted)
                cur += '\'';
            quoted = true;
            cur += static_cast<char>(u);
            if (u == '\'')
                cur += '\'';
        } else {
            closeQuote();
            cur += '#';
            cur += std::to_string(u);
        }
        if (++count == TextLineLength && i + 1 < Units.size()) {
            closeQuote();
            pieces.push_back(std::move(cur));
            cur.clear();
            count = 0;
        }
    }
    closeQuote();
    pieces.push_back(cur.empty() ? "''" : std::move(cur));
    return pieces;
}

class TTextPrinter {
public:
    std::string Print(const TFormObject& Root) {
        Object(Root, 0);
        return std::move(FOut);
    }

private:
    void Indent(int Level) { FOut.append(static_cast<std::size_t>(Level) * 2, ' '); }

    void Object(const TFormObject& O, int Level) {
        Indent(Level);
        FOut += "object ";
        if (!O.Name.empty())
            FOut += O.Name + ": ";
        FOut += O.ClassName;
        if (O.Position)
            FOut += " [" + std::to_string(*O.Position) + "]";
        FOut += '\n';
        for (const TFormProperty& p : O.Props)
            Property(p, Level + 1);
        for (const TFormObject& c : O.Children)
            Object(c, Level + 1);
        Indent(Level);
        FOut += "end\n";
    }

    void Property(const TFormProperty& P, int Level) {
        Indent(Level);
        FOut += P.Name + " =";
        Value(P.Value, Level, false);
        FOut += '\n';
    }

    // Level is that of the line the value starts on. After "Name =" a value is set off by a
    // blank, and a string of several pieces starts on the next line; a list element starts its
    // own line.
    void Value(const TFormValue& V, int Level, bool LineStart) {
        if (!LineStart && V.Kind != TFormValueKind::String && V.Kind != TFormValueKind::WideString)
            FOut += ' ';
        switch (V.Kind) {
        case TFormValueKind::Integer:
            FOut += std::to_string(V.Int);
            return;
        case TFormValueKind::Extended:
            FOut += FloatText(V.Float);
            return;
        case TFormValueKind::Single:
            FOut += FloatText(static_cast<float>(V.Float)) + "s";
            return;
        case TFormValueKind::Date:
            FOut += FloatText(static_cast<double>(V.Float)) + "d";
            return;
        case TFormValueKind::Currency:
            FOut += CurrencyText(V.Int);
            return;
        case TFormValueKind::String:
            Pieces(StringPieces(V.Str), Level, LineStart);
            return;
        case TFormValueKind::WideString:
            Pieces(StringPieces(V.Wide), Level, LineStart);
            return;
        case TFormValueKind::Ident:
            FOut += V.Str;
            return;
        case TFormValueKind::Set:
            FOut += '[';
            for (std::size_t i = 0; i < V.Names.size(); ++i) {
                if (i)
                    FOut += ", ";
                FOut += V.Names[i];
            }
            FOut += ']';
            return;
        case TFormValueKind::Binary:
            Binary(V.Str, Level);
            return;
        case TFormValueKind::List:
            FOut += '(';
            for (const TFormValue& e : V.Values) {
                FOut += '\n';
                Indent(Level + 1);
                Value(e, Level + 1, true);
            }
            FOut += ')';
            return;
        case TFormValueKind::Collection:
            FOut += '<';
            for (const TFormItem& item : V.Items) {
                FOut += '\n';
                Indent(Level + 1);
                FOut += "item";
                if (item.Order)
                    FOut += " [" + std::to_string(*item.Order) + "]";
                FOut += '\n';
                for (const TFormProperty& p : item.Props)
                    Property(p, Level + 2);
                Indent(Level + 1);
                FOut += "end";
            }
            FOut += '>';
            return;
        }
    }

    void Pieces(const std::vector<std::string>& P, int Level, bool LineStart) {
        if (P.size() == 1) {
            if (!LineStart)
                FOut += ' ';
            FOut += P.front();
            return;
        }
        for (std::size_t i = 0; i < P.size(); ++i) {
            if (i > 0 || !LineStart) {
                FOut += '\n';
                Indent(LineStart ? Level : Level + 1);
            }
            FOut += P[i];
            if (i + 1 < P.size())
                FOut += " +";
        }
    }

    void Binary(const std::string& Bytes, int Level) {
        static constexpr char hex[] = "0123456789ABCDEF";
        FOut += '{';
        for (std::size_t i = 0; i < Bytes.size(); ++i) {
            if (i % (TextLineLength / 2) == 0) {
                FOut += '\n';
                Indent(Level + 1);
            }
            const auto b = static_cast<unsigned char>(Bytes[i]);
            FOut += hex[b >> 4];
            FOut += hex[b & 15];
        }
        FOut += '}';
    }

    std::string FOut;
};

} // namespace

std::string PrintTextForm(const TFormObject& Root) {
    return TTextPrinter().Print(Root);
}

} // namespace vcl::detail
