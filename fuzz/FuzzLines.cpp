// The line reader with any bytes, in memory and through the dataset reading a file forward:
// both give the same lines, none holding a line break, none longer than the bound.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "host/db/DB.h"
#include "host/db/DBLineDataSet.h"
#include "host/sysutils/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    std::vector<std::string> lines;
    try {
        lines = vcl::TLineDataSet::Split(Text, "fuzz.txt");
    } catch (const vcl::EDatabaseError&) {
        return 0;
    }
    std::size_t bytes = 0;
    for (const std::string& line : lines) {
        if (line.find('\n') != std::string::npos || line.size() > vcl::TLineDataSet::MaxLineBytes)
            __builtin_trap();
        bytes += line.size();
    }
    if (bytes > Size)
        __builtin_trap();

    // The same bytes as a file, read as the batch reads it.
    static const int fd = ::memfd_create("fuzz-lines", 0);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, Data, Size, 0) != static_cast<ssize_t>(Size))
        return 0;
    vcl::TLineDataSet set(nullptr);
    set.SetFileName("/proc/self/fd/" + std::to_string(fd));
    set.SetUniDirectional(true);
    set.Open();
    if (set.GetRecordCount() != static_cast<int>(lines.size()))
        __builtin_trap();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            set.Next();
        if (set.GetField(0).GetAsString() != lines[i])
            __builtin_trap();
    }
    return 0;
}
