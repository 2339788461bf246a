// Persistent objects, published property descriptions, the class registry and components.
#include "host/classes/Classes.h"

#include <algorithm>
#include <map>

#include "host/sysutils/SysUtils.h"

namespace vcl {

// ---- identifiers ----

bool SameText(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(A[i])) != lower(static_cast<unsigned char>(B[i])))
            return false;
    }
    return true;
}

bool IsValidIdent(std::string_view Name) {
    auto alpha = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    if (Name.empty() || !alpha(static_cast<unsigned char>(Name[0])))
        return false;
    return std::all_of(Name.begin(), Name.end(), [&](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return alpha(c) || (c >= '0' && c <= '9');
    });
}

// ---- types and properties ----

std::string TTypeInfo::IdentOf(std::int64_t Value) const {
    if (Kind == TTypeKind::Enumeration) {
        if (Value >= 0 && Value < static_cast<std::int64_t>(Names.size()))
            return Names[static_cast<std::size_t>(Value)];
        return {};
    }
    if (Kind == TTypeKind::Boolean)
        return Value ? "True" : "False";
    for (const TIdentMapEntry& e : Idents)
        if (e.Value == Value)
            return e.Name;
    return {};
}

std::optional<std::int64_t> TTypeInfo::ValueOf(std::string_view Ident) const {
    if (Kind == TTypeKind::Enumeration || Kind == TTypeKind::Set) {
        for (std::size_t i = 0; i < Names.size(); ++i)
            if (SameText(Names[i], Ident))
                return static_cast<std::int64_t>(i);
        return std::nullopt;
    }
    if (Kind == TTypeKind::Boolean) {
        if (SameText(Ident, "False"))
            return 0;
        if (SameText(Ident, "True"))
            return 1;
        return std::nullopt;
    }
    for (const TIdentMapEntry& e : Idents)
        if (SameText(e.Name, Ident))
            return e.Value;
    return std::nullopt;
}

const TTypeInfo& IntegerType() {
    static const TTypeInfo t{TTypeKind::Integer, "Integer", {}, {}, nullptr};
    return t;
}
const TTypeInfo& BooleanType() {
    static const TTypeInfo t{TTypeKind::Boolean, "Boolean", {"False", "True"}, {}, nullptr};
    return t;
}
const TTypeInfo& StringType() {
    static const TTypeInfo t{TTypeKind::String, "string", {}, {}, nullptr};
    return t;
}

const TTypeInfo& BinaryType() {
    static const TTypeInfo t{TTypeKind::Binary, "binary", {}, {}, nullptr};
    return t;
}

bool TPropInfo::Writable() const {
    switch (Type->Kind) {
    case TTypeKind::String:
    case TTypeKind::Binary:
        return static_cast<bool>(SetStr);
    case TTypeKind::Class:
        return static_cast<bool>(SetObj) && static_cast<bool>(GetObj);
    case TTypeKind::Component:
        return static_cast<bool>(SetRef);
    default:
        return static_cast<bool>(SetOrd);
    }
}

// ---- class descriptions and the registry ----

TClassInfo::TClassInfo(std::string Name, const TClassInfo* Parent, Factory Create)
    : FName(std::move(Name)), FParent(Parent), FCreate(std::move(Create)) {}

bool TClassInfo::InheritsFrom(const TClassInfo& Other) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        if (c == &Other)
            return true;
    return false;
}

bool TClassInfo::IsComponent() const {
    return InheritsFrom(TComponent::StaticClassInfo());
}

TComponent* TClassInfo::Create(TComponent* Owner) const {
    if (!FCreate)
        throw EClassNotFound("Class " + FName + " cannot be created");
    return FCreate(Owner);
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
    std::vector<const TPropInfo*> all =
        FParent ? FParent->Properties() : std::vector<const TPropInfo*>{};
    for (const TPropInfo& p : FProps) {
        // A class may publish an inherited property again (with its own default or storage
        // rule); it keeps the inherited place.
        auto same = std::find_if(all.begin(), all.end(),
                                 [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
        if (same != all.end())
            *same = &p;
        else
            all.push_back(&p);
    }
    return all;
}

// The first entry of that name in a list of the class's own, then of its bases'.
template <typename T>
const T* TClassInfo::FindInChain(std::vector<T> TClassInfo::*List, std::string_view Name) const {
    for (const TClassInfo* c = this; c; c = c->FParent)
        for (const T& e : c->*List)
            if (SameText(e.Name, Name))
                return &e;
    return nullptr;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view Name) const {
    return FindInChain(&TClassInfo::FProps, Name);
}

std::vector<const TPropInfo*> TClassInfo::DefinedProperties() const {
    std::vector<const TPropInfo*> all =
        FParent ? FParent->DefinedProperties() : std::vector<const TPropInfo*>{};
    for (const TPropInfo& p : FDefined)
        all.push_back(&p);
    return all;
}

const TPropInfo* TClassInfo::FindDefinedProperty(std::string_view Name) const {
    return FindInChain(&TClassInfo::FDefined, Name);
}

const TFieldInfo* TClassInfo::FindField(std::string_view Name) const {
    return FindInChain(&TClassInfo::FFields, Name);
}

TPropInfo& TClassInfo::Add(TPropInfo Info) {
    FProps.push_back(std::move(Info));
    return FProps.back();
}

namespace {
std::map<std::string, const TClassInfo*>& Registry() {
    static std::map<std::string, const TClassInfo*> registry;
    return registry;
}
std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return u;
}
} // namespace

void RegisterClass(const TClassInfo& Info) {
    Registry()[Upper(Info.Name())] = &Info;
}

void UnRegisterClass(const TClassInfo& Info) {
    const auto it = Registry().find(Upper(Info.Name()));
    if (it != Registry().end() && it->second == &Info)
        Registry().erase(it);
}

const TClassInfo* FindClass(std::string_view Name) {
    const auto it = Registry().find(Upper(Name));
    return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& GetClass(std::string_view Name) {
    if (const TClassInfo* c = FindClass(Name))
        return *c;
    throw EClassNotFound("Class " + std::string(Name) + " not found");
}

// ---- persistent objects ----

void TPersistent::Assign(const TPersistent& Source) {
    Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& Dest) const {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest.ClassName());
}

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo info("TPersistent", nullptr);
    return info;
}
const TClassInfo& TPersistent::ClassInfo() const {
    return StaticClassInfo();
}

// ---- components ----

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState.Include(csDestroying);
    // Those that asked are told first, while this component is still whole.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        std::erase(other->FFreeNotifies, this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& Value) {
    if (Value == FName)
        return;
    if (!Value.empty() && !IsValidIdent(Value))
        throw EComponentError("'" + Value + "' is not a valid component name");
    if (FOwner) {
        FOwner->ValidateRename(this, FName, Value);
        CheckField(*FOwner, Value);
    }
    SetReference(false);
    FName = Value;
    SetReference(true);
}

void TComponent::CheckField(const TComponent& Owner, const std::string& Name) const {
    if (Name.empty())
        return;
    if (const TFieldInfo* f = Owner.ClassInfo().FindField(Name);
        f && !ClassInfo().InheritsFrom(*f->ClassType))
        throw EComponentError("Cannot name a " + ClassName() + " " + Name + ": field " +
                              Owner.ClassName() + "." + f->Name + " holds a " +
                              f->ClassType->Name());
}

void TComponent::SetReference(bool Enable) {
    // An owner being destroyed has already lost the class that declared its fields.
    if (!FOwner || FName.empty() || FOwner->InState(csDestroying))
        return;
    if (const TFieldInfo* f = FOwner->ClassInfo().FindField(FName))
        f->Set(*FOwner, Enable ? this : nullptr);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
    if (NewName.empty() || SameText(CurName, NewName))
        return;
    if (TComponent* other = FindComponent(NewName); other && other != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::SetLoading(bool Value) {
    if (Value)
        FComponentState.Include(csLoading);
    else
        FComponentState.Exclude(csLoading);
}

void TComponent::SetDesigning(bool Value, bool IncludeOwned) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (IncludeOwned)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

TComponent* TComponent::GetComponent(int Index) const {
    if (Index < 0 || Index >= GetComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<std::size_t>(Index)];
}

TComponent* TComponent::FindComponent(std::string_view Name) const {
    if (Name.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, Name))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this)
        return;
    ValidateRename(AComponent, "", AComponent->FName);
    AComponent->CheckField(*this, AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    // A component that joins a designer's form is in the designer too.
    if (InState(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    ++FComponentsVersion;
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    AComponent->SetReference(true);
}

void TComponent::Remove(TComponent* AComponent) {
    ++FComponentsVersion;
    AComponent->SetReference(false);
    std::erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        Remove(last);
        delete last;
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this)
        return;
    // Both sides remember the other, so that whichever goes first tells the other.
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    std::erase(FFreeNotifies, AComponent);
    if (AComponent)
        std::erase(AComponent->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Copy: a component told of a removal may free others, which are then not told. Each is
    // looked up again only once the list has changed, so that a form of n components loads in
    // n^2 rather than n^3.
    const std::vector<TComponent*> owned = FComponents;
    const std::uint64_t version = FComponentsVersion;
    for (TComponent* c : owned)
        if (FComponentsVersion == version ||
            std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
            c->Notification(AComponent, Operation);
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) const {}

void TComponent::SetParentComponent(TComponent*) {}

std::intptr_t TComponent::Perform(unsigned, std::intptr_t, std::intptr_t) {
    return 0;
}

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TComponent", &TPersistent::StaticClassInfo());
        // The name is written in the object's header, never as a property.
        c.String<TComponent>("Name", &TComponent::GetName, &TComponent::SetName).IsStored =
            [](const TPersistent&) { return false; };
        c.Ordinal<TComponent, int>("Tag", IntegerType(), &TComponent::GetTag, &TComponent::SetTag)
            .Default = 0;
        // The designer's place of the component, as two halves of DesignInfo; a control keeps
        // its own published Left and Top, which the reader finds first.
        for (const int shift : {0, 16}) {
            TPropInfo p;
            p.Name = shift == 0 ? "Left" : "Top";
            p.Type = &IntegerType();
            p.GetOrd = [shift](const TPersistent& o) -> std::int64_t {
                return (static_cast<const TComponent&>(o).GetDesignInfo() >> shift) & 0xFFFFu;
            };
            p.SetOrd = [shift, name = p.Name](TPersistent& o, std::int64_t v) {
                if (v < 0 || v > 0xFFFF)
                    throw EConvertError(name + " of a component must be 0 to 65535, not " +
                                        std::to_string(v));
                auto& c = static_cast<TComponent&>(o);
                const std::uint32_t mask = 0xFFFFu << shift;
                c.SetDesignInfo((c.GetDesignInfo() & ~mask) |
                                (static_cast<std::uint32_t>(v) << shift));
            };
            p.Default = 0;
            c.Define(std::move(p));
        }
        return c;
    }();
    return info;
}
const TClassInfo& TComponent::ClassInfo() const {
    return StaticClassInfo();
}

// ---- actions ----

const TClassInfo& TBasicAction::StaticClassInfo() {
    static const TClassInfo info("TBasicAction", &TComponent::StaticClassInfo(),
                                 &CreateComponent<TBasicAction>);
    return info;
}

} // namespace vcl
