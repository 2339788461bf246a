// PNG output, read back through libpng: colour type and depth, pixels, resolution, failures.
#include <gtest/gtest.h>
#include <png.h>

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/graphics/Graphics.h"
#include "host/graphics/detail/Png.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/BitmapTesting.h"
#include "tests/host/BmpFiles.h"

namespace vcl {
namespace {

using namespace vcl::testing;

// What the chunks before the pixels say. Plain data only: it lives across setjmp.
struct PngHeader {
    bool Ok = false;
    char Error[200] = {};
    png_uint_32 Width = 0, Height = 0;
    int BitDepth = 0, ColorType = -1;
    int PaletteEntries = 0;
    png_color Palette[256] = {};
    bool HasPhys = false;
    png_uint_32 ResX = 0, ResY = 0;
    int Unit = -1;
};

struct MemoryInput {
    const char* Data;
    std::size_t Size;
    std::size_t Pos;
    PngHeader* Header;
};

void ReadMemory(png_structp Png, png_bytep Out, std::size_t Count) {
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(Png));
    if (Count > in->Size - in->Pos)
        png_error(Png, "the file ends early");
    std::memcpy(Out, in->Data + in->Pos, Count);
    in->Pos += Count;
}

void ReadError(png_structp Png, png_const_charp Message) {
    auto* in = static_cast<MemoryInput*>(png_get_error_ptr(Png));
    std::snprintf(in->Header->Error, sizeof in->Header->Error, "%s", Message);
    png_longjmp(Png, 1);
}

void ReadWarning(png_structp, png_const_charp) {}

void ReadHeaderInto(MemoryInput& In) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &In, ReadError, ReadWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_read_fn(png, &In, ReadMemory);
    png_read_info(png, info);
    PngHeader& h = *In.Header;
    int interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(png, info, &h.Width, &h.Height, &h.BitDepth, &h.ColorType, &interlace,
                 &compression, &filter);
    png_colorp plte = nullptr;
    if (png_get_PLTE(png, info, &plte, &h.PaletteEntries) & PNG_INFO_PLTE)
        std::memcpy(h.Palette, plte, sizeof(png_color) * std::size_t(h.PaletteEntries));
    h.HasPhys = png_get_pHYs(png, info, &h.ResX, &h.ResY, &h.Unit) & PNG_INFO_pHYs;
    h.Ok = true;
    png_destroy_read_struct(&png, &info, nullptr);
}

PngHeader ReadHeader(const std::string& File) {
    PngHeader h;
    MemoryInput in{File.data(), File.size(), 0, &h};
    ReadHeaderInto(in);
    EXPECT_TRUE(h.Ok) << h.Error;
    return h;
}

// The pixels as 24-bit colours, through libpng's own conversion.
Snapshot ReadPixels(const std::string& File) {
    TBitmap none;
    Snapshot out(none);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, File.data(), File.size())) {
        ADD_FAILURE() << image.message;
        return out;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << image.message;
        return out;
    }
    out.Width = static_cast<int>(image.width);
    out.Height = static_cast<int>(image.height);
    out.Format = pf24bit;
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        out.Pixels.push_back(RGB(rgb[i], rgb[i + 1], rgb[i + 2]));
    return out;
}

std::string Png(const TBitmap& B, int Dpi = 0) {
    std::ostringstream out(std::ios::binary);
    SaveBitmapToPng(B, out, Dpi);
    return out.str();
}

Snapshot AsTrueColour(const TBitmap& B) {
    Snapshot s(B);
    s.Format = pf24bit;
    return s;
}

TEST(PngWriter, BlackAndWhiteBecomesOneBitGreyInEveryFormat) {
    for (TPixelFormat f : {pf1bit, pf8bit, pf24bit})
        for (int w : {1, 8, 13})
            for (int h : {1, 5}) {
                SCOPED_TRACE(std::string(FormatName(f)) + " " + std::to_string(w) + " x " +
                             std::to_string(h));
                auto b = MakeBitmap(f, w, h);
                Paint(*b, [](int x, int y) { return PatternColor(pf1bit, x, y); });
                const std::string file = Png(*b);
                const PngHeader hd = ReadHeader(file);
                EXPECT_EQ(hd.ColorType, PNG_COLOR_TYPE_GRAY);
                EXPECT_EQ(hd.BitDepth, 1);
                EXPECT_EQ(hd.Width, png_uint_32(w));
                EXPECT_EQ(hd.Height, png_uint_32(h));
                EXPECT_FALSE(hd.HasPhys);
                EXPECT_EQ(Difference(ReadPixels(file), AsTrueColour(*b)), "");
            }
}

// The hand-built 1-bit files, over the sizes where packing changes step (16-pixel blocks, 8-pixel
// bytes, a lone pixel) and the rows it reuses: every pixel decodes as drawn, and no file is larger
// than the former row-by-row writer made it.
TEST(PngWriter, BlackAndWhiteRoundTripsAndIsNoLargerThanRowByRow) {
    using Pattern = TColor (*)(int, int);
    const struct {
        const char* Name;
        Pattern Color;
    } patterns[] = {
        {"bars", [](int x, int) { return (x * 7 / 3) % 3 ? clBlack : clWhite; }},
        {"differing rows",
         [](int x, int y) { return ((x * 5 + y * 3) % 7) < 3 ? clBlack : clWhite; }},
        {"bars over text",
         [](int x, int y) {
             return y < 40 ? (x % 5 < 2 ? clBlack : clWhite) : ((x ^ y) & 1 ? clBlack : clWhite);
         }},
        {"white", [](int, int) { return clWhite; }},
        {"black", [](int, int) { return clBlack; }},
    };
    for (TPixelFormat f : {pf8bit, pf1bit, pf24bit})
        for (int w : {1, 7, 8, 15, 16, 17, 31, 33, 250})
            for (int h : {1, 2, 300})
                for (const auto& p : patterns) {
                    if (f != pf8bit && (w > 33 || h > 2))
                        continue; // the fast path is pf8bit's; the others once each
                    SCOPED_TRACE(std::string(FormatName(f)) + " " + std::to_string(w) + " x " +
                                 std::to_string(h) + " " + p.Name);
                    auto b = MakeBitmap(f, w, h);
                    Paint(*b, p.Color);
                    const std::string file = Png(*b);
                    const PngHeader hd = ReadHeader(file);
                    EXPECT_EQ(hd.ColorType, PNG_COLOR_TYPE_GRAY);
                    EXPECT_EQ(hd.BitDepth, 1);
                    EXPECT_EQ(Difference(ReadPixels(file), AsTrueColour(*b)), "");
                    std::ostringstream old(std::ios::binary);
                    detail::SaveBitmapToPngRowByRow(*b, old, 0);
                    EXPECT_LE(file.size(), old.str().size());
                }
}

// Packing stops at the first index that is neither black nor white, wherever it lies.
TEST(PngWriter, PackingRefusesAnyOtherIndex) {
    for (int w : {1, 15, 16, 17, 40})
        for (int at = 0; at < w; at += 3) {
            std::vector<std::uint8_t> row(static_cast<std::size_t>(w), palette::WhiteIndex);
            std::vector<std::uint8_t> out(row.size());
            EXPECT_TRUE(detail::PackBlackWhiteRow(row.data(), w, out.data()));
            row[std::size_t(at)] = 254;
            EXPECT_FALSE(detail::PackBlackWhiteRow(row.data(), w, out.data())) << w << " " << at;
        }
}

TEST(PngWriter, ColouredEightBitIsIndexedWithTheSharedPalette) {
    auto b = MakePattern(pf8bit, 11, 4);
    const std::string file = Png(*b);
    const PngHeader hd = ReadHeader(file);
    EXPECT_EQ(hd.ColorType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(hd.BitDepth, 8);
    ASSERT_EQ(hd.PaletteEntries, 256);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(RGB(hd.Palette[i].red, hd.Palette[i].green, hd.Palette[i].blue),
                  palette::Color(std::uint8_t(i)))
            << i;
    EXPECT_EQ(Difference(ReadPixels(file), AsTrueColour(*b)), "");
}

// Inks change what black and white show as, and nothing else: a black-and-white picture keeps
// its bits under a two-entry palette, an 8-bit one its other entries, true colour all of it.
TEST(PngWriter, InkColoursReplaceBlackAndWhiteOnly) {
    const TInkColours Inks{RGB(0x1F, 0x3A, 0x93), RGB(0xFF, 0xFF, 0xEE)};
    const struct {
        TPixelFormat Format;
        bool BlackAndWhite;
        int ColorType, BitDepth, Entries;
    } rows[] = {
        {pf8bit, true, PNG_COLOR_TYPE_PALETTE, 1, 2},
        {pf1bit, true, PNG_COLOR_TYPE_PALETTE, 1, 2},
        {pf8bit, false, PNG_COLOR_TYPE_PALETTE, 8, 256},
        {pf24bit, false, PNG_COLOR_TYPE_RGB, 8, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(FormatName(r.Format)) +
                     (r.BlackAndWhite ? " black and white" : ""));
        auto b = MakeBitmap(r.Format, 13, 3);
        if (r.BlackAndWhite)
            Paint(*b, [](int x, int y) { return PatternColor(pf1bit, x, y); });
        else
            Paint(*b, [](int x, int y) { return x < 2 ? (y ? clBlack : clWhite) : clRed; });
        std::ostringstream out(std::ios::binary);
        SaveBitmapToPng(*b, out, 0, Inks);
        const std::string file = out.str();
        const PngHeader hd = ReadHeader(file);
        EXPECT_EQ(hd.ColorType, r.ColorType);
        EXPECT_EQ(hd.BitDepth, r.BitDepth);
        EXPECT_EQ(hd.PaletteEntries, r.Entries);
        Snapshot want = AsTrueColour(*b);
        if (r.Format != pf24bit)
            for (TColor& c : want.Pixels)
                c = c == clBlack ? Inks.Ink : c == clWhite ? Inks.Paper : c;
        EXPECT_EQ(Difference(ReadPixels(file), want), "");
    }
}

TEST(PngWriter, ColouredTrueColourIsRgb) {
    auto b = MakeBitmap(pf24bit, 7, 3);
    Paint(*b, [](int x, int y) { return RGB(x * 30 + 1, y * 80 + 2, (x * y * 17) & 0xFF); });
    const std::string file = Png(*b);
    const PngHeader hd = ReadHeader(file);
    EXPECT_EQ(hd.ColorType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(hd.BitDepth, 8);
    EXPECT_EQ(Difference(ReadPixels(file), Snapshot(*b)), "");
}

TEST(PngWriter, OnePixelOffBlackOrWhiteKeepsFullColour) {
    const struct {
        TPixelFormat Format;
        TColor Odd;
        int ColorType;
    } cases[] = {
        {pf8bit, palette::Color(215), PNG_COLOR_TYPE_PALETTE}, // the darkest grey
        {pf8bit, palette::Color(254), PNG_COLOR_TYPE_PALETTE},
        {pf24bit, RGB(0, 0, 1), PNG_COLOR_TYPE_RGB},
        {pf24bit, RGB(255, 255, 254), PNG_COLOR_TYPE_RGB},
        {pf24bit, RGB(255, 0, 0), PNG_COLOR_TYPE_RGB},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(FormatName(c.Format)) + " " + Hex(c.Odd));
        auto b = MakeBitmap(c.Format, 9, 3);
        Paint(*b, [](int x, int y) { return PatternColor(pf1bit, x, y); });
        b->GetCanvas().SetPixel(8, 2, c.Odd);
        const std::string file = Png(*b);
        EXPECT_EQ(ReadHeader(file).ColorType, c.ColorType);
        EXPECT_EQ(Difference(ReadPixels(file), AsTrueColour(*b)), "");
    }
}

TEST(PngWriter, PositiveDpiWritesPixelsPerMetre) {
    const struct {
        int Dpi;
        png_uint_32 PerMetre; // 0: no pHYs chunk
    } cases[] = {{300, 11811}, {96, 3780}, {72, 2835}, {600, 23622}, {1, 39}, {0, 0}, {-300, 0}};
    for (TPixelFormat f : {pf1bit, pf8bit, pf24bit})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(FormatName(f)) + " " + std::to_string(c.Dpi) + " dpi");
            const PngHeader hd = ReadHeader(Png(*MakePattern(f, 3, 2), c.Dpi));
            EXPECT_EQ(hd.HasPhys, c.PerMetre != 0);
            if (c.PerMetre) {
                EXPECT_EQ(hd.ResX, c.PerMetre);
                EXPECT_EQ(hd.ResY, c.PerMetre);
                EXPECT_EQ(hd.Unit, PNG_RESOLUTION_METER);
            }
        }
    EXPECT_THROW(Png(*MakePattern(pf8bit, 3, 2), INT_MAX), EWriteError);
}

TEST(PngWriter, WiderThanLibpngsDefaultLimit) {
    auto b = MakeBitmap(pf1bit, 1500000, 1);
    b->GetCanvas().SetPixel(1499999, 0, clBlack);
    const PngHeader hd = ReadHeader(Png(*b));
    EXPECT_EQ(hd.Width, 1500000u);
    EXPECT_EQ(hd.ColorType, PNG_COLOR_TYPE_GRAY);
}

TEST(PngWriter, EmptyBitmapsAndFailingStreamsRaiseWriteError) {
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
        TBitmap b;
        b.SetSize(w, h);
        std::ostringstream out;
        EXPECT_THROW(SaveBitmapToPng(b, out), EWriteError);
        EXPECT_TRUE(out.str().empty());
    }
    for (TPixelFormat f : {pf1bit, pf8bit, pf24bit}) {
        SCOPED_TRACE(FormatName(f));
        auto b = MakePattern(f, 40, 30);
        std::ostringstream broken;
        broken.setstate(std::ios::badbit);
        EXPECT_THROW(SaveBitmapToPng(*b, broken), EWriteError);
        // An exception from the stream must come out as EWriteError, not through libpng.
        VirtualFile readOnly("", 0, true);
        std::ostream sink(&readOnly);
        sink.exceptions(std::ios::badbit | std::ios::failbit);
        try {
            SaveBitmapToPng(*b, sink);
            ADD_FAILURE() << "no exception";
        } catch (const EWriteError& e) {
            EXPECT_NE(std::string(e.what()).find("PNG"), std::string::npos) << e.what();
        }
    }
}

TEST(PngWriter, FilesAreCreatedOrTheErrorNamesThem) {
    ScratchDir dir;
    auto b = MakePattern(pf24bit, 6, 5);
    const std::string name = dir.File("out.png");
    SaveBitmapToPngFile(*b, name, 300);
    std::ifstream in(name, std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(ReadHeader(file).ResX, 11811u);
    EXPECT_EQ(Difference(ReadPixels(file), Snapshot(*b)), "");

    const std::string unreachable = dir.File("no-such-dir/out.png");
    try {
        SaveBitmapToPngFile(*b, unreachable);
        ADD_FAILURE() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find(unreachable), std::string::npos) << e.what();
    }

    const std::string none = dir.File("empty.png");
    EXPECT_THROW(SaveBitmapToPngFile(TBitmap(), none), EWriteError);
    EXPECT_FALSE(std::filesystem::exists(none));
}

} // namespace
} // namespace vcl
