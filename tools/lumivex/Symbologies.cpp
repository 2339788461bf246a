// Looking symbologies up by the names the command line accepts.

#include "tools/lumivex/Symbologies.h"

#include <cstddef>

#include "host/classes/Classes.h"

namespace lumivex::cli {

namespace {

// Calls Each with every short name of S, in the row's order.
template <typename F> bool AnyShortName(const Symbology& S, F Each) {
    std::string_view Rest = S.ShortNames;
    while (true) {
        const std::size_t Comma = Rest.find(',');
        if (Each(Rest.substr(0, Comma)))
            return true;
        if (Comma == std::string_view::npos)
            return false;
        Rest.remove_prefix(Comma + 1);
    }
}

} // namespace

const Symbology* FindSymbology(std::string_view Name) {
    for (const Symbology& S : Symbologies())
        if (vcl::SameText(Name, S.Identifier) ||
            AnyShortName(S, [&](std::string_view Short) { return vcl::SameText(Name, Short); }))
            return &S;
    return nullptr;
}

std::string ValidSymbologyNames() {
    std::string Names;
    for (const Symbology& S : Symbologies())
        AnyShortName(S, [&](std::string_view Short) {
            if (!Names.empty())
                Names += ", ";
            Names += Short;
            return false;
        });
    return Names;
}

} // namespace lumivex::cli
