#pragma once
// lumivex package: a package library's information, and what it registers in a designer.

#include <string>

namespace CLI {
class App;
}

namespace lumivex::cli {

struct PackageOptions {
    std::string InfoFile;
    std::string RegisterFile;
};

CLI::App* AddPackageCommand(CLI::App& App, PackageOptions& Options);

// info prints the information and returns 0. register runs the host program of the package's
// generation (lumivex-host40, lumivex-host30), which installs it in a headless designer, and
// answers that program's exit status. vcl::EPackageError for a file that is not a package;
// UsageError when no host of its generation is at hand.
int RunPackage(const CLI::App& Package, const PackageOptions& Options);

} // namespace lumivex::cli
