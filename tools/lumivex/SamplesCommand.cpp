// lumivex samples: the sample table and its rendering.

#include "tools/lumivex/SamplesCommand.h"

#include <array>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>

#include <CLI/CLI.hpp>

#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"
#include "tools/lumivex/OutputFile.h"
#include "tools/lumivex/Render.h"

namespace lumivex::cli {

namespace {

struct Sample {
    std::string_view FileName;
    TBarCodeType Type;
    std::string_view Text;
    TbcRotate Rotate;
};

// Texts that every symbology takes whole, so each sample shows a complete symbol.
constexpr std::array<Sample, 17> SampleSet{{
    {"code128.png", bcCode128, "Lumivex 2026", bcNoRotate},
    {"code128-numeric.png", bcCode128, "1234567890", bcNoRotate},
    {"ean128.png", bcEAN128, "0101234567890128", bcNoRotate},
    {"code128-rot90.png", bcCode128, "Lumivex 2026", bcRotate90},
    {"code128-rot180.png", bcCode128, "Lumivex 2026", bcRotate180},
    {"code128-rot270.png", bcCode128, "Lumivex 2026", bcRotate270},
    {"code39.png", bcCode39, "LUMIVEX-39", bcNoRotate},
    {"code39ext.png", bcCode39Ext, "Lumivex 39", bcNoRotate},
    {"upca.png", bcUPCA, "03600029145", bcNoRotate},
    {"i2of5.png", bcInt2of5, "1234567890", bcNoRotate},
    {"code93.png", bcCode93, "CODE 93", bcNoRotate},
    {"ean13.png", bcEAN13, "400638133393", bcNoRotate},
    {"ean8.png", bcEAN8, "9638507", bcNoRotate},
    {"postnet.png", bcPOSTNET, "55555", bcNoRotate},
    {"upce.png", bcUPCE, "123456", bcNoRotate},
    {"upc2.png", bcUPC2ext, "12", bcNoRotate},
    {"upc5.png", bcUPC5ext, "52495", bcNoRotate},
}};

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

    for (const Sample& S : SampleSet) {
        RenderSettings Settings;
        Settings.Type = S.Type;
        // Filtered as a component would; the texts above pass unchanged.
        Settings.Text = FilterBCText(S.Type, std::string(S.Text));
        Settings.Scale = SampleScale;
        Settings.Height = SampleHeight;
        Settings.Interpret = true;
        Settings.Rotate = S.Rotate;

        vcl::TBitmap Bitmap;
        RenderBarcode(Bitmap, Settings);
        const std::string Path = (Directory / S.FileName).string();
        vcl::WriteFileAtomically(Path, EncodeImage(Bitmap, ImageFormat::Png, 0));
        std::cout << Path << '\n';
    }
    std::cout << SampleSet.size() << " samples written to " << Options.Directory << '\n';
}

} // namespace lumivex::cli
