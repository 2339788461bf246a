#pragma once
// The roots of form files: data modules, plain containers of components, and forms, the windows
// that the widgetset shows, modal or not.

#include <string>

#include "host/controls/Controls.h"
#include "host/graphics/Graphics.h"

namespace vcl {

// Published: Left, Top, Height and Width, the place and size the designer gave the module.
class TDataModule : public TComponent {
public:
    explicit TDataModule(TComponent* AOwner);

    int GetLeft() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }
    int GetTop() const { return FTop; }
    void SetTop(int Value) { FTop = Value; }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }

    // The owned components that no control holds, in the order they were inserted.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    int FLeft = 0;
    int FTop = 0;
    int FHeight = 150;
    int FWidth = 215;
};

// Published after the control's own: Caption, ClientHeight, ClientWidth, Color, Font,
// PixelsPerInch, TextHeight. The client area is the window less a classic sizeable frame with a
// caption, so the outer and the client size always agree whichever a file gives last. A new form
// is hidden until shown.
class TForm : public TWinControl {
public:
    static constexpr int FrameWidth = 8;
    static constexpr int FrameHeight = 27;

    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    int GetClientWidth() const;
    void SetClientWidth(int Value);
    int GetClientHeight() const;
    void SetClientHeight(int Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TFont& GetFont() { return *FFont; }
    const TFont& GetFont() const { return *FFont; }
    // Copies the attributes of Value; a null font changes nothing.
    void SetFont(const TFont* Value);
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    int GetTextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }

    // Visible, told to the widgetset.
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // A modal form answers mrCancel; any other is hidden.
    void Close();
    // Shows the form modally and answers how it was closed: the widgetset's answer, mrCancel if
    // it gave none. Only a hidden form can be made modal: EInvalidOperation otherwise.
    TModalResult ShowModal();
    // Setting a result other than mrNone ends the modal session.
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool IsModal() const { return FModal; }

    // Sizes Target to the client area and paints what the window shows there: the form's colour
    // under its visible controls.
    void PaintClient(TBitmap& Target);

    // Its controls that it owns first, then its owned components that no control holds.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    void VisibleChanged() override;

private:
    std::string FCaption;
    TColor FColor = clBtnFace;
    std::unique_ptr<TFont> FFont;
    int FPixelsPerInch = 96;
    // The height of a line in the form's font when it was designed (MS Sans Serif, 8 points).
    int FTextHeight = 13;
    TModalResult FModalResult = mrNone;
    // While modal, showing and hiding belong to the widgetset's modal session.
    bool FModal = false;
    // Shown through the widgetset, outside a modal session.
    bool FShown = false;
};

// Makes TForm and TDataModule known to the form reader. Calling it again does no harm.
void RegisterHostClasses();

} // namespace vcl
