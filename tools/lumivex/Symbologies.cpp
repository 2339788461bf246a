// Looking symbologies up by the names the command line accepts.

#include "tools/lumivex/Symbologies.h"

#include <cstddef>

namespace lumivex::cli {

namespace {

bool SameIgnoringCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        auto Lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (Lower(static_cast<unsigned char>(A[i])) != Lower(static_cast<unsigned char>(B[i])))
            return false;
    }
    return true;
}

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
        if (SameIgnoringCase(Name, S.Identifier) ||
            AnyShortName(S, [&](std::string_view Short) { return SameIgnoringCase(Name, Short); }))
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
