// The images lumivex render writes: size, bars, text margin, rotation, resolution.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

std::optional<PngImage> RenderPng(const Sandbox& Box, std::vector<std::string> Args) {
    Args.insert(Args.begin(), "render");
    Args.insert(Args.end(), {"-o", "probe.png"});
    const RunResult R = Box.Run(Args);
    EXPECT_EQ(R.ExitCode, 0) << R.Err;
    return DecodePng(ReadFile(Box / "probe.png"));
}

bool HasBlack(const PngImage& Image) {
    for (std::uint8_t Grey : Image.Grey)
        if (Grey < 128)
            return true;
    return false;
}

bool RowsEqual(const PngImage& Image, int Y1, int Y2) {
    for (int X = 0; X < Image.Width; ++X)
        if (Image.At(X, Y1) != Image.At(X, Y2))
            return false;
    return true;
}

TEST(RenderCommand, ImageIsCalcWidthWideAndHeightHigh) {
    struct Row {
        const char* Note;
        TBarCodeType Type;
        std::vector<std::string> Args; // after render
        std::string Text;
        int Scale;
        int Height;
        bool Turned; // a quarter turn swaps the sides
    };
    // clang-format off
    const std::vector<Row> Rows{
        {"defaults: scale 1, height 50, out.png",
            bcCode128, {}, "Lumivex 2026", 1, 50, false},
        {"code set C digits",
            bcCode128, {"--scale", "3", "--height", "120"}, "1234567890", 3, 120, false},
        {"EAN-128 adds FNC1",
            bcEAN128, {"--scale", "2", "--height", "80"}, "0101234567890128", 2, 80, false},
        {"largest scale, lowest height: no room for the text",
            bcCode128, {"--scale", "100", "--height", "1", "--notext"}, "A", 100, 1, false},
        {"highest height",
            bcCode128, {"--height", "10000"}, "ABC", 1, 10000, false},
        {"quarter turn clockwise; the default height follows the scale",
            bcCode128, {"--scale", "2", "--rotate", "90"}, "Lumivex", 2, 100, true},
        {"half turn",
            bcCode128, {"--rotate", "180"}, "Lumivex", 1, 50, false},
        {"quarter turn counter-clockwise",
            bcEAN128, {"--height", "64", "--rotate", "270"}, "0101234567890128", 1, 64, true},
    };
    // clang-format on
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Note);
        Sandbox Box;
        std::vector<std::string> Args{"render", "-b", R.Type == bcEAN128 ? "ean128" : "code128",
                                      "-d", R.Text};
        Args.insert(Args.end(), R.Args.begin(), R.Args.end());
        const RunResult Run = Box.Run(Args);
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_EQ(Run.Err, "");
        EXPECT_EQ(Run.Out, "");
        const std::optional<PngImage> Image = DecodePng(ReadFile(Box / "out.png"));
        ASSERT_TRUE(Image.has_value());
        const int Width = CalcWidth(R.Scale, R.Type, R.Text);
        EXPECT_EQ(Image->Width, R.Turned ? R.Height : Width);
        EXPECT_EQ(Image->Height, R.Turned ? Width : R.Height);
        EXPECT_TRUE(HasBlack(*Image)) << "no bars drawn";
        EXPECT_EQ(Box.Entries(), std::vector<std::string>{"out.png"});
    }
}

TEST(RenderCommand, RotationTurnsTheUnrotatedImage) {
    Sandbox Box;
    const std::vector<std::string> Base{"-b",      "code128", "-d",       "Lumivex 2026",
                                        "--scale", "2",       "--height", "40"};
    const std::optional<PngImage> Plain = RenderPng(Box, Base);
    ASSERT_TRUE(Plain.has_value());
    ASSERT_TRUE(HasBlack(*Plain));
    const int W = Plain->Width;
    const int H = Plain->Height;

    struct Turn {
        const char* Degrees;
        // Where the turned image holds the unrotated pixel (x, y).
        int (*DestX)(int X, int Y, int W, int H);
        int (*DestY)(int X, int Y, int W, int H);
    };
    const Turn Turns[] = {
        {"90", [](int, int Y, int, int H) { return H - 1 - Y; },
         [](int X, int, int, int) { return X; }},
        {"180", [](int X, int, int W, int) { return W - 1 - X; },
         [](int, int Y, int, int H) { return H - 1 - Y; }},
        {"270", [](int, int Y, int, int) { return Y; },
         [](int X, int, int W, int) { return W - 1 - X; }},
    };
    for (const Turn& T : Turns) {
        SCOPED_TRACE(std::string("--rotate ") + T.Degrees);
        std::vector<std::string> Args = Base;
        Args.insert(Args.end(), {"--rotate", T.Degrees});
        const std::optional<PngImage> Turned = RenderPng(Box, Args);
        ASSERT_TRUE(Turned.has_value());
        const bool Quarter = std::string(T.Degrees) != "180";
        ASSERT_EQ(Turned->Width, Quarter ? H : W);
        ASSERT_EQ(Turned->Height, Quarter ? W : H);
        int Mismatches = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                Mismatches +=
                    Turned->At(T.DestX(X, Y, W, H), T.DestY(X, Y, W, H)) != Plain->At(X, Y);
        EXPECT_EQ(Mismatches, 0);
    }
}

TEST(RenderCommand, NotextLetsTheBarsRunToTheBottom) {
    Sandbox Box;
    const std::vector<std::string> Base{"-b", "code128", "-d", "ABC123", "--height", "30"};
    const std::optional<PngImage> WithText = RenderPng(Box, Base);
    std::vector<std::string> Args = Base;
    Args.push_back("--notext");
    const std::optional<PngImage> Bare = RenderPng(Box, Args);
    ASSERT_TRUE(WithText.has_value() && Bare.has_value());
    ASSERT_EQ(Bare->Height, 30);
    EXPECT_TRUE(RowsEqual(*Bare, 0, 29)) << "bars stop short of the bottom with --notext";
    // With the text on, the bottom rows belong to the text, not to the bars.
    EXPECT_FALSE(RowsEqual(*WithText, 0, 29));
}

TEST(RenderCommand, DpiGoesIntoThePngAndBmpResolution) {
    struct Row {
        std::vector<std::string> Args;
        std::optional<std::uint32_t> PixelsPerMetre;
    };
    const std::vector<Row> Rows{
        {{}, std::nullopt},
        {{"--dpi", "300"}, 11811u}, // 300 / 0.0254, rounded
        {{"--dpi", "72"}, 2835u},
        {{"--dpi", "1"}, 39u},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Args.empty() ? "no --dpi" : R.Args[1]);
        Sandbox Box;
        std::vector<std::string> Args{"-b", "code128", "-d", "x"};
        Args.insert(Args.end(), R.Args.begin(), R.Args.end());
        const std::optional<PngImage> Image = RenderPng(Box, Args);
        ASSERT_TRUE(Image.has_value());
        EXPECT_EQ(Image->PixelsPerMetreX, R.PixelsPerMetre);
        EXPECT_EQ(Image->PixelsPerMetreY, R.PixelsPerMetre);
        // The BMP's info header holds the same, 0 for none.
        Args.insert(Args.begin(), "render");
        Args.insert(Args.end(), {"-o", "probe.bmp"});
        ASSERT_EQ(Box.Run(Args).ExitCode, 0);
        const std::string Bmp = ReadFile(Box / "probe.bmp");
        ASSERT_GE(Bmp.size(), 54u);
        for (const std::size_t At : {38u, 42u}) {
            std::uint32_t V = 0;
            for (int i = 3; i >= 0; --i)
                V = V << 8 | static_cast<unsigned char>(Bmp[At + i]);
            EXPECT_EQ(V, R.PixelsPerMetre.value_or(0));
        }
    }
}

} // namespace
} // namespace lumivex::clitest

namespace lumivex::clitest {
namespace {

TEST(RenderCommand, FontChoosesTheFaceOfTheText) {
    // A proportional face prints the same digits in a cell of another width than the
    // monospaced default; a family that is not installed still renders (fontconfig's best match).
    Sandbox Box;
    const std::vector<std::string> Base{"-b", "code128", "-d", "1111111111", "--scale", "2"};
    const std::optional<PngImage> Default = RenderPng(Box, Base);
    std::vector<std::string> Args = Base;
    Args.insert(Args.end(), {"--font", "DejaVu Sans"});
    const std::optional<PngImage> Sans = RenderPng(Box, Args);
    Args.back() = "No Such Family 2026";
    const std::optional<PngImage> Missing = RenderPng(Box, Args);
    ASSERT_TRUE(Default && Sans && Missing);
    EXPECT_EQ(Default->Width, Sans->Width) << "the font changes the text, not the bars";
    EXPECT_NE(Default->Grey, Sans->Grey);
}

} // namespace
} // namespace lumivex::clitest
