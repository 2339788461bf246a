// --fg and --bg: the colours go into the file, the bars stay where black and white have them.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/graphics/Graphics.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

constexpr std::uint32_t Ink = 0x1F3A93, Paper = 0xFFFFEE;
const std::vector<std::string> Coloured{"--fg", "1f3a93", "--bg", "#FFFFee"};

// Every pixel of Inked is the ink where Plain is black and the paper where it is white. Through
// libpng's grey conversion the two colours are two greys, the ink's the darker.
void ExpectInkedAsPlain(const PngImage& Inked, const PngImage& Plain) {
    ASSERT_EQ(Inked.Width, Plain.Width);
    ASSERT_EQ(Inked.Height, Plain.Height);
    std::optional<std::uint8_t> InkGrey, PaperGrey;
    for (std::size_t i = 0; i < Plain.Grey.size(); ++i) {
        std::optional<std::uint8_t>& Seen = Plain.Grey[i] < 128 ? InkGrey : PaperGrey;
        if (!Seen)
            Seen = Inked.Grey[i];
        ASSERT_EQ(Inked.Grey[i], *Seen) << "pixel " << i;
    }
    ASSERT_TRUE(InkGrey && PaperGrey);
    EXPECT_LT(*InkGrey, *PaperGrey);
}

TEST(Colours, PngTakesATwoEntryPaletteOfTheSameBits) {
    const std::vector<std::vector<std::string>> Cases{
        {"-b", "ean13", "-d", "400638133393+12"},
        {"-b", "code128", "-d", "Lumivex", "--scale", "3", "--rotate", "90"},
    };
    for (const std::vector<std::string>& Case : Cases) {
        SCOPED_TRACE(Joined(Case));
        Sandbox Box;
        std::vector<std::string> Args{"render", "-o", "plain.png"};
        Args.insert(Args.end(), Case.begin(), Case.end());
        ASSERT_EQ(Box.Run(Args).ExitCode, 0);
        Args[2] = "inked.png";
        Args.insert(Args.end(), Coloured.begin(), Coloured.end());
        const RunResult Run = Box.Run(Args);
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_EQ(Run.Err, "");
        const std::optional<PngImage> Plain = DecodePng(ReadFile(Box / "plain.png"));
        const std::optional<PngImage> Inked = DecodePng(ReadFile(Box / "inked.png"));
        ASSERT_TRUE(Plain && Inked);
        EXPECT_EQ(Inked->BitDepth, 1);
        EXPECT_EQ(Inked->ColourType, 3);
        EXPECT_EQ(Inked->Palette, (std::vector<std::uint32_t>{Ink, Paper}));
        ExpectInkedAsPlain(*Inked, *Plain);
        // The palette chunk is all that is added.
        EXPECT_EQ(ReadFile(Box / "inked.png").size(), ReadFile(Box / "plain.png").size() + 18);
    }
    // Black and white named are the defaults, and the file stays the very same.
    Sandbox Box;
    ASSERT_EQ(Box.Run({"render", "-b", "upca", "-d", "03600029145", "-o", "a.png"}).ExitCode, 0);
    ASSERT_EQ(Box.Run({"render", "-b", "upca", "-d", "03600029145", "-o", "b.png", "--fg", "000000",
                       "--bg", "ffffff"})
                  .ExitCode,
              0);
    EXPECT_EQ(ReadFile(Box / "a.png"), ReadFile(Box / "b.png"));
}

TEST(Colours, BmpPaletteAndBatchFilesTakeThem) {
    Sandbox Box;
    std::vector<std::string> Args{"render", "-b", "ean8", "-d", "9638507", "-o", "plain.bmp"};
    ASSERT_EQ(Box.Run(Args).ExitCode, 0);
    Args[6] = "inked.bmp";
    Args.insert(Args.end(), Coloured.begin(), Coloured.end());
    ASSERT_EQ(Box.Run(Args).ExitCode, 0);
    vcl::TBitmap Plain, Inked;
    Plain.LoadFromFile((Box / "plain.bmp").string());
    Inked.LoadFromFile((Box / "inked.bmp").string());
    ASSERT_EQ(Inked.GetWidth(), Plain.GetWidth());
    ASSERT_EQ(Inked.GetHeight(), Plain.GetHeight());
    const vcl::TColor InkColour = vcl::RGB(0x1F, 0x3A, 0x93),
                      PaperColour = vcl::RGB(0xFF, 0xFF, 0xEE);
    for (int y = 0; y < Plain.GetHeight(); ++y)
        for (int x = 0; x < Plain.GetWidth(); ++x)
            ASSERT_EQ(Inked.PixelColor(x, y),
                      Plain.PixelColor(x, y) == vcl::clBlack ? InkColour : PaperColour)
                << x << ", " << y;

    Box.WriteFile("items.csv", "code\n400638133393\n");
    std::vector<std::string> Batch{"batch",   "-b",   "ean13", "--csv", "items.csv",
                                   "--field", "code", "-o",    "labels"};
    Batch.insert(Batch.end(), Coloured.begin(), Coloured.end());
    const RunResult Run = Box.Run(Batch);
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    const DirectoryContents Files = ListDirectory(Box / "labels");
    ASSERT_EQ(Files.Png.size(), 1u);
    const std::optional<PngImage> Label = DecodePng(ReadFile(Box / "labels" / Files.Png[0]));
    ASSERT_TRUE(Label);
    EXPECT_EQ(Label->Palette, (std::vector<std::uint32_t>{Ink, Paper}));
}

TEST(Colours, BadOrEqualColoursExitTwoWritingNothing) {
    struct Row {
        std::vector<std::string> Args;
        std::string Said;
    };
    const std::vector<Row> Rows{
        {{"--fg", "12345"}, "--fg \"12345\" is no colour"},
        {{"--fg", "GG0000"}, "--fg \"GG0000\" is no colour"},
        {{"--bg", "#1234567"}, "--bg \"#1234567\" is no colour"},
        {{"--bg", "##123456"}, "is no colour"},
        {{"--fg", "#"}, "is no colour"},
        {{"--fg", "AbCdEf", "--bg", "abcdef"}, "the same colour"},
        {{"--fg", "ffffff"}, "the same colour"},
    };
    for (const std::string Command : {"render", "batch"})
        for (const Row& R : Rows) {
            SCOPED_TRACE(Command + " " + Joined(R.Args));
            Sandbox Box;
            Box.WriteFile("items.csv", "code\nA1\n");
            std::vector<std::string> Args{Command, "-b", "code128"};
            if (Command == "render")
                Args.insert(Args.end(), {"-d", "A1"});
            else
                Args.insert(Args.end(), {"--csv", "items.csv", "--field", "code", "-o", "out"});
            Args.insert(Args.end(), R.Args.begin(), R.Args.end());
            const RunResult Run = Box.Run(Args);
            EXPECT_EQ(Run.ExitCode, 2);
            ASSERT_EQ(Lines(Run.Err).size(), 1u) << Run.Err;
            EXPECT_TRUE(Contains(Run.Err, R.Said)) << Run.Err;
            EXPECT_EQ(Box.Entries(), std::vector<std::string>{"items.csv"});
        }
    // Light bars on a dark ground are drawn, with a word that most scanners will not read them.
    Sandbox Box;
    const RunResult Run =
        Box.Run({"render", "-b", "code128", "-d", "A1", "--fg", "FFFFFF", "--bg", "000000"});
    EXPECT_EQ(Run.ExitCode, 0);
    EXPECT_TRUE(Contains(Run.Err, "warning: --fg is lighter than --bg")) << Run.Err;
}

} // namespace
} // namespace lumivex::clitest
