// Retail numbers joined with their add-on: what zbar reads, where the bars sit, what is refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Barcode.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

struct JoinedRow {
    const char* Barcode;
    TBarCodeType Type;
    std::string Main;
    std::string AddOn;
    // What zbar reads: the full number with its check digit, the add-on's digits.
    std::string MainRead;
    std::string AddOnRead;
};

// One picture drawn with the given arguments after render, read back.
PngImage Rendered(const Sandbox& Box, std::vector<std::string> Args, const std::string& Name) {
    Args.insert(Args.begin(), "render");
    Args.insert(Args.end(), {"-o", Name});
    const RunResult Run = Box.Run(Args);
    EXPECT_EQ(Run.ExitCode, 0) << Joined(Args) << ": " << Run.Err;
    EXPECT_EQ(Run.Err, "") << Joined(Args);
    return DecodePng(ReadFile(Box / Name)).value_or(PngImage{});
}

// Image turned clockwise by Degrees, as the engine turns its pictures.
PngImage Turned(const PngImage& Image, int Degrees) {
    const bool Quarter = Degrees % 180 != 0;
    PngImage Out;
    Out.Width = Quarter ? Image.Height : Image.Width;
    Out.Height = Quarter ? Image.Width : Image.Height;
    Out.Grey.resize(Image.Grey.size());
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0; x < Image.Width; ++x) {
            int X = x, Y = y;
            if (Degrees == 90)
                X = Image.Height - 1 - y, Y = x;
            else if (Degrees == 180)
                X = Image.Width - 1 - x, Y = Image.Height - 1 - y;
            else if (Degrees == 270)
                X = y, Y = Image.Width - 1 - x;
            Out.Grey[static_cast<std::size_t>(Y) * static_cast<std::size_t>(Out.Width) +
                     static_cast<std::size_t>(X)] = Image.At(x, y);
        }
    return Out;
}

// The rows of column X that are dark, as [first, last + 1); {0, 0} for none.
std::pair<int, int> DarkRows(const PngImage& Image, int X) {
    int First = -1, Last = -1;
    for (int y = 0; y < Image.Height; ++y)
        if (Image.At(X, y) < 128) {
            if (First < 0)
                First = y;
            Last = y;
        }
    return First < 0 ? std::pair{0, 0} : std::pair{First, Last + 1};
}

void PrintTo(const JoinedRow& Row, std::ostream* Out) {
    *Out << Row.Barcode << ' ' << Row.Main << '+' << Row.AddOn;
}

class JoinedAddOn : public testing::TestWithParam<JoinedRow> {};

// Scales 1 to 4, every turn. At one pixel a module zbar 0.23 reads neither a UPC-A nor some
// 5-digit add-ons, drawn alone by us or by zint: there, the pair must read as its two symbols do
// alone, which catches a join that spoils either.
TEST_P(JoinedAddOn, ReadsAsTheMainSymbolPlusItsAddOn) {
    if (!HaveZbar())
        GTEST_SKIP() << "zbarimg is not installed (scripts/install-deps.sh installs it)";
    const JoinedRow& J = GetParam();
    const TBarCodeType AddOnType = J.AddOn.size() == 2 ? bcUPC2ext : bcUPC5ext;
    std::vector<std::string> Both = {J.MainRead, J.AddOnRead};
    std::sort(Both.begin(), Both.end());
    for (int Scale = 1; Scale <= 4; ++Scale) {
        SCOPED_TRACE("scale " + std::to_string(Scale));
        Sandbox Box;
        const std::string S = std::to_string(Scale);
        const std::vector<std::string> Args{"-b",      J.Barcode, "-d", J.Main + "+" + J.AddOn,
                                            "--scale", S};
        const PngImage Flat = Rendered(Box, Args, "flat.png");
        std::vector<std::string> Expected = Both;
        if (Scale == 1) {
            Rendered(Box, {"-b", J.Barcode, "-d", J.Main}, "main.png");
            Rendered(Box, {"-b", J.AddOn.size() == 2 ? "upc2" : "upc5", "-d", J.AddOn}, "add.png");
            Expected = ZbarSymbols(Box / "main.png");
            for (const std::string& Read : ZbarSymbols(Box / "add.png"))
                Expected.push_back(Read);
            std::sort(Expected.begin(), Expected.end());
        }
        EXPECT_EQ(ZbarSymbols(Box / "flat.png"), Expected);

        // The main symbol's quiet zone is the gap; the add-on keeps its own right one. Both sets
        // of bars end on one row, the add-on's starting 15 modules down, below its text.
        const int MainWidth = CalcWidth(Scale, J.Type, J.Main);
        EXPECT_EQ(Flat.Width, MainWidth + CalcWidth(Scale, AddOnType, J.AddOn) - 10 * Scale);
        EXPECT_EQ(Flat.Height, 50 * Scale);
        const int Bottom = 45 * Scale;
        EXPECT_EQ(DarkRows(Flat, 10 * Scale), std::pair(0, Bottom));
        EXPECT_EQ(DarkRows(Flat, MainWidth), std::pair(15 * Scale, Bottom));
        // Above the check digit that UPC-A and UPC-E print there, the gap is clear.
        for (int y = 15 * Scale; y < 35 * Scale; ++y)
            for (int x = MainWidth - 10 * Scale; x < MainWidth; ++x)
                ASSERT_GE(Flat.At(x, y), 128) << "ink in the gap at " << x << ", " << y;

        for (const int Degrees : {90, 180, 270}) {
            SCOPED_TRACE(std::to_string(Degrees) + " degrees");
            std::vector<std::string> TurnArgs = Args;
            TurnArgs.insert(TurnArgs.end(), {"--rotate", std::to_string(Degrees)});
            const PngImage Turn = Rendered(Box, TurnArgs, "turned.png");
            const PngImage Want = Turned(Flat, Degrees);
            EXPECT_EQ(Turn.Width, Want.Width);
            EXPECT_TRUE(Turn.Grey == Want.Grey) << "not the unturned picture turned";
            EXPECT_EQ(ZbarSymbols(Box / "turned.png"), Expected);
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Retail, JoinedAddOn, testing::Values(
    JoinedRow{"ean13", bcEAN13, "400638133393", "12", "EAN-13:4006381333931", "EAN-2:12"},
    JoinedRow{"ean13", bcEAN13, "400638133393", "52495", "EAN-13:4006381333931", "EAN-5:52495"},
    JoinedRow{"upca", bcUPCA, "03600029145", "12", "UPC-A:036000291452", "EAN-2:12"},
    JoinedRow{"upca", bcUPCA, "03600029145", "52495", "UPC-A:036000291452", "EAN-5:52495"},
    JoinedRow{"upce", bcUPCE, "123456", "47", "UPC-E:01234565", "EAN-2:47"},
    JoinedRow{"upce", bcUPCE, "123456", "00000", "UPC-E:01234565", "EAN-5:00000"},
    JoinedRow{"ean8", bcEAN8, "9638507", "99", "EAN-8:96385074", "EAN-2:99"},
    JoinedRow{"ean8", bcEAN8, "9638507", "90000", "EAN-8:96385074", "EAN-5:90000"}),
    [](const testing::TestParamInfo<JoinedRow>& Row) {
        return Row.param.Barcode + std::string("_") + Row.param.AddOn;
    });
// clang-format on

TEST(JoinedAddOnData, CheckDigitOptionalAndTheRestRefused) {
    Sandbox Box;
    ASSERT_EQ(Box.Run({"render", "-b", "ean13", "-d", "4006381333931+12", "-o", "a.png"}).ExitCode,
              0);
    ASSERT_EQ(Box.Run({"render", "-b", "ean13", "-d", "400638133393+12", "-o", "b.png"}).ExitCode,
              0);
    EXPECT_EQ(ReadFile(Box / "a.png"), ReadFile(Box / "b.png"));

    struct Row {
        std::string Barcode;
        std::string Data;
        std::string Said;
    };
    const std::vector<Row> Rows{
        {"ean13", "400638133393+123", "has 3 digits"},
        {"ean13", "400638133393+", "has 0 digits"},
        {"ean13", "400638133393+1x", "'x' at position 15 is no digit"},
        {"ean13", "400638133393+12+34", "'+' at position 16 is no digit"},
        {"ean13", "+12", "no number before the '+'"},
        {"ean13", "4006381333932+12", "check digit 2 at position 13 is wrong"},
        {"upca", "0360002914A+12", "'A' at position 11"},
        {"i2of5", "12+34", "only EAN-13, UPC-A, UPC-E and EAN-8"},
        {"upc5", "12345+12", "only EAN-13, UPC-A, UPC-E and EAN-8"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Barcode + " " + R.Data);
        Sandbox Box;
        const RunResult Run = Box.Run({"render", "-b", R.Barcode, "-d", R.Data});
        EXPECT_EQ(Run.ExitCode, 2);
        ASSERT_EQ(Lines(Run.Err).size(), 1u) << Run.Err;
        EXPECT_TRUE(Contains(Run.Err, R.Said)) << Run.Err;
        EXPECT_TRUE(Box.Entries().empty());
    }
    // Where '+' is a character of the symbology, it is data.
    EXPECT_EQ(Box.Run({"render", "-b", "code39", "-d", "A+B", "-o", "c.png"}).ExitCode, 0);
    EXPECT_EQ(DecodedText(Box / "c.png"), "A+B");
}

} // namespace
} // namespace lumivex::clitest
