// TLineDataSet: the lines of a text file or of standard input, read in blocks.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

#include <sys/stat.h>

#include "host/db/DBLineDataSet.h"

namespace vcl {
namespace {

std::string SystemReason(int Error) {
    return Error ? std::strerror(Error) : "unknown error";
}

// Cuts the bytes that a source gives block by block into lines, so that no line is held longer
// than its own bytes and a line of any length costs at most MaxLineBytes.
class TLineReader {
public:
    // Fills a buffer and returns how many bytes it holds, 0 at the end; raises on a read error.
    using TSource = std::function<std::size_t(char*, std::size_t)>;

    TLineReader(TSource Source, const std::string& Name)
        : FSource(std::move(Source)), FName(Name) {}

    // The next line into Line, without its LF and the CR before it; false past the last.
    bool Next(std::string& Line) {
        Line.clear();
        bool any = false;
        for (;;) {
            if (FPos == FEnd && !Fill()) {
                if (!any)
                    return false;
                return Finish(Line);
            }
            any = true;
            const char* start = FBlock.data() + FPos;
            const auto* lf = static_cast<const char*>(std::memchr(start, '\n', FEnd - FPos));
            const std::size_t take = lf ? static_cast<std::size_t>(lf - start) : FEnd - FPos;
            // One byte past the bound may be the CR that is dropped.
            if (Line.size() + take > TLineDataSet::MaxLineBytes + 1)
                Fail();
            Line.append(start, take);
            FPos += take;
            if (lf) {
                ++FPos;
                return Finish(Line);
            }
        }
    }

    std::int64_t LineNo() const { return FLineNo; }

private:
    bool Finish(std::string& Line) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line.size() > TLineDataSet::MaxLineBytes)
            Fail();
        ++FLineNo;
        return true;
    }

    [[noreturn]] void Fail() const {
        throw EDatabaseError(FName + ", line " + std::to_string(FLineNo + 1) +
                             ": the line is longer than " +
                             std::to_string(TLineDataSet::MaxLineBytes >> 20) + " MiB");
    }

    bool Fill() {
        FPos = 0;
        FEnd = FSource(FBlock.data(), FBlock.size());
        return FEnd > 0;
    }

    TSource FSource;
    const std::string& FName;
    std::vector<char> FBlock = std::vector<char>(64 * 1024);
    std::size_t FPos = 0;
    std::size_t FEnd = 0;
    std::int64_t FLineNo = 0;
};

// Reads a file's blocks, copying each into Copy when there is one.
TLineReader::TSource FileSource(std::FILE* In, const std::string& Name, std::FILE* Copy) {
    return [In, &Name, Copy](char* Buffer, std::size_t Size) {
        const std::size_t got = std::fread(Buffer, 1, Size, In);
        if (got == 0 && std::ferror(In))
            throw EDatabaseError("Cannot read " + Name + ": " + SystemReason(errno));
        if (got > 0 && Copy && std::fwrite(Buffer, 1, got, Copy) != got)
            throw EDatabaseError("Cannot copy " + Name +
                                 " to a temporary file: " + SystemReason(errno));
        return got;
    };
}

} // namespace

struct TLineDataSet::TCursor {
    std::FILE* File = nullptr;
    bool Owned = false;
    std::string Name;
    std::optional<TLineReader> Reader;
    std::string Line;

    TCursor() = default;
    TCursor(const TCursor&) = delete;
    TCursor& operator=(const TCursor&) = delete;
    ~TCursor() {
        if (Owned && File)
            std::fclose(File);
    }
};

TLineDataSet::TLineDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TLineDataSet::~TLineDataSet() {
    try {
        Close();
    } catch (...) {
    }
}

void TLineDataSet::SetFileName(const std::string& Value) {
    CheckInactive();
    FFileName = Value;
}

std::vector<std::string> TLineDataSet::Split(std::string_view Text, const std::string& Source) {
    TLineReader reader(
        [&Text](char* Buffer, std::size_t Size) {
            const std::size_t got = std::min(Size, Text.size());
            std::memcpy(Buffer, Text.data(), got);
            Text.remove_prefix(got);
            return got;
        },
        Source);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    return lines;
}

std::unique_ptr<TLineDataSet::TCursor> TLineDataSet::OpenCounted(std::int64_t& Count) {
    if (FFileName.empty())
        throw EDatabaseError("No file name given");
    auto cursor = std::make_unique<TCursor>();
    const bool input = FFileName == "-";
    if (input) {
        // What was read of it is gone; a second open would see the rest, or nothing.
        if (FInputRead)
            throw EDatabaseError("Standard input was read already; it cannot be read again");
        FInputRead = true;
        cursor->Name = "standard input";
        cursor->File = stdin;
    } else {
        cursor->Name = FFileName;
        cursor->File = std::fopen(FFileName.c_str(), "rb");
        if (!cursor->File)
            throw EDatabaseError("Cannot open file " + FFileName + ": " + SystemReason(errno));
        cursor->Owned = true;
    }
    struct stat status {};
    if (::fstat(::fileno(cursor->File), &status) != 0)
        throw EDatabaseError("Cannot open " + cursor->Name + ": " + SystemReason(errno));
    if (S_ISDIR(status.st_mode))
        throw EDatabaseError("Cannot open " + cursor->Name + ": it is a directory");
    // A regular file is read again from its start; anything else only once, so the first pass
    // keeps a copy.
    std::FILE* copy = nullptr;
    if (input || !S_ISREG(status.st_mode)) {
        copy = std::tmpfile();
        if (!copy)
            throw EDatabaseError("Cannot copy " + cursor->Name +
                                 " to a temporary file: " + SystemReason(errno));
    }
    try {
        TLineReader counter(FileSource(cursor->File, cursor->Name, copy), cursor->Name);
        std::string line;
        Count = 0;
        while (counter.Next(line))
            ++Count;
        if (copy) {
            if (std::fflush(copy) != 0)
                throw EDatabaseError("Cannot copy " + cursor->Name +
                                     " to a temporary file: " + SystemReason(errno));
            if (cursor->Owned)
                std::fclose(cursor->File);
            cursor->File = copy;
            cursor->Owned = true;
            copy = nullptr;
        }
        if (std::fseek(cursor->File, 0, SEEK_SET) != 0)
            throw EDatabaseError("Cannot read " + cursor->Name + " again: " + SystemReason(errno));
    } catch (...) {
        if (copy)
            std::fclose(copy);
        throw;
    }
    cursor->Reader.emplace(FileSource(cursor->File, cursor->Name, nullptr), cursor->Name);
    return cursor;
}

std::int64_t TLineDataSet::InternalOpenCursor(std::vector<std::string>& Names) {
    std::int64_t count = 0;
    FCursor = OpenCounted(count);
    Names = {DataFieldName};
    return count;
}

bool TLineDataSet::InternalFetch(Record& Next) {
    if (!FCursor || !FCursor->Reader->Next(FCursor->Line))
        return false;
    Next.resize(1);
    Next[0] = FCursor->Line;
    return true;
}

void TLineDataSet::InternalCloseCursor() {
    FCursor.reset();
}

void TLineDataSet::InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) {
    std::int64_t count = 0;
    const std::unique_ptr<TCursor> cursor = OpenCounted(count);
    std::vector<Record> records;
    records.reserve(static_cast<std::size_t>(count));
    std::size_t bytes = 0;
    std::string line;
    while (cursor->Reader->Next(line)) {
        bytes += line.size() + sizeof(Record) + sizeof(Value);
        if (bytes > MaxFileBytes)
            throw EDatabaseError(cursor->Name + ": the lines would take more than " +
                                 std::to_string(MaxFileBytes >> 20) + " MiB in memory");
        records.push_back(Record{line});
    }
    Names = {DataFieldName};
    Records = std::move(records);
}

// The change stays in the records in memory; the file is not written.
void TLineDataSet::InternalPost(int, const Record&, const Record&) {}

const TClassInfo& TLineDataSet::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TLineDataSet", &TDataSet::StaticClassInfo(), &CreateComponent<TLineDataSet>);
        c.String<TLineDataSet, const std::string&>("FileName", &TLineDataSet::GetFileName,
                                                   &TLineDataSet::SetFileName);
        return c;
    }();
    return info;
}

} // namespace vcl
