// What lumivex makes of its command line: symbology names, data filtering, usage errors, help.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

const std::vector<std::string> ShortNames{
    "code128", "ean128", "gs1-128", "gs1_128", "code39",  "code39ext", "code39-ext", "excode39",
    "upca",    "i2of5",  "int2of5", "i25",     "itf",     "code93",    "ean13",      "ean8",
    "postnet", "upce",   "upc2",    "ean2",    "upc2ext", "upc5",      "ean5",       "upc5ext",
};

TEST(SymbologyNames, EveryNameSelectsItsSymbology) {
    struct Row {
        const char* Name;
        TBarCodeType Type;
        const char* Human;
    };
    const std::vector<Row> Rows{
        {"code128", bcCode128, "Code 128"},
        {"bcCode128", bcCode128, "Code 128"},
        {"CODE128", bcCode128, "Code 128"},
        {"ean128", bcEAN128, "EAN-128"},
        {"gs1-128", bcEAN128, "EAN-128"},
        {"GS1_128", bcEAN128, "EAN-128"},
        {"bcean128", bcEAN128, "EAN-128"},
        {"code39", bcCode39, "Code 39"},
        {"bcCode39", bcCode39, "Code 39"},
        {"code39ext", bcCode39Ext, "Code 39 full ASCII"},
        {"Code39-Ext", bcCode39Ext, "Code 39 full ASCII"},
        {"excode39", bcCode39Ext, "Code 39 full ASCII"},
        {"bcCode39Ext", bcCode39Ext, "Code 39 full ASCII"},
        {"upca", bcUPCA, "UPC-A"},
        {"bcUPCA", bcUPCA, "UPC-A"},
        {"i2of5", bcInt2of5, "Interleaved 2 of 5"},
        {"int2of5", bcInt2of5, "Interleaved 2 of 5"},
        {"I25", bcInt2of5, "Interleaved 2 of 5"},
        {"itf", bcInt2of5, "Interleaved 2 of 5"},
        {"bcInt2of5", bcInt2of5, "Interleaved 2 of 5"},
        {"code93", bcCode93, "Code 93"},
        {"bcCode93", bcCode93, "Code 93"},
        {"ean13", bcEAN13, "EAN-13"},
        {"bcEAN13", bcEAN13, "EAN-13"},
        {"ean8", bcEAN8, "EAN-8"},
        {"bcEAN8", bcEAN8, "EAN-8"},
        {"postnet", bcPOSTNET, "POSTNET"},
        {"bcPOSTNET", bcPOSTNET, "POSTNET"},
        {"upce", bcUPCE, "UPC-E"},
        {"bcUPCE", bcUPCE, "UPC-E"},
        {"upc2", bcUPC2ext, "2-digit add-on"},
        {"ean2", bcUPC2ext, "2-digit add-on"},
        {"upc2ext", bcUPC2ext, "2-digit add-on"},
        {"bcUPC2ext", bcUPC2ext, "2-digit add-on"},
        {"upc5", bcUPC5ext, "5-digit add-on"},
        {"EAN5", bcUPC5ext, "5-digit add-on"},
        {"upc5ext", bcUPC5ext, "5-digit add-on"},
        {"bcUPC5ext", bcUPC5ext, "5-digit add-on"},
    };
    // Lower case and a byte above 128 tell the symbologies apart by what they drop and by
    // width: Code 39 makes capitals, Code 39 full ASCII and Code 93 count lower case double,
    // EAN-128 adds FNC1. The warning names the symbology where the width cannot (UPC-A and
    // EAN-13 are equally wide).
    const std::string Data = "ab12x\xC8";
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        Sandbox Box;
        const RunResult Run = Box.Run({"render", "-b", R.Name, "-d", Data, "--filter"});
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_TRUE(Contains(Run.Err, R.Human)) << Run.Err;
        const std::optional<PngImage> Image = DecodePng(ReadFile(Box / "out.png"));
        ASSERT_TRUE(Image.has_value());
        EXPECT_EQ(Image->Width, CalcWidth(1, R.Type, FilterBCText(R.Type, Data)));
    }
}

TEST(SymbologyNames, ZintNamesAndNumbersDrawAsOurs) {
    struct Row {
        std::string Zint, Data, Ours, OurData;
    };
    const std::vector<Row> Rows{
        {"CODE128", "Lumivex", "code128", "Lumivex"},
        {"20", "Lumivex", "code128", "Lumivex"},
        {"barcode_code128", "Lumivex", "code128", "Lumivex"},
        {"16", "0101234567890128", "ean128", "0101234567890128"},
        {"8", "LUMIVEX", "code39", "LUMIVEX"},
        {"9", "Lumivex", "code39ext", "Lumivex"},
        {"25", "CODE 93", "code93", "CODE 93"},
        {"C25INTER", "123456", "i2of5", "123456"},
        {"40", "55555", "postnet", "55555"},
        {"EANX", "400638133393", "ean13", "400638133393"},
        {"eanx", "9638507", "ean8", "9638507"},
        {"13", "12", "upc2", "12"},
        {"EANX", "52495", "upc5", "52495"},
        {"EANX_CHK", "4006381333931", "ean13", "400638133393"},
        {"14", "96385074", "ean8", "9638507"},
        {"UPCA_CHK", "036000291452", "upca", "03600029145"},
        {"37", "123456", "upce", "123456"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Zint + " " + R.Data);
        Sandbox Box;
        const RunResult Zint = Box.Run({"render", "-b", R.Zint, "-d", R.Data, "-o", "z.png"});
        ASSERT_EQ(Zint.ExitCode, 0) << Zint.Err;
        ASSERT_EQ(Box.Run({"render", "-b", R.Ours, "-d", R.OurData, "-o", "o.png"}).ExitCode, 0);
        EXPECT_EQ(ReadFile(Box / "z.png"), ReadFile(Box / "o.png"));
    }
    Sandbox Box;
    const RunResult Types = Box.Run({"-t"});
    EXPECT_EQ(Types.ExitCode, 0);
    EXPECT_EQ(Types.Out, Box.Run({"list"}).Out);
}

TEST(SymbologyNames, UnknownNameExitsTwoListingTheValidOnes) {
    for (const char* Name : {"qrcode", "code-128", "", "bcCode"}) {
        SCOPED_TRACE(Name);
        Sandbox Box;
        const RunResult Run = Box.Run({"render", "-b", Name, "-d", "123"});
        EXPECT_EQ(Run.ExitCode, 2);
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Err);
        ASSERT_EQ(Lines.size(), 1u) << Run.Err;
        EXPECT_EQ(Lines[0].rfind("lumivex: ", 0), 0u);
        EXPECT_TRUE(Contains(Lines[0], std::string("\"") + Name + "\""));
        for (const std::string& Short : ShortNames)
            EXPECT_TRUE(Contains(Lines[0], Short)) << Short;
        EXPECT_TRUE(Box.Entries().empty());
    }
}

TEST(DataFilter, DroppedAndCutCharactersAreReported) {
    struct Row {
        const char* Barcode;
        std::string Data;
        TBarCodeType Type;
        std::string Encoded;
        std::vector<std::string> Said; // on standard error
        std::vector<std::string> NotSaid;
    };
    // clang-format off
    const std::vector<Row> Rows{
        {"code128", "Lumivex 2026", bcCode128, "Lumivex 2026", {}, {"dropped", "cut"}},
        {"code39", "lumivex", bcCode39, "LUMIVEX", {}, {"dropped", "cut"}},
        {"code39", "ab#\x01" "c", bcCode39, "ABC", {"'#'", "0x01"}, {"cut", "'a'"}},
        {"code39", "A'B", bcCode39, "AB", {"\"'\""}, {}},
        {"code128", "A\xC8" "B\xC8", bcCode128, "AB", {"0xC8"}, {"cut"}},
        {"code128", "\x01\x7F\x80", bcCode128, "\x01\x7F\x80", {}, {"dropped"}},
        {"ean13", "978-3-16-148410-0", bcEAN13, "978316148410",
            {"'-'", "12", "\"978316148410\""}, {"'0'"}},
        {"upc2", "12345", bcUPC2ext, "12", {"cut", "\"12\""}, {"dropped"}},
        {"postnet", "12345-6789", bcPOSTNET, "123456789", {"'-'"}, {"cut"}},
    };
    // clang-format on
    for (const Row& R : Rows) {
        SCOPED_TRACE(std::string(R.Barcode) + " " + R.Data);
        Sandbox Box;
        const RunResult Run = Box.Run({"render", "-b", R.Barcode, "-d", R.Data, "--filter"});
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        ASSERT_EQ(FilterBCText(R.Type, R.Data), R.Encoded) << "the row disagrees with the filter";
        for (const std::string& Part : R.Said)
            EXPECT_TRUE(Contains(Run.Err, Part)) << Part;
        for (const std::string& Part : R.NotSaid)
            EXPECT_FALSE(Contains(Run.Err, Part)) << Part;
        for (const std::string& Line : Lines(Run.Err))
            EXPECT_EQ(Line.rfind("lumivex: ", 0), 0u);
        const std::optional<PngImage> Image = DecodePng(ReadFile(Box / "out.png"));
        ASSERT_TRUE(Image.has_value());
        EXPECT_EQ(Image->Width, CalcWidth(1, R.Type, R.Encoded));
    }
}

TEST(DataCheck, DataTheSymbologyWouldChangeIsRefusedNamingWhere) {
    struct Row {
        std::vector<std::string> Args;
        std::string Said; // in the one line on standard error
    };
    const std::vector<Row> Rows{
        {{"-b", "ean13", "-d", "12A45"}, "'A' at position 3"},
        {{"-b", "ean13", "-d", "4006381333932"}, "check digit 2 at position 13"},
        {{"-b", "upca", "-d", "0360002914512"}, "position 12 on is too many"},
        {{"-b", "upce", "-d", "11234565"}, "number system 0"},
        {{"-b", "code128", "-d", "M\xC3\xBCller"}, "byte 0xC3 at position 2"},
        {{"-b", "code39", "-d", "lumivex"}, "'l' at position 1 would be encoded as 'L'"},
        {{"-b", "upc5", "-d", "123456"}, "at most 5"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(Joined(R.Args));
        Sandbox Box;
        std::vector<std::string> Args{"render", "-o", "x.png"};
        Args.insert(Args.end(), R.Args.begin(), R.Args.end());
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 2);
        ASSERT_EQ(Lines(Run.Err).size(), 1u) << Run.Err;
        EXPECT_TRUE(Contains(Run.Err, R.Said)) << Run.Err;
        EXPECT_TRUE(Box.Entries().empty());
    }
}

TEST(DataCheck, RetailNumbersWithTheirCheckDigitDrawAsWithout) {
    const std::vector<std::vector<std::string>> Pairs{
        {"ean13", "4006381333931", "400638133393"},
        {"upca", "036000291452", "03600029145"},
        {"ean8", "96385074", "9638507"},
        {"upce", "01234565", "123456"},
        {"ean13", "12345", "12345"}, // short numbers are padded, as zint pads them
    };
    for (const auto& P : Pairs) {
        SCOPED_TRACE(P[1]);
        Sandbox Box;
        ASSERT_EQ(Box.Run({"render", "-b", P[0], "-d", P[1], "-o", "full.png"}).ExitCode, 0);
        ASSERT_EQ(Box.Run({"render", "-b", P[0], "-d", P[2], "-o", "short.png"}).ExitCode, 0);
        EXPECT_EQ(ReadFile(Box / "full.png"), ReadFile(Box / "short.png"));
    }
}

TEST(DataCheck, DefaultHeightFollowsTheScaleAndDecodes) {
    const bool Zbar = HaveZbar();
    for (int Scale = 1; Scale <= 8; ++Scale) {
        SCOPED_TRACE(Scale);
        Sandbox Box;
        const RunResult Run = Box.Run(
            {"render", "-b", "code128", "-d", "LUMIVEX-42", "--scale", std::to_string(Scale)});
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_EQ(Run.Err, "");
        const std::optional<PngImage> Image = DecodePng(ReadFile(Box / "out.png"));
        ASSERT_TRUE(Image.has_value());
        EXPECT_EQ(Image->Height, 50 * Scale);
        EXPECT_EQ(DecodedText(Box / "out.png"), "LUMIVEX-42");
        if (Zbar) {
            EXPECT_EQ(ZbarSymbols(Box / "out.png"),
                      std::vector<std::string>{"CODE-128:LUMIVEX-42"});
        }
    }
    // Text that leaves the bars less than half the height is said, not refused.
    Sandbox Box;
    const RunResult Low =
        Box.Run({"render", "-b", "code128", "-d", "LUMIVEX", "--scale", "2", "--height", "15"});
    EXPECT_EQ(Low.ExitCode, 0);
    EXPECT_TRUE(Contains(Low.Err, "less than half")) << Low.Err;
    if (!Zbar)
        GTEST_SKIP() << "zbarimg is not installed: read by zxing only";
}

TEST(DataFilter, NothingLeftExitsTwoWritingNothing) {
    struct Row {
        const char* Barcode;
        std::string Data;
    };
    const std::vector<Row> Rows{
        {"ean13", "ABC"}, {"code39", "#&"}, {"code128", ""}, {"code128", "\xC8\xFF"}, {"upc5", "-"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(std::string(R.Barcode) + " " + R.Data);
        Sandbox Box;
        const RunResult Run = Box.Run({"render", "-b", R.Barcode, "-d", R.Data});
        EXPECT_EQ(Run.ExitCode, 2);
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Err);
        ASSERT_FALSE(Lines.empty());
        EXPECT_EQ(Lines.back().rfind("lumivex: ", 0), 0u);
        EXPECT_TRUE(Box.Entries().empty());
    }
}

TEST(Usage, BadArgumentsExitTwoWithOneLineAndAHint) {
    const std::vector<std::vector<std::string>> Rows{
        {},
        {"frobnicate"},
        {"render", "-b", "code128", "-d", "x", "--rotate", "45"},
        {"render", "-b", "code128", "-d", "x", "--rotate", "-90"},
        {"render", "-b", "code128", "-d", "x", "--scale", "0"},
        {"render", "-b", "code128", "-d", "x", "--scale", "101"},
        {"render", "-b", "code128", "-d", "x", "--scale", "two"},
        {"render", "-b", "code128", "-d", "x", "--height", "0"},
        {"render", "-b", "code128", "-d", "x", "--height", "10001"},
        {"render", "-b", "code128", "-d", "x", "--dpi", "0"},
        {"render", "-b", "code128", "-d", "x", "--bogus"},
        {"render", "-b", "code128", "-d"},
        {"render", "-b", "code128"},
        {"render", "-d", "x"},
    };
    for (const auto& Args : Rows) {
        SCOPED_TRACE(Joined(Args));
        Sandbox Box;
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 2);
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Err);
        ASSERT_EQ(Lines.size(), 2u) << Run.Err;
        EXPECT_EQ(Lines[0].rfind("lumivex: ", 0), 0u);
        EXPECT_TRUE(Contains(Lines[1], "--help"));
        EXPECT_EQ(Run.Out, "");
        EXPECT_TRUE(Box.Entries().empty());
    }
}

TEST(Usage, HelpAndVersionExitZero) {
    struct Row {
        std::vector<std::string> Args;
        std::string Expected; // in standard output
    };
    const std::vector<Row> Rows{
        {{"--help"}, "render"},
        {{"-h"}, "samples"},
        {{"render", "--help"}, "--barcode"},
        {{"render", "-h"}, "gs1-128"},
        {{"samples", "--help"}, "out/samples"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Args.back());
        Sandbox Box;
        const RunResult Run = Box.Run(R.Args);
        EXPECT_EQ(Run.ExitCode, 0);
        EXPECT_TRUE(Contains(Run.Out, R.Expected)) << Run.Out;
        EXPECT_EQ(Run.Err, "");
        EXPECT_TRUE(Box.Entries().empty());
    }
    Sandbox Box;
    const RunResult Run = Box.Run({"--version"});
    EXPECT_EQ(Run.ExitCode, 0);
    EXPECT_EQ(Run.Out, "lumivex " LUMIVEX_VERSION "\n");
}

} // namespace
} // namespace lumivex::clitest
