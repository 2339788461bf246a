#pragma once
// The designer's side of design-time code: the attributes an editor shows the object inspector,
// the form designer that editors talk to, how an editor class is named, and the registries a
// package's Register fills (the palette, property editors, component editors), each entry
// tagged with the module that made it so that unloading the module takes it all back.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/classes/Classes.h"

namespace vcl {

class TPropertyEditor;
class TComponentEditor;

// ---- property attributes ----

// In the framework's order: each value is the attribute's bit in the set.
enum TPropertyAttribute : std::uint8_t {
    paValueList,     // the editor offers a list of values (GetValues)
    paSubProperties, // the property opens into sub-properties (GetProperties)
    paDialog,        // Edit opens a dialog: the inspector shows an ellipsis button
    paMultiSelect,   // shown when several components are selected
    paAutoUpdate,    // each change of the edited text is set at once, not on Enter
    paSortList,      // the inspector sorts the value list
    paReadOnly,      // the value is not typed in
    paRevertable,    // the value can be reverted to the inherited one
};

// A set of TPropertyAttribute laid out as the framework's set: one byte, a bit per ordinal, so
// [paDialog, paMultiSelect, paAutoUpdate] is the byte 28.
class TPropertyAttributes {
public:
    constexpr TPropertyAttributes() = default;
    constexpr TPropertyAttributes(std::initializer_list<TPropertyAttribute> Members) {
        for (TPropertyAttribute a : Members)
            FBits = static_cast<std::uint8_t>(FBits | Bit(a));
    }
    static constexpr TPropertyAttributes FromByte(std::uint8_t Bits) {
        TPropertyAttributes s;
        s.FBits = Bits;
        return s;
    }
    constexpr std::uint8_t Byte() const { return FBits; }
    constexpr bool Contains(TPropertyAttribute A) const { return FBits & Bit(A); }
    constexpr bool Empty() const { return FBits == 0; }
    // Union and difference, as the framework's + and - on sets.
    constexpr TPropertyAttributes operator+(TPropertyAttributes Other) const {
        return FromByte(static_cast<std::uint8_t>(FBits | Other.FBits));
    }
    constexpr TPropertyAttributes operator-(TPropertyAttributes Other) const {
        return FromByte(static_cast<std::uint8_t>(FBits & ~Other.FBits));
    }
    constexpr bool operator==(const TPropertyAttributes&) const = default;

private:
    static constexpr std::uint8_t Bit(TPropertyAttribute A) {
        return static_cast<std::uint8_t>(1u << A);
    }
    std::uint8_t FBits = 0;
};
static_assert(sizeof(TPropertyAttributes) == 1);

// ---- the form designer ----

// The designer of one root (a form or data module) as editors see it. The designer decides what
// a change means (marking the form unsaved, repainting the inspector); it does not own the
// root.
class TFormDesigner {
public:
    explicit TFormDesigner(TComponent* ARoot = nullptr) : FRoot(ARoot) {}
    virtual ~TFormDesigner() = default;
    TFormDesigner(const TFormDesigner&) = delete;
    TFormDesigner& operator=(const TFormDesigner&) = delete;

    // An editor changed the root or one of its components.
    virtual void Modified() = 0;

    TComponent* GetRoot() const { return FRoot; }
    void SetRoot(TComponent* ARoot) { FRoot = ARoot; }

    // The names of the root's named components that are of ClassType, in the order the root
    // owns them: the values a component reference offers.
    virtual void GetComponentNames(const TClassInfo& ClassType,
                                   const std::function<void(const std::string&)>& Proc) const;
    // The root's component of that name (without regard to case), the root itself for its own
    // name, or nullptr.
    virtual TComponent* GetComponent(std::string_view Name) const;
    // How a reference to Component is shown: its name, qualified by its owner's when it lives
    // outside the root; "" for nil.
    virtual std::string GetComponentName(const TComponent* Component) const;
    // A name no component of the root has yet, from a class name: "TButton" gives Button1,
    // Button2, ...
    virtual std::string UniqueName(std::string_view BaseName) const;
    // A new component of ComponentClass owned by the root, named with UniqueName and, when it
    // has parents, placed on the root. Raises EInvalidOperation when there is no root.
    virtual TComponent* CreateComponent(const TClassInfo& ComponentClass);

private:
    TComponent* FRoot;
};

// A designer without a window: it counts the changes it is told of. For tests and for a
// designer driven from the command line.
class THeadlessDesigner : public TFormDesigner {
public:
    using TFormDesigner::TFormDesigner;
    void Modified() override;
    int ModifiedCount() const { return FModifiedCount; }
    void ResetModified() { FModifiedCount = 0; }
    // Told of each change after it is counted.
    std::function<void()> OnModified;

private:
    int FModifiedCount = 0;
};

// ---- editor classes ----

// One instance and the property of its class that an editor edits.
struct TInstProp {
    TPersistent* Instance = nullptr;
    const TPropInfo* PropInfo = nullptr;
};

// What Pascal calls a class reference to a property editor class: a name for listings and a
// factory. Declare one with PropertyEditorClass<TMyEdit>("TMyEdit").
struct TPropertyEditorClass {
    using Factory = std::unique_ptr<TPropertyEditor> (*)(TFormDesigner* Designer,
                                                         std::vector<TInstProp> Entries);
    std::string Name;
    Factory Create = nullptr;
    bool operator==(const TPropertyEditorClass&) const = default;
};

template <typename T>
std::unique_ptr<TPropertyEditor> CreatePropertyEditor(TFormDesigner* Designer,
                                                      std::vector<TInstProp> Entries) {
    return std::make_unique<T>(Designer, std::move(Entries));
}
// T derives from TPropertyEditor and keeps its constructor (using TStringProperty::...).
template <typename T> TPropertyEditorClass PropertyEditorClass(std::string Name) {
    return TPropertyEditorClass{std::move(Name), &CreatePropertyEditor<T>};
}

// The same for component editors: ComponentEditorClass<TMyCompEdit>("TMyCompEdit").
struct TComponentEditorClass {
    using Factory = std::unique_ptr<TComponentEditor> (*)(TComponent* Component,
                                                          TFormDesigner* Designer);
    std::string Name;
    Factory Create = nullptr;
    bool operator==(const TComponentEditorClass&) const = default;
};

template <typename T>
std::unique_ptr<TComponentEditor> CreateComponentEditor(TComponent* Component,
                                                        TFormDesigner* Designer) {
    return std::make_unique<T>(Component, Designer);
}
template <typename T> TComponentEditorClass ComponentEditorClass(std::string Name) {
    return TComponentEditorClass{std::move(Name), &CreateComponentEditor<T>};
}

// ---- registration ----

// The module whose registrations are being made: everything registered until the matching end
// is tagged with it. Begin answers the tag it replaces, which End puts back; the tag outside
// any module is nullptr.
const void* BeginModuleRegistration(const void* Module);
void EndModuleRegistration(const void* Previous = nullptr);
const void* CurrentRegistrationModule();

// Tags the registrations made during its lifetime, as a package's Register is called.
class TModuleRegistration {
public:
    explicit TModuleRegistration(const void* Module) : FPrevious(BeginModuleRegistration(Module)) {}
    ~TModuleRegistration() { EndModuleRegistration(FPrevious); }
    TModuleRegistration(const TModuleRegistration&) = delete;
    TModuleRegistration& operator=(const TModuleRegistration&) = delete;

private:
    const void* FPrevious;
};

// Puts Classes on the palette page Page (made when first named), after those already there,
// and registers each with the class registry so that form files can name it. Raises
// EComponentError, registering nothing, when one is null or not a component class.
void RegisterComponents(const std::string& Page, const std::vector<const TClassInfo*>& Classes);

// Edits properties of PropertyType (for class-typed ones: of that class or one derived from
// it) with EditorClass; a null ComponentClass matches every class, an empty PropertyName every
// property. Raises EPropertyError for a null type or an editor class without a factory.
void RegisterPropertyEditor(const TTypeInfo* PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass);

// Edits components of ComponentClass and the classes derived from it with EditorClass.
// Raises EComponentError for a null class or an editor class without a factory.
void RegisterComponentEditor(const TClassInfo* ComponentClass, TComponentEditorClass EditorClass);

// The registrations as they stand, in the order they were made.
struct TComponentRegistration {
    std::string Page;
    const TClassInfo* ComponentClass = nullptr;
    const void* Module = nullptr;
};
struct TPropertyEditorRegistration {
    const TTypeInfo* PropertyType = nullptr;
    const TClassInfo* ComponentClass = nullptr;
    std::string PropertyName;
    TPropertyEditorClass EditorClass;
    const void* Module = nullptr;
};
struct TComponentEditorRegistration {
    const TClassInfo* ComponentClass = nullptr;
    TComponentEditorClass EditorClass;
    const void* Module = nullptr;
};
std::vector<TComponentRegistration> ComponentRegistrations();
std::vector<TPropertyEditorRegistration> PropertyEditorRegistrations();
std::vector<TComponentEditorRegistration> ComponentEditorRegistrations();

// The palette: the pages in the order they were first named, and a page's classes in the order
// they were put there (none for a page that is not there; pages compare without regard to case).
std::vector<std::string> GetComponentPages();
std::vector<const TClassInfo*> GetPageComponents(std::string_view Page);

// The editor class for Prop of ComponentClass: the most specific registration that matches,
// else the default editor of the property's kind (DefaultPropertyEditorClass). Of two matching
// registrations the one with a component class wins over one without, then the one with a
// property name, then the one whose type is nearer the property's (the very type before a base
// class), then the one with the more derived component class, then the later.
TPropertyEditorClass GetPropertyEditorClass(const TPropInfo& Prop,
                                            const TClassInfo& ComponentClass);
// The editor of a property's kind when nothing more specific is registered (TColorProperty for
// colours, TComponentNameProperty for a component's Name).
TPropertyEditorClass DefaultPropertyEditorClass(const TPropInfo& Prop);

// Takes back everything registered while Module was the registration module: its palette
// entries (and their classes from the class registry, unless another module still has them on
// its palette or they were registered before), property editors and component editors.
void UnregisterModuleClasses(const void* Module);

} // namespace vcl
