#pragma once
// Panels and images: the containers and pictures that dialogs are laid out with.

#include <cstdint>
#include <memory>
#include <string>

#include "host/controls/Controls.h"
#include "host/graphics/Graphics.h"

namespace vcl {

// A bevel: none, sunk into the surface or standing out of it.
enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
const TTypeInfo& PanelBevelType();

// Draws Width rings of a 3D frame just inside R, TopColor on the top and left edges and
// BottomColor on the bottom and right ones, as the framework's Frame3D does; answers R shrunk
// past them.
TRect Frame3D(TCanvas& Canvas, TRect R, TColor TopColor, TColor BottomColor, int Width);

// Published: Align, BevelInner, BevelOuter, BevelWidth, Caption, Color, TabOrder, Visible. The
// outer bevel, then the inner one, each BevelWidth pixels, frame the face; aligned children share
// what lies inside both. The caption is centred on the face.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    TPanelBevel GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int GetBevelWidth() const { return FBevelWidth; }
    // At least 1, as the framework keeps it.
    void SetBevelWidth(int Value);
    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);

    TRect GetClientRect() const override;
    // A panel holds the focus for none of its own.
    bool CanFocus() const override { return false; }
    void PaintTo(TBitmap& Target, int X, int Y) override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    std::string FCaption;
    TColor FColor = clBtnFace;
};

// Published: Align, AutoSize, Center, Picture, Stretch, Visible. Shows its picture at its
// top-left corner, centred in its area (Center) or stretched over it (Stretch), always clipped
// at its edges; where the picture does not reach, its parent shows through. AutoSize takes the
// picture's size whenever the picture changes, unless alignment decides the size.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture& GetPicture() { return *FPicture; }
    const TPicture& GetPicture() const { return *FPicture; }
    // Copies Value's image.
    void SetPicture(const TPicture* Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool Value);
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);

    // Where the picture's top-left corner falls in the control, as Center places it: half the
    // difference of the sizes, by the framework's integer division (toward zero).
    int PictureLeft() const;
    int PictureTop() const;

    // Draws straight onto the target, so that the parent shows where the picture does not.
    void PaintTo(TBitmap& Target, int X, int Y) override;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    void PictureChanged();

    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FCenter = false;
    bool FStretch = false;
};

// Makes TPanel and TImage known to the form reader. Calling it again does no harm.
void RegisterExtCtrlsClasses();

} // namespace vcl
