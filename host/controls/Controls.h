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

class TWinControl;

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
};

} // namespace vcl
