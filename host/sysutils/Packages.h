#pragma once
// Packages: shared libraries of components that a host loads at run time. A package says what
// it is (description, the runtime packages it requires, the units it contains, whether it serves
// designers, applications or both) in a section of its library, which a host reads before it
// loads the package, so that nothing of a package's code runs in a host that cannot take it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

// The library section that holds a package's information.
inline constexpr std::string_view PackageInfoSection = ".lumivex.package";

struct TPackageUnit {
    std::string Name;
    // The unit has a Register procedure, exported as <Unit>_Register, which a designer calls.
    bool HasRegister = false;
};

struct TPackageInfo {
    std::string Description;
    bool DesignTime = false;
    bool RunTime = false;
    std::vector<std::string> Requires; // runtime packages, e.g. vcl40 and vcldb40
    std::vector<TPackageUnit> Contains;
};

// The information as the section stores it, and back; EPackageError names what is malformed.
std::string EncodePackageInfo(const TPackageInfo& Info);
TPackageInfo DecodePackageInfo(std::string_view Bytes);

// The information of a package library (an ELF file) on disk or in memory, read without loading
// it. EPackageError for a file that cannot be read, is not a library or holds no information.
TPackageInfo GetPackageInfo(const std::string& FileName);
TPackageInfo GetPackageInfoFromImage(std::string_view Image, const std::string& Shown);

// The information as lines of text (Description, Usage, Requires, Contains), for listings.
std::string FormatPackageInfo(const TPackageInfo& Info);
// The generation of the framework a package is built for, from the runtime packages it
// requires (vcl40: 40); 0 when it names none.
int PackageGeneration(const TPackageInfo& Info);

// This host's generation of the framework (40 or 30) and the runtime packages it is made of.
int HostGeneration();
std::vector<std::string> HostRuntimePackages();

enum class TPackageUse : std::uint8_t { Application, Designer };

// A loaded package; unloading it (destroying the object) closes its library.
class TPackage {
public:
    ~TPackage();
    TPackage(const TPackage&) = delete;
    TPackage& operator=(const TPackage&) = delete;

    const std::string& FileName() const { return FFileName; }
    const TPackageInfo& Info() const { return FInfo; }
    // An exported symbol of the package; nullptr when it has none of that name.
    void* Symbol(const std::string& Name) const;

private:
    friend std::unique_ptr<TPackage> LoadPackage(const std::string&, TPackageUse);
    TPackage(std::string FileName, TPackageInfo Info, void* Handle);
    std::string FFileName;
    TPackageInfo FInfo;
    void* FHandle;
};

// Reads the package's information and loads its library. EPackageError naming the package and
// what is wrong when it requires a runtime package this host is not made of (a package of
// another generation), when an application asks for a design-only package (or a designer for a
// run-only one), or when the library cannot be loaded.
std::unique_ptr<TPackage> LoadPackage(const std::string& FileName, TPackageUse Use);

} // namespace vcl
