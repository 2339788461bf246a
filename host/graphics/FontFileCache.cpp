// The remembered choices of fontconfig, one line per family and style.
#include "host/graphics/detail/FontFileCache.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/sysutils/AtomicFile.h"

namespace vcl::detail {

namespace {

constexpr std::string_view kMagic = "lumivex-fonts 1 ";
// More than any program uses; past it the oldest choices go.
constexpr std::size_t kMaxEntries = 64;
// A file larger than kMaxEntries lines could be is not ours.
constexpr std::size_t kMaxFileBytes = 256 * 1024;

bool Printable(std::string_view Field) {
    return Field.find_first_of("\t\n\r") == std::string_view::npos;
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

} // namespace

std::optional<std::vector<FontFileEntry>> ParseFontFileCache(std::string_view Text,
                                                             std::string_view Stamp) {
    std::string_view line;
    if (!Take(Text, '\n', line) || !line.starts_with(kMagic) || line.substr(kMagic.size()) != Stamp)
        return std::nullopt;
    std::vector<FontFileEntry> entries;
    while (!Text.empty()) {
        if (!Take(Text, '\n', line) || entries.size() == kMaxEntries)
            return std::nullopt;
        FontFileEntry e;
        std::string_view family, style, index, size, mtime;
        unsigned styleBits = 0;
        if (!Take(line, '\t', family) || !Take(line, '\t', style) || !Take(line, '\t', index) ||
            !Take(line, '\t', size) || !Take(line, '\t', mtime) || !Number(style, styleBits) ||
            styleBits > 0xFF || !Number(index, e.Index) || e.Index < 0 || !Number(size, e.Size) ||
            !Number(mtime, e.MTimeNs) || !Printable(family) || !line.starts_with('/') ||
            !Printable(line))
            return std::nullopt;
        e.Family = family;
        e.Style = static_cast<TFontStyles>(styleBits);
        e.File = line;
        entries.push_back(std::move(e));
    }
    return entries;
}

std::string FormatFontFileCache(const std::vector<FontFileEntry>& Entries, std::string_view Stamp) {
    std::string text{kMagic};
    text += Stamp;
    text += '\n';
    std::size_t kept = 0;
    for (const FontFileEntry& e : Entries) {
        if (kept == kMaxEntries || !Printable(e.Family) || !Printable(e.File) ||
            !e.File.starts_with('/') || e.Index < 0)
            continue;
        text += e.Family + '\t' + std::to_string(e.Style) + '\t' + std::to_string(e.Index) + '\t' +
                std::to_string(e.Size) + '\t' + std::to_string(e.MTimeNs) + '\t' + e.File + '\n';
        ++kept;
    }
    return text;
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
    if (auto entries = ParseFontFileCache(text, FStamp))
        FEntries = std::move(*entries);
}

std::optional<std::pair<std::string, int>> FontFileCache::Find(const std::string& Family,
                                                               TFontStyles Style) {
    if (!FLoaded)
        Load();
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
        if (it->Family != Family || it->Style != Style)
            continue;
        std::uint64_t size = 0;
        std::int64_t mtime = 0;
        if (StatFile(it->File, size, mtime) && size == it->Size && mtime == it->MTimeNs)
            return std::make_pair(it->File, it->Index);
        FEntries.erase(it);
        return std::nullopt;
    }
    return std::nullopt;
}

void FontFileCache::Remember(const std::string& Family, TFontStyles Style, const std::string& File,
                             int Index) {
    if (!FLoaded)
        Load();
    FontFileEntry e{Family, Style, File, Index, 0, 0};
    if (FPath.empty() || !StatFile(File, e.Size, e.MTimeNs))
        return;
    std::erase_if(FEntries,
                  [&](const FontFileEntry& o) { return o.Family == Family && o.Style == Style; });
    if (FEntries.size() >= kMaxEntries)
        FEntries.erase(FEntries.begin());
    FEntries.push_back(std::move(e));
    try {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(FPath).parent_path(), ec);
        // A lost cache costs one fontconfig start; not worth a sync per run.
        WriteFileAtomically(FPath, FormatFontFileCache(FEntries, FStamp), {.Sync = false});
    } catch (const std::exception&) {
        // Unwritable: the next run asks fontconfig again.
    }
}

} // namespace vcl::detail
