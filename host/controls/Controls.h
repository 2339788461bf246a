#pragma once
// Controls: bounds, visibility, parents and paint requests. A graphic control paints on a bitmap
// of its own size and a container composes its children's surfaces onto a target bitmap, so
// everything draws headless; what a window system must hear of goes through the widgetset
// (host/controls/WidgetSet.h).

#include <memory>
#include <string>
#include <vector>

#include "host/classes/Classes.h"
#include "host/graphics/Graphics.h"

namespace vcl {

// A mouse cursor: one of the stock cursors below or an application's own number.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// TCursor, an integer that form files spell by its identifier where it has one.
const TTypeInfo& CursorType();

// How a modal form was closed: one of the answers below, or an application's own number.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

// Where a control sits in its parent: anywhere (alNone) or along one side or over the whole of
// the parent's client area, laid out again whenever the parent changes size.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
const TTypeInfo& AlignType();

// Input from the window system.
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
// A set of TShiftStateFlag, a bit per member.
using TShiftState = std::uint8_t;
constexpr TShiftState ShiftBit(TShiftStateFlag F) {
    return static_cast<TShiftState>(1u << F);
}
// Virtual key codes as the framework numbers them; letters and digits are their upper-case
// ASCII codes.
using TKey = std::uint16_t;
inline constexpr TKey VK_BACK = 8;
inline constexpr TKey VK_TAB = 9;
inline constexpr TKey VK_RETURN = 13;
inline constexpr TKey VK_ESCAPE = 27;
inline constexpr TKey VK_SPACE = 32;
inline constexpr TKey VK_LEFT = 37;
inline constexpr TKey VK_UP = 38;
inline constexpr TKey VK_RIGHT = 39;
inline constexpr TKey VK_DOWN = 40;
inline constexpr TKey VK_DELETE = 46;

class TWinControl;
class TForm;

// Published: Left, Top, Width, Height, Cursor, Hint. Visible is kept by every control but
// published only by the classes that choose to (through PublishVisible).
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    int GetLeft() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int GetTop() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Every change of place or size is told to the widgetset and asks for a repaint.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    bool GetVisible() const { return FVisible; }
    // Showing a hidden control asks for a repaint; hiding one asks its parent to repaint where
    // it was. A hidden control does not paint.
    void SetVisible(bool Value);
    // No action links here, so Visible is always stored (and, defaulting to true, written only
    // when false).
    bool IsVisibleStored() const { return true; }
    // Whether form files keep Width and Height; a form keeps its client size instead.
    virtual bool StoresSize() const { return true; }

    // A disabled control takes no input and paints itself greyed.
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Published by the classes that lay themselves out (TPanel, TImage): setting it lays out
    // the parent's aligned children again.
    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign Value);

    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }

    TWinControl* GetParent() const { return FParent; }
    // Moves the control into AParent's control list (out of the former parent's, which repaints
    // where it was). A control cannot sit inside itself: EInvalidOperation.
    void SetParent(TWinControl* AParent);

    // Asks for a repaint at the next paint request, and tells the widgetset so that a window
    // system can make that request.
    virtual void Invalidate();
    bool PaintPending() const { return FPaintPending; }
    // Serves a pending paint request; true when the control painted.
    virtual bool Update() { return false; }
    // Draws the control as it looks now onto Target with its top-left corner at (X, Y).
    virtual void PaintTo(TBitmap& Target, int X, int Y);

    // Mouse input, in the control's own coordinates, as the form routes it (TForm::MouseInput):
    // the control under the pointer gets the press and keeps the pointer until the release.
    virtual void MouseDown(TMouseButton, TShiftState, int, int) {}
    virtual void MouseMove(TShiftState, int, int) {}
    virtual void MouseUp(TMouseButton, TShiftState, int, int) {}
    // What a click does; buttons override it.
    virtual void Click() {}
    // Asked for a typed character with Alt or on a form without a focused editor: a control
    // whose caption has Key as its accelerator (&O) clicks itself and answers true.
    virtual bool DialogChar(char) { return false; }
    // Whether the control paints and takes the pointer: when visible, and always in a designer.
    bool Shows() const;
    // The form the control stands on, if it stands on one.
    TForm* GetParentForm() const;

    // A control read from a form file has not yet painted with what was read: its paints while
    // loading draw nothing.
    void Loaded() override;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    virtual void Paint() {}
    // Called once Visible has changed, before the repaint it asks for.
    virtual void VisibleChanged() {}
    void ClearPaintPending() { FPaintPending = false; }
    // Publishes Visible with the framework's default (true) and storage rule.
    static TPropInfo& PublishVisible(TClassInfo& Info);

private:
    friend class TWinControl;

    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TAlign FAlign = alNone;
    // A new control has never painted.
    bool FPaintPending = true;
    TCursor FCursor = crDefault;
    std::string FHint;
    TWinControl* FParent = nullptr;
};

// A window-less control: it paints on its own surface, a bitmap kept at the control's size.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    // The surface stays the size of the control; growing keeps what was drawn.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Paints a visible control whose repaint was asked for. A paint that changes the bounds asks
    // again and is served at once, for a few rounds at most so that no control can keep the
    // request loop going.
    bool Update() override;
    static constexpr int MaxPaintRounds = 8;

    // The surface as last painted.
    const TBitmap& GetSurface() const { return *FSurface; }
    void PaintTo(TBitmap& Target, int X, int Y) override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    TCanvas& GetCanvas() { return FSurface->GetCanvas(); }

private:
    std::unique_ptr<TBitmap> FSurface;
};

// A control that holds others. Its children are listed in the order they were given this
// parent; a container that goes away leaves its children without a parent.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int GetControlCount() const { return static_cast<int>(FControls.size()); }
    // EListError outside 0 .. ControlCount - 1.
    TControl* GetControl(int Index) const;
    bool ContainsControl(const TControl* Control) const;

    // The area that aligned children share, in the control's own coordinates: the whole
    // control unless a class keeps a border (a panel's bevels).
    virtual TRect GetClientRect() const { return Rect(0, 0, GetWidth(), GetHeight()); }
    // Lays the aligned children out in the client area: top, bottom, left and right ones in
    // list order, each taking its side; then the client ones over what is left.
    void AlignControls();
    // A change of size lays the children out again.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The place among its parent's windowed controls that Tab visits, from 0; -1 without a
    // parent. Setting it moves the control there (clamped to the list).
    int GetTabOrder() const;
    void SetTabOrder(int Value);
    // The windowed children in tab order.
    const std::vector<TWinControl*>& TabList() const { return FTabList; }
    // Whether Tab stops here: a windowed control that is visible and enabled, and (by default)
    // takes the focus.
    virtual bool CanFocus() const;

    // The deepest visible, enabled control under (X, Y), given in this control's coordinates;
    // this control itself when no child is there, nullptr outside it.
    TControl* ControlAtPos(int X, int Y);

    // Serves the pending paint requests of the visible children, and of theirs.
    bool Update() override;
    // Paints the visible children, each at its place relative to (X, Y), serving their pending
    // repaints first.
    void PaintTo(TBitmap& Target, int X, int Y) override;
    void PaintTo(TBitmap& Target) { PaintTo(Target, 0, 0); }

    // The children that Root owns, in list order: they are written inside this control.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    friend class TControl;

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FAligning = false;
};

} // namespace vcl
