// The binary form's parser, from "TPF0" bytes to the form-file tree, every length checked against
// what remains before anything is allocated for it.
#include <algorithm>
#include <bit>
#include <cmath>

#include "host/classes/detail/FormBinary.h"
#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::detail {

long double DecodeExtended(std::uint64_t Mantissa, unsigned SignExp) {
    // A zero exponent holds the denormals, scaled as if it were one.
    const int e = std::max(static_cast<int>(SignExp & 0x7FFF), 1);
    const long double v = std::ldexp(static_cast<long double>(Mantissa), e - ExtendedBias - 63);
    return SignExp & 0x8000 ? -v : v;
}

namespace {

class TBinaryParser {
public:
    explicit TBinaryParser(std::string_view Data) : FData(Data) {}

    TFormObject File() {
        if (FData.substr(0, BinarySignature.size()) != BinarySignature)
            Fail(0, "expected the signature TPF0");
        FPos = BinarySignature.size();
        TFormObject root = Object(1);
        if (FPos != FData.size())
            Fail(FPos, "unexpected data after the root object");
        return root;
    }

private:
    [[noreturn]] void Fail(std::size_t At, const std::string& What) const {
        throw EReadError(FormWhere(TFormSyntax::Binary, At) + ": " + What);
    }
    void Need(std::size_t Count, const std::string& What) const {
        if (FData.size() - FPos < Count)
            Fail(FPos, "unexpected end of data, expected " + What);
    }
    std::uint8_t PeekByte(const std::string& What) const {
        Need(1, What);
        return static_cast<std::uint8_t>(FData[FPos]);
    }
    std::uint64_t Fixed(std::size_t Bytes, const std::string& What) {
        Need(Bytes, What);
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < Bytes; ++i)
            v |= std::uint64_t{static_cast<std::uint8_t>(FData[FPos + i])} << (8 * i);
        FPos += Bytes;
        return v;
    }
    std::string Bytes(std::size_t Count, const std::string& What) {
        Need(Count, What);
        std::string s(FData.substr(FPos, Count));
        FPos += Count;
        return s;
    }
    // An int32 length, checked against what remains before anything is allocated for it.
    std::size_t Length(std::size_t UnitSize, const std::string& What) {
        const std::size_t at = FPos;
        const auto n = static_cast<std::int32_t>(Fixed(4, "the length of " + What));
        if (n < 0 || static_cast<std::size_t>(n) > (FData.size() - FPos) / UnitSize)
            Fail(at, "length " + std::to_string(n) + " of " + What + " exceeds the " +
                         std::to_string(FData.size() - FPos) + " bytes that remain");
        return static_cast<std::size_t>(n);
    }
    std::string ShortString(const std::string& What) {
        const std::size_t n = Fixed(1, What);
        return Bytes(n, What);
    }
    std::string Ident(const std::string& What, bool Dotted, bool MayBeEmpty = false) {
        const std::size_t at = FPos;
        std::string s = ShortString(What);
        if (!(MayBeEmpty && s.empty()) && !IsFormIdent(s, Dotted))
            Fail(at, "expected " + What + ", found an invalid identifier");
        return s;
    }
    void CheckDepth(int Depth, std::size_t At) const {
        if (Depth > MaxFormDepth)
            Fail(At, "objects and values nested deeper than " + std::to_string(MaxFormDepth) +
                         " levels");
    }
    std::int64_t Integer(const std::string& What) {
        const std::size_t at = FPos;
        switch (Fixed(1, What)) {
        case vaInt8:
            return static_cast<std::int8_t>(Fixed(1, What));
        case vaInt16:
            return static_cast<std::int16_t>(Fixed(2, What));
        case vaInt32:
            return static_cast<std::int32_t>(Fixed(4, What));
        default:
            Fail(at, "expected " + What);
        }
    }

    TFormObject Object(int Depth) {
        TFormObject o;
        o.At = FPos;
        CheckDepth(Depth, o.At);
        const std::uint8_t prefix = PeekByte("an object");
        if ((prefix & 0xF0) == 0xF0) {
            ++FPos;
            const std::uint8_t flags = prefix & 0x0F;
            if (flags & (ffInherited | ffInline))
                Fail(o.At, "inherited and inline objects are not supported");
            if (flags & ~ffKnown)
                Fail(o.At, "unknown object flags " + std::to_string(flags));
            if (flags & ffChildPos)
                o.Position = Integer("an integer child position");
        }
        o.ClassName = Ident("a class name", false);
        o.Name = Ident("an object name", false, true);
        while (PeekByte("a property name or the end of the property list") != vaNull) {
            TFormProperty p;
            p.At = FPos;
            p.Name = Ident("a property name", true);
            p.Value = Value(Depth);
            o.Props.push_back(std::move(p));
        }
        ++FPos;
        while (PeekByte("a child object or the end of the child list") != vaNull)
            o.Children.push_back(Object(Depth + 1));
        ++FPos;
        return o;
    }

    TFormValue Value(int Depth) {
        TFormValue v;
        v.At = FPos;
        CheckDepth(Depth, v.At);
        const auto type = static_cast<std::uint8_t>(Fixed(1, "a value"));
        switch (type) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
            --FPos;
            v.Int = Integer("an integer");
            return v;
        case vaInt64:
            v.Int = static_cast<std::int64_t>(Fixed(8, "a 64-bit integer"));
            return v;
        case vaExtended: {
            const std::uint64_t mantissa = Fixed(8, "an extended float");
            v.Kind = TFormValueKind::Extended;
            v.Float =
                DecodeExtended(mantissa, static_cast<unsigned>(Fixed(2, "an extended float")));
            return Finite(v);
        }
        case vaSingle:
            v.Kind = TFormValueKind::Single;
            v.Float = std::bit_cast<float>(static_cast<std::uint32_t>(Fixed(4, "a single float")));
            return Finite(v);
        case vaDate:
            v.Kind = TFormValueKind::Date;
            v.Float = std::bit_cast<double>(Fixed(8, "a date"));
            return Finite(v);
        case vaCurrency:
            v.Kind = TFormValueKind::Currency;
            v.Int = static_cast<std::int64_t>(Fixed(8, "a currency value"));
            return v;
        case vaString:
            v.Kind = TFormValueKind::String;
            v.Str = ShortString("a string");
            return v;
        case vaLString:
        case vaUTF8String:
            v.Kind = TFormValueKind::String;
            v.Str = Bytes(Length(1, "a string"), "a string");
            return v;
        case vaWString: {
            v.Kind = TFormValueKind::WideString;
            const std::size_t n = Length(2, "a wide string");
            v.Wide.reserve(n);
            for (std::size_t i = 0; i < n; ++i)
                v.Wide.push_back(static_cast<char16_t>(Fixed(2, "a wide string")));
            return v;
        }
        case vaBinary:
            v.Kind = TFormValueKind::Binary;
            v.Str = Bytes(Length(1, "binary data"), "binary data");
            return v;
        case vaIdent:
            v.Kind = TFormValueKind::Ident;
            v.Str = Ident("an identifier", true);
            return v;
        case vaFalse:
        case vaTrue:
        case vaNil:
            v.Kind = TFormValueKind::Ident;
            v.Str = type == vaFalse ? "False" : type == vaTrue ? "True" : "nil";
            return v;
        case vaSet:
            v.Kind = TFormValueKind::Set;
            for (;;) {
                const std::size_t at = FPos;
                std::string name = ShortString("a set element");
                if (name.empty())
                    return v;
                if (!IsFormIdent(name, false))
                    Fail(at, "expected a set element, found an invalid identifier");
                v.Names.push_back(std::move(name));
            }
        case vaList:
            v.Kind = TFormValueKind::List;
            while (PeekByte("a list element or the end of the list") != vaNull)
                v.Values.push_back(Value(Depth + 1));
            ++FPos;
            return v;
        case vaCollection:
            v.Kind = TFormValueKind::Collection;
            CheckDepth(Depth + 1, v.At);
            while (PeekByte("a collection item or the end of the collection") != vaNull)
                v.Items.push_back(Item(Depth + 1));
            ++FPos;
            return v;
        case vaNull:
            Fail(v.At, "expected a value, found the end of a list");
        default:
            Fail(v.At, "unknown value type " + std::to_string(type));
        }
    }

    TFormItem Item(int Depth) {
        TFormItem item;
        item.At = FPos;
        const std::uint8_t first = PeekByte("a collection item");
        if (first == vaInt8 || first == vaInt16 || first == vaInt32)
            item.Order = Integer("an item order");
        if (Fixed(1, "a collection item") != vaList)
            Fail(FPos - 1, "expected a list starting a collection item");
        while (PeekByte("a property name or the end of the item") != vaNull) {
            TFormProperty p;
            p.At = FPos;
            p.Name = Ident("a property name", true);
            p.Value = Value(Depth);
            item.Props.push_back(std::move(p));
        }
        ++FPos;
        return item;
    }

    // The text form has no spelling for infinities and NaNs, and no property takes them.
    TFormValue& Finite(TFormValue& V) const {
        if (!std::isfinite(V.Float))
            Fail(V.At, "expected a finite floating-point number");
        return V;
    }

    std::string_view FData;
    std::size_t FPos = 0;
};

} // namespace

TFormObject ParseBinaryForm(std::string_view Data) {
    return TBinaryParser(Data).File();
}

} // namespace vcl::detail
