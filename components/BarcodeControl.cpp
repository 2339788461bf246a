// TBarcode: settings, filtering, paint-time rendering and the published properties.
#include "components/BarcodeControl.h"

#include "components/BarcodeTypes.h"
#include "host/sysutils/Packages.h"

namespace lumivex {

TBarcode::TBarcode(vcl::TComponent* AOwner) : vcl::TGraphicControl(AOwner) {
    SetHeight(50);
    FScale = 1;
    SetWidth(20 * FScale);
    FInterpret = true;
    FBarcodeType = bcCode128;
    FBitmap = std::make_unique<vcl::TBitmap>();
    PrepareBarcodeBitmap(*FBitmap);
    FRotate = bcNoRotate;
}

TBarcode::~TBarcode() {
    FBitmap.reset();
}

void TBarcode::Paint() {
    vcl::TGraphicControl::Paint();
    if (InState(vcl::csLoading))
        return;
    FBitmap->SetHeight(GetHeight());
    CreateBC(*FBitmap, FBarcodeType, FScale, GetHeight(), FBarcodeText, FInterpret, FRotate);
    SetHeight(FBitmap->GetHeight());
    SetWidth(FBitmap->GetWidth());
    GetCanvas().Draw(0, 0, *FBitmap);
}

void TBarcode::SetBarcodeText(const std::string& Value) {
    FBarcodeText = FilterBCText(FBarcodeType, Value);
    Invalidate();
}

void TBarcode::SetBarcodeType(TBarCodeType Value) {
    FBarcodeType = Value;
    // A copy: the argument would otherwise alias the field it replaces.
    SetBarcodeText(std::string(FBarcodeText));
    Invalidate();
}

void TBarcode::SetScale(int Value) {
    FScale = Value;
    Invalidate();
}

void TBarcode::SetInterpret(bool Value) {
    FInterpret = Value;
    Invalidate();
}

void TBarcode::SetRotate(TbcRotate Value) {
    FRotate = Value;
    Invalidate();
}

void TBarcode::SetFont(const vcl::TFont* Value) {
    if (!Value)
        return;
    FBitmap->GetCanvas().SetFont(*Value);
    Invalidate();
}

const vcl::TClassInfo& TBarcode::StaticClassInfo() {
    static const vcl::TClassInfo info = [] {
        using T = TBarcode;
        vcl::TClassInfo c("TBarcode", &vcl::TGraphicControl::StaticClassInfo(),
                          &vcl::CreateComponent<T>);
        c.String<T, const std::string&>("BarcodeText", &T::GetBarcodeText, &T::SetBarcodeText);
        c.Ordinal<T, TBarCodeType>("BarcodeType", BarCodeTypeInfo(), &T::GetBarcodeType,
                                   &T::SetBarcodeType);
        c.Ordinal<T, int>("Scale", vcl::IntegerType(), &T::GetScale, &T::SetScale);
        c.Ordinal<T, bool>("Interpret", vcl::BooleanType(), &T::GetInterpret, &T::SetInterpret);
        c.Object<T, vcl::TFont>("Font", vcl::FontType(), &T::GetFont, &T::SetFont);
        vcl::TPropInfo& visible = PublishVisible(c);
        // The earlier generation of the framework stores Visible always, whatever its value.
        if (vcl::HostGeneration() < 40) {
            visible.Default.reset();
            visible.IsStored = nullptr;
        }
        c.Ordinal<T, TbcRotate>("Rotate", RotateTypeInfo(), &T::GetRotate, &T::SetRotate);
        return c;
    }();
    return info;
}

} // namespace lumivex
