// The remembered choices of fontconfig, one line per family and style, beside one line per
// file or directory those choices depended on.
#include "host/graphics/detail/FontFileCache.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/sysutils/AtomicFile.h"

namespace vcl::detail {

namespace {

constexpr std::string_view kMagic = "lumivex-fonts 2 ";
// More than any program uses; past it the oldest choices go.
constexpr std::size_t kMaxEntries = 64;
// Configuration files and font directories: a few dozen on a desktop, a few hundred with
// large font collections. A configuration past it is not cached at all.
constexpr std::size_t kMaxSources = 2048;
// A file larger than its lines could be is not ours.
constexpr std::size_t kMaxFileBytes = 2 * 1024 * 1024;

// A plain loop: find_first_of calls memchr per character, and a cached run parses every line.
bool Printable(std::string_view Field) {
    for (const char c : Field)
        if (c == '\t' || c == '\n' || c == '\r')
            return false;
    return true;
}

bool Holdable(const std::string& Path) {
    return Path.starts_with('/') && Printable(Path) && Path.size() <= 4096;
}

template <typename T> bool Number(std::string_view Field, T& Value) {
    const char* end = Field.data() + Field.size();
    const auto [ptr, ec] = std::from_chars(Field.data(), end, Value);
    return ec == std::errc{} && ptr == end && !Field.empty();
}

// The next field up to Sep, taken off Rest; false when there is no Sep.
bool Take(std::string_view& Rest, char Sep, std::string_view& Field) {
    const std::size_t at = Rest.find(Sep);
    if (at == std::string_view::npos)
        return false;
    Field = Rest.substr(0, at);
    Rest.remove_prefix(at + 1);
    return true;
}

bool StatFile(const std::string& File, std::uint64_t& Size, std::int64_t& MTimeNs) {
    struct stat st {};
    if (::stat(File.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    Size = static_cast<std::uint64_t>(st.st_size);
    MTimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

// "S", size, mtime, path; an absent source has "-" for both numbers.
bool ParseSource(std::string_view Line, FontSource& S) {
    std::string_view size, mtime;
    if (!Take(Line, '\t', size) || !Take(Line, '\t', mtime) || !Line.starts_with('/') ||
        !Printable(Line) || Line.size() > 4096)
        return false;
    S.Path = Line;
    S.Exists = size != "-";
    if (!S.Exists)
        return mtime == "-";
    return Number(size, S.Size) && Number(mtime, S.MTimeNs);
}

// "F", family, style, index, size, mtime, file.
bool ParseEntry(std::string_view Line, FontFileEntry& E) {
    std::string_view family, style, index, size, mtime;
    unsigned styleBits = 0;
    if (!Take(Line, '\t', family) || !Take(Line, '\t', style) || !Take(Line, '\t', index) ||
        !Take(Line, '\t', size) || !Take(Line, '\t', mtime) || !Number(style, styleBits) ||
        styleBits > 0xFF || !Number(index, E.Index) || E.Index < 0 || !Number(size, E.Size) ||
        !Number(mtime, E.MTimeNs) || !Printable(family) || !Line.starts_with('/') ||
        !Printable(Line))
        return false;
    E.Family = family;
    E.Style = static_cast<TFontStyles>(styleBits);
    E.File = Line;
    return true;
}

} // namespace

std::optional<FontFileCacheText> ParseFontFileCache(std::string_view Text, std::string_view Stamp) {
    std::string_view line;
    if (!Take(Text, '\n', line) || !line.starts_with(kMagic) || line.substr(kMagic.size()) != Stamp)
        return std::nullopt;
    FontFileCacheText cache;
    while (!Text.empty()) {
        if (!Take(Text, '\n', line))
            return std::nullopt;
        if (line.starts_with("S\t")) {
            FontSource s;
            if (cache.Sources.size() == kMaxSources || !ParseSource(line.substr(2), s))
                return std::nullopt;
            cache.Sources.push_back(std::move(s));
        } else if (line.starts_with("F\t")) {
            FontFileEntry e;
            if (cache.Entries.size() == kMaxEntries || !ParseEntry(line.substr(2), e))
                return std::nullopt;
            cache.Entries.push_back(std::move(e));
        } else {
            return std::nullopt;
        }
    }
    return cache;
}

std::string FormatFontFileCache(const FontFileCacheText& Cache, std::string_view Stamp) {
    if (Cache.Sources.size() > kMaxSources)
        return {};
    std::string text{kMagic};
    text += Stamp;
    text += '\n';
    for (const FontSource& s : Cache.Sources) {
        if (!Holdable(s.Path))
            return {};
        text += s.Exists ? "S\t" + std::to_string(s.Size) + '\t' + std::to_string(s.MTimeNs)
                         : std::string("S\t-\t-");
        text += '\t' + s.Path + '\n';
    }
    std::size_t kept = 0;
    for (const FontFileEntry& e : Cache.Entries) {
        if (kept == kMaxEntries || !Printable(e.Family) || !Printable(e.File) ||
            !e.File.starts_with('/') || e.Index < 0)
            continue;
        text += "F\t" + e.Family + '\t' + std::to_string(e.Style) + '\t' + std::to_string(e.Index) +
                '\t' + std::to_string(e.Size) + '\t' + std::to_string(e.MTimeNs) + '\t' + e.File +
                '\n';
        ++kept;
    }
    return text;
}

FontSource StatFontSource(const std::string& Path) {
    FontSource s{Path, false, 0, 0};
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0)
        return s;
    s.Exists = true;
    s.Size = static_cast<std::uint64_t>(st.st_size);
    s.MTimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

std::string FontFileCacheStamp() {
    // FNV-1a over the variables' values, so that the header stays one short line whatever
    // they hold.
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"}) {
        const char* value = std::getenv(name);
        for (const char* p = value ? value : ""; *p; ++p)
            hash = (hash ^ static_cast<unsigned char>(*p)) * 0x100000001b3u;
        hash = (hash ^ (value ? 1u : 0u)) * 0x100000001b3u;
    }
    char hex[17];
    for (int i = 0; i < 16; ++i)
        hex[i] = "0123456789abcdef"[(hash >> (60 - 4 * i)) & 0xF];
    return std::string(hex, 16);
}

std::string FontFileCachePath() {
    // Relative directories are not the user's, as the XDG rules have it.
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
        return std::string(xdg) + "/lumivex/fonts";
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.cache/lumivex/fonts";
    return {};
}

void FontFileCache::Load() {
    FLoaded = true;
    FPath = FontFileCachePath();
    FStamp = FontFileCacheStamp();
    if (FPath.empty())
        return;
    // Read at the size the file has: a start-up path, where even clearing a spare buffer shows.
    std::ifstream in(FPath, std::ios::binary | std::ios::ate);
    if (!in)
        return;
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::size_t>(size) > kMaxFileBytes)
        return;
    std::string text(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(text.data(), size))
        return;
    auto cache = ParseFontFileCache(text, FStamp);
    if (!cache)
        return;
    // Any change to what fontconfig read, or a directory it scans, may change any answer, as
    // fontconfig's own cache judges its directories.
    for (const FontSource& s : cache->Sources)
        if (StatFontSource(s.Path) != s)
            return;
    FCache = std::move(*cache);
}

std::optional<std::pair<std::string, int>> FontFileCache::Find(const std::string& Family,
                                                               TFontStyles Style) {
    if (!FLoaded)
        Load();
    auto& entries = FCache.Entries;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->Family != Family || it->Style != Style)
            continue;
        std::uint64_t size = 0;
        std::int64_t mtime = 0;
        if (StatFile(it->File, size, mtime) && size == it->Size && mtime == it->MTimeNs)
            return std::make_pair(it->File, it->Index);
        entries.erase(it);
        return std::nullopt;
    }
    return std::nullopt;
}

void FontFileCache::Remember(const std::string& Family, TFontStyles Style, const std::string& File,
                             int Index, const std::vector<std::string>& DependsOn) {
    if (!FLoaded)
        Load();
    FontFileEntry e{Family, Style, File, Index, 0, 0};
    if (FPath.empty() || !StatFile(File, e.Size, e.MTimeNs))
        return;
    std::vector<FontSource> sources;
    sources.reserve(DependsOn.size());
    for (const std::string& path : DependsOn)
        sources.push_back(StatFontSource(path));
    // Choices made under another configuration (a font installed since they were read) are
    // not this one's.
    auto& entries = FCache.Entries;
    if (sources != FCache.Sources)
        entries.clear();
    FCache.Sources = std::move(sources);
    std::erase_if(entries,
                  [&](const FontFileEntry& o) { return o.Family == Family && o.Style == Style; });
    if (entries.size() >= kMaxEntries)
        entries.erase(entries.begin());
    entries.push_back(std::move(e));
    const std::string text = FormatFontFileCache(FCache, FStamp);
    if (text.empty())
        return;
    try {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(FPath).parent_path(), ec);
        // A lost cache costs one fontconfig start; not worth a sync per run.
        WriteFileAtomically(FPath, text, {.Sync = false});
    } catch (const std::exception&) {
        // Unwritable: the next run asks fontconfig again.
    }
}

} // namespace vcl::detail
