// lumivex samples: the files it writes, what they hold, and where it refuses to write.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

struct ExpectedSample {
    const char* File;
    TBarCodeType Type;
    const char* Text;
    bool Turned;
};

const std::vector<ExpectedSample> Expected{
    {"code128.png", bcCode128, "Lumivex 2026", false},
    {"code128-numeric.png", bcCode128, "1234567890", false},
    {"ean128.png", bcEAN128, "0101234567890128", false},
    {"code128-rot90.png", bcCode128, "Lumivex 2026", true},
    {"code128-rot180.png", bcCode128, "Lumivex 2026", false},
    {"code128-rot270.png", bcCode128, "Lumivex 2026", true},
    {"code39.png", bcCode39, "LUMIVEX-39", false},
    {"code39ext.png", bcCode39Ext, "Lumivex 39", false},
    {"upca.png", bcUPCA, "03600029145", false},
    {"i2of5.png", bcInt2of5, "1234567890", false},
    {"code93.png", bcCode93, "CODE 93", false},
    {"ean13.png", bcEAN13, "400638133393", false},
    {"ean8.png", bcEAN8, "9638507", false},
    {"postnet.png", bcPOSTNET, "55555", false},
    {"upce.png", bcUPCE, "123456", false},
    {"upc2.png", bcUPC2ext, "12", false},
    {"upc5.png", bcUPC5ext, "52495", false},
};

TEST(SamplesCommand, WritesEverySampleAndListsIt) {
    struct Row {
        std::vector<std::string> Args;
        std::string Directory;
    };
    const std::vector<Row> Rows{
        {{"samples"}, "out/samples"},
        {{"samples", "-o", "a/b/c"}, "a/b/c"},
        {{"samples", "--output", "."}, "."},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Directory);
        Sandbox Box;
        const RunResult Run = Box.Run(R.Args);
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        EXPECT_EQ(Run.Err, "");
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Out);
        ASSERT_EQ(Lines.size(), Expected.size() + 1) << Run.Out;
        EXPECT_NE(Lines.back().find(std::to_string(Expected.size())), std::string::npos);

        std::vector<std::string> Written;
        for (const ExpectedSample& S : Expected) {
            SCOPED_TRACE(S.File);
            ASSERT_EQ(FilterBCText(S.Type, S.Text), S.Text) << "a sample text the filter cuts";
            const std::filesystem::path Path = std::filesystem::path(R.Directory) / S.File;
            EXPECT_NE(std::find(Lines.begin(), Lines.end(), Path.string()), Lines.end());
            const std::optional<PngImage> Image = DecodePng(ReadFile(Box.Dir() / Path));
            ASSERT_TRUE(Image.has_value());
            const int Width = CalcWidth(2, S.Type, S.Text);
            EXPECT_EQ(Image->Width, S.Turned ? 80 : Width);
            EXPECT_EQ(Image->Height, S.Turned ? Width : 80);
            Written.push_back(S.File);
        }
        std::sort(Written.begin(), Written.end());
        std::vector<std::string> Present;
        for (const auto& Entry : std::filesystem::directory_iterator(Box.Dir() / R.Directory))
            if (Entry.is_regular_file())
                Present.push_back(Entry.path().filename().string());
        std::sort(Present.begin(), Present.end());
        EXPECT_EQ(Present, Written) << "stray or missing files";
    }
}

TEST(SamplesCommand, UnusableDirectoryExitsOne) {
    for (const char* Directory : {"file.txt", "file.txt/below"}) {
        SCOPED_TRACE(Directory);
        Sandbox Box;
        Box.WriteFile("file.txt", "x");
        const RunResult Run = Box.Run({"samples", "-o", Directory});
        EXPECT_EQ(Run.ExitCode, 1);
        const std::vector<std::string> Lines = lumivex::clitest::Lines(Run.Err);
        ASSERT_EQ(Lines.size(), 1u) << Run.Err;
        EXPECT_EQ(Lines[0].rfind("lumivex: ", 0), 0u);
        EXPECT_EQ(Box.Entries(), std::vector<std::string>{"file.txt"});
        EXPECT_EQ(ReadFile(Box / "file.txt"), "x");
    }
}

} // namespace
} // namespace lumivex::clitest
