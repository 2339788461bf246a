#pragma once
// The roots of form files: data modules, plain containers of components, and forms, the windows
// that the widgetset shows, modal or not.

#include <cstdint>
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

// The window decorations a form asks for.
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
// A set of TBorderIcon, a bit per member.
using TBorderIcons = std::uint8_t;
constexpr TBorderIcons BorderIconBit(TBorderIcon B) {
    return static_cast<TBorderIcons>(1u << B);
}
// bsSingle: a fixed size; bsSizeable: the user may resize it; bsDialog: fixed, with a dialog's
// frame; the tool windows a small caption.
enum TFormBorderStyle : std::uint8_t {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
// Where a form appears when shown: where it was designed, where the window system likes, or
// centred on the screen or on the desktop.
enum TPosition : std::uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter
};
const TTypeInfo& BorderIconsType();
const TTypeInfo& FormBorderStyleType();
const TTypeInfo& PositionType();

// Published after the control's own: BorderIcons, BorderStyle, Caption, ClientHeight,
// ClientWidth, Color, Font, OldCreateOrder, Position, PixelsPerInch, TextHeight. Form files keep
// the client size, not the outer one, and always its colour and creation order. The client area
// is the window less a classic sizeable frame with a caption, so the outer and the client size
// always agree whichever a file gives last. A new form is hidden until shown.
//
// A form class with a layout of its own loads it in its constructor (ReadLayout).
class TForm : public TWinControl {
public:
    static constexpr int FrameWidth = 8;
    static constexpr int FrameHeight = 27;

    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    std::string GetCaption() const { return FCaption; }
    // The window's look changes with these: each asks for a repaint, which a window system
    // takes to bring its window up to date.
    void SetCaption(const std::string& Value) { Change(FCaption, Value); }
    int GetClientWidth() const;
    void SetClientWidth(int Value);
    int GetClientHeight() const;
    void SetClientHeight(int Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { Change(FColor, Value); }
    TFont& GetFont() { return *FFont; }
    const TFont& GetFont() const { return *FFont; }
    // Copies the attributes of Value; a null font changes nothing.
    void SetFont(const TFont* Value);
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    int GetTextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }
    TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value) { Change(FBorderIcons, Value); }
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value) { Change(FBorderStyle, Value); }
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition Value) { Change(FPosition, Value); }
    // Kept for the form files of the framework's generation that store it; OnCreate runs
    // after the constructors either way, as no handler is called here.
    bool GetOldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    bool StoresSize() const override { return false; }

    // Visible, told to the widgetset.
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // A modal form answers mrCancel; any other is hidden.
    void Close();
    // Shows the form modally and answers how it was closed: the widgetset's answer, mrCancel if
    // it gave none or the form was freed meanwhile. Only a hidden form can be made modal:
    // EInvalidOperation otherwise.
    TModalResult ShowModal();
    // Setting a result other than mrNone ends the modal session.
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool IsModal() const { return FModal; }

    // Input from the window system, in client coordinates. The control under the pointer gets
    // the press and every move and the release that follow, wherever the pointer goes.
    void HandleMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void HandleMouseMove(TShiftState Shift, int X, int Y);
    void HandleMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // A key pressed in the window, as a dialog takes it: Esc closes the form (mrCancel when
    // modal); Enter and Space click the focused button; Tab and Shift+Tab move the focus in tab
    // order; a letter with Alt, or alone, clicks the control whose caption has it as its
    // accelerator. Answers whether the key was used.
    bool HandleKeyDown(TKey Key, TShiftState Shift);
    // The control with the focus: the one last clicked or tabbed to, else the first in tab
    // order that can take it; nullptr when none can.
    TWinControl* GetActiveControl();
    void SetActiveControl(TWinControl* Value) { FActiveControl = Value; }
    // Whether Control stands on this form now; safe for a pointer to a control since freed.
    bool Holds(const TControl* Control) const;

    // Sizes Target to the client area and paints what the window shows there: the form's colour
    // under its visible controls.
    void PaintClient(TBitmap& Target);
    // Paints the client area onto Target at (X, Y) without resizing it.
    void PaintClientTo(TBitmap& Target, int X, int Y);

    // Its controls that it owns first, then its owned components that no control holds.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    void VisibleChanged() override;
    // Reads the layouts of this form's classes from their modules' resources, each an RCDATA
    // resource named after its class in capitals, the most basic first, binding the published
    // component fields by name. A form class with a layout calls it in its constructor; with no
    // layout for any class between TForm and its own, EResNotFound names the class.
    void ReadLayout();

private:
    template <typename T> void Change(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Field = Value;
        Invalidate();
    }

    std::string FCaption;
    TColor FColor = clBtnFace;
    std::unique_ptr<TFont> FFont;
    int FPixelsPerInch = 96;
    // The height of a line in the form's font when it was designed (MS Sans Serif, 8 points).
    int FTextHeight = 13;
    TModalResult FModalResult = mrNone;
    TBorderIcons FBorderIcons =
        BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize);
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    bool FOldCreateOrder = false;
    TControl* FCapture = nullptr;
    TWinControl* FActiveControl = nullptr;
    // While modal, showing and hiding belong to the widgetset's modal session.
    bool FModal = false;
    // Shown through the widgetset, outside a modal session.
    bool FShown = false;
    // Set false when the form goes: a modal session whose form was freed meanwhile (by a
    // handler, by its owner) must not touch it once the widgetset returns.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Makes TForm, TDataModule and the controls of this unit known to the form reader. Calling it again
// does no harm.
void RegisterHostClasses();

} // namespace vcl
