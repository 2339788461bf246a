// The binary form's printer, from the form-file tree to "TPF0" bytes: integers in the smallest
// width that holds them, strings short up to 255 bytes and long beyond.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "host/classes/Classes.h"
#include "host/classes/detail/FormBinary.h"
#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::detail {

void EncodeExtended(long double V, std::uint64_t& Mantissa, unsigned& SignExp) {
    SignExp = std::signbit(V) ? 0x8000 : 0;
    V = std::fabs(V);
    Mantissa = 0;
    if (V == 0)
        return;
    int e = 0;
    const long double m = std::frexp(V, &e); // V = m * 2^e, m in [0.5, 1)
    int biased = e - 1 + ExtendedBias;
    if (biased <= 0) {
        Mantissa = static_cast<std::uint64_t>(std::ldexp(V, ExtendedBias - 1 + 63));
        biased = 0;
    } else {
        Mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
    }
    SignExp |= static_cast<unsigned>(biased);
}

namespace {

class TBinaryPrinter {
public:
    std::string Print(const TFormObject& Root) {
        FOut = BinarySignature;
        Object(Root);
        return std::move(FOut);
    }

private:
    void Byte(unsigned V) { FOut += static_cast<char>(V); }
    void Fixed(std::uint64_t V, int Bytes) {
        for (int i = 0; i < Bytes; ++i)
            Byte(static_cast<std::uint8_t>(V >> (8 * i)));
    }
    void ShortString(const std::string& S, std::size_t Max = 255) {
        if (S.size() > Max)
            throw EWriteError("Name too long for a binary form file (" + std::to_string(S.size()) +
                              " bytes, at most " + std::to_string(Max) + "): " + S.substr(0, 64) +
                              "...");
        Byte(static_cast<unsigned>(S.size()));
        FOut += S;
    }
    void Length(std::size_t N) {
        if (N > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw EWriteError("Value too long for a binary form file");
        Fixed(N, 4);
    }
    void Integer(std::int64_t V) {
        if (V >= INT8_MIN && V <= INT8_MAX) {
            Byte(vaInt8);
            Fixed(static_cast<std::uint64_t>(V), 1);
        } else if (V >= INT16_MIN && V <= INT16_MAX) {
            Byte(vaInt16);
            Fixed(static_cast<std::uint64_t>(V), 2);
        } else if (V >= INT32_MIN && V <= INT32_MAX) {
            Byte(vaInt32);
            Fixed(static_cast<std::uint64_t>(V), 4);
        } else {
            Byte(vaInt64);
            Fixed(static_cast<std::uint64_t>(V), 8);
        }
    }

    void Object(const TFormObject& O) {
        if (O.Position) {
            Byte(0xF0 | ffChildPos);
            if (*O.Position < INT32_MIN || *O.Position > INT32_MAX)
                throw EWriteError("Child position out of range for a binary form file");
            Integer(*O.Position);
        }
        // A length byte of 0xF0 or more would be taken for the flags byte.
        ShortString(O.ClassName, 0xEF);
        ShortString(O.Name);
        for (const TFormProperty& p : O.Props)
            Property(p);
        Byte(vaNull);
        for (const TFormObject& c : O.Children)
            Object(c);
        Byte(vaNull);
    }

    void Property(const TFormProperty& P) {
        ShortString(P.Name);
        Value(P.Value);
    }

    void Value(const TFormValue& V) {
        switch (V.Kind) {
        case TFormValueKind::Integer:
            Integer(V.Int);
            return;
        case TFormValueKind::Extended: {
            std::uint64_t mantissa = 0;
            unsigned signExp = 0;
            EncodeExtended(V.Float, mantissa, signExp);
            Byte(vaExtended);
            Fixed(mantissa, 8);
            Fixed(signExp, 2);
            return;
        }
        case TFormValueKind::Single:
            Byte(vaSingle);
            Fixed(std::bit_cast<std::uint32_t>(static_cast<float>(V.Float)), 4);
            return;
        case TFormValueKind::Date:
            Byte(vaDate);
            Fixed(std::bit_cast<std::uint64_t>(static_cast<double>(V.Float)), 8);
            return;
        case TFormValueKind::Currency:
            Byte(vaCurrency);
            Fixed(static_cast<std::uint64_t>(V.Int), 8);
            return;
        case TFormValueKind::String:
            if (V.Str.size() <= 255) {
                Byte(vaString);
                ShortString(V.Str);
            } else {
                Byte(vaLString);
                Length(V.Str.size());
                FOut += V.Str;
            }
            return;
        case TFormValueKind::WideString:
            Byte(vaWString);
            Length(V.Wide.size());
            for (char16_t u : V.Wide)
                Fixed(u, 2);
            return;
        case TFormValueKind::Ident:
            if (SameText(V.Str, "False"))
                Byte(vaFalse);
            else if (SameText(V.Str, "True"))
                Byte(vaTrue);
            else if (SameText(V.Str, "nil"))
                Byte(vaNil);
            else {
                Byte(vaIdent);
                ShortString(V.Str);
            }
            return;
        case TFormValueKind::Set:
            Byte(vaSet);
            for (const std::string& n : V.Names)
                ShortString(n);
            Byte(0);
            return;
        case TFormValueKind::Binary:
            Byte(vaBinary);
            Length(V.Str.size());
            FOut += V.Str;
            return;
        case TFormValueKind::List:
            Byte(vaList);
            for (const TFormValue& e : V.Values)
                Value(e);
            Byte(vaNull);
            return;
        case TFormValueKind::Collection:
            Byte(vaCollection);
            for (const TFormItem& item : V.Items) {
                if (item.Order) {
                    if (*item.Order < INT32_MIN || *item.Order > INT32_MAX)
                        throw EWriteError("Item order out of range for a binary form file");
                    Integer(*item.Order);
                }
                Byte(vaList);
                for (const TFormProperty& p : item.Props)
                    Property(p);
                Byte(vaNull);
            }
            Byte(vaNull);
            return;
        }
    }

    std::string FOut;
};

} // namespace

std::string PrintBinaryForm(const TFormObject& Root) {
    return TBinaryPrinter().Print(Root);
}

} // namespace vcl::detail
