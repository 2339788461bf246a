// Lengths with a unit: parsed strictly, so that "0.33" alone or "0,33mm" is refused rather
// than read as something the user did not mean.

#include "tools/lumivex/Length.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <utility>

#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

double ParseLength(std::string_view Text, std::string_view Option) {
    const std::string shown = std::string(Option) + " \"" + std::string(Text) + "\"";
    constexpr std::array<std::pair<std::string_view, double>, 3> units{
        {{"mm", 1.0}, {"mil", 0.0254}, {"in", 25.4}}};
    std::size_t digits = 0;
    while (digits < Text.size() &&
           ((Text[digits] >= '0' && Text[digits] <= '9') || Text[digits] == '.'))
        ++digits;
    const std::string_view number = Text.substr(0, digits), unit = Text.substr(digits);
    double factor = 0;
    for (const auto& [name, perUnit] : units)
        if (unit == name)
            factor = perUnit;
    if (factor == 0)
        throw UsageError("cannot read " + shown +
                         ": give a length with its unit, mm, mil or in (like 0.33mm or 13mil)");
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    if (number.empty() || error != std::errc{} || end != number.data() + number.size())
        throw UsageError("cannot read " + shown + ": the length must be a plain decimal number");
    const double mm = value * factor;
    if (!(mm >= 0.01 && mm <= 100))
        throw UsageError(shown + " is out of range: give 0.01 mm to 100 mm");
    return mm;
}

std::string DescribeLength(double Millimetres) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f mm (%.1f mil)", Millimetres, Millimetres / 0.0254);
    return buffer;
}

} // namespace lumivex::cli
