#pragma once
// Everything an application needs to render barcodes: the engine (unit Barcode), the three
// components, and the framework units they stand on. Installed as <lumivex/Lumivex.h>.

#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/BarcodeTypes.h"
#include "components/DBBarcodeBmp.h"
#include "engine/Barcode.h"
#include "host/classes/Classes.h"
#include "host/classes/Resources.h"
#include "host/classes/Streaming.h"
#include "host/controls/Buttons.h"
#include "host/controls/Controls.h"
#include "host/controls/ExtCtrls.h"
#include "host/controls/Forms.h"
#include "host/controls/HeadlessWidgetSet.h"
#include "host/controls/WidgetSet.h"
#include "host/db/DB.h"
#include "host/dialogs/Dialogs.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"
#include "preview/BCModal.h"
