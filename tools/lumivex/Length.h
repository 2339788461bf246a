#pragma once
// Physical lengths on the command line: a number and its unit, as --xdim takes them.

#include <string>
#include <string_view>

namespace lumivex::cli {

// Millimetres for "0.33mm", "13mil" (thousandths of an inch) or "0.013in": a decimal number
// without sign or exponent, then the unit, nothing between or after. UsageError, naming Option,
// for anything else and for lengths outside 0.01..100 mm.
double ParseLength(std::string_view Text, std::string_view Option);

// Millimetres with three decimals and their equivalent in mils: "0.339 mm (13.3 mil)".
std::string DescribeLength(double Millimetres);

} // namespace lumivex::cli
