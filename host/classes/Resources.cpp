// Resources by type and name, and the form layouts read from them.
#include "host/classes/Resources.h"

#include <string>

#include "host/classes/Classes.h"
#include "host/classes/Streaming.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

const TResourceEntry* TResourceModule::Find(TResourceType Type, std::string_view Name) const {
    for (const TResourceEntry& e : FEntries)
        if (e.Type == Type && SameText(e.Name, Name))
            return &e;
    return nullptr;
}

std::string_view LoadResource(const TResourceModule& Module, TResourceType Type,
                              std::string_view Name) {
    if (const TResourceEntry* e = Module.Find(Type, Name))
        return e->Data;
    throw EResNotFound("Resource " + std::string(Name) + " not found");
}

bool InitInheritedComponent(TComponent& Instance, const TClassInfo& RootAncestor) {
    for (const TClassInfo* c = &Instance.ClassInfo(); c && c != &RootAncestor; c = c->Parent()) {
        if (!c->Module())
            continue;
        // Stored in capitals; Find compares without regard to case.
        const TResourceEntry* layout = c->Module()->Find(RT_RCDATA, c->Name());
        if (!layout)
            continue;
        ReadComponentInto(std::string(layout->Data), Instance);
        return true;
    }
    return false;
}

} // namespace vcl
