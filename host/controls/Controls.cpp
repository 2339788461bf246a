// Controls: bounds, visibility, parents, paint requests and the headless surfaces.
#include "host/controls/Controls.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "host/controls/Forms.h"
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

const TTypeInfo& AlignType() {
    static const TTypeInfo t{TTypeKind::Enumeration,
                             "TAlign",
                             {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
                             {},
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
    // An aligned control goes where its parent's layout puts it, whatever it was given.
    if (FAlign != alNone && FParent)
        FParent->AlignControls();
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

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Invalidate();
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign)
        return;
    FAlign = Value;
    if (FParent)
        FParent->AlignControls();
}

bool TControl::Shows() const {
    // A form designer shows hidden controls too, so that they can be found and edited.
    return FVisible || InState(csDesigning);
}

TForm* TControl::GetParentForm() const {
    const TControl* root = this;
    while (root->FParent)
        root = root->FParent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(root));
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    for (const TControl* p = AParent; p; p = p->FParent)
        if (p == this)
            throw EInvalidOperation("A control cannot have itself as its parent");
    auto* windowed = dynamic_cast<TWinControl*>(this);
    if (FParent) {
        std::erase(FParent->FControls, this);
        std::erase(FParent->FTabList, windowed);
        FParent->Invalidate();
    }
    FParent = AParent;
    if (FParent) {
        FParent->FControls.push_back(this);
        if (windowed)
            FParent->FTabList.push_back(windowed);
        if (FAlign != alNone)
            FParent->AlignControls();
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
        auto sizeStored = [](const TPersistent& o) {
            return static_cast<const TControl&>(o).StoresSize();
        };
        c.Ordinal<TControl, int>("Width", IntegerType(), &TControl::GetWidth, &TControl::SetWidth)
            .IsStored = sizeStored;
        c.Ordinal<TControl, int>("Height", IntegerType(), &TControl::GetHeight,
                                 &TControl::SetHeight)
            .IsStored = sizeStored;
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
    if (!Shows() || !PaintPending())
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
    FTabList.clear();
}

TControl* TWinControl::GetControl(int Index) const {
    if (Index < 0 || Index >= GetControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<std::size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    return std::find(FControls.begin(), FControls.end(), Control) != FControls.end();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool resized = AWidth != GetWidth() || AHeight != GetHeight();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized)
        AlignControls();
}

void TWinControl::AlignControls() {
    // An aligned child's SetBounds asks its parent to lay out again; one round at a time.
    if (FAligning)
        return;
    FAligning = true;
    struct Done {
        bool& Flag;
        ~Done() { Flag = false; }
    } done{FAligning};
    TRect r = GetClientRect();
    auto width = [](const TRect& R) { return std::max(0, R.Right - R.Left); };
    auto height = [](const TRect& R) { return std::max(0, R.Bottom - R.Top); };
    const std::vector<TControl*> children = FControls;
    for (TAlign side : {alTop, alBottom, alLeft, alRight, alClient})
        for (TControl* c : children) {
            if (!ContainsControl(c) || c->FAlign != side || !c->FVisible)
                continue;
            switch (side) {
            case alTop:
                c->SetBounds(r.Left, r.Top, width(r), c->FHeight);
                r.Top = std::min(r.Bottom, r.Top + std::max(0, c->FHeight));
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - c->FHeight, width(r), c->FHeight);
                r.Bottom = std::max(r.Top, r.Bottom - std::max(0, c->FHeight));
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, c->FWidth, height(r));
                r.Left = std::min(r.Right, r.Left + std::max(0, c->FWidth));
                break;
            case alRight:
                c->SetBounds(r.Right - c->FWidth, r.Top, c->FWidth, height(r));
                r.Right = std::max(r.Left, r.Right - std::max(0, c->FWidth));
                break;
            default:
                c->SetBounds(r.Left, r.Top, width(r), height(r));
                break;
            }
        }
}

int TWinControl::GetTabOrder() const {
    const TWinControl* parent = GetParent();
    if (!parent)
        return -1;
    const auto& list = parent->FTabList;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    TWinControl* parent = GetParent();
    if (!parent)
        return;
    auto& list = parent->FTabList;
    std::erase(list, this);
    const auto at = static_cast<std::size_t>(std::clamp(Value, 0, static_cast<int>(list.size())));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), this);
}

bool TWinControl::CanFocus() const {
    // A form is hidden until shown, and its controls wait with it.
    for (const TControl* c = this; c; c = c->GetParent())
        if ((!c->GetVisible() && !dynamic_cast<const TForm*>(c)) || !c->GetEnabled())
            return false;
    return true;
}

TControl* TWinControl::ControlAtPos(int X, int Y) {
    if (X < 0 || Y < 0 || X >= GetWidth() || Y >= GetHeight())
        return nullptr;
    // The last child painted is on top.
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Shows() || !c->FEnabled)
            continue;
        const std::int64_t x = std::int64_t{X} - c->FLeft, y = std::int64_t{Y} - c->FTop;
        if (x < 0 || y < 0 || x >= c->FWidth || y >= c->FHeight)
            continue;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            return w->ControlAtPos(static_cast<int>(x), static_cast<int>(y));
        return c;
    }
    return this;
}

bool TWinControl::Update() {
    ClearPaintPending();
    if (!Shows())
        return false;
    bool painted = false;
    // Copy: a child's paint may reparent controls.
    const std::vector<TControl*> children = FControls;
    for (TControl* c : children)
        if (ContainsControl(c) && c->Shows())
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
        if (ContainsControl(c) && c->Shows()) {
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
