// Font faces through fontconfig, glyphs through FreeType, both cached.
#include "host/graphics/detail/Fonts.h"
#include "host/graphics/detail/FontFileCache.h"
#include "host/sysutils/LateLibrary.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
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

// FreeType lets threads use different faces of one library at once, but opening and closing a
// face changes the library: those are done one at a time.
std::mutex& FaceListLock() {
    static std::mutex lock;
    return lock;
}

class FtSizedFont final : public SizedFont {
public:
    FtSizedFont(FT_Library Library, const std::string& File, int Index, int Height) {
        {
            const std::lock_guard lock(FaceListLock());
            if (!File.empty() && FT_New_Face(Library, File.c_str(), Index, &FFace) != 0)
                FFace = nullptr;
        }
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
        Em = em;
        Ascent = RoundDiv(long{winAscent} * em, upem);
        Descent = RoundDiv(long{winDescent} * em, upem);
        if (FFace && FT_Set_Pixel_Sizes(FFace, 0, static_cast<FT_UInt>(em)) != 0) {
            const std::lock_guard lock(FaceListLock());
            FT_Done_Face(FFace);
            FFace = nullptr;
        }
    }
    ~FtSizedFont() override {
        const std::lock_guard lock(FaceListLock());
        if (FFace)
            FT_Done_Face(FFace);
    }
    FtSizedFont(const FtSizedFont&) = delete;
    FtSizedFont& operator=(const FtSizedFont&) = delete;

protected:
    Glyph Load(unsigned char C) override {
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
        for (int r = 0; r < g.Rows; ++r) {
            // FreeType's pitch may be negative (bottom-up rows) and padded.
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
            if (bm.pitch < 0)
                src = bm.buffer + static_cast<std::ptrdiff_t>(g.Rows - 1 - r) * -bm.pitch;
            std::memcpy(g.Bits.data() + static_cast<std::size_t>(r) * g.Pitch, src, g.Pitch);
        }
        return g;
    }

private:
    FT_Face FFace = nullptr;
};

// Fontconfig is opened by the first face looked up, like its configuration: a program whose
// faces are all known (or that draws no text) never loads it.
// clang-format off
#define LUMIVEX_FONTCONFIG(X)                                                                      \
    X(FcConfigGetConfigDirs) X(FcConfigGetConfigFiles) X(FcConfigGetCurrent)                       \
    X(FcConfigGetFontDirs) X(FcConfigSubstitute) X(FcDefaultSubstitute) X(FcFini) X(FcFontMatch)   \
    X(FcInit) X(FcPatternAddBool) X(FcPatternAddInteger) X(FcPatternAddString)                     \
    X(FcPatternCreate) X(FcPatternDestroy) X(FcPatternGetInteger) X(FcPatternGetString)            \
    X(FcStrListDone) X(FcStrListNext)
// clang-format on
struct TFontconfigApi {
    LUMIVEX_FONTCONFIG(LUMIVEX_LATE_FIELD)
};

class FontSystem {
public:
    FontSystem() {
        if (FT_Init_FreeType(&FLibrary) != 0)
            FLibrary = nullptr;
    }
    ~FontSystem() {
        FSizes.clear();
        FFiles.clear();
        if (FLibrary)
            FT_Done_FreeType(FLibrary);
        // Gives back fontconfig's configuration and caches, so that leak checkers see none.
        if (FFontconfig)
            FFc.FcFini();
    }

    std::shared_ptr<SizedFont> Resolve(const TFont& Font) {
        const std::lock_guard lock(FMutex);
        // Every height past the largest em draws at that em: they share one entry rather than
        // each rasterising its own set of the largest glyphs. A positive height is a cell,
        // which no face makes more than a few ems tall.
        const int height = std::clamp(Font.GetHeight(), -MaxFontPixels, 4 * MaxFontPixels);
        const Key key{Font.GetName(), Font.GetStyle(), height};
        if (auto it = FSizes.find(key); it != FSizes.end())
            return it->second;
        // A handful of sizes is all a program uses; a flood of distinct ones, or of large
        // glyphs, starts afresh rather than growing without bound.
        if (FSizes.size() >= 64 || BytesHeld() > MaxFontCacheBytes)
            FSizes.clear();
        const auto& [file, index] = Locate(Font.GetName(), Font.GetStyle());
        auto font =
            std::make_shared<FtSizedFont>(FLibrary, FLibrary ? file : std::string{}, index, height);
        FSizes.emplace(key, font);
        return font;
    }

    std::size_t Bytes() {
        const std::lock_guard lock(FMutex);
        return BytesHeld();
    }

    std::pair<std::string, int> FileOf(const TFont& Font) {
        const std::lock_guard lock(FMutex);
        return Locate(Font.GetName(), Font.GetStyle());
    }

private:
    std::size_t BytesHeld() const {
        std::size_t bytes = 0;
        for (const auto& entry : FSizes)
            bytes += entry.second->CacheBytes();
        return bytes;
    }

    using Key = std::tuple<std::string, TFontStyles, int>;
    using Location = std::pair<std::string, int>;

    const Location& Locate(const std::string& Family, TFontStyles Style) {
        const auto key = std::make_pair(Family, Style);
        if (auto it = FFiles.find(key); it != FFiles.end())
            return it->second;
        if (auto known = FKnown.Find(Family, Style))
            return FFiles.emplace(key, std::move(*known)).first->second;
        Location loc{"", 0};
        if (Fontconfig()) {
            FcPattern* pattern = FFc.FcPatternCreate();
            FFc.FcPatternAddString(pattern, FC_FAMILY,
                                   reinterpret_cast<const FcChar8*>(Family.c_str()));
            FFc.FcPatternAddInteger(pattern, FC_WEIGHT,
                                    Style & FontStyleBit(fsBold) ? FC_WEIGHT_BOLD
                                                                 : FC_WEIGHT_REGULAR);
            FFc.FcPatternAddInteger(pattern, FC_SLANT,
                                    Style & FontStyleBit(fsItalic) ? FC_SLANT_ITALIC
                                                                   : FC_SLANT_ROMAN);
            FFc.FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
            FFc.FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FFc.FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern* match = FFc.FcFontMatch(nullptr, pattern, &result)) {
                FcChar8* file = nullptr;
                int index = 0;
                if (FFc.FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                    loc.first = reinterpret_cast<const char*>(file);
                    if (FFc.FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
                        loc.second = index;
                }
                FFc.FcPatternDestroy(match);
            }
            FFc.FcPatternDestroy(pattern);
        }
        if (!loc.first.empty())
            FKnown.Remember(Family, Style, loc.first, loc.second, Sources());
        return FFiles.emplace(key, loc).first->second;
    }

    // Fontconfig's configuration and font list take most of a short program's start-up: they
    // are loaded when the first face is looked up, never for a program that draws no text.
    bool Fontconfig() {
        if (!FFontconfigTried) {
            FFontconfigTried = true;
            TFontconfigApi Api;
            FFontconfig =
                OpenLateLibrary("libfontconfig.so.1", {LUMIVEX_FONTCONFIG(LUMIVEX_LATE_ENTRY)})
                    .empty();
            if (FFontconfig) {
                FFc = Api;
                FFontconfig = FFc.FcInit() == FcTrue;
            }
        }
        return FFontconfig;
    }

    // What fontconfig's answers rest on, read once: a font directory or configuration file
    // that changes later makes every remembered answer stale.
    const std::vector<std::string>& Sources() {
        if (FSourcesRead)
            return FSources;
        FSourcesRead = true;
        FcConfig* config = FFc.FcConfigGetCurrent();
        for (FcStrList* list :
             {FFc.FcConfigGetConfigFiles(config), FFc.FcConfigGetConfigDirs(config),
              FFc.FcConfigGetFontDirs(config)}) {
            if (!list)
                continue;
            while (const FcChar8* path = FFc.FcStrListNext(list))
                FSources.emplace_back(reinterpret_cast<const char*>(path));
            FFc.FcStrListDone(list);
        }
        std::sort(FSources.begin(), FSources.end());
        FSources.erase(std::unique(FSources.begin(), FSources.end()), FSources.end());
        return FSources;
    }

    std::mutex FMutex;
    FT_Library FLibrary = nullptr;
    bool FFontconfigTried = false;
    bool FFontconfig = false;
    TFontconfigApi FFc;
    std::map<std::pair<std::string, TFontStyles>, Location> FFiles;
    // Fontconfig's answers of earlier runs, so that a run whose faces are known never starts it.
    FontFileCache FKnown;
    bool FSourcesRead = false;
    std::vector<std::string> FSources;
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

std::size_t FontCacheBytes() {
    return Fonts().Bytes();
}

std::pair<std::string, int> FontFileOf(const TFont& Font) {
    return Fonts().FileOf(Font);
}

std::uint32_t CodePointOf(unsigned char C) {
    return static_cast<std::uint32_t>(CodePoint(C));
}

SizedFont::~SizedFont() {
    for (std::atomic<const Entry*>& slot : FEntries) {
        const Entry* e = slot.load(std::memory_order_relaxed);
        if (!e)
            continue;
        for (const std::atomic<const GlyphMask*>& m : e->masks)
            delete m.load(std::memory_order_relaxed);
        delete e;
    }
}

const SizedFont::Entry& SizedFont::EntryOf(unsigned char C) {
    // Published once, complete: a reader that sees the pointer sees the glyph.
    if (const Entry* e = FEntries[C].load(std::memory_order_acquire))
        return *e;
    const std::lock_guard lock(FLock);
    if (const Entry* e = FEntries[C].load(std::memory_order_relaxed))
        return *e;
    auto e = std::make_unique<Entry>();
    e->glyph = Load(C);
    FBytes.fetch_add(e->glyph.Bits.size(), std::memory_order_relaxed);
    FEntries[C].store(e.get(), std::memory_order_release);
    return *e.release();
}

const Glyph& SizedFont::GlyphOf(unsigned char C) {
    return EntryOf(C).glyph;
}

const GlyphMask* SizedFont::MaskOf(unsigned char C, int Quarter) {
    const Entry& e = EntryOf(C);
    std::atomic<const GlyphMask*>& slot = e.masks[static_cast<std::size_t>(Quarter & 3)];
    if (const GlyphMask* m = slot.load(std::memory_order_acquire))
        return m;
    const Glyph& g = e.glyph;
    const bool sideways = Quarter & 1;
    const int width = sideways ? g.Rows : g.Width, rows = sideways ? g.Width : g.Rows;
    const int pitch = (width + 15) / 16 * 16;
    const std::size_t bytes = static_cast<std::size_t>(pitch) * static_cast<std::size_t>(rows);
    if (bytes == 0 || bytes > MaxMaskBytes)
        return nullptr;
    const std::lock_guard lock(FLock);
    if (const GlyphMask* m = slot.load(std::memory_order_relaxed))
        return m;
    auto m = std::make_unique<GlyphMask>();
    m->Width = width;
    m->Pitch = pitch;
    m->Rows = rows;
    m->Bytes.assign(bytes, 0);
    // Unturned pixel (c, r) of the glyph lands at column i, row j of the turned mask, as the
    // engine turns a picture clockwise.
    for (int r = 0; r < g.Rows; ++r) {
        const std::uint8_t* bits = g.Bits.data() + static_cast<std::size_t>(r) * g.Pitch;
        for (int c = 0; c < g.Width; ++c) {
            if (!(bits[c >> 3] & (0x80 >> (c & 7))))
                continue;
            int i = c, j = r;
            switch (Quarter & 3) {
            case 1:
                i = g.Rows - 1 - r, j = c;
                break;
            case 2:
                i = g.Width - 1 - c, j = g.Rows - 1 - r;
                break;
            case 3:
                i = r, j = g.Width - 1 - c;
                break;
            default:
                break;
            }
            m->Bytes[static_cast<std::size_t>(j) * pitch + i] = 0xFF;
        }
    }
    FBytes.fetch_add(bytes, std::memory_order_relaxed);
    slot.store(m.get(), std::memory_order_release);
    return m.release();
}

int SizedFont::TextWidth(const std::string& Text) {
    std::int64_t w = 0;
    for (const char c : Text)
        w += GlyphOf(static_cast<unsigned char>(c)).Advance;
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

} // namespace vcl::detail
