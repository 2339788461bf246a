// A form file, as the designer saves it, read into components: one PNG per bitmap component.
//   form_file FORM [DIRECTORY]
#include <cstdio>
#include <exception>
#include <string>

#include <lumivex/Lumivex.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: form_file FORM [DIRECTORY]\n");
        return 2;
    }
    const std::string directory = argc > 2 ? std::string(argv[2]) + "/" : "";
    try {
        // The reader makes components by class name: every class a form may hold is registered.
        vcl::RegisterHostClasses();
        lumivex::RegisterBarcodeClasses();
        vcl::RegisterDBClasses();
        const auto form = vcl::ReadComponentFile(argv[1]);
        // Each TBarcodeBmp rendered once, in Loaded, with the settings the file gave it.
        for (int i = 0; i < form->GetComponentCount(); ++i) {
            auto* barcode = dynamic_cast<lumivex::TBarcodeBmp*>(form->GetComponent(i));
            if (!barcode)
                continue;
            const std::string file = directory + barcode->GetName() + ".png";
            vcl::SaveBitmapToPngFile(barcode->GetBitmap(), file);
            std::printf("%s: \"%s\"\n", file.c_str(), barcode->GetBarcodeText().c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "form_file: %s\n", e.what());
        return 1;
    }
}
