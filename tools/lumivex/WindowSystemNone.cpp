// A build without Qt: no window system to put in place of the headless widgetset.
#include "tools/lumivex/PreviewCommand.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

void InstallWindowSystem(int&, char**) {
    throw UsageError("this lumivex was built without Qt, so it cannot open a window; "
                     "--screenshot FILE.png paints the form without one");
}

} // namespace lumivex::cli
