// TDBBarcodeBmp: the link to one field, the text taken from it on each data change, the settings
// shared with TBarcodeBmp, and the published properties.
#include "components/DBBarcodeBmp.h"

#include "host/sysutils/Packages.h"

#include "components/BarcodeTypes.h"

namespace lumivex {

TDBBarcodeBmp::TDBBarcodeBmp(vcl::TComponent* AOwner) : vcl::TComponent(AOwner) {
    FDataLink = std::make_unique<vcl::TFieldDataLink>();
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](vcl::TFieldDataLink&) { DataChange(); };
    FBitmap = std::make_unique<vcl::TBitmap>();
    // Unlike TBarcodeBmp, nothing renders here: with no field yet there is nothing to show, and
    // the link's first data change draws the barcode.
    FHeight = 50;
    FBitmap->SetHeight(50);
    FScale = 1;
    FBitmap->SetWidth(20 * FScale);
    FInterpret = true;
    FBarcodeType = bcCode128;
    PrepareBarcodeBitmap(*FBitmap);
    FRotate = bcNoRotate;
}

TDBBarcodeBmp::~TDBBarcodeBmp() {
    // The link goes first, so that no data change can reach a component whose bitmap is gone.
    FDataLink.reset();
    FBitmap.reset();
}

void TDBBarcodeBmp::PaintBC() {
    if (InState(vcl::csLoading))
        return;
    FBitmap->SetHeight(FHeight);
    CreateBC(*FBitmap, FBarcodeType, FScale, FHeight, FBarcodeText, FInterpret, FRotate);
}

std::string TDBBarcodeBmp::GetFieldText() const {
    if (const vcl::TField* f = FDataLink->GetField())
        return f->GetDisplayText();
    return "";
}

void TDBBarcodeBmp::DataChange() {
    FBarcodeText = FilterBCText(FBarcodeType, GetFieldText());
    PaintBC();
}

void TDBBarcodeBmp::Loaded() {
    vcl::TComponent::Loaded();
    // A running application waits for the link's next notification; only the designer needs a
    // picture straight after the form is read.
    if (InState(vcl::csDesigning))
        DataChange();
}

void TDBBarcodeBmp::Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) {
    vcl::TComponent::Notification(AComponent, Operation);
    if (Operation == vcl::opRemove && FDataLink && AComponent &&
        AComponent == FDataLink->GetDataSource())
        SetDataSource(nullptr);
}

vcl::TDataSource* TDBBarcodeBmp::GetDataSource() const {
    return FDataLink->GetDataSource();
}

void TDBBarcodeBmp::SetDataSource(vcl::TDataSource* Value) {
    // A fixed source survives a form file that names another one; outside loading the link
    // itself refuses the change.
    if (!(FDataLink->GetDataSourceFixed() && InState(vcl::csLoading)))
        FDataLink->SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

std::string TDBBarcodeBmp::GetDataField() const {
    return FDataLink->GetFieldName();
}

void TDBBarcodeBmp::SetDataField(const std::string& Value) {
    FDataLink->SetFieldName(Value);
}

bool TDBBarcodeBmp::ExecuteAction(vcl::TBasicAction& Action) {
    // TComponent handles no action of its own, so the link is the only taker. The earlier
    // generation of the framework has no actions at all.
    return vcl::HostGeneration() >= 40 && FDataLink && FDataLink->ExecuteAction(Action);
}

bool TDBBarcodeBmp::UpdateAction(vcl::TBasicAction& Action) {
    return vcl::HostGeneration() >= 40 && FDataLink && FDataLink->UpdateAction(Action);
}

std::intptr_t TDBBarcodeBmp::Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam) {
    if (Msg == vcl::CM_GETDATALINK)
        return reinterpret_cast<std::intptr_t>(FDataLink.get());
    return vcl::TComponent::Perform(Msg, WParam, LParam);
}

void TDBBarcodeBmp::SetHeight(int Value) {
    FHeight = Value;
    FBitmap->SetHeight(Value);
    PaintBC();
}

void TDBBarcodeBmp::SetBarcodeType(TBarCodeType Value) {
    FBarcodeType = Value;
    FBarcodeText = FilterBCText(Value, FBarcodeText);
    PaintBC();
}

void TDBBarcodeBmp::SetBarcodeText(const std::string& Value) {
    FBarcodeText = FilterBCText(FBarcodeType, Value);
    PaintBC();
}

void TDBBarcodeBmp::SetScale(int Value) {
    FScale = Value;
    PaintBC();
}

void TDBBarcodeBmp::SetInterpret(bool Value) {
    FInterpret = Value;
    PaintBC();
}

void TDBBarcodeBmp::SetFont(const vcl::TFont* Value) {
    if (!Value)
        return;
    FBitmap->GetCanvas().SetFont(*Value);
    PaintBC();
}

void TDBBarcodeBmp::SetRotate(TbcRotate Value) {
    FRotate = Value;
    PaintBC();
}

const vcl::TClassInfo& TDBBarcodeBmp::StaticClassInfo() {
    static const vcl::TClassInfo info = [] {
        using T = TDBBarcodeBmp;
        vcl::TClassInfo c("TDBBarcodeBmp", &vcl::TComponent::StaticClassInfo(),
                          &vcl::CreateComponent<T>);
        c.Ordinal<T, int>("Height", vcl::IntegerType(), &T::GetHeight, &T::SetHeight);
        c.Object<T, vcl::TBitmap>("Bitmap", vcl::BitmapType(), &T::GetBitmap, nullptr);
        c.Ordinal<T, TBarCodeType>("BarcodeType", BarCodeTypeInfo(), &T::GetBarcodeType,
                                   &T::SetBarcodeType);
        c.Ordinal<T, int>("Scale", vcl::IntegerType(), &T::GetScale, &T::SetScale);
        c.Ordinal<T, bool>("Interpret", vcl::BooleanType(), &T::GetInterpret, &T::SetInterpret);
        c.String<T, std::string>("DataField", &T::GetDataField, &T::SetDataField);
        c.Reference<T, vcl::TDataSource>("DataSource", vcl::DataSourceType(), &T::GetDataSource,
                                         &T::SetDataSource);
        c.Object<T, vcl::TFont>("Font", vcl::FontType(), &T::GetFont, &T::SetFont);
        c.Ordinal<T, TbcRotate>("Rotate", RotateTypeInfo(), &T::GetRotate, &T::SetRotate);
        return c;
    }();
    return info;
}

} // namespace lumivex
