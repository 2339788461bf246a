// Prints the text of the barcode in a PNG file, as a real client reads it: libpng for the file,
// zxing-cpp for the symbol. Independent of the library under test on purpose.
//   decode_png FILE     (exit 1 when no symbol is read)
#include <cstdio>
#include <vector>

#include <png.h>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: decode_png FILE\n");
        return 2;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, argv[1])) {
        std::fprintf(stderr, "decode_png: %s: %s\n", argv[1], image.message);
        return 2;
    }
    image.format = PNG_FORMAT_GRAY;
    // A white border: the decoder wants some quiet space beyond the image's own.
    const int border = 8;
    const int width = static_cast<int>(image.width) + 2 * border;
    const int height = static_cast<int>(image.height) + 2 * border;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height, 0xFF);
    if (!png_image_finish_read(&image, nullptr, pixels.data() + border * width + border, width,
                               nullptr)) {
        std::fprintf(stderr, "decode_png: %s: %s\n", argv[1], image.message);
        return 2;
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes).setTryHarder(true).setTryRotate(true);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(pixels.data(), width, height, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid()) {
        std::fprintf(stderr, "decode_png: %s: no barcode read\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", result.text().c_str());
}
