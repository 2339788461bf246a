// Finding and loading the command's modules.
#include "tools/lumivex/Modules.h"

#include <dlfcn.h>

#include <filesystem>

#include "host/sysutils/SysUtils.h"

#ifndef LUMIVEX_HOSTS_FROM_BIN
#define LUMIVEX_HOSTS_FROM_BIN "../lib/lumivex"
#endif

namespace lumivex::cli {

void* LoadModule(const char* FileName, std::string& Why) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    Why = std::string("no ") + FileName + " beside lumivex or in " LUMIVEX_HOSTS_FROM_BIN;
    for (const std::filesystem::path& dir :
         {self.parent_path(), self.parent_path() / LUMIVEX_HOSTS_FROM_BIN}) {
        const std::filesystem::path file = dir / FileName;
        if (!std::filesystem::exists(file, ec))
            continue;
        if (void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        const char* error = ::dlerror();
        Why = error ? error : file.string();
    }
    return nullptr;
}

VectorWriter LoadVectorWriter() {
    static const VectorWriter Writer = [] {
        std::string why;
        void* module = LoadModule(LUMIVEX_VECTOR_MODULE, why);
        const auto entry = module ? reinterpret_cast<decltype(&LUMIVEX_VECTOR_ENTRY)>(
                                        ::dlsym(module, "lumivex_vector_writer"))
                                  : nullptr;
        if (module && !entry)
            why = LUMIVEX_VECTOR_MODULE " has no writer";
        if (!entry)
            throw vcl::EWriteError("Cannot write vector files (" + why + ")");
        return entry();
    }();
    return Writer;
}

} // namespace lumivex::cli
