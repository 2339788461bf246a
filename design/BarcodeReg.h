#pragma once
// Unit BarcodeReg: what only the form designer uses. Register puts the three components on the
// palette page "Okanda" and gives them their editors: the bitmap components' Bitmap opens the
// preview form, TBarcode's BarcodeText applies every keystroke, and each component has a verb
// that shows its About text.

#include <string>

#include "host/designer/DesignEditors.h"
#include "host/designer/DesignIntf.h"

namespace lumivex {

// The ellipsis of a bitmap component's Bitmap: the preview form on the first selected
// component's bitmap. The property is not changed.
class TBarcodeBmpPropertyEdit : public vcl::TClassProperty {
public:
    using vcl::TClassProperty::TClassProperty;
    void Edit() override;
    // [paDialog, paMultiSelect, paAutoUpdate]
    vcl::TPropertyAttributes GetAttributes() const override;
};

class TDBBarcodeBmpPropertyEdit : public vcl::TClassProperty {
public:
    using vcl::TClassProperty::TClassProperty;
    void Edit() override;
    vcl::TPropertyAttributes GetAttributes() const override;
};

// TBarcode's BarcodeText: each change of the edited text goes to the control at once, which
// filters it and repaints while the user types.
class TBarcodeTextEdit : public vcl::TStringProperty {
public:
    using vcl::TStringProperty::TStringProperty;
    // [paMultiSelect, paAutoUpdate]
    vcl::TPropertyAttributes GetAttributes() const override;
};

// One verb each, "&About <class>", which shows the About text. A double-click previews the
// bitmap of a bitmap component and shows the About text of a TBarcode.
class TBarcodeBmpCompEdit : public vcl::TComponentEditor {
public:
    using vcl::TComponentEditor::TComponentEditor;
    void Edit() override;
    void ExecuteVerb(int Index) override;
    std::string GetVerb(int Index) const override;
    int GetVerbCount() const override { return 1; }
};

class TDBBarcodeBmpCompEdit : public vcl::TComponentEditor {
public:
    using vcl::TComponentEditor::TComponentEditor;
    void Edit() override;
    void ExecuteVerb(int Index) override;
    std::string GetVerb(int Index) const override;
    int GetVerbCount() const override { return 1; }
};

class TBarcodeCompEdit : public vcl::TComponentEditor {
public:
    using vcl::TComponentEditor::TComponentEditor;
    void Edit() override;
    void ExecuteVerb(int Index) override;
    std::string GetVerb(int Index) const override;
    int GetVerbCount() const override { return 1; }
};

// The About texts: lines separated by line feed then carriage return.
std::string BarcodeBmpAboutText();
std::string DBBarcodeBmpAboutText();
std::string BarcodeAboutText();

// Called once by the designer that installs the package.
void Register();

} // namespace lumivex
