#pragma once
// The framework's persistent objects and components: published properties described per class,
// the class registry, owners and notifications. Form files (host/Streaming.h) build on it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vcl {

class TPersistent;
class TComponent;
class TClassInfo;
class TBasicAction;

// ---- published property descriptions ----

enum class TTypeKind : std::uint8_t {
    Integer,     // 32-bit, written as a number or, where the type has one, an identifier
    Boolean,     // False / True
    Enumeration, // written by identifier; the ordinal is the index in Names
    Set,         // of an enumeration; a bit per ordinal, written as [a, b]
    String,      // bytes, written quoted
    Class,       // an owned TPersistent whose own properties are written as Prop.Sub
    Component,   // a reference to another component, written by name
    Binary,      // bytes a class streams in its own format (an image's data), written { hex }
};

// An integer that form files spell by name where it has one (clBlack, crDefault, ...).
struct TIdentMapEntry {
    int Value;
    const char* Name;
};

struct TTypeInfo {
    TTypeKind Kind;
    std::string Name;                      // "Integer", "TBarCodeType", "TFont", ...
    std::vector<std::string> Names;        // Enumeration and Set: identifiers by ordinal
    std::vector<TIdentMapEntry> Idents;    // Integer: identifiers for some values
    const TClassInfo* ClassType = nullptr; // Class and Component

    // The identifier of an ordinal, or "" when it has none.
    std::string IdentOf(std::int64_t Value) const;
    // The ordinal of an identifier (compared without regard to case), if it names one.
    std::optional<std::int64_t> ValueOf(std::string_view Ident) const;
};

// The types every class uses.
const TTypeInfo& IntegerType();
const TTypeInfo& BooleanType();
const TTypeInfo& StringType();
const TTypeInfo& BinaryType();

class TResourceModule;

// One published property: its name, type, how to read and write it, whether it is stored and its
// default. Ordinal kinds (Integer, Boolean, Enumeration, Set) go through GetOrd/SetOrd, strings
// and binary data through GetStr/SetStr (empty data is not written), class-typed values through
// GetObj (and SetObj where the class assigns a whole object), component references through
// GetRef/SetRef.
struct TPropInfo {
    std::string Name;
    const TTypeInfo* Type = nullptr;
    std::function<std::int64_t(const TPersistent&)> GetOrd;
    std::function<void(TPersistent&, std::int64_t)> SetOrd;
    std::function<std::string(const TPersistent&)> GetStr;
    std::function<void(TPersistent&, const std::string&)> SetStr;
    std::function<TPersistent*(const TPersistent&)> GetObj;
    std::function<void(TPersistent&, const TPersistent*)> SetObj;
    std::function<TComponent*(const TPersistent&)> GetRef;
    std::function<void(TPersistent&, TComponent*)> SetRef;
    // Empty: always stored.
    std::function<bool(const TPersistent&)> IsStored;
    // Ordinal kinds only; none means the value is always written.
    std::optional<std::int64_t> Default;

    // Only properties that can be written are streamed.
    bool Writable() const;
    bool Stored(const TPersistent& Instance) const { return !IsStored || IsStored(Instance); }
};

// A published component field of a form or data module class: the owner's field that holds the
// owned component of that name, kept up to date as components are named, renamed and freed.
struct TFieldInfo {
    std::string Name;
    const TClassInfo* ClassType = nullptr;
    // Stores Value (nullptr clears the field); Value must be of ClassType.
    std::function<void(TPersistent&, TComponent*)> Set;
};

// What the framework knows of a class: its name, its base, its own published properties in
// declared order, its published component fields, the module that holds its resources and, for
// components, how to create one.
class TClassInfo {
public:
    // Creates a component owned by Owner, or by the caller when Owner is null.
    using Factory = std::function<TComponent*(TComponent* Owner)>;

    TClassInfo(std::string Name, const TClassInfo* Parent, Factory Create = nullptr);

    const std::string& Name() const { return FName; }
    const TClassInfo* Parent() const { return FParent; }
    bool InheritsFrom(const TClassInfo& Other) const;
    bool IsComponent() const;
    // Creates an instance owned by Owner (by the caller when Owner is null); components only.
    TComponent* Create(TComponent* Owner) const;

    // The base's properties first, then this class's, each in declared order.
    std::vector<const TPropInfo*> Properties() const;
    // The property of that name, compared without regard to case as the framework does.
    const TPropInfo* FindProperty(std::string_view Name) const;
    // The properties a class streams without publishing them (the framework's defined
    // properties): written after the published ones, read where no published property has the
    // name, never shown in an inspector. The base's first.
    std::vector<const TPropInfo*> DefinedProperties() const;
    const TPropInfo* FindDefinedProperty(std::string_view Name) const;
    // Declares a defined property; Info is built as for Add.
    void Define(TPropInfo Info) { FDefined.push_back(std::move(Info)); }

    // The published field of that name, this class's or a base's, compared without regard to
    // case; nullptr when there is none.
    const TFieldInfo* FindField(std::string_view Name) const;
    template <typename T, typename C> void Field(std::string Name, C* T::*Member) {
        FFields.push_back(TFieldInfo{std::move(Name), &C::StaticClassInfo(),
                                     [Member](TPersistent& o, TComponent* v) {
                                         static_cast<T&>(o).*Member = static_cast<C*>(v);
                                     }});
    }

    // The module whose resources hold the class's form layout; nullptr for a class without one.
    const TResourceModule* Module() const { return FModule; }
    void SetModule(const TResourceModule* Value) { FModule = Value; }

    // Declaring properties, for a class T deriving from TPersistent.
    TPropInfo& Add(TPropInfo Info);
    // Setters may be null for read-only properties; the setter's types follow the getter's.
    template <typename T, typename V>
    TPropInfo& Ordinal(std::string Name, const TTypeInfo& Type, V (T::*Get)() const,
                       void (std::type_identity_t<T>::*Set)(std::type_identity_t<V>)) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Type = &Type;
        p.GetOrd = [Get](const TPersistent& o) {
            return static_cast<std::int64_t>((static_cast<const T&>(o).*Get)());
        };
        if (Set)
            p.SetOrd = [Set](TPersistent& o, std::int64_t v) {
                (static_cast<T&>(o).*Set)(static_cast<V>(v));
            };
        return Add(std::move(p));
    }
    template <typename T>
    TPropInfo& Bytes(std::string Name, std::string (T::*Get)() const,
                     void (std::type_identity_t<T>::*Set)(const std::string&)) {
        TPropInfo& p = String<T, std::string>(std::move(Name), Get, Set);
        p.Type = &BinaryType();
        return p;
    }
    template <typename T, typename R>
    TPropInfo& String(std::string Name, R (T::*Get)() const,
                      void (std::type_identity_t<T>::*Set)(const std::string&)) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Type = &StringType();
        p.GetStr = [Get](const TPersistent& o) {
            return std::string((static_cast<const T&>(o).*Get)());
        };
        if (Set)
            p.SetStr = [Set](TPersistent& o, const std::string& v) {
                (static_cast<T&>(o).*Set)(v);
            };
        return Add(std::move(p));
    }
    // A class-typed property: Get hands out the object the instance owns; Set, where there is
    // one, takes over another object's values (a null pointer is the framework's nil).
    template <typename T, typename C>
    TPropInfo& Object(std::string Name, const TTypeInfo& Type, C& (T::*Get)(),
                      void (std::type_identity_t<T>::*Set)(const std::type_identity_t<C>*)) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Type = &Type;
        p.GetObj = [Get](const TPersistent& o) -> TPersistent* {
            return &(const_cast<T&>(static_cast<const T&>(o)).*Get)();
        };
        if (Set)
            p.SetObj = [Set](TPersistent& o, const TPersistent* v) {
                (static_cast<T&>(o).*Set)(dynamic_cast<const C*>(v));
            };
        return Add(std::move(p));
    }
    template <typename T, typename C>
    TPropInfo& Reference(std::string Name, const TTypeInfo& Type, C* (T::*Get)() const,
                         void (std::type_identity_t<T>::*Set)(std::type_identity_t<C>*)) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Type = &Type;
        p.GetRef = [Get](const TPersistent& o) -> TComponent* {
            return (static_cast<const T&>(o).*Get)();
        };
        if (Set)
            p.SetRef = [Set](TPersistent& o, TComponent* v) {
                (static_cast<T&>(o).*Set)(dynamic_cast<C*>(v));
            };
        return Add(std::move(p));
    }

private:
    std::string FName;
    const TClassInfo* FParent;
    Factory FCreate;
    template <typename T>
    const T* FindInChain(std::vector<T> TClassInfo::*List, std::string_view Name) const;

    std::vector<TPropInfo> FProps;
    std::vector<TPropInfo> FDefined;
    std::vector<TFieldInfo> FFields;
    const TResourceModule* FModule = nullptr;
};

// The factory of a component class with the usual constructor taking its owner.
template <typename T> TComponent* CreateComponent(TComponent* Owner) {
    return new T(Owner);
}

// The class registry, through which a form file's class names become components.
void RegisterClass(const TClassInfo& Info);
// Forgets Info, as the designer forgets an unloaded package's classes; a name that stands for
// another class by now keeps it.
void UnRegisterClass(const TClassInfo& Info);
const TClassInfo* FindClass(std::string_view Name);
// Raises EClassNotFound when the name is not registered.
const TClassInfo& GetClass(std::string_view Name);

// ---- persistent objects ----

class TPersistent {
public:
    virtual ~TPersistent() = default;
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    // Copies the values of Source. The default refuses, as the framework does, with
    // EConvertError "Cannot assign a X to a Y".
    virtual void Assign(const TPersistent& Source);
    virtual const TClassInfo& ClassInfo() const;
    std::string ClassName() const { return ClassInfo().Name(); }
    static const TClassInfo& StaticClassInfo();

protected:
    // Called by Assign when this object does not know Source's class; lets Source copy itself
    // into this object instead. Raises the conversion error when it cannot either.
    virtual void AssignTo(TPersistent& Dest) const;
};

// ---- components ----

enum TComponentStateFlag : std::uint8_t {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
};
// A set of TComponentStateFlag, a bit per member.
class TComponentState {
public:
    bool Contains(TComponentStateFlag F) const { return FBits & (1u << F); }
    void Include(TComponentStateFlag F) { FBits = static_cast<std::uint16_t>(FBits | (1u << F)); }
    void Exclude(TComponentStateFlag F) { FBits = static_cast<std::uint16_t>(FBits & ~(1u << F)); }
    bool Empty() const { return FBits == 0; }

private:
    std::uint16_t FBits = 0;
};

enum TOperation : std::uint8_t { opInsert, opRemove };

// A component lives as long as its owner, which frees the components it owns in the reverse order
// of their insertion. One that is freed tells every component that asked for a free
// notification. Components are not copied; Assign copies values where a class allows it.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* GetOwner() const { return FOwner; }
    std::string GetName() const { return FName; }
    // A valid identifier (or empty), unique among the owner's components; else EComponentError.
    void SetName(const std::string& Value);
    int GetTag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // Where a designer placed a non-visual component: Left in the low 16 bits, Top in the high
    // ones, each 0 to 65535. Streamed as Left and Top when not zero, as the framework does.
    std::uint32_t GetDesignInfo() const { return FDesignInfo; }
    void SetDesignInfo(std::uint32_t Value) { FDesignInfo = Value; }

    TComponentState GetComponentState() const { return FComponentState; }
    bool InState(TComponentStateFlag F) const { return FComponentState.Contains(F); }
    // The form loader's and the designer's switches.
    void SetLoading(bool Value);
    void SetDesigning(bool Value, bool IncludeOwned = true);

    int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* GetComponent(int Index) const;
    // The owned component of that name (compared without regard to case), or nullptr.
    TComponent* FindComponent(std::string_view Name) const;
    // Moves AComponent into this component's ownership (out of its former owner's).
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, the last inserted first.
    void DestroyComponents();

    // AComponent will be told, through Notification(this, opRemove), when this component goes.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Called after the form loader has set every property of every component it read.
    virtual void Loaded();

    // The form file's nesting. A root hands its children to Proc in the order they are written
    // (a form: its controls, then its other components); a component with a parent (a control)
    // is written inside it and given it again when read.
    virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const;
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value);

    const TClassInfo& ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Lets the component carry out an action on its target, or bring it up to date, on the
    // action's behalf; true when it did. A component handles none by default.
    virtual bool ExecuteAction(TBasicAction&) { return false; }
    virtual bool UpdateAction(TBasicAction&) { return false; }

    // Framework messages dispatched by number (CM_... ); answers 0 to those it does not handle.
    virtual std::intptr_t Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam);

protected:
    // Told of components inserted into or removed from the owner, and of components whose free
    // notification it asked for going away. The default passes it on to the owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Lets an owner validate names of its own.
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    // Points the owner's published field of this component's name at it, or clears it.
    void SetReference(bool Enable);
    // Raises EComponentError when Owner has a field named Name of a class this one is not.
    void CheckField(const TComponent& Owner, const std::string& Name) const;

    TComponent* FOwner = nullptr;
    std::string FName;
    int FTag = 0;
    std::uint32_t FDesignInfo = 0;
    TComponentState FComponentState;
    std::vector<TComponent*> FComponents;
    // Counts the changes to FComponents, so that a walk over a copy knows when to look again.
    std::uint64_t FComponentsVersion = 0;
    std::vector<TComponent*> FFreeNotifies;
};

// An action of the application. A target (a dataset, for a data link) asks whether the action
// handles it before it has the action carry itself out on it or bring itself up to date.
class TBasicAction : public TComponent {
public:
    using TComponent::TComponent;
    virtual bool HandlesTarget(TPersistent*) const { return false; }
    // What the action does to Target; the default does nothing and reports not handled.
    virtual bool ExecuteTarget(TPersistent&) { return false; }
    virtual bool UpdateTarget(TPersistent&) { return false; }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
};

// Reads the layout of Instance's class from its module: the RCDATA resource named after the
// class in capitals, a form file in either form, read into Instance with ReadComponentInto. The
// nearest class between Instance's own and RootAncestor (not included) that has a module is
// looked up; the layout holds the whole tree. Answers false when no such class has a layout.
bool InitInheritedComponent(TComponent& Instance, const TClassInfo& RootAncestor);

// Whether Name is a valid Pascal identifier.
bool IsValidIdent(std::string_view Name);
// Compares identifiers the way the framework does: ASCII letters without regard to case.
bool SameText(std::string_view A, std::string_view B);

} // namespace vcl
