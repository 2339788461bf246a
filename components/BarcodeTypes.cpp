// Type descriptions of the barcode enumerations and the registration of the component classes.
#include "components/BarcodeTypes.h"

#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/DBBarcodeBmp.h"

namespace lumivex {

void PrepareBarcodeBitmap(vcl::TBitmap& Bitmap) {
    Bitmap.GetCanvas().GetBrush().SetColor(vcl::clWhite);
    Bitmap.GetCanvas().GetBrush().SetStyle(vcl::bsSolid);
    Bitmap.SetMonochrome(true);
    Bitmap.SetPixelFormat(vcl::pf8bit);
    Bitmap.GetCanvas().GetFont().SetName("Courier New");
}

const vcl::TTypeInfo& BarCodeTypeInfo() {
    // Form files name a symbology by its identifier in the table, ordinal by ordinal.
    static const vcl::TTypeInfo t = [] {
        vcl::TTypeInfo info{vcl::TTypeKind::Enumeration, "TBarCodeType", {}, {}, nullptr};
        for (const TSymbology& row : BC_Symbologies)
            info.Names.emplace_back(row.Identifier);
        return info;
    }();
    return t;
}

const vcl::TTypeInfo& RotateTypeInfo() {
    static const vcl::TTypeInfo t{vcl::TTypeKind::Enumeration,
                                  "TbcRotate",
                                  {"bcNoRotate", "bcRotate90", "bcRotate180", "bcRotate270"},
                                  {},
                                  nullptr};
    return t;
}

void RegisterBarcodeClasses() {
    // The registry keeps one entry per name, so registering again changes nothing.
    vcl::RegisterClass(TBarcodeBmp::StaticClassInfo());
    vcl::RegisterClass(TBarcode::StaticClassInfo());
    vcl::RegisterClass(TDBBarcodeBmp::StaticClassInfo());
}

} // namespace lumivex
