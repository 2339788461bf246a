// Opening a library on first use, for the libraries only some of the work needs.
#include "host/sysutils/LateLibrary.h"

#include <dlfcn.h>

namespace vcl::detail {

std::string OpenLateLibrary(const char* SoName,
                            std::initializer_list<std::pair<const char*, void**>> Functions) {
    // Local: the functions are reached through the table only, and no other library's symbols
    // bind to these by chance. A second open of the same name returns the same handle.
    for (const auto& entry : Functions)
        *entry.second = nullptr;
    void* handle = dlopen(SoName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return why ? why : std::string(SoName) + ": cannot be opened";
    }
    for (const auto& [name, slot] : Functions) {
        dlerror();
        void* address = dlsym(handle, name);
        if (!address) {
            for (const auto& entry : Functions)
                *entry.second = nullptr;
            const char* why = dlerror();
            return why ? why : std::string(SoName) + ": no function " + name;
        }
        *slot = address;
    }
    return {};
}

} // namespace vcl::detail
