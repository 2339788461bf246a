// The engine alone: an EAN-13 rendered into a bitmap and saved as a PNG file.
//   ean13_png [DIGITS [FILE]]
#include <cstdio>
#include <exception>
#include <string>

#include <lumivex/engine/Barcode.h>

int main(int argc, char** argv) {
    const std::string digits = argc > 1 ? argv[1] : "400638133393";
    const std::string file = argc > 2 ? argv[2] : "ean13.png";
    try {
        vcl::TBitmap bitmap;
        bitmap.SetMonochrome(true);
        bitmap.SetPixelFormat(vcl::pf8bit);
        // CreateBC sets the width; the height is the caller's, and is the bar height.
        bitmap.SetHeight(80);
        const std::string text = lumivex::FilterBCText(lumivex::bcEAN13, digits);
        lumivex::CreateBC(bitmap, lumivex::bcEAN13, /*Scale*/ 2, /*Height*/ 80, text,
                          /*Interpret*/ true, lumivex::bcNoRotate);
        vcl::SaveBitmapToPngFile(bitmap, file);
        std::printf("%s: EAN-13 %s, %d x %d pixels\n", file.c_str(), text.c_str(),
                    bitmap.GetWidth(), bitmap.GetHeight());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ean13_png: %s\n", e.what());
        return 1;
    }
}
