#pragma once
// Colours, bitmaps, canvases, brushes, pens and fonts.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/classes/Classes.h"

namespace vcl {

namespace detail {
class SizedFont;
}

// 0x00BBGGRR: red in the low byte, as the framework stores it.
using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
// The system colours: the high bit and an index into the desktop's colour scheme.
inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;

// The RGB value a colour stands for: a system colour in the classic desktop scheme, anything
// else with its high byte dropped.
TColor ColorToRGB(TColor Color);

// The property types of this unit, with the identifiers form files use.
const TTypeInfo& ColorType();       // TColor: clBlack, clWindowText, ...
const TTypeInfo& FontCharsetType(); // TFontCharset: DEFAULT_CHARSET, ...
const TTypeInfo& FontStylesType();  // TFontStyles: [fsBold, fsItalic, fsUnderline, fsStrikeOut]
const TTypeInfo& FontType();        // TFont, class-typed
const TTypeInfo& BitmapType();      // TBitmap, class-typed
const TTypeInfo& PictureType();     // TPicture, class-typed

constexpr int GetRValue(TColor c) {
    return c & 0xFF;
}
constexpr int GetGValue(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c) {
    return (c >> 16) & 0xFF;
}
constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// pfDevice stands for the screen's format, which here is 24-bit true colour.
enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf8bit, pf24bit };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };
enum TPenStyle : std::uint8_t { psSolid, psClear };

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// A set of TFontStyle, one bit per member.
using TFontStyles = std::uint8_t;
constexpr TFontStyles FontStyleBit(TFontStyle s) {
    return static_cast<TFontStyles>(1u << s);
}
using TFontCharset = std::uint8_t;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) {
    return TRect{Left, Top, Right, Bottom};
}

// The palette that every 8-bit bitmap shares, so that a byte copied from one 8-bit bitmap into
// another keeps its colour. Index 0 is black and index 255 white; between them lie a 6x6x6 colour
// cube and a ramp of greys.
namespace palette {
inline constexpr std::uint8_t BlackIndex = 0;
inline constexpr std::uint8_t WhiteIndex = 255;
TColor Color(std::uint8_t Index);
// The entry nearest to Color.
std::uint8_t IndexOf(TColor Color);
} // namespace palette

// The largest pixel buffer a bitmap may hold, and also the most that all the bitmaps alive in
// the process may hold between them, as a system's graphics resources run out: a size whose
// buffer would pass either raises EOutOfResources instead of exhausting memory. While a bitmap
// is resized (keeping its pixels), converted, copied or loaded from a file, its old and new
// buffers both count.
inline constexpr std::size_t MaxBitmapBytes = std::size_t{256} << 20;

// The pixel bytes that all live bitmaps hold now.
std::size_t BitmapBytesInUse();

namespace detail {
// Counts Bytes against the process's bitmap budget, or raises EOutOfResources if they do not fit.
void ReserveBitmapBytes(std::size_t Bytes);
void ReleaseBitmapBytes(std::size_t Bytes) noexcept;
} // namespace detail

// Raises EOutOfResources, as sizing a bitmap would, when Width x Height pixels in Format would
// pass MaxBitmapBytes (negative sizes act as 0): for producers that check before they work.
void CheckBitmapSize(TPixelFormat Format, int Width, int Height);

class TBitmap;

class TBrush : public TPersistent {
public:
    TColor GetColor() const { return FColor; }
    // A colour makes a clear brush solid again, as the framework's brush does.
    void SetColor(TColor Value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle Value) { FStyle = Value; }
    void Assign(const TPersistent& Source) override;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

class TPen : public TPersistent {
public:
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle Value) { FStyle = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value < 1 ? 1 : Value; }
    void Assign(const TPersistent& Source) override;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
};

// A font as the framework describes one. Size is in points at 96 pixels per inch; Height is the
// em in pixels, negative as the framework keeps it (8 points = -11).
class TFont : public TPersistent {
public:
    static constexpr int PixelsPerInch = 96;

    const std::string& GetName() const { return FName; }
    void SetName(const std::string& Value) { Change(FName, Value); }
    int GetSize() const;
    void SetSize(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { Change(FHeight, Value); }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { Change(FColor, Value); }
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value) { Change(FStyle, Value); }
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset Value) { Change(FCharset, Value); }

    // Names the font's settings as they stand: it changes whenever one of them does, and two
    // fonts with the same generation have the same settings (Assign carries it over).
    // Lets a canvas tell cheaply whether its font is still the one it looked up.
    std::uint64_t Generation() const { return FGeneration; }

    void Assign(const TPersistent& Source) override;
    // Published: Charset, Color, Height, Name, Size (not stored: Height says it), Style.
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    bool operator==(const TFont& Other) const;

private:
    template <typename T> void Change(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Field = Value;
        FGeneration = NextGeneration();
    }
    static std::uint64_t NextGeneration();

    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    TFontCharset FCharset = DEFAULT_CHARSET;
    std::uint64_t FGeneration = 0; // 0: the settings of a new font
};

// Drawing on a bitmap. Every operation is clipped to the bitmap: no coordinate, however wild,
// writes outside its pixels. The drawing operations are virtual as the framework's canvas is a
// device of its own: a recording canvas (TMetafileCanvas) takes the same calls and keeps them.
class TCanvas {
public:
    explicit TCanvas(TBitmap& Owner) : FBitmap(&Owner) {}
    virtual ~TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBrush& GetBrush() { return FBrush; }
    const TBrush& GetBrush() const { return FBrush; }
    TPen& GetPen() { return FPen; }
    const TPen& GetPen() const { return FPen; }
    TFont& GetFont() { return FFont; }
    const TFont& GetFont() const { return FFont; }
    // Copies the attributes of Value; the canvas keeps no reference to it.
    void SetFont(const TFont& Value) { FFont.Assign(Value); }

    // Fills columns Left..Right-1 of rows Top..Bottom-1 with the brush (nothing when the brush
    // is clear or the rectangle is empty).
    virtual void FillRect(const TRect& R);
    // Outline with the pen, inside with the brush. Covers exactly columns x1..x2-1 and rows
    // y1..y2-1; swapped corners are put in order first.
    virtual void Rectangle(int X1, int Y1, int X2, int Y2);
    // Copies Source with its top-left corner at (X, Y), converting its colours where the pixel
    // formats differ.
    virtual void Draw(int X, int Y, const TBitmap& Source);

    // Text in the canvas font, one byte per character (the Western code page). TextOut puts the
    // top-left corner of the string's cell at (X, Y) and, while the brush is solid, fills the
    // cell with the brush colour first. TextWidth is the sum of the hinted advances, TextHeight
    // the cell height from the face's Windows ascent and descent.
    virtual void TextOut(int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text) const;
    int TextHeight(const std::string& Text) const;
    // Draws what TextOut(X, Y, Text) would draw on a bitmap of UnturnedWidth x UnturnedHeight
    // pixels, turned clockwise by Degrees (90, 180 or 270) as the engine's rotations turn a
    // picture, onto this canvas's pf8bit bitmap, which holds the turned picture. Only what can
    // be seen is drawn.
    virtual void TurnedTextOut(int Degrees, int UnturnedWidth, int UnturnedHeight, int X, int Y,
                               const std::string& Text);

    // The colour at (X, Y); -1 outside the bitmap.
    virtual TColor GetPixel(int X, int Y) const;
    virtual void SetPixel(int X, int Y, TColor Color);

protected:
    // A canvas on another device than a bitmap.
    TCanvas() : FBitmap(nullptr) {}
    // The face and size of FFont, looked up again only when the font changes.
    detail::SizedFont& Sized() const;

private:
    TBitmap* FBitmap;
    TBrush FBrush;
    TPen FPen;
    TFont FFont;
    mutable std::shared_ptr<detail::SizedFont> FSized;
    mutable std::uint64_t FSizedFor = 0; // the generation of FFont that FSized was found for
};

// A bitmap in memory. Rows are stored top to bottom without padding: a pf8bit row is Width bytes
// (palette indices), a pf24bit row 3 x Width bytes (blue, green, red), a pf1bit row
// (Width + 7) / 8 bytes, most significant bit first, 0 = black and 1 = white.
class TBitmap : public TPersistent {
public:
    TBitmap();
    ~TBitmap() override;

    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    // Changing the size keeps the pixels that stay inside and makes the new ones white. Negative
    // sizes act as 0; a size whose pixels would pass MaxBitmapBytes raises EOutOfResources.
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int Width, int Height);
    // Sizes the bitmap afresh without keeping or clearing its pixels: their values are undefined
    // until written. For producers that write every pixel (turns, decoders); the same bound and
    // exception as SetSize. A size past the limit of one bitmap changes nothing; otherwise the
    // former pixels go first, so a failure for want of room among all bitmaps leaves it empty.
    void Reallocate(int Width, int Height);

    // Reads pf24bit for a new bitmap (the device format). Setting it converts the pixels.
    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    // A monochrome bitmap is a pf1bit bitmap. Setting true converts to pf1bit (each pixel to the
    // nearer of black and white); setting false turns a monochrome bitmap into the device format.
    bool GetMonochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool Value);

    // The first byte of row Y. Raises EInvalidGraphic for a row outside the bitmap.
    std::uint8_t* ScanLine(int Y);
    const std::uint8_t* ScanLine(int Y) const;
    std::size_t GetRowBytes() const { return FRowBytes; }

    TCanvas& GetCanvas() {
        Changed();
        return *FCanvas;
    }
    const TCanvas& GetCanvas() const { return *FCanvas; }

    // Takes the pixels, size and format of Source without copying them and leaves Source
    // empty (0 x 0, its format kept); the canvases keep their own state.
    void TakePixels(TBitmap& Source);
    // Copies the pixels, size and format of another bitmap; the canvas keeps its own state.
    void Assign(const TPersistent& Source) override;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    // Windows bitmap files. Saving writes pf1bit, pf8bit (with the shared palette) or pf24bit as
    // it is held. Loading reads uncompressed 1-, 4-, 8-, 24- and 32-bit files; a malformed file
    // raises EInvalidGraphic and leaves the bitmap as it was.
    void SaveToStream(std::ostream& Stream) const;
    void LoadFromStream(std::istream& Stream);
    void SaveToFile(const std::string& FileName) const;
    void LoadFromFile(const std::string& FileName);

    // The colour of pixel (X, Y), which must lie inside the bitmap.
    TColor PixelColor(int X, int Y) const;

    // The image as form files stream it (published as Data): the size of a bitmap file in four
    // bytes, least significant first, then the file; nothing for an empty bitmap. A bitmap set
    // from data writes those very bytes back until its pixels change, so a 16-colour glyph
    // stays the file it was. Malformed data raises EInvalidGraphic and changes nothing.
    std::string GetData() const;
    void SetData(const std::string& Value);

private:
    friend class TCanvas;
    // Whatever may change the pixels forgets the data they were read from.
    void Changed() { FData.clear(); }
    friend void CheckBitmapSize(TPixelFormat Format, int Width, int Height);

    static std::size_t RowBytesFor(TPixelFormat Format, int Width);
    void Reformat(TPixelFormat Format);

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pf24bit;
    std::size_t FRowBytes = 0;
    // Pixel storage whose bytes are not zeroed first: every path that makes pixels writes them
    // itself. A plain array, not a vector: a vector would construct its bytes one by one, which
    // only an optimiser that sees through the allocator turns into nothing.
    class PixelBuffer {
    public:
        PixelBuffer() = default;
        explicit PixelBuffer(std::size_t Size)
            : FData(Allocate(Size)), FSize(Size), FCapacity(Size) {}
        ~PixelBuffer() { detail::ReleaseBitmapBytes(FCapacity); }
        PixelBuffer(std::size_t Size, std::uint8_t Fill) : PixelBuffer(Size) {
            if (Size)
                std::memset(FData.get(), Fill, Size);
        }
        PixelBuffer(const PixelBuffer& Other) : PixelBuffer(Other.FSize) {
            if (FSize)
                std::memcpy(FData.get(), Other.FData.get(), FSize);
        }
        PixelBuffer(PixelBuffer&& Other) noexcept
            : FData(std::move(Other.FData)), FSize(std::exchange(Other.FSize, 0)),
              FCapacity(std::exchange(Other.FCapacity, 0)) {}
        PixelBuffer& operator=(PixelBuffer Other) noexcept {
            detail::ReleaseBitmapBytes(FCapacity);
            FData = std::move(Other.FData);
            FSize = std::exchange(Other.FSize, 0);
            FCapacity = std::exchange(Other.FCapacity, 0);
            return *this;
        }
        // Takes Size bytes in the memory already held, when it is large enough and not much
        // larger: a component that sets its height before every render of a turned picture
        // shrinks and regrows its bitmap each time. The bytes keep whatever they held. The
        // memory held stays counted against the budget.
        bool Reuse(std::size_t Size) {
            constexpr std::size_t Slack = std::size_t{4} << 20;
            if (Size > FCapacity || FCapacity - Size > std::max(Size, Slack))
                return false;
            FSize = Size;
            return true;
        }
        std::uint8_t* data() { return FData.get(); }
        const std::uint8_t* data() const { return FData.get(); }
        std::size_t size() const { return FSize; }
        void clear() { *this = PixelBuffer(); }

    private:
        // Counted against the budget before the memory is taken, and given back if it is not.
        static std::uint8_t* Allocate(std::size_t Size) {
            if (Size == 0)
                return nullptr;
            detail::ReserveBitmapBytes(Size);
            try {
                return new std::uint8_t[Size];
            } catch (...) {
                detail::ReleaseBitmapBytes(Size);
                throw;
            }
        }
        std::unique_ptr<std::uint8_t[]> FData;
        std::size_t FSize = 0;
        std::size_t FCapacity = 0; // what FData holds
    };
    PixelBuffer FPixels;
    std::unique_ptr<TCanvas> FCanvas;
    std::string FData;
};

// A picture holding a bitmap, as an image control shows one. Assigning a bitmap copies its
// image: later changes to the source do not reach the picture. Published: Data, the bitmap's
// class name as a short string, then its data, as form files store a picture.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    TBitmap& GetBitmap() { return *FBitmap; }
    const TBitmap& GetBitmap() const { return *FBitmap; }
    // Copies Value's image; null empties the picture.
    void SetBitmap(const TBitmap* Value);
    int GetWidth() const { return FBitmap->GetWidth(); }
    int GetHeight() const { return FBitmap->GetHeight(); }

    std::string GetData() const;
    // EInvalidGraphic for data that is not a bitmap's.
    void SetData(const std::string& Value);

    // Told whenever the picture takes another image through this class.
    std::function<void()> OnChange;

    // From another picture or a bitmap.
    void Assign(const TPersistent& Source) override;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    void Changed() {
        if (OnChange)
            OnChange();
    }
    std::unique_ptr<TBitmap> FBitmap;
};

// The colours in which a PNG shows a picture's black and white, for a label printed in other
// inks than the bitmap holds. The defaults write the picture as it is.
struct TInkColours {
    TColor Ink = clBlack;
    TColor Paper = clWhite;
    bool operator==(const TInkColours&) const = default;
};

// Writes Bitmap as a PNG: one bit of grey per pixel when it holds only black and white, else
// 8-bit indexed (pf8bit) or 8 bits per channel. A positive Dpi writes the resolution chunk.
// Colours other than black and white make the 1-bit grey image a 1-bit indexed one, its two
// palette entries Colours.Ink and Colours.Paper, and replace black and white in an 8-bit
// image's palette; a true-colour image is written as it is.
void SaveBitmapToPng(const TBitmap& Bitmap, std::ostream& Stream, int Dpi = 0,
                     const TInkColours& Colours = {});
void SaveBitmapToPngFile(const TBitmap& Bitmap, const std::string& FileName, int Dpi = 0);

} // namespace vcl
