// The batch loop: the dataset drives a TDBBarcodeBmp through a data source; each record's bitmap
// is encoded into one reused buffer and written through a temporary file and a rename.

#include "tools/lumivex/Batch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include <sys/stat.h>

#include "components/DBBarcodeBmp.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"
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

// File names already given in this run, so that two records never write the same file.
class Names {
public:
    Names(const BatchJob& Job, int Total) : FFromData(!Job.NameField.empty()) {
        FWidth = DigitsOf(Total);
        FPrefix = Job.Directory;
        if (!FPrefix.empty() && FPrefix.back() != '/')
            FPrefix += '/';
    }

    // The path of record RecNo's file into Path, whose capacity is reused.
    void PathFor(int RecNo, const vcl::TField* NameField, std::string& Path) {
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

private:
    bool FFromData;
    int FWidth = 1;
    std::string FPrefix;
    std::string FName;
    std::unordered_set<std::string> FTaken;
};

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

std::string_view PngEncoder::Encode(const vcl::TBitmap& Bitmap, int Dpi) {
    FBytes.clear();
    // A failed stream stays failed; each image starts from a clean one.
    FStream.clear();
    vcl::SaveBitmapToPng(Bitmap, FStream, Dpi);
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

BatchTotals RunBatchLoop(vcl::TDataSet& Data, const BatchJob& Job, BatchListener& Listener) {
    Data.Open();
    RequireField(Data, Job.Field, Job, "--field");
    const vcl::TField* NameField =
        Job.NameField.empty() ? nullptr : &RequireField(Data, Job.NameField, Job, "--name-field");
    CreateOutputDirectory(Job.Directory);

    BatchTotals Totals;
    Totals.Total = Data.GetRecordCount();
    Listener.Started(Totals.Total);

    // The source outlives the component, whose link leaves the source when it is freed.
    vcl::TDataSource Source(nullptr);
    Source.SetDataSet(&Data);
    TDBBarcodeBmp Barcode(nullptr);
    // Every setter renders; with no link yet, each draws an empty symbol, which costs nothing.
    Barcode.SetBarcodeType(Job.Symbol.Type);
    Barcode.SetScale(Job.Symbol.Scale);
    Barcode.SetHeight(Job.Symbol.Height);
    Barcode.SetInterpret(Job.Symbol.Interpret);
    Barcode.SetRotate(Job.Symbol.Rotate);
    Barcode.GetFont().SetName(Job.Symbol.FontName);
    // The field first: the link finds it when it meets the open dataset, and so renders the
    // first record once.
    Barcode.SetDataField(Job.Field);

    Names Naming(Job, Totals.Total);
    PngEncoder Encoder;
    std::string Path;
    std::string FieldText;
    const vcl::TAtomicWriteOptions Mode{/*Sync*/ false, /*Replace*/ Job.Replace};
    int FailuresInARow = 0;

    for (int RecNo = 1; RecNo <= Totals.Total; ++RecNo) {
        if (Listener.StopRequested()) {
            Totals.Stopped = true;
            break;
        }
        RecordReport Report;
        Report.RecNo = RecNo;
        Path.clear();
        FieldText.clear();
        std::string Error;
        try {
            // Either move renders the record: the link reports the change, the component
            // filters the field's text and draws it.
            if (RecNo == 1)
                Barcode.SetDataSource(&Source);
            else
                Data.Next();
            if (Barcode.GetBarcodeText().empty()) {
                // Its name stays free for a later record.
                Report.Result = RecordResult::NothingToEncode;
                FieldText = Barcode.GetFieldText();
            } else {
                Naming.PathFor(RecNo, NameField, Path);
                // The rename below refuses to replace a file all the same; asking first spares a
                // rerun of a batch the encoding and the temporary file of every existing one.
                struct stat Existing {};
                if (!Job.Replace && ::lstat(Path.c_str(), &Existing) == 0) {
                    Report.Result = RecordResult::Exists;
                } else {
                    const std::string_view Bytes = Encoder.Encode(Barcode.GetBitmap(), Job.Dpi);
                    Report.Result = vcl::WriteFileAtomically(Path, Bytes, Mode)
                                        ? RecordResult::Written
                                        : RecordResult::Exists;
                }
            }
        } catch (const vcl::Exception& E) {
            Report.Result = RecordResult::Failed;
            Error = E.GetMessage();
        } catch (const std::exception& E) {
            Report.Result = RecordResult::Failed;
            Error = E.what();
        }

        switch (Report.Result) {
        case RecordResult::Written:
            ++Totals.Written;
            break;
        case RecordResult::NothingToEncode:
        case RecordResult::Exists:
            ++Totals.Skipped;
            break;
        case RecordResult::Failed:
            ++Totals.Failed;
            break;
        }
        FailuresInARow = Report.Result == RecordResult::Failed ? FailuresInARow + 1 : 0;
        Report.FieldText = FieldText;
        Report.Path = Path;
        Report.Error = Error;
        Listener.RecordDone(Report);
        if (FailuresInARow >= MaxFailuresInARow && RecNo < Totals.Total) {
            Totals.GaveUp = true;
            break;
        }
    }
    return Totals;
}

} // namespace lumivex::cli
