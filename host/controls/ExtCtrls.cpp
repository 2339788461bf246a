// Panels with their bevels, and images with their pictures.
#include "host/controls/ExtCtrls.h"

#include <algorithm>

#include "host/controls/Forms.h"

namespace vcl {

const TTypeInfo& PanelBevelType() {
    static const TTypeInfo t{TTypeKind::Enumeration,
                             "TPanelBevel",
                             {"bvNone", "bvLowered", "bvRaised", "bvSpace"},
                             {},
                             nullptr};
    return t;
}

TRect Frame3D(TCanvas& Canvas, TRect R, TColor TopColor, TColor BottomColor, int Width) {
    TBrush& brush = Canvas.GetBrush();
    brush.SetStyle(bsSolid);
    for (int i = 0; i < Width && R.Right > R.Left && R.Bottom > R.Top; ++i) {
        const int right = R.Right - 1, bottom = R.Bottom - 1;
        // The top and left edges first; the bottom and right ones take the corners they share.
        brush.SetColor(TopColor);
        Canvas.FillRect(Rect(R.Left, R.Top, R.Left + 1, bottom + 1));
        Canvas.FillRect(Rect(R.Left, R.Top, right, R.Top + 1));
        brush.SetColor(BottomColor);
        Canvas.FillRect(Rect(right, R.Top, right + 1, bottom + 1));
        Canvas.FillRect(Rect(R.Left, bottom, right + 1, bottom + 1));
        R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    }
    return R;
}

// ---- TPanel ----

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelInner(TPanelBevel Value) {
    FBevelInner = Value;
    AlignControls();
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel Value) {
    FBevelOuter = Value;
    AlignControls();
    Invalidate();
}

void TPanel::SetBevelWidth(int Value) {
    if (Value < 1)
        return;
    FBevelWidth = Value;
    AlignControls();
    Invalidate();
}

void TPanel::SetCaption(const std::string& Value) {
    FCaption = Value;
    Invalidate();
}

void TPanel::SetColor(TColor Value) {
    FColor = Value;
    Invalidate();
}

TRect TPanel::GetClientRect() const {
    int inset = 0;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    // Wide bevels on a small panel leave an empty area, never a negative one.
    const int w = GetWidth(), h = GetHeight();
    const int x = std::min(inset, std::max(0, w / 2)), y = std::min(inset, std::max(0, h / 2));
    return Rect(x, y, std::max(x, w - inset), std::max(y, h - inset));
}

namespace {
void Bevel(TCanvas& Canvas, TRect& R, TPanelBevel Kind, TColor Face, int Width) {
    if (Kind == bvNone)
        return;
    const TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
    if (Kind == bvLowered)
        R = Frame3D(Canvas, R, dark, light, Width);
    else if (Kind == bvRaised)
        R = Frame3D(Canvas, R, light, dark, Width);
    else
        R = Frame3D(Canvas, R, Face, Face, Width);
}
} // namespace

void TPanel::PaintTo(TBitmap& Target, int X, int Y) {
    // Drawn on a surface of its own size, so that nothing it draws passes its edges.
    TBitmap surface;
    surface.SetSize(std::max(0, GetWidth()), std::max(0, GetHeight()));
    TCanvas& canvas = surface.GetCanvas();
    const TColor face = ColorToRGB(FColor);
    TRect r = Rect(0, 0, surface.GetWidth(), surface.GetHeight());
    Bevel(canvas, r, FBevelOuter, face, FBevelWidth);
    Bevel(canvas, r, FBevelInner, face, FBevelWidth);
    canvas.GetBrush().SetColor(face);
    canvas.FillRect(r);
    if (!FCaption.empty()) {
        if (const TForm* form = GetParentForm())
            canvas.SetFont(form->GetFont());
        canvas.GetBrush().SetStyle(bsClear);
        canvas.TextOut((surface.GetWidth() - canvas.TextWidth(FCaption)) / 2,
                       (surface.GetHeight() - canvas.TextHeight(FCaption)) / 2, FCaption);
    }
    Target.GetCanvas().Draw(X, Y, surface);
    TWinControl::PaintTo(Target, X, Y);
}

const TClassInfo& TPanel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TPanel", &TWinControl::StaticClassInfo(), &CreateComponent<TPanel>);
        c.Ordinal<TPanel, TAlign>("Align", AlignType(), &TPanel::GetAlign, &TPanel::SetAlign)
            .Default = alNone;
        c.Ordinal<TPanel, TPanelBevel>("BevelInner", PanelBevelType(), &TPanel::GetBevelInner,
                                       &TPanel::SetBevelInner)
            .Default = bvNone;
        c.Ordinal<TPanel, TPanelBevel>("BevelOuter", PanelBevelType(), &TPanel::GetBevelOuter,
                                       &TPanel::SetBevelOuter)
            .Default = bvRaised;
        c.Ordinal<TPanel, int>("BevelWidth", IntegerType(), &TPanel::GetBevelWidth,
                               &TPanel::SetBevelWidth)
            .Default = 1;
        c.String<TPanel, std::string>("Caption", &TPanel::GetCaption, &TPanel::SetCaption);
        c.Ordinal<TPanel, TColor>("Color", ColorType(), &TPanel::GetColor, &TPanel::SetColor)
            .Default = clBtnFace;
        c.Ordinal<TPanel, int>("TabOrder", IntegerType(), &TPanel::GetTabOrder,
                               &TPanel::SetTabOrder)
            .Default = -1;
        PublishVisible(c);
        return c;
    }();
    return info;
}

// ---- TImage ----

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this] { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::SetPicture(const TPicture* Value) {
    if (Value)
        FPicture->Assign(*Value);
    else
        FPicture->SetBitmap(nullptr);
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    if (Value)
        PictureChanged();
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::PictureChanged() {
    // An aligned image asks its parent again, which gives it back its aligned size.
    if (FAutoSize && FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0)
        SetBounds(GetLeft(), GetTop(), FPicture->GetWidth(), FPicture->GetHeight());
    Invalidate();
}

int TImage::PictureLeft() const {
    return FCenter ? (GetWidth() - FPicture->GetWidth()) / 2 : 0;
}

int TImage::PictureTop() const {
    return FCenter ? (GetHeight() - FPicture->GetHeight()) / 2 : 0;
}

void TImage::PaintTo(TBitmap& Target, int X, int Y) {
    const TBitmap& picture = FPicture->GetBitmap();
    const int w = std::max(0, GetWidth()), h = std::max(0, GetHeight());
    if (picture.Empty() || w == 0 || h == 0)
        return;
    TBitmap part;
    part.SetPixelFormat(picture.GetPixelFormat());
    if (FStretch) {
        part.SetSize(w, h);
        for (int y = 0; y < h; ++y) {
            const int sy = static_cast<int>(std::int64_t{y} * picture.GetHeight() / h);
            for (int x = 0; x < w; ++x)
                part.GetCanvas().SetPixel(
                    x, y,
                    picture.PixelColor(static_cast<int>(std::int64_t{x} * picture.GetWidth() / w),
                                       sy));
        }
        Target.GetCanvas().Draw(X, Y, part);
        return;
    }
    // Only the part inside the control is drawn: the picture is cut at its edges.
    const int left = PictureLeft(), top = PictureTop();
    const int x0 = std::max(0, left), y0 = std::max(0, top);
    const int x1 = std::min(w, left + picture.GetWidth()),
              y1 = std::min(h, top + picture.GetHeight());
    if (x1 <= x0 || y1 <= y0)
        return;
    if (x0 == left && y0 == top && x1 - x0 == picture.GetWidth() &&
        y1 - y0 == picture.GetHeight()) {
        Target.GetCanvas().Draw(X + x0, Y + y0, picture);
        return;
    }
    part.SetSize(x1 - x0, y1 - y0);
    part.GetCanvas().Draw(left - x0, top - y0, picture);
    Target.GetCanvas().Draw(X + x0, Y + y0, part);
}

const TClassInfo& TImage::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TImage", &TGraphicControl::StaticClassInfo(), &CreateComponent<TImage>);
        c.Ordinal<TImage, TAlign>("Align", AlignType(), &TImage::GetAlign, &TImage::SetAlign)
            .Default = alNone;
        c.Ordinal<TImage, bool>("AutoSize", BooleanType(), &TImage::GetAutoSize,
                                &TImage::SetAutoSize)
            .Default = 0;
        c.Ordinal<TImage, bool>("Center", BooleanType(), &TImage::GetCenter, &TImage::SetCenter)
            .Default = 0;
        c.Object<TImage, TPicture>("Picture", PictureType(), &TImage::GetPicture,
                                   &TImage::SetPicture);
        c.Ordinal<TImage, bool>("Stretch", BooleanType(), &TImage::GetStretch, &TImage::SetStretch)
            .Default = 0;
        PublishVisible(c);
        return c;
    }();
    return info;
}

void RegisterExtCtrlsClasses() {
    RegisterClass(TPanel::StaticClassInfo());
    RegisterClass(TImage::StaticClassInfo());
}

} // namespace vcl
