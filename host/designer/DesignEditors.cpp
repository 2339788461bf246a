// The property editor and the default editors of numbers, enumerations and strings.
#include "host/designer/DesignEditors.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "host/designer/detail/Text.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

using detail::Trim;

namespace {

bool ObjectKind(TTypeKind Kind) {
    return Kind == TTypeKind::Class || Kind == TTypeKind::Component;
}

bool StringKind(TTypeKind Kind) {
    return Kind == TTypeKind::String || Kind == TTypeKind::Binary;
}

// $ and up to eight hexadecimal digits, as the framework writes a colour; the 32 bits are
// taken as a signed integer, as the framework's Integer takes them.
std::optional<std::int64_t> ParseHex(std::string_view S) {
    if (S.size() < 2 || S.size() > 9 || S[0] != '$')
        return std::nullopt;
    std::uint32_t v = 0;
    for (char ch : S.substr(1)) {
        const auto c = static_cast<unsigned char>(ch);
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            d = (c | 0x20) - 'a' + 10;
        else
            return std::nullopt;
        v = v << 4 | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(v);
}

std::vector<TInstProp> Pair(const std::vector<TPersistent*>& Instances, const TPropInfo* Prop) {
    std::vector<TInstProp> entries;
    for (TPersistent* i : Instances)
        entries.push_back({i, Prop});
    return entries;
}

} // namespace

// ---- the property editor ----

TPropertyEditor::TPropertyEditor(TFormDesigner* ADesigner, std::vector<TInstProp> Entries)
    : FDesigner(ADesigner), FPropList(std::move(Entries)) {
    if (FPropList.empty())
        throw EPropertyError("A property editor needs an instance to edit");
    for (const TInstProp& e : FPropList)
        if (!e.Instance || !e.PropInfo || !e.PropInfo->Type)
            throw EPropertyError("A property editor was given a null instance or property");
}

TPropertyEditor::TPropertyEditor(TFormDesigner* ADesigner,
                                 const std::vector<TPersistent*>& Instances, const TPropInfo* Prop)
    : TPropertyEditor(ADesigner, Pair(Instances, Prop)) {}

TPropertyAttributes TPropertyEditor::GetAttributes() const {
    return {paMultiSelect, paRevertable};
}

std::string TPropertyEditor::GetName() const {
    return GetPropInfo().Name;
}

std::string TPropertyEditor::GetValue() const {
    return "(unknown)";
}

void TPropertyEditor::SetValue(const std::string&) {
    throw EPropertyError("Property " + GetName() + " cannot be set from text");
}

bool TPropertyEditor::AllEqual() const {
    return PropCount() == 1;
}

std::string TPropertyEditor::GetVisualValue() const {
    return AllEqual() ? GetValue() : std::string();
}

void TPropertyEditor::Edit() {}

void TPropertyEditor::GetValues(const TGetStrProc&) const {}

void TPropertyEditor::GetProperties(const TGetPropEditProc&) const {}

const TInstProp& TPropertyEditor::Entry(int I) const {
    if (I < 0 || I >= PropCount())
        throw EListError("List index out of bounds (" + std::to_string(I) + ")");
    return FPropList[static_cast<std::size_t>(I)];
}

TPersistent* TPropertyEditor::GetComponent(int I) const {
    return Entry(I).Instance;
}

void TPropertyEditor::Modified() {
    if (FDesigner)
        FDesigner->Modified();
}

void TPropertyEditor::InvalidValue(const std::string& Value, const std::string& Why) const {
    throw EPropertyError("Invalid property value '" + Value + "' for " + GetPropInfo().Name + ": " +
                         Why);
}

std::int64_t TPropertyEditor::GetOrdValueAt(int I) const {
    const TInstProp& e = Entry(I);
    const TPropInfo& p = *e.PropInfo;
    if (ObjectKind(p.Type->Kind))
        return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(GetObjValueAt(I)));
    if (StringKind(p.Type->Kind) || !p.GetOrd)
        throw EPropertyError("Property " + p.Name + " has no ordinal value");
    return p.GetOrd(*e.Instance);
}

void TPropertyEditor::SetOrdValue(std::int64_t Value) {
    if (ObjectKind(GetPropType().Kind)) {
        SetObjValue(reinterpret_cast<TPersistent*>(static_cast<std::intptr_t>(Value)));
        return;
    }
    for (const TInstProp& e : FPropList)
        if (StringKind(e.PropInfo->Type->Kind) || !e.PropInfo->SetOrd)
            throw EPropertyError("Property " + e.PropInfo->Name + " cannot be set to a number");
    for (const TInstProp& e : FPropList)
        e.PropInfo->SetOrd(*e.Instance, Value);
    Modified();
}

std::string TPropertyEditor::GetStrValueAt(int I) const {
    const TInstProp& e = Entry(I);
    if (!StringKind(e.PropInfo->Type->Kind) || !e.PropInfo->GetStr)
        throw EPropertyError("Property " + e.PropInfo->Name + " has no string value");
    return e.PropInfo->GetStr(*e.Instance);
}

void TPropertyEditor::SetStrValue(const std::string& Value) {
    for (const TInstProp& e : FPropList)
        if (!StringKind(e.PropInfo->Type->Kind) || !e.PropInfo->SetStr)
            throw EPropertyError("Property " + e.PropInfo->Name + " cannot be set to a string");
    for (const TInstProp& e : FPropList)
        e.PropInfo->SetStr(*e.Instance, Value);
    Modified();
}

TPersistent* TPropertyEditor::GetObjValueAt(int I) const {
    const TInstProp& e = Entry(I);
    const TPropInfo& p = *e.PropInfo;
    if (p.Type->Kind == TTypeKind::Class && p.GetObj)
        return p.GetObj(*e.Instance);
    if (p.Type->Kind == TTypeKind::Component && p.GetRef)
        return p.GetRef(*e.Instance);
    throw EPropertyError("Property " + p.Name + " holds no object");
}

void TPropertyEditor::SetObjValue(TPersistent* Value) {
    const TTypeInfo& type = GetPropType();
    // The setters take the property's class; anything else would reach them as nil.
    if (Value && type.ClassType && !Value->ClassInfo().InheritsFrom(*type.ClassType))
        throw EPropertyError("Property " + GetName() + " cannot take a " + Value->ClassName());
    TComponent* component = nullptr;
    if (type.Kind == TTypeKind::Component && Value) {
        component = dynamic_cast<TComponent*>(Value);
        if (!component)
            throw EPropertyError("Property " + GetName() + " cannot refer to a " +
                                 Value->ClassName());
    }
    for (const TInstProp& e : FPropList) {
        const TPropInfo& p = *e.PropInfo;
        if (!(p.Type->Kind == TTypeKind::Class && p.SetObj) &&
            !(p.Type->Kind == TTypeKind::Component && p.SetRef))
            throw EPropertyError("Property " + p.Name + " cannot be set to an object");
    }
    for (const TInstProp& e : FPropList) {
        if (e.PropInfo->Type->Kind == TTypeKind::Class)
            e.PropInfo->SetObj(*e.Instance, Value);
        else
            e.PropInfo->SetRef(*e.Instance, component);
    }
    Modified();
}

// ---- ordinals ----

bool TOrdinalProperty::AllEqual() const {
    for (int i = 1; i < PropCount(); ++i)
        if (GetOrdValueAt(i) != GetOrdValue())
            return false;
    return true;
}

TPropertyAttributes TIntegerProperty::GetAttributes() const {
    const TPropertyAttributes base = TOrdinalProperty::GetAttributes();
    return GetPropType().Idents.empty() ? base : base + TPropertyAttributes{paValueList};
}

std::string TIntegerProperty::GetValue() const {
    const std::int64_t v = GetOrdValue();
    const std::string ident = GetPropType().IdentOf(v);
    return ident.empty() ? std::to_string(v) : ident;
}

void TIntegerProperty::SetValue(const std::string& Value) {
    const TTypeInfo& type = GetPropType();
    const std::string text(Trim(Value));
    std::optional<std::int64_t> v = type.ValueOf(text);
    if (!v)
        v = ParseHex(text);
    if (!v && !text.empty() && text[0] != '$') {
        try {
            v = StrToInt(text);
        } catch (const EConvertError&) {
            if (type.Idents.empty())
                throw;
        }
    }
    if (!v)
        throw EConvertError("'" + Value + "' is not a valid " +
                            (type.Idents.empty() ? "integer" : type.Name) + " value");
    SetOrdValue(*v);
}

void TIntegerProperty::GetValues(const TGetStrProc& Proc) const {
    for (const TIdentMapEntry& e : GetPropType().Idents)
        Proc(e.Name);
}

std::string TColorProperty::GetValue() const {
    const std::int64_t v = GetOrdValue();
    if (std::string ident = GetPropType().IdentOf(v); !ident.empty())
        return ident;
    static const char hex[] = "0123456789ABCDEF";
    const auto u = static_cast<std::uint32_t>(v);
    std::string s = "$";
    for (int shift = 28; shift >= 0; shift -= 4)
        s += hex[(u >> shift) & 15];
    return s;
}

TPropertyAttributes TEnumProperty::GetAttributes() const {
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::string TEnumProperty::GetValue() const {
    const std::int64_t v = GetOrdValue();
    const std::string ident = GetPropType().IdentOf(v);
    return ident.empty() ? std::to_string(v) : ident;
}

void TEnumProperty::SetValue(const std::string& Value) {
    const std::optional<std::int64_t> v = GetPropType().ValueOf(Trim(Value));
    if (!v)
        InvalidValue(Value, "not an identifier of " + GetPropType().Name);
    SetOrdValue(*v);
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) const {
    for (const std::string& n : GetPropType().Names)
        Proc(n);
}

void TBoolProperty::GetValues(const TGetStrProc& Proc) const {
    Proc("False");
    Proc("True");
}

// ---- strings ----

TPropertyAttributes TStringProperty::GetAttributes() const {
    return {paMultiSelect, paRevertable};
}

std::string TStringProperty::GetValue() const {
    return GetStrValue();
}

void TStringProperty::SetValue(const std::string& Value) {
    SetStrValue(Value);
}

bool TStringProperty::AllEqual() const {
    for (int i = 1; i < PropCount(); ++i)
        if (GetStrValueAt(i) != GetStrValue())
            return false;
    return true;
}

TPropertyAttributes TComponentNameProperty::GetAttributes() const {
    return {};
}

} // namespace vcl
