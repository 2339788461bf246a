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
    // The file's own format: bit depth, colour type (0 grey, 3 indexed) and palette, each
    // entry 0xRRGGBB.
    int BitDepth = 0;
    int ColourType = 0;
    std::vector<std::uint32_t> Palette;
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

// Whether zbarimg, the second decoder, is installed (scripts/install-deps.sh installs it).
bool HaveZbar();

// What zbarimg reads from an image file: one "TYPE:DATA" per symbol, sorted. The add-ons, UPC-A
// and UPC-E are enabled, so that each symbol is named as what it is (zbar reports a UPC-A as an
// EAN-13 otherwise, and leaves add-ons out).
std::vector<std::string> ZbarSymbols(const std::filesystem::path& Image);

} // namespace lumivex::clitest
