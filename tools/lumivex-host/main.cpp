// lumivex-host<G>: a host of one generation of the framework, made of its runtime packages
// (vcl<G>, vcldb<G>) alone. It loads a package the way a designer or an application of that
// generation does, so each edition of Lumivex is tried in the host it was built for.
//
//   lumivex-host40 info FILE       the package's information, read without loading it
//   lumivex-host40 register FILE   install it in a headless designer, list what it registered,
//                                  and uninstall it
//   lumivex-host40 run FILE        load it as an application does
//   lumivex-host40 save FILE       design a form with two TBarcode controls, one hidden, and
//                                  print it as a text form file
//   lumivex-host40 action FILE     ask a TDBBarcodeBmp to carry out a dataset action
// Exit: 0 done, 1 the package was refused or failed, 2 bad arguments.
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "host/classes/Resources.h"
#include "host/classes/Streaming.h"
#include "host/controls/Forms.h"
#include "host/db/DB.h"
#include "host/designer/DesignEditors.h"
#include "host/designer/DesignIntf.h"
#include "host/sysutils/Packages.h"
#include "host/sysutils/SysUtils.h"

namespace {

using namespace vcl;

std::string Attributes(TPropertyAttributes A) {
    static const char* names[] = {"paValueList",  "paSubProperties", "paDialog",   "paMultiSelect",
                                  "paAutoUpdate", "paSortList",      "paReadOnly", "paRevertable"};
    std::string s = "[";
    for (int i = 0; i < 8; ++i)
        if (A.Contains(static_cast<TPropertyAttribute>(i)))
            s += std::string(s.size() > 1 ? ", " : "") + names[i];
    return s + "] (" + std::to_string(A.Byte()) + ")";
}

// A package installed in the designer: its Register procedures called with its registrations
// tagged, and all of them taken back before the library goes.
class TInstalled {
public:
    explicit TInstalled(const std::string& File)
        : FPackage(LoadPackage(File, TPackageUse::Designer)) {
        TModuleRegistration tag(FPackage.get());
        for (const TPackageUnit& u : FPackage->Info().Contains) {
            if (!u.HasRegister)
                continue;
            auto* reg = reinterpret_cast<void (*)()>(FPackage->Symbol(u.Name + "_Register"));
            if (!reg)
                throw EPackageError("Package \"" + File + "\" has no Register for unit " + u.Name);
            reg();
        }
    }
    ~TInstalled() { UnregisterModuleClasses(FPackage.get()); }
    const void* Module() const { return FPackage.get(); }
    const TPackage& Package() const { return *FPackage; }

private:
    std::unique_ptr<TPackage> FPackage;
};

void Register(const std::string& File) {
    THeadlessDesigner designer;
    {
        TInstalled installed(File);
        for (const std::string& page : GetComponentPages()) {
            std::cout << "page " << page << ':';
            for (const TClassInfo* c : GetPageComponents(page))
                std::cout << ' ' << c->Name();
            std::cout << '\n';
        }
        for (const auto& r : PropertyEditorRegistrations())
            if (r.Module == installed.Module()) {
                // The attributes are the editor's own, asked of an editor on a fresh component.
                std::unique_ptr<TComponent> c(r.ComponentClass->Create(nullptr));
                const TPropInfo* p = c->ClassInfo().FindProperty(r.PropertyName);
                const auto editor = r.EditorClass.Create(&designer, {{c.get(), p}});
                std::cout << "property editor " << r.EditorClass.Name << ": type "
                          << r.PropertyType->Name << ", class " << r.ComponentClass->Name()
                          << ", property " << r.PropertyName << ", attributes "
                          << Attributes(editor->GetAttributes()) << '\n';
            }
        for (const auto& r : ComponentEditorRegistrations())
            if (r.Module == installed.Module()) {
                std::unique_ptr<TComponent> c(r.ComponentClass->Create(nullptr));
                const auto editor = r.EditorClass.Create(c.get(), &designer);
                std::cout << "component editor " << r.EditorClass.Name << ": class "
                          << r.ComponentClass->Name() << ", verbs";
                for (int i = 0; i < editor->GetVerbCount(); ++i)
                    std::cout << " \"" << editor->GetVerb(i) << '"';
                std::cout << '\n';
            }
        // The palette's pictures, from the package's BITMAP resources where it has them.
        using TResources = const TResourceModule* (*)();
        auto resources =
            reinterpret_cast<TResources>(installed.Package().Symbol("Lumivex_Resources"));
        const TResourceModule* module = resources ? resources() : nullptr;
        for (const TClassInfo* c : GetPageComponents("Okanda")) {
            std::string name = c->Name();
            for (char& ch : name)
                ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
            const TResourceEntry* e = module ? module->Find(RT_BITMAP, name) : nullptr;
            std::cout << "palette bitmap " << name << ": ";
            if (!e) {
                std::cout << "none (a drawn default)\n";
                continue;
            }
            TBitmap picture;
            std::istringstream file{std::string(e->Data)};
            picture.LoadFromStream(file);
            std::cout << picture.GetWidth() << " x " << picture.GetHeight() << ", "
                      << static_cast<int>(static_cast<unsigned char>(e->Data[28])) << " bits\n";
        }
    }
    std::cout << "uninstalled: " << GetComponentPages().size() << " pages left, "
              << (FindClass("TBarcode") ? "TBarcode still registered" : "its classes gone") << '\n';
}

void Save(const std::string& File) {
    TInstalled installed(File);
    RegisterHostClasses();
    TForm form(nullptr);
    form.SetName("Form1");
    form.SetDesigning(true);
    for (const char* name : {"Shown", "Hidden"}) {
        TComponent* c = GetClass("TBarcode").Create(&form);
        c->SetName(name);
        auto* control = dynamic_cast<TControl*>(c);
        control->SetParent(&form);
        control->SetVisible(std::string(name) == "Shown");
    }
    std::cout << WriteComponentToString(form, TFormFileFormat::Text);
}

// Handles any dataset and says so when asked to carry itself out.
class TProbeAction : public TBasicAction {
public:
    using TBasicAction::TBasicAction;
    bool HandlesTarget(TPersistent* Target) const override {
        return dynamic_cast<TDataSet*>(Target) != nullptr;
    }
    bool ExecuteTarget(TPersistent&) override { return true; }
};

void Action(const std::string& File) {
    TInstalled installed(File);
    TDataModule module(nullptr);
    auto* set = new TCSVDataSet(&module);
    auto* source = new TDataSource(&module);
    source->SetDataSet(set);
    TComponent* c = GetClass("TDBBarcodeBmp").Create(&module);
    c->ClassInfo().FindProperty("DataSource")->SetRef(*c, source);
    TProbeAction action(nullptr);
    std::cout << (c->ExecuteAction(action) ? "the action reached the data link"
                                           : "the action was not handled")
              << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s info|register|run|save|action FILE\n", argv[0]);
        return 2;
    }
    const std::string command = argv[1], file = argv[2];
    try {
        if (command == "info")
            std::cout << FormatPackageInfo(GetPackageInfo(file));
        else if (command == "register")
            Register(file);
        else if (command == "run") {
            const auto package = LoadPackage(file, TPackageUse::Application);
            std::cout << "loaded " << package->Info().Description
                      << " in an application of generation " << HostGeneration() << '\n';
        } else if (command == "save")
            Save(file);
        else if (command == "action")
            Action(file);
        else {
            std::fprintf(stderr, "%s: unknown command %s\n", argv[0], command.c_str());
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
