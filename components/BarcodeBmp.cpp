// TBarcodeBmp: settings, filtering, rendering on every assignment, and the published properties.
#include "components/BarcodeBmp.h"

#include "components/BarcodeTypes.h"

namespace lumivex {

TBarcodeBmp::TBarcodeBmp(vcl::TComponent* AOwner)
    : vcl::TComponent(AOwner), FBitmap(std::make_unique<vcl::TBitmap>()) {
    // The order matters: this first render runs with everything else still zero and the text
    // empty, and so draws no bars; the fields that follow are written without rendering.
    SetHeight(50);
    FScale = 1;
    FBitmap->SetWidth(20 * FScale);
    FInterpret = true;
    FBarcodeType = bcCode128;
    PrepareBarcodeBitmap(*FBitmap);
    FRotate = bcNoRotate;
}

TBarcodeBmp::~TBarcodeBmp() {
    FBitmap.reset();
}

void TBarcodeBmp::PaintBC() {
    if (InState(vcl::csLoading))
        return;
    FBitmap->SetHeight(FHeight);
    CreateBC(*FBitmap, FBarcodeType, FScale, FHeight, FBarcodeText, FInterpret, FRotate);
}

void TBarcodeBmp::SetHeight(int Value) {
    FHeight = Value;
    FBitmap->SetHeight(Value);
    PaintBC();
}

void TBarcodeBmp::SetBarcodeText(const std::string& Value) {
    FBarcodeText = FilterBCText(FBarcodeType, Value);
    PaintBC();
}

void TBarcodeBmp::SetBarcodeType(TBarCodeType Value) {
    FBarcodeType = Value;
    // A copy: the argument would otherwise alias the field it replaces.
    SetBarcodeText(std::string(FBarcodeText));
}

void TBarcodeBmp::SetFont(const vcl::TFont* Value) {
    if (!Value)
        return;
    FBitmap->GetCanvas().SetFont(*Value);
    PaintBC();
}

void TBarcodeBmp::SetScale(int Value) {
    FScale = Value;
    PaintBC();
}

void TBarcodeBmp::SetInterpret(bool Value) {
    FInterpret = Value;
    PaintBC();
}

void TBarcodeBmp::SetRotate(TbcRotate Value) {
    FRotate = Value;
    PaintBC();
}

void TBarcodeBmp::Loaded() {
    vcl::TComponent::Loaded();
    PaintBC();
}

const vcl::TClassInfo& TBarcodeBmp::StaticClassInfo() {
    static const vcl::TClassInfo info = [] {
        using T = TBarcodeBmp;
        vcl::TClassInfo c("TBarcodeBmp", &vcl::TComponent::StaticClassInfo(),
                          &vcl::CreateComponent<T>);
        c.Ordinal<T, int>("Height", vcl::IntegerType(), &T::GetHeight, &T::SetHeight);
        c.Object<T, vcl::TBitmap>("Bitmap", vcl::BitmapType(), &T::GetBitmap, nullptr);
        c.String<T, const std::string&>("BarcodeText", &T::GetBarcodeText, &T::SetBarcodeText);
        c.Ordinal<T, TBarCodeType>("BarcodeType", BarCodeTypeInfo(), &T::GetBarcodeType,
                                   &T::SetBarcodeType);
        c.Object<T, vcl::TFont>("Font", vcl::FontType(), &T::GetFont, &T::SetFont);
        c.Ordinal<T, int>("Scale", vcl::IntegerType(), &T::GetScale, &T::SetScale);
        c.Ordinal<T, bool>("Interpret", vcl::BooleanType(), &T::GetInterpret, &T::SetInterpret);
        c.Ordinal<T, TbcRotate>("Rotate", RotateTypeInfo(), &T::GetRotate, &T::SetRotate);
        return c;
    }();
    return info;
}

} // namespace lumivex
