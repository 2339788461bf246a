#pragma once
// The window seam. Controls and forms never talk to a window system themselves: they tell the
// installed widgetset what happened to them, and the widgetset asks them back to paint. The
// headless widgetset serves until a program installs another (the Qt one), so components run
// and test the same with or without a screen.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/Controls.h"

namespace vcl {

class TForm;

// A message box, in the window system's own terms (host/dialogs/Dialogs.h says it in the
// framework's). Texts are bytes in the Western code page; lines end in any of CR, LF or both.
enum class TMessageIcon : std::uint8_t { None, Warning, Error, Information, Question };
struct TMessageButton {
    std::string Caption; // with its & accelerator
    TModalResult Result;
};
struct TMessageBoxRequest {
    std::string Caption;
    std::string Text;
    TMessageIcon Icon = TMessageIcon::None;
    std::vector<TMessageButton> Buttons;
    int DefaultButton = 0; // the index that Enter presses
    int EscapeButton = -1; // the index that Esc and the close box press; -1: the default one
    int HelpContext = 0;
};

// Every call arrives on the user-interface thread, from the control it names. To draw a window,
// a widgetset asks the form for its client area (TForm::PaintClient) or a control for its look
// (TControl::PaintTo); painting serves the controls' pending repaints.
class TWidgetSet {
public:
    virtual ~TWidgetSet();

    // A control asked for a repaint; the window system paints it at a time of its choosing.
    virtual void InvalidateControl(TControl& AControl) = 0;
    // A control moved or changed size; a repaint request follows.
    virtual void BoundsChanged(TControl& AControl) = 0;
    // A form became visible, or hidden, outside a modal session.
    virtual void ShowForm(TForm& AForm) = 0;
    virtual void HideForm(TForm& AForm) = 0;
    // Shows AForm as a modal window and runs the window system until the form's ModalResult is
    // no longer mrNone, as the framework's modal loop does; closing the window answers
    // mrCancel. The window is hidden when this returns.
    virtual TModalResult ShowModal(TForm& AForm) = 0;
    // Shows a message box modally and answers the result of the button pressed.
    virtual TModalResult MessageBox(const TMessageBoxRequest& Request) = 0;
    // A control is being destroyed, already no more than a TControl: whatever the widgetset
    // keeps for it (a window handle, a pending paint) must go now.
    virtual void DestroyControl(TControl& AControl) = 0;
    // Another widgetset is being installed in this one's place, so it will not hear of controls
    // that go away from now on: it lets go of every control it holds.
    virtual void ReleaseControls() = 0;
};

// The widgetset in use: the headless one until another is installed.
TWidgetSet& WidgetSet();
// Installs AWidgetSet (a fresh headless one for nullptr) and hands back the one it replaces,
// which has let go of its controls. Install at start-up, before the first control exists: a
// widgetset hears only of what happens after it is installed.
std::unique_ptr<TWidgetSet> SetWidgetSet(std::unique_ptr<TWidgetSet> AWidgetSet);

} // namespace vcl
