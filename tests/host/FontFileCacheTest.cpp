// The remembered font faces: what a cache file may hold, and when a remembered face is not used.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

#include "host/graphics/detail/FontFileCache.h"

namespace vcl::detail {
namespace {

namespace fs = std::filesystem;

TEST(FontFileCacheText, FormatsAndParsesBack) {
    const FontFileCacheText cache{
        {{"/etc/fonts/fonts.conf", true, 2048, 1700000000000000001}, {"/root/.fonts", false, 0, 0}},
        {
            {"Arial", 3, "/usr/share/fonts/a b.ttf", 2, 12345, 1700000000123456789},
            {"", 0, "/f.otf", 0, 0, -5},
            {"Tab\tname", 0, "/skipped.ttf", 0, 1, 1}, // a line cannot hold it
        }};
    const auto back = ParseFontFileCache(FormatFontFileCache(cache, "s"), "s");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Sources, cache.Sources);
    const auto& entries = back->Entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].File, "/usr/share/fonts/a b.ttf");
    EXPECT_EQ(entries[0].Style, 3);
    EXPECT_EQ(entries[0].Index, 2);
    EXPECT_EQ(entries[0].MTimeNs, 1700000000123456789);
    EXPECT_EQ(entries[1].MTimeNs, -5);
    // A source no line can hold would leave the cache blind to it: nothing is written.
    EXPECT_EQ(FormatFontFileCache({{{"/a\tb", true, 1, 1}}, {}}, "s"), "");
}

TEST(FontFileCacheText, RejectsWhatItDidNotWrite) {
    const std::string head = "lumivex-fonts 2 s\n";
    for (const std::string& text : std::vector<std::string>{
             "",                                                     // empty
             "lumivex-fonts 2 other\n",                              // another environment
             "lumivex-fonts 1 s\nArial\t0\t0\t1\t1\t/a.ttf\n",       // the old format
             head + "F\tArial\t0\t0\t1\t1\t/a.ttf",                  // no final newline
             head + "F\tArial\t0\t0\t1\t/a.ttf\n",                   // a field short
             head + "F\tArial\t256\t0\t1\t1\t/a.ttf\n",              // style past a byte
             head + "F\tArial\t0\t-1\t1\t1\t/a.ttf\n",               // negative index
             head + "F\tArial\t0\t0\tx\t1\t/a.ttf\n",                // not a number
             head + "F\tAri\ral\t0\t0\t1\t1\t/a.ttf\n",              // a CR no line holds
             head + "F\tArial\t0\t0\t1\t1\ta.ttf\n",                 // relative path
             head + "F\tArial\t0\t0\t99999999999999999999\t1\t/a\n", // size overflows
             head + "S\t1\t-\t/etc/fonts\n",                         // half absent
             head + "S\t1\t1\tetc/fonts\n",                          // relative source
             head + "X\t1\t1\t/etc/fonts\n",                         // an unknown line
         })
        EXPECT_FALSE(ParseFontFileCache(text, "s")) << text;
}

TEST(FontFileCacheFile, RemembersUntilWhatItRestsOnChanges) {
    const fs::path dir =
        fs::temp_directory_path() / ("lumivex-fonts-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string font = (dir / "face.ttf").string();
    std::ofstream(font) << "face";
    const char* old = std::getenv("XDG_CACHE_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CACHE_HOME", dir.c_str(), 1);

    const fs::path fonts = dir / "fonts", later = dir / "later";
    fs::create_directories(fonts);
    const std::vector<std::string> sources{fonts.string(), later.string()};
    const auto remember = [&](int Index) {
        FontFileCache{}.Remember("Face", 1, font, Index, sources);
    };
    const auto found = [] { return FontFileCache{}.Find("Face", 1); };

    // Each row changes one thing fontconfig's answer rests on, after a fresh answer.
    const std::vector<std::pair<const char*, std::function<void()>>> changes{
        {"the font file's size", [&] { std::ofstream(font) << "another face"; }},
        {"a font directory's mtime",
         [&] { fs::last_write_time(fonts, fs::last_write_time(fonts) + std::chrono::seconds(1)); }},
        {"a font installed in it", [&] { std::ofstream(fonts / "new.ttf") << "new"; }},
        {"a font directory that appears", [&] { fs::create_directories(later); }},
        {"a font directory that goes", [&] { fs::remove_all(later); }},
    };
    for (const auto& [what, change] : changes) {
        remember(4);
        EXPECT_EQ(found(), std::make_pair(font, 4)) << what;
        EXPECT_FALSE(FontFileCache{}.Find("Face", 0)) << what;
        change();
        EXPECT_FALSE(found()) << what;
    }

    // A corrupt file is forgotten, and the next choice writes it afresh.
    std::ofstream(dir / "lumivex" / "fonts") << "garbage\n\x01\x02";
    EXPECT_FALSE(FontFileCache{}.Find("Face", 1));
    remember(0);
    EXPECT_EQ(found(), std::make_pair(font, 0));

    if (old)
        ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CACHE_HOME");
    fs::remove_all(dir);
}

} // namespace
} // namespace vcl::detail
