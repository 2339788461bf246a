#pragma once
// What the designer edits and what it has installed, apart from how it is shown: the package
// installed in designer use, the form being designed with its selection and the places of its
// non-visual components, and the form designer that editors report their changes to.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "host/classes/Classes.h"
#include "host/classes/Streaming.h"
#include "host/controls/Forms.h"
#include "host/designer/DesignIntf.h"
#include "host/sysutils/Packages.h"

namespace lumivex::designer {

// A package loaded for a designer, its units' Register procedures called with the registrations
// tagged, and the host's own data-access classes on a page of their own. Destroying it takes
// every registration back before the library is closed, so nothing points into unloaded code.
class TInstalledPackages {
public:
    // EPackageError when the package is refused (another generation, run-time only, no library).
    explicit TInstalledPackages(const std::string& PackageFile);
    ~TInstalledPackages();
    TInstalledPackages(const TInstalledPackages&) = delete;
    TInstalledPackages& operator=(const TInstalledPackages&) = delete;

    const vcl::TPackage& Package() const { return *FPackage; }

private:
    std::unique_ptr<vcl::TPackage> FPackage;
};

// The page of the host's own classes.
inline constexpr const char* DataAccessPage = "Data Access";

// The designer of the application's one form: a change marks the document unsaved and tells
// whoever shows it.
class TAppDesigner : public vcl::TFormDesigner {
public:
    using vcl::TFormDesigner::TFormDesigner;
    void Modified() override {
        if (OnModified)
            OnModified();
    }
    std::function<void()> OnModified;
};

// What is being designed: a TForm or a TDataModule root in design state, what is selected, and
// whether it differs from its file. A non-visual component sits where its DesignInfo says, which
// the form file keeps as its Left and Top; one that was never placed gets a place of its own on
// the surface that is written only once it is moved.
class TDocument {
public:
    // A new, empty form named Form1.
    TDocument();
    ~TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    // Reads a form file; raises the reader's exception (and changes nothing) when it cannot, and
    // EReadError when the file holds neither a form nor a data module. The file's format is kept
    // for saving it again.
    void Open(const std::string& Path);
    // Writes to Path (the document's own file when empty) in the format it was opened in.
    void Save(const std::string& Path = {});
    void New();
    void NewDataModule();

    vcl::TComponent& Root() const { return *FRoot; }
    // The root as a form; nullptr for a data module.
    vcl::TForm* Form() const { return dynamic_cast<vcl::TForm*>(FRoot.get()); }
    // The designed area: a form's client size, a data module's size.
    int DesignWidth() const;
    int DesignHeight() const;
    TAppDesigner& Designer() { return FDesigner; }
    const std::string& FileName() const { return FFileName; }
    vcl::TFormFileFormat Format() const { return FFormat; }
    bool Dirty() const { return FDirty; }

    // The selection: one component of the root, or the root itself; never null.
    vcl::TComponent* Selected() const { return FSelected; }
    void Select(vcl::TComponent* Component);

    // A new component of Class, named uniquely, at (X, Y) of the form's client area.
    // EInvalidOperation for a control on a data module.
    vcl::TComponent* Drop(const vcl::TClassInfo& Class, int X, int Y);
    // Frees a component of the root (never the root itself) and selects the root.
    void Delete(vcl::TComponent* Component);
    // Moves a component by (DX, DY): a control's bounds, a non-visual component's place.
    void MoveBy(vcl::TComponent* Component, int DX, int DY);

    // Where a non-visual component's icon stands (its top-left corner).
    struct TPlace {
        int X = 0, Y = 0;
    };
    TPlace PlaceOf(const vcl::TComponent* Component) const;
    void SetPlace(vcl::TComponent* Component, TPlace Place);

    // Told after every change and after the selection or the whole root changed.
    std::function<void()> OnChanged;
    std::function<void()> OnRootReplaced;
    std::function<void()> OnSelectionChanged;

private:
    // Takes over a new root with the file it came from (none for a new one).
    void Adopt(std::unique_ptr<vcl::TComponent> Root, const std::string& FileName,
               vcl::TFormFileFormat Format);
    void Changed();

    std::unique_ptr<vcl::TComponent> FRoot;
    TAppDesigner FDesigner;
    vcl::TComponent* FSelected = nullptr;
    // The places of the components never placed, until they are.
    std::map<const vcl::TComponent*, TPlace> FPlaces;
    std::string FFileName;
    vcl::TFormFileFormat FFormat = vcl::TFormFileFormat::Text;
    bool FDirty = false;
};

} // namespace lumivex::designer
