// lumivex samples: the sample table and its rendering.

#include "tools/lumivex/SamplesCommand.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"
#include "tools/lumivex/OutputFile.h"
#include "tools/lumivex/Render.h"

namespace lumivex::cli {

namespace {

struct Sample {
    TBarCodeType Type;
    // Put after the short name in the file name.
    std::string_view Suffix;
    // Empty for the table's sample text.
    std::string_view Text;
    TbcRotate Rotate;
};

// Code 128 comes first, in its forms and turns; every symbology not shown here follows with the
// sample text of its table row, so each sample shows a complete symbol.
constexpr std::array<Sample, 6> Showcase{{
    {bcCode128, "", "", bcNoRotate},
    {bcCode128, "-numeric", "1234567890", bcNoRotate},
    {bcEAN128, "", "", bcNoRotate},
    {bcCode128, "-rot90", "", bcRotate90},
    {bcCode128, "-rot180", "", bcRotate180},
    {bcCode128, "-rot270", "", bcRotate270},
}};

std::vector<Sample> SampleSet() {
    std::vector<Sample> Set(Showcase.begin(), Showcase.end());
    for (const TSymbology& Row : BC_Symbologies)
        if (std::none_of(Showcase.begin(), Showcase.end(),
                         [&](const Sample& S) { return S.Type == Row.Type; }))
            Set.push_back({Row.Type, "", "", bcNoRotate});
    return Set;
}

constexpr int SampleScale = 2;
constexpr int SampleHeight = 80;

} // namespace

CLI::App* AddSamplesCommand(CLI::App& App, SamplesOptions& Options) {
    CLI::App* Samples =
        App.add_subcommand("samples", "Render a sample of every symbology and rotation as PNG");
    Samples->add_option("-o,--output", Options.Directory, "Directory for the sample files")
        ->capture_default_str();
    return Samples;
}

void RunSamples(const SamplesOptions& Options) {
    const std::filesystem::path Directory(Options.Directory);
    CreateOutputDirectory(Options.Directory);

    const std::vector<Sample> Set = SampleSet();
    for (const Sample& S : Set) {
        const TSymbology& Row = BC_Symbologies[S.Type];
        RenderSettings Settings;
        Settings.Type = S.Type;
        // Filtered as a component would; the sample texts pass unchanged.
        Settings.Text = FilterBCText(S.Type, std::string(S.Text.empty() ? Row.Sample : S.Text));
        Settings.Scale = SampleScale;
        Settings.Height = SampleHeight;
        Settings.Interpret = true;
        Settings.Rotate = S.Rotate;

        vcl::TBitmap Bitmap;
        RenderBarcode(Bitmap, Settings);
        const std::string FileName =
            std::string(Row.PrimaryName()) + std::string(S.Suffix) + ".png";
        const std::string Path = (Directory / FileName).string();
        vcl::WriteFileAtomically(Path, EncodeImage(Bitmap, ImageFormat::Png, 0));
        std::cout << Path << '\n';
    }
    std::cout << Set.size() << " samples written to " << Options.Directory << '\n';
}

} // namespace lumivex::cli
