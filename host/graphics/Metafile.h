#pragma once
// Pictures kept as drawing operations (the framework's metafile) and a canvas that records
// them, replayed at any size into SVG, Encapsulated PostScript or PDF.

#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

#include "host/graphics/Graphics.h"

namespace vcl {

// A rectangle filled with one colour: columns Left..Right-1 of rows Top..Bottom-1, in the
// picture's units, which are a bitmap's pixels.
struct TMetafileFill {
    TRect Rect;
    TColor Color = clBlack;
};

// A string as TextOut or TurnedTextOut drew it, with what a device needs to set it as a bitmap
// canvas did: the face, the em, the baseline and each glyph's hinted origin.
struct TMetafileText {
    std::string Text;
    int X = 0; // the cell's top-left corner, before the turn
    int Y = 0;
    int Degrees = 0; // clockwise, in a picture of UnturnedWidth x UnturnedHeight units
    int UnturnedWidth = 0;
    int UnturnedHeight = 0;
    std::string FontFile; // as fontconfig found it; empty when there is no usable font
    int FontIndex = 0;
    int Em = 0;     // the em in units, as the face was rasterised
    int Ascent = 0; // from the cell's top to the baseline
    int CellWidth = 0;
    int CellHeight = 0;
    std::vector<int> Origins; // each byte's glyph origin, from X
    TColor Color = clBlack;
    // A solid brush filled the cell first and cut the glyphs to it.
    bool Opaque = false;
    TColor CellColor = clWhite;
};

using TMetafileRecord = std::variant<TMetafileFill, TMetafileText>;

// A recorded picture of Width x Height units: its records in drawing order.
class TMetafile {
public:
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetWidth(int Value) { FWidth = Value < 0 ? 0 : Value; }
    void SetHeight(int Value) { FHeight = Value < 0 ? 0 : Value; }
    void SetSize(int Width, int Height) {
        SetWidth(Width);
        SetHeight(Height);
    }
    const std::vector<TMetafileRecord>& Records() const { return FRecords; }
    void Add(TMetafileRecord Record) { FRecords.push_back(std::move(Record)); }
    // Forgets the records; the size stays.
    void Clear() { FRecords.clear(); }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<TMetafileRecord> FRecords;
};

// Records into a metafile what a bitmap's canvas would paint, as fills and strings rather than
// pixels. Measures text exactly as a bitmap canvas does, so that a layout worked out on either
// is the same. Records go into the metafile as they are drawn.
class TMetafileCanvas final : public TCanvas {
public:
    explicit TMetafileCanvas(TMetafile& Metafile) : FMetafile(&Metafile) {}
    TMetafile& GetMetafile() { return *FMetafile; }

    void FillRect(const TRect& R) override;
    void Rectangle(int X1, int Y1, int X2, int Y2) override;
    // A metafile keeps no pixels: raises EInvalidGraphic.
    void Draw(int X, int Y, const TBitmap& Source) override;
    void TextOut(int X, int Y, const std::string& Text) override;
    // Degrees 90, 180 or 270 into a metafile sized as the turned picture; anything else raises
    // EInvalidGraphic, as a bitmap canvas does.
    void TurnedTextOut(int Degrees, int UnturnedWidth, int UnturnedHeight, int X, int Y,
                       const std::string& Text) override;
    // No pixels to read or set: -1, and nothing.
    TColor GetPixel(int, int) const override { return -1; }
    void SetPixel(int, int, TColor) override {}

private:
    void Text(int Degrees, int UW, int UH, int X, int Y, const std::string& Text);
    TMetafile* FMetafile;
};

enum class TVectorFormat { Svg, Eps, Pdf };

// Writes Metafile as one page of exactly its size, a unit UnitMillimetres wide: fills as
// rectangles, strings as text in their face (PDF and EPS embed it; SVG draws its outlines).
// In the library lumivex-vector (Lumivex::vector), which brings cairo.
// Raises EInvalidGraphic for an empty picture, one of 2^23 units or more a side (past cairo's
// coordinates) or a unit that is not a positive size, and EWriteError when the writer fails.
// Black and white are drawn in Colours' ink and paper, as the bitmap files write them.
void SaveMetafileToVector(const TMetafile& Metafile, TVectorFormat Format, double UnitMillimetres,
                          std::ostream& Stream, const TInkColours& Colours = {});

} // namespace vcl
