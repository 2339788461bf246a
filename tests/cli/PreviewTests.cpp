// lumivex preview as a script uses it: the form painted into a PNG whose barcode a real decoder
// reads, from a symbology or from a form file's component, and one line for what cannot be done.
#include <gtest/gtest.h>

#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

TEST(Preview, AScreenshotShowsTheFormAndItsBarcodeReads) {
    Sandbox Box;
    Box.WriteFile("label.dfm", "object Labels: TDataModule\n"
                               "  object Item: TBarcodeBmp\n"
                               "    BarcodeType = bcEAN13\n"
                               "    BarcodeText = '400638133393'\n"
                               "    Scale = 1\n"
                               "  end\n"
                               "end\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> Cases = {
        {{"preview", "-b", "code128", "-d", "LUMIVEX-2026", "--screenshot", "a.png"},
         "LUMIVEX-2026"},
        {{"preview", "--form", "label.dfm", "--component", "Item", "--screenshot", "a.png"},
         "4006381333931"},
    };
    for (const auto& [Args, Text] : Cases) {
        SCOPED_TRACE(Joined(Args));
        const RunResult Run = Box.Run(Args);
        ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
        const std::optional<PngImage> Shot = DecodePng(ReadFile(Box / "a.png"));
        ASSERT_TRUE(Shot);
        EXPECT_EQ(Shot->Width, 232);
        EXPECT_EQ(Shot->Height, 205);
        EXPECT_EQ(Shot->At(8, 8), 128) << "the panel's lowered bevel";
        EXPECT_EQ(Shot->At(224, 168), 255);
        EXPECT_EQ(DecodedText(Box / "a.png"), Text);
    }
}

TEST(Preview, WhatCannotBeShownIsOneLineAndExitTwo) {
    Sandbox Box;
    Box.WriteFile("label.dfm",
                  "object Labels: TDataModule\n  object Note: TDataModule\n  end\nend\n");
    for (const std::vector<std::string>& Args :
         {std::vector<std::string>{"preview", "--screenshot", "a.png"},
          {"preview", "-b", "code128", "--screenshot", "a.png"},
          {"preview", "-b", "code128", "-d", "x", "--screenshot", "a.bmp"},
          {"preview", "--form", "label.dfm", "--component", "Nothing", "--screenshot", "a.png"},
          {"preview", "--form", "label.dfm", "--component", "Labels", "--screenshot", "a.png"},
          {"preview", "--form", "label.dfm", "-b", "code128", "--component", "Labels"}}) {
        SCOPED_TRACE(Joined(Args));
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 2);
        EXPECT_EQ(Lines(Run.Err).size(), Run.Err.find("--help") != std::string::npos ? 2u : 1u)
            << Run.Err;
        EXPECT_FALSE(std::filesystem::exists(Box / "a.png"));
    }
}

} // namespace
} // namespace lumivex::clitest
