#pragma once
// Buttons with a picture beside the caption.

#include <functional>
#include <memory>
#include <string>

#include "host/controls/Controls.h"
#include "host/graphics/Graphics.h"

namespace vcl {

// Published: Cancel, Caption, Default, Enabled, ModalResult, TabOrder, Glyph, NumGlyphs, Visible.
// The caption's & marks its accelerator (&& is a plain &), drawn underlined. The glyph holds
// NumGlyphs images of equal width side by side: the first for the normal state, the second, when
// there is one, for the disabled state; the colour of each image's bottom-left pixel is
// transparent. A click sets the form's ModalResult when the button has one (ending a modal
// session), then calls OnClick.
class TBitBtn : public TWinControl {
public:
    // Pixels between the glyph and the caption.
    static constexpr int Spacing = 4;

    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TBitmap& GetGlyph() { return *FGlyph; }
    const TBitmap& GetGlyph() const { return *FGlyph; }
    // Copies Value's image; null empties the glyph.
    void SetGlyph(const TBitmap* Value);
    int GetNumGlyphs() const { return FNumGlyphs; }
    // 1 to 4; others are ignored, as the framework ignores them.
    void SetNumGlyphs(int Value);
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }

    // The caption without its & marks, and the index in it of the accelerator (-1: none).
    static std::string StripAccelerator(const std::string& Caption, int& Accelerator);

    std::function<void()> OnClick;

    void Click() override;
    bool DialogChar(char Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool IsDown() const { return FDown; }

    void PaintTo(TBitmap& Target, int X, int Y) override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    // Draws image Index of the glyph with its transparent colour left out.
    void DrawGlyph(TBitmap& Surface, int Index, int X, int Y) const;

    std::string FCaption;
    TModalResult FModalResult = mrNone;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    bool FDefault = false;
    bool FCancel = false;
    // Pressed with the pointer still over it.
    bool FDown = false;
    bool FPressing = false;
};

// Makes TBitBtn known to the form reader. Calling it again does no harm.
void RegisterButtonsClasses();

} // namespace vcl
