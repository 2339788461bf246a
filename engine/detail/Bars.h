#pragma once
// The bar primitive that every renderer draws with, and the pattern reader that walks a pattern
// word's modules from its most significant bit.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/Symbology.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/Pixels.h"

namespace lumivex::detail {

// Receives every bar of a symbol as a rectangle in pixels, corners in order (X1 <= X2,
// Y1 <= Y2), covering columns X1..X2-1 and rows Y1..Y2-1.
class BarSink {
public:
    virtual void Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) = 0;

protected:
    ~BarSink() = default;
};

// Draws bars onto a canvas with Rectangle and a black, solid brush. The brush's colour and style
// are restored when the sink goes, however the renderer leaves.
class CanvasBars final : public BarSink {
public:
    explicit CanvasBars(vcl::TCanvas& Canvas);
    ~CanvasBars();
    CanvasBars(const CanvasBars&) = delete;
    CanvasBars& operator=(const CanvasBars&) = delete;
    void Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) override;

private:
    vcl::TCanvas& FCanvas;
    vcl::TColor FSavedColor;
    vcl::TBrushStyle FSavedStyle;
};

// Paints bars straight into a bitmap that already has its final size, turned or not. Unturned
// or half turned, a bar writer's bars start and end only on the rows Top, Top + Height div 2 and
// Top + Height, so the rows fall into a few bands that are alike within; each bar is written
// into one row of each band it covers, and Finish copies that row over its band. A quarter turn
// makes an unturned column one turned row, and the rows follow one another: each turned row is
// written once, the background where no bar goes, background and bar together where one does. No
// bar is stored, so a symbol of any length costs nothing beyond its bitmap.
class RasterBars final : public BarSink {
public:
    // Bitmap holds the picture of Width x Height pixels (the writer's Top and BarHeight) turned
    // clockwise by Degrees (0, 90, 180 or 270): sized Width x Height for 0 and 180, Height x
    // Width for the quarter turns, and then in pf8bit. Its pixels need not be initialised.
    RasterBars(vcl::TBitmap& Bitmap, int Width, int Height, int Degrees, std::int64_t Top,
               std::int64_t BarHeight, vcl::TColor Background);
    RasterBars(const RasterBars&) = delete;
    RasterBars& operator=(const RasterBars&) = delete;
    void Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) override;
    // Fills every band from its painted row: Background where no bar went, black where one did.
    void Finish();

    // Where a full bar (rows Top..Top + BarHeight - 1) may be written as a span of palette
    // indices, unturned or half turned in pf8bit: the one painted row of the band it covers.
    // Null when there is none to offer. Valid until the first half bar comes.
    struct FullBarRow {
        std::uint8_t* Row = nullptr;
        int Width = 0;
        bool Mirrored = false; // turned by 180: column x is Width - 1 - x
        std::uint8_t Ink = 0;
    };
    FullBarRow DirectRow() const;

private:
    // The row of the bitmap that band K is painted in, unturned or half turned.
    std::uint8_t* BandRow(std::size_t K) const;
    // Makes row Y the start of a band (unturned or half turned).
    void Split(std::int64_t Y);

    int FWidth, FHeight, FDegrees;
    vcl::TPixelFormat FFormat;
    std::vector<std::int64_t> FCuts; // band K is rows FCuts[K]..FCuts[K + 1] - 1
    std::uint8_t* FTop = nullptr;
    std::size_t FRowBytes = 0;
    vcl::PixelValue FInk;
    std::int64_t FBarTop, FBarBottom; // the full bars' rows, clamped to the bitmap
    // Turned by a quarter: the background goes into each turned row once, as the bars come from
    // left to right, rather than under the bars too. The unturned columns before FPainted
    // have their turned rows written.
    std::uint8_t FBack = 0;
    std::int64_t FPainted = 0;
    void BackgroundTo(std::int64_t X);
    // Turned by a quarter, the fresh rows of a bar are all alike: background, the bar's span,
    // background. They are written as one repeating pattern, kept once per span, so that a bar
    // costs one pass over its rows rather than three fills a row.
    struct TurnedRows {
        std::size_t From = 0, Span = 0, Period = 0;
        std::vector<std::uint8_t> Bytes; // for vcl::FillRepeat
    };
    std::vector<TurnedRows> FTurnedRows;
    const TurnedRows& TurnedPattern(std::size_t From, std::size_t Span);
};

// Walks a symbol's modules from left to right. A module is Scale pixels wide; a full bar runs
// from Top to Top + Height, a half bar from Top + Height div 2. Adjacent dark modules become one
// rectangle, which covers the same pixels as the modules one by one. The modules walked are
// counted, so that a walk which paints nothing gives the symbol's width.
class BarWriter {
public:
    BarWriter(BarSink& Sink, int Left, int Top, int Height, int Scale)
        : FSink(&Sink), FX(Left), FTop(Top), FHeight(Height), FScale(Scale) {}
    // A walk without ink, for CalcWidth: it only counts.
    BarWriter() = default;
    // Full bars go straight into Row from now on, rather than to the sink: for a sink whose full
    // bars all land in one row of palette indices (RasterBars::DirectRow).
    void WriteFullBarsTo(const RasterBars::FullBarRow& Row) { FRow = Row; }
    // From here on the walk paints nothing: a drawer that meets a character it cannot encode
    // goes on over the room the symbol keeps for the rest, so the width stays that of the text.
    void Blank() {
        FSink = nullptr;
        FRow.Row = nullptr;
    }
    // Whether the walk paints: a walk that only measures has no sink.
    bool Draws() const { return FSink != nullptr; }
    // The modules walked so far.
    std::int64_t Modules() const { return FModules; }
    // Blank modules up to Total, for a symbol whose width does not follow what it drew.
    void SpaceTo(std::int64_t Total) { Space(Total - FModules); }
    // For a symbol of a fixed width, which its drawer ends with SpaceTo(Total) whatever it drew:
    // a walk that only measures takes that width at once. True when it did.
    bool MeasuredAsFixed(std::int64_t Total) {
        if (FSink)
            return false;
        SpaceTo(Total);
        return true;
    }

    // Count modules of Word, starting at bit TopBit and going down: 1 = bar, 0 = space.
    void Pattern(std::uint32_t Word, int Count, int TopBit = 15) {
        if (!FSink) {
            Space(Count);
            return;
        }
        // Left-align the pattern in 32 bits; each run is then the count of leading ones or zeros.
        std::uint32_t bits = Word << (31 - TopBit);
        if (FRow.Row && Count > 0 && Count <= 32 && FScale > 0) {
            DirectPattern(bits & ~std::uint32_t{0} << (32 - Count), Count);
            return;
        }
        int i = 0;
        while (i < Count) {
            const bool dark = bits & 0x80000000u;
            int run = dark ? std::countl_one(bits) : std::countl_zero(bits);
            run = std::min(run, Count - i);
            if (dark)
                Bar(run);
            else
                Space(run);
            i += run;
            bits = run < 32 ? bits << run : 0;
        }
    }
    void Bar(int Modules = 1) { Element(Modules, FTop); }
    // A bar from the middle of the bar height down (POSTNET's short bars).
    void HalfBar(int Modules = 1) {
        // A half bar may split the full bars' band in two; from here on the sink paints them.
        FRow.Row = nullptr;
        Element(Modules, FTop + std::int64_t{FHeight} / 2);
    }
    // A negative count walks back, over room that a drawer drew past its symbol's width.
    void Space(std::int64_t Modules = 1) {
        FX += Modules * FScale;
        FModules += Modules;
    }

private:
    // Pattern's walk when its bars are full ones written into the direct row: the walk goes
    // from bar to bar, the spaces between them only counted, with the position and the row
    // kept in registers (a store through a byte pointer could change any member).
    void DirectPattern(std::uint32_t Bits, int Count) {
        std::uint8_t* const row = FRow.Row;
        const std::int64_t width = FRow.Width;
        const bool mirrored = FRow.Mirrored;
        const std::uint8_t ink = FRow.Ink;
        const std::int64_t scale = FScale;
        const std::int64_t start = FX;
        std::int64_t x = start;
        while (Bits) {
            const int space = std::countl_zero(Bits);
            Bits <<= space;
            x += space * scale;
            const int dark = std::countl_one(Bits);
            Bits = dark < 32 ? Bits << dark : 0;
            const std::int64_t x2 = x + dark * scale;
            FillRow(row, width, mirrored, ink, x, x2);
            x = x2;
        }
        FX = start + std::int64_t{Count} * scale;
        FModules += Count;
    }
    // Columns X1..X2-1 of a direct Row of Width in Ink, cut to the row, mirrored when it is.
    // Bars are mostly a few pixels wide, where a loop beats a call to memset; a wide module (a
    // large Scale) is one call.
    static void FillRow(std::uint8_t* Row, std::int64_t Width, bool Mirrored, std::uint8_t Ink,
                        std::int64_t X1, std::int64_t X2) {
        std::int64_t A = std::max<std::int64_t>(X1, 0), B = std::min<std::int64_t>(X2, Width);
        if (Mirrored)
            std::tie(A, B) = std::pair(Width - B, Width - A);
        if (B - A > 16) {
            std::memset(Row + A, Ink, static_cast<std::size_t>(B - A));
        } else {
            for (std::int64_t x = A; x < B; ++x)
                Row[x] = Ink;
        }
    }

    void Element(int Modules, std::int64_t Y1) {
        const std::int64_t x2 = FX + std::int64_t{Modules} * FScale;
        if (FRow.Row && Y1 == FTop) {
            FillRow(FRow.Row, FRow.Width, FRow.Mirrored, FRow.Ink, std::min(FX, x2),
                    std::max(FX, x2));
        } else if (FSink) {
            const std::int64_t y2 = std::int64_t{FTop} + FHeight;
            FSink->Bar(std::min(FX, x2), std::min(Y1, y2), std::max(FX, x2), std::max(Y1, y2));
        }
        FX = x2;
        FModules += Modules;
    }

    BarSink* FSink = nullptr;
    RasterBars::FullBarRow FRow;
    std::int64_t FX = 0;
    std::int64_t FModules = 0;
    int FTop = 0;
    int FHeight = 0;
    int FScale = 1;
};

// The first row of the full bars and their height in a picture of Height rows, the printed
// text's margin taken out where Interpret asks for it, as CreateBC lays a symbol out.
std::pair<int, int> BarRows(TBarCodeType BarcodeType, int Scale, int Height, bool Interpret);

// Optimize_128_bc_New's result, remembered for the last short text so that the width and the
// bars of one render build it once. The reference is valid until the next call.
const std::string& Code128Symbols(const std::string& Text, bool IsEAN128);

// What every public renderer does: draw on the canvas with the brush set up by the canvas sink,
// which gives it back on every exit, exceptions included.
inline void RenderOnCanvas(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                           const std::string& Text, Drawer Draw) {
    CanvasBars sink(Canvas);
    BarWriter w(sink, Left, Top, Height, Scale);
    Draw(w, Text);
}

} // namespace lumivex::detail
