#pragma once
// Named resources: the data a module (a program, a package) carries linked into it, by type and
// name, as a form's layout or a palette bitmap. A module's table is constant data, built with the
// module, so reaching a resource runs none of the module's code.

#include <cstdint>
#include <span>
#include <string_view>

namespace vcl {

// Numbered as the framework's resource files number them.
enum TResourceType : std::uint16_t { RT_BITMAP = 2, RT_RCDATA = 10 };

struct TResourceEntry {
    TResourceType Type;
    std::string_view Name; // in capitals, as resource compilers store names
    std::string_view Data;
};

class TResourceModule {
public:
    constexpr TResourceModule(std::string_view Name, std::span<const TResourceEntry> Entries)
        : FName(Name), FEntries(Entries) {}

    std::string_view Name() const { return FName; }
    std::span<const TResourceEntry> Entries() const { return FEntries; }
    // By type and name, compared without regard to case; nullptr when the module has none.
    const TResourceEntry* Find(TResourceType Type, std::string_view Name) const;

private:
    std::string_view FName;
    std::span<const TResourceEntry> FEntries;
};

// The data of a resource; EResNotFound "Resource NAME not found" when the module lacks it.
std::string_view LoadResource(const TResourceModule& Module, TResourceType Type,
                              std::string_view Name);

} // namespace vcl
