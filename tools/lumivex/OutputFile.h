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

struct AtomicWriteMode {
    // Syncs the data before the rename, so that even a crash of the system right after it cannot
    // leave an empty file under the name. Without it the rename still guarantees that a reader,
    // or a run that was stopped, never sees a partial file; a batch of thousands of files skips
    // it, since one sync per file costs more than everything else the file takes.
    bool Sync = true;
    // An existing Path is replaced; without it, Path is left alone and nothing is written.
    bool Replace = true;
};

// As above; returns false, having written nothing, when Path exists and Mode.Replace is off.
bool WriteFileAtomically(const std::string& Path, std::string_view Bytes, AtomicWriteMode Mode);

// Creates Directory and any missing parents; raises vcl::EFCreateError with the system's reason
// when it cannot.
void CreateOutputDirectory(const std::string& Directory);

// Writes Bytes, binary, to standard output; raises vcl::EWriteError when it cannot.
void WriteStandardOutput(std::string_view Bytes);

} // namespace lumivex::cli
