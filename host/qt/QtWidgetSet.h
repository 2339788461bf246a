#pragma once
// The widgetset on Qt 6 Widgets. Every form it is told of becomes a top-level Qt window that
// shows the pixels the form paints itself (TForm::PaintClient) and hands the window's mouse,
// keys and close box back to the form; message boxes are Qt's own. It knows no control class:
// everything inside a form is drawn by the host.
//
// This header sees no Qt, so a program links the widgetset without Qt's headers:
//
//     int main(int argc, char** argv) {
//         vcl::SetWidgetSet(vcl::qt::CreateQtWidgetSet(argc, argv));
//         ... forms, ShowModal ...
//         vcl::SetWidgetSet(nullptr); // the windows and the application go here
//     }

#include <memory>

#include "host/controls/WidgetSet.h"
#include "host/graphics/Graphics.h"

class QWidget;

namespace vcl::qt {

struct TQtOptions {
    // Runs on Qt's offscreen platform: windows exist, paint and take input sent to them, but
    // appear on no screen (scripts, tests, servers). Heeded only when the widgetset creates the
    // application; it outweighs QT_QPA_PLATFORM, and a -platform argument outweighs it.
    bool Offscreen = false;
};

class TQtWidgetSet final : public TWidgetSet {
public:
    // Creates the QApplication from argc and argv when the process has none; Qt takes its own
    // options (-platform, -display) out of them, so both must outlive the widgetset, as main's
    // do. An application made here is the widgetset's and goes with it, after its windows; one
    // the program made stays the program's. EInvalidOperation when the process runs a Qt
    // application without widgets.
    TQtWidgetSet(int& argc, char** argv, const TQtOptions& Options = {});
    ~TQtWidgetSet() override;
    TQtWidgetSet(const TQtWidgetSet&) = delete;
    TQtWidgetSet& operator=(const TQtWidgetSet&) = delete;

    void InvalidateControl(TControl& AControl) override;
    void BoundsChanged(TControl& AControl) override;
    void ShowForm(TForm& AForm) override;
    void HideForm(TForm& AForm) override;
    // Shows the form's window application-modal and runs Qt's events until the form has a
    // ModalResult; the close box and the application quitting answer mrCancel, and so does the
    // form being destroyed meanwhile.
    TModalResult ShowModal(TForm& AForm) override;
    // A QMessageBox, one button per request button in order, its caption's & kept as the
    // accelerator; Enter presses the default button, Esc and the close box the escape one.
    TModalResult MessageBox(const TMessageBoxRequest& Request) override;
    void DestroyControl(TControl& AControl) override;
    void ReleaseControls() override;

    // Draws the form's window into Target (pf24bit, the client size) as Qt paints it, shown or
    // not; the window is made if the form has none yet. What a screenshot of the client area
    // shows, without a screen.
    void GrabForm(TForm& AForm, TBitmap& Target);
    // Serves Qt's pending events (paints, posted input, timers due) and returns without waiting.
    void ProcessEvents();
    // The form's Qt window, nullptr while it has none (it gets one when first shown or
    // grabbed). For tests and for programs that place the window themselves.
    QWidget* WindowOf(const TForm& AForm) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// The widgetset to install: vcl::SetWidgetSet(CreateQtWidgetSet(argc, argv)).
std::unique_ptr<TQtWidgetSet> CreateQtWidgetSet(int& argc, char** argv,
                                                const TQtOptions& Options = {});
// The Qt widgetset if it is the one installed, else nullptr.
TQtWidgetSet* QtWidgetSet();

} // namespace vcl::qt
