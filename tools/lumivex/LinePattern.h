#pragma once
// File names for line input, by zint's rule: every '~' of the pattern is a digit of the line
// number, filled from the right and padded with zeros ("lbl~~~~.png", line 12: "lbl0012.png").

#include <string>
#include <string_view>

namespace lumivex::cli {

// The path Pattern gives the line LineNo (1-based).
std::string NumberedPath(std::string_view Pattern, int LineNo);

// Raises UsageError unless Pattern names each of Lines lines apart: zint would write the lines
// past what its '~' can number, or every line of a pattern without one, over earlier files.
void CheckPattern(std::string_view Pattern, int Lines);

// The pattern for the -o that was given, or zint's "~~~~~.png" when none was; a name without
// an extension gets ".png", as zint gives it. Raises UsageError for an extension other than
// .png: the lines are written as PNG files.
std::string LinePattern(const std::string& Output, bool Given);

} // namespace lumivex::cli
