// Form-file roots: data modules and headless forms, and their registration.
#include "host/controls/Forms.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "host/controls/WidgetSet.h"
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

TForm::~TForm() = default;

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
    struct EndSession {
        TForm& Form;
        ~EndSession() {
            Form.SetVisible(false);
            Form.FModal = false;
        }
    } end{*this};
    SetVisible(true);
    const TModalResult answer = WidgetSet().ShowModal(*this);
    FModalResult = answer == mrNone ? mrCancel : answer;
    return FModalResult;
}

void TForm::PaintClient(TBitmap& Target) {
    Target.SetSize(std::max(0, GetClientWidth()), std::max(0, GetClientHeight()));
    TCanvas& canvas = Target.GetCanvas();
    canvas.GetBrush().SetColor(FColor);
    canvas.GetBrush().SetStyle(bsSolid);
    canvas.FillRect(Rect(0, 0, Target.GetWidth(), Target.GetHeight()));
    PaintTo(Target, 0, 0);
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
        c.String<TForm, std::string>("Caption", &TForm::GetCaption, &TForm::SetCaption);
        c.Ordinal<TForm, int>("ClientHeight", IntegerType(), &TForm::GetClientHeight,
                              &TForm::SetClientHeight);
        c.Ordinal<TForm, int>("ClientWidth", IntegerType(), &TForm::GetClientWidth,
                              &TForm::SetClientWidth);
        c.Ordinal<TForm, TColor>("Color", ColorType(), &TForm::GetColor, &TForm::SetColor);
        c.Object<TForm, TFont>("Font", FontType(), &TForm::GetFont, &TForm::SetFont);
        c.Ordinal<TForm, int>("PixelsPerInch", IntegerType(), &TForm::GetPixelsPerInch,
                              &TForm::SetPixelsPerInch);
        c.Ordinal<TForm, int>("TextHeight", IntegerType(), &TForm::GetTextHeight,
                              &TForm::SetTextHeight);
        return c;
    }();
    return info;
}

void RegisterHostClasses() {
    // The registry keeps one entry per name, so registering again changes nothing.
    RegisterClass(TForm::StaticClassInfo());
    RegisterClass(TDataModule::StaticClassInfo());
}

} // namespace vcl
