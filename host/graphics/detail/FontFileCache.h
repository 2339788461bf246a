#pragma once
// The faces fontconfig chose in earlier runs, kept in a small file under the user's cache
// directory. Loading fontconfig's configuration costs a short program most of its start-up;
// a run whose faces are all remembered, and whose font files are unchanged since, never loads
// it. The file comes from outside the program: anything malformed in it is forgotten and
// written afresh, never trusted.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics/Graphics.h"

namespace vcl::detail {

struct FontFileEntry {
    std::string Family;
    TFontStyles Style = 0;
    std::string File; // the face's file, an absolute path
    int Index = 0;    // the face within the file
    // What the file was when fontconfig chose it; a file that differs now is asked about again.
    std::uint64_t Size = 0;
    std::int64_t MTimeNs = 0;
};

// The text of a cache file, or nullopt when it is not one this program wrote under the same
// fontconfig environment (Stamp: FontFileCacheStamp()).
std::optional<std::vector<FontFileEntry>> ParseFontFileCache(std::string_view Text,
                                                             std::string_view Stamp);
// The text that ParseFontFileCache reads back; entries that a line cannot hold are left out.
std::string FormatFontFileCache(const std::vector<FontFileEntry>& Entries, std::string_view Stamp);
// What else decides fontconfig's choice besides the family and style: the variables that
// point it at another configuration.
std::string FontFileCacheStamp();

// The cache file: $XDG_CACHE_HOME/lumivex/fonts, else ~/.cache/lumivex/fonts; empty when
// neither variable names a directory.
std::string FontFileCachePath();

// The file's entries, read when first asked, with changes written back at once. Not
// thread-safe: the font system calls it under its own lock.
class FontFileCache {
public:
    // The remembered face of (Family, Style) if its file is still the one fontconfig chose.
    std::optional<std::pair<std::string, int>> Find(const std::string& Family, TFontStyles Style);
    // Remembers fontconfig's choice and rewrites the file; a file that cannot be written (a
    // read-only home) only means fontconfig is asked again next run.
    void Remember(const std::string& Family, TFontStyles Style, const std::string& File, int Index);

private:
    void Load();
    bool FLoaded = false;
    std::string FPath;
    std::string FStamp;
    std::vector<FontFileEntry> FEntries;
};

} // namespace vcl::detail
