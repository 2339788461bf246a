#include "tools/lumivex-designer/Document.h"

#include <algorithm>
#include <cstdio>

#include "host/db/DB.h"
#include "host/sysutils/SysUtils.h"

namespace lumivex::designer {

using namespace vcl;

namespace {

// The tag of the designer's own registrations, so that they go as the package's do.
const char DataAccessModule = 0;

// Where the first non-visual component goes when it was not dropped anywhere (a form file).
constexpr int IconSpacing = 100;

} // namespace

TInstalledPackages::TInstalledPackages(const std::string& PackageFile) {
    RegisterHostClasses();
    RegisterDBClasses();
    FPackage = LoadPackage(PackageFile, TPackageUse::Designer);
    try {
        {
            TModuleRegistration tag(FPackage.get());
            for (const TPackageUnit& u : FPackage->Info().Contains) {
                if (!u.HasRegister)
                    continue;
                auto* reg = reinterpret_cast<void (*)()>(FPackage->Symbol(u.Name + "_Register"));
                if (!reg)
                    throw EPackageError("Package \"" + PackageFile +
                                        "\" has no Register for unit " + u.Name);
                reg();
            }
        }
        TModuleRegistration tag(&DataAccessModule);
        RegisterComponents(DataAccessPage,
                           {&TDataSource::StaticClassInfo(), &TSQLiteQuery::StaticClassInfo(),
                            &TCSVDataSet::StaticClassInfo()});
    } catch (...) {
        UnregisterModuleClasses(&DataAccessModule);
        UnregisterModuleClasses(FPackage.get());
        throw;
    }
}

TInstalledPackages::~TInstalledPackages() {
    UnregisterModuleClasses(&DataAccessModule);
    UnregisterModuleClasses(FPackage.get());
}

TDocument::TDocument() {
    FDesigner.OnModified = [this] { Changed(); };
    New();
}

TDocument::~TDocument() {
    // The editors and the inspector go before the components they point at.
    FSelected = nullptr;
    FDesigner.SetRoot(nullptr);
}

void TDocument::Adopt(std::unique_ptr<TComponent> Root, const std::string& FileName,
                      TFormFileFormat Format) {
    FSelected = nullptr;
    FFileName = FileName;
    FFormat = Format;
    FPlaces.clear();
    FDesigner.SetRoot(nullptr);
    if (OnRootReplaced)
        OnRootReplaced(); // the inspector lets go of the old root's editors here
    FRoot = std::move(Root);
    FRoot->SetDesigning(true);
    FDesigner.SetRoot(FRoot.get());
    int next = 0;
    for (int i = 0; i < FRoot->GetComponentCount(); ++i) {
        const TComponent* c = FRoot->GetComponent(i);
        if (!dynamic_cast<const TControl*>(c) && c->GetDesignInfo() == 0)
            FPlaces[c] = TPlace{40 + IconSpacing * next++, 8}; // room for a long name
    }
    FDirty = false;
    Select(FRoot.get());
    if (OnRootReplaced)
        OnRootReplaced();
}

void TDocument::New() {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("Form1");
    form->SetCaption("Form1");
    form->SetClientWidth(480);
    form->SetClientHeight(320);
    Adopt(std::move(form), {}, TFormFileFormat::Text);
}

void TDocument::NewDataModule() {
    auto module = std::make_unique<TDataModule>(nullptr);
    module->SetName("DataModule1");
    Adopt(std::move(module), {}, TFormFileFormat::Text);
}

int TDocument::DesignWidth() const {
    if (const TForm* form = Form())
        return form->GetClientWidth();
    return static_cast<const TDataModule&>(*FRoot).GetWidth();
}

int TDocument::DesignHeight() const {
    if (const TForm* form = Form())
        return form->GetClientHeight();
    return static_cast<const TDataModule&>(*FRoot).GetHeight();
}

void TDocument::Open(const std::string& Path) {
    std::unique_ptr<TComponent> read = ReadComponentFile(Path);
    if (!dynamic_cast<TForm*>(read.get()) && !dynamic_cast<TDataModule*>(read.get()))
        throw EReadError("File \"" + Path + "\" holds a " + read->ClassInfo().Name() +
                         ", not a form or a data module");
    // The binary form is told by its signature, as the reader tells it.
    std::string head;
    if (FILE* f = std::fopen(Path.c_str(), "rb")) {
        char buf[4] = {};
        head.assign(buf, std::fread(buf, 1, sizeof buf, f));
        std::fclose(f);
    }
    Adopt(std::move(read), Path, head == "TPF0" ? TFormFileFormat::Binary : TFormFileFormat::Text);
}

void TDocument::Save(const std::string& Path) {
    const std::string target = Path.empty() ? FFileName : Path;
    if (target.empty())
        throw EInvalidOperation("The form has no file name yet");
    WriteComponentFile(target, *FRoot, FFormat);
    FFileName = target;
    FDirty = false;
    if (OnChanged)
        OnChanged();
}

void TDocument::Select(TComponent* Component) {
    FSelected = Component ? Component : FRoot.get();
    if (OnSelectionChanged)
        OnSelectionChanged();
}

TComponent* TDocument::Drop(const TClassInfo& Class, int X, int Y) {
    if (!Form() && Class.InheritsFrom(TControl::StaticClassInfo()))
        throw EInvalidOperation("A " + Class.Name() +
                                " is a control: controls cannot be added to a data module");
    TComponent* c = FDesigner.CreateComponent(Class);
    if (auto* control = dynamic_cast<TControl*>(c))
        control->SetBounds(X, Y, control->GetWidth(), control->GetHeight());
    else
        SetPlace(c, TPlace{X, Y});
    Select(c);
    FDesigner.Modified();
    return c;
}

void TDocument::Delete(TComponent* Component) {
    if (!Component || Component == FRoot.get() || Component->GetOwner() != FRoot.get())
        return;
    FSelected = nullptr;
    if (OnSelectionChanged)
        OnSelectionChanged(); // the inspector drops its editors of the component first
    FPlaces.erase(Component);
    delete Component;
    Select(FRoot.get());
    FDesigner.Modified();
}

void TDocument::MoveBy(TComponent* Component, int DX, int DY) {
    if (!Component || Component == FRoot.get() || (DX == 0 && DY == 0))
        return;
    if (auto* control = dynamic_cast<TControl*>(Component))
        control->SetBounds(control->GetLeft() + DX, control->GetTop() + DY, control->GetWidth(),
                           control->GetHeight());
    else {
        const TPlace p = PlaceOf(Component);
        SetPlace(Component, TPlace{p.X + DX, p.Y + DY});
    }
    FDesigner.Modified();
}

TDocument::TPlace TDocument::PlaceOf(const TComponent* Component) const {
    const auto it = FPlaces.find(Component);
    if (it != FPlaces.end())
        return it->second;
    const std::uint32_t info = Component->GetDesignInfo();
    return TPlace{static_cast<int>(info & 0xFFFFu), static_cast<int>(info >> 16)};
}

void TDocument::SetPlace(TComponent* Component, TPlace Place) {
    // The form file holds a place in 16 bits a coordinate; the surface starts at 0.
    const auto clamp = [](int V) { return static_cast<std::uint32_t>(std::clamp(V, 0, 0xFFFF)); };
    FPlaces.erase(Component);
    Component->SetDesignInfo(clamp(Place.X) | (clamp(Place.Y) << 16));
}

void TDocument::Changed() {
    FDirty = true;
    if (OnChanged)
        OnChanged();
}

} // namespace lumivex::designer
