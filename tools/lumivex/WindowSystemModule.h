#pragma once
// What the command and its Qt module agree on: the module's file name and its one entry, which
// makes the widgetset from the arguments Qt may keep (they outlive it) and hands it over.

#include "host/controls/WidgetSet.h"

#define LUMIVEX_QT_ENTRY lumivex_create_qt_widgetset
#define LUMIVEX_QT_MODULE "lumivex-qt.so"

extern "C" vcl::TWidgetSet* LUMIVEX_QT_ENTRY(int* Argc, char** Argv);
