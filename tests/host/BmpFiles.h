#pragma once
// Bitmap files built byte by byte for the tests, an independent reader to check what the bitmap
// writes, and a stream that can pretend to be huge or refuse to seek.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"
#include "tests/host/BitmapTesting.h"

namespace vcl::testing {

inline void Le16(std::string& S, std::uint32_t V) {
    S += static_cast<char>(V & 0xFF);
    S += static_cast<char>((V >> 8) & 0xFF);
}
inline void Le32(std::string& S, std::uint32_t V) {
    Le16(S, V & 0xFFFF);
    Le16(S, V >> 16);
}
inline std::uint32_t Get16(const std::string& S, std::size_t At) {
    return static_cast<unsigned char>(S[At]) | static_cast<unsigned char>(S[At + 1]) << 8;
}
inline std::uint32_t Get32(const std::string& S, std::size_t At) {
    return Get16(S, At) | Get16(S, At + 2) << 16;
}

using Bytes = std::vector<std::uint8_t>;

// Pixels as blue, green, red (and a fourth byte for 32-bit files).
inline Bytes Bgr(std::initializer_list<TColor> Colors, std::optional<std::uint8_t> Fourth = {}) {
    Bytes out;
    for (TColor c : Colors) {
        out.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        out.push_back(static_cast<std::uint8_t>(GetGValue(c)));
        out.push_back(static_cast<std::uint8_t>(GetRValue(c)));
        if (Fourth)
            out.push_back(*Fourth);
    }
    return out;
}

struct BmpRecipe {
    std::string Magic = "BM";
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint32_t HeaderSize = 40;
    std::uint32_t Planes = 1;
    std::uint32_t Bits = 24;
    std::uint32_t Compression = 0;
    std::uint32_t ColorsUsed = 0;
    std::vector<TColor> Palette = {};
    std::optional<std::uint32_t> Offset = {}; // right after the palette when not given
    std::vector<Bytes> Rows = {};             // in file order, each padded to 4 bytes here
};

inline std::string Build(const BmpRecipe& S) {
    // Header sizes the reader must refuse are written with the 40 bytes it would expect.
    const std::uint32_t infoBytes = S.HeaderSize >= 40 && S.HeaderSize <= 124 ? S.HeaderSize : 40;
    const auto offset = static_cast<std::uint32_t>(14 + infoBytes + 4 * S.Palette.size());
    std::string pixels;
    for (const Bytes& r : S.Rows) {
        pixels.append(r.begin(), r.end());
        pixels.append((4 - r.size() % 4) % 4, '\0');
    }
    std::string f = S.Magic;
    const std::uint32_t dataAt = S.Offset.value_or(offset);
    Le32(f, static_cast<std::uint32_t>(offset + pixels.size()));
    Le32(f, 0);
    Le32(f, dataAt);
    Le32(f, S.HeaderSize);
    Le32(f, static_cast<std::uint32_t>(S.Width));
    Le32(f, static_cast<std::uint32_t>(S.Height));
    Le16(f, S.Planes);
    Le16(f, S.Bits);
    Le32(f, S.Compression);
    Le32(f, static_cast<std::uint32_t>(pixels.size()));
    Le32(f, 2835);
    Le32(f, 2835);
    Le32(f, S.ColorsUsed);
    Le32(f, 0);
    f.append(14 + infoBytes - f.size(), '\0');
    for (TColor c : S.Palette) {
        f += static_cast<char>(GetBValue(c));
        f += static_cast<char>(GetGValue(c));
        f += static_cast<char>(GetRValue(c));
        f += '\0';
    }
    if (dataAt > f.size() && dataAt < f.size() + 4096)
        f.append(dataAt - f.size(), '\x5A'); // a gap whose bytes must not be read as pixels
    return f + pixels;
}

// Reads a file as written by TBitmap (40-byte header, bottom-up, 1/8/24 bits), checking the
// layout on the way; the colours come out as a Snapshot in the format the bits imply.
inline Snapshot ReadWrittenBmp(const std::string& F) {
    TBitmap none;
    Snapshot out(none);
    EXPECT_GE(F.size(), 54u);
    if (F.size() < 54)
        return out;
    EXPECT_EQ(F.substr(0, 2), "BM");
    EXPECT_EQ(Get32(F, 2), F.size());
    EXPECT_EQ(Get32(F, 14), 40u);
    const auto w = static_cast<std::int32_t>(Get32(F, 18));
    const auto h = static_cast<std::int32_t>(Get32(F, 22));
    const std::uint32_t bits = Get16(F, 28);
    EXPECT_EQ(Get16(F, 26), 1u);
    EXPECT_EQ(Get32(F, 30), 0u);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    const std::uint32_t entries = bits == 1 ? 2 : bits == 8 ? 256 : 0;
    EXPECT_EQ(Get32(F, 46), entries);
    const std::uint32_t offset = Get32(F, 10);
    EXPECT_EQ(offset, 54 + 4 * entries);
    const std::size_t stride = (static_cast<std::size_t>(w) * bits + 31) / 32 * 4;
    EXPECT_EQ(F.size(), offset + stride * static_cast<std::size_t>(h));
    if (F.size() != offset + stride * static_cast<std::size_t>(h))
        return out;
    auto byte = [&](std::size_t At) { return static_cast<std::uint8_t>(F[At]); };
    std::vector<TColor> pal;
    for (std::uint32_t i = 0; i < entries; ++i)
        pal.push_back(RGB(byte(54 + 4 * i + 2), byte(54 + 4 * i + 1), byte(54 + 4 * i)));
    out.Width = w;
    out.Height = h;
    out.Format = bits == 1 ? pf1bit : bits == 8 ? pf8bit : pf24bit;
    out.Pixels.assign(static_cast<std::size_t>(w) * h, -1);
    const std::size_t used = (static_cast<std::size_t>(w) * bits + 7) / 8;
    for (int r = 0; r < h; ++r) {
        const std::size_t row = offset + stride * r;
        const int y = h - 1 - r;
        for (int x = 0; x < w; ++x) {
            if (bits == 24)
                out.Set(x, y, RGB(byte(row + 3 * x + 2), byte(row + 3 * x + 1), byte(row + 3 * x)));
            else if (bits == 8)
                out.Set(x, y, pal[byte(row + x)]);
            else
                out.Set(x, y, pal[(byte(row + x / 8) >> (7 - x % 8)) & 1]);
        }
        if (bits == 1 && w % 8) {
            EXPECT_EQ(byte(row + used - 1) & (0xFF >> (w % 8)), 0) << "spare bits of row " << r;
        }
        for (std::size_t i = used; i < stride; ++i)
            EXPECT_EQ(byte(row + i), 0) << "padding of row " << r;
    }
    return out;
}

// Prefix followed by zeros up to Length bytes, none of them held in memory; optionally refuses
// to seek like a pipe.
class VirtualFile : public std::streambuf {
public:
    VirtualFile(std::string Prefix, std::uint64_t Length, bool Seekable)
        : FPrefix(std::move(Prefix)), FLength(Length), FSeekable(Seekable) {}

protected:
    int_type underflow() override {
        FBase += static_cast<std::uint64_t>(egptr() - eback());
        if (FBase >= FLength) {
            setg(FBuf, FBuf, FBuf);
            return traits_type::eof();
        }
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(sizeof FBuf, FLength - FBase));
        for (std::size_t i = 0; i < n; ++i)
            FBuf[i] = FBase + i < FPrefix.size() ? FPrefix[FBase + i] : '\0';
        setg(FBuf, FBuf, FBuf + n);
        return traits_type::to_int_type(FBuf[0]);
    }
    pos_type seekoff(off_type Off, std::ios::seekdir Dir, std::ios::openmode) override {
        if (!FSeekable)
            return pos_type(off_type(-1));
        const auto cur = static_cast<std::int64_t>(FBase + (gptr() - eback()));
        const std::int64_t target = Dir == std::ios::beg ? Off
                                    : Dir == std::ios::cur
                                        ? cur + Off
                                        : static_cast<std::int64_t>(FLength) + Off;
        if (target < 0 || static_cast<std::uint64_t>(target) > FLength)
            return pos_type(off_type(-1));
        FBase = static_cast<std::uint64_t>(target);
        setg(FBuf, FBuf, FBuf);
        return pos_type(target);
    }
    pos_type seekpos(pos_type Pos, std::ios::openmode Which) override {
        return seekoff(off_type(Pos), std::ios::beg, Which);
    }

private:
    std::string FPrefix;
    std::uint64_t FLength;
    bool FSeekable;
    std::uint64_t FBase = 0;
    char FBuf[4096];
};

} // namespace vcl::testing
