#pragma once
// The barcode components' property types as form files spell them, and their registration with
// the form reader.

#include "engine/Barcode.h"
#include "host/Classes.h"

namespace lumivex {

// TBarCodeType: bcCode128 ... bcUPC5ext by ordinal.
const vcl::TTypeInfo& BarCodeTypeInfo();
// TbcRotate: bcNoRotate, bcRotate90, bcRotate180, bcRotate270.
const vcl::TTypeInfo& RotateTypeInfo();

// Makes TBarcodeBmp, TBarcode and TDBBarcodeBmp known to the form reader. Calling it again does no
// harm.
void RegisterBarcodeClasses();

} // namespace lumivex
