// Output directories, and writing to standard output.

#include "tools/lumivex/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "host/sysutils/SysUtils.h"

namespace lumivex::cli {

namespace {

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
        throw vcl::EWriteError("cannot write to standard output: " +
                               std::string(std::strerror(Error)));
}

} // namespace lumivex::cli
