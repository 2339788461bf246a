// The bitmap component: settings in, a rendered Bitmap out, afresh after every setting.
//   barcode_bmp [TEXT [FILE]]
#include <cstdio>
#include <exception>
#include <string>

#include <lumivex/Lumivex.h>

int main(int argc, char** argv) {
    const std::string text = argc > 1 ? argv[1] : "Lumivex 2026";
    const std::string file = argc > 2 ? argv[2] : "code128.png";
    try {
        lumivex::TBarcodeBmp barcode(nullptr);
        barcode.SetBarcodeType(lumivex::bcCode128);
        barcode.SetScale(2);
        barcode.SetHeight(60);
        barcode.SetInterpret(true);
        barcode.SetRotate(lumivex::bcRotate90);
        // Filtered for the symbology: GetBarcodeText() returns what is drawn.
        barcode.SetBarcodeText(text);
        // The component owns its bitmap; a turn swaps its width and height.
        const vcl::TBitmap& bitmap = barcode.GetBitmap();
        bitmap.SaveToFile(file + ".bmp");
        vcl::SaveBitmapToPngFile(bitmap, file);
        std::printf("%s: \"%s\", %d x %d pixels\n", file.c_str(), barcode.GetBarcodeText().c_str(),
                    bitmap.GetWidth(), bitmap.GetHeight());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "barcode_bmp: %s\n", e.what());
        return 1;
    }
}
