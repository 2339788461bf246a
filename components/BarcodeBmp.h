#pragma once
// TBarcodeBmp: a non-visual component that owns one barcode bitmap and renders it afresh on
// every assignment to one of its settings.

#include <memory>
#include <string>

#include "engine/Barcode.h"
#include "host/classes/Classes.h"
#include "host/graphics/Graphics.h"

namespace lumivex {

// Published, after Name and Tag: Height, Bitmap (read-only), BarcodeText, BarcodeType, Font,
// Scale, Interpret, Rotate. None has a default, so a writer writes them all but Bitmap.
class TBarcodeBmp : public vcl::TComponent {
public:
    explicit TBarcodeBmp(vcl::TComponent* AOwner);
    ~TBarcodeBmp() override;

    // The bar height; the bitmap's own height differs from it after a quarter turn.
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    // The same object for the component's whole life; only its size and pixels change. The
    // component frees it.
    vcl::TBitmap& GetBitmap() { return *FBitmap; }
    const vcl::TBitmap& GetBitmap() const { return *FBitmap; }
    // Always the text as filtered for the current symbology, never the value assigned.
    const std::string& GetBarcodeText() const { return FBarcodeText; }
    void SetBarcodeText(const std::string& Value);
    TBarCodeType GetBarcodeType() const { return FBarcodeType; }
    // Filters the stored text again: characters the new symbology drops are gone for good.
    void SetBarcodeType(TBarCodeType Value);
    // The bitmap canvas's font, with which the human-readable text is drawn.
    vcl::TFont& GetFont() { return FBitmap->GetCanvas().GetFont(); }
    const vcl::TFont& GetFont() const { return FBitmap->GetCanvas().GetFont(); }
    // Copies Value's attributes; no reference to Value is kept. A null font changes nothing and
    // does not render.
    void SetFont(const vcl::TFont* Value);
    int GetScale() const { return FScale; }
    void SetScale(int Value);
    bool GetInterpret() const { return FInterpret; }
    void SetInterpret(bool Value);
    TbcRotate GetRotate() const { return FRotate; }
    void SetRotate(TbcRotate Value);

    // Renders once with everything the form reader has set.
    void Loaded() override;

    const vcl::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const vcl::TClassInfo& StaticClassInfo();

protected:
    // Every setter ends here: sizes the bitmap to the bar height and renders, unless the form
    // reader is still setting properties. Each call renders, whether a value changed or not.
    virtual void PaintBC();

private:
    std::unique_ptr<vcl::TBitmap> FBitmap;
    std::string FBarcodeText;
    TBarCodeType FBarcodeType = bcCode128;
    int FScale = 0;
    int FHeight = 0;
    bool FInterpret = false;
    TbcRotate FRotate = bcNoRotate;
};

} // namespace lumivex
