// lumivex preview: the bitmap from a symbology or a form file's component, shown in TFBCModal.

#include "tools/lumivex/PreviewCommand.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "host/classes/Streaming.h"
#include "host/controls/WidgetSet.h"
#include "host/graphics/Graphics.h"
#include "preview/BCModal.h"
#include "tools/lumivex/FormCommand.h"
#include "tools/lumivex/Render.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

CLI::App* AddPreviewCommand(CLI::App& App, PreviewOptions& Options) {
    CLI::App* Preview = App.add_subcommand(
        "preview",
        "Show one barcode in the preview form; exit 0 when closed with Okay, 1 otherwise");
    AddSymbolOptions(*Preview, Options.Symbol);
    CLI::Option* Barcode = Preview->get_option("--barcode");
    Barcode->required(false);
    CLI::Option* Data = Preview->add_option("-d,--data", Options.Data, "Text to encode");
    CLI::Option* Form =
        Preview->add_option("--form", Options.FormFile, "Form file holding the barcode component");
    CLI::Option* Component = Preview->add_option("--component", Options.Component,
                                                 "Name of the barcode component in --form");
    Form->excludes(Barcode)->excludes(Data)->needs(Component);
    Component->needs(Form);
    Preview->add_option("--screenshot", Options.Screenshot,
                        "Paint the form into this PNG file instead of showing a window");
    return Preview;
}

namespace {

std::unique_ptr<vcl::TBitmap> BitmapToShow(const PreviewOptions& Options) {
    auto Bitmap = std::make_unique<vcl::TBitmap>();
    if (Options.FormFile.empty()) {
        if (Options.Symbol.Barcode.empty() || Options.Data.empty())
            throw UsageError("preview needs -b and -d, or --form and --component");
        RenderSettings Settings = SettingsFor(Options.Symbol, Options.Data);
        Settings.Text = FilterAndReport(BC_Symbologies.at(Settings.Type), Options.Data);
        RenderBarcode(*Bitmap, Settings);
        return Bitmap;
    }
    RegisterFormClasses();
    const std::unique_ptr<vcl::TComponent> Root = vcl::ReadComponentFile(Options.FormFile);
    vcl::TComponent* C = vcl::SameText(Root->GetName(), Options.Component)
                             ? Root.get()
                             : Root->FindComponent(Options.Component);
    if (!C)
        throw UsageError(Options.FormFile + " holds no component named " + Options.Component);
    if (!IsBarcode(C))
        throw UsageError(Options.Component + " in " + Options.FormFile + " is a " + C->ClassName() +
                         ", not a barcode component");
    if (const vcl::TBitmap* Shown = Painted(*C))
        Bitmap->Assign(*Shown);
    return Bitmap;
}

} // namespace

int RunPreview(int& Argc, char** Argv, const PreviewOptions& Options) {
    const std::unique_ptr<vcl::TBitmap> Bitmap = BitmapToShow(Options);
    if (!Options.Screenshot.empty()) {
        if (ImageFormatFor(Options.Screenshot) != ImageFormat::Png)
            throw UsageError("--screenshot writes PNG: name the file .png");
        TFBCModal Form(nullptr);
        Form.SetBitmap(Bitmap.get());
        vcl::TBitmap Shot;
        Form.PaintClient(Shot);
        vcl::SaveBitmapToPngFile(Shot, Options.Screenshot);
        return 0;
    }
    InstallWindowSystem(Argc, Argv);
    // As the design-time editors do: created without an owner, shown, freed.
    auto Form = std::make_unique<TFBCModal>(nullptr);
    Form->SetBitmap(Bitmap.get());
    const vcl::TModalResult Result = Form->ShowModal();
    Form.reset();
    // The window system goes before the program ends, its windows first.
    vcl::SetWidgetSet(nullptr);
    return Result == vcl::mrOk ? 0 : 1;
}

} // namespace lumivex::cli
