// lumivex batch --jobs: several jobs write the same files and print the same messages, totals
// and exit codes as one, through skips, failures, a give-up after failures in a row and reruns.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 200;
// Records whose file name is taken by a directory: with --force each fails to be written, and
// there are more of them in a row than the batch tolerates.
constexpr int kFirstBad = 30, kLastBad = 54;

struct Outcome {
    int ExitCode = -1;
    std::string Err;
    std::string Out; // without the time
    std::map<std::string, std::string> Files;

    bool operator==(const Outcome&) const = default;
};

std::string WithoutTime(const std::string& Out) {
    const std::size_t In = Out.find(" in ");
    const std::size_t Semicolon = Out.find(';', In);
    return In == std::string::npos || Semicolon == std::string::npos
               ? Out
               : Out.substr(0, In) + Out.substr(Semicolon);
}

// The three runs, in one sandbox: a first one with --force, a rerun without it and one with it.
std::vector<Outcome> RunsWith(const std::string& Jobs) {
    std::string Csv = "name,code\n";
    for (int i = 1; i <= kRecords; ++i) {
        const bool Bad = i >= kFirstBad && i <= kLastBad;
        const std::string Name = Bad           ? "bad" + std::to_string(i)
                                 : i % 10 == 0 ? std::string("dup")
                                               : "item" + std::to_string(i);
        const std::string Code = Bad || (i % 17 != 0 && i % 23 != 0)
                                     ? std::to_string(400000000000LL + i)
                                 : i % 17 == 0 ? "ABC" // refused: EAN-13 carries digits
                                               : "";
        Csv += Name + "," + Code + "\n";
    }
    Sandbox Box;
    Box.WriteFile("items.csv", Csv);
    for (int i = kFirstBad; i <= kLastBad; ++i)
        fs::create_directories(Box / ("out/bad" + std::to_string(i) + ".png"));
    std::vector<Outcome> Runs;
    for (const bool Force : {true, false, true}) {
        std::vector<std::string> Args{"batch",        "--csv",  "items.csv", "--field", "code",
                                      "--name-field", "name",   "-b",        "ean13",   "-o",
                                      "out",          "--jobs", Jobs};
        if (Force)
            Args.push_back("--force");
        const RunResult Run = Box.Run(Args);
        Outcome O{Run.ExitCode, Run.Err, WithoutTime(Run.Out), {}};
        for (const auto& Entry : fs::directory_iterator(Box / "out"))
            O.Files[Entry.path().filename().string()] =
                Entry.is_regular_file() ? ReadFile(Entry.path()) : "<directory>";
        Runs.push_back(std::move(O));
    }
    return Runs;
}

TEST(BatchJobs, SeveralJobsDoWhatOneDoes) {
    const std::vector<Outcome> One = RunsWith("1");
    // The first run gives up after the failures in a row; the rerun writes the rest.
    ASSERT_EQ(One.size(), 3u);
    EXPECT_EQ(One[0].ExitCode, 1);
    EXPECT_TRUE(Contains(One[0].Err, "gave up after 20 failures in a row")) << One[0].Err;
    EXPECT_FALSE(One[0].Files.contains("item61.png"));
    EXPECT_TRUE(One[1].Files.contains("item61.png"));
    EXPECT_TRUE(Contains(One[1].Err, "record 34: out/bad34.png exists; skipped")) << One[1].Err;
    EXPECT_TRUE(Contains(One[1].Err, "record 68: 'A' at position 1 is not carried by EAN-13"))
        << One[1].Err;
    for (const std::string Jobs : {"2", "5"}) {
        SCOPED_TRACE("--jobs " + Jobs);
        const std::vector<Outcome> Many = RunsWith(Jobs);
        ASSERT_EQ(Many.size(), One.size());
        for (std::size_t Run = 0; Run < One.size(); ++Run) {
            SCOPED_TRACE("run " + std::to_string(Run + 1));
            EXPECT_EQ(Many[Run].ExitCode, One[Run].ExitCode);
            EXPECT_EQ(Many[Run].Err, One[Run].Err);
            EXPECT_EQ(Many[Run].Out, One[Run].Out);
            EXPECT_TRUE(Many[Run].Files == One[Run].Files) << "the files differ";
        }
    }
}

TEST(BatchJobs, RefusesANumberOutOfRange) {
    Sandbox Box;
    Box.WriteFile("items.csv", "code\n1\n");
    for (const std::string Jobs : {"0", "-1", "x", "257"}) {
        const RunResult Run =
            Box.Run({"batch", "--csv", "items.csv", "--field", "code", "--jobs", Jobs});
        EXPECT_EQ(Run.ExitCode, 2) << Jobs << ": " << Run.Err;
    }
}

} // namespace
} // namespace lumivex::clitest
