// Windows bitmap files: writing the three formats a bitmap holds, reading the uncompressed ones.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"
#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t BI_RGB = 0;

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}
std::uint32_t Get16(const std::uint8_t* p) {
    return p[0] | std::uint32_t{p[1]} << 8;
}
std::uint32_t Get32(const std::uint8_t* p) {
    return Get16(p) | Get16(p + 2) << 16;
}
std::int32_t GetInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(Get32(p));
}

// Rows in the file are padded to whole 32-bit words.
std::uint64_t FileStride(std::uint64_t Width, unsigned Bits) {
    return (Width * Bits + 31) / 32 * 4;
}

[[noreturn]] void Invalid(const std::string& Why) {
    throw EInvalidGraphic("Invalid bitmap file: " + Why);
}

// Reads the file front to back, counting what it consumed so that offsets in the header can be
// checked without trusting the stream to seek.
class Reader {
public:
    explicit Reader(std::istream& S) : FStream(S) {
        // The length tells how much pixel data the file can hold before anything is allocated
        // for it; streams that cannot seek are read without that foresight.
        const std::istream::pos_type start = S.tellg();
        if (start == std::istream::pos_type(-1))
            return;
        S.seekg(0, std::ios::end);
        const std::istream::pos_type end = S.tellg();
        if (S && end != std::istream::pos_type(-1) && end >= start)
            FSize = static_cast<std::uint64_t>(end - start);
        S.clear();
        S.seekg(start);
        if (!S) {
            FSize.reset();
            S.clear();
        }
    }

    void Read(void* Buffer, std::size_t Count, const char* What) {
        FStream.read(static_cast<char*>(Buffer), static_cast<std::streamsize>(Count));
        const auto got = static_cast<std::size_t>(FStream.gcount());
        FConsumed += got;
        if (got != Count)
            Invalid(std::string("the file ends inside the ") + What);
    }

    // Offsets count from where the file starts, which need not be the start of the stream.
    void SkipTo(std::uint64_t Offset) {
        while (FConsumed < Offset) {
            const std::uint64_t step =
                std::min<std::uint64_t>(Offset - FConsumed, std::numeric_limits<int>::max());
            FStream.ignore(static_cast<std::streamsize>(step));
            const auto got = static_cast<std::uint64_t>(FStream.gcount());
            FConsumed += got;
            if (got != step)
                Invalid("the file ends before its pixel data");
        }
    }

    std::optional<std::uint64_t> Size() const { return FSize; }

private:
    std::istream& FStream;
    std::uint64_t FConsumed = 0;
    std::optional<std::uint64_t> FSize;
};

struct Layout {
    int Width = 0;
    int Height = 0;
    bool TopDown = false;
    unsigned Bits = 0;
    std::uint32_t PaletteEntries = 0;
    std::uint64_t PixelOffset = 0;
    std::uint64_t Stride = 0;
};

Layout ReadHeaders(Reader& In) {
    std::array<std::uint8_t, FileHeaderSize> file{};
    In.Read(file.data(), file.size(), "file header");
    if (file[0] != 'B' || file[1] != 'M')
        Invalid("it does not start with \"BM\"");

    std::array<std::uint8_t, 124> info{};
    In.Read(info.data(), 4, "bitmap header");
    const std::uint32_t infoSize = Get32(info.data());
    // BITMAPINFOHEADER and its later extensions; the older core header has another layout.
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        Invalid("unsupported bitmap header size " + std::to_string(infoSize));
    In.Read(info.data() + 4, infoSize - 4, "bitmap header");

    const std::int32_t width = GetInt32(info.data() + 4);
    const std::int32_t height = GetInt32(info.data() + 8);
    const std::uint32_t planes = Get16(info.data() + 12);
    const std::uint32_t bits = Get16(info.data() + 14);
    const std::uint32_t compression = Get32(info.data() + 16);
    const std::uint32_t colorsUsed = Get32(info.data() + 32);

    if (planes != 1)
        Invalid(std::to_string(planes) + " colour planes");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Invalid(std::to_string(bits) + " bits per pixel is not supported");
    if (compression != BI_RGB)
        Invalid("compression method " + std::to_string(compression) + " is not supported");
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        Invalid("bad size " + std::to_string(width) + " x " + std::to_string(height));

    Layout l;
    l.Width = width;
    l.Height = height < 0 ? -height : height;
    l.TopDown = height < 0;
    l.Bits = bits;
    l.Stride = FileStride(static_cast<std::uint64_t>(width), bits);
    l.PixelOffset = Get32(file.data() + 10);

    std::uint64_t tableEnd = FileHeaderSize + infoSize;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        if (colorsUsed > most)
            Invalid(std::to_string(colorsUsed) + " palette entries for " + std::to_string(bits) +
                    "-bit pixels");
        l.PaletteEntries = colorsUsed ? colorsUsed : most;
        tableEnd += 4 * std::uint64_t{l.PaletteEntries};
    }
    if (l.PixelOffset < tableEnd)
        Invalid("pixel data offset " + std::to_string(l.PixelOffset) +
                " lies inside the headers, which end at " + std::to_string(tableEnd));

    const std::uint64_t pixelBytes = l.Stride * static_cast<std::uint64_t>(l.Height);
    if (auto size = In.Size();
        size && (l.PixelOffset > *size || pixelBytes > *size - l.PixelOffset))
        Invalid("a " + std::to_string(l.Width) + " x " + std::to_string(l.Height) + " image at " +
                std::to_string(bits) + " bits per pixel needs " +
                std::to_string(l.PixelOffset + pixelBytes) + " bytes, the file has " +
                std::to_string(*size));
    return l;
}

// How palette entries of the file become pixels of the bitmap.
struct ColorMap {
    TPixelFormat Format = pf24bit;
    bool Inverted = false;                 // a 1-bit file whose entry 0 is white
    std::array<std::uint8_t, 256> Index{}; // file entry -> shared palette index
    std::array<TColor, 256> Colors{};      // file entry -> colour, for a palette read as pf24bit
    unsigned Entries = 0;
};

ColorMap ReadPalette(Reader& In, const Layout& L) {
    ColorMap map;
    if (L.Bits > 8)
        return map;
    std::array<std::uint8_t, 4 * 256> quads{};
    In.Read(quads.data(), 4 * std::size_t{L.PaletteEntries}, "palette");
    map.Entries = L.PaletteEntries;
    std::array<TColor, 256> colors{};
    for (unsigned i = 0; i < map.Entries; ++i)
        colors[i] = RGB(quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]);
    if (L.Bits == 1 && map.Entries == 2 &&
        ((colors[0] == clBlack && colors[1] == clWhite) ||
         (colors[0] == clWhite && colors[1] == clBlack))) {
        map.Format = pf1bit;
        map.Inverted = colors[0] == clWhite;
        return map;
    }
    // The shared palette holds the file's colours exactly, or the image keeps them in true
    // colour: a 16-colour glyph's olive must stay olive.
    map.Format = pf8bit;
    for (unsigned i = 0; i < map.Entries; ++i) {
        map.Index[i] = palette::IndexOf(colors[i]);
        if (palette::Color(map.Index[i]) != colors[i])
            map.Format = pf24bit;
    }
    map.Colors = colors;
    return map;
}

void DecodeRow(const Layout& L, const ColorMap& Map, const std::uint8_t* Src, std::uint8_t* Dst,
               int Y) {
    const int w = L.Width;
    if (Map.Format == pf1bit) {
        const std::size_t n = (static_cast<std::size_t>(w) + 7) / 8;
        std::memcpy(Dst, Src, n);
        if (Map.Inverted)
            for (std::size_t i = 0; i < n; ++i)
                Dst[i] = static_cast<std::uint8_t>(~Dst[i]);
        // The bits past the last pixel stay white, as the bitmap keeps them.
        if (w & 7)
            Dst[n - 1] = static_cast<std::uint8_t>(Dst[n - 1] | (0xFF >> (w & 7)));
        return;
    }
    if (L.Bits <= 8) {
        const unsigned shift = 8 - L.Bits, mask = (1u << L.Bits) - 1;
        for (int x = 0; x < w; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x) * L.Bits;
            const unsigned entry = (Src[bit >> 3] >> (shift - (bit & 7))) & mask;
            if (entry >= Map.Entries)
                Invalid("pixel (" + std::to_string(x) + ", " + std::to_string(Y) +
                        ") uses palette entry " + std::to_string(entry) + " of only " +
                        std::to_string(Map.Entries));
            if (Map.Format == pf8bit) {
                Dst[x] = Map.Index[entry];
            } else {
                const TColor c = Map.Colors[entry];
                Dst[3 * x] = static_cast<std::uint8_t>(GetBValue(c));
                Dst[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
                Dst[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(c));
            }
        }
        return;
    }
    if (L.Bits == 24) {
        std::memcpy(Dst, Src, 3 * static_cast<std::size_t>(w));
        return;
    }
    for (int x = 0; x < w; ++x) {
        Dst[3 * static_cast<std::size_t>(x)] = Src[4 * static_cast<std::size_t>(x)];
        Dst[3 * static_cast<std::size_t>(x) + 1] = Src[4 * static_cast<std::size_t>(x) + 1];
        Dst[3 * static_cast<std::size_t>(x) + 2] = Src[4 * static_cast<std::size_t>(x) + 2];
    }
}

void CheckSavable(const TBitmap& B) {
    if (B.Empty())
        throw EWriteError("Cannot save an empty bitmap (" + std::to_string(B.GetWidth()) + " x " +
                          std::to_string(B.GetHeight()) + ") as a bitmap file");
}

std::string OsReason() {
    return errno ? std::string(". ") + std::strerror(errno) : std::string();
}

} // namespace

void TBitmap::SaveToStream(std::ostream& Stream) const {
    CheckSavable(*this);
    const unsigned bits = FPixelFormat == pf1bit ? 1 : FPixelFormat == pf8bit ? 8 : 24;
    const std::uint32_t entries = bits == 1 ? 2 : bits == 8 ? 256 : 0;
    const std::uint64_t stride = FileStride(static_cast<std::uint64_t>(FWidth), bits);
    const std::uint64_t imageBytes = stride * static_cast<std::uint64_t>(FHeight);
    const std::uint32_t offset = FileHeaderSize + InfoHeaderSize + 4 * entries;
    if (offset + imageBytes > std::numeric_limits<std::uint32_t>::max())
        throw EWriteError("A bitmap of " + std::to_string(FWidth) + " x " +
                          std::to_string(FHeight) + " pixels is too large for a bitmap file");

    std::vector<std::uint8_t> head(offset, 0);
    std::uint8_t* f = head.data();
    f[0] = 'B';
    f[1] = 'M';
    Put32(f + 2, static_cast<std::uint32_t>(offset + imageBytes));
    Put32(f + 10, offset);
    std::uint8_t* info = f + FileHeaderSize;
    Put32(info, InfoHeaderSize);
    Put32(info + 4, static_cast<std::uint32_t>(FWidth));
    Put32(info + 8, static_cast<std::uint32_t>(FHeight));
    Put16(info + 12, 1);
    Put16(info + 14, bits);
    Put32(info + 16, BI_RGB);
    Put32(info + 20, static_cast<std::uint32_t>(imageBytes));
    Put32(info + 32, entries);
    std::uint8_t* quads = info + InfoHeaderSize;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const TColor c =
            bits == 1 ? (i ? clWhite : clBlack) : palette::Color(static_cast<std::uint8_t>(i));
        quads[4 * i] = static_cast<std::uint8_t>(GetBValue(c));
        quads[4 * i + 1] = static_cast<std::uint8_t>(GetGValue(c));
        quads[4 * i + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }

    try {
        Stream.write(reinterpret_cast<const char*>(head.data()),
                     static_cast<std::streamsize>(head.size()));
        std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
        const std::size_t used = FRowBytes;
        const unsigned spare = bits == 1 ? (8 - FWidth % 8) % 8 : 0;
        for (int y = FHeight - 1; y >= 0 && Stream; --y) {
            std::memcpy(row.data(), ScanLine(y), used);
            // Bits past the last pixel are written as zero, whatever the bitmap held there.
            if (spare)
                row[used - 1] = static_cast<std::uint8_t>(row[used - 1] & (0xFF << spare));
            Stream.write(reinterpret_cast<const char*>(row.data()),
                         static_cast<std::streamsize>(row.size()));
        }
    } catch (const std::ios_base::failure& e) {
        throw EWriteError(std::string("Cannot write the bitmap: ") + e.what());
    }
    if (!Stream)
        throw EWriteError("Cannot write the bitmap: the stream refused the data");
}

void TBitmap::LoadFromStream(std::istream& Stream) {
    TBitmap image;
    try {
        Reader in(Stream);
        const Layout layout = ReadHeaders(in);
        const ColorMap map = ReadPalette(in, layout);
        in.SkipTo(layout.PixelOffset);
        image.SetPixelFormat(map.Format);
        image.SetSize(layout.Width, layout.Height);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.Stride));
        for (int r = 0; r < layout.Height; ++r) {
            in.Read(row.data(), row.size(), "pixel data");
            const int y = layout.TopDown ? r : layout.Height - 1 - r;
            DecodeRow(layout, map, row.data(), image.ScanLine(y), y);
        }
    } catch (const std::ios_base::failure& e) {
        throw EInvalidGraphic(std::string("Cannot read the bitmap file: ") + e.what());
    }
    // Taken, not copied: a copy would hold the largest image twice.
    TakePixels(image);
}

void TBitmap::SaveToFile(const std::string& FileName) const {
    CheckSavable(*this); // before the file is created
    TAtomicFile file(FileName);
    SaveToStream(file.Stream());
    file.Commit();
}

void TBitmap::LoadFromFile(const std::string& FileName) {
    std::error_code ec;
    // A directory opens like a file here but reads nothing; say what it is instead.
    if (std::filesystem::is_directory(FileName, ec))
        throw EFOpenError("Cannot open file \"" + FileName + "\". It is a directory");
    errno = 0;
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        throw EFOpenError("Cannot open file \"" + FileName + "\"" + OsReason());
    try {
        LoadFromStream(in);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(std::string(e.what()) + " (in \"" + FileName + "\")");
    }
}

} // namespace vcl
