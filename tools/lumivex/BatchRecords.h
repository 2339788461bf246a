#pragma once
// The batch loop's three steps, shared by the loop on one thread and the one on many: reading a
// record and naming its file (in record order, on the loop's thread), drawing and writing it (on
// any thread, each with its own component), and counting and reporting it (in record order).

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "components/DBBarcodeBmp.h"
#include "engine/Symbology.h"
#include "host/sysutils/AtomicFile.h"
#include "tools/lumivex/Batch.h"

namespace lumivex::cli::detail {

// What is known of a record's outcome, for the rule that gives up after failures in a row.
enum class Outcome : std::uint8_t { Pending, Failed, Fine };

// One record between the steps.
struct Item {
    int RecNo = 0;
    RecordResult Result = RecordResult::Written;
    // Left to the drawing step; else the reader decided (nothing to encode, a failed move).
    bool Draw = false;
    Outcome State = Outcome::Pending;
    std::string FieldText;
    // What the component is given: the field's text, checked unless the job filters.
    std::string Text;
    std::string Path;
    std::string Error;
};

// File names already given in this run, so that two records never write the same file.
class Names {
public:
    Names(const BatchJob& Job, int Total);
    // The path of record RecNo's file into Path, whose capacity is reused.
    void PathFor(int RecNo, const vcl::TField* NameField, std::string& Path);

private:
    bool FFromData;
    const std::string& FPattern;
    int FWidth = 1;
    std::string FPrefix;
    std::string FName;
    std::unordered_set<std::string> FTaken;
};

// Moves the dataset to each record in turn and decides what becomes of it, before any drawing:
// a record whose text holds nothing to encode leaves its name free for a later one.
class Reader {
public:
    Reader(vcl::TDataSet& Data, const BatchJob& Job, const vcl::TField& Field,
           const vcl::TField* NameField, int Total);
    // Record 1 is the one the open dataset stands on; each later one is the next.
    void Read(int RecNo, Item& I);
    // The files go into a directory that held nothing when the batch began, under names no two
    // records share: none can exist but one another program wrote meanwhile, which the rename
    // still refuses to replace.
    bool IntoEmptyDirectory() const { return FIntoEmpty; }

private:
    // Sets I's Text to what the symbology carries unchanged; false with Error set when it would
    // change the field's text.
    bool Check(Item& I) const;
    vcl::TDataSet& FData;
    const BatchJob& FJob;
    const vcl::TField& FField;
    const vcl::TField* FNameField;
    const TSymbology& FSymbology;
    Names FNaming;
    bool FIntoEmpty = false;
};

// One thread's component and encoder: a data-aware barcode with the job's settings, given each
// record's checked text (or, when the job filters, the text as its data link would give it), so
// that the pixels are those of the component.
class Drawer {
public:
    // AskFirst: look for an existing file before drawing (see Reader::IntoEmptyDirectory).
    Drawer(const BatchJob& Job, bool AskFirst);
    Drawer(const Drawer&) = delete;
    Drawer& operator=(const Drawer&) = delete;

    // Draws I, and writes its file unless it exists (and is not to be replaced) or MayWrite(),
    // asked just before the write, says no; false then, with I untouched. Sets I's Result and
    // Error, not its State, which the caller's lock guards.
    template <typename MayWriteFn> bool Run(Item& I, MayWriteFn&& MayWrite);

private:
    // The steps before and after the question: false when the file exists and stays.
    bool Prepare(Item& I, std::string_view& Bytes);
    void Write(Item& I, std::string_view Bytes);
    void Fail(Item& I, std::string Error);

    const BatchJob& FJob;
    TDBBarcodeBmp FBarcode;
    PngEncoder FEncoder;
    const vcl::TAtomicWriteOptions FMode;
    const bool FAskFirst;
};

template <typename MayWriteFn> bool Drawer::Run(Item& I, MayWriteFn&& MayWrite) {
    std::string_view Bytes;
    try {
        if (Prepare(I, Bytes)) {
            if (!MayWrite())
                return false;
            Write(I, Bytes);
        }
    } catch (const vcl::Exception& E) {
        Fail(I, E.GetMessage());
    } catch (const std::exception& E) {
        Fail(I, E.what());
    }
    return true;
}

// Failures in a row after record I, given those before it.
inline int StreakAfter(int Streak, const Item& I) {
    return I.Result == RecordResult::Failed ? Streak + 1 : 0;
}

// The totals and the listener, record by record in order.
class Tally {
public:
    Tally(BatchTotals& Totals, BatchListener& Listener) : FTotals(Totals), FListener(Listener) {}
    // Counts and reports I; false when the loop gives up after it.
    bool Done(const Item& I);

private:
    BatchTotals& FTotals;
    BatchListener& FListener;
    int FFailuresInARow = 0;
};

// The loop on Jobs worker threads; the calling thread reads, and reports in record order.
void RunParallel(Reader& Read, const BatchJob& Job, BatchTotals& Totals, BatchListener& Listener);

} // namespace lumivex::cli::detail
