#pragma once
// Text as the inspector hands it over.

#include <string_view>

namespace vcl::detail {

// Without the blanks and tabs around it: the inspector's edit box keeps what was typed.
inline std::string_view Trim(std::string_view S) {
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t'))
        S.remove_prefix(1);
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t'))
        S.remove_suffix(1);
    return S;
}

} // namespace vcl::detail
