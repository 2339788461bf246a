// Package information in its library section, read with libelf; packages loaded with dlopen.
#include "host/sysutils/Packages.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host/sysutils/LateLibrary.h"
#include "host/sysutils/SysUtils.h"

#ifndef LUMIVEX_VCL_GENERATION
#define LUMIVEX_VCL_GENERATION 40
#endif

namespace vcl {

namespace {

// "LXPK", a format version, the usage bits, then length-prefixed strings.
constexpr std::string_view Magic = "LXPK";
constexpr std::uint8_t Version = 1;
constexpr std::uint8_t UsageDesign = 1, UsageRun = 2;

void PutString(std::string& Out, const std::string& S) {
    if (S.size() > 255)
        throw EPackageError("Package information: \"" + S.substr(0, 20) + "...\" is too long");
    Out += static_cast<char>(S.size());
    Out += S;
}

class TInfoReader {
public:
    explicit TInfoReader(std::string_view Bytes) : FBytes(Bytes) {}
    std::uint8_t Byte(const char* What) {
        if (FAt >= FBytes.size())
            Fail(std::string("it ends before ") + What);
        return static_cast<std::uint8_t>(FBytes[FAt++]);
    }
    std::string String(const char* What) {
        const std::size_t n = Byte(What);
        if (FBytes.size() - FAt < n)
            Fail(std::string("it ends inside ") + What);
        std::string s(FBytes.substr(FAt, n));
        FAt += n;
        return s;
    }
    bool AtEnd() const { return FAt == FBytes.size(); }
    [[noreturn]] void Fail(const std::string& Why) const {
        throw EPackageError("Malformed package information at byte " + std::to_string(FAt) + ": " +
                            Why);
    }

private:
    std::string_view FBytes;
    std::size_t FAt = 0;
};

// libelf is opened by the first package read: the command's other work never needs it.
// clang-format off
#define LUMIVEX_LIBELF(X)                                                                          \
    X(elf_begin) X(elf_end) X(elf_errmsg) X(elf_getdata) X(elf_getshdrstrndx) X(elf_kind)          \
    X(elf_memory) X(elf_nextscn) X(elf_strptr) X(elf_version) X(gelf_getshdr)
// clang-format on
struct TLibElf {
    LUMIVEX_LIBELF(LUMIVEX_LATE_FIELD)
};
const TLibElf& LibElf() {
    return detail::LateApi<TLibElf>(
        [](TLibElf& Api) {
            return detail::OpenLateLibrary("libelf.so.1", {LUMIVEX_LIBELF(LUMIVEX_LATE_ENTRY)});
        },
        [](const std::string& Why) {
            throw EPackageError("Cannot read package information: " + Why);
        });
}

struct TElf {
    Elf* Handle = nullptr;
    ~TElf() {
        if (Handle)
            LibElf().elf_end(Handle);
    }
};

TPackageInfo InfoOf(Elf* E, const std::string& Shown) {
    const TLibElf& Lib = LibElf();
    if (!E || Lib.elf_kind(E) != ELF_K_ELF)
        throw EPackageError(Shown + " is not a package library (not an ELF file)");
    std::size_t names = 0;
    if (Lib.elf_getshdrstrndx(E, &names) != 0)
        throw EPackageError(Shown + " is not a package library: " + Lib.elf_errmsg(-1));
    for (Elf_Scn* scn = Lib.elf_nextscn(E, nullptr); scn; scn = Lib.elf_nextscn(E, scn)) {
        GElf_Shdr header;
        if (!Lib.gelf_getshdr(scn, &header))
            break;
        const char* name = Lib.elf_strptr(E, names, header.sh_name);
        if (!name || PackageInfoSection != name)
            continue;
        Elf_Data* data = Lib.elf_getdata(scn, nullptr);
        if (!data || !data->d_buf)
            throw EPackageError(Shown + ": its package information cannot be read");
        try {
            return DecodePackageInfo(
                std::string_view(static_cast<const char*>(data->d_buf), data->d_size));
        } catch (const EPackageError& e) {
            throw EPackageError(Shown + ": " + e.what());
        }
    }
    throw EPackageError(Shown + " is not a package: it holds no package information");
}

std::string Joined(const std::vector<std::string>& Names) {
    std::string s;
    for (const std::string& n : Names)
        s += (s.empty() ? "" : ", ") + n;
    return s;
}

} // namespace

std::string EncodePackageInfo(const TPackageInfo& Info) {
    std::string out(Magic);
    out += static_cast<char>(Version);
    out += static_cast<char>((Info.DesignTime ? UsageDesign : 0) | (Info.RunTime ? UsageRun : 0));
    PutString(out, Info.Description);
    if (Info.Requires.size() > 255 || Info.Contains.size() > 255)
        throw EPackageError("Package information: too many packages or units");
    out += static_cast<char>(Info.Requires.size());
    for (const std::string& r : Info.Requires)
        PutString(out, r);
    out += static_cast<char>(Info.Contains.size());
    for (const TPackageUnit& u : Info.Contains) {
        out += static_cast<char>(u.HasRegister ? 1 : 0);
        PutString(out, u.Name);
    }
    return out;
}

TPackageInfo DecodePackageInfo(std::string_view Bytes) {
    TInfoReader in(Bytes);
    for (char c : Magic)
        if (in.Byte("the signature") != static_cast<std::uint8_t>(c))
            in.Fail("no LXPK signature");
    if (const std::uint8_t v = in.Byte("the version"); v != Version)
        in.Fail("version " + std::to_string(v) + ", not " + std::to_string(Version));
    TPackageInfo info;
    const std::uint8_t usage = in.Byte("the usage");
    if (usage & ~(UsageDesign | UsageRun))
        in.Fail("unknown usage bits");
    info.DesignTime = usage & UsageDesign;
    info.RunTime = usage & UsageRun;
    info.Description = in.String("the description");
    for (std::uint8_t n = in.Byte("the required packages"); n > 0; --n)
        info.Requires.push_back(in.String("a required package's name"));
    for (std::uint8_t n = in.Byte("the units"); n > 0; --n) {
        TPackageUnit u;
        const std::uint8_t flags = in.Byte("a unit's flags");
        if (flags > 1)
            in.Fail("unknown unit flags");
        u.HasRegister = flags == 1;
        u.Name = in.String("a unit's name");
        info.Contains.push_back(std::move(u));
    }
    if (!in.AtEnd())
        in.Fail("bytes after the last unit");
    return info;
}

TPackageInfo GetPackageInfoFromImage(std::string_view Image, const std::string& Shown) {
    LibElf().elf_version(EV_CURRENT);
    // libelf reads the image in place and wants it writable; a copy keeps the caller's intact.
    std::string copy(Image);
    TElf e{LibElf().elf_memory(copy.data(), copy.size())};
    return InfoOf(e.Handle, Shown);
}

TPackageInfo GetPackageInfo(const std::string& FileName) {
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EPackageError("Cannot open package \"" + FileName + "\": " + std::strerror(errno));
    struct TFd {
        int Fd;
        ~TFd() { ::close(Fd); }
    } closer{fd};
    LibElf().elf_version(EV_CURRENT);
    TElf e{LibElf().elf_begin(fd, ELF_C_READ, nullptr)};
    return InfoOf(e.Handle, "\"" + FileName + "\"");
}

std::string FormatPackageInfo(const TPackageInfo& Info) {
    std::string s = "Description: " + Info.Description + "\nUsage: " +
                    (Info.DesignTime && Info.RunTime ? "design time and run time"
                     : Info.DesignTime               ? "design time only"
                     : Info.RunTime                  ? "run time only"
                                                     : "none") +
                    "\nRequires:";
    for (const std::string& r : Info.Requires)
        s += " " + r;
    s += "\nContains:";
    for (const TPackageUnit& u : Info.Contains)
        s += " " + u.Name + (u.HasRegister ? " (Register)" : "");
    return s + "\n";
}

int PackageGeneration(const TPackageInfo& Info) {
    for (const std::string& r : Info.Requires)
        if (r.size() == 5 && r.starts_with("vcl") && r[3] >= '0' && r[3] <= '9' && r[4] >= '0' &&
            r[4] <= '9')
            return (r[3] - '0') * 10 + (r[4] - '0');
    return 0;
}

int HostGeneration() {
    return LUMIVEX_VCL_GENERATION;
}

std::vector<std::string> HostRuntimePackages() {
    const std::string g = std::to_string(HostGeneration());
    return {"vcl" + g, "vcldb" + g};
}

TPackage::TPackage(std::string FileName, TPackageInfo Info, void* Handle)
    : FFileName(std::move(FileName)), FInfo(std::move(Info)), FHandle(Handle) {}

TPackage::~TPackage() {
    if (FHandle)
        ::dlclose(FHandle);
}

void* TPackage::Symbol(const std::string& Name) const {
    return ::dlsym(FHandle, Name.c_str());
}

std::unique_ptr<TPackage> LoadPackage(const std::string& FileName, TPackageUse Use) {
    TPackageInfo info = GetPackageInfo(FileName);
    const std::vector<std::string> mine = HostRuntimePackages();
    for (const std::string& r : info.Requires)
        if (std::find(mine.begin(), mine.end(), r) == mine.end())
            throw EPackageError("Cannot load package \"" + FileName + "\": it requires " + r +
                                ", which this host (" + Joined(mine) + ") does not provide");
    if (Use == TPackageUse::Application && !info.RunTime)
        throw EPackageError("Cannot load package \"" + FileName +
                            "\": it is a design-time package and cannot be used by an application");
    if (Use == TPackageUse::Designer && !info.DesignTime)
        throw EPackageError("Cannot load package \"" + FileName +
                            "\": it is a run-time package and cannot be installed in a designer");
    // A path without a slash would be looked up in the library path instead of the file named.
    const std::string path = FileName.find('/') == std::string::npos ? "./" + FileName : FileName;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw EPackageError("Cannot load package \"" + FileName + "\": " + ::dlerror());
    return std::unique_ptr<TPackage>(new TPackage(FileName, std::move(info), handle));
}

} // namespace vcl
