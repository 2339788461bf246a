#pragma once
// The faces fontconfig chose in earlier runs, kept in a small file under the user's cache
// directory. Loading fontconfig's configuration costs a short program most of its start-up;
// a run whose faces are all remembered, and whose font files, font directories and
// configuration files are unchanged since, never loads it. The file comes from outside the
// program: anything malformed in it is forgotten and written afresh, never trusted.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics/Graphics.h"

namespace vcl::detail {

// A file or directory as it was when fontconfig answered; absent ones count too, since a
// font directory that appears later (~/.local/share/fonts) changes the answer as much as a
// new file in an existing one.
struct FontSource {
    std::string Path; // absolute
    bool Exists = false;
    std::uint64_t Size = 0;
    std::int64_t MTimeNs = 0;
    bool operator==(const FontSource&) const = default;
};

struct FontFileEntry {
    std::string Family;
    TFontStyles Style = 0;
    std::string File; // the face's file, an absolute path
    int Index = 0;    // the face within the file
    // What the file was when fontconfig chose it; a file that differs now is asked about again.
    std::uint64_t Size = 0;
    std::int64_t MTimeNs = 0;
};

struct FontFileCacheText {
    // What every entry's answer depended on: fontconfig's configuration files and its font
    // directories, subdirectories included.
    std::vector<FontSource> Sources;
    std::vector<FontFileEntry> Entries;
};

// The text of a cache file, or nullopt when it is not one this program wrote under the same
// fontconfig environment (Stamp: FontFileCacheStamp()).
std::optional<FontFileCacheText> ParseFontFileCache(std::string_view Text, std::string_view Stamp);
// The text that ParseFontFileCache reads back; entries that a line cannot hold are left out.
// Empty when a source cannot be held: a cache that misses a dependency would not be sound.
std::string FormatFontFileCache(const FontFileCacheText& Cache, std::string_view Stamp);
// What else decides fontconfig's choice besides the family and style: the variables that
// point it at another configuration.
std::string FontFileCacheStamp();
// The source at Path as the file system has it now.
FontSource StatFontSource(const std::string& Path);

// The cache file: $XDG_CACHE_HOME/lumivex/fonts, else ~/.cache/lumivex/fonts; empty when
// neither variable names a directory.
std::string FontFileCachePath();

// The file's entries, read when first asked, with changes written back at once. Not
// thread-safe: the font system calls it under its own lock.
class FontFileCache {
public:
    // The remembered face of (Family, Style) if its file, and every source, is still what it
    // was when fontconfig chose it.
    std::optional<std::pair<std::string, int>> Find(const std::string& Family, TFontStyles Style);
    // Remembers fontconfig's choice, made under the configuration that DependsOn names, and
    // rewrites the file; a file that cannot be written (a read-only home) only means
    // fontconfig is asked again next run.
    void Remember(const std::string& Family, TFontStyles Style, const std::string& File, int Index,
                  const std::vector<std::string>& DependsOn);

private:
    void Load();
    bool FLoaded = false;
    std::string FPath;
    std::string FStamp;
    FontFileCacheText FCache;
};

} // namespace vcl::detail
