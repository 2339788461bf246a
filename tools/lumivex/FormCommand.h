#pragma once
// lumivex form: the barcodes of a form file as PNG files, and form files converted between the
// text and the binary form.

#include <string>

namespace CLI {
class App;
}

namespace vcl {
class TBitmap;
class TComponent;
} // namespace vcl

namespace lumivex::cli {

// The classes a form file of barcodes may name: the host's, the components', the datasets'.
void RegisterFormClasses();
// TBarcodeBmp, TDBBarcodeBmp or TBarcode.
bool IsBarcode(vcl::TComponent* C);
// What a barcode component shows: a bitmap component's bitmap, or the surface a control paints
// on after serving its pending paint as a window system would; nullptr for a hidden control.
// A data-aware component renders only from its data link, so one whose link has no field shows
// the bitmap it was created with.
const vcl::TBitmap* Painted(vcl::TComponent& C);

struct FormOptions {
    // form render FILE [-o DIR]; an empty directory is the current one.
    std::string RenderFile;
    std::string Directory;
    // form convert IN OUT [--to text|binary]; empty: the form the input is not in.
    std::string ConvertInput;
    std::string ConvertOutput;
    std::string To;
};

// Adds "form" with its subcommands "render" and "convert", bound to Options, and returns it.
CLI::App* AddFormCommand(CLI::App& App, FormOptions& Options);

// Runs whichever subcommand of Form was given. A file that cannot be read or is not a form file
// raises a vcl exception whose message starts with the file's name (and, for a malformed file,
// the line or offset); nothing is written then.
void RunForm(const CLI::App& Form, const FormOptions& Options);

} // namespace lumivex::cli
