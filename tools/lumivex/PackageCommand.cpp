// lumivex package info and register. A package is only ever loaded by a host of its own
// generation, never into this program, whose host libraries are its own.

#include "tools/lumivex/PackageCommand.h"

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/sysutils/Packages.h"
#include "host/sysutils/SysUtils.h"
#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

CLI::App* AddPackageCommand(CLI::App& App, PackageOptions& Options) {
    CLI::App* Package = App.add_subcommand("package", "Read or install a component package");
    Package->require_subcommand(1);
    CLI::App* Info = Package->add_subcommand(
        "info", "Print a package's description, usage, required packages and units");
    Info->add_option("FILE", Options.InfoFile, "Package library")->required();
    CLI::App* Register = Package->add_subcommand(
        "register", "Install a package in a headless designer of its generation and list what "
                    "it registers");
    Register->add_option("FILE", Options.RegisterFile, "Package library")->required();
    return Package;
}

namespace {

#ifndef LUMIVEX_HOSTS_FROM_BIN
#define LUMIVEX_HOSTS_FROM_BIN "../lib/lumivex"
#endif

// Beside this program, where the build puts the editions, or where they are installed.
std::filesystem::path HostProgram(int Generation) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string name = "lumivex-host" + std::to_string(Generation);
    for (const std::filesystem::path& dir :
         {self.parent_path(), self.parent_path() / ".." / ".." / "editions",
          self.parent_path() / LUMIVEX_HOSTS_FROM_BIN})
        if (std::filesystem::exists(dir / name, ec))
            return dir / name;
    throw UsageError("no host of generation " + std::to_string(Generation) + " (" + name +
                     ") beside lumivex to install the package in");
}

int Run(const std::filesystem::path& Program, const std::vector<std::string>& Args) {
    std::vector<char*> argv;
    std::string program = Program.string();
    argv.push_back(program.data());
    std::vector<std::string> args = Args;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::cout.flush();
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot start " + program);
    if (pid == 0) {
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("lost " + program);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

int RunPackage(const CLI::App& Package, const PackageOptions& Options) {
    if (Package.get_subcommand("info")->parsed()) {
        std::cout << vcl::FormatPackageInfo(vcl::GetPackageInfo(Options.InfoFile));
        return 0;
    }
    const vcl::TPackageInfo info = vcl::GetPackageInfo(Options.RegisterFile);
    const int generation = vcl::PackageGeneration(info);
    if (generation == 0)
        throw vcl::EPackageError("\"" + Options.RegisterFile +
                                 "\" requires no runtime package of the framework");
    return Run(HostProgram(generation), {"register", Options.RegisterFile});
}

} // namespace lumivex::cli
