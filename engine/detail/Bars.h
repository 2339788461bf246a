#pragma once
// The bar primitive that every renderer draws with, and the pattern reader that walks a pattern
// word's modules from its most significant bit.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "host/Graphics.h"

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

// Collects bars to paint them later in one pass over a freshly cleared bitmap: the rows between
// two bar ends are all alike, so each such band is built once and copied down.
class RasterBars final : public BarSink {
public:
    RasterBars();
    ~RasterBars();
    RasterBars(const RasterBars&) = delete;
    RasterBars& operator=(const RasterBars&) = delete;
    void Bar(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) override;
    // Paints the whole bitmap: Background everywhere, the collected bars black over it.
    void Paint(vcl::TBitmap& Bitmap, vcl::TColor Background) const;
    // Replaces Bitmap by the picture that Paint would give on a bitmap of Width and Bitmap's
    // height, turned clockwise by Degrees (90, 180 or 270) as the rotations turn it, in pf8bit;
    // no unturned picture is made on the way.
    void PaintTurned(vcl::TBitmap& Bitmap, int Width, int Degrees, vcl::TColor Background) const;

private:
    struct Box {
        std::int64_t x1, y1, x2, y2;
    };
    static std::vector<Box>& Spare();
    std::vector<std::int64_t> Cuts(int H) const;
    void BuildRow(vcl::TPixelFormat Format, std::uint8_t* Row, int W, std::int64_t Y1,
                  std::int64_t Y2, vcl::TColor Background) const;

    std::vector<Box> FBoxes;
    bool FMixedRows = false; // bars of more than one height
};

// Walks a symbol's modules from left to right. A module is Scale pixels wide; a full bar runs
// from Top to Top + Height, a half bar from Top + Height div 2. Adjacent dark modules become one
// rectangle, which covers the same pixels as the modules one by one.
class BarWriter {
public:
    BarWriter(BarSink& Sink, int Left, int Top, int Height, int Scale)
        : FSink(Sink), FX(Left), FTop(Top), FHeight(Height), FScale(Scale) {}

    // Count modules of Word, starting at bit TopBit and going down: 1 = bar, 0 = space.
    void Pattern(std::uint32_t Word, int Count, int TopBit = 15) {
        // Left-align the pattern in 32 bits; each run is then the count of leading ones or zeros.
        std::uint32_t bits = Word << (31 - TopBit);
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
    void HalfBar(int Modules = 1) { Element(Modules, FTop + std::int64_t{FHeight} / 2); }
    void Space(int Modules = 1) { FX += std::int64_t{Modules} * FScale; }

private:
    void Element(int Modules, std::int64_t Y1) {
        const std::int64_t x2 = FX + std::int64_t{Modules} * FScale;
        const std::int64_t y2 = std::int64_t{FTop} + FHeight;
        FSink.Bar(std::min(FX, x2), std::min(Y1, y2), std::max(FX, x2), std::max(Y1, y2));
        FX = x2;
    }

    BarSink& FSink;
    std::int64_t FX;
    int FTop;
    int FHeight;
    int FScale;
};

// The symbol drawers behind the renderers: each draws Text's symbol through a BarWriter.
void DrawCode128(BarWriter& W, const std::string& Text);
// Optimize_128_bc_New's result, remembered for the last short text so that the width and the
// bars of one render build it once. The reference is valid until the next call.
const std::string& Code128Symbols(const std::string& Text, bool IsEAN128);
void DrawEAN128(BarWriter& W, const std::string& Text);
void DrawCode39(BarWriter& W, const std::string& Text);
void DrawCode39ext(BarWriter& W, const std::string& Text);
void DrawCode93(BarWriter& W, const std::string& Text);
void DrawInt2of5(BarWriter& W, const std::string& Text);
void DrawPOSTNET(BarWriter& W, const std::string& Text);
void DrawUPCA(BarWriter& W, const std::string& Text);
void DrawEAN13(BarWriter& W, const std::string& Text);
void DrawEAN8(BarWriter& W, const std::string& Text);
void DrawUPCE(BarWriter& W, const std::string& Text);
void DrawUPC2ext(BarWriter& W, const std::string& Text);
void DrawUPC5ext(BarWriter& W, const std::string& Text);

using Drawer = void (*)(BarWriter& W, const std::string& Text);

// What every public renderer does: draw on the canvas with the brush set up by the canvas sink,
// which gives it back on every exit, exceptions included.
inline void RenderOnCanvas(vcl::TCanvas& Canvas, int Left, int Top, int Height, int Scale,
                           const std::string& Text, Drawer Draw) {
    CanvasBars sink(Canvas);
    BarWriter w(sink, Left, Top, Height, Scale);
    Draw(w, Text);
}

} // namespace lumivex::detail
