#pragma once
// Output that is either complete or absent: a failed or interrupted run never leaves a partial
// image behind, and never clobbers the file it was meant to replace.

#include <string>
#include <string_view>

namespace lumivex::cli {

// Writes Bytes to a temporary file beside Path and renames it over Path. On any failure the
// temporary file is removed, Path is left as it was, and vcl::EFCreateError or vcl::EWriteError
// names the path and the system's reason.
void WriteFileAtomically(const std::string& Path, std::string_view Bytes);

// Writes Bytes, binary, to standard output; raises vcl::EWriteError when it cannot.
void WriteStandardOutput(std::string_view Bytes);

} // namespace lumivex::cli
