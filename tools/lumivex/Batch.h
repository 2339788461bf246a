#pragma once
// The batch loop: one PNG file per record of a dataset, drawn by a data-aware barcode component.
// The batch command and its benchmark both run it, so the benchmark measures what users get.

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "host/db/DB.h"
#include "host/graphics/Graphics.h"
#include "tools/lumivex/Render.h"

namespace lumivex::cli {

struct BatchJob {
    // How every barcode is drawn; the text comes from the records.
    RenderSettings Symbol;
    // 0: no resolution chunk.
    int Dpi = 0;
    // What black and white are written as.
    vcl::TInkColours Colours;
    // The field whose display text is encoded.
    std::string Field;
    // The field that names the files; empty: the record numbers name them.
    std::string NameField;
    // The data's file, for messages.
    std::string Source;
    // Created if missing.
    std::string Directory = "out/batch";
    // Existing files are replaced; else the record is skipped and the file kept.
    bool Replace = false;
    // Threads that draw, encode and write; the files, the messages and the totals are those of
    // one.
    int Jobs = 1;
    // Draw what the symbology would change as the components do (dropping, cutting), instead
    // of refusing the record.
    bool Filter = false;
    // Names the files instead of Directory and the record numbers: each '~' a digit of the
    // record number (see LineInput.h).
    std::string Pattern;
};

enum class RecordResult : std::uint8_t {
    Written,
    // The field's text holds nothing that the symbology can carry.
    NothingToEncode,
    // The file exists and Replace is off.
    Exists,
    // The symbology would change the text (Filter is off); Error says how.
    Refused,
    // Rendering, encoding or writing raised; Error says why.
    Failed,
};

struct RecordReport {
    // 1-based, as the dataset counts.
    int RecNo = 0;
    RecordResult Result = RecordResult::Written;
    // The field's text as read, before filtering.
    std::string_view FieldText;
    // The file meant for the record, empty when the failure came before it was named.
    std::string_view Path;
    std::string_view Error;
};

// What the loop tells and asks as it goes; every call comes from the loop's own thread, the
// records in their order whatever the number of jobs.
class BatchListener {
public:
    virtual ~BatchListener() = default;
    // Once, after the data is open and the fields checked.
    virtual void Started(int /*Total*/) {}
    // After each record, whatever became of it.
    virtual void RecordDone(const RecordReport& /*Report*/) {}
    // Asked before each record; true ends the batch between two records.
    virtual bool StopRequested() { return false; }
};

struct BatchTotals {
    int Total = 0;
    int Written = 0;
    // Nothing to encode, refused, or the file existed.
    int Skipped = 0;
    int Failed = 0;
    // The listener asked to stop before every record was done.
    bool Stopped = false;
    // So many records failed one after the other that the rest would have too (a full disk, a
    // directory that went away).
    bool GaveUp = false;
};

// Records failed one after the other before the loop gives up.
inline constexpr int MaxFailuresInARow = 20;

namespace detail {
// An output stream's buffer that appends to a string the caller keeps.
class AppendBuffer : public std::streambuf {
public:
    explicit AppendBuffer(std::string& Bytes) : FBytes(Bytes) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    std::string& FBytes;
};
} // namespace detail

// Encodes one bitmap after another into the same buffer, whose capacity outlives each image, so
// that a batch of images of one size allocates for the first one only.
class PngEncoder {
public:
    PngEncoder() : FBuffer(FBytes), FStream(&FBuffer) {}
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // The PNG file's bytes, valid until the next call.
    std::string_view Encode(const vcl::TBitmap& Bitmap, int Dpi,
                            const vcl::TInkColours& Colours = {});

private:
    std::string FBytes;
    detail::AppendBuffer FBuffer;
    std::ostream FStream;
};

// Opens Data (its own exceptions name the file or the SQL error), checks the fields, creates
// the directory and writes one file per record. Failures of single records are reported to the
// listener and counted; the loop goes on. Raises vcl::EDatabaseError for a missing field,
// vcl::EFCreateError for a directory that cannot be created and UsageError for a pattern that
// cannot name every record.
BatchTotals RunBatchLoop(vcl::TDataSet& Data, const BatchJob& Job, BatchListener& Listener);

// The file name (without ".png") that a value of the name field gives: bytes other than
// [A-Za-z0-9._-] become '_' (one for each character of UTF-8 text), no leading '.', at most
// MaxNameBytes bytes. Empty for an empty value.
std::string SanitizeFileName(std::string_view Value);
inline constexpr std::size_t MaxNameBytes = 100;

} // namespace lumivex::cli
