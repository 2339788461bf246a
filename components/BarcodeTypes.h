#pragma once
// The barcode components' property types as form files spell them, their registration with the
// form reader, and the preparation of the bitmap they render into.

#include "engine/Barcode.h"
#include "host/classes/Classes.h"
#include "host/graphics/Graphics.h"

namespace lumivex {

// TBarCodeType: bcCode128 ... bcUPC5ext by ordinal.
const vcl::TTypeInfo& BarCodeTypeInfo();
// TbcRotate: bcNoRotate, bcRotate90, bcRotate180, bcRotate270.
const vcl::TTypeInfo& RotateTypeInfo();

// Makes TBarcodeBmp, TBarcode and TDBBarcodeBmp known to the form reader. Calling it again does no
// harm.
void RegisterBarcodeClasses();

// Readies a bitmap as every barcode component readies its own: a solid white brush, monochrome
// then 8-bit palette pixels, and the "Courier New" font.
void PrepareBarcodeBitmap(vcl::TBitmap& Bitmap);

} // namespace lumivex
