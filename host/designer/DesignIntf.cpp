// The form designer's services to editors, and the headless designer.
#include "host/designer/DesignIntf.h"

#include <memory>

#include "host/sysutils/SysUtils.h"

namespace vcl {

void TFormDesigner::GetComponentNames(const TClassInfo& ClassType,
                                      const std::function<void(const std::string&)>& Proc) const {
    if (!FRoot)
        return;
    for (int i = 0; i < FRoot->GetComponentCount(); ++i) {
        const TComponent* c = FRoot->GetComponent(i);
        if (!c->GetName().empty() && c->ClassInfo().InheritsFrom(ClassType))
            Proc(c->GetName());
    }
}

TComponent* TFormDesigner::GetComponent(std::string_view Name) const {
    if (!FRoot || Name.empty())
        return nullptr;
    if (SameText(FRoot->GetName(), Name))
        return FRoot;
    return FRoot->FindComponent(Name);
}

std::string TFormDesigner::GetComponentName(const TComponent* Component) const {
    if (!Component)
        return {};
    const TComponent* owner = Component->GetOwner();
    // A reference into another root is written qualified, as form files write it.
    if (Component != FRoot && owner && owner != FRoot && !owner->GetName().empty())
        return owner->GetName() + "." + Component->GetName();
    return Component->GetName();
}

std::string TFormDesigner::UniqueName(std::string_view BaseName) const {
    std::string base(BaseName);
    if (base.size() > 1 && (base[0] == 'T' || base[0] == 't'))
        base.erase(0, 1);
    if (!IsValidIdent(base))
        base = "Component";
    for (int n = 1;; ++n) {
        std::string name = base + std::to_string(n);
        if (!GetComponent(name))
            return name;
    }
}

TComponent* TFormDesigner::CreateComponent(const TClassInfo& ComponentClass) {
    if (!FRoot)
        throw EInvalidOperation("Cannot create a " + ComponentClass.Name() +
                                ": the designer has no root");
    const std::string name = UniqueName(ComponentClass.Name());
    std::unique_ptr<TComponent> c(ComponentClass.Create(nullptr));
    c->SetName(name);
    FRoot->InsertComponent(c.get());
    if (c->HasParent())
        c->SetParentComponent(FRoot);
    Modified();
    return c.release();
}

void THeadlessDesigner::Modified() {
    ++FModifiedCount;
    if (OnModified)
        OnModified();
}

} // namespace vcl
