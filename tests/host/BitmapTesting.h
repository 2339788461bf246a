#pragma once
// Helpers the host tests share: building bitmaps from a colour rule and comparing them whole.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"

namespace vcl::testing {

inline const char* FormatName(TPixelFormat F) {
    switch (F) {
    case pf1bit:
        return "pf1bit";
    case pf8bit:
        return "pf8bit";
    case pf24bit:
        return "pf24bit";
    default:
        return "pfDevice";
    }
}

inline std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat Format, int Width, int Height) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(Format);
    b->SetSize(Width, Height);
    return b;
}

// Sets every pixel to Rule(x, y).
inline void Paint(TBitmap& B, const std::function<TColor(int, int)>& Rule) {
    for (int y = 0; y < B.GetHeight(); ++y)
        for (int x = 0; x < B.GetWidth(); ++x)
            B.GetCanvas().SetPixel(x, y, Rule(x, y));
}

// A few colours every format holds exactly: pf1bit only black and white, the others also
// entries of the shared palette.
inline TColor PatternColor(TPixelFormat Format, int X, int Y) {
    if (Format == pf1bit)
        return (X * 3 + Y * 5) % 7 < 3 ? clBlack : clWhite;
    static const TColor colors[] = {clBlack,
                                    clWhite,
                                    RGB(255, 0, 0),
                                    RGB(0, 102, 204),
                                    RGB(255, 255, 102),
                                    palette::Color(230)};
    return colors[(X * 3 + Y * 5) % 6];
}

inline std::unique_ptr<TBitmap> MakePattern(TPixelFormat Format, int Width, int Height) {
    auto b = MakeBitmap(Format, Width, Height);
    Paint(*b, [&](int x, int y) { return PatternColor(Format, x, y); });
    return b;
}

// Size, format and every pixel, to show that an operation changed nothing or what it changed.
struct Snapshot {
    int Width = 0;
    int Height = 0;
    TPixelFormat Format = pfDevice;
    std::vector<TColor> Pixels;

    explicit Snapshot(const TBitmap& B)
        : Width(B.GetWidth()), Height(B.GetHeight()), Format(B.GetPixelFormat()) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                Pixels.push_back(B.PixelColor(x, y));
    }
    TColor At(int X, int Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
    void Set(int X, int Y, TColor C) { Pixels[static_cast<std::size_t>(Y) * Width + X] = C; }
    bool operator==(const Snapshot&) const = default;
};

inline std::string Hex(TColor C) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(C) & 0xFFFFFFu);
    return C < 0 ? std::to_string(C) : buf;
}

// Empty when the two agree, else where they first part.
inline std::string Difference(const Snapshot& Got, const Snapshot& Want) {
    if (Got.Width != Want.Width || Got.Height != Want.Height || Got.Format != Want.Format)
        return std::to_string(Got.Width) + " x " + std::to_string(Got.Height) + " " +
               FormatName(Got.Format) + ", want " + std::to_string(Want.Width) + " x " +
               std::to_string(Want.Height) + " " + FormatName(Want.Format);
    for (int y = 0; y < Got.Height; ++y)
        for (int x = 0; x < Got.Width; ++x)
            if (Got.At(x, y) != Want.At(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                       Hex(Got.At(x, y)) + ", want " + Hex(Want.At(x, y));
    return "";
}

// A directory of the running test's own, removed afterwards, so that tests run in parallel do
// not meet in it.
class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FPath = std::filesystem::temp_directory_path() /
                (std::string("lumivex-") + info->test_suite_name() + "-" + info->name() + "-" +
                 std::to_string(::getpid()));
        std::filesystem::create_directories(FPath);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
    std::filesystem::path FPath;
};

} // namespace vcl::testing
