// The package's main unit, Lumivex: what a host finds in the library besides its information.
// A designer calls each unit's Register that the information names (BarcodeReg_Register); the
// palette bitmaps, where the edition has them, are the module's BITMAP resources, which
// Lumivex_Resources hands out. No unit runs anything when the library is loaded.
#include "design/BarcodeReg.h"
#include "host/classes/Resources.h"

#ifdef LUMIVEX_PALETTE_BITMAPS
namespace lumivex {
extern const vcl::TResourceModule PaletteResources;
}
#endif

extern "C" {

__attribute__((visibility("default"))) void BarcodeReg_Register() {
    lumivex::Register();
}

// The package's own resources; nullptr for an edition without any.
__attribute__((visibility("default"))) const vcl::TResourceModule* Lumivex_Resources() {
#ifdef LUMIVEX_PALETTE_BITMAPS
    return &lumivex::PaletteResources;
#else
    return nullptr;
#endif
}
}
