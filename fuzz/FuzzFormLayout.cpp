// A form's layout resource with any bytes: a form class like the preview's (the same class name
// and published fields) reads the input as its layout, then is shown a bitmap, painted and
// closed by a click where the Okay button would be, as the editors use the preview. A form or a
// host exception, nothing else.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "host/classes/Resources.h"
#include "host/controls/Buttons.h"
#include "host/controls/ExtCtrls.h"
#include "host/controls/Forms.h"
#include "host/controls/HeadlessWidgetSet.h"
#include "host/sysutils/SysUtils.h"

namespace {

vcl::TResourceEntry Layout[] = {{vcl::RT_RCDATA, "TFBCMODAL", {}}};
const vcl::TResourceModule Module("Fuzz", Layout);

class TFBCModal : public vcl::TForm {
public:
    explicit TFBCModal(vcl::TComponent* AOwner) : vcl::TForm(AOwner) { ReadLayout(); }
    vcl::TPanel* Panel1 = nullptr;
    vcl::TImage* Image1 = nullptr;
    vcl::TBitBtn* BitBtn1 = nullptr;

    const vcl::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const vcl::TClassInfo& StaticClassInfo() {
        static const vcl::TClassInfo info = [] {
            vcl::TClassInfo c("TFBCModal", &vcl::TForm::StaticClassInfo(),
                              &vcl::CreateComponent<TFBCModal>);
            c.Field("Panel1", &TFBCModal::Panel1);
            c.Field("Image1", &TFBCModal::Image1);
            c.Field("BitBtn1", &TFBCModal::BitBtn1);
            c.SetModule(&Module);
            return c;
        }();
        return info;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    Layout[0].Data = std::string_view(reinterpret_cast<const char*>(Data), Size);
    auto* headless = dynamic_cast<vcl::THeadlessWidgetSet*>(&vcl::WidgetSet());
    try {
        TFBCModal form(nullptr);
        vcl::TBitmap bitmap;
        bitmap.SetSize(300, 40);
        if (form.Image1)
            form.Image1->GetPicture().SetBitmap(&bitmap);
        vcl::TBitmap shot;
        form.PaintClient(shot);
        headless->QueueModalAction([](vcl::TForm& F) {
            F.HandleMouseDown(vcl::mbLeft, 0, 184, 189);
            F.HandleMouseUp(vcl::mbLeft, 0, 184, 189);
            F.HandleKeyDown(vcl::VK_TAB, 0);
            F.HandleKeyDown('O', vcl::ShiftBit(vcl::ssAlt));
        });
        form.ShowModal();
    } catch (const vcl::Exception&) {
    }
    return 0;
}
