// lumivex form render and form convert: loading a form file, painting its barcode components,
// naming their files, and converting between the two forms of a form file.

#include "tools/lumivex/FormCommand.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "components/BarcodeBmp.h"
#include "components/BarcodeControl.h"
#include "components/BarcodeTypes.h"
#include "components/DBBarcodeBmp.h"
#include "host/classes/Streaming.h"
#include "host/controls/Forms.h"
#include "host/db/DB.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"
#include "tools/lumivex/OutputFile.h"

namespace lumivex::cli {

void RegisterFormClasses() {
    vcl::RegisterHostClasses();
    RegisterBarcodeClasses();
    vcl::RegisterDBClasses();
}

bool IsBarcode(vcl::TComponent* C) {
    return dynamic_cast<TBarcodeBmp*>(C) != nullptr || dynamic_cast<TDBBarcodeBmp*>(C) != nullptr ||
           dynamic_cast<TBarcode*>(C) != nullptr;
}

// What the component shows: a bitmap component's bitmap, or the surface a control paints on
// after serving its pending paint as a window system would. A hidden control paints nothing:
// nullptr. A data-aware component renders only from its data link, so one whose link has no
// field shows the bitmap it was created with.
const vcl::TBitmap* Painted(vcl::TComponent& C) {
    if (auto* Bmp = dynamic_cast<TBarcodeBmp*>(&C))
        return &Bmp->GetBitmap();
    if (auto* DBBmp = dynamic_cast<TDBBarcodeBmp*>(&C))
        return &DBBmp->GetBitmap();
    auto& Control = dynamic_cast<TBarcode&>(C);
    if (!Control.GetVisible())
        return nullptr;
    Control.Update();
    return &Control.GetSurface();
}

namespace {

constexpr std::string_view BinarySignature = "TPF0";
// As the form reader's own limit: a form file is a few kilobytes, and a device that never ends
// must not be read into memory.
constexpr std::size_t MaxFormFileBytes = std::size_t{64} << 20;

std::string Lower(std::string S) {
    for (char& c : S)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return S;
}

// ---- render ----

// The root and the components it owns, which is every component a form file creates, in the
// order the file gives them.
std::vector<vcl::TComponent*> BarcodeComponents(vcl::TComponent& Root) {
    std::vector<vcl::TComponent*> Found;
    if (IsBarcode(&Root))
        Found.push_back(&Root);
    for (int i = 0; i < Root.GetComponentCount(); ++i)
        if (IsBarcode(Root.GetComponent(i)))
            Found.push_back(Root.GetComponent(i));
    return Found;
}

// A component's own name where it has one; else its class name and the first number from 1 up
// that names no other file, so that an unnamed component never takes a named one's file.
std::vector<std::string> FileStems(const std::vector<vcl::TComponent*>& Components) {
    // Names are unique without regard to case, and so must the files be on a file system that
    // ignores case.
    std::set<std::string> Taken;
    for (const vcl::TComponent* C : Components)
        if (!C->GetName().empty())
            Taken.insert(Lower(C->GetName()));
    std::set<std::string> Used;
    std::map<std::string, int> Next;
    std::vector<std::string> Stems;
    for (const vcl::TComponent* C : Components) {
        std::string Stem = C->GetName();
        if (Stem.empty() || Used.contains(Lower(Stem))) {
            const std::string Class = C->ClassName();
            do
                Stem = Class + std::to_string(++Next[Class]);
            while (Taken.contains(Lower(Stem)) || Used.contains(Lower(Stem)));
        }
        Used.insert(Lower(Stem));
        Stems.push_back(Stem);
    }
    return Stems;
}

std::string EncodePng(const vcl::TBitmap& Bitmap) {
    std::ostringstream Stream(std::ios::out | std::ios::binary);
    vcl::SaveBitmapToPng(Bitmap, Stream);
    return std::move(Stream).str();
}

struct Picture {
    std::string FileName;
    std::string Png;
};

void RunRender(const FormOptions& Options) {
    RegisterFormClasses();
    const std::string& File = Options.RenderFile;
    const std::unique_ptr<vcl::TComponent> Root = vcl::ReadComponentFile(File);

    const std::vector<vcl::TComponent*> Components = BarcodeComponents(*Root);
    if (Components.empty()) {
        std::cerr << "lumivex: note: " << File
                  << " holds no barcode components (TBarcodeBmp, TDBBarcodeBmp, TBarcode); nothing "
                     "written\n";
        return;
    }

    // Every picture is painted and encoded before the first file is written, so that a
    // component that fails leaves no half-written set behind.
    const std::vector<std::string> Stems = FileStems(Components);
    std::vector<Picture> Pictures;
    for (std::size_t i = 0; i < Components.size(); ++i) {
        vcl::TComponent& C = *Components[i];
        try {
            const vcl::TBitmap* Bitmap = Painted(C);
            if (Bitmap == nullptr) {
                std::cerr << "lumivex: note: " << File << ": " << Stems[i]
                          << " is not visible (Visible = False) and paints nothing; skipped\n";
                continue;
            }
            if (Bitmap->GetWidth() <= 0 || Bitmap->GetHeight() <= 0) {
                std::cerr << "lumivex: warning: " << File << ": " << Stems[i]
                          << " shows an empty bitmap (" << Bitmap->GetWidth() << " x "
                          << Bitmap->GetHeight() << "); skipped\n";
                continue;
            }
            Pictures.push_back({Stems[i] + ".png", EncodePng(*Bitmap)});
        } catch (const vcl::Exception& Error) {
            throw vcl::Exception(File + ": " + Stems[i] + ": " + Error.what());
        }
    }

    const std::filesystem::path Directory(Options.Directory);
    if (!Options.Directory.empty() && !Pictures.empty())
        CreateOutputDirectory(Options.Directory);
    for (const Picture& P : Pictures) {
        const std::string Path =
            Options.Directory.empty() ? P.FileName : (Directory / P.FileName).string();
        vcl::WriteFileAtomically(Path, P.Png);
        std::cout << Path << '\n';
    }
    std::cout << Pictures.size() << (Pictures.size() == 1 ? " barcode" : " barcodes") << " of "
              << File << " written to "
              << (Options.Directory.empty() ? std::string("the current directory")
                                            : Options.Directory)
              << '\n';
}

// ---- convert ----

std::string ReadInput(const std::string& Path) {
    std::error_code Ignored;
    if (std::filesystem::is_directory(Path, Ignored))
        throw vcl::EFOpenError("Cannot open file \"" + Path + "\": " + std::strerror(EISDIR));
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        throw vcl::EFOpenError("Cannot open file \"" + Path + "\": " + std::strerror(errno));
    std::string Data;
    char Buffer[65536];
    while (In.read(Buffer, sizeof Buffer) || In.gcount() > 0) {
        Data.append(Buffer, static_cast<std::size_t>(In.gcount()));
        if (Data.size() > MaxFormFileBytes)
            throw vcl::EReadError(Path + ": larger than " + std::to_string(MaxFormFileBytes >> 20) +
                                  " MiB, not a form file");
    }
    if (In.bad())
        throw vcl::EReadError(Path + ": cannot read");
    return Data;
}

void RunConvert(const FormOptions& Options) {
    const std::string Data = ReadInput(Options.ConvertInput);
    const bool FromBinary = Data.starts_with(BinarySignature);
    const bool ToBinary = Options.To.empty() ? !FromBinary : Options.To == "binary";
    std::string Converted;
    try {
        // A file kept in its own form still goes through the other one, which checks it and
        // lays it out as our writer does.
        if (FromBinary) {
            const std::string Text = vcl::ObjectBinaryToText(Data);
            Converted = ToBinary ? vcl::ObjectTextToBinary(Text) : Text;
        } else {
            const std::string Binary = vcl::ObjectTextToBinary(Data);
            Converted = ToBinary ? Binary : vcl::ObjectBinaryToText(Binary);
        }
    } catch (const vcl::Exception& Error) {
        throw vcl::EReadError(Options.ConvertInput + ": " + Error.what());
    }
    vcl::WriteFileAtomically(Options.ConvertOutput, Converted);
    std::cout << Options.ConvertOutput << '\n';
}

} // namespace

CLI::App* AddFormCommand(CLI::App& App, FormOptions& Options) {
    CLI::App* Form = App.add_subcommand("form", "Render or convert form files (text or binary)");
    Form->require_subcommand(1);

    CLI::App* Render = Form->add_subcommand(
        "render", "Write every barcode component of a form file as <Name>.png");
    Render->add_option("FILE", Options.RenderFile, "Form file, in the text or the binary form")
        ->required();
    Render
        ->add_option("-o,--output", Options.Directory,
                     "Directory for the PNG files, created if missing (default: the current "
                     "directory)")
        ->type_name("DIR");
    Render->footer(
        "Writes one PNG per barcode component, in the order of the file: a TBarcodeBmp's or a "
        "TDBBarcodeBmp's bitmap, and what a visible TBarcode control paints. Each file is named "
        "after its component, <Name>.png; an unnamed one gets <ClassName><number>.png. Existing "
        "files of those names are overwritten. Prints each path, then a summary.");

    CLI::App* Convert = Form->add_subcommand(
        "convert", "Convert a form file between the text and the binary (TPF0) form");
    Convert->add_option("IN", Options.ConvertInput, "Form file to read")->required();
    Convert->add_option("OUT", Options.ConvertOutput, "File to write; an existing one is replaced")
        ->required();
    Convert
        ->add_option("--to", Options.To,
                     "Form to write: text or binary (default: the form the input is not in)")
        ->check(CLI::IsMember({"text", "binary"}));
    Convert->footer("The conversion needs no component class: it checks the file's syntax, not "
                    "its classes or properties.");
    return Form;
}

void RunForm(const CLI::App& Form, const FormOptions& Options) {
    if (Form.got_subcommand("render"))
        RunRender(Options);
    else if (Form.got_subcommand("convert"))
        RunConvert(Options);
}

} // namespace lumivex::cli
