// Form-file roots: data modules and headless forms, and their registration.
#include "host/controls/Forms.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "host/classes/Resources.h"
#include "host/controls/Buttons.h"
#include "host/controls/ExtCtrls.h"
#include "host/controls/WidgetSet.h"
#include "host/sysutils/Packages.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {
int Saturate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// Components with no control holding them are written by the root itself.
bool Unparented(const TComponent* c) {
    return c->GetParentComponent() == nullptr;
}
} // namespace

const TTypeInfo& BorderIconsType() {
    static const TTypeInfo t{TTypeKind::Set,
                             "TBorderIcons",
                             {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
                             {},
                             nullptr};
    return t;
}

const TTypeInfo& FormBorderStyleType() {
    static const TTypeInfo t{
        TTypeKind::Enumeration,
        "TFormBorderStyle",
        {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
        {},
        nullptr};
    return t;
}

const TTypeInfo& PositionType() {
    static const TTypeInfo t{TTypeKind::Enumeration,
                             "TPosition",
                             {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                              "poScreenCenter", "poDesktopCenter"},
                             {},
                             nullptr};
    return t;
}

// ---- TDataModule ----

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

void TDataModule::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const {
    for (int i = 0; i < GetComponentCount(); ++i)
        if (TComponent* c = GetComponent(i); Unparented(c))
            Proc(c);
}

const TClassInfo& TDataModule::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TDataModule", &TComponent::StaticClassInfo(), &CreateComponent<TDataModule>);
        c.Ordinal<TDataModule, int>("Left", IntegerType(), &TDataModule::GetLeft,
                                    &TDataModule::SetLeft);
        c.Ordinal<TDataModule, int>("Top", IntegerType(), &TDataModule::GetTop,
                                    &TDataModule::SetTop);
        c.Ordinal<TDataModule, int>("Height", IntegerType(), &TDataModule::GetHeight,
                                    &TDataModule::SetHeight);
        c.Ordinal<TDataModule, int>("Width", IntegerType(), &TDataModule::GetWidth,
                                    &TDataModule::SetWidth);
        return c;
    }();
    return info;
}

// ---- TForm ----

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner), FFont(std::make_unique<TFont>()) {
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    *FAlive = false;
}

int TForm::GetClientWidth() const {
    return Saturate(std::int64_t{GetWidth()} - FrameWidth);
}

void TForm::SetClientWidth(int Value) {
    SetWidth(Saturate(std::int64_t{Value} + FrameWidth));
}

int TForm::GetClientHeight() const {
    return Saturate(std::int64_t{GetHeight()} - FrameHeight);
}

void TForm::SetClientHeight(int Value) {
    SetHeight(Saturate(std::int64_t{Value} + FrameHeight));
}

void TForm::SetFont(const TFont* Value) {
    if (Value)
        FFont->Assign(*Value);
}

void TForm::Close() {
    if (FModal)
        SetModalResult(mrCancel);
    else
        Hide();
}

TModalResult TForm::ShowModal() {
    if (GetVisible() || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    FModalResult = mrNone;
    FModal = true;
    const std::shared_ptr<bool> alive = FAlive;
    struct EndSession {
        TForm& Form;
        const std::shared_ptr<bool>& Alive;
        ~EndSession() {
            if (!*Alive)
                return;
            Form.SetVisible(false);
            Form.FModal = false;
        }
    } end{*this, alive};
    SetVisible(true);
    const TModalResult answer = WidgetSet().ShowModal(*this);
    if (!*alive)
        return mrCancel;
    FModalResult = answer == mrNone ? mrCancel : answer;
    return FModalResult;
}

void TForm::PaintClient(TBitmap& Target) {
    Target.SetSize(std::max(0, GetClientWidth()), std::max(0, GetClientHeight()));
    PaintClientTo(Target, 0, 0);
}

void TForm::PaintClientTo(TBitmap& Target, int X, int Y) {
    TCanvas& canvas = Target.GetCanvas();
    canvas.GetBrush().SetColor(FColor);
    canvas.GetBrush().SetStyle(bsSolid);
    canvas.FillRect(
        Rect(X, Y, X + std::max(0, GetClientWidth()), Y + std::max(0, GetClientHeight())));
    PaintTo(Target, X, Y);
}

// ---- input ----

namespace {
bool HoldsIn(const TWinControl& Parent, const TControl* Control) {
    for (int i = 0; i < Parent.GetControlCount(); ++i) {
        const TControl* c = Parent.GetControl(i);
        if (c == Control)
            return true;
        if (auto* w = dynamic_cast<const TWinControl*>(c); w && HoldsIn(*w, Control))
            return true;
    }
    return false;
}

// Where Control's top-left corner lies in Form's client area.
void OriginIn(const TForm& Form, const TControl& Control, int& X, int& Y) {
    X = Y = 0;
    for (const TControl* c = &Control; c && c != &Form; c = c->GetParent()) {
        X += c->GetLeft();
        Y += c->GetTop();
    }
}

// The windowed controls that take the focus, in tab order, depth first.
void FocusOrder(const TWinControl& Parent, std::vector<TWinControl*>& Out) {
    for (TWinControl* w : Parent.TabList()) {
        if (!w->GetVisible() || !w->GetEnabled())
            continue;
        if (w->CanFocus() && w->TabList().empty())
            Out.push_back(w);
        FocusOrder(*w, Out);
    }
}

// Every control on the form, depth first in list order.
template <typename F> bool AnyControl(const TWinControl& Parent, F&& Fn) {
    for (int i = 0; i < Parent.GetControlCount(); ++i) {
        TControl* c = Parent.GetControl(i);
        if (!c->GetVisible() || !c->GetEnabled())
            continue;
        if (Fn(*c))
            return true;
        if (auto* w = dynamic_cast<const TWinControl*>(c); w && AnyControl(*w, Fn))
            return true;
    }
    return false;
}
// The first button on the form that is its Default (or Cancel) one.
TBitBtn* FindButton(const TWinControl& Form, bool (TBitBtn::*Is)() const) {
    TBitBtn* found = nullptr;
    AnyControl(Form, [&](TControl& C) {
        auto* b = dynamic_cast<TBitBtn*>(&C);
        if (b && (b->*Is)())
            found = b;
        return found != nullptr;
    });
    return found;
}
} // namespace

bool TForm::Holds(const TControl* Control) const {
    return Control && HoldsIn(*this, Control);
}

void TForm::HandleMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TControl* target = ControlAtPos(X, Y);
    if (!target || target == this)
        return;
    FCapture = target;
    if (auto* w = dynamic_cast<TWinControl*>(target); w && w->CanFocus() && w->TabList().empty())
        FActiveControl = w;
    int ox = 0, oy = 0;
    OriginIn(*this, *target, ox, oy);
    target->MouseDown(Button, Shift, X - ox, Y - oy);
}

void TForm::HandleMouseMove(TShiftState Shift, int X, int Y) {
    TControl* target = Holds(FCapture) ? FCapture : ControlAtPos(X, Y);
    if (!target || target == this)
        return;
    int ox = 0, oy = 0;
    OriginIn(*this, *target, ox, oy);
    target->MouseMove(Shift, X - ox, Y - oy);
}

void TForm::HandleMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TControl* target = Holds(FCapture) ? FCapture : nullptr;
    FCapture = nullptr;
    if (!target)
        return;
    int ox = 0, oy = 0;
    OriginIn(*this, *target, ox, oy);
    // A click may end the modal session or free the control; nothing is touched afterwards.
    target->MouseUp(Button, Shift, X - ox, Y - oy);
}

TWinControl* TForm::GetActiveControl() {
    std::vector<TWinControl*> order;
    FocusOrder(*this, order);
    if (std::find(order.begin(), order.end(), FActiveControl) != order.end())
        return FActiveControl;
    FActiveControl = order.empty() ? nullptr : order.front();
    return FActiveControl;
}

bool TForm::HandleKeyDown(TKey Key, TShiftState Shift) {
    switch (Key) {
    case VK_ESCAPE: {
        // A Cancel button answers Esc as if clicked; without one, Esc closes the form.
        if (TBitBtn* cancel = FindButton(*this, &TBitBtn::GetCancel))
            cancel->Click();
        else
            Close();
        return true;
    }
    case VK_RETURN:
    case VK_SPACE: {
        TControl* target = GetActiveControl();
        if (Key == VK_RETURN && !dynamic_cast<TBitBtn*>(target))
            if (TBitBtn* def = FindButton(*this, &TBitBtn::GetDefault))
                target = def;
        if (!target)
            return false;
        target->Click();
        return true;
    }
    case VK_TAB: {
        std::vector<TWinControl*> order;
        FocusOrder(*this, order);
        if (order.empty())
            return false;
        const auto at = std::find(order.begin(), order.end(), GetActiveControl()) - order.begin();
        const auto n = static_cast<std::ptrdiff_t>(order.size());
        const std::ptrdiff_t next = (Shift & ShiftBit(ssShift)) ? (at + n - 1) % n : (at + 1) % n;
        FActiveControl = order[static_cast<std::size_t>(next)];
        Invalidate();
        return true;
    }
    default:
        break;
    }
    if (Shift & ShiftBit(ssCtrl))
        return false;
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) {
        const char c = static_cast<char>(Key);
        return AnyControl(*this, [c](TControl& Control) { return Control.DialogChar(c); });
    }
    return false;
}

void TForm::VisibleChanged() {
    // The widgetset hears of hiding only what it was shown: not the form starting hidden, nor
    // the end of a modal session, which the widgetset ran itself.
    if (FModal)
        return;
    if (GetVisible()) {
        FShown = true;
        WidgetSet().ShowForm(*this);
    } else if (FShown) {
        FShown = false;
        WidgetSet().HideForm(*this);
    }
}

void TForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
    TWinControl::GetChildren(Proc, Root);
    for (int i = 0; i < GetComponentCount(); ++i)
        if (TComponent* c = GetComponent(i); Unparented(c))
            Proc(c);
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TForm", &TWinControl::StaticClassInfo(), &CreateComponent<TForm>);
        c.Ordinal<TForm, TBorderIcons>("BorderIcons", BorderIconsType(), &TForm::GetBorderIcons,
                                       &TForm::SetBorderIcons)
            .Default =
            BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize);
        c.Ordinal<TForm, TFormBorderStyle>("BorderStyle", FormBorderStyleType(),
                                           &TForm::GetBorderStyle, &TForm::SetBorderStyle)
            .Default = bsSizeable;
        c.String<TForm, std::string>("Caption", &TForm::GetCaption, &TForm::SetCaption);
        c.Ordinal<TForm, int>("ClientHeight", IntegerType(), &TForm::GetClientHeight,
                              &TForm::SetClientHeight);
        c.Ordinal<TForm, int>("ClientWidth", IntegerType(), &TForm::GetClientWidth,
                              &TForm::SetClientWidth);
        // The framework's later generation keeps a form's colour and creation order in every
        // form file; the earlier one has no creation order and stores the colour only when it
        // is not the button face.
        const bool later = HostGeneration() >= 40;
        c.Ordinal<TForm, TColor>("Color", ColorType(), &TForm::GetColor, &TForm::SetColor).Default =
            later ? std::nullopt : std::optional<std::int64_t>(clBtnFace);
        c.Object<TForm, TFont>("Font", FontType(), &TForm::GetFont, &TForm::SetFont);
        if (later)
            c.Ordinal<TForm, bool>("OldCreateOrder", BooleanType(), &TForm::GetOldCreateOrder,
                                   &TForm::SetOldCreateOrder);
        c.Ordinal<TForm, TPosition>("Position", PositionType(), &TForm::GetPosition,
                                    &TForm::SetPosition)
            .Default = poDesigned;
        c.Ordinal<TForm, int>("PixelsPerInch", IntegerType(), &TForm::GetPixelsPerInch,
                              &TForm::SetPixelsPerInch);
        c.Ordinal<TForm, int>("TextHeight", IntegerType(), &TForm::GetTextHeight,
                              &TForm::SetTextHeight);
        return c;
    }();
    return info;
}

void TForm::ReadLayout() {
    // A layout names the controls it holds by class.
    RegisterHostClasses();
    if (!InitInheritedComponent(*this, TForm::StaticClassInfo()))
        throw EResNotFound("Resource " + ClassName() + " not found");
}

void RegisterHostClasses() {
    // The registry keeps one entry per name, so registering again changes nothing.
    RegisterClass(TForm::StaticClassInfo());
    RegisterClass(TDataModule::StaticClassInfo());
    RegisterExtCtrlsClasses();
    RegisterButtonsClasses();
}

} // namespace vcl
