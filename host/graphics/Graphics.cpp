// Bitmaps in memory, the shared palette, brushes, pens and fonts.
#include "host/graphics/Graphics.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <optional>

#include "host/graphics/Pixels.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace palette {

namespace {

constexpr int CubeLevel(int i) {
    return i * 51;
}
constexpr int GreyLevel(int i) {
    return ((i + 1) * 255 + 20) / 41;
} // i = 0..39

struct Table {
    std::array<TColor, 256> colors{};
    constexpr Table() {
        // 0..214: the colour cube without white, in r, g, b order; 0 is black.
        for (int i = 0; i < 215; ++i)
            colors[i] = RGB(CubeLevel(i / 36), CubeLevel(i / 6 % 6), CubeLevel(i % 6));
        for (int i = 0; i < 40; ++i)
            colors[215 + i] = RGB(GreyLevel(i), GreyLevel(i), GreyLevel(i));
        colors[255] = clWhite;
    }
};

constexpr Table kTable;

int Dist2(TColor a, TColor b) {
    const int dr = GetRValue(a) - GetRValue(b);
    const int dg = GetGValue(a) - GetGValue(b);
    const int db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

TColor Color(std::uint8_t Index) {
    return kTable.colors[Index];
}

std::uint8_t IndexOf(TColor C) {
    C &= 0xFFFFFF;
    if (C == clBlack)
        return BlackIndex;
    if (C == clWhite)
        return WhiteIndex;
    const int r = (GetRValue(C) + 25) / 51, g = (GetGValue(C) + 25) / 51,
              b = (GetBValue(C) + 25) / 51;
    int cube = r * 36 + g * 6 + b;
    std::uint8_t best = cube == 215 ? WhiteIndex : static_cast<std::uint8_t>(cube);
    int bestDist = Dist2(C, kTable.colors[best]);
    // The grey ramp may lie nearer for colours close to grey.
    const int avg = (GetRValue(C) + GetGValue(C) + GetBValue(C)) / 3;
    for (int i = 0; i < 40; ++i) {
        if (std::abs(GreyLevel(i) - avg) > 8)
            continue;
        const int d = Dist2(C, kTable.colors[215 + i]);
        if (d < bestDist) {
            bestDist = d;
            best = static_cast<std::uint8_t>(215 + i);
        }
    }
    return best;
}

} // namespace palette

// ---- colours and the property types of this unit ----

TColor ColorToRGB(TColor Color) {
    if (Color < 0) {
        // The classic desktop scheme, by system colour index.
        static constexpr std::array<TColor, 25> kScheme{
            0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, // scroll bar .. menu
            0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, // window .. caption text
            0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, // borders .. highlight text
            0xC0C0C0, 0x808080, 0x808080, 0x000000, 0xC0C0C0, // button face .. inactive text
            0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000, 0xE1FFFF, // highlight .. info background
        };
        const auto index = static_cast<std::size_t>(Color & 0xFF);
        return index < kScheme.size() ? kScheme[index] : clBlack;
    }
    return Color & 0xFFFFFF;
}

const TTypeInfo& ColorType() {
    static const TTypeInfo t{TTypeKind::Integer,
                             "TColor",
                             {},
                             {{clBlack, "clBlack"},
                              {clMaroon, "clMaroon"},
                              {clGreen, "clGreen"},
                              {clOlive, "clOlive"},
                              {clNavy, "clNavy"},
                              {clPurple, "clPurple"},
                              {clTeal, "clTeal"},
                              {clGray, "clGray"},
                              {clSilver, "clSilver"},
                              {clRed, "clRed"},
                              {clLime, "clLime"},
                              {clYellow, "clYellow"},
                              {clBlue, "clBlue"},
                              {clFuchsia, "clFuchsia"},
                              {clAqua, "clAqua"},
                              {clWhite, "clWhite"},
                              {clScrollBar, "clScrollBar"},
                              {clBackground, "clBackground"},
                              {clActiveCaption, "clActiveCaption"},
                              {clInactiveCaption, "clInactiveCaption"},
                              {clMenu, "clMenu"},
                              {clWindow, "clWindow"},
                              {clWindowFrame, "clWindowFrame"},
                              {clMenuText, "clMenuText"},
                              {clWindowText, "clWindowText"},
                              {clCaptionText, "clCaptionText"},
                              {clActiveBorder, "clActiveBorder"},
                              {clInactiveBorder, "clInactiveBorder"},
                              {clAppWorkSpace, "clAppWorkSpace"},
                              {clHighlight, "clHighlight"},
                              {clHighlightText, "clHighlightText"},
                              {clBtnFace, "clBtnFace"},
                              {clBtnShadow, "clBtnShadow"},
                              {clGrayText, "clGrayText"},
                              {clBtnText, "clBtnText"},
                              {clInactiveCaptionText, "clInactiveCaptionText"},
                              {clBtnHighlight, "clBtnHighlight"},
                              {cl3DDkShadow, "cl3DDkShadow"},
                              {cl3DLight, "cl3DLight"},
                              {clInfoText, "clInfoText"},
                              {clInfoBk, "clInfoBk"},
                              {clNone, "clNone"},
                              {clDefault, "clDefault"}},
                             nullptr};
    return t;
}

const TTypeInfo& FontCharsetType() {
    static const TTypeInfo t{TTypeKind::Integer,
                             "TFontCharset",
                             {},
                             {{0, "ANSI_CHARSET"},
                              {1, "DEFAULT_CHARSET"},
                              {2, "SYMBOL_CHARSET"},
                              {77, "MAC_CHARSET"},
                              {128, "SHIFTJIS_CHARSET"},
                              {129, "HANGEUL_CHARSET"},
                              {130, "JOHAB_CHARSET"},
                              {134, "GB2312_CHARSET"},
                              {136, "CHINESEBIG5_CHARSET"},
                              {161, "GREEK_CHARSET"},
                              {162, "TURKISH_CHARSET"},
                              {163, "VIETNAMESE_CHARSET"},
                              {177, "HEBREW_CHARSET"},
                              {178, "ARABIC_CHARSET"},
                              {186, "BALTIC_CHARSET"},
                              {204, "RUSSIAN_CHARSET"},
                              {222, "THAI_CHARSET"},
                              {238, "EASTEUROPE_CHARSET"},
                              {255, "OEM_CHARSET"}},
                             nullptr};
    return t;
}

const TTypeInfo& FontStylesType() {
    static const TTypeInfo t{TTypeKind::Set,
                             "TFontStyles",
                             {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
                             {},
                             nullptr};
    return t;
}

const TTypeInfo& FontType() {
    static const TTypeInfo t{TTypeKind::Class, "TFont", {}, {}, &TFont::StaticClassInfo()};
    return t;
}

const TTypeInfo& BitmapType() {
    static const TTypeInfo t{TTypeKind::Class, "TBitmap", {}, {}, &TBitmap::StaticClassInfo()};
    return t;
}

const TClassInfo& TBrush::StaticClassInfo() {
    static const TClassInfo info("TBrush", &TPersistent::StaticClassInfo());
    return info;
}

const TClassInfo& TPen::StaticClassInfo() {
    static const TClassInfo info("TPen", &TPersistent::StaticClassInfo());
    return info;
}

const TClassInfo& TBitmap::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TBitmap", &TPersistent::StaticClassInfo());
        c.Bytes<TBitmap>("Data", &TBitmap::GetData, &TBitmap::SetData);
        return c;
    }();
    return info;
}

const TTypeInfo& PictureType() {
    static const TTypeInfo t{TTypeKind::Class, "TPicture", {}, {}, &TPicture::StaticClassInfo()};
    return t;
}

const TClassInfo& TPicture::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TPicture", &TPersistent::StaticClassInfo());
        c.Bytes<TPicture>("Data", &TPicture::GetData, &TPicture::SetData);
        return c;
    }();
    return info;
}

const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TFont", &TPersistent::StaticClassInfo());
        c.Ordinal<TFont, TFontCharset>("Charset", FontCharsetType(), &TFont::GetCharset,
                                       &TFont::SetCharset);
        c.Ordinal<TFont, TColor>("Color", ColorType(), &TFont::GetColor, &TFont::SetColor);
        c.Ordinal<TFont, int>("Height", IntegerType(), &TFont::GetHeight, &TFont::SetHeight);
        c.String<TFont, const std::string&>("Name", &TFont::GetName, &TFont::SetName);
        c.Ordinal<TFont, int>("Size", IntegerType(), &TFont::GetSize, &TFont::SetSize).IsStored =
            [](const TPersistent&) { return false; };
        c.Ordinal<TFont, TFontStyles>("Style", FontStylesType(), &TFont::GetStyle,
                                      &TFont::SetStyle);
        return c;
    }();
    return info;
}

// ---- brushes, pens, fonts ----

void TBrush::SetColor(TColor Value) {
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
}

void TBrush::Assign(const TPersistent& Source) {
    if (auto* b = dynamic_cast<const TBrush*>(&Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::Assign(const TPersistent& Source) {
    if (auto* p = dynamic_cast<const TPen*>(&Source)) {
        FColor = p->FColor;
        FStyle = p->FStyle;
        FWidth = p->FWidth;
        return;
    }
    TPersistent::Assign(Source);
}

namespace {
// a * b / c rounded half away from zero, as the framework's MulDiv does.
int MulDiv(int a, int b, int c) {
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    // Symmetric, so that a font size and height can always be negated into each other.
    return static_cast<int>(std::clamp<std::int64_t>(q, -INT32_MAX, INT32_MAX));
}
} // namespace

int TFont::GetSize() const {
    return -MulDiv(FHeight, 72, PixelsPerInch);
}
void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, PixelsPerInch, 72));
}

std::uint64_t TFont::NextGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TFont::Assign(const TPersistent& Source) {
    if (auto* f = dynamic_cast<const TFont*>(&Source)) {
        FName = f->FName;
        FHeight = f->FHeight;
        FColor = f->FColor;
        FStyle = f->FStyle;
        FCharset = f->FCharset;
        FGeneration = f->FGeneration;
        return;
    }
    TPersistent::Assign(Source);
}

bool TFont::operator==(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
           FCharset == o.FCharset;
}

// ---- bitmaps ----

TBitmap::TBitmap() : FCanvas(std::make_unique<TCanvas>(*this)) {}
TBitmap::~TBitmap() = default;

std::size_t TBitmap::RowBytesFor(TPixelFormat Format, int Width) {
    const auto w = static_cast<std::size_t>(Width);
    switch (Format) {
    case pf1bit:
        return (w + 7) / 8;
    case pf8bit:
        return w;
    default:
        return w * 3;
    }
}

namespace {
// The pixel bytes of every live bitmap of the process.
std::atomic<std::size_t> gBitmapBytes{0};
} // namespace

std::size_t BitmapBytesInUse() {
    return gBitmapBytes.load(std::memory_order_relaxed);
}

void detail::ReserveBitmapBytes(std::size_t Bytes) {
    std::size_t used = gBitmapBytes.load(std::memory_order_relaxed);
    do {
        if (Bytes > MaxBitmapBytes - std::min(used, MaxBitmapBytes))
            throw EOutOfResources("Bitmaps already hold " + std::to_string(used) + " bytes; " +
                                  std::to_string(Bytes) + " more would pass the limit of " +
                                  std::to_string(MaxBitmapBytes) +
                                  " bytes for all bitmaps together");
    } while (!gBitmapBytes.compare_exchange_weak(used, used + Bytes, std::memory_order_relaxed));
}

void detail::ReleaseBitmapBytes(std::size_t Bytes) noexcept {
    gBitmapBytes.fetch_sub(Bytes, std::memory_order_relaxed);
}

namespace {

int BitsPerPixel(TPixelFormat f) {
    return f == pf1bit ? 1 : f == pf8bit ? 8 : 24;
}

// The bytes of every pixel format's white: palette index 255, 0xFFFFFF, and 1 bits.
constexpr std::uint8_t kWhiteByte = 0xFF;
static_assert(palette::WhiteIndex == kWhiteByte);

std::uint64_t CheckedBytes(TPixelFormat Format, int Width, int Height, std::size_t RowBytes) {
    // Width and Height are at most 2^31, so the product fits in 64 bits.
    const std::uint64_t bytes = static_cast<std::uint64_t>(RowBytes) * std::uint64_t(Height);
    if (bytes > MaxBitmapBytes)
        throw EOutOfResources("Bitmap of " + std::to_string(Width) + " x " +
                              std::to_string(Height) + " pixels at " +
                              std::to_string(BitsPerPixel(Format)) + " bits per pixel needs " +
                              std::to_string(bytes) + " bytes, more than the limit of " +
                              std::to_string(MaxBitmapBytes) + " bytes");
    return bytes;
}

template <typename Buffer>
Buffer AllocatePixels(TPixelFormat Format, int Width, int Height, std::size_t RowBytes,
                      std::optional<std::uint8_t> Fill) {
    const std::uint64_t bytes = CheckedBytes(Format, Width, Height, RowBytes);
    try {
        return Fill ? Buffer(static_cast<std::size_t>(bytes), *Fill)
                    : Buffer(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of memory for a bitmap of " + std::to_string(Width) + " x " +
                              std::to_string(Height) + " pixels");
    }
}

} // namespace

void CheckBitmapSize(TPixelFormat Format, int Width, int Height) {
    if (Format == pfDevice)
        Format = pf24bit;
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    CheckedBytes(Format, Width, Height, TBitmap::RowBytesFor(Format, Width));
}

void TBitmap::SetSize(int Width, int Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (Width == FWidth && Height == FHeight)
        return;
    Changed();
    const std::size_t rowBytes = RowBytesFor(FPixelFormat, Width);
    if (Width == FWidth) {
        // Only the height changes, as a component's does before every render: the kept rows
        // are one block, which stays where it is if the memory held will do, or is copied at
        // once; only the rows past them are made white.
        const std::uint64_t bytes = CheckedBytes(FPixelFormat, Width, Height, rowBytes);
        const std::size_t kept = static_cast<std::size_t>(std::min(Height, FHeight)) * rowBytes;
        if (FPixels.Reuse(static_cast<std::size_t>(bytes))) {
            if (FPixels.size() > kept)
                std::memset(FPixels.data() + kept, kWhiteByte, FPixels.size() - kept);
            FHeight = Height;
            return;
        }
        PixelBuffer pixels = AllocatePixels<PixelBuffer>(FPixelFormat, Width, Height, rowBytes, {});
        if (kept)
            std::memcpy(pixels.data(), FPixels.data(), kept);
        if (pixels.size() > kept)
            std::memset(pixels.data() + kept, kWhiteByte, pixels.size() - kept);
        FPixels = std::move(pixels);
        FHeight = Height;
        return;
    }
    PixelBuffer pixels =
        AllocatePixels<PixelBuffer>(FPixelFormat, Width, Height, rowBytes, kWhiteByte);
    // The new pixels are white from the start; the ones that stay inside are copied over.
    const int keepRows = std::min(Height, FHeight);
    const int keepCols = std::min(Width, FWidth);
    const std::size_t keepBytes = RowBytesFor(FPixelFormat, keepCols);
    for (int y = 0; keepBytes != 0 && y < keepRows; ++y) {
        std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * rowBytes;
        std::memcpy(row, FPixels.data() + static_cast<std::size_t>(y) * FRowBytes, keepBytes);
        // A monochrome row's last copied byte may hold bits beyond the kept columns.
        if (FPixelFormat == pf1bit && Width > keepCols)
            FillSpan(pf1bit, row, keepCols,
                     static_cast<int>(std::min<std::size_t>(Width, keepBytes * 8)),
                     ToPixel(pf1bit, clWhite));
    }
    FPixels = std::move(pixels);
    FRowBytes = rowBytes;
    FWidth = Width;
    FHeight = Height;
}

void TBitmap::Reallocate(int Width, int Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    const std::size_t rowBytes = RowBytesFor(FPixelFormat, Width);
    const std::uint64_t bytes = CheckedBytes(FPixelFormat, Width, Height, rowBytes);
    Changed();
    // Nothing of the former pixels is kept: their memory takes the new ones if it will do, and
    // is otherwise given back before the new is taken, so the two never count together against
    // the budget.
    if (FPixels.Reuse(static_cast<std::size_t>(bytes))) {
        FRowBytes = rowBytes;
        FWidth = Width;
        FHeight = Height;
        return;
    }
    FPixels.clear();
    FRowBytes = 0;
    FWidth = 0;
    FHeight = 0;
    PixelBuffer pixels = AllocatePixels<PixelBuffer>(FPixelFormat, Width, Height, rowBytes, {});
    FPixels = std::move(pixels);
    FRowBytes = rowBytes;
    FWidth = Width;
    FHeight = Height;
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == pfDevice)
        Value = pf24bit;
    if (Value != FPixelFormat)
        Reformat(Value);
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value)
        SetPixelFormat(pf1bit);
    else if (FPixelFormat == pf1bit)
        SetPixelFormat(pfDevice);
}

void TBitmap::Reformat(TPixelFormat Format) {
    Changed();
    const std::size_t rowBytes = RowBytesFor(Format, FWidth);
    // No pixel to convert: the memory held stays for the next size.
    if ((FWidth == 0 || FHeight == 0) && FPixels.Reuse(0)) {
        FRowBytes = rowBytes;
        FPixelFormat = Format;
        return;
    }
    // Every row is converted below.
    PixelBuffer pixels = AllocatePixels<PixelBuffer>(Format, FWidth, FHeight, rowBytes, {});
    for (int y = 0; rowBytes != 0 && y < FHeight; ++y) {
        const std::uint8_t* src = FPixels.data() + static_cast<std::size_t>(y) * FRowBytes;
        std::uint8_t* dst = pixels.data() + static_cast<std::size_t>(y) * rowBytes;
        ConvertRow(FPixelFormat, src, Format, dst, FWidth);
        // Keep the unused bits at the end of a monochrome row white.
        if (Format == pf1bit)
            FillSpan(pf1bit, dst, FWidth, static_cast<int>(rowBytes * 8), ToPixel(pf1bit, clWhite));
    }
    FPixels = std::move(pixels);
    FRowBytes = rowBytes;
    FPixelFormat = Format;
}

std::uint8_t* TBitmap::ScanLine(int Y) {
    Changed();
    return const_cast<std::uint8_t*>(static_cast<const TBitmap*>(this)->ScanLine(Y));
}

const std::uint8_t* TBitmap::ScanLine(int Y) const {
    if (Y < 0 || Y >= FHeight)
        throw EInvalidGraphic("Scan line index out of range");
    return FPixels.data() + static_cast<std::size_t>(Y) * FRowBytes;
}

TColor TBitmap::PixelColor(int X, int Y) const {
    return PixelColorAt(FPixelFormat, FPixels.data() + static_cast<std::size_t>(Y) * FRowBytes, X);
}

void TBitmap::TakePixels(TBitmap& Source) {
    if (&Source == this)
        return;
    Changed();
    Source.Changed();
    FPixels = std::move(Source.FPixels);
    FRowBytes = Source.FRowBytes;
    FWidth = Source.FWidth;
    FHeight = Source.FHeight;
    FPixelFormat = Source.FPixelFormat;
    Source.FPixels.clear();
    Source.FRowBytes = 0;
    Source.FWidth = 0;
    Source.FHeight = 0;
}

void TBitmap::Assign(const TPersistent& Source) {
    if (auto* b = dynamic_cast<const TBitmap*>(&Source)) {
        if (b == this)
            return;
        FPixels = b->FPixels;
        FRowBytes = b->FRowBytes;
        FWidth = b->FWidth;
        FHeight = b->FHeight;
        FPixelFormat = b->FPixelFormat;
        FData = b->FData;
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace vcl
