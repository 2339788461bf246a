// A build with Qt: the preview's window is a Qt window.
#include <cstdlib>

#include "host/qt/QtWidgetSet.h"
#include "tools/lumivex/PreviewCommand.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

void InstallWindowSystem(int&, char**) {
    // Qt cannot start without a platform to show windows on, and says so by aborting.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        throw UsageError("no display to show the preview on (DISPLAY is not set); "
                         "--screenshot FILE.png paints the form without one");
    // The command's own arguments are parsed already; Qt gets none of them to reinterpret.
    static int Argc = 1;
    static char Name[] = "lumivex";
    static char* Argv[] = {Name, nullptr};
    vcl::SetWidgetSet(vcl::qt::CreateQtWidgetSet(Argc, Argv));
}

} // namespace lumivex::cli
