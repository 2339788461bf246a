// Writing image files through a temporary file and a rename, and writing to standard output.

#include "tools/lumivex/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/sysutils/SysUtils.h"

namespace lumivex::cli {

namespace {

std::string Reason(int Error) {
    return std::strerror(Error);
}

std::string CannotWrite(const std::string& Path, int Error) {
    return "cannot write \"" + Path + "\": " + Reason(Error);
}

// The temporary file until it has been renamed; removed by the destructor otherwise, so an
// exception at any step leaves nothing behind.
class TempFile {
public:
    explicit TempFile(const std::string& Target) {
        const std::filesystem::path TargetPath(Target);
        const std::string Name = TargetPath.filename().string();
        if (Name.empty())
            throw vcl::EFCreateError(CannotWrite(Target, EISDIR));
        // Hidden and named after the target, so a leftover from a killed run is recognisable.
        const std::string Template = (TargetPath.parent_path() / ("." + Name + ".XXXXXX")).string();
        FName.assign(Template.begin(), Template.end());
        FName.push_back('\0');
        FFd = ::mkstemp(FName.data());
        if (FFd < 0)
            throw vcl::EFCreateError(CannotWrite(Target, errno));
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (FFd >= 0)
            ::close(FFd);
        if (!FRenamed)
            ::unlink(FName.data());
    }

    int Fd() const { return FFd; }
    const char* Name() const { return FName.data(); }

    // Closes the descriptor and reports the error that close may only now reveal.
    int Close() {
        const int Result = ::close(FFd);
        FFd = -1;
        return Result < 0 ? errno : 0;
    }
    void MarkRenamed() { FRenamed = true; }

private:
    std::vector<char> FName;
    int FFd = -1;
    bool FRenamed = false;
};

// mkstemp creates the file readable by its owner only; an image should get the permissions any
// new file would get, or keep those of the file that it replaces.
mode_t NewFileMode() {
    // Read once: umask can only be read by setting it, and a batch asks for every file.
    static const mode_t Mode = [] {
        const mode_t Mask = ::umask(0);
        ::umask(Mask);
        return 0666 & ~Mask;
    }();
    return Mode;
}

mode_t ModeFor(const std::string& Target) {
    struct stat Existing {};
    if (::stat(Target.c_str(), &Existing) == 0 && S_ISREG(Existing.st_mode))
        return Existing.st_mode & 07777;
    return NewFileMode();
}

// Moves From to To unless To exists: true when moved, false (From left in place) when To
// exists. The kernel checks and renames in one step, so a file that appears meanwhile is kept.
bool RenameNoReplace(const char* From, const std::string& To) {
    if (::renameat2(AT_FDCWD, From, AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw vcl::EWriteError(CannotWrite(To, errno));
    // A file system without the flag: a hard link fails on an existing name just the same.
    if (::link(From, To.c_str()) < 0) {
        if (errno == EEXIST)
            return false;
        throw vcl::EWriteError(CannotWrite(To, errno));
    }
    ::unlink(From);
    return true;
}

// Returns 0 or the errno of the failed write.
int WriteAll(int Fd, std::string_view Bytes) {
    while (!Bytes.empty()) {
        const ssize_t Written = ::write(Fd, Bytes.data(), Bytes.size());
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        Bytes.remove_prefix(static_cast<std::size_t>(Written));
    }
    return 0;
}

} // namespace

void WriteFileAtomically(const std::string& Path, std::string_view Bytes) {
    WriteFileAtomically(Path, Bytes, AtomicWriteMode{});
}

bool WriteFileAtomically(const std::string& Path, std::string_view Bytes, AtomicWriteMode Mode) {
    TempFile Temp(Path);
    if (int Error = WriteAll(Temp.Fd(), Bytes))
        throw vcl::EWriteError(CannotWrite(Path, Error));
    if (::fchmod(Temp.Fd(), Mode.Replace ? ModeFor(Path) : NewFileMode()) < 0)
        throw vcl::EWriteError(CannotWrite(Path, errno));
    // Without the sync a crash soon after the rename could leave an empty file under the name.
    if (Mode.Sync && ::fsync(Temp.Fd()) < 0)
        throw vcl::EWriteError(CannotWrite(Path, errno));
    if (int Error = Temp.Close())
        throw vcl::EWriteError(CannotWrite(Path, Error));
    if (Mode.Replace) {
        if (::rename(Temp.Name(), Path.c_str()) < 0)
            throw vcl::EWriteError(CannotWrite(Path, errno));
    } else if (!RenameNoReplace(Temp.Name(), Path)) {
        return false;
    }
    Temp.MarkRenamed();
    return true;
}

void CreateOutputDirectory(const std::string& Directory) {
    std::error_code Error;
    std::filesystem::create_directories(Directory, Error);
    if (Error)
        throw vcl::EFCreateError("cannot create directory \"" + Directory +
                                 "\": " + Error.message());
}

void WriteStandardOutput(std::string_view Bytes) {
    // POSIX streams make no text/binary distinction, so the PNG bytes pass through unchanged.
    if (int Error = WriteAll(STDOUT_FILENO, Bytes))
        throw vcl::EWriteError("cannot write to standard output: " + Reason(Error));
}

} // namespace lumivex::cli
