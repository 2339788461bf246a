#pragma once
// Where the command line's output goes besides files (which vcl::WriteFileAtomically writes):
// directories made on demand, and standard output.

#include <string>
#include <string_view>

namespace lumivex::cli {

// Creates Directory and any missing parents; raises vcl::EFCreateError with the system's reason
// when it cannot.
void CreateOutputDirectory(const std::string& Directory);

// Writes Bytes, binary, to standard output; raises vcl::EWriteError when it cannot.
void WriteStandardOutput(std::string_view Bytes);

} // namespace lumivex::cli
