#pragma once
// Unit Barcode: the symbologies, the text filter, the rendering pipeline, the renderers and their
// pattern tables.

#include <array>
#include <cstdint>
#include <string>

#include "host/Graphics.h"

namespace lumivex {

// Ordinals and identifiers are written into form files: neither may change.
enum TBarCodeType : std::uint8_t {
    bcCode128,
    bcCode39,
    bcCode39Ext,
    bcUPCA,
    bcInt2of5,
    bcCode93,
    bcEAN13,
    bcEAN8,
    bcEAN128,
    bcPOSTNET,
    bcUPCE,
    bcUPC2ext,
    bcUPC5ext,
};
inline constexpr int BarCodeTypeCount = 13;

enum TbcRotate : std::uint8_t { bcNoRotate, bcRotate90, bcRotate180, bcRotate270 };
inline constexpr int RotateCount = 4;

// ---- catalogue and filter ----

// Reduces Text to the bytes that BarcodeType can carry, and to its maximum length.
std::string FilterBCText(TBarCodeType BarcodeType, const std::string& Text);

// ---- pipeline ----

// Sizes Bitmap's width, clears it white, draws the bars (and the text when Interpret is set)
// and turns the result. The caller sets Bitmap's height to Height first.
void CreateBC(vcl::TBitmap& Bitmap, TBarCodeType BarcodeType, int Scale, int Height,
              const std::string& Text, bool Interpret, TbcRotate Rotate);

// The bitmap width in pixels before rotation, quiet zones included. Saturates at the int range
// for sizes no bitmap could hold.
int CalcWidth(int Scale, TBarCodeType BarcodeType, const std::string& Text);

// Turn Source into Dest; both end in pf8bit.
void RotateBmp90(vcl::TBitmap& Source, vcl::TBitmap& Dest);
void RotateBmp180(vcl::TBitmap& Source, vcl::TBitmap& Dest);
void RotateBmp270(vcl::TBitmap& Source, vcl::TBitmap& Dest);

// ---- Code 128 and EAN-128 ----

// Module patterns of the symbol values 0..106, first module in bit 15. The STOP (106) has 13
// modules, all others 11.
extern const std::array<std::uint16_t, 107> BC_Code128;

// 'A', 'B' or 'C': the code set in which Text begins.
char Get_128_StartCode(const std::string& Text);
// One byte per symbol, value + 32: start, FNC1 for EAN-128, data with set changes, check, stop.
std::string Optimize_128_bc_New(const std::string& Text, bool IsEAN128);
// The check symbol (value + 32) of a symbol string that begins with its start symbol.
char Code128_Check_Digit(const std::string& Symbols);

void BarcodeCode128(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text);
void BarcodeEAN128(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                   const std::string& Text);

// ---- Code 39 ----

// For the characters 32 (space) to 90 ('Z'): the 1-based index of the character's pattern in
// BC_Code39, or 0 where Code 39 has no such character.
extern const std::array<std::uint8_t, 59> BC_Code39Ref;

} // namespace lumivex
