// The preview form: its class, its published fields and the layout of this build's generation.
#include "preview/BCModal.h"

#ifndef LUMIVEX_VCL_GENERATION
#define LUMIVEX_VCL_GENERATION 40
#endif

namespace lumivex {

TFBCModal* FBCModal = nullptr;

TFBCModal::TFBCModal(vcl::TComponent* AOwner) : vcl::TForm(AOwner) {
    ReadLayout();
}

void TFBCModal::SetBitmap(const vcl::TBitmap* Bitmap) {
    // A layout without the image (only a damaged resource lacks it) has nothing to show.
    if (Image1)
        Image1->GetPicture().SetBitmap(Bitmap);
}

const vcl::TClassInfo& TFBCModal::StaticClassInfo() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo c("TFBCModal", &vcl::TForm::StaticClassInfo(),
                          &vcl::CreateComponent<TFBCModal>);
        c.Field("Panel1", &TFBCModal::Panel1);
        c.Field("Image1", &TFBCModal::Image1);
        c.Field("BitBtn1", &TFBCModal::BitBtn1);
#if LUMIVEX_VCL_GENERATION >= 40
        c.SetModule(&BCModalResources40);
#else
        c.SetModule(&BCModalResources30);
#endif
        return c;
    }();
    return info;
}

} // namespace lumivex
