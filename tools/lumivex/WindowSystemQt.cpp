// A build with Qt: the preview's window is a Qt window, from the Qt module loaded only now.
#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/lumivex/PreviewCommand.h"
#include "tools/lumivex/UsageError.h"
#include "tools/lumivex/WindowSystemModule.h"

#ifndef LUMIVEX_HOSTS_FROM_BIN
#define LUMIVEX_HOSTS_FROM_BIN "../lib/lumivex"
#endif

namespace lumivex::cli {

namespace {

// Beside this program in the build tree, or where the install puts the editions' programs.
void* LoadQtModule() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string why = "no " LUMIVEX_QT_MODULE " beside lumivex or in " LUMIVEX_HOSTS_FROM_BIN;
    for (const std::filesystem::path& dir :
         {self.parent_path(), self.parent_path() / LUMIVEX_HOSTS_FROM_BIN}) {
        const std::filesystem::path file = dir / LUMIVEX_QT_MODULE;
        if (!std::filesystem::exists(file, ec))
            continue;
        if (void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        const char* error = ::dlerror();
        why = error ? error : file.string();
    }
    throw UsageError("cannot load the Qt window system (" + why +
                     "); --screenshot FILE.png paints the form without one");
}

} // namespace

void InstallWindowSystem(int&, char**) {
    // Qt cannot start without a platform to show windows on, and says so by aborting.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        throw UsageError("no display to show the preview on (DISPLAY is not set); "
                         "--screenshot FILE.png paints the form without one");
    // Loaded for the rest of the process: the widgetset's code must outlive the widgetset.
    void* module = LoadQtModule();
    const auto create = reinterpret_cast<decltype(&LUMIVEX_QT_ENTRY)>(
        ::dlsym(module, "lumivex_create_qt_widgetset"));
    if (!create)
        throw UsageError("cannot load the Qt window system (" LUMIVEX_QT_MODULE
                         " has no widgetset)");
    // The command's own arguments are parsed already; Qt gets none of them to reinterpret.
    static int Argc = 1;
    static char Name[] = "lumivex";
    static char* Argv[] = {Name, nullptr};
    vcl::SetWidgetSet(std::unique_ptr<vcl::TWidgetSet>(create(&Argc, Argv)));
}

} // namespace lumivex::cli
