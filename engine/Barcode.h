#pragma once
// Unit Barcode: the symbologies, the text filter, the rendering pipeline, the renderers and their
// pattern tables.

#include <array>
#include <cstdint>
#include <string>

#include "host/graphics/Graphics.h"

namespace vcl {
class TMetafileCanvas;
}

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

// Reduces Text to the bytes that BarcodeType can carry, and to its maximum length, as its row
// of BC_Symbologies (engine/Symbology.h) gives them.
std::string FilterBCText(TBarCodeType BarcodeType, const std::string& Text);

// ---- pipeline ----

// Sizes Bitmap's width, clears it white, draws the bars (and the text when Interpret is set)
// and turns the result. The caller sets Bitmap's height to Height first.
void CreateBC(vcl::TBitmap& Bitmap, TBarCodeType BarcodeType, int Scale, int Height,
              const std::string& Text, bool Interpret, TbcRotate Rotate);

// Records into Canvas's metafile what CreateBC paints on a bitmap of the metafile's height,
// pixel for pixel: the background and the bars as fills, the text as strings in Canvas's font
// face, turned as CreateBC turns. The caller sets the metafile's height to Height first.
void CreateBC(vcl::TMetafileCanvas& Canvas, TBarCodeType BarcodeType, int Scale, int Height,
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

// ---- Code 39 and Code 39 full ASCII ----

// The 44 characters 0-9, A-Z, '-', '.', space, '*', '$', '/', '+', '%': 12 modules in bits 15..4,
// then the 1-module gap (bit 3, always 0).
extern const std::array<std::uint16_t, 44> BC_Code39;
// For the characters 32 (space) to 90 ('Z'): the 1-based index of the character's pattern in
// BC_Code39, or 0 where Code 39 has no such character.
extern const std::array<std::uint8_t, 59> BC_Code39Ref;
// For the bytes 0..127: the 1-based BC_Code39 indexes of the full-ASCII pair, first in the high
// byte, second (or 0) in the low byte.
extern const std::array<std::uint16_t, 128> BC_Code39ERef;

void BarcodeCode39(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                   const std::string& Text);
void BarcodeCode39ext(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                      const std::string& Text);

// ---- Code 93 ----

extern const std::array<std::uint16_t, 49> BC_Code93;
// For the bytes 0..127: the first symbol in the high byte, the second in the low byte (0xFF when
// the byte is one symbol).
extern const std::array<std::uint16_t, 128> BC_Code93_Reference;
// The check symbols C and K (values 0..46) of Text's data symbols.
std::uint8_t Mod93Left(const std::string& Text);
std::uint8_t Mod93Right(const std::string& Text);

void BarcodeCode93(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                   const std::string& Text);

// ---- Interleaved 2 of 5 ----

// Indexed by character - 47: '/' (start), '0'..'9', ':' (stop).
extern const std::array<std::uint8_t, 12> BC_Int2of5;

void BarcodeInt2of5(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text);

// ---- POSTNET ----

// The five bars of each digit in bits 7..3: 1 = full bar, 0 = half bar.
extern const std::array<std::uint8_t, 10> BC_POSTNET;
char POSTNET_Check(const std::string& Text);

void BarcodePOSTNET(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text);

// ---- EAN-13, EAN-8 and UPC-A ----

// Per digit: L code in the high byte, G code in the low byte.
extern const std::array<std::uint16_t, 10> BC_EAN_LEFT;
// Per digit: R code in the high byte, the EAN-13 parity that a first digit selects in the low.
extern const std::array<std::uint16_t, 10> BC_EAN_RIGHT;
// Indexed by character - 47: the left-half pattern in the high byte, the right-half in the low.
extern const std::array<std::uint16_t, 12> BC_UPCA;
// The EAN/UPC modulo-10 check digit of Text, as a character.
char Mod10Check(const std::string& Text);

void BarcodeUPCA(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                 const std::string& Text);
void BarcodeEAN13(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                  const std::string& Text);
void BarcodeEAN8(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                 const std::string& Text);

// ---- UPC-E ----

// Per digit: L code (odd parity) in the high byte, G code (even parity) in the low byte.
extern const std::array<std::uint16_t, 10> BC_UPCE;
// Per check digit: the parities of the six characters for number system 0 in bits 15..10.
extern const std::array<std::uint16_t, 10> BC_UPCE_Parity;
// The eleven-digit UPC-A number of a six-digit UPC-E code, or "" when it has none.
std::string UPCE_Expand(const std::string& Text);
// The six-digit UPC-E code of an eleven-digit UPC-A number, or "" when it has none.
std::string UPCA_to_UPCE(const std::string& Text);

void BarcodeUPCE(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                 const std::string& Text);

// ---- UPC/EAN add-ons ----

// Per 5-digit checksum: the parities of the five characters in bits 7..3, 1 = G code.
extern const std::array<std::uint8_t, 10> BC_UPC5ext_Parity;

// The 2-digit add-on converts its text with StrToInt and lets EConvertError through.
void BarcodeUPC2ext(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text);
void BarcodeUPC5ext(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                    const std::string& Text);

// ---- human-readable text ----

// Prints Text's human-readable form over the bars; Height and Width are the bitmap's.
void PrintInterpret(vcl::TCanvas& Canvas, TBarCodeType BarcodeType, int Scale, int Height,
                    int Width, const std::string& Text);

} // namespace lumivex

// The table of the symbologies, one row each, names the renderers above.
#include "engine/Symbology.h"
