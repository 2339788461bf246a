// Files written through a temporary file beside the target and a rename.
#include "host/sysutils/AtomicFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <streambuf>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

std::string CannotWrite(const std::string& Path, int Error) {
    return "Cannot write file \"" + Path + "\": " + std::strerror(Error);
}

// Returns 0 or the errno of the failed write.
int WriteAll(int Fd, const char* Data, std::size_t Size) {
    while (Size != 0) {
        const ssize_t Written = ::write(Fd, Data, Size);
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        Data += Written;
        Size -= static_cast<std::size_t>(Written);
    }
    return 0;
}

// The process's umask, read once: it can only be read by setting it.
mode_t Umask() {
    static const mode_t Mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return Mask;
}

// The temporary file is created with the mode the target should end with, so that no chmod
// follows: a new file gets what open gives any new file (0666 less the umask, or the folder's
// default ACL), a replacement the permissions of the file it replaces. Those survive open only
// where the umask keeps them; *Exact is false when a chmod must set them after all.
mode_t ModeFor(const std::string& Target, bool Replace, bool* Exact) {
    *Exact = true;
    struct stat Existing {};
    if (!Replace || ::stat(Target.c_str(), &Existing) != 0 || !S_ISREG(Existing.st_mode))
        return 0666;
    const mode_t Mode = Existing.st_mode & 07777;
    *Exact = (Mode & (Umask() | 07000)) == 0;
    return Mode;
}

// A name beside the target that no other file has: hidden and named after the target, so that
// a leftover of a killed program is recognisable, with six random characters as mkstemp makes
// them, drawn here without a system call each.
std::string RandomName(const std::string& Prefix) {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Seeded by the kernel: std::random_device probes the processor first, which costs a
    // short program more than the file it writes.
    thread_local std::mt19937_64 Random{[] {
        std::uint64_t Seed = 0;
        // Without the kernel's bytes (its pool not ready yet), the process and the thread (its
        // stack) at least tell the seeds apart; a name taken already is tried again anyway.
        if (::getrandom(&Seed, sizeof Seed, GRND_NONBLOCK) != sizeof Seed)
            Seed = (static_cast<std::uint64_t>(::getpid()) << 32) ^
                   static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&Seed));
        return Seed;
    }()};
    std::string Name = Prefix;
    std::uint64_t Bits = Random();
    for (int i = 0; i < 6; ++i, Bits >>= 6)
        Name += Letters[(Bits & 63) % 62];
    return Name;
}

int CreateTemporary(const std::string& Prefix, mode_t Mode, std::string& Name) {
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        Name = RandomName(Prefix);
        const int Fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (Fd >= 0 || errno != EEXIST)
            return Fd;
    }
    return -1; // errno is EEXIST
}

// Where the file system allows, the content goes into a file without a name in the target's
// folder (O_TMPFILE), which is linked under the target's name once whole: one change of the
// folder instead of a create and a rename, and nothing is left behind even by a killed
// process. The file is linked through its descriptor where the process may (that takes
// CAP_DAC_READ_SEARCH), else through its entry in /proc; without /proc, files are named from
// the start.
bool UnnamedFiles() {
    static const bool Usable = ::access("/proc/self/fd", X_OK) == 0;
    return Usable;
}

int CreateUnnamed(const std::string& Folder, mode_t Mode) {
    if (!UnnamedFiles())
        return -1;
    return ::open(Folder.empty() ? "." : Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, Mode);
}

// Gives the unnamed file Fd the name To: 0, or the errno (EEXIST when To exists).
int LinkUnnamed(int Fd, const std::string& To) {
    // Without the capability, linking the descriptor fails with ENOENT; from then on this
    // process goes through /proc at once.
    static std::atomic<bool> ByDescriptor{true};
    if (ByDescriptor.load(std::memory_order_relaxed)) {
        if (::linkat(Fd, "", AT_FDCWD, To.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT)
            return errno;
    }
    const std::string Entry = "/proc/self/fd/" + std::to_string(Fd);
    if (::linkat(AT_FDCWD, Entry.c_str(), AT_FDCWD, To.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return errno;
    ByDescriptor.store(false, std::memory_order_relaxed);
    return 0;
}

// Moves From to To unless To exists: true when moved, false (From left in place) when To
// exists. The kernel checks and renames in one step, so a file that appears meanwhile is kept.
bool RenameNoReplace(const char* From, const std::string& To) {
    if (::renameat2(AT_FDCWD, From, AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw EWriteError(CannotWrite(To, errno));
    // A file system without the flag: a hard link fails on an existing name just the same.
    if (::link(From, To.c_str()) < 0) {
        if (errno == EEXIST)
            return false;
        throw EWriteError(CannotWrite(To, errno));
    }
    ::unlink(From);
    return true;
}

} // namespace

// Writes through to the descriptor in blocks; the first error is kept for Commit and fails the
// stream, so encoders stop early.
class TAtomicFile::TBuffer final : public std::streambuf {
public:
    explicit TBuffer(int Fd) : FFd(Fd) { setp(FBlock.data(), FBlock.data() + FBlock.size()); }
    int Error() const { return FError; }
    // Writes what is buffered; 0 or the errno of the failure.
    int Drain() {
        if (FError == 0) {
            FError = WriteAll(FFd, pbase(), static_cast<std::size_t>(pptr() - pbase()));
            setp(FBlock.data(), FBlock.data() + FBlock.size());
        }
        return FError;
    }

protected:
    int_type overflow(int_type Ch) override {
        if (Drain() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(Ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(Ch);
            pbump(1);
        }
        return traits_type::not_eof(Ch);
    }
    std::streamsize xsputn(const char* S, std::streamsize N) override {
        // Large pieces (an image's rows) go straight to the file.
        if (N >= static_cast<std::streamsize>(FBlock.size())) {
            if (Drain() != 0 || (FError = WriteAll(FFd, S, static_cast<std::size_t>(N))) != 0)
                return 0;
            return N;
        }
        return std::streambuf::xsputn(S, N);
    }
    int sync() override { return Drain() == 0 ? 0 : -1; }

private:
    int FFd;
    int FError = 0;
    std::array<char, 64 * 1024> FBlock;
};

TAtomicFile::TAtomicFile(const std::string& Path, TAtomicWriteOptions Options)
    : FPath(Path), FOptions(Options) {
    const std::filesystem::path TargetPath(Path);
    const std::string Name = TargetPath.filename().string();
    if (Name.empty())
        throw EFCreateError("Cannot create file \"" + Path + "\": " + std::strerror(EISDIR));
    bool Exact = true;
    const mode_t Mode = ModeFor(Path, FOptions.Replace, &Exact);
    FFd = CreateUnnamed(TargetPath.parent_path().string(), Mode & 0777);
    FUnnamed = FFd >= 0;
    // A file system without unnamed files (or a folder that is not there, which then fails here
    // with its own reason).
    if (!FUnnamed)
        FFd = CreateTemporary(TempPrefix(), Mode & 0777, FTempName);
    if (FFd < 0)
        throw EFCreateError("Cannot create file \"" + Path + "\": " + std::strerror(errno));
    FChmod = Exact ? 0 : Mode;
    FBuffer = std::make_unique<TBuffer>(FFd);
    FStream = std::make_unique<std::ostream>(FBuffer.get());
}

TAtomicFile::~TAtomicFile() {
    if (FFd >= 0)
        ::close(FFd);
    if (!FDone && !FTempName.empty())
        ::unlink(FTempName.c_str());
}

std::string TAtomicFile::TempPrefix() const {
    const std::filesystem::path TargetPath(FPath);
    std::string Hidden = TargetPath.filename().string();
    Hidden.insert(Hidden.begin(), '.');
    Hidden += '.';
    return (TargetPath.parent_path() / Hidden).string();
}

std::ostream& TAtomicFile::Stream() {
    return *FStream;
}

void TAtomicFile::Write(std::string_view Bytes) {
    FStream->write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (FBuffer->Error() != 0)
        throw EWriteError(CannotWrite(FPath, FBuffer->Error()));
}

bool TAtomicFile::Commit() {
    if (FDone || FFd < 0)
        throw EWriteError("Cannot write file \"" + FPath + "\": it has been written already");
    if (const int Error = FBuffer->Drain())
        throw EWriteError(CannotWrite(FPath, Error));
    if (FStream->bad())
        throw EWriteError("Cannot write file \"" + FPath + "\"");
    if (FChmod != 0 && ::fchmod(FFd, FChmod) < 0)
        throw EWriteError(CannotWrite(FPath, errno));
    // Without the sync a crash soon after the rename could leave an empty file under the name.
    if (FOptions.Sync && ::fsync(FFd) < 0)
        throw EWriteError(CannotWrite(FPath, errno));
    if (FUnnamed)
        return CommitUnnamed();
    const int Closed = ::close(FFd);
    FFd = -1;
    // close may only now report a failed write (on a network file system, say).
    if (Closed < 0)
        throw EWriteError(CannotWrite(FPath, errno));
    if (FOptions.Replace) {
        if (::rename(FTempName.c_str(), FPath.c_str()) < 0)
            throw EWriteError(CannotWrite(FPath, errno));
    } else if (!RenameNoReplace(FTempName.c_str(), FPath)) {
        return false;
    }
    FDone = true;
    return true;
}

bool TAtomicFile::CommitUnnamed() {
    // The common case: the name is free, and one link makes the whole file appear under it.
    int Error = LinkUnnamed(FFd, FPath);
    if (Error == 0) {
        FDone = true;
        const int Closed = ::close(FFd);
        FFd = -1;
        if (Closed < 0) {
            // The name was free before: freeing it again leaves things as they were.
            const int CloseError = errno;
            ::unlink(FPath.c_str());
            throw EWriteError(CannotWrite(FPath, CloseError));
        }
        return true;
    }
    if (Error != EEXIST)
        throw EWriteError(CannotWrite(FPath, Error));
    if (!FOptions.Replace) {
        ::close(FFd); // the content goes with it
        FFd = -1;
        return false;
    }
    // A file to replace: the content gets a name beside it first and then takes its place, so
    // that the name never stands empty.
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        FTempName = RandomName(TempPrefix());
        Error = LinkUnnamed(FFd, FTempName);
        if (Error != EEXIST)
            break;
    }
    if (Error != 0) {
        FTempName.clear();
        throw EWriteError(CannotWrite(FPath, Error));
    }
    const int Closed = ::close(FFd);
    FFd = -1;
    if (Closed < 0)
        throw EWriteError(CannotWrite(FPath, errno));
    if (::rename(FTempName.c_str(), FPath.c_str()) < 0)
        throw EWriteError(CannotWrite(FPath, errno));
    FDone = true;
    return true;
}

bool WriteFileAtomically(const std::string& Path, std::string_view Bytes,
                         TAtomicWriteOptions Options) {
    TAtomicFile File(Path, Options);
    File.Write(Bytes);
    return File.Commit();
}

} // namespace vcl
