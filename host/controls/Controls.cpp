// Controls: bounds, visibility, parents, paint requests and the headless surfaces.
#include "host/controls/Controls.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "host/controls/WidgetSet.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

const TTypeInfo& CursorType() {
    static const TTypeInfo t{
        TTypeKind::Integer,
        "TCursor",
        {},
        {{crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
         {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
         {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
         {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
         {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
         {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
         {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
         {crSizeAll, "crSizeAll"}},
        nullptr};
    return t;
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl() {
    // First, so that no window system paints or keeps what is about to go.
    WidgetSet().DestroyControl(*this);
    SetParent(nullptr);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    WidgetSet().BoundsChanged(*this);
    Invalidate();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    VisibleChanged();
    if (FVisible)
        Invalidate();
    else if (FParent)
        FParent->Invalidate();
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    for (const TControl* p = AParent; p; p = p->FParent)
        if (p == this)
            throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) {
        std::erase(FParent->FControls, this);
        FParent->Invalidate();
    }
    FParent = AParent;
    if (FParent) {
        FParent->FControls.push_back(this);
        Invalidate();
    }
}

void TControl::Invalidate() {
    FPaintPending = true;
    WidgetSet().InvalidateControl(*this);
}

void TControl::PaintTo(TBitmap&, int, int) {}

void TControl::Loaded() {
    TComponent::Loaded();
    Invalidate();
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
    // Only a container can hold a control; inside anything else it stays where it is.
    if (auto* parent = dynamic_cast<TWinControl*>(Value))
        SetParent(parent);
}

TPropInfo& TControl::PublishVisible(TClassInfo& Info) {
    TPropInfo& p = Info.Ordinal<TControl, bool>("Visible", BooleanType(), &TControl::GetVisible,
                                                &TControl::SetVisible);
    p.Default = 1;
    p.IsStored = [](const TPersistent& o) {
        return static_cast<const TControl&>(o).IsVisibleStored();
    };
    return p;
}

const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TControl", &TComponent::StaticClassInfo());
        c.Ordinal<TControl, int>("Left", IntegerType(), &TControl::GetLeft, &TControl::SetLeft);
        c.Ordinal<TControl, int>("Top", IntegerType(), &TControl::GetTop, &TControl::SetTop);
        c.Ordinal<TControl, int>("Width", IntegerType(), &TControl::GetWidth, &TControl::SetWidth);
        c.Ordinal<TControl, int>("Height", IntegerType(), &TControl::GetHeight,
                                 &TControl::SetHeight);
        c.Ordinal<TControl, TCursor>("Cursor", CursorType(), &TControl::GetCursor,
                                     &TControl::SetCursor)
            .Default = crDefault;
        c.String<TControl, std::string>("Hint", &TControl::GetHint, &TControl::SetHint);
        return c;
    }();
    return info;
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FSurface(std::make_unique<TBitmap>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // The surface first: a size that cannot be allocated raises before the bounds change.
    FSurface->SetSize(AWidth, AHeight);
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TGraphicControl::Update() {
    if (!GetVisible() || !PaintPending())
        return false;
    for (int round = 0; round < MaxPaintRounds && PaintPending(); ++round) {
        ClearPaintPending();
        Paint();
    }
    return true;
}

void TGraphicControl::PaintTo(TBitmap& Target, int X, int Y) {
    Target.GetCanvas().Draw(X, Y, *FSurface);
}

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info("TGraphicControl", &TControl::StaticClassInfo());
    return info;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // The children may outlive this container (another owner keeps them); they must not point
    // at it afterwards.
    for (TControl* c : FControls)
        c->FParent = nullptr;
    FControls.clear();
}

TControl* TWinControl::GetControl(int Index) const {
    if (Index < 0 || Index >= GetControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<std::size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    return std::find(FControls.begin(), FControls.end(), Control) != FControls.end();
}

bool TWinControl::Update() {
    ClearPaintPending();
    if (!GetVisible())
        return false;
    bool painted = false;
    // Copy: a child's paint may reparent controls.
    const std::vector<TControl*> children = FControls;
    for (TControl* c : children)
        if (ContainsControl(c) && c->GetVisible())
            painted = c->Update() || painted;
    return painted;
}

namespace {
// Places far outside any bitmap stay far outside instead of wrapping round into it.
int Offset(int Origin, int Delta) {
    return static_cast<int>(
        std::clamp<std::int64_t>(std::int64_t{Origin} + Delta, INT_MIN, INT_MAX));
}
} // namespace

void TWinControl::PaintTo(TBitmap& Target, int X, int Y) {
    // As a screen would, each child's pending repaint is served before it is drawn. Asked
    // directly, a container draws its children even while it is itself hidden.
    ClearPaintPending();
    const std::vector<TControl*> children = FControls;
    for (TControl* c : children)
        if (ContainsControl(c) && c->GetVisible()) {
            c->Update();
            c->PaintTo(Target, Offset(X, c->GetLeft()), Offset(Y, c->GetTop()));
        }
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc,
                              TComponent* Root) const {
    for (TControl* c : FControls)
        if (c->GetOwner() == Root)
            Proc(c);
}

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info("TWinControl", &TControl::StaticClassInfo());
    return info;
}

} // namespace vcl
