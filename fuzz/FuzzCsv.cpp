// The CSV reader with any bytes: field names and records, or EDatabaseError naming the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/db/DB.h"
#include "host/sysutils/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::vector<std::string> names;
    std::vector<vcl::TDataSet::Record> records;
    try {
        vcl::TCSVDataSet::Parse(std::string(reinterpret_cast<const char*>(Data), Size), "fuzz.csv",
                                names, records);
    } catch (const vcl::EDatabaseError&) {
        return 0;
    }
    // Every record holds a value for every field.
    for (const auto& r : records)
        if (r.size() != names.size())
            __builtin_trap();
    return 0;
}
