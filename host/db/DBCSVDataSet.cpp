// TCSVDataSet: the records of a CSV file, read whole and parsed in one pass.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <string_view>
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

// The text being parsed, whole or read from a file in blocks, with two bytes of look-ahead.
class TCSVText {
public:
    explicit TCSVText(std::string_view Text) : FText(Text) {}
    explicit TCSVText(std::istream& In) : FIn(&In) {}

    // The byte Ahead places on, or -1 past the end.
    int At(std::size_t Ahead = 0) {
        if (FPos + Ahead >= FText.size() && !Fill(Ahead))
            return -1;
        return static_cast<unsigned char>(FText[FPos + Ahead]);
    }
    void Skip(std::size_t Count = 1) { FPos += Count; }
    // The bytes read so far.
    std::uint64_t Offset() const { return FBase + FPos; }
    bool ReadFailed() const { return FIn && FIn->bad(); }

private:
    bool Fill(std::size_t Ahead) {
        if (!FIn)
            return false;
        constexpr std::size_t kBlock = 64 * 1024;
        FBlock.erase(0, FPos);
        FBase += FPos;
        FPos = 0;
        while (FBlock.size() <= Ahead && *FIn) {
            const std::size_t had = FBlock.size();
            FBlock.resize(had + kBlock);
            FIn->read(FBlock.data() + had, static_cast<std::streamsize>(kBlock));
            FBlock.resize(had + static_cast<std::size_t>(FIn->gcount()));
        }
        FText = FBlock;
        return Ahead < FText.size();
    }

    std::string_view FText;
    std::istream* FIn = nullptr;
    std::string FBlock;
    std::size_t FPos = 0;
    std::uint64_t FBase = 0;
};

class TCSVParser {
public:
    // Total: the whole text is parsed into memory, and what it would take there is bounded;
    // else each record is bounded on its own.
    TCSVParser(TCSVText& Text, const std::string& Source, bool Total)
        : FText(Text), FSource(Source), FTotal(Total) {
        if (FText.At(0) == 0xEF && FText.At(1) == 0xBB && FText.At(2) == 0xBF)
            FText.Skip(3);
    }

    void ReadHeader(std::vector<std::string>& Names) {
        if (FText.At() < 0)
            throw EDatabaseError(FSource + ": the file is empty; its first line must name the "
                                           "fields");
        const std::size_t line = FLine;
        TDataSet::Record fields;
        ReadLine(line, SIZE_MAX, fields);
        std::unordered_set<std::string> seen;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string& name = *fields[i];
            if (name.empty())
                Fail(line, "field " + std::to_string(i + 1) + " of the header has no name");
            // Field names are looked up without regard to ASCII case.
            if (!seen.insert(Lower(name)).second)
                Fail(line, "the header names the field '" + name + "' twice");
            names.push_back(name);
        }
        Names = std::move(names);
        FCount = Names.size();
    }

    // The next record into Fields; false at the end of the text.
    bool ReadRecord(TDataSet::Record& Fields) {
        if (FText.At() < 0)
            return false;
        const std::size_t line = FLine;
        if (!FTotal)
            FBytes = 0;
        Fields.clear();
        const std::size_t count = ReadLine(line, FCount, Fields);
        if (count != FCount)
            Fail(line, "the record has " + std::to_string(count) + " field(s); the header names " +
                           std::to_string(FCount));
        // The record's vector, and the slot it takes in the records (twice, while the records
        // grow).
        Account(line, 2 * sizeof(TDataSet::Record) + kAllocation);
        return true;
    }

    void Run(std::vector<std::string>& Names, std::vector<TDataSet::Record>& Records) {
        std::vector<std::string> names;
        ReadHeader(names);
        std::vector<TDataSet::Record> records;
        TDataSet::Record fields;
        while (ReadRecord(fields)) {
            records.push_back(std::move(fields));
            fields = {};
            fields.reserve(names.size());
        }
        Names = std::move(names);
        Records = std::move(records);
    }

private:
    // The bytes a string holds in itself, and what the allocator adds to each block.
    static constexpr std::size_t kShortString = 15, kAllocation = 16;

    static std::string MiB(std::size_t Bytes) { return std::to_string(Bytes >> 20) + " MiB"; }

    // Reads the fields of one line, keeping the first Keep of them (past the header's count
    // only the number is kept, for the message); returns how many there were.
    std::size_t ReadLine(std::size_t Line, std::size_t Keep, TDataSet::Record& Fields) {
        const bool header = Keep == SIZE_MAX;
        std::size_t count = 0;
        for (;;) {
            std::string value = ReadField();
            if (count++ < Keep) {
                Account(Line, sizeof(TDataSet::Value) +
                                  (value.size() > kShortString ? value.size() + 1 : 0));
                Fields.push_back(std::move(value));
            }
            if (header && count > MaxFields)
                Fail(Line, "the header names more than " + std::to_string(MaxFields) + " fields");
            const int c = FText.At();
            if (c == ',') {
                FText.Skip();
                continue;
            }
            if (c >= 0) { // the line break: LF, or CR LF after a quoted field
                FText.Skip(c == '\r' ? 2 : 1);
                ++FLine;
            }
            return count;
        }
    }

    void Account(std::size_t Line, std::size_t Bytes) {
        FBytes += Bytes;
        if (FBytes > TCSVDataSet::MaxRecordBytes)
            Fail(Line, (FTotal ? "the records would take more than "
                               : "the record would take more than ") +
                           MiB(TCSVDataSet::MaxRecordBytes) + " in memory");
    }

    [[noreturn]] void Fail(std::size_t Line, const std::string& Msg) const {
        throw EDatabaseError(FSource + ", line " + std::to_string(Line) + ": " + Msg);
    }

    bool AtLineBreak() { return FText.At() == '\n' || (FText.At() == '\r' && FText.At(1) == '\n'); }

    // Reads one field and stops at the comma, line break or end that follows it.
    std::string ReadField() {
        std::string value;
        if (FText.At() == '"') {
            const std::size_t opened = FLine;
            FText.Skip();
            for (;;) {
                const int c = FText.At();
                if (c < 0)
                    Fail(opened,
                         FText.ReadFailed() ? "read error" : "a quoted field is not closed");
                if (c == '"') {
                    if (FText.At(1) == '"') {
                        value += '"';
                        FText.Skip(2);
                        continue;
                    }
                    FText.Skip();
                    break;
                }
                if (c == '\n')
                    ++FLine;
                value += static_cast<char>(c);
                FText.Skip();
            }
            if (FText.At() >= 0 && FText.At() != ',' && !AtLineBreak())
                Fail(FLine, "a quoted field must be followed by a comma or a line break");
            return value;
        }
        for (int c = FText.At(); c >= 0 && c != ',' && c != '\n'; c = FText.At()) {
            if (c == '"')
                Fail(FLine, "a quote inside an unquoted field (quote the whole field and "
                            "double the quote)");
            value += static_cast<char>(c);
            FText.Skip();
        }
        // A CR is data except as the first half of a CR LF line break.
        if (FText.At() == '\n' && !value.empty() && value.back() == '\r')
            value.pop_back();
        if (FText.ReadFailed())
            Fail(FLine, "read error");
        return value;
    }

    TCSVText& FText;
    const std::string& FSource;
    const bool FTotal;
    std::size_t FCount = 0;
    std::size_t FLine = 1;
    std::size_t FBytes = 0;
};

} // namespace

struct TCSVDataSet::TCursor {
    std::ifstream In;
    std::optional<TCSVText> Text;
    std::optional<TCSVParser> Parser;
};

TCSVDataSet::TCSVDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

// The cursor goes with the dataset, which closes it first.
TCSVDataSet::~TCSVDataSet() {
    try {
        Close();
    } catch (...) {
    }
}

void TCSVDataSet::SetFileName(const std::string& Value) {
    CheckInactive();
    FFileName = Value;
}

void TCSVDataSet::Parse(const std::string& Text, const std::string& Source,
                        std::vector<std::string>& Names, std::vector<Record>& Records) {
    if (Text.size() > MaxFileBytes)
        throw EDatabaseError(Source + ": the file is larger than " +
                             std::to_string(MaxFileBytes >> 20) + " MiB");
    TCSVText text(Text);
    TCSVParser(text, Source, true).Run(Names, Records);
}

namespace {

// Opens FileName for reading, raising EDatabaseError with the system's reason when it cannot.
std::uintmax_t OpenCsvFile(const std::string& FileName, std::ifstream& In) {
    if (FileName.empty())
        throw EDatabaseError("No CSV file name given");
    const auto cannotOpen = [&](const std::string& Why) {
        throw EDatabaseError("Cannot open file " + FileName + ": " + Why);
    };
    std::error_code ec;
    const auto status = std::filesystem::status(FileName, ec);
    if (ec)
        cannotOpen(ec.message());
    if (!std::filesystem::is_regular_file(status))
        cannotOpen("not a regular file");
    const std::uintmax_t size = std::filesystem::file_size(FileName, ec);
    if (ec)
        cannotOpen(ec.message());
    In.open(FileName, std::ios::binary);
    if (!In)
        cannotOpen(errno ? std::strerror(errno) : "unknown error");
    return size;
}

} // namespace

std::int64_t TCSVDataSet::InternalOpenCursor(std::vector<std::string>& Names) {
    auto cursor = std::make_unique<TCursor>();
    OpenCsvFile(FFileName, cursor->In);
    // The first pass checks every line, as a whole read would, and counts the records.
    std::int64_t count = 0;
    {
        TCSVText text(cursor->In);
        TCSVParser parser(text, FFileName, false);
        parser.ReadHeader(Names);
        Record fields;
        while (parser.ReadRecord(fields))
            ++count;
        if (cursor->In.bad())
            throw EDatabaseError("Cannot read file " + FFileName);
    }
    cursor->In.clear();
    cursor->In.seekg(0);
    cursor->Text.emplace(cursor->In);
    cursor->Parser.emplace(*cursor->Text, FFileName, false);
    std::vector<std::string> again;
    cursor->Parser->ReadHeader(again);
    if (again != Names)
        throw EDatabaseError(FFileName + ": the file changed while it was read");
    FCursor = std::move(cursor);
    return count;
}

bool TCSVDataSet::InternalFetch(Record& Next) {
    return FCursor && FCursor->Parser->ReadRecord(Next);
}

void TCSVDataSet::InternalCloseCursor() {
    FCursor.reset();
}

void TCSVDataSet::InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) {
    std::ifstream in;
    const std::uintmax_t size = OpenCsvFile(FFileName, in);
    if (size > MaxFileBytes)
        throw EDatabaseError("Cannot open file " + FFileName + ": the file is larger than " +
                             std::to_string(MaxFileBytes >> 20) + " MiB");
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (in.bad())
        throw EDatabaseError("Cannot open file " + FFileName + ": read error");
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
