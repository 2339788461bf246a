#pragma once
// A dataset on the lines of a text file or of standard input, for batches of one value a line.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/DB.h"

namespace vcl {

// The lines of a text file, or of standard input (file name "-"), one record each with the one
// field "Data": a line ends at LF, a CR just before it (or before the end) is dropped, the last
// line needs no LF, an empty line is an empty value, and any other byte is data. Unidirectional,
// a file is read twice in blocks, once to count the lines and once line by line; what cannot be
// read twice (standard input, a pipe) is copied to a temporary file on the first pass, and
// standard input is read by one open only.
class TLineDataSet : public TDataSet {
public:
    explicit TLineDataSet(TComponent* AOwner);
    ~TLineDataSet() override;

    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value);

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    static constexpr const char* DataFieldName = "Data";
    // A longer line is refused rather than read; no symbology carries a thousandth of it.
    static constexpr std::size_t MaxLineBytes = std::size_t{1} << 20;
    // What a whole read (not unidirectional) takes at most.
    static constexpr std::size_t MaxFileBytes = std::size_t{64} << 20;

    // The lines of Text, as the dataset reads them; raises EDatabaseError naming Source and the
    // line that is too long.
    static std::vector<std::string> Split(std::string_view Text, const std::string& Source);

protected:
    void InternalOpen(std::vector<std::string>& Names, std::vector<Record>& Records) override;
    void InternalPost(int RecNo, const Record& Original, const Record& Changed) override;
    std::int64_t InternalOpenCursor(std::vector<std::string>& Names) override;
    bool InternalFetch(Record& Next) override;
    void InternalCloseCursor() override;

private:
    struct TCursor;
    // The file opened for a read that may be repeated: the file itself when it is a regular
    // one, else a temporary copy made while Count counts its lines.
    std::unique_ptr<TCursor> OpenCounted(std::int64_t& Count);
    std::unique_ptr<TCursor> FCursor;
    std::string FFileName;
    bool FInputRead = false;
};

} // namespace vcl
