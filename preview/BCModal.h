#pragma once
// Unit BCModal: the modal form that previews a copy of a barcode bitmap in a bevelled panel,
// closed with its Okay button. Its whole layout comes from the form resource TFBCMODAL.

#include "host/classes/Resources.h"
#include "host/controls/Buttons.h"
#include "host/controls/ExtCtrls.h"
#include "host/controls/Forms.h"
#include "host/graphics/Graphics.h"

namespace lumivex {

class TFBCModal : public vcl::TForm {
public:
    // Reads the layout; with a null owner the caller frees the form.
    explicit TFBCModal(vcl::TComponent* AOwner);

    // Shows a copy of Bitmap: the caller keeps its own, and later changes to it do not reach
    // the form. A null bitmap empties the picture.
    void SetBitmap(const vcl::TBitmap* Bitmap);

    // Published component fields, bound by name to the components the layout creates.
    vcl::TPanel* Panel1 = nullptr;
    vcl::TImage* Image1 = nullptr;
    vcl::TBitBtn* BitBtn1 = nullptr;

    const vcl::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const vcl::TClassInfo& StaticClassInfo();
};

// The unit's form variable. Nothing assigns it: each preview creates a form of its own.
extern TFBCModal* FBCModal;

// The preview's layouts, one per generation of the framework: the VCL 4 one and the VCL 3 one,
// which stores neither the form's colour nor its creation order. Each module holds the RCDATA
// resource TFBCMODAL; a build of the package links the one of its generation into the class.
extern const vcl::TResourceModule BCModalResources40;
extern const vcl::TResourceModule BCModalResources30;

} // namespace lumivex
