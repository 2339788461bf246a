// Windows bitmap files: what the bitmap writes, what it reads, and what it refuses.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <sstream>

#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/BitmapTesting.h"
#include "tests/host/BmpFiles.h"

namespace vcl {
namespace {

using namespace vcl::testing;

std::string Save(const TBitmap& B) {
    std::ostringstream out(std::ios::binary);
    B.SaveToStream(out);
    return out.str();
}

void Load(TBitmap& B, const std::string& File) {
    std::istringstream in(File, std::ios::binary);
    B.LoadFromStream(in);
}

TEST(BmpSave, RoundTripsEachFormatWithPaddedRows) {
    // Widths chosen so that every format needs row padding somewhere, and 1-bit rows end
    // inside a byte.
    for (TPixelFormat f : {pf1bit, pf8bit, pf24bit})
        for (int w : {1, 2, 7, 9, 33})
            for (int h : {1, 3}) {
                SCOPED_TRACE(std::string(FormatName(f)) + " " + std::to_string(w) + " x " +
                             std::to_string(h));
                auto b = MakePattern(f, w, h);
                const Snapshot original(*b);
                const std::string file = Save(*b);
                EXPECT_EQ(Difference(ReadWrittenBmp(file), original), "");
                EXPECT_EQ(Get16(file, 28), f == pf1bit ? 1u : f == pf8bit ? 8u : 24u);

                auto back = MakePattern(pf24bit, 4, 4);
                Load(*back, file);
                EXPECT_EQ(Difference(Snapshot(*back), original), "");
                if (f == pf8bit) { // the shared palette maps back to the same indices
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            ASSERT_EQ(back->ScanLine(y)[x], b->ScanLine(y)[x]);
                }
            }
}

TEST(BmpSave, WritesTheSharedPaletteAndBlackWhiteForOneBit) {
    auto eight = MakePattern(pf8bit, 3, 2);
    const std::string f8 = Save(*eight);
    for (int i = 0; i < 256; ++i) {
        const TColor c = palette::Color(std::uint8_t(i));
        ASSERT_EQ(Get32(f8, 54 + 4 * i),
                  static_cast<std::uint32_t>(GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16))
            << i;
    }
    auto mono = MakePattern(pf1bit, 3, 2);
    const std::string f1 = Save(*mono);
    EXPECT_EQ(Get32(f1, 54), 0x000000u);
    EXPECT_EQ(Get32(f1, 58), 0xFFFFFFu);
}

const TColor A = RGB(10, 20, 30), B = RGB(200, 100, 0), C = clWhite, D = clBlack, E = RGB(1, 2, 3),
             F = RGB(250, 128, 64);
const TColor Foreign = RGB(10, 200, 90); // not in the shared palette
std::vector<TColor> SharedPalette() {
    std::vector<TColor> p;
    for (int i = 0; i < 256; ++i)
        p.push_back(palette::Color(std::uint8_t(i)));
    return p;
}

std::vector<TColor> SixteenColours() {
    std::vector<TColor> p = {clBlack, clWhite, clRed, clLime, clBlue, Foreign};
    while (p.size() < 16)
        p.push_back(RGB(int(p.size()) * 16, int(p.size()) * 16, int(p.size()) * 16));
    return p;
}

struct Readable {
    const char* Note;
    BmpRecipe Recipe;
    TPixelFormat Format;
    std::vector<std::vector<TColor>> Rows; // top to bottom
};

std::vector<Readable> ReadableFiles() {
    const auto pal16 = SixteenColours();
    return {
        {"24-bit bottom-up",
         {.Width = 3, .Height = 2, .Rows = {Bgr({D, E, F}), Bgr({A, B, C})}},
         pf24bit,
         {{A, B, C}, {D, E, F}}},
        {"24-bit top-down",
         {.Width = 3, .Height = -2, .Rows = {Bgr({A, B, C}), Bgr({D, E, F})}},
         pf24bit,
         {{A, B, C}, {D, E, F}}},
        {"32-bit, fourth byte ignored",
         {.Width = 3,
          .Height = 2,
          .Bits = 32,
          .Rows = {Bgr({D, E, F}, 0xAB), Bgr({A, B, C}, 0xFF)}},
         pf24bit,
         {{A, B, C}, {D, E, F}}},
        {"32-bit top-down",
         {.Width = 1, .Height = -2, .Bits = 32, .Rows = {Bgr({A}, 0), Bgr({F}, 0)}},
         pf24bit,
         {{A}, {F}}},
        {"24-bit with the largest header and an unused palette",
         {.Width = 3,
          .Height = 1,
          .HeaderSize = 124,
          .ColorsUsed = 2,
          .Palette = {A, B},
          .Rows = {Bgr({A, B, C})}},
         pf24bit,
         {{A, B, C}}},
        {"24-bit with a gap before the pixels",
         {.Width = 2, .Height = 1, .Offset = 54 + 6, .Rows = {Bgr({E, F})}},
         pf24bit,
         {{E, F}}},
        {"8-bit with the shared palette",
         {.Width = 5,
          .Height = 2,
          .Bits = 8,
          .Palette = SharedPalette(),
          .Rows = {{0, 17, 128, 215, 255}, {1, 2, 3, 4, 254}}},
         pf8bit,
         {{palette::Color(1), palette::Color(2), palette::Color(3), palette::Color(4),
           palette::Color(254)},
          {clBlack, palette::Color(17), palette::Color(128), palette::Color(215), clWhite}}},
        {"8-bit with a foreign palette of three",
         {.Width = 5,
          .Height = 2,
          .Bits = 8,
          .ColorsUsed = 3,
          .Palette = {clRed, Foreign, clWhite},
          .Rows = {{0, 1, 2, 1, 0}, {2, 2, 1, 0, 0}}},
         // A colour the shared palette lacks keeps the image in true colour.
         pf24bit,
         {{clWhite, clWhite, Foreign, clRed, clRed}, {clRed, Foreign, clWhite, Foreign, clRed}}},
        {"4-bit, odd width",
         {.Width = 5,
          .Height = -2,
          .Bits = 4,
          .Palette = pal16,
          .Rows = {{0x01, 0x23, 0x40}, {0x5F, 0x10, 0x20}}},
         pf24bit,
         {{clBlack, clWhite, clRed, clLime, clBlue},
          {Foreign, pal16[15], clWhite, clBlack, clRed}}},
        {"1-bit black and white",
         {.Width = 10,
          .Height = -2,
          .Bits = 1,
          .Palette = {clBlack, clWhite},
          .Rows = {{0xB3, 0x40}, {0xFF, 0x00}}},
         pf1bit,
         {{C, D, C, C, D, D, C, C, D, C}, {C, C, C, C, C, C, C, C, D, D}}},
        {"1-bit white and black",
         {.Width = 10,
          .Height = -1,
          .Bits = 1,
          .Palette = {clWhite, clBlack},
          .Rows = {{0xB3, 0x40}}},
         pf1bit,
         {{D, C, D, D, C, C, D, D, C, D}}},
        {"1-bit in colour",
         {.Width = 3, .Height = 1, .Bits = 1, .Palette = {clRed, clBlue}, .Rows = {{0x40}}},
         pf8bit,
         {{clRed, clBlue, clRed}}},
    };
}

TEST(BmpLoad, ReadsUncompressedFilesOfEveryDepth) {
    for (const Readable& r : ReadableFiles()) {
        SCOPED_TRACE(r.Note);
        auto b = MakePattern(pf1bit, 2, 2);
        ASSERT_NO_THROW(Load(*b, Build(r.Recipe)));
        Snapshot want(*b);
        want.Format = r.Format;
        want.Height = static_cast<int>(r.Rows.size());
        want.Width = static_cast<int>(r.Rows[0].size());
        want.Pixels.clear();
        for (const auto& row : r.Rows)
            want.Pixels.insert(want.Pixels.end(), row.begin(), row.end());
        EXPECT_EQ(Difference(Snapshot(*b), want), "");
    }
}

TEST(BmpLoad, TruncatedFilesRaiseAndLeaveTheBitmapAlone) {
    auto b = MakePattern(pf8bit, 4, 3);
    const Snapshot before(*b);
    std::vector<std::pair<std::string, std::string>> files;
    for (const Readable& r : ReadableFiles())
        files.emplace_back(r.Note, Build(r.Recipe));
    for (TPixelFormat f : {pf1bit, pf8bit, pf24bit})
        files.emplace_back(std::string("saved ") + FormatName(f), Save(*MakePattern(f, 9, 3)));
    for (const auto& [note, file] : files)
        for (std::size_t n = 0; n < file.size(); ++n) {
            SCOPED_TRACE(note + ", " + std::to_string(n) + " of " + std::to_string(file.size()) +
                         " bytes");
            EXPECT_THROW(Load(*b, file.substr(0, n)), EInvalidGraphic);
            ASSERT_EQ(Difference(Snapshot(*b), before), "");
        }
}

TEST(BmpLoad, MalformedFilesRaiseAndLeaveTheBitmapAlone) {
    const BmpRecipe good{.Width = 5,
                         .Height = 2,
                         .Bits = 8,
                         .ColorsUsed = 4,
                         .Palette = {clBlack, clWhite, clRed, clBlue},
                         .Rows = {{0, 1, 2, 3, 0}, {3, 2, 1, 0, 3}}};
    struct Case {
        const char* Note;
        std::function<void(BmpRecipe&)> Change;
    };
    const Case cases[] = {
        {"magic BN", [](BmpRecipe& s) { s.Magic = "BN"; }},
        {"magic MB", [](BmpRecipe& s) { s.Magic = "MB"; }},
        {"magic zero", [](BmpRecipe& s) { s.Magic = std::string(2, '\0'); }},
        {"header size 0", [](BmpRecipe& s) { s.HeaderSize = 0; }},
        {"core header", [](BmpRecipe& s) { s.HeaderSize = 12; }},
        {"header size 39", [](BmpRecipe& s) { s.HeaderSize = 39; }},
        {"header size 64", [](BmpRecipe& s) { s.HeaderSize = 64; }},
        {"header size 4G", [](BmpRecipe& s) { s.HeaderSize = 0xFFFFFFFF; }},
        {"width 0", [](BmpRecipe& s) { s.Width = 0; }},
        {"width -5", [](BmpRecipe& s) { s.Width = -5; }},
        {"width INT_MIN", [](BmpRecipe& s) { s.Width = INT_MIN; }},
        {"height 0", [](BmpRecipe& s) { s.Height = 0; }},
        {"height INT_MIN", [](BmpRecipe& s) { s.Height = INT_MIN; }},
        {"width INT_MAX", [](BmpRecipe& s) { s.Width = INT_MAX; }},
        {"height INT_MAX", [](BmpRecipe& s) { s.Height = INT_MAX; }},
        {"height -INT_MAX", [](BmpRecipe& s) { s.Height = -INT_MAX; }},
        {"100000 x 100000", [](BmpRecipe& s) { s.Width = s.Height = 100000; }},
        {"INT_MAX x INT_MAX at 32 bits",
         [](BmpRecipe& s) {
             s.Width = s.Height = INT_MAX;
             s.Bits = 32;
         }},
        {"offset 0", [](BmpRecipe& s) { s.Offset = 0; }},
        {"offset in the file header", [](BmpRecipe& s) { s.Offset = 10; }},
        {"offset in the palette", [](BmpRecipe& s) { s.Offset = 54 + 4 * 4 - 1; }},
        {"offset past the end", [](BmpRecipe& s) { s.Offset = 100000; }},
        {"offset 4G", [](BmpRecipe& s) { s.Offset = 0xFFFFFFFF; }},
        {"0 bits", [](BmpRecipe& s) { s.Bits = 0; }},
        {"2 bits", [](BmpRecipe& s) { s.Bits = 2; }},
        {"16 bits", [](BmpRecipe& s) { s.Bits = 16; }},
        {"48 bits", [](BmpRecipe& s) { s.Bits = 48; }},
        {"65535 bits", [](BmpRecipe& s) { s.Bits = 0xFFFF; }},
        {"RLE8", [](BmpRecipe& s) { s.Compression = 1; }},
        {"RLE4",
         [](BmpRecipe& s) {
             s.Compression = 2;
             s.Bits = 4;
         }},
        {"bit fields",
         [](BmpRecipe& s) {
             s.Compression = 3;
             s.Bits = 32;
         }},
        {"JPEG inside", [](BmpRecipe& s) { s.Compression = 4; }},
        {"no planes", [](BmpRecipe& s) { s.Planes = 0; }},
        {"two planes", [](BmpRecipe& s) { s.Planes = 2; }},
        {"257 colours for 8 bits", [](BmpRecipe& s) { s.ColorsUsed = 257; }},
        {"index past a palette of 4", [](BmpRecipe& s) { s.Rows[1][4] = 4; }},
        {"index 255 in a palette of 4", [](BmpRecipe& s) { s.Rows[0][0] = 255; }},
        {"4-bit index past a palette of 3",
         [](BmpRecipe& s) {
             s.Bits = 4;
             s.ColorsUsed = 3;
             s.Palette.resize(3);
             s.Rows = {{0x12, 0x0F, 0x00}, {0, 0, 0}};
         }},
        {"1-bit index past a palette of 1",
         [](BmpRecipe& s) {
             s.Bits = 1;
             s.ColorsUsed = 1;
             s.Palette = {clBlack};
             s.Rows = {{0x00}, {0x08}};
         }},
        {"3 colours for 1 bit",
         [](BmpRecipe& s) {
             s.Bits = 1;
             s.ColorsUsed = 3;
             s.Palette.resize(3);
             s.Rows = {{0x00}, {0x00}};
         }},
    };
    TBitmap check;
    ASSERT_NO_THROW(Load(check, Build(good)));
    for (TPixelFormat f : {pf1bit, pf24bit})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(FormatName(f)) + " target, " + c.Note);
            auto b = MakePattern(f, 4, 3);
            const Snapshot before(*b);
            BmpRecipe recipe = good;
            c.Change(recipe);
            try {
                Load(*b, Build(recipe));
                ADD_FAILURE() << "no exception";
            } catch (const EInvalidGraphic& e) {
                EXPECT_NE(std::string(e.what()).find("bitmap"), std::string::npos) << e.what();
            }
            EXPECT_EQ(Difference(Snapshot(*b), before), "");
        }
}

} // namespace
} // namespace vcl
