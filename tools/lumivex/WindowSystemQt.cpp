// A build with Qt: the preview's window is a Qt window, from the Qt module loaded only now.
#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tools/lumivex/Modules.h"
#include "tools/lumivex/PreviewCommand.h"
#include "tools/lumivex/UsageError.h"
#include "tools/lumivex/WindowSystemModule.h"

namespace lumivex::cli {

void InstallWindowSystem(int&, char**) {
    // Qt cannot start without a platform to show windows on, and says so by aborting.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        throw UsageError("no display to show the preview on (DISPLAY is not set); "
                         "--screenshot FILE.png paints the form without one");
    // Loaded for the rest of the process: the widgetset's code must outlive the widgetset.
    std::string why;
    void* module = LoadModule(LUMIVEX_QT_MODULE, why);
    if (!module)
        throw UsageError("cannot load the Qt window system (" + why +
                         "); --screenshot FILE.png paints the form without one");
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
