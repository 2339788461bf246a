// SVG, EPS and PDF from lumivex render: bars on whole modules of --xdim, a page of the symbol's
// physical size, and, rasterised at the module's pixel width, the PNG's bars.

#include <gtest/gtest.h>

#include <filesystem>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

// The numbers in Text, in order; signs and decimals as the writers print them.
std::vector<double> Numbers(const std::string& Text) {
    std::vector<double> out;
    const char* p = Text.c_str();
    while (*p) {
        const bool starts = (*p >= '0' && *p <= '9') || (*p == '-' && p[1] >= '0' && p[1] <= '9');
        if (!starts) {
            ++p;
            continue;
        }
        char* end = nullptr;
        out.push_back(std::strtod(p, &end));
        p = end;
    }
    return out;
}

// What lies between the first Open at or after From and the Close after it; "" without them.
std::string Between(const std::string& Text, const std::string& Open, const std::string& Close,
                    std::size_t From = 0) {
    const std::size_t at = Text.find(Open, From);
    if (at == std::string::npos)
        return {};
    const std::size_t end = Text.find(Close, at + Open.size());
    return end == std::string::npos ? std::string{}
                                    : Text.substr(at + Open.size(), end - at - Open.size());
}

bool NearWhole(double V) {
    return std::abs(V - std::round(V)) < 1e-6;
}

TEST(VectorOutput, RasterisedAtTheModulesWidthItsBarsAreThePngs) {
    struct Row {
        const char* Barcode;
        const char* Data;
        const char* Rotate;
        bool Decodable;
    };
    const Row rows[] = {
        {"ean13", "400638133393", "0", true},
        {"code128", "Lumivex 2026", "90", true},
        {"upca", "03600029145", "180", true},
        {"postnet", "12345", "270", false},
        // Joined add-ons: two recordings side by side, turned as one.
        {"ean13", "400638133393+12", "90", false},
        {"upca", "03600029145+52495", "180", false},
    };
    Sandbox box;
    for (const Row& row : rows)
        for (const std::string format : {"svg", "pdf"}) {
            SCOPED_TRACE(std::string(row.Barcode) + " " + row.Rotate + " " + format);
            const std::vector<std::string> common{"render", "-b",       row.Barcode, "-d",
                                                  row.Data, "--xdim",   "0.33mm",    "--dpi",
                                                  "300",    "--rotate", row.Rotate};
            auto args = common;
            args.insert(args.end(), {"-o", "bars.png"});
            ASSERT_EQ(box.Run(args).ExitCode, 0);
            args = common;
            args.insert(args.end(), {"-o", "bars." + format});
            const RunResult r = box.Run(args);
            ASSERT_EQ(r.ExitCode, 0) << r.Err;
            const auto png = DecodePng(ReadFile(box / "bars.png"));
            ASSERT_TRUE(png);
            const std::string w = std::to_string(png->Width), h = std::to_string(png->Height);
            const std::string in = (box / ("bars." + format)).string();
            const std::string out = (box / "raster").string();
            const std::string command =
                format == "svg" ? "rsvg-convert -b white -w " + w + " -h " + h + " '" + in +
                                      "' -o '" + out + ".png'"
                                : "pdftoppm -png -singlefile -scale-to-x " + w + " -scale-to-y " +
                                      h + " '" + in + "' '" + out + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            const auto raster = DecodePng(ReadFile(box / "raster.png"));
            ASSERT_TRUE(raster);
            ASSERT_EQ(raster->Width, png->Width);
            ASSERT_EQ(raster->Height, png->Height);
            // A line across the bars, halfway along them: a row, or a column once turned.
            const bool sideways =
                std::string(row.Rotate) == "90" || std::string(row.Rotate) == "270";
            const int across = sideways ? png->Height : png->Width;
            int differing = 0;
            for (int i = 0; i < across; ++i) {
                const int x = sideways ? png->Width / 2 - 1 : i;
                const int y = sideways ? i : png->Height / 2 - 1;
                differing += (png->At(x, y) < 128) != (raster->At(x, y) < 128);
            }
            EXPECT_EQ(differing, 0);
            if (row.Decodable) {
                EXPECT_NE(DecodedText(box / "raster.png"), "");
            }
        }
}

TEST(VectorOutput, BarEdgesSitOnWholeModulesAndThePageIsTheSymbolsSize) {
    // 13 mil is 0.3302 mm or 0.936 pt; EAN-13 is 95 modules and 20 of quiet zone, 50 high.
    Sandbox box;
    const double xdimMm = 0.3302, xdimPt = 0.936;
    for (const std::string format : {"svg", "eps", "pdf"}) {
        SCOPED_TRACE(format);
        const RunResult r = box.Run({"render", "-b", "ean13", "-d", "400638133393", "--xdim",
                                     "13mil", "-o", "edges." + format});
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        const std::string file = ReadFile(box / ("edges." + format));
        if (format == "svg") {
            const std::size_t root = file.find("<svg");
            const std::string width = Between(file, " width=\"", "mm\"", root);
            const std::string height = Between(file, " height=\"", "mm\"", root);
            const std::vector<double> view = Numbers(Between(file, "viewBox=\"", "\"", root));
            ASSERT_FALSE(width.empty());
            ASSERT_FALSE(height.empty());
            ASSERT_EQ(view.size(), 4u);
            EXPECT_NEAR(std::stod(width), 115 * xdimMm, 1e-6);
            EXPECT_NEAR(std::stod(height), 50 * xdimMm, 1e-6);
            const double mmPerUnit = std::stod(width) / view[2];
            const std::vector<double> points =
                Numbers(Between(file, "fill:rgb(0%,0%,0%);fill-opacity:1;\" d=\"", "\""));
            ASSERT_GT(points.size(), 60u);
            for (std::size_t i = 0; i < points.size(); i += 2)
                EXPECT_TRUE(NearWhole(points[i] * mmPerUnit / xdimMm)) << points[i];
        } else if (format == "eps") {
            const std::size_t concat = file.find(" ] concat\n");
            ASSERT_NE(concat, std::string::npos);
            const std::vector<double> matrix =
                Numbers(file.substr(file.rfind("[ ", concat), concat - file.rfind("[ ", concat)));
            ASSERT_EQ(matrix.size(), 6u);
            EXPECT_DOUBLE_EQ(matrix[0], xdimPt);
            EXPECT_DOUBLE_EQ(matrix[3], xdimPt);
            // The bars, in the picture's units (one a module at scale 1), after the ink colour.
            const std::vector<double> points = Numbers(Between(file, "\n0 g\n", " f\n", concat));
            ASSERT_GT(points.size(), 60u);
            for (std::size_t i = 0; i < points.size(); i += 2)
                EXPECT_TRUE(NearWhole(points[i])) << points[i];
        } else {
            const std::vector<double> box = Numbers(Between(file, "/MediaBox [", "]"));
            ASSERT_EQ(box.size(), 4u);
            EXPECT_NEAR(box[2], 115 * xdimPt, 1e-5);
            EXPECT_NEAR(box[3], 50 * xdimPt, 1e-5);
        }
    }
}

TEST(VectorOutput, XDimIsALengthWithItsUnitAndPicksTheRastersPixels) {
    Sandbox box;
    const std::vector<std::string> base{"render", "-b", "ean13", "-d", "400638133393"};
    const std::vector<std::vector<std::string>> refused{
        {"--xdim", "0.33", "-o", "a.svg"},    {"--xdim", "0,33mm", "-o", "a.svg"},
        {"--xdim", "0.33 mm", "-o", "a.svg"}, {"--xdim", "-1mm", "-o", "a.svg"},
        {"--xdim", "0mm", "-o", "a.svg"},     {"--xdim", "5in", "-o", "a.svg"},
        {"--xdim", "1e-1mm", "-o", "a.pdf"},  {"--xdim", "13MIL", "-o", "a.eps"},
        {"--xdim", "13mil", "-o", "a.png"},   {"--xdim", "13mil", "--scale", "2", "-o", "a.svg"},
    };
    for (const auto& extra : refused) {
        auto args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        SCOPED_TRACE(Joined(args));
        const RunResult r = box.Run(args);
        EXPECT_EQ(r.ExitCode, 2);
        // One line of reason; CLI11's refusals add a pointer to --help.
        ASSERT_FALSE(r.Err.empty());
        EXPECT_EQ(r.Err.rfind("lumivex: ", 0), 0u) << r.Err;
        EXPECT_TRUE(Contains(Lines(r.Err)[0], "xdim")) << r.Err;
        EXPECT_TRUE(box.Entries().empty());
    }
    // 13 mil at 300 dpi is 3.9 pixels: 4 a module, which is 13.3 mil.
    auto args = base;
    args.insert(args.end(), {"--xdim", "13mil", "--dpi", "300", "-o", "a.png"});
    const RunResult r = box.Run(args);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(Contains(r.Err, "4 pixels a module, an X-dimension of 0.339 mm (13.3 mil)"))
        << r.Err;
    const auto png = DecodePng(ReadFile(box / "a.png"));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->Width, CalcWidth(4, bcEAN13, "400638133393"));
    EXPECT_EQ(png->Height, 200);
    EXPECT_EQ(DecodedText(box / "a.png"), "4006381333931");
}

TEST(VectorOutput, InkAndPaperTakeTheColoursGiven) {
    Sandbox box;
    const RunResult r = box.Run({"render", "-b", "code128", "-d", "ABC", "--fg", "1F3A93", "--bg",
                                 "FFFFEE", "-o", "c.svg"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const std::string svg = ReadFile(box / "c.svg");
    // cairo writes colours as percentages: 0x1F/255 is 12.156863%.
    EXPECT_TRUE(Contains(svg, "rgb(12.156863%,22.745098%,57.647059%)"));
    EXPECT_TRUE(Contains(svg, "rgb(100%,100%,93.333333%)"));
    EXPECT_FALSE(Contains(svg, "rgb(0%,0%,0%)"));
    EXPECT_FALSE(Contains(svg, "rgb(100%,100%,100%)"));
}

// Without its vector module the command still writes bitmaps, and a vector file fails with one
// line that names what is missing, leaving no file.
TEST(VectorOutput, AMissingModuleFailsTheVectorFileOnly) {
    Sandbox box;
    std::filesystem::create_directory(box / "bin");
    std::filesystem::copy_file(Sandbox::Executable(), box / "bin" / "lumivex");
    box.SetExecutable(box / "bin" / "lumivex");
    EXPECT_EQ(box.Run({"render", "-b", "code128", "-d", "ABC", "-o", "a.png"}).ExitCode, 0);
    const RunResult r = box.Run({"render", "-b", "code128", "-d", "ABC", "-o", "a.svg"});
    EXPECT_NE(r.ExitCode, 0);
    EXPECT_EQ(Lines(r.Err).size(), 1u) << r.Err;
    EXPECT_TRUE(Contains(r.Err, "no lumivex-vector.so")) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(box / "a.svg"));
}

} // namespace
} // namespace lumivex::clitest
