// Line input: batch --lines and render -i give the CSV batch's files, messages and exit status
// for the same data, from a file or from standard input; zint's '~' patterns name the files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

namespace fs = std::filesystem;

// The PNG files of Dir by name, with their bytes.
std::vector<std::pair<std::string, std::string>> Files(const fs::path& Dir) {
    std::vector<std::pair<std::string, std::string>> Result;
    const DirectoryContents Contents = ListDirectory(Dir);
    EXPECT_TRUE(Contents.Others.empty()) << Contents.Others.front();
    for (const std::string& Name : Contents.Png)
        Result.emplace_back(Name, ReadFile(Dir / Name));
    return Result;
}

TEST(LineInput, LinesFromAFileOrStandardInputGiveTheFilesOfTheCsvBatch) {
    // Twelve lines, so the names take two digits: CR LF, an empty line, a byte Code 128 cannot
    // carry, quotes and commas that the CSV must quote, and no final newline.
    const std::vector<std::string> Data{
        "A1", "B2", "", "x\xC3\xA9", "say \"hi\", then", "C3", "D4 e5", "F6", "g", "h", "i", "j"};
    std::string Lines, Csv = "code\n";
    for (std::size_t i = 0; i < Data.size(); ++i) {
        Lines.append(Data[i]).append(i + 1 == Data.size() ? "" : i % 2 ? "\r\n" : "\n");
        Csv += '"';
        for (char c : Data[i])
            Csv.append(c == '"' ? 2 : 1, c);
        Csv += "\"\n";
    }
    Sandbox Box;
    Box.WriteFile("d.csv", Csv);
    Box.WriteFile("d.txt", Lines);
    const std::vector<std::string> Common{"-b", "code128", "--scale", "2", "--jobs", "2"};
    const auto Batch = [&](std::vector<std::string> Args, const std::string* Input = nullptr) {
        Args.insert(Args.end(), Common.begin(), Common.end());
        return Input ? Box.Run(Args, *Input) : Box.Run(Args);
    };
    const RunResult FromCsv = Batch({"batch", "--csv", "d.csv", "--field", "code", "-o", "csv"});
    ASSERT_EQ(FromCsv.ExitCode, 1) << FromCsv.Err;
    const auto Expected = Files(Box / "csv");
    ASSERT_EQ(Expected.size(), 10u) << FromCsv.Err;
    EXPECT_EQ(Expected.front().first, "01.png");
    // The per-record messages name the field; a line's is "Data".
    std::string Messages = FromCsv.Err;
    for (std::size_t At; (At = Messages.find("field 'code'")) != std::string::npos;)
        Messages.replace(At, 12, "field 'Data'");

    const struct {
        const char* Note;
        std::vector<std::string> Args;
        bool Stdin;
    } Rows[] = {
        {"batch --lines FILE", {"batch", "--lines", "d.txt", "-o", "lines"}, false},
        {"batch --lines -", {"batch", "--lines", "-", "-o", "lines"}, true},
        {"render -i FILE", {"render", "-i", "d.txt", "-o", "lines/~~.png"}, false},
        {"render -i -", {"render", "-i", "-", "-o", "lines/~~.png"}, true},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Note);
        fs::remove_all(Box / "lines");
        fs::create_directory(Box / "lines"); // render -i, like render, makes no directory
        const RunResult Run = Batch(Row.Args, Row.Stdin ? &Lines : nullptr);
        EXPECT_EQ(Run.ExitCode, 1);
        EXPECT_EQ(Run.Err, Messages);
        EXPECT_TRUE(Files(Box / "lines") == Expected) << "not the CSV batch's files";
    }
}

TEST(LineInput, PatternsNumberTheFilesAsZintDoes) {
    struct Row {
        std::vector<std::string> Output; // -o and its value, or nothing
        int Lines;
        int ExitCode;
        std::vector<std::string> Png; // the files made
    };
    const std::vector<Row> Rows{
        {{"-o", "lbl~~~~.png"}, 2, 0, {"lbl0001.png", "lbl0002.png"}},
        {{"-o", "a~b~~.png"}, 2, 0, {"a0b01.png", "a0b02.png"}}, // one number over every '~'
        {{}, 2, 0, {"00001.png", "00002.png"}},                  // zint's default
        {{"-o", "n~"}, 1, 0, {"n1.png"}},                        // no extension: .png
        {{"-o", "one.png"}, 1, 0, {"one.png"}},
        {{"-o", "x~.png"},
         9,
         0,
         {"x1.png", "x2.png", "x3.png", "x4.png", "x5.png", "x6.png", "x7.png", "x8.png",
          "x9.png"}},
        // zint writes these over earlier files: refused before any is written.
        {{"-o", "x~.png"}, 10, 2, {}},
        {{"-o", "one.png"}, 2, 2, {}},
        {{"-o", "x~.bmp"}, 1, 2, {}},
        {{"-o", "-"}, 1, 2, {}},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(Joined(R.Output) + " " + std::to_string(R.Lines) + " lines");
        Sandbox Box;
        std::string Input;
        for (int i = 0; i < R.Lines; ++i)
            Input.append(1, 'L').append(std::to_string(i)).append(1, '\n');
        std::vector<std::string> Args{"render", "-b", "code128", "-i", "-"};
        Args.insert(Args.end(), R.Output.begin(), R.Output.end());
        const RunResult Run = Box.Run(Args, Input);
        EXPECT_EQ(Run.ExitCode, R.ExitCode) << Run.Err;
        if (R.ExitCode == 2) {
            EXPECT_EQ(Lines(Run.Err).size(), 1u) << Run.Err;
        }
        EXPECT_EQ(ListDirectory(Box.Dir()).Png, R.Png);
    }
}

} // namespace
} // namespace lumivex::clitest
