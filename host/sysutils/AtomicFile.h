#pragma once
// Files that are either complete or absent: every file the package writes (form files, BMP and
// PNG images, the command line's outputs) goes to a temporary file in its target's folder, one
// without a name where the file system allows, and takes the target's name only once it is
// whole. A failure at any step, or an exception while the
// content is produced, leaves the old file, or none, and no temporary file.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace vcl {

struct TAtomicWriteOptions {
    // Syncs the data before the file takes its name, so that even a crash of the whole system right
    // after it cannot leave an empty file under the name. Without it the naming still guarantees
    // that a reader, or a program that was stopped, never sees a partial file; a batch of thousands
    // of files skips it, since one sync per file costs more than everything else the file takes.
    bool Sync = true;
    // An existing file is replaced (keeping its permissions); without it, an existing file is
    // left alone and nothing is written.
    bool Replace = true;
};

// The file being written. Content goes to Stream() or Write(); Commit() puts it under the
// target's name. A writer that goes without a successful Commit removes its temporary file.
// Errors raise EFCreateError (the temporary file cannot be made) or EWriteError, naming the
// target and the system's reason.
class TAtomicFile {
public:
    explicit TAtomicFile(const std::string& Path, TAtomicWriteOptions Options = {});
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Buffered; a failed write shows as an exception at the latest in Commit.
    std::ostream& Stream();
    void Write(std::string_view Bytes);
    // Flushes, syncs if asked, and gives the file its name (a link or a rename). False, with
    // nothing written, when the target exists and the options say not to replace it.
    bool Commit();

    const std::string& Path() const { return FPath; }

private:
    class TBuffer;
    bool CommitUnnamed();
    std::string TempPrefix() const;
    std::string FPath;
    TAtomicWriteOptions FOptions;
    std::string FTempName;
    int FFd = -1;
    bool FUnnamed = false; // FFd is a file without a name yet (FTempName is empty)
    unsigned FChmod = 0;   // the mode to set before the naming, when open could not give it
    bool FDone = false;
    std::unique_ptr<TBuffer> FBuffer;
    std::unique_ptr<std::ostream> FStream;
};

// Writes Bytes as one file through TAtomicFile.
bool WriteFileAtomically(const std::string& Path, std::string_view Bytes,
                         TAtomicWriteOptions Options = {});

} // namespace vcl
