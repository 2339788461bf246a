#pragma once
// What the engine tests share: bitmaps read back as module strings, renderers drawn under watch
// (bars of exact height, the brush given back), bitmaps prepared as the components prepare
// theirs, the EAN/UPC character codes, and checks of the pattern tables.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Barcode.h"
#include "host/graphics/Graphics.h"

namespace lumivex::test {

// The signature every public renderer shares: Canvas, Left, Top, Height, Scale, Text.
using Renderer = TRenderer;

// ---- module strings ----

bool IsBlack(const vcl::TBitmap& Bitmap, int X, int Y);
// Row Y as '1' (black) and '0' (any other colour), from x = 0.
std::string Row(const vcl::TBitmap& Bitmap, int Y);
// Trailing spaces leave no ink on a white bitmap, so expectations and readings are compared
// without them.
std::string Ink(std::string Modules);
// Every module Scale pixels wide.
std::string Widen(const std::string& Modules, int Scale);
// Count bits of Word from bit TopBit down, spelt One for a set bit and Zero for a clear one.
std::string Bits(std::uint32_t Word, int Count, int TopBit = 15, char One = '1', char Zero = '0');
// The number of bars (runs of '1') in a module string.
int Bars(const std::string& Modules);
// The bytes First..Last in order.
std::string Bytes(int First, int Last);
// Bytes as C escapes (\t, \x01, \x80), so that a failure message shows what was encoded.
std::string Escaped(const std::string& Bytes);

// ---- renderers under watch ----

// Draws Text with Render at Scale onto white bitmaps, one 8-bit and one true-colour, whose brush
// is red and clear, and returns what it drew: the row at the bars' top from the renderer's Left
// on, without trailing spaces. Checks on the way that both bitmaps show the same, that the brush
// comes back as it was, that nothing lies left of Left, and that every bar runs exactly from Top
// to Top + Height (the rows between read alike, every other row is white).
std::string Drawn(Renderer Render, const std::string& Text, int Scale = 1);

struct ModuleRow {
    std::string Text;
    std::string Modules; // the symbol from its first module on
    const char* Note;    // where the expectation comes from
};

// Each row's text drawn at Scale 1 must show the row's modules.
void ExpectModules(Renderer Render, const std::vector<ModuleRow>& Rows);

// Draws Text with Render at Scale 1, Height pixels tall with its top left corner at (Left, Top),
// onto a bitmap Width wide that is painted red and whose brush is red and clear. A renderer must
// give the brush back as it was and paint nothing but bars: its first bar, FirstBar modules wide,
// is black from Top to Top + Height - 1, the pixels above, below, before and after it stay red.
// The canvas is returned for the probes of each symbology.
struct Placement {
    int Left = 3;
    int Top = 2;
    int Height = 5;
};
vcl::TCanvas& DrawnOnRed(vcl::TBitmap& Bitmap, int Width, Renderer Render, const std::string& Text,
                         int FirstBar = 1, Placement At = {});
// The same for each of Texts, where no probe of the symbology's own follows.
void DrawnOnRed(Renderer Render, int Width, std::initializer_list<std::string> Texts);

// ---- the pipeline ----

enum class BitmapStart {
    AsComponents, // monochrome, then 8-bit, as the components leave their bitmaps
    EightBit,     // a fresh bitmap turned 8-bit
};

// Readies a bitmap for CreateBC: its format as Start says, its height set before the call.
void PrepareBitmap(vcl::TBitmap& Bitmap, int Height, BitmapStart Start = BitmapStart::AsComponents);

// CreateBC draws Text at Scale, unturned, on Bitmap readied Height tall as Start says; the bitmap
// must come out as wide as CalcWidth says.
testing::AssertionResult CreatedAtCalcWidth(vcl::TBitmap& Bitmap, BitmapStart Start, int Height,
                                            TBarCodeType Type, int Scale, const std::string& Text,
                                            bool Interpret);

// ---- EAN/UPC character codes ----

// The L code of a digit as the EAN/UPC standard lists it; R is L with bars and spaces
// exchanged, G is R backwards.
std::string LCode(char Digit);
std::string RCode(char Digit);
std::string GCode(char Digit);
// Digits in L or G codes as Parity says ('L' or 'G' per digit).
std::string LGCodes(const std::string& Parity, const std::string& Digits);

// ---- tables ----

// A spot check of a table: an index and the entry it must hold.
struct TableEntry {
    int Index;
    std::uint32_t Value;
};

template <typename Table>
void ExpectEntries(const Table& T, std::initializer_list<TableEntry> Rows) {
    for (const TableEntry& r : Rows)
        EXPECT_EQ(static_cast<std::uint32_t>(T[r.Index]), r.Value) << "entry " << r.Index;
}

// A two-of-five table: every entry holds five elements in bits 7..3, bit 7 first and the bits
// below clear; spelt One for a set bit and Zero for a clear one it reads as Standard lists it,
// two of its five are set, and no two entries are alike.
void ExpectTwoOfFive(std::span<const std::uint8_t> Entries, const char* const* Standard, char One,
                     char Zero);

} // namespace lumivex::test
