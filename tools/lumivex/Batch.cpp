// The batch loop: the dataset read forward, each record's text checked (or left to the
// component's filter) and drawn by a TDBBarcodeBmp, its bitmap encoded into one reused buffer
// and written through a temporary file and a rename.

#include "tools/lumivex/Batch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include <sys/stat.h>

#include "engine/Barcode.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/SysUtils.h"
#include "tools/lumivex/BatchRecords.h"
#include "tools/lumivex/DataCheck.h"
#include "tools/lumivex/LinePattern.h"
#include "tools/lumivex/OutputFile.h"

namespace lumivex::cli {

namespace {

int DigitsOf(int Value) {
    int Digits = 1;
    while (Value >= 10) {
        Value /= 10;
        ++Digits;
    }
    return Digits;
}

void AppendPadded(std::string& Out, int Value, int Width) {
    const std::string Digits = std::to_string(Value);
    if (static_cast<int>(Digits.size()) < Width)
        Out.append(static_cast<std::size_t>(Width) - Digits.size(), '0');
    Out += Digits;
}

vcl::TField& RequireField(const vcl::TDataSet& Data, const std::string& Name, const BatchJob& Job,
                          const char* Option) {
    if (vcl::TField* Field = Data.FindField(Name))
        return *Field;
    std::string Known;
    for (int i = 0; i < Data.GetFieldCount(); ++i) {
        if (i > 0)
            Known += ", ";
        Known += Data.GetField(i).GetFieldName();
    }
    throw vcl::EDatabaseError(Job.Source + ": no field '" + Name + "' (" + Option +
                              "); the fields are: " + Known);
}

} // namespace

namespace detail {

AppendBuffer::int_type AppendBuffer::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        FBytes.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize AppendBuffer::xsputn(const char* s, std::streamsize n) {
    FBytes.append(s, static_cast<std::size_t>(n));
    return n;
}

} // namespace detail

std::string_view PngEncoder::Encode(const vcl::TBitmap& Bitmap, int Dpi,
                                    const vcl::TInkColours& Colours) {
    FBytes.clear();
    // A failed stream stays failed; each image starts from a clean one.
    FStream.clear();
    vcl::SaveBitmapToPng(Bitmap, FStream, Dpi, Colours);
    return FBytes;
}

std::string SanitizeFileName(std::string_view Value) {
    std::string Name;
    Name.reserve(std::min(Value.size(), MaxNameBytes));
    bool InCharacter = false; // inside a multi-byte UTF-8 character
    for (const char Byte : Value) {
        const auto c = static_cast<unsigned char>(Byte);
        const bool Continuation = c >= 0x80 && c <= 0xBF;
        if (Continuation && InCharacter)
            continue;
        InCharacter = c >= 0x80;
        const bool Allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        // A leading dot would hide the file, or name the directory itself or its parent.
        Name += Allowed && !(c == '.' && Name.empty()) ? Byte : '_';
        if (Name.size() == MaxNameBytes)
            break;
    }
    return Name;
}

namespace detail {

Names::Names(const BatchJob& Job, int Total)
    : FFromData(!Job.NameField.empty()), FPattern(Job.Pattern) {
    FWidth = DigitsOf(Total);
    FPrefix = Job.Directory;
    if (!FPrefix.empty() && FPrefix.back() != '/')
        FPrefix += '/';
}

void Names::PathFor(int RecNo, const vcl::TField* NameField, std::string& Path) {
    if (!FPattern.empty()) {
        Path = NumberedPath(FPattern, RecNo);
        return;
    }
    FName.clear();
    if (FFromData)
        FName = SanitizeFileName(NameField->GetAsString());
    if (FName.empty())
        AppendPadded(FName, RecNo, FWidth);
    if (FFromData) {
        // A name that a record number gave may also be given by another record's data.
        while (!FTaken.insert(FName).second) {
            FName += '-';
            FName += std::to_string(RecNo);
        }
    }
    Path.assign(FPrefix);
    Path += FName;
    Path += ".png";
}

Reader::Reader(vcl::TDataSet& Data, const BatchJob& Job, const vcl::TField& Field,
               const vcl::TField* NameField, int Total)
    : FData(Data), FJob(Job), FField(Field), FNameField(NameField),
      FSymbology(BC_Symbologies.at(Job.Symbol.Type)), FNaming(Job, Total) {
    // A pattern may name files anywhere; only the job's own directory is looked at.
    if (Job.Pattern.empty()) {
        std::error_code Ec;
        const std::filesystem::directory_iterator First(
            Job.Directory.empty() ? std::string(".") : Job.Directory, Ec);
        FIntoEmpty = !Ec && First == std::filesystem::directory_iterator();
    }
}

void Reader::Read(int RecNo, Item& I) {
    I.RecNo = RecNo;
    I.Result = RecordResult::Written;
    I.Draw = false;
    I.State = Outcome::Pending;
    I.FieldText.clear();
    I.Text.clear();
    I.Path.clear();
    I.Error.clear();
    try {
        if (RecNo > 1)
            FData.Next();
        I.FieldText = FField.GetDisplayText();
        // Nothing at all, or (as the component's filter sees it) nothing it can carry, is
        // skipped; else, unless the job filters, the text must come out of the symbology as it
        // went in, or the record is refused rather than drawn as something else.
        if (FilterBCText(FJob.Symbol.Type, I.FieldText).empty() &&
            (FJob.Filter || I.FieldText.empty())) {
            I.Result = RecordResult::NothingToEncode;
            I.State = Outcome::Fine;
        } else if (!FJob.Filter && !Check(I)) {
            I.Result = RecordResult::Refused;
            I.State = Outcome::Fine;
        } else {
            if (FJob.Filter)
                I.Text = I.FieldText;
            FNaming.PathFor(RecNo, FNameField, I.Path);
            I.Draw = true;
        }
        return;
    } catch (const vcl::Exception& E) {
        I.Error = E.GetMessage();
    } catch (const std::exception& E) {
        I.Error = E.what();
    }
    I.Result = RecordResult::Failed;
    I.State = Outcome::Failed;
    I.FieldText.clear();
    I.Path.clear();
}

bool Reader::Check(Item& I) const {
    try {
        I.Text = CheckedData(FSymbology, I.FieldText);
        return true;
    } catch (const DataRefused& E) {
        I.Error = E.what();
        return false;
    }
}

Drawer::Drawer(const BatchJob& Job, bool AskFirst)
    : FJob(Job), FBarcode(nullptr), FMode{/*Sync*/ false, /*Replace*/ Job.Replace},
      FAskFirst(AskFirst && !Job.Replace) {
    // Every setter renders; with no text yet, each draws an empty symbol, which costs nothing.
    FBarcode.SetBarcodeType(Job.Symbol.Type);
    FBarcode.SetScale(Job.Symbol.Scale);
    FBarcode.SetHeight(Job.Symbol.Height);
    FBarcode.SetInterpret(Job.Symbol.Interpret);
    FBarcode.SetRotate(Job.Symbol.Rotate);
    FBarcode.GetFont().SetName(Job.Symbol.FontName);
}

bool Drawer::Prepare(Item& I, std::string_view& Bytes) {
    // The rename refuses to replace a file all the same; asking first spares a rerun of a batch
    // the drawing, the encoding and the temporary file of every existing one. Into an empty
    // directory the question is a system call per record answered no.
    struct stat Existing {};
    if (FAskFirst && ::lstat(I.Path.c_str(), &Existing) == 0) {
        I.Result = RecordResult::Exists;
        return false;
    }
    // Filtered and drawn as the data link's change would: the same text, the same pixels.
    FBarcode.SetBarcodeText(I.Text);
    Bytes = FEncoder.Encode(FBarcode.GetBitmap(), FJob.Dpi, FJob.Colours);
    return true;
}

void Drawer::Write(Item& I, std::string_view Bytes) {
    I.Result = vcl::WriteFileAtomically(I.Path, Bytes, FMode) ? RecordResult::Written
                                                              : RecordResult::Exists;
}

void Drawer::Fail(Item& I, std::string Error) {
    I.Result = RecordResult::Failed;
    I.Error = std::move(Error);
}

bool Tally::Done(const Item& I) {
    switch (I.Result) {
    case RecordResult::Written:
        ++FTotals.Written;
        break;
    case RecordResult::NothingToEncode:
    case RecordResult::Refused:
    case RecordResult::Exists:
        ++FTotals.Skipped;
        break;
    case RecordResult::Failed:
        ++FTotals.Failed;
        break;
    }
    FFailuresInARow = StreakAfter(FFailuresInARow, I);
    RecordReport Report;
    Report.RecNo = I.RecNo;
    Report.Result = I.Result;
    Report.FieldText = I.FieldText;
    Report.Path = I.Path;
    Report.Error = I.Error;
    FListener.RecordDone(Report);
    if (FFailuresInARow >= MaxFailuresInARow && I.RecNo < FTotals.Total) {
        FTotals.GaveUp = true;
        return false;
    }
    return true;
}

} // namespace detail

BatchTotals RunBatchLoop(vcl::TDataSet& Data, const BatchJob& Job, BatchListener& Listener) {
    Data.Open();
    const vcl::TField& Field = RequireField(Data, Job.Field, Job, "--field");
    const vcl::TField* NameField =
        Job.NameField.empty() ? nullptr : &RequireField(Data, Job.NameField, Job, "--name-field");
    BatchTotals Totals;
    Totals.Total = Data.GetRecordCount();
    if (!Job.Pattern.empty())
        CheckPattern(Job.Pattern, Totals.Total);
    else
        CreateOutputDirectory(Job.Directory);

    Listener.Started(Totals.Total);
    detail::Reader Read(Data, Job, Field, NameField, Totals.Total);
    if (Job.Jobs > 1 && Totals.Total > 1) {
        detail::RunParallel(Read, Job, Totals, Listener);
        return Totals;
    }

    // One thread: each record read, drawn and reported before the next.
    detail::Drawer Draw(Job, !Read.IntoEmptyDirectory());
    detail::Tally Count(Totals, Listener);
    detail::Item I;
    for (int RecNo = 1; RecNo <= Totals.Total; ++RecNo) {
        if (Listener.StopRequested()) {
            Totals.Stopped = true;
            break;
        }
        Read.Read(RecNo, I);
        if (I.Draw)
            Draw.Run(I, [] { return true; });
        if (!Count.Done(I))
            break;
    }
    return Totals;
}

} // namespace lumivex::cli
