// The bridge between rendered bitmaps and zxing-cpp, shared by every decoder test.
#include "tests/engine/Decode.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Text as UTF-8, the return type zxing moves to; also keeps its transition notice quiet.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace lumivex::test {

bool DecoderReads(TBarCodeType BarcodeType) {
    const TSymbology* row = SymbologyOf(BarcodeType);
    return row && row->DecoderReads;
}

DecodeOptions DecodeOptionsFor(TBarCodeType BarcodeType, TbcRotate Rotate) {
    using ZXing::BarcodeFormat;
    DecodeOptions options;
    options.TryRotate = Rotate == bcRotate90 || Rotate == bcRotate270;
    switch (BarcodeType) {
    case bcCode128:
    case bcEAN128:
        options.Formats = BarcodeFormat::Code128;
        break;
    case bcCode39:
        options.Formats = BarcodeFormat::Code39;
        break;
    case bcCode39Ext:
        options.Formats = BarcodeFormat::Code39;
        options.Code39Extended = true;
        break;
    case bcCode93:
        options.Formats = BarcodeFormat::Code93;
        break;
    case bcInt2of5:
        options.Formats = BarcodeFormat::ITF;
        break;
    case bcUPCA:
    case bcEAN13:
        options.Formats = BarcodeFormat::EAN13 | BarcodeFormat::UPCA;
        break;
    case bcEAN8:
        options.Formats = BarcodeFormat::EAN8;
        break;
    case bcUPCE:
        options.Formats = BarcodeFormat::UPCE;
        break;
    case bcPOSTNET:
    case bcUPC2ext:
    case bcUPC5ext:
        break;
    }
    return options;
}

DecodeResult Decode(const vcl::TBitmap& Bitmap, const DecodeOptions& Options) {
    DecodeResult out;
    if (Options.Formats.empty()) {
        out.Error = "no format to look for";
        return out;
    }
    if (Bitmap.Empty()) {
        out.Error = "empty bitmap";
        return out;
    }

    // PixelColor speaks every pixel format, so the test need not care which one CreateBC left.
    const int border = std::max(0, Options.Border);
    const int width = Bitmap.GetWidth() + 2 * border;
    const int height = Bitmap.GetHeight() + 2 * border;
    std::vector<std::uint8_t> luminance(static_cast<std::size_t>(width) * height, 0xFF);
    for (int y = 0; y < Bitmap.GetHeight(); ++y) {
        std::uint8_t* row =
            luminance.data() + static_cast<std::size_t>(y + border) * width + border;
        for (int x = 0; x < Bitmap.GetWidth(); ++x) {
            const vcl::TColor c = Bitmap.PixelColor(x, y);
            row[x] = ZXing::RGBToLum(vcl::GetRValue(c), vcl::GetGValue(c), vcl::GetBValue(c));
        }
    }

    // Downscaling would only add a second, coarser chance to read; a rendered symbol must read
    // at full resolution.
    ZXing::DecodeHints hints;
    hints.setFormats(Options.Formats)
        .setTryHarder(true)
        .setTryRotate(Options.TryRotate)
        .setTryDownscale(false)
        .setTryCode39ExtendedMode(Options.Code39Extended);
    const ZXing::ImageView image(luminance.data(), width, height, ZXing::ImageFormat::Lum);
    ZXing::Result result = ZXing::ReadBarcode(image, hints);
    // Asked to return errors, zxing stops at the first row that fails its check (a row through
    // the text box, say) instead of looking further; so errors are asked for only to explain a
    // symbol that no row reads (a checksum error points at the check symbol, not at the bars).
    if (!result.isValid())
        result = ZXing::ReadBarcode(image, hints.setReturnErrors(true));

    out.Read = result.isValid();
    out.Format = result.format();
    const ZXing::ByteArray& bytes = result.bytes();
    out.Bytes.assign(bytes.begin(), bytes.end());
    out.Utf8 = result.text();
    out.SymbologyIdentifier = result.symbologyIdentifier();
    out.Orientation = (result.orientation() % 360 + 360) % 360;
    if (result.format() == ZXing::BarcodeFormat::None)
        out.Error = "no symbol found";
    else if (result.error())
        out.Error = ZXing::ToString(result.error());
    return out;
}

std::string NotReadAs(const DecodeResult& Got, ZXing::BarcodeFormat Format,
                      const std::string& Bytes) {
    if (Got.Format != Format)
        return std::string("read as ") + ZXing::ToString(Got.Format);
    if (Got.Bytes != Bytes)
        return "read \"" + Escaped(Got.Bytes) + "\"";
    return {};
}

ReadCheck ReadsAs(ZXing::BarcodeFormat Format, const std::string& Bytes) {
    return [Format, Bytes](const DecodeResult& Got) { return NotReadAs(Got, Format, Bytes); };
}

namespace {

const char* RotateName(TbcRotate Rotate) {
    switch (Rotate) {
    case bcNoRotate:
        return "bcNoRotate";
    case bcRotate90:
        return "bcRotate90";
    case bcRotate180:
        return "bcRotate180";
    case bcRotate270:
        return "bcRotate270";
    }
    return "?";
}

} // namespace

testing::AssertionResult ReadsBackEverywhere(TBarCodeType Type, const std::string& Text,
                                             const ReadCheck& Check, int Height) {
    for (int scale = 1; scale <= 3; ++scale) {
        for (int r = 0; r < RotateCount; ++r) {
            const auto rotate = static_cast<TbcRotate>(r);
            for (const bool interpret : {false, true}) {
                vcl::TBitmap bmp;
                PrepareBitmap(bmp, Height);
                CreateBC(bmp, Type, scale, Height, Text, interpret, rotate);
                const DecodeResult got = Decode(bmp, DecodeOptionsFor(Type, rotate));
                std::string why = got.Read ? Check(got) : "not read: " + got.Error;
                if (why.empty() && got.Orientation != 90 * r)
                    why = "read at " + std::to_string(got.Orientation) + " degrees";
                if (!why.empty())
                    return testing::AssertionFailure()
                           << "scale " << scale << ", " << RotateName(rotate) << ", interpret "
                           << interpret << ": " << why;
            }
        }
    }
    return testing::AssertionSuccess();
}

} // namespace lumivex::test
