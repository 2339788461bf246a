#pragma once
// TDBBarcodeBmp: the data-aware barcode bitmap. Its text is the display text of one field of the
// current record of a dataset, re-read and rendered on every data change of its link.

#include <memory>
#include <string>

#include "engine/Barcode.h"
#include "host/classes/Classes.h"
#include "host/db/DB.h"
#include "host/graphics/Graphics.h"

namespace lumivex {

// Published, after Name and Tag: Height, Bitmap (read-only), BarcodeType, Scale, Interpret,
// DataField, DataSource, Font, Rotate. There is no published BarcodeText.
class TDBBarcodeBmp : public vcl::TComponent {
public:
    explicit TDBBarcodeBmp(vcl::TComponent* AOwner);
    ~TDBBarcodeBmp() override;

    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    vcl::TBitmap& GetBitmap() { return *FBitmap; }
    const vcl::TBitmap& GetBitmap() const { return *FBitmap; }
    TBarCodeType GetBarcodeType() const { return FBarcodeType; }
    void SetBarcodeType(TBarCodeType Value);
    int GetScale() const { return FScale; }
    void SetScale(int Value);
    bool GetInterpret() const { return FInterpret; }
    void SetInterpret(bool Value);
    std::string GetDataField() const;
    void SetDataField(const std::string& Value);
    vcl::TDataSource* GetDataSource() const;
    void SetDataSource(vcl::TDataSource* Value);
    vcl::TFont& GetFont() { return FBitmap->GetCanvas().GetFont(); }
    const vcl::TFont& GetFont() const { return FBitmap->GetCanvas().GetFont(); }
    void SetFont(const vcl::TFont* Value);
    TbcRotate GetRotate() const { return FRotate; }
    void SetRotate(TbcRotate Value);

    // The filtered text of the last data change (or of SetBarcodeText); not published.
    const std::string& GetBarcodeText() const { return FBarcodeText; }
    // Replaces the text until the next data change.
    void SetBarcodeText(const std::string& Value);
    // The display text of the link's field, or "" when the link has none.
    std::string GetFieldText() const;
    vcl::TFieldDataLink& GetDataLink() { return *FDataLink; }

    // At design time renders from the current field; at run time the link's next data change
    // renders.
    void Loaded() override;
    // A dataset action goes to the data link when the component itself does not handle it.
    bool ExecuteAction(vcl::TBasicAction& Action) override;
    bool UpdateAction(vcl::TBasicAction& Action) override;
    // Answers CM_GETDATALINK with the address of its data link.
    std::intptr_t Perform(unsigned Msg, std::intptr_t WParam, std::intptr_t LParam) override;

    const vcl::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const vcl::TClassInfo& StaticClassInfo();

protected:
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;
    // As TBarcodeBmp's: nothing while loading, else the bitmap to the bar height and a render.
    virtual void PaintBC();
    // The link's notification: the field's text, filtered, then a render.
    void DataChange();

private:
    std::unique_ptr<vcl::TFieldDataLink> FDataLink;
    std::unique_ptr<vcl::TBitmap> FBitmap;
    std::string FBarcodeText;
    TBarCodeType FBarcodeType = bcCode128;
    int FScale = 0;
    int FHeight = 0;
    bool FInterpret = false;
    TbcRotate FRotate = bcNoRotate;
};

} // namespace lumivex
