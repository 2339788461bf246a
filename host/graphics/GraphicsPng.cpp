// PNG output: 1-bit grey for black and white, else 8-bit indexed or RGB. The first two are
// filtered here and compressed in one call to zlib on the whole image; true colour, whose rows
// want libpng's choice of filter, goes through libpng.
#include <libdeflate.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "host/graphics/Graphics.h"
#include "host/graphics/detail/Png.h"
#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace detail {

bool PackBlackWhiteRow(const std::uint8_t* Src, int Width, std::uint8_t* Dst) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i white = _mm_set1_epi8(static_cast<char>(palette::WhiteIndex));
    const __m128i black = _mm_set1_epi8(static_cast<char>(palette::BlackIndex));
    __m128i valid = _mm_set1_epi8(-1);
    for (; x + 16 <= Width; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + x));
        const __m128i isWhite = _mm_cmpeq_epi8(v, white);
        valid = _mm_and_si128(valid, _mm_or_si128(isWhite, _mm_cmpeq_epi8(v, black)));
        // movemask puts pixel x in the lowest bit; PNG wants it in the highest. Reversing the
        // bytes of each half first (words, then the bytes of each word) turns every mask byte.
        __m128i r = _mm_shufflehi_epi16(_mm_shufflelo_epi16(isWhite, 0x1B), 0x1B);
        r = _mm_or_si128(_mm_slli_epi16(r, 8), _mm_srli_epi16(r, 8));
        const int bits = _mm_movemask_epi8(r);
        Dst[x >> 3] = static_cast<std::uint8_t>(bits);
        Dst[(x >> 3) + 1] = static_cast<std::uint8_t>(bits >> 8);
    }
    if (_mm_movemask_epi8(valid) != 0xFFFF)
        return false;
#endif
    for (; x < Width; x += 8) {
        const int n = Width - x < 8 ? Width - x : 8;
        unsigned byte = 0, odd = 0;
        for (int i = 0; i < n; ++i) {
            const std::uint8_t v = Src[x + i];
            byte |= (v == palette::WhiteIndex ? 0x80u : 0u) >> i;
            odd |= v != palette::WhiteIndex && v != palette::BlackIndex;
        }
        if (odd)
            return false;
        Dst[x >> 3] = static_cast<std::uint8_t>(byte);
    }
    return true;
}

} // namespace detail

namespace {

// What libpng asks of zlib: the default level, window and memory, so that the image data come
// out as libpng wrote them (less the split into 8 kB chunks). libdeflate 1.14 was measured
// beside it: at its level 6 no faster on a label (each call first fills its match-finder tables,
// some 10 us) and a few bytes larger on some; from level 10, where it is never larger, five to
// eight times slower.
constexpr int kZlibLevel = Z_DEFAULT_COMPRESSION;

// The two bytes zlib puts before the stream it makes at kZlibLevel with a 32 kB window:
// compression method 8, window 2^15, the level's class (6, the default, is class 2), and the
// check bits that make the pair a multiple of 31.
constexpr std::uint16_t ZlibHeader() {
    constexpr int level = kZlibLevel == Z_DEFAULT_COMPRESSION ? 6 : kZlibLevel;
    constexpr unsigned levelClass = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    const unsigned header = 0x7800u | levelClass << 6;
    return static_cast<std::uint16_t>(header + 31 - header % 31);
}
static_assert(ZlibHeader() == 0x789C);

constexpr std::uint8_t kFilterNone = 0;

// What one thread reuses from image to image: the deflate state (reset, not rebuilt) and the
// buffers, which a batch of labels of one size never grows again.
struct Encoder {
    z_stream Z{};
    bool Ready = false;
    std::vector<std::uint8_t> Filtered;
    std::vector<std::uint8_t> File;

    Encoder() = default;
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    ~Encoder() {
        if (Ready)
            deflateEnd(&Z);
    }
    z_stream& Stream() {
        if (Ready) {
            if (deflateReset(&Z) == Z_OK)
                return Z;
            deflateEnd(&Z);
            Ready = false;
        }
        Z = z_stream{};
        // A raw stream: the header and the checksum of the zlib wrapper are written around it
        // (ZlibHeader, libdeflate's Adler-32, several times as fast as zlib's own).
        if (deflateInit2(&Z, kZlibLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw EWriteError("Cannot write PNG: no memory for the compressor");
        Ready = true;
        return Z;
    }
    // A one-off large image should not keep its buffers for the rest of the thread's life.
    void Trim() {
        constexpr std::size_t Keep = std::size_t{4} << 20;
        if (Filtered.capacity() > Keep)
            std::vector<std::uint8_t>().swap(Filtered);
        if (File.capacity() > Keep)
            std::vector<std::uint8_t>().swap(File);
    }
};

Encoder& ThreadEncoder() {
    thread_local Encoder E;
    return E;
}

// The rows each with its filter byte (none, as libpng chooses for 1-bit grey and palettes):
// 1-bit grey when every pixel is black or white, false otherwise.
bool FilterBlackWhite(const TBitmap& B, std::vector<std::uint8_t>& Out) {
    const int w = B.GetWidth(), h = B.GetHeight();
    const std::size_t stride = (static_cast<std::size_t>(w) + 7) / 8, line = stride + 1;
    Out.resize(line * static_cast<std::size_t>(h));
    const TPixelFormat format = B.GetPixelFormat();
    const std::size_t srcBytes = B.GetRowBytes();
    // The bits past the last pixel of a pf1bit row hold anything; a file holds the same bits
    // whatever the bitmap held there.
    const std::uint8_t lastMask = static_cast<std::uint8_t>(0xFF00u >> (((w - 1) & 7) + 1));
    const std::uint8_t lastBit = static_cast<std::uint8_t>(0x80u >> ((w - 1) & 7));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = B.ScanLine(y);
        std::uint8_t* dst = Out.data() + line * static_cast<std::size_t>(y);
        dst[0] = kFilterNone;
        // A bar row of a one-dimensional symbol is the row above it again.
        if (y > 0 && std::memcmp(src, B.ScanLine(y - 1), srcBytes) == 0) {
            std::memcpy(dst + 1, dst + 1 - line, stride);
            continue;
        }
        if (format == pf1bit) {
            std::memcpy(dst + 1, src, stride);
            std::uint8_t& last = dst[stride];
            // The last pixel's value continues its run, as a white row's fill left it before.
            last = (last & lastBit) ? static_cast<std::uint8_t>(last | ~lastMask)
                                    : static_cast<std::uint8_t>(last & lastMask);
        } else if (format == pf8bit) {
            if (!detail::PackBlackWhiteRow(src, w, dst + 1))
                return false;
        } else {
            std::memset(dst + 1, 0, stride);
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = src + 3 * static_cast<std::size_t>(x);
                if ((p[0] != 0 && p[0] != 0xFF) || p[1] != p[0] || p[2] != p[0])
                    return false;
                if (p[0])
                    dst[1 + (x >> 3)] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
            }
        }
    }
    return true;
}

void FilterIndexed(const TBitmap& B, std::vector<std::uint8_t>& Out) {
    const std::size_t stride = static_cast<std::size_t>(B.GetWidth()), line = stride + 1;
    Out.resize(line * static_cast<std::size_t>(B.GetHeight()));
    for (int y = 0; y < B.GetHeight(); ++y) {
        std::uint8_t* dst = Out.data() + line * static_cast<std::size_t>(y);
        dst[0] = kFilterNone;
        std::memcpy(dst + 1, B.ScanLine(y), stride);
    }
}

// Resize and copy rather than insert, which GCC 12 warns about wrongly at -O3.
void Append(std::vector<std::uint8_t>& F, const void* Bytes, std::size_t Count) {
    const std::size_t at = F.size();
    F.resize(at + Count);
    std::memcpy(F.data() + at, Bytes, Count);
}

void Put32(std::vector<std::uint8_t>& F, std::uint32_t V) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(V >> 24),
                               static_cast<std::uint8_t>(V >> 16),
                               static_cast<std::uint8_t>(V >> 8), static_cast<std::uint8_t>(V)};
    Append(F, b, 4);
}

// Length, type, data, CRC of type and data. Begin returns where the data starts.
std::size_t BeginChunk(std::vector<std::uint8_t>& F, const char* Type) {
    Put32(F, 0); // the length, set by EndChunk
    Append(F, Type, 4);
    return F.size();
}

void EndChunk(std::vector<std::uint8_t>& F, std::size_t Data) {
    const std::size_t length = F.size() - Data;
    if (length > 0x7FFFFFFFu)
        throw EWriteError("Cannot write PNG: the image is too large for one chunk");
    for (int i = 0; i < 4; ++i)
        F[Data - 8 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(length >> (24 - 8 * i));
    Put32(F, libdeflate_crc32(0, F.data() + Data - 4, length + 4));
}

std::uint32_t PixelsPerMetre(int Dpi) {
    const double perMetre = std::round(Dpi / 0.0254);
    if (perMetre > 0x7FFFFFFF)
        throw EWriteError("A resolution of " + std::to_string(Dpi) +
                          " dpi cannot be stored in a PNG");
    return static_cast<std::uint32_t>(perMetre);
}

// No exception of the stream's own may leave: a failing stream is a failed PNG, as before.
void WriteAll(std::ostream& S, const std::vector<std::uint8_t>& F) {
    bool ok = false;
    try {
        S.write(reinterpret_cast<const char*>(F.data()), static_cast<std::streamsize>(F.size()));
        ok = static_cast<bool>(S);
    } catch (...) {
    }
    if (!ok)
        throw EWriteError("Cannot write PNG: the stream refused the data");
}

// A PNG has at least one pixel.
void CheckWritable(const TBitmap& B) {
    if (B.Empty())
        throw EWriteError("Cannot write an empty bitmap (" + std::to_string(B.GetWidth()) + " x " +
                          std::to_string(B.GetHeight()) + ") as PNG");
}

} // namespace

void SaveBitmapToPng(const TBitmap& Bitmap, std::ostream& Stream, int Dpi,
                     const TInkColours& Colours) {
    CheckWritable(Bitmap);
    const std::uint32_t perMetre = Dpi > 0 ? PixelsPerMetre(Dpi) : 0;
    Encoder& e = ThreadEncoder();
    bool grey = FilterBlackWhite(Bitmap, e.Filtered);
    if (!grey && Bitmap.GetPixelFormat() != pf8bit) {
        e.Trim();
        detail::SaveBitmapToPngRowByRow(Bitmap, Stream, Dpi);
        return;
    }
    if (!grey)
        FilterIndexed(Bitmap, e.Filtered);

    std::vector<std::uint8_t>& f = e.File;
    f.clear();
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Append(f, signature, 8);
    std::size_t at = BeginChunk(f, "IHDR");
    Put32(f, static_cast<std::uint32_t>(Bitmap.GetWidth()));
    Put32(f, static_cast<std::uint32_t>(Bitmap.GetHeight()));
    // Inked 1-bit rows stay as they are: bit 0, black, names palette entry 0, the ink.
    const bool inked = Colours != TInkColours{};
    const bool indexed = !grey || inked;
    // Bit depth, colour type (0 grey, 3 indexed), compression, filter method, no interlace.
    const std::uint8_t header[5] = {static_cast<std::uint8_t>(grey ? 1 : 8),
                                    static_cast<std::uint8_t>(indexed ? 3 : 0), 0, 0, 0};
    Append(f, header, 5);
    EndChunk(f, at);
    if (indexed) {
        at = BeginChunk(f, "PLTE");
        const int entries = grey ? 2 : 256;
        for (int i = 0; i < entries; ++i) {
            const auto index = static_cast<std::uint8_t>(grey ? i * palette::WhiteIndex : i);
            const TColor c = index == palette::BlackIndex   ? Colours.Ink
                             : index == palette::WhiteIndex ? Colours.Paper
                                                            : palette::Color(index);
            f.push_back(static_cast<std::uint8_t>(GetRValue(c)));
            f.push_back(static_cast<std::uint8_t>(GetGValue(c)));
            f.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        }
        EndChunk(f, at);
    }
    if (perMetre) {
        at = BeginChunk(f, "pHYs");
        Put32(f, perMetre);
        Put32(f, perMetre);
        f.push_back(1); // the unit is the metre
        EndChunk(f, at);
    }
    at = BeginChunk(f, "IDAT");
    // One call on the whole image; the bound is what zlib needs to finish in one go.
    z_stream& z = e.Stream();
    const uLong bound = deflateBound(&z, e.Filtered.size());
    f.push_back(static_cast<std::uint8_t>(ZlibHeader() >> 8));
    f.push_back(static_cast<std::uint8_t>(ZlibHeader() & 0xFF));
    const std::size_t body = f.size();
    f.resize(body + bound);
    z.next_in = e.Filtered.data();
    z.avail_in = static_cast<uInt>(e.Filtered.size());
    z.next_out = f.data() + body;
    z.avail_out = static_cast<uInt>(bound);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        throw EWriteError("Cannot write PNG: the compressor failed");
    f.resize(body + z.total_out);
    Put32(f, libdeflate_adler32(1, e.Filtered.data(), e.Filtered.size()));
    EndChunk(f, at);
    EndChunk(f, BeginChunk(f, "IEND"));
    WriteAll(Stream, f);
    e.Trim();
}

void SaveBitmapToPngFile(const TBitmap& Bitmap, const std::string& FileName, int Dpi) {
    CheckWritable(Bitmap); // before the file is created
    TAtomicFile file(FileName);
    SaveBitmapToPng(Bitmap, file.Stream(), Dpi);
    file.Commit();
}

} // namespace vcl
