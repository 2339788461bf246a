// Font faces through fontconfig, glyphs through FreeType, both cached.
#include "host/graphics/detail/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

namespace vcl::detail {

namespace {

// The Windows Western code page: 0x80..0x9F hold typographic characters, the rest of the bytes
// are Latin-1.
constexpr std::array<std::uint16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

FT_ULong CodePoint(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
}

int RoundDiv(long a, long b) {
    return static_cast<int>((a + b / 2) / b);
}

class FtSizedFont final : public SizedFont {
public:
    // FreeType lets threads share a library only if its faces are made and freed one at a time
    // (FaceLock); each face is then used by the one thread it was resolved for.
    FtSizedFont(FT_Library Library, std::mutex& FaceLock, const std::string& File, int Index,
                int Height)
        : FFaceLock(FaceLock) {
        const std::lock_guard lock(FFaceLock);
        if (!File.empty() && FT_New_Face(Library, File.c_str(), Index, &FFace) != 0)
            FFace = nullptr;
        int winAscent = 0, winDescent = 0, upem = 2048;
        if (FFace) {
            upem = FFace->units_per_EM > 0 ? FFace->units_per_EM : 2048;
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
            if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
                winAscent = os2->usWinAscent;
                winDescent = os2->usWinDescent;
            } else {
                winAscent = FFace->ascender;
                winDescent = -FFace->descender;
            }
        }
        if (winAscent + winDescent <= 0) {
            winAscent = upem * 4 / 5;
            winDescent = upem / 5;
        }
        // A negative height is the em, a positive one the whole cell, as the framework has it.
        int em = Height < 0   ? -Height
                 : Height > 0 ? RoundDiv(long{Height} * upem, winAscent + winDescent)
                              : 11;
        em = std::clamp(em, 1, MaxFontPixels);
        Ascent = RoundDiv(long{winAscent} * em, upem);
        Descent = RoundDiv(long{winDescent} * em, upem);
        if (FFace && FT_Set_Pixel_Sizes(FFace, 0, static_cast<FT_UInt>(em)) != 0) {
            FT_Done_Face(FFace);
            FFace = nullptr;
        }
    }
    ~FtSizedFont() override {
        const std::lock_guard lock(FFaceLock);
        if (FFace)
            FT_Done_Face(FFace);
    }
    FtSizedFont(const FtSizedFont&) = delete;
    FtSizedFont& operator=(const FtSizedFont&) = delete;

    const Glyph& GlyphOf(unsigned char C) override {
        std::optional<Glyph>& slot = FGlyphs[C];
        if (!slot)
            slot = Load(C);
        return *slot;
    }

private:
    Glyph Load(unsigned char C) {
        Glyph g;
        if (!FFace || FT_Load_Char(FFace, CodePoint(C),
                                   FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
            return g;
        const FT_GlyphSlot slot = FFace->glyph;
        g.Advance = static_cast<int>((slot->advance.x + 32) >> 6);
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO || bm.width == 0 || bm.rows == 0)
            return g;
        g.Left = slot->bitmap_left;
        g.Top = slot->bitmap_top;
        g.Width = static_cast<int>(bm.width);
        g.Rows = static_cast<int>(bm.rows);
        g.Pitch = static_cast<int>((bm.width + 7) / 8);
        g.Bits.resize(static_cast<std::size_t>(g.Pitch) * g.Rows);
        CacheBytes += g.Bits.size();
        for (int r = 0; r < g.Rows; ++r) {
            // FreeType's pitch may be negative (bottom-up rows) and padded.
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
            if (bm.pitch < 0)
                src = bm.buffer + static_cast<std::ptrdiff_t>(g.Rows - 1 - r) * -bm.pitch;
            std::memcpy(g.Bits.data() + static_cast<std::size_t>(r) * g.Pitch, src, g.Pitch);
        }
        return g;
    }

    std::mutex& FFaceLock;
    FT_Face FFace = nullptr;
    std::array<std::optional<Glyph>, 256> FGlyphs;
};

class FontSystem {
public:
    FontSystem() {
        if (FT_Init_FreeType(&FLibrary) != 0)
            FLibrary = nullptr;
        FFontconfig = FcInit() == FcTrue;
    }
    ~FontSystem() {
        FSizes.clear();
        FFiles.clear();
        if (FLibrary)
            FT_Done_FreeType(FLibrary);
        // Gives back fontconfig's configuration and caches, so that leak checkers see none.
        if (FFontconfig)
            FcFini();
    }

    std::shared_ptr<SizedFont> Resolve(const TFont& Font) {
        const std::lock_guard lock(FMutex);
        // Every height past the largest em draws at that em: they share one entry rather than
        // each rasterising its own set of the largest glyphs. A positive height is a cell,
        // which no face makes more than a few ems tall.
        const int height = std::clamp(Font.GetHeight(), -MaxFontPixels, 4 * MaxFontPixels);
        // Each thread gets faces of its own: a face and its glyph caches are not to be shared.
        const Key key{Font.GetName(), Font.GetStyle(), height, std::this_thread::get_id()};
        if (auto it = FSizes.find(key); it != FSizes.end())
            return it->second;
        // A handful of sizes is all a program uses; a flood of distinct ones, or of large
        // glyphs, starts afresh rather than growing without bound.
        std::size_t bytes = 0;
        for (const auto& entry : FSizes)
            bytes += entry.second->CacheBytes;
        if (FSizes.size() >= 64 || bytes > MaxFontCacheBytes)
            FSizes.clear();
        const auto& [file, index] = Locate(Font.GetName(), Font.GetStyle());
        auto font = std::make_shared<FtSizedFont>(FLibrary, FFaceMutex,
                                                  FLibrary ? file : std::string{}, index, height);
        FSizes.emplace(key, font);
        return font;
    }

private:
    using Key = std::tuple<std::string, TFontStyles, int, std::thread::id>;
    using Location = std::pair<std::string, int>;

    const Location& Locate(const std::string& Family, TFontStyles Style) {
        const auto key = std::make_pair(Family, Style);
        if (auto it = FFiles.find(key); it != FFiles.end())
            return it->second;
        Location loc{"", 0};
        if (FFontconfig) {
            FcPattern* pattern = FcPatternCreate();
            FcPatternAddString(pattern, FC_FAMILY,
                               reinterpret_cast<const FcChar8*>(Family.c_str()));
            FcPatternAddInteger(pattern, FC_WEIGHT,
                                Style & FontStyleBit(fsBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
            FcPatternAddInteger(pattern, FC_SLANT,
                                Style & FontStyleBit(fsItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
            FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
                FcChar8* file = nullptr;
                int index = 0;
                if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                    loc.first = reinterpret_cast<const char*>(file);
                    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
                        loc.second = index;
                }
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        return FFiles.emplace(key, loc).first->second;
    }

    std::mutex FMutex;
    // Taken while a face is made or freed, after FMutex when both are.
    std::mutex FFaceMutex;
    FT_Library FLibrary = nullptr;
    bool FFontconfig = false;
    std::map<std::pair<std::string, TFontStyles>, Location> FFiles;
    // Shared with the canvases that use a size, so that clearing the cache never pulls a face
    // from under a canvas.
    std::map<Key, std::shared_ptr<FtSizedFont>> FSizes;
};

FontSystem& Fonts() {
    static FontSystem system;
    return system;
}

} // namespace

std::shared_ptr<SizedFont> ResolveFont(const TFont& Font) {
    return Fonts().Resolve(Font);
}

int SizedFont::TextWidth(const std::string& Text) {
    std::int64_t w = 0;
    for (const char c : Text) {
        int& advance = FAdvances[static_cast<unsigned char>(c)];
        if (advance == kUnknown)
            advance = GlyphOf(static_cast<unsigned char>(c)).Advance;
        w += advance;
    }
    return static_cast<int>(std::min<std::int64_t>(w, INT_MAX));
}

void BlitGlyph(const Glyph& G, std::int64_t OriginX, std::int64_t Baseline, TPixelFormat Format,
               std::uint8_t* Top, std::size_t RowBytes, PixelValue Ink, std::int64_t ClipX1,
               std::int64_t ClipY1, std::int64_t ClipX2, std::int64_t ClipY2) {
    ForEachInkSpan(G, OriginX, Baseline, ClipX1, ClipY1, ClipX2, ClipY2,
                   [&](std::int64_t X1, std::int64_t X2, std::int64_t Y) {
                       FillSpan(Format, Top + static_cast<std::size_t>(Y) * RowBytes,
                                static_cast<int>(X1), static_cast<int>(X2), Ink);
                   });
}

const CellImage& SizedFont::OpaqueCell(const std::string& Text, TPixelFormat Format, PixelValue Ink,
                                       PixelValue Back) {
    auto same = [](PixelValue a, PixelValue b) {
        return a.b0 == b.b0 && a.b1 == b.b1 && a.b2 == b.b2;
    };
    ++FClock;
    for (CachedCell& c : FCells)
        if (c.format == Format && c.text == Text && same(c.ink, Ink) && same(c.back, Back)) {
            c.lastUse = FClock;
            return c.image;
        }

    CellImage cell;
    cell.Width = TextWidth(Text);
    cell.Height = CellHeight();
    cell.RowBytes = (Format == pf8bit ? 1u : 3u) * static_cast<std::size_t>(cell.Width);
    const std::size_t bytes = cell.RowBytes * static_cast<std::size_t>(cell.Height);
    // A cell larger than any bitmap could take is not worth drawing in full.
    if (bytes > MaxBitmapBytes) {
        FScratch = CellImage{};
        return FScratch;
    }
    cell.Pixels.resize(bytes);
    for (int y = 0; y < cell.Height && cell.Width > 0; ++y)
        FillSpan(Format, cell.Pixels.data() + y * cell.RowBytes, 0, cell.Width, Back);
    std::int64_t pen = 0;
    for (const char ch : Text) {
        const Glyph& g = GlyphOf(static_cast<unsigned char>(ch));
        BlitGlyph(g, pen, Ascent, Format, cell.Pixels.data(), cell.RowBytes, Ink, 0, 0, cell.Width,
                  cell.Height);
        pen += g.Advance;
    }

    // Strings of a label come back render after render; a handful of small cells is kept.
    constexpr std::size_t kCells = 8, kCellBytes = std::size_t{256} << 10;
    if (bytes > kCellBytes) {
        FScratch = std::move(cell);
        return FScratch;
    }
    if (FCells.size() >= kCells) {
        auto oldest = std::min_element(
            FCells.begin(), FCells.end(),
            [](const CachedCell& a, const CachedCell& b) { return a.lastUse < b.lastUse; });
        CacheBytes -= oldest->image.Pixels.size();
        FCells.erase(oldest);
    }
    CacheBytes += bytes;
    FCells.push_back({Text, Format, Ink, Back, FClock, std::move(cell)});
    return FCells.back().image;
}

} // namespace vcl::detail
