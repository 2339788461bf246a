// lumivex batch: files per record, names, skipped records, existing files, hostile data, failures
// of the data source and usage errors; never a temporary file left behind.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "components/BarcodeBmp.h"
#include "engine/Barcode.h"
#include "tests/cli/PngProbe.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

namespace fs = std::filesystem;

struct Settings {
    TBarCodeType Type = bcCode128;
    int Scale = 1;
    int Height = 50;
    bool Interpret = true;
    TbcRotate Rotate = bcNoRotate;
};

// What the bitmap component draws for Text: the batch must write exactly these pixels.
void ExpectSameAsComponent(const PngImage& Image, const std::string& Text, const Settings& S) {
    TBarcodeBmp Reference(nullptr);
    Reference.SetBarcodeType(S.Type);
    Reference.SetScale(S.Scale);
    Reference.SetHeight(S.Height);
    Reference.SetInterpret(S.Interpret);
    Reference.SetRotate(S.Rotate);
    Reference.SetBarcodeText(Text);
    const vcl::TBitmap& B = Reference.GetBitmap();
    ASSERT_EQ(Image.Width, B.GetWidth());
    ASSERT_EQ(Image.Height, B.GetHeight());
    int Differences = 0;
    for (int Y = 0; Y < B.GetHeight(); ++Y)
        for (int X = 0; X < B.GetWidth(); ++X)
            Differences += (Image.At(X, Y) < 128) != (B.PixelColor(X, Y) == vcl::clBlack);
    EXPECT_EQ(Differences, 0) << "for " << Text;
}

PngImage ReadPng(const fs::path& Path) {
    const std::optional<PngImage> Image = DecodePng(ReadFile(Path));
    EXPECT_TRUE(Image.has_value()) << Path;
    return Image.value_or(PngImage{});
}

// A CSV field, quoted: the names below hold commas and quotes.
std::string CsvField(const std::string& Value) {
    std::string Out = "\"";
    for (char c : Value)
        Out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return Out + "\"";
}

TEST(BatchCommand, TenThousandCsvRecordsEndToEnd) {
    constexpr int Count = 10000;
    // Names that the data gives: ordinary ones, and some that must be made safe or that clash.
    std::map<int, std::string> SpecialNames{
        {1, "../etc/passwd"},          // no way out of the directory
        {2, ".hidden"},                // no leading dot
        {3, "Caf\xC3\xA9 au lait, 1"}, // one '_' per UTF-8 character
        {4, ""},                       // the record number instead
        {5, std::string(150, 'x')},    // cut to 100 bytes
        {6, "A-1"},                    // taken by record 7's data as well
        {7, "A-1"},
        {8, "A/1"}, // made into A_1, then taken: suffixed too
        {9, "A_1"},
    };
    std::string Csv = "id,name,code\n";
    for (int i = 1; i <= Count; ++i) {
        const auto Special = SpecialNames.find(i);
        const std::string Name = Special != SpecialNames.end()
                                     ? Special->second
                                     : std::string("item-") + std::to_string(i);
        Csv += std::to_string(i) + "," + CsvField(Name) + ",LX-" + std::to_string(i * 7) + "\n";
    }
    Sandbox Box;
    Box.WriteFile("items.csv", Csv);
    const RunResult Run =
        Box.Run({"batch", "--csv", "items.csv", "--field", "code", "--name-field", "name", "-b",
                 "code128", "--scale", "2", "--height", "40", "--rotate", "90", "--dpi", "300"});
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    EXPECT_EQ(Run.Err, "") << "no bar when standard error is not a terminal";
    const std::vector<std::string> Out = Lines(Run.Out);
    ASSERT_EQ(Out.size(), 1u) << Run.Out;
    EXPECT_EQ(Out[0].rfind("10000 written, 0 skipped, 0 failed in ", 0), 0u) << Out[0];
    EXPECT_TRUE(Out[0].ends_with(" s; files in out/batch")) << Out[0];

    const DirectoryContents Files = ListDirectory(Box / "out/batch");
    EXPECT_EQ(Files.Png.size(), static_cast<std::size_t>(Count));
    EXPECT_TRUE(Files.Others.empty()) << Files.Others.front();

    const std::map<std::string, int> Expected{
        {"_._etc_passwd.png", 1},
        {"_hidden.png", 2},
        {"Caf__au_lait__1.png", 3},
        {"00004.png", 4},
        {std::string(100, 'x') + ".png", 5},
        {"A-1.png", 6},
        {"A-1-7.png", 7},
        {"A_1.png", 8},
        {"A_1-9.png", 9},
        {"item-10.png", 10},
        {"item-5000.png", 5000},
        {"item-10000.png", 10000},
    };
    const Settings S{bcCode128, 2, 40, true, bcRotate90};
    for (const auto& [File, Record] : Expected) {
        SCOPED_TRACE(File);
        const PngImage Image = ReadPng(Box / "out/batch" / File);
        ExpectSameAsComponent(Image, std::string("LX-") + std::to_string(Record * 7), S);
        EXPECT_EQ(Image.PixelsPerMetreX, 11811u);
    }
}

TEST(BatchCommand, RecordNumbersNameTheFilesPaddedToTheCount) {
    Sandbox Box;
    std::string Csv = "code\n";
    for (int i = 1; i <= 12; ++i)
        Csv += std::to_string(100 + i) + "\n";
    Box.WriteFile("n.csv", Csv);
    const RunResult Run =
        Box.Run({"batch", "--csv", "n.csv", "--field", "CODE", "-b", "i2of5", "-o", "labels"});
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    const DirectoryContents Files = ListDirectory(Box / "labels");
    ASSERT_EQ(Files.Png.size(), 12u);
    EXPECT_TRUE(fs::exists(Box / "labels/01.png"));
    EXPECT_TRUE(fs::exists(Box / "labels/12.png"));
    ExpectSameAsComponent(ReadPng(Box / "labels/07.png"), "107", Settings{bcInt2of5});
}

TEST(BatchCommand, RecordWithNothingToEncodeIsReportedAndSkipped) {
    Sandbox Box;
    Box.WriteFile("ean.csv", "sku,ean\n"
                             "a,400638133393\n"
                             "b,abc\n"
                             "c,\n"
                             "d,501234567890\n");
    // --filter: the components' own treatment, under which 'abc' holds nothing to draw.
    const RunResult Run = Box.Run({"batch", "--csv", "ean.csv", "--field", "ean", "--name-field",
                                   "sku", "-b", "ean13", "--notext", "--filter"});
    EXPECT_EQ(Run.ExitCode, 1);
    const std::vector<std::string> Err = Lines(Run.Err);
    ASSERT_EQ(Err.size(), 2u) << Run.Err;
    EXPECT_EQ(Err[0], "lumivex: record 2: nothing in 'abc' that ean13 can carry; skipped");
    EXPECT_EQ(Err[1], "lumivex: record 3: field 'ean' is empty; skipped");
    EXPECT_EQ(Run.Out.rfind("2 written, 2 skipped, 0 failed in ", 0), 0u) << Run.Out;
    const DirectoryContents Files = ListDirectory(Box / "out/batch");
    EXPECT_EQ(Files.Png, (std::vector<std::string>{"a.png", "d.png"}))
        << "the batch goes on after a skipped record";
    const Settings S{bcEAN13, 1, 50, false, bcNoRotate};
    ExpectSameAsComponent(ReadPng(Box / "out/batch/d.png"), "501234567890", S);
}

TEST(BatchCommand, RecordsTheSymbologyWouldChangeAreRefusedUnlessFiltered) {
    struct Row {
        TBarCodeType Type;
        const char* Barcode;
        std::vector<std::string> Codes;
        // By record, what is drawn ("" refused) and, without --filter, the refusal's reason.
        std::vector<std::pair<std::string, std::string>> Expected;
    };
    const std::vector<Row> Rows{
        {bcCode128,
         "code128",
         {"A1", "A\xC3\xA9", std::string("N\0UL", 4), "B2"},
         {{"A1", ""},
          {"", "byte 0xC3 at position 2 is not carried by Code 128"},
          {"", "byte 0x00 at position 2 is not carried by Code 128"},
          {"B2", ""}}},
        {bcEAN13,
         "ean13",
         {"4006381333931", "4006381333932", "40063813339312", "501234567890"},
         {{"400638133393", ""}, // the right check digit is taken off; the component adds it
          {"", "check digit 2 at position 13 is wrong for EAN-13 400638133393: it is 1"},
          {"", "EAN-13 carries at most 12 characters (13 with its check digit), not 14"},
          {"501234567890", ""}}},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Barcode);
        Sandbox Box;
        std::string Csv = "code\n";
        for (const std::string& Code : R.Codes)
            Csv += CsvField(Code) + "\n";
        Box.WriteFile("c.csv", Csv);
        const std::vector<std::string> Args{"batch", "--csv",   "c.csv",  "--field", "code",
                                            "-b",    R.Barcode, "--jobs", "2"};
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 1);
        const std::vector<std::string> Err = Lines(Run.Err);
        std::vector<std::string> Written;
        std::size_t Line = 0;
        for (std::size_t i = 0; i < R.Expected.size(); ++i) {
            const std::string Name = std::to_string(i + 1) + ".png";
            const auto& [Text, Reason] = R.Expected[i];
            if (!Text.empty()) {
                Written.push_back(Name);
                ExpectSameAsComponent(ReadPng(Box / "out/batch" / Name), Text, Settings{R.Type});
                continue;
            }
            ASSERT_LT(Line, Err.size()) << Run.Err;
            const std::string Prefix = "lumivex: record " + std::to_string(i + 1) + ": ";
            EXPECT_EQ(Err[Line].rfind(Prefix + Reason, 0), 0u) << Err[Line];
            EXPECT_TRUE(Err[Line].ends_with("; skipped")) << Err[Line];
            ++Line;
        }
        EXPECT_EQ(Line, Err.size()) << Run.Err;
        EXPECT_EQ(ListDirectory(Box / "out/batch").Png, Written);
        EXPECT_EQ(Run.Out.rfind("2 written, 2 skipped, 0 failed in ", 0), 0u) << Run.Out;
        if (R.Type == bcEAN13) {
            EXPECT_EQ(DecodedText(Box / "out/batch/1.png"), "4006381333931");
        }

        // --filter: every record drawn from its text as the data link gives it, silently.
        std::vector<std::string> Filtered = Args;
        Filtered.insert(Filtered.end(), {"--filter", "-o", "f"});
        const RunResult All = Box.Run(Filtered);
        EXPECT_EQ(All.ExitCode, 0) << All.Err;
        EXPECT_EQ(All.Err, "");
        for (std::size_t i = 0; i < R.Codes.size(); ++i)
            ExpectSameAsComponent(ReadPng(Box / "f" / (std::to_string(i + 1) + ".png")), R.Codes[i],
                                  Settings{R.Type});
    }
}

TEST(BatchCommand, ExistingFilesAreKeptWithoutForceAndReplacedWithIt) {
    Sandbox Box;
    Box.WriteFile("c.csv", "code\nONE\nTWO\nTHREE\n");
    fs::create_directories(Box / "out/batch");
    Box.WriteFile("out/batch/2.png", "not a png");

    const std::vector<std::string> Args{"batch", "--csv", "c.csv", "--field",
                                        "code",  "-b",    "code39"};
    const RunResult Kept = Box.Run(Args);
    EXPECT_EQ(Kept.ExitCode, 1);
    EXPECT_EQ(Kept.Err,
              "lumivex: record 2: out/batch/2.png exists; skipped (--force replaces it)\n");
    EXPECT_EQ(Kept.Out.rfind("2 written, 1 skipped, 0 failed", 0), 0u) << Kept.Out;
    EXPECT_EQ(ReadFile(Box / "out/batch/2.png"), "not a png");

    std::vector<std::string> Forced = Args;
    Forced.push_back("--force");
    const RunResult Replaced = Box.Run(Forced);
    EXPECT_EQ(Replaced.ExitCode, 0) << Replaced.Err;
    EXPECT_EQ(Replaced.Err, "");
    ExpectSameAsComponent(ReadPng(Box / "out/batch/2.png"), "TWO", Settings{bcCode39});
    const DirectoryContents Files = ListDirectory(Box / "out/batch");
    EXPECT_EQ(Files.Png.size(), 3u);
    EXPECT_TRUE(Files.Others.empty());
}

// Builds a database through SQLite itself.
void MakeDatabase(const fs::path& Path, const std::vector<std::string>& Codes) {
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(Path.c_str(), &Db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(Db, "CREATE TABLE products (sku TEXT, code TEXT)", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_stmt* Insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(Db, "INSERT INTO products VALUES (?1, ?2)", -1, &Insert, nullptr),
              SQLITE_OK);
    for (std::size_t i = 0; i < Codes.size(); ++i) {
        const std::string Sku = std::string("s") + std::to_string(i + 1);
        sqlite3_bind_text(Insert, 1, Sku.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(Insert, 2, Codes[i].c_str(), -1, SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(Insert), SQLITE_DONE);
        sqlite3_reset(Insert);
    }
    sqlite3_finalize(Insert);
    sqlite3_close(Db);
}

TEST(BatchCommand, HostileSqlInTheDataOnlyRendersItsCharacters) {
    const std::vector<std::string> Codes{
        "'); DROP TABLE products; --",
        "x' OR '1'='1",
        "\"; DELETE FROM products; SELECT \"",
    };
    Sandbox Box;
    MakeDatabase(Box / "shop.db", Codes);
    const std::string Before = ReadFile(Box / "shop.db");
    const RunResult Run =
        Box.Run({"batch", "--db", "shop.db", "--sql",
                 "SELECT sku, code FROM products WHERE sku <> ?1 AND code <> ?2 ORDER BY sku",
                 "--param", "'; DROP TABLE products; --", "--param", "none", "--field", "code",
                 "--name-field", "sku", "-b", "code128"});
    ASSERT_EQ(Run.ExitCode, 0) << Run.Err;
    for (std::size_t i = 0; i < Codes.size(); ++i)
        ExpectSameAsComponent(
            ReadPng(Box / (std::string("out/batch/s") + std::to_string(i + 1) + ".png")), Codes[i],
            Settings{});
    EXPECT_EQ(ReadFile(Box / "shop.db"), Before) << "the database changed";
    EXPECT_EQ(Box.Entries(), (std::vector<std::string>{"out", "shop.db"})) << "nor a journal";
}

TEST(BatchCommand, DataThatCannotBeReadFailsWithOneLine) {
    struct Row {
        const char* Note;
        std::vector<std::string> Args;
        std::string Expected; // in the one line
    };
    const std::vector<Row> Rows{
        {"no database file", {"--db", "missing.db", "--sql", "SELECT 1 AS c"}, "missing.db"},
        {"no CSV file", {"--csv", "missing.csv"}, "missing.csv"},
        {"bad SQL", {"--db", "shop.db", "--sql", "SELEC code FROM products"}, "syntax error"},
        {"unknown table", {"--db", "shop.db", "--sql", "SELECT code FROM nothing"}, "nothing"},
        {"writing SQL", {"--db", "shop.db", "--sql", "DELETE FROM products"}, "only read"},
        {"missing field", {"--db", "shop.db", "--sql", "SELECT sku FROM products"}, "'code'"},
        {"missing name field",
         {"--csv", "ok.csv", "--name-field", "label"},
         "no field 'label' (--name-field); the fields are: code"},
        {"ragged CSV", {"--csv", "ragged.csv"}, "ragged.csv, line 3"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Note);
        Sandbox Box;
        MakeDatabase(Box / "shop.db", {"A1"});
        Box.WriteFile("ok.csv", "code\nA1\n");
        Box.WriteFile("ragged.csv", "code\nA1\nA2,extra\n");
        std::vector<std::string> Args{"batch", "-b", "code128", "--field", "code"};
        Args.insert(Args.end(), R.Args.begin(), R.Args.end());
        const RunResult Run = Box.Run(Args);
        EXPECT_EQ(Run.ExitCode, 1);
        const std::vector<std::string> Err = Lines(Run.Err);
        ASSERT_EQ(Err.size(), 1u) << Run.Err;
        EXPECT_EQ(Err[0].rfind("lumivex: ", 0), 0u) << Err[0];
        EXPECT_TRUE(Contains(Err[0], R.Expected)) << Err[0];
        EXPECT_EQ(Run.Out, "");
        EXPECT_FALSE(fs::exists(Box / "out")) << "nothing is made before the data is read";
    }
}

TEST(BatchCommand, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> Rows{
        {"-b", "code128", "--field", "code"}, // no data
        {"-b", "code128", "--field", "code", "--db", "shop.db"},
        {"-b", "code128", "--field", "code", "--sql", "SELECT 1"},
        {"-b", "code128", "--field", "code", "--csv", "ok.csv", "--db", "shop.db", "--sql", "S"},
        {"-b", "code128", "--field", "code", "--csv", "ok.csv", "--param", "1"},
        {"-b", "code128", "--csv", "ok.csv"}, // no field
        {"--field", "code", "--csv", "ok.csv"},
        {"-b", "qr", "--field", "code", "--csv", "ok.csv"},
        {"-b", "code128", "--field", "code", "--csv", "ok.csv", "--scale", "0"},
        {"-b", "code128", "--field", "code", "--csv", "ok.csv", "--rotate", "45"},
        {"-b", "code128", "--field", "code", "--csv", "ok.csv", "--height", "x"},
    };
    for (const auto& Args : Rows) {
        SCOPED_TRACE(Joined(Args));
        Sandbox Box;
        Box.WriteFile("ok.csv", "code\nA1\n");
        std::vector<std::string> Full{"batch"};
        Full.insert(Full.end(), Args.begin(), Args.end());
        const RunResult Run = Box.Run(Full);
        EXPECT_EQ(Run.ExitCode, 2);
        const std::vector<std::string> Err = Lines(Run.Err);
        ASSERT_GE(Err.size(), 1u);
        EXPECT_EQ(Err[0].rfind("lumivex: ", 0), 0u) << Err[0];
        EXPECT_EQ(Box.Entries(), std::vector<std::string>{"ok.csv"});
    }
}

} // namespace
} // namespace lumivex::clitest
