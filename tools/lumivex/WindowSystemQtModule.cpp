// The Qt widgetset as a module of its own, which the preview loads: the other commands start
// without Qt's libraries and their relocations. It brings host/qt only; the host units it
// stands on are the program's own, so that the program and the module share one widgetset
// slot, one class registry, one set of exception types.
#include "host/qt/QtWidgetSet.h"
#include "tools/lumivex/WindowSystemModule.h"

extern "C" vcl::TWidgetSet* LUMIVEX_QT_ENTRY(int* Argc, char** Argv) {
    return vcl::qt::CreateQtWidgetSet(*Argc, Argv).release();
}
