// Bit buttons: a glyph and a caption on a classic push button.
#include "host/controls/Buttons.h"

#include <algorithm>

#include "host/controls/ExtCtrls.h"
#include "host/controls/Forms.h"

namespace vcl {

TBitBtn::TBitBtn(TComponent* AOwner) : TWinControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 75, 25);
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetCaption(const std::string& Value) {
    FCaption = Value;
    Invalidate();
}

void TBitBtn::SetGlyph(const TBitmap* Value) {
    if (Value)
        FGlyph->Assign(*Value);
    else
        FGlyph = std::make_unique<TBitmap>();
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int Value) {
    if (Value < 1 || Value > 4)
        return;
    FNumGlyphs = Value;
    Invalidate();
}

std::string TBitBtn::StripAccelerator(const std::string& Caption, int& Accelerator) {
    std::string shown;
    Accelerator = -1;
    for (std::size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size()) {
            ++i;
            if (Caption[i] != '&' && Accelerator < 0)
                Accelerator = static_cast<int>(shown.size());
        }
        shown += Caption[i];
    }
    return shown;
}

void TBitBtn::Click() {
    // The form hears first, so that a handler may still change its answer.
    if (FModalResult != mrNone)
        if (TForm* form = GetParentForm())
            form->SetModalResult(FModalResult);
    if (OnClick)
        OnClick();
}

bool TBitBtn::DialogChar(char Key) {
    int at = -1;
    const std::string shown = StripAccelerator(FCaption, at);
    if (at < 0 || !GetVisible() || !GetEnabled())
        return false;
    if (!SameText(shown.substr(static_cast<std::size_t>(at), 1), std::string(1, Key)))
        return false;
    Click();
    return true;
}

void TBitBtn::MouseDown(TMouseButton Button, TShiftState, int, int) {
    if (Button != mbLeft)
        return;
    FPressing = FDown = true;
    Invalidate();
}

void TBitBtn::MouseMove(TShiftState, int X, int Y) {
    if (!FPressing)
        return;
    const bool inside = X >= 0 && Y >= 0 && X < GetWidth() && Y < GetHeight();
    if (inside != FDown) {
        FDown = inside;
        Invalidate();
    }
}

void TBitBtn::MouseUp(TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft || !FPressing)
        return;
    const bool clicked = X >= 0 && Y >= 0 && X < GetWidth() && Y < GetHeight();
    FPressing = FDown = false;
    Invalidate();
    // Last: a click may end the form and everything on it.
    if (clicked)
        Click();
}

void TBitBtn::DrawGlyph(TBitmap& Surface, int Index, int X, int Y) const {
    const int w = FGlyph->GetWidth() / FNumGlyphs, h = FGlyph->GetHeight();
    const int left = Index * w;
    const TColor clear = FGlyph->PixelColor(left, h - 1);
    TCanvas& canvas = Surface.GetCanvas();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (const TColor c = FGlyph->PixelColor(left + x, y); c != clear)
                canvas.SetPixel(X + x, Y + y, c);
}

void TBitBtn::PaintTo(TBitmap& Target, int X, int Y) {
    TBitmap surface;
    surface.SetSize(std::max(0, GetWidth()), std::max(0, GetHeight()));
    TCanvas& canvas = surface.GetCanvas();
    TRect r = Rect(0, 0, surface.GetWidth(), surface.GetHeight());
    TForm* form = GetParentForm();
    const bool focused = form && GetEnabled() && form->GetActiveControl() == this;
    const TColor black = ColorToRGB(cl3DDkShadow), shadow = ColorToRGB(clBtnShadow);
    if (focused || FDefault)
        r = Frame3D(canvas, r, black, black, 1);
    if (FDown) {
        r = Frame3D(canvas, r, shadow, shadow, 1);
    } else {
        r = Frame3D(canvas, r, ColorToRGB(clBtnHighlight), black, 1);
        r = Frame3D(canvas, r, ColorToRGB(cl3DLight), shadow, 1);
    }
    canvas.GetBrush().SetColor(ColorToRGB(clBtnFace));
    canvas.FillRect(r);

    // Glyph, spacing and caption centred together; a pressed button moves them by a pixel.
    if (form)
        canvas.SetFont(form->GetFont());
    int accel = -1;
    const std::string text = StripAccelerator(FCaption, accel);
    const int gw = FGlyph->Empty() ? 0 : FGlyph->GetWidth() / FNumGlyphs;
    const int gh = FGlyph->Empty() ? 0 : FGlyph->GetHeight();
    const int tw = text.empty() ? 0 : canvas.TextWidth(text);
    const int th = text.empty() ? 0 : canvas.TextHeight(text);
    const int total = gw + (gw && tw ? Spacing : 0) + tw;
    const int shift = FDown ? 1 : 0;
    int x = (surface.GetWidth() - total) / 2 + shift;
    if (gw > 0) {
        const int image = !GetEnabled() && FNumGlyphs > 1 ? 1 : 0;
        DrawGlyph(surface, image, x, (surface.GetHeight() - gh + 1) / 2 + shift);
        x += gw + Spacing;
    }
    if (tw > 0) {
        const int y = (surface.GetHeight() - th + 1) / 2 + shift;
        canvas.GetBrush().SetStyle(bsClear);
        auto caption = [&](int Dx, TColor Color) {
            canvas.GetFont().SetColor(Color);
            canvas.TextOut(x + Dx, y + Dx, text);
            if (accel >= 0) {
                const int ux =
                    x + Dx + canvas.TextWidth(text.substr(0, static_cast<std::size_t>(accel)));
                const int uw = canvas.TextWidth(text.substr(static_cast<std::size_t>(accel), 1));
                canvas.GetBrush().SetStyle(bsSolid);
                canvas.GetBrush().SetColor(Color);
                canvas.FillRect(Rect(ux, y + Dx + th - 2, ux + uw, y + Dx + th - 1));
                canvas.GetBrush().SetStyle(bsClear);
            }
        };
        if (GetEnabled()) {
            caption(0, ColorToRGB(clBtnText));
        } else {
            caption(1, ColorToRGB(clBtnHighlight));
            caption(0, shadow);
        }
        if (focused) {
            // The dotted focus frame around the caption.
            const TRect f = Rect(x - 2, y - 1, x + tw + 2, y + th + 1);
            for (int fx = f.Left; fx < f.Right; fx += 2) {
                canvas.SetPixel(fx, f.Top, black);
                canvas.SetPixel(fx, f.Bottom - 1, black);
            }
            for (int fy = f.Top; fy < f.Bottom; fy += 2) {
                canvas.SetPixel(f.Left, fy, black);
                canvas.SetPixel(f.Right - 1, fy, black);
            }
        }
    }
    Target.GetCanvas().Draw(X, Y, surface);
}

const TClassInfo& TBitBtn::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TBitBtn", &TWinControl::StaticClassInfo(), &CreateComponent<TBitBtn>);
        c.Ordinal<TBitBtn, bool>("Cancel", BooleanType(), &TBitBtn::GetCancel, &TBitBtn::SetCancel)
            .Default = 0;
        c.String<TBitBtn, std::string>("Caption", &TBitBtn::GetCaption, &TBitBtn::SetCaption);
        c.Ordinal<TBitBtn, bool>("Default", BooleanType(), &TBitBtn::GetDefault,
                                 &TBitBtn::SetDefault)
            .Default = 0;
        c.Ordinal<TBitBtn, bool>("Enabled", BooleanType(), &TBitBtn::GetEnabled,
                                 &TBitBtn::SetEnabled)
            .Default = 1;
        c.Ordinal<TBitBtn, TModalResult>("ModalResult", IntegerType(), &TBitBtn::GetModalResult,
                                         &TBitBtn::SetModalResult)
            .Default = mrNone;
        c.Ordinal<TBitBtn, int>("TabOrder", IntegerType(), &TBitBtn::GetTabOrder,
                                &TBitBtn::SetTabOrder)
            .Default = -1;
        c.Object<TBitBtn, TBitmap>("Glyph", BitmapType(), &TBitBtn::GetGlyph, &TBitBtn::SetGlyph);
        c.Ordinal<TBitBtn, int>("NumGlyphs", IntegerType(), &TBitBtn::GetNumGlyphs,
                                &TBitBtn::SetNumGlyphs)
            .Default = 1;
        PublishVisible(c);
        return c;
    }();
    return info;
}

void RegisterButtonsClasses() {
    RegisterClass(TBitBtn::StaticClassInfo());
}

} // namespace vcl
