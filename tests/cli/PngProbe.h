#pragma once
// Reading the PNGs that lumivex writes back through libpng, independently of our own writer.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumivex::clitest {

struct PngImage {
    int Width = 0;
    int Height = 0;
    // Resolution in pixels per metre, when the file carries one.
    std::optional<std::uint32_t> PixelsPerMetreX;
    std::optional<std::uint32_t> PixelsPerMetreY;
    // 8-bit grey, row by row, whatever the file's own format.
    std::vector<std::uint8_t> Grey;

    std::uint8_t At(int X, int Y) const {
        return Grey[static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width) +
                    static_cast<std::size_t>(X)];
    }
};

// Decodes Bytes; nullopt when libpng rejects them.
std::optional<PngImage> DecodePng(const std::string& Bytes);

bool HasPngSignature(const std::string& Bytes);

// The text a real decoder (zxing-cpp, through decode_png) reads from a PNG file; "" for none.
std::string DecodedText(const std::filesystem::path& Png);

} // namespace lumivex::clitest
