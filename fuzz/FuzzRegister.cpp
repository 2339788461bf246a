#include "fuzz/FuzzRegister.h"

#include "components/BarcodeTypes.h"
#include "fuzz/FuzzRender.h"
#include "host/controls/Forms.h"
#include "host/db/DB.h"

namespace lumivex::fuzz {

void RegisterAllClasses() {
    vcl::RegisterHostClasses();
    lumivex::RegisterBarcodeClasses();
    vcl::RegisterDBClasses();
    // The components render their text on loading.
    LoadFonts();
}

} // namespace lumivex::fuzz
