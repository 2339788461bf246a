#include "tools/lumivex/LinePattern.h"

#include <algorithm>

#include "tools/lumivex/UsageError.h"

namespace lumivex::cli {

namespace {

std::size_t Tildes(std::string_view Pattern) {
    return static_cast<std::size_t>(std::count(Pattern.begin(), Pattern.end(), '~'));
}

std::string Quoted(std::string_view Pattern) {
    return "-o '" + std::string(Pattern) + "'";
}

} // namespace

std::string NumberedPath(std::string_view Pattern, int LineNo) {
    std::string Path(Pattern);
    for (std::size_t i = Path.size(); i-- > 0;) {
        if (Path[i] != '~')
            continue;
        Path[i] = static_cast<char>('0' + LineNo % 10);
        LineNo /= 10;
    }
    return Path;
}

void CheckPattern(std::string_view Pattern, int Lines) {
    const std::size_t Digits = Tildes(Pattern);
    if (Digits == 0) {
        if (Lines > 1)
            throw UsageError(Quoted(Pattern) +
                             " has no '~' for the line number, and the input has " +
                             std::to_string(Lines) + " lines: each would replace the one before");
        return;
    }
    if (Digits < std::to_string(Lines).size())
        throw UsageError(Quoted(Pattern) + " numbers " +
                         std::string(Digits, '9').insert(0, "lines up to ") +
                         ", and the input has " + std::to_string(Lines) + " (give more '~')");
}

std::string LinePattern(const std::string& Output, bool Given) {
    if (!Given)
        return "~~~~~.png";
    if (Output.empty() || Output == "-")
        throw UsageError("-i writes one file per line: give -o a file name pattern, not '" +
                         Output + "'");
    const std::size_t Slash = Output.rfind('/');
    const std::size_t Dot = Output.rfind('.');
    const std::size_t NameStart = Slash == std::string::npos ? 0 : Slash + 1;
    if (Dot == std::string::npos || Dot <= NameStart)
        return Output + ".png";
    std::string Extension = Output.substr(Dot + 1);
    std::transform(Extension.begin(), Extension.end(), Extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c | 0x20); });
    if (Extension != "png")
        throw UsageError("-i writes PNG files; " + Quoted(Output) + " names another format");
    return Output;
}

} // namespace lumivex::cli
