// Shows the probe form modally on the display Qt finds (DISPLAY) and exits with its modal
// result: 6 (mrYes) when its control was clicked, 2 (mrCancel) when Esc or the close box ended
// it. x11-drive.sh clicks at it with the real X pointer.
//   ui_x11_probe [TITLE]
#include <cstdio>
#include <string>

#include "host/qt/QtWidgetSet.h"
#include "tests/ui/ProbeForm.h"

int main(int argc, char** argv) {
    vcl::SetWidgetSet(vcl::qt::CreateQtWidgetSet(argc, argv));
    vcl::TModalResult answer;
    {
        vcl::uitest::TProbeForm form(argc > 1 ? argv[1] : "Lumivex X11 probe");
        form.SetBorderStyle(vcl::bsSingle);
        form.SetBorderIcons(vcl::BorderIconBit(vcl::biSystemMenu));
        form.SetPosition(vcl::poScreenCenter);
        answer = form.ShowModal();
    }
    vcl::SetWidgetSet(nullptr);
    std::printf("modal result %d\n", answer);
    return answer;
}
