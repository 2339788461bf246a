// The designer's registries: the palette, property editors and component editors, each entry
// tagged with the module that registered it, and the look-ups that choose an editor.
#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

#include "host/designer/DesignEditors.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

struct TPaletteEntry {
    TComponentRegistration Info;
    // This entry put the class into the class registry, which gets it back when the entry goes.
    bool AddedClass = false;
};

struct TRegistries {
    std::vector<TPaletteEntry> Palette;
    std::vector<TPropertyEditorRegistration> PropertyEditors;
    std::vector<TComponentEditorRegistration> ComponentEditors;
    const void* Module = nullptr;
};

TRegistries& Registries() {
    static TRegistries r;
    return r;
}

// How many steps from Derived up to Base, which it inherits from.
int Distance(const TClassInfo& Derived, const TClassInfo& Base) {
    int n = 0;
    for (const TClassInfo* c = &Derived; c && c != &Base; c = c->Parent())
        ++n;
    return n;
}

bool ClassTyped(const TTypeInfo& Type) {
    return (Type.Kind == TTypeKind::Class || Type.Kind == TTypeKind::Component) && Type.ClassType;
}

// The type rank of a registration for a property type: 0 for the very type, else one more than
// the steps from the property's class to the registered one; none when it does not match.
std::optional<int> TypeRank(const TTypeInfo& Registered, const TTypeInfo& Prop) {
    if (&Registered == &Prop)
        return 0;
    if (ClassTyped(Registered) && ClassTyped(Prop) &&
        Prop.ClassType->InheritsFrom(*Registered.ClassType))
        return 1 + Distance(*Prop.ClassType, *Registered.ClassType);
    return std::nullopt;
}

} // namespace

// ---- the registration module ----

const void* BeginModuleRegistration(const void* Module) {
    return std::exchange(Registries().Module, Module);
}

void EndModuleRegistration(const void* Previous) {
    Registries().Module = Previous;
}

const void* CurrentRegistrationModule() {
    return Registries().Module;
}

// ---- registering ----

void RegisterComponents(const std::string& Page, const std::vector<const TClassInfo*>& Classes) {
    for (const TClassInfo* c : Classes)
        if (!c || !c->IsComponent())
            throw EComponentError("Cannot put " + (c ? c->Name() : std::string("a null class")) +
                                  " on the palette page " + Page + ": not a component class");
    TRegistries& r = Registries();
    for (const TClassInfo* c : Classes) {
        const bool there = std::any_of(r.Palette.begin(), r.Palette.end(), [&](const auto& e) {
            return e.Info.ComponentClass == c && SameText(e.Info.Page, Page);
        });
        if (there)
            continue;
        const bool added = FindClass(c->Name()) != c;
        RegisterClass(*c);
        r.Palette.push_back({{Page, c, r.Module}, added});
    }
}

void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass) {
    if (!PropertyType || !EditorClass.Create)
        throw EPropertyError("Cannot register the property editor " + EditorClass.Name + ": " +
                             (PropertyType ? "it has no factory" : "no property type"));
    TRegistries& r = Registries();
    r.PropertyEditors.push_back(
        {PropertyType, ComponentClass, PropertyName, std::move(EditorClass), r.Module});
}

void RegisterComponentEditor(const TClassInfo* ComponentClass, TComponentEditorClass EditorClass) {
    if (!ComponentClass || !EditorClass.Create)
        throw EComponentError("Cannot register the component editor " + EditorClass.Name + ": " +
                              (ComponentClass ? "it has no factory" : "no component class"));
    TRegistries& r = Registries();
    r.ComponentEditors.push_back({ComponentClass, std::move(EditorClass), r.Module});
}

void UnregisterModuleClasses(const void* Module) {
    TRegistries& r = Registries();
    std::vector<TPaletteEntry> gone;
    std::vector<TPaletteEntry> kept;
    for (TPaletteEntry& e : r.Palette)
        (e.Info.Module == Module ? gone : kept).push_back(std::move(e));
    r.Palette = std::move(kept);
    for (const TPaletteEntry& e : gone) {
        if (!e.AddedClass)
            continue;
        // Another module's palette still needs the class: that entry now answers for it.
        auto other = std::find_if(r.Palette.begin(), r.Palette.end(), [&](const auto& k) {
            return k.Info.ComponentClass == e.Info.ComponentClass;
        });
        if (other != r.Palette.end())
            other->AddedClass = true;
        else
            UnRegisterClass(*e.Info.ComponentClass);
    }
    std::erase_if(r.PropertyEditors, [&](const auto& e) { return e.Module == Module; });
    std::erase_if(r.ComponentEditors, [&](const auto& e) { return e.Module == Module; });
}

// ---- listing ----

std::vector<TComponentRegistration> ComponentRegistrations() {
    std::vector<TComponentRegistration> out;
    for (const TPaletteEntry& e : Registries().Palette)
        out.push_back(e.Info);
    return out;
}

std::vector<TPropertyEditorRegistration> PropertyEditorRegistrations() {
    return Registries().PropertyEditors;
}

std::vector<TComponentEditorRegistration> ComponentEditorRegistrations() {
    return Registries().ComponentEditors;
}

std::vector<std::string> GetComponentPages() {
    std::vector<std::string> pages;
    for (const TPaletteEntry& e : Registries().Palette)
        if (std::none_of(pages.begin(), pages.end(),
                         [&](const std::string& p) { return SameText(p, e.Info.Page); }))
            pages.push_back(e.Info.Page);
    return pages;
}

std::vector<const TClassInfo*> GetPageComponents(std::string_view Page) {
    std::vector<const TClassInfo*> classes;
    for (const TPaletteEntry& e : Registries().Palette)
        if (SameText(e.Info.Page, Page))
            classes.push_back(e.Info.ComponentClass);
    return classes;
}

// ---- choosing editors ----

TPropertyEditorClass DefaultPropertyEditorClass(const TPropInfo& Prop) {
    switch (Prop.Type->Kind) {
    case TTypeKind::Integer:
        if (Prop.Type == &ColorType())
            return PropertyEditorClass<TColorProperty>("TColorProperty");
        return PropertyEditorClass<TIntegerProperty>("TIntegerProperty");
    case TTypeKind::Boolean:
        return PropertyEditorClass<TBoolProperty>("TBoolProperty");
    case TTypeKind::Enumeration:
        return PropertyEditorClass<TEnumProperty>("TEnumProperty");
    case TTypeKind::Set:
        return PropertyEditorClass<TSetProperty>("TSetProperty");
    case TTypeKind::String:
        if (&Prop == TComponent::StaticClassInfo().FindProperty("Name"))
            return PropertyEditorClass<TComponentNameProperty>("TComponentNameProperty");
        return PropertyEditorClass<TStringProperty>("TStringProperty");
    case TTypeKind::Class:
        return PropertyEditorClass<TClassProperty>("TClassProperty");
    case TTypeKind::Component:
        return PropertyEditorClass<TComponentProperty>("TComponentProperty");
    case TTypeKind::Binary:
        return PropertyEditorClass<TBinaryProperty>("TBinaryProperty");
    }
    return PropertyEditorClass<TPropertyEditor>("TPropertyEditor");
}

TPropertyEditorClass GetPropertyEditorClass(const TPropInfo& Prop,
                                            const TClassInfo& ComponentClass) {
    // Smaller is more specific; the later registration breaks a tie through its index.
    using Rank = std::tuple<bool, bool, int, int, std::size_t>;
    const TPropertyEditorRegistration* best = nullptr;
    Rank bestRank{};
    const auto& regs = Registries().PropertyEditors;
    for (std::size_t i = 0; i < regs.size(); ++i) {
        const TPropertyEditorRegistration& r = regs[i];
        const std::optional<int> type = TypeRank(*r.PropertyType, *Prop.Type);
        if (!type || (r.ComponentClass && !ComponentClass.InheritsFrom(*r.ComponentClass)) ||
            (!r.PropertyName.empty() && !SameText(r.PropertyName, Prop.Name)))
            continue;
        const Rank rank{!r.ComponentClass, r.PropertyName.empty(), *type,
                        r.ComponentClass ? Distance(ComponentClass, *r.ComponentClass) : 0,
                        regs.size() - i};
        if (!best || rank < bestRank) {
            best = &r;
            bestRank = rank;
        }
    }
    return best ? best->EditorClass : DefaultPropertyEditorClass(Prop);
}

std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent& Component,
                                                     TFormDesigner* Designer) {
    const auto& regs = Registries().ComponentEditors;
    for (const TClassInfo* c = &Component.ClassInfo(); c; c = c->Parent())
        for (auto r = regs.rbegin(); r != regs.rend(); ++r)
            if (r->ComponentClass == c)
                return r->EditorClass.Create(&Component, Designer);
    return std::make_unique<TDefaultEditor>(&Component, Designer);
}

} // namespace vcl
