#pragma once
// TBarcode: a graphic control that renders its barcode afresh on every paint, takes the size of
// the rendered bitmap and draws it at its top-left corner.

#include <memory>
#include <string>

#include "engine/Barcode.h"
#include "host/controls/Controls.h"
#include "host/graphics/Graphics.h"

namespace lumivex {

// Published: Name, Tag, Left, Top, Width, Height, Cursor, Hint, then BarcodeText, BarcodeType,
// Scale, Interpret, Font, Visible (default true) and Rotate. The bar height is the control's
// Height; the setters only ask for a repaint.
class TBarcode : public vcl::TGraphicControl {
public:
    explicit TBarcode(vcl::TComponent* AOwner);
    ~TBarcode() override;

    // Always the text as filtered for the current symbology, never the value assigned.
    const std::string& GetBarcodeText() const { return FBarcodeText; }
    void SetBarcodeText(const std::string& Value);
    TBarCodeType GetBarcodeType() const { return FBarcodeType; }
    // Filters the stored text again: characters the new symbology drops are gone for good.
    void SetBarcodeType(TBarCodeType Value);
    int GetScale() const { return FScale; }
    void SetScale(int Value);
    bool GetInterpret() const { return FInterpret; }
    void SetInterpret(bool Value);
    TbcRotate GetRotate() const { return FRotate; }
    void SetRotate(TbcRotate Value);
    // The render bitmap's font, not the control's: the human-readable text is drawn with it.
    vcl::TFont& GetFont() { return FBitmap->GetCanvas().GetFont(); }
    const vcl::TFont& GetFont() const { return FBitmap->GetCanvas().GetFont(); }
    // Copies Value's attributes; a null font changes nothing, not even a repaint.
    void SetFont(const vcl::TFont* Value);

    const vcl::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const vcl::TClassInfo& StaticClassInfo();

protected:
    // Renders with the control's Height as the bar height, then takes the bitmap's size, which
    // under a quarter turn asks for another paint with the new height as the bar height.
    void Paint() override;

private:
    std::string FBarcodeText;
    TBarCodeType FBarcodeType = bcCode128;
    int FScale = 0;
    bool FInterpret = false;
    TbcRotate FRotate = bcNoRotate;
    std::unique_ptr<vcl::TBitmap> FBitmap;
};

} // namespace lumivex
