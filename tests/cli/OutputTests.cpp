// Where lumivex writes: the format by extension, standard output, and failures that must leave
// the directory exactly as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "engine/Barcode.h"
#include "host/graphics/Graphics.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

mode_t ModeOf(const std::filesystem::path& Path) {
    struct stat S {};
    EXPECT_EQ(::stat(Path.c_str(), &S), 0);
    return S.st_mode & 07777;
}

TEST(OutputFormat, ExtensionChoosesPngOrBmpInAnyCase) {
    const std::string Text = "Lumivex 2026";
    const int Width = CalcWidth(2, bcCode128, Text);
    Sandbox Box;
    const std::vector<std::string> Base{"render",  "-b", "code128",  "-d", Text,
                                        "--scale", "2",  "--height", "40"};
    auto Render = [&](const std::string& Output) {
        std::vector<std::string> Args = Base;
        Args.insert(Args.end(), {"-o", Output});
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 0) << Run.Err;
    };
    for (const char* Name : {"a.png", "b.PNG", "c.Png"}) {
        SCOPED_TRACE(Name);
        Render(Name);
        const std::optional<PngImage> Image = DecodePng(ReadFile(Box / Name));
        ASSERT_TRUE(Image.has_value());
        EXPECT_EQ(Image->Width, Width);
    }
    const std::optional<PngImage> Reference = DecodePng(ReadFile(Box / "a.png"));
    ASSERT_TRUE(Reference.has_value());
    for (const char* Name : {"d.bmp", "e.BMP"}) {
        SCOPED_TRACE(Name);
        Render(Name);
        EXPECT_EQ(ReadFile(Box / Name).substr(0, 2), "BM");
        vcl::TBitmap Bitmap;
        Bitmap.LoadFromFile((Box / Name).string());
        ASSERT_EQ(Bitmap.GetWidth(), Width);
        ASSERT_EQ(Bitmap.GetHeight(), 40);
        int Mismatches = 0;
        for (int Y = 0; Y < 40; ++Y)
            for (int X = 0; X < Width; ++X) {
                const bool BlackInBmp = Bitmap.PixelColor(X, Y) == vcl::clBlack;
                Mismatches += BlackInBmp != (Reference->At(X, Y) < 128);
            }
        EXPECT_EQ(Mismatches, 0) << "the BMP shows another picture than the PNG";
    }
}

TEST(OutputFormat, UnknownExtensionExitsTwo) {
    for (const char* Name : {"out.gif", "out", "out.png.txt", "png", ""}) {
        SCOPED_TRACE(Name);
        Sandbox Box;
        const RunResult Run = Box.Run({"render", "-b", "code128", "-d", "x", "-o", Name});
        EXPECT_EQ(Run.ExitCode, 2);
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Err);
        ASSERT_EQ(Lines.size(), 1u) << Run.Err;
        EXPECT_TRUE(Contains(Lines[0], ".png") && Contains(Lines[0], ".bmp")) << Lines[0];
        EXPECT_TRUE(Box.Entries().empty());
    }
}

TEST(OutputFormat, DashWritesPngToStandardOutput) {
    Sandbox Box;
    const RunResult Run =
        Box.Run({"render", "-b", "ean128", "-d", "0101234567890128", "-o", "-", "--dpi", "600"});
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    EXPECT_EQ(Run.Err, "");
    EXPECT_TRUE(HasPngSignature(Run.Out));
    const std::optional<PngImage> Image = DecodePng(Run.Out);
    ASSERT_TRUE(Image.has_value());
    EXPECT_EQ(Image->Width, CalcWidth(1, bcEAN128, "0101234567890128"));
    EXPECT_EQ(Image->Height, 50);
    EXPECT_EQ(Image->PixelsPerMetreX, 23622u);
    EXPECT_TRUE(Box.Entries().empty());
}

TEST(OutputFile, UnwritableTargetExitsOneLeavingNothing) {
    struct Row {
        const char* Note;
        std::string Output;
    };
    const std::vector<Row> Rows{
        {"missing directory", "missing/out.png"},
        {"missing directories", "missing/deeper/out.bmp"},
        {"a regular file where a directory should be", "file.txt/out.png"},
        {"a directory where the file should go", "taken.png"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Note);
        Sandbox Box;
        Box.WriteFile("file.txt", "not a directory");
        std::filesystem::create_directory(Box / "taken.png");
        const std::vector<std::string> Before = Box.Entries();

        const RunResult Run = Box.Run({"render", "-b", "code128", "-d", "x", "-o", R.Output});
        EXPECT_EQ(Run.ExitCode, 1);
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Err);
        ASSERT_EQ(Lines.size(), 1u) << Run.Err;
        EXPECT_EQ(Lines[0].rfind("lumivex: ", 0), 0u);
        EXPECT_TRUE(Contains(Lines[0], R.Output)) << Lines[0];
        EXPECT_EQ(Box.Entries(), Before) << "a partial or temporary file was left behind";
        EXPECT_TRUE(std::filesystem::is_empty(Box / "taken.png"));
        EXPECT_EQ(ReadFile(Box / "file.txt"), "not a directory");
    }
}

TEST(OutputFile, ExistingFileIsReplacedOnlyBySuccess) {
    Sandbox Box;
    Box.WriteFile("out.png", "old");
    ASSERT_EQ(::chmod((Box / "out.png").c_str(), 0640), 0);

    // A failed run leaves the old file alone.
    RunResult Run = Box.Run({"render", "-b", "ean13", "-d", "no digits"});
    EXPECT_EQ(Run.ExitCode, 2);
    EXPECT_EQ(ReadFile(Box / "out.png"), "old");

    Run = Box.Run({"render", "-b", "ean13", "-d", "400638133393"});
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    EXPECT_TRUE(DecodePng(ReadFile(Box / "out.png")).has_value());
    EXPECT_EQ(ModeOf(Box / "out.png"), 0640u) << "the replaced file's permissions were lost";
    EXPECT_EQ(Box.Entries(), std::vector<std::string>{"out.png"});

    // A new file gets the permissions the umask allows, not the temporary file's owner-only ones.
    Run = Box.Run({"render", "-b", "ean13", "-d", "400638133393", "-o", "new.png"});
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    EXPECT_EQ(ModeOf(Box / "new.png"), 0666u & ~Mask);
}

} // namespace
} // namespace lumivex::clitest
