// Opening a library on first use, for the libraries only some of the work needs.
#include "host/sysutils/LateLibrary.h"

#include <dlfcn.h>

namespace vcl::detail {

std::string OpenLateLibrary(const char* SoName,
                            std::initializer_list<std::pair<const char*, void**>> Functions) {
    const auto none = [&](std::string Why) {
        for (const auto& entry : Functions)
            *entry.second = nullptr;
        return Why;
    };
    // Local: the functions are reached through the table only, and no other library's symbols
    // bind to these by chance. A second open of the same name returns the same handle.
    void* handle = dlopen(SoName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return none(why ? why : std::string(SoName) + ": cannot be opened");
    }
    for (const auto& [name, slot] : Functions) {
        dlerror();
        *slot = dlsym(handle, name);
        if (!*slot) {
            const char* why = dlerror();
            return none(why ? why : std::string(SoName) + ": no function " + name);
        }
    }
    return {};
}

} // namespace vcl::detail
