// The default editor of sets and of their elements.
#include "host/designer/DesignEditors.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "host/designer/detail/Text.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

using detail::Trim;

// ---- sets ----

TPropertyAttributes TSetProperty::GetAttributes() const {
    return {paMultiSelect, paSubProperties, paRevertable};
}

std::string TSetProperty::GetValue() const {
    const auto bits = static_cast<std::uint64_t>(GetOrdValue());
    const std::vector<std::string>& names = GetPropType().Names;
    std::string s = "[";
    for (std::size_t i = 0; i < names.size() && i < 64; ++i)
        if (bits >> i & 1) {
            if (s.size() > 1)
                s += ',';
            s += names[i];
        }
    return s + "]";
}

void TSetProperty::SetValue(const std::string& Value) {
    std::string_view text = Trim(Value);
    if (!text.empty() && (text.front() == '[') != (text.back() == ']'))
        InvalidValue(Value, "unbalanced brackets");
    if (!text.empty() && text.front() == '[')
        text = Trim(text.substr(1, text.size() - 2));
    std::uint64_t bits = 0;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view name = Trim(text.substr(0, comma));
        const std::optional<std::int64_t> v = GetPropType().ValueOf(name);
        if (!v || *v >= 64) {
            std::string why(name);
            why.append(" is not an element of ").append(GetPropType().Name);
            InvalidValue(Value, why);
        }
        bits |= std::uint64_t{1} << *v;
        if (comma == std::string_view::npos)
            break;
        text = text.substr(comma + 1);
        if (Trim(text).empty())
            InvalidValue(Value, "an element is missing after the last comma");
    }
    SetOrdValue(static_cast<std::int64_t>(bits));
}

void TSetProperty::GetProperties(const TGetPropEditProc& Proc) const {
    const int count = static_cast<int>(GetPropType().Names.size());
    for (int i = 0; i < count && i < 64; ++i)
        Proc(std::make_unique<TSetElementProperty>(Designer(), Entries(), i));
}

TSetElementProperty::TSetElementProperty(TFormDesigner* ADesigner, std::vector<TInstProp> Entries,
                                         int Element)
    : TPropertyEditor(ADesigner, std::move(Entries)), FElement(Element) {
    if (FElement < 0 || FElement >= static_cast<int>(GetPropType().Names.size()) || FElement >= 64)
        throw EPropertyError(GetPropType().Name + " has no element " + std::to_string(Element));
}

TPropertyAttributes TSetElementProperty::GetAttributes() const {
    return {paMultiSelect, paValueList, paSortList};
}

std::string TSetElementProperty::GetName() const {
    return GetPropType().Names[static_cast<std::size_t>(FElement)];
}

bool TSetElementProperty::Holds(int I) const {
    return static_cast<std::uint64_t>(GetOrdValueAt(I)) >> FElement & 1;
}

std::string TSetElementProperty::GetValue() const {
    return Holds(0) ? "True" : "False";
}

void TSetElementProperty::SetValue(const std::string& Value) {
    const std::optional<std::int64_t> v = BooleanType().ValueOf(Trim(Value));
    if (!v)
        InvalidValue(Value, "neither False nor True");
    for (const TInstProp& e : Entries())
        if (!e.PropInfo->SetOrd)
            throw EPropertyError("Property " + e.PropInfo->Name + " cannot be set to a number");
    const std::uint64_t bit = std::uint64_t{1} << FElement;
    for (int i = 0; i < PropCount(); ++i) {
        const auto bits = static_cast<std::uint64_t>(GetOrdValueAt(i));
        const TInstProp& e = Entry(i);
        e.PropInfo->SetOrd(*e.Instance, static_cast<std::int64_t>(*v ? bits | bit : bits & ~bit));
    }
    Modified();
}

bool TSetElementProperty::AllEqual() const {
    for (int i = 1; i < PropCount(); ++i)
        if (Holds(i) != Holds(0))
            return false;
    return true;
}

void TSetElementProperty::GetValues(const TGetStrProc& Proc) const {
    Proc("False");
    Proc("True");
}

} // namespace vcl
