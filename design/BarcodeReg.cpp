// The palette registration, the property and component editors, and the About texts.
#include "design/BarcodeReg.h"

#include <initializer_list>
#include <memory>

#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/DBBarcodeBmp.h"
#include "host/dialogs/Dialogs.h"
#include "preview/BCModal.h"

namespace lumivex {

namespace {

// The framework's own line break in these texts is the unusual LF CR.
std::string Lines(std::initializer_list<const char*> Text) {
    std::string s;
    bool first = true;
    for (const char* line : Text) {
        if (!first)
            s += "\n\r";
        first = false;
        s += line;
    }
    return s;
}

constexpr const char* Credit1 = "Lumivex: these components for C++, after the originals";
constexpr const char* Credit2 = "by Okanda SW. MIT licence.";

// Each preview is created without an owner, shown modally and freed within the one call.
void Preview(const vcl::TBitmap* Bitmap) {
    auto form = std::make_unique<TFBCModal>(nullptr);
    form->SetBitmap(Bitmap);
    form->ShowModal();
}

void About(const std::string& Text) {
    vcl::MessageDlg(Text, vcl::mtInformation, vcl::MsgDlgButton(vcl::mbOK), 0);
}

const vcl::TPropertyAttributes DialogAttributes{vcl::paDialog, vcl::paMultiSelect,
                                                vcl::paAutoUpdate};

} // namespace

std::string BarcodeBmpAboutText() {
    return Lines({"                TBarcodeBmp - V1.2", "                ================", "",
                  "   Create many different styles of barcodes with ",
                  "the TBarcodeBmp component. Once you decide your ",
                  "barcode type, height, and scale. Simply enter in ",
                  "whatever text you want represented into the ",
                  "\"BarcodeText\" property. A bitmap will automatically ",
                  "be created representing your text. ",
                  "Use the bitmap property to display, copy, print, ", "etc., your barcode.", "",
                  Credit1, Credit2});
}

std::string DBBarcodeBmpAboutText() {
    return Lines({"             TDBBarcodeBmp - V1.2", "             ===================", "",
                  "   Create many different styles of barcodes with ",
                  "the TDBBarcodeBmp component. Select your ",
                  "barcode type, height, and scale. Then select ",
                  "a datasource, and a datafield you wish to be ",
                  "represented.  A bitmap will automatically ",
                  "be created representing your field's text. ",
                  "Use the bitmap property to display, copy, print, ", "etc., your barcode.", "",
                  Credit1, Credit2});
}

std::string BarcodeAboutText() {
    return Lines({"                TBarcode - V1.2", "                =============", "",
                  "   Create many different styles of barcodes with ",
                  "the TBarcodeBmp component. Once you decide your ",
                  "barcode type, height, and scale. Simply enter in ",
                  "whatever text you want represented into the ",
                  "\"BarcodeText\" property. A bitmap will automatically ",
                  "be created representing your text. ",
                  "Use the controls canvas property to display, ",
                  "copy, print, etc., your barcode.", "", Credit1, Credit2});
}

// ---- property editors ----

void TBarcodeBmpPropertyEdit::Edit() {
    // The framework hands the object out as GetOrdValue; here it comes typed.
    Preview(dynamic_cast<const vcl::TBitmap*>(GetObjValue()));
}

vcl::TPropertyAttributes TBarcodeBmpPropertyEdit::GetAttributes() const {
    return DialogAttributes;
}

void TDBBarcodeBmpPropertyEdit::Edit() {
    Preview(dynamic_cast<const vcl::TBitmap*>(GetObjValue()));
}

vcl::TPropertyAttributes TDBBarcodeBmpPropertyEdit::GetAttributes() const {
    return DialogAttributes;
}

vcl::TPropertyAttributes TBarcodeTextEdit::GetAttributes() const {
    return {vcl::paMultiSelect, vcl::paAutoUpdate};
}

// ---- component editors ----

void TBarcodeBmpCompEdit::Edit() {
    if (auto* c = dynamic_cast<TBarcodeBmp*>(Component()))
        Preview(&c->GetBitmap());
}

void TBarcodeBmpCompEdit::ExecuteVerb(int Index) {
    if (Index == 0)
        About(BarcodeBmpAboutText());
}

std::string TBarcodeBmpCompEdit::GetVerb(int Index) const {
    return Index == 0 ? "&About TBarcodeBmp" : "";
}

void TDBBarcodeBmpCompEdit::Edit() {
    if (auto* c = dynamic_cast<TDBBarcodeBmp*>(Component()))
        Preview(&c->GetBitmap());
}

void TDBBarcodeBmpCompEdit::ExecuteVerb(int Index) {
    if (Index == 0)
        About(DBBarcodeBmpAboutText());
}

std::string TDBBarcodeBmpCompEdit::GetVerb(int Index) const {
    return Index == 0 ? "&About TDBBarcodeBmp" : "";
}

void TBarcodeCompEdit::Edit() {
    ExecuteVerb(0);
}

void TBarcodeCompEdit::ExecuteVerb(int Index) {
    if (Index == 0)
        About(BarcodeAboutText());
}

std::string TBarcodeCompEdit::GetVerb(int Index) const {
    return Index == 0 ? "&About TBarcode" : "";
}

// ---- registration ----

void Register() {
    vcl::RegisterComponents("Okanda",
                            {&TBarcode::StaticClassInfo(), &TBarcodeBmp::StaticClassInfo(),
                             &TDBBarcodeBmp::StaticClassInfo()});
    vcl::RegisterPropertyEditor(
        &vcl::BitmapType(), &TBarcodeBmp::StaticClassInfo(), "Bitmap",
        vcl::PropertyEditorClass<TBarcodeBmpPropertyEdit>("TBarcodeBmpPropertyEdit"));
    vcl::RegisterPropertyEditor(&vcl::StringType(), &TBarcode::StaticClassInfo(), "BarcodeText",
                                vcl::PropertyEditorClass<TBarcodeTextEdit>("TBarcodeTextEdit"));
    vcl::RegisterComponentEditor(&TBarcode::StaticClassInfo(),
                                 vcl::ComponentEditorClass<TBarcodeCompEdit>("TBarcodeCompEdit"));
    vcl::RegisterComponentEditor(
        &TBarcodeBmp::StaticClassInfo(),
        vcl::ComponentEditorClass<TBarcodeBmpCompEdit>("TBarcodeBmpCompEdit"));
    vcl::RegisterPropertyEditor(
        &vcl::BitmapType(), &TDBBarcodeBmp::StaticClassInfo(), "Bitmap",
        vcl::PropertyEditorClass<TDBBarcodeBmpPropertyEdit>("TDBBarcodeBmpPropertyEdit"));
    vcl::RegisterComponentEditor(
        &TDBBarcodeBmp::StaticClassInfo(),
        vcl::ComponentEditorClass<TDBBarcodeBmpCompEdit>("TDBBarcodeBmpCompEdit"));
}

} // namespace lumivex
