// TCSVDataSet: the records of a CSV file, read whole and parsed in one pass.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unordered_set>

#include "host/db/DB.h"

namespace vcl {
namespace {

// As many columns as the widest SQLite table; every record costs a value per header field.
constexpr std::size_t MaxFields = 32767;

std::string Lower(std::string S) {
    for (char& c : S)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return S;
}

class TCSVParser {
public:
    TCSVParser(const std::string& Text, const std::string& Source)
        : FText(Text), FSource(Source), FSize(Text.size()) {
        if (FText.starts_with("\xEF\xBB\xBF"))
            FPos = 3;
    }

    void Run(std::vector<std::string>& Names, std::vector<TDataSet::Record>& Records) {
        if (FSize > TCSVDataSet::MaxFileBytes)
            throw EDatabaseError(FSource + ": the file is larger than " +
                                 MiB(TCSVDataSet::MaxFileBytes));
        if (FPos == FSize)
            throw EDatabaseError(FSource + ": the file is empty; its first line must name the "
                                           "fields");
        std::vector<std::string> names;
        std::vector<TDataSet::Record> records;
        TDataSet::Record fields;
        bool header = true;
        while (FPos < FSize) {
            const std::size_t line = FLine;
            fields.clear();
            // Past the header's count only the number is kept, for the message.
            const std::size_t keep = header ? SIZE_MAX : names.size();
            std::size_t count = 0;
            for (;;) {
                std::string value = ReadField();
                if (count++ < keep) {
                    Account(line, sizeof(TDataSet::Value) +
                                      (value.size() > kShortString ? value.size() + 1 : 0));
                    fields.push_back(std::move(value));
                }
                if (header && count > MaxFields)
                    Fail(line,
                         "the header names more than " + std::to_string(MaxFields) + " fields");
                if (FPos < FSize && FText[FPos] == ',') {
                    ++FPos;
                    continue;
                }
                if (FPos < FSize) { // the line break: LF, or CR LF after a quoted field
                    if (FText[FPos] == '\r')
                        ++FPos;
                    ++FPos;
                    ++FLine;
                }
                break;
            }
            if (header) {
                std::unordered_set<std::string> seen;
                for (std::size_t i = 0; i < fields.size(); ++i) {
                    const std::string& name = *fields[i];
                    if (name.empty())
                        Fail(line, "field " + std::to_string(i + 1) + " of the header has no name");
                    // Field names are looked up without regard to ASCII case.
                    if (!seen.insert(Lower(name)).second)
                        Fail(line, "the header names the field '" + name + "' twice");
                    names.push_back(name);
                }
                header = false;
            } else {
                if (count != names.size())
                    Fail(line, "the record has " + std::to_string(count) +
                                   " field(s); the header "
                                   "names " +
                                   std::to_string(names.size()));
                // The record's vector, and the slot it takes in the records (twice, while the
                // records grow).
                Account(line, 2 * sizeof(TDataSet::Record) + kAllocation);
                records.push_back(std::move(fields));
                fields = {};
                fields.reserve(names.size());
            }
        }
        Names = std::move(names);
        Records = std::move(records);
    }

private:
    // The bytes a string holds in itself, and what the allocator adds to each block.
    static constexpr std::size_t kShortString = 15, kAllocation = 16;

    static std::string MiB(std::size_t Bytes) { return std::to_string(Bytes >> 20) + " MiB"; }

    void Account(std::size_t Line, std::size_t Bytes) {
        FBytes += Bytes;
        if (FBytes > TCSVDataSet::MaxRecordBytes)
            Fail(Line, "the records would take more than " + MiB(TCSVDataSet::MaxRecordBytes) +
                           " in memory");
    }

    [[noreturn]] void Fail(std::size_t Line, const std::string& Msg) const {
        throw EDatabaseError(FSource + ", line " + std::to_string(Line) + ": " + Msg);
    }

    bool AtLineBreak(std::size_t Pos) const {
        return FText[Pos] == '\n' ||
               (FText[Pos] == '\r' && Pos + 1 < FSize && FText[Pos + 1] == '\n');
    }

    // Reads one field and stops at the comma, line break or end that follows it.
    std::string ReadField() {
        std::string value;
        if (FPos < FSize && FText[FPos] == '"') {
            const std::size_t opened = FLine;
            ++FPos;
            for (;;) {
                if (FPos >= FSize)
                    Fail(opened, "a quoted field is not closed");
                const char c = FText[FPos];
                if (c == '"') {
                    if (FPos + 1 < FSize && FText[FPos + 1] == '"') {
                        value += '"';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                if (c == '\n')
                    ++FLine;
                value += c;
                ++FPos;
            }
            if (FPos < FSize && FText[FPos] != ',' && !AtLineBreak(FPos))
                Fail(FLine, "a quoted field must be followed by a comma or a line break");
            return value;
        }
        const std::size_t start = FPos;
        while (FPos < FSize && FText[FPos] != ',' && FText[FPos] != '\n') {
            if (FText[FPos] == '"')
                Fail(FLine, "a quote inside an unquoted field (quote the whole field and "
                            "double the quote)");
            ++FPos;
        }
        std::size_t end = FPos;
        // A CR is data except as the first half of a CR LF line break.
        if (FPos < FSize && FText[FPos] == '\n' && end > start && FText[end - 1] == '\r')
            --end;
        return FText.substr(start, end - start);
    }

    const std::string& FText;
    const std::string& FSource;
    std::size_t FSize;
    std::size_t FPos = 0;
    std::size_t FLine = 1;
    std::size_t FBytes = 0;
};

} // namespace

TCSVDataSet::TCSVDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

void TCSVDataSet::SetFileName(const std::string& Value) {
    CheckInactive();
    FFileName = Value;
}

void TCSVDataSet::Parse(const std::string& Text, const std::string& Source,
                        std::vector<std::string>& Names, std::vector<Record>& Records) {
    TCSVParser(Text, Source).Run(Names, Records);
}

void TCSVDataSet::InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) {
    if (FFileName.empty())
        throw EDatabaseError("No CSV file name given");
    const auto cannotOpen = [&](const std::string& Why) {
        throw EDatabaseError("Cannot open file " + FFileName + ": " + Why);
    };
    std::error_code ec;
    const auto status = std::filesystem::status(FFileName, ec);
    if (ec)
        cannotOpen(ec.message());
    if (!std::filesystem::is_regular_file(status))
        cannotOpen("not a regular file");
    const std::uintmax_t size = std::filesystem::file_size(FFileName, ec);
    if (ec)
        cannotOpen(ec.message());
    if (size > MaxFileBytes)
        cannotOpen("the file is larger than " + std::to_string(MaxFileBytes >> 20) + " MiB");
    std::ifstream in(FFileName, std::ios::binary);
    if (!in)
        cannotOpen(errno ? std::strerror(errno) : "unknown error");
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (in.bad())
        cannotOpen("read error");
    // A file that shrank since its size was taken is read as it now is.
    text.resize(static_cast<std::size_t>(in.gcount()));
    Parse(text, FFileName, Names, Records);
}

// The change stays in the records in memory; the file is not written.
void TCSVDataSet::InternalPost(int, const Record&, const Record&) {}

const TClassInfo& TCSVDataSet::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TCSVDataSet", &TDataSet::StaticClassInfo(), &CreateComponent<TCSVDataSet>);
        c.String<TCSVDataSet, const std::string&>("FileName", &TCSVDataSet::GetFileName,
                                                  &TCSVDataSet::SetFileName);
        return c;
    }();
    return info;
}

} // namespace vcl
