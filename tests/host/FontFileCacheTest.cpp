// The remembered font faces: what a cache file may hold, and when a remembered face is not used.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "host/graphics/detail/FontFileCache.h"

namespace vcl::detail {
namespace {

namespace fs = std::filesystem;

TEST(FontFileCacheText, FormatsAndParsesBack) {
    const std::vector<FontFileEntry> entries{
        {"Arial", 3, "/usr/share/fonts/a b.ttf", 2, 12345, 1700000000123456789},
        {"", 0, "/f.otf", 0, 0, -5},
        {"Tab\tname", 0, "/skipped.ttf", 0, 1, 1}, // a line cannot hold it
    };
    const auto back = ParseFontFileCache(FormatFontFileCache(entries, "s"), "s");
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].File, "/usr/share/fonts/a b.ttf");
    EXPECT_EQ((*back)[0].Style, 3);
    EXPECT_EQ((*back)[0].Index, 2);
    EXPECT_EQ((*back)[0].MTimeNs, 1700000000123456789);
    EXPECT_EQ((*back)[1].MTimeNs, -5);
}

TEST(FontFileCacheText, RejectsWhatItDidNotWrite) {
    const std::string head = "lumivex-fonts 1 s\n";
    for (const std::string& text : std::vector<std::string>{
             "",                                                  // empty
             "lumivex-fonts 1 other\n",                           // another environment
             "lumivex-fonts 2 s\n",                               // another version
             head + "Arial\t0\t0\t1\t1\t/a.ttf",                  // no final newline
             head + "Arial\t0\t0\t1\t/a.ttf\n",                   // a field short
             head + "Arial\t256\t0\t1\t1\t/a.ttf\n",              // style past a byte
             head + "Arial\t0\t-1\t1\t1\t/a.ttf\n",               // negative index
             head + "Arial\t0\t0\tx\t1\t/a.ttf\n",                // not a number
             head + "Ari\ral\t0\t0\t1\t1\t/a.ttf\n",              // a CR no line holds
             head + "Arial\t0\t0\t1\t1\ta.ttf\n",                 // relative path
             head + "Arial\t0\t0\t99999999999999999999\t1\t/a\n", // size overflows
         })
        EXPECT_FALSE(ParseFontFileCache(text, "s")) << text;
}

TEST(FontFileCacheFile, RemembersUntilTheFontFileChanges) {
    const fs::path dir =
        fs::temp_directory_path() / ("lumivex-fonts-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string font = (dir / "face.ttf").string();
    std::ofstream(font) << "face";
    const char* old = std::getenv("XDG_CACHE_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CACHE_HOME", dir.c_str(), 1);

    FontFileCache{}.Remember("Face", 1, font, 4);
    EXPECT_EQ(FontFileCache{}.Find("Face", 1), std::make_pair(font, 4));
    EXPECT_FALSE(FontFileCache{}.Find("Face", 0));
    std::ofstream(font) << "another face"; // a new size
    EXPECT_FALSE(FontFileCache{}.Find("Face", 1));

    // A corrupt file is forgotten, and the next choice writes it afresh.
    std::ofstream(dir / "lumivex" / "fonts") << "garbage\n\x01\x02";
    EXPECT_FALSE(FontFileCache{}.Find("Face", 1));
    FontFileCache{}.Remember("Face", 1, font, 0);
    EXPECT_EQ(FontFileCache{}.Find("Face", 1), std::make_pair(font, 0));

    if (old)
        ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CACHE_HOME");
    fs::remove_all(dir);
}

} // namespace
} // namespace vcl::detail
