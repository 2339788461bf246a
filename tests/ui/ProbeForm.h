#pragma once
// A form for the Qt widgetset's tests and its X11 probe: one control that ends the modal session
// with its own answer when clicked (or on Alt+O), drawn in colours a picture can be checked by.

#include <functional>

#include "host/controls/Forms.h"

namespace vcl::uitest {

// The client size and button place of `lumivex preview`, so one click point serves both.
inline constexpr int ProbeClientWidth = 232;
inline constexpr int ProbeClientHeight = 205;
inline constexpr int ProbeLeft = 147;
inline constexpr int ProbeTop = 177;
inline constexpr int ProbeWidth = 75;
inline constexpr int ProbeHeight = 25;
inline constexpr TColor ProbeFormColor = 0x00E0D0C0;
inline constexpr TColor ProbeColor = 0x002020F0; // red, with a black frame
inline constexpr TModalResult ProbeResult = mrYes;

class TProbe : public TGraphicControl {
public:
    explicit TProbe(TComponent* AOwner) : TGraphicControl(AOwner) {}

    void MouseDown(TMouseButton Button, TShiftState Shift, int, int) override {
        LastButton = Button;
        LastShift = Shift;
    }
    void MouseUp(TMouseButton Button, TShiftState, int, int) override {
        if (Button == mbLeft)
            Click();
    }
    // Nothing is touched after OnClick: it may free the form and this control with it.
    void Click() override {
        if (OnClick) {
            OnClick();
            return;
        }
        if (TForm* f = GetParentForm())
            f->SetModalResult(ProbeResult);
    }
    bool DialogChar(char Key) override {
        if (Key != 'O')
            return false;
        Click();
        return true;
    }

    std::function<void()> OnClick;
    TMouseButton LastButton = mbMiddle;
    TShiftState LastShift = 0;

protected:
    void Paint() override {
        TCanvas& c = GetCanvas();
        c.GetBrush().SetColor(ProbeColor);
        c.GetPen().SetColor(clBlack);
        c.Rectangle(0, 0, GetWidth(), GetHeight());
    }
};

class TProbeForm : public TForm {
public:
    explicit TProbeForm(const std::string& Caption = "Lumivex probe") : TForm(nullptr) {
        SetName("ProbeForm");
        SetCaption(Caption);
        SetColor(ProbeFormColor);
        SetClientWidth(ProbeClientWidth);
        SetClientHeight(ProbeClientHeight);
        Probe = new TProbe(this);
        Probe->SetParent(this);
        Probe->SetBounds(ProbeLeft, ProbeTop, ProbeWidth, ProbeHeight);
    }
    TProbe* Probe;
};

} // namespace vcl::uitest
