// lumivex batch as a process among others: stopped by Ctrl-C between two records, and drawing its
// progress bar only when standard error is a terminal.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

namespace fs = std::filesystem;

TEST(BatchProcess, InterruptStopsBetweenRecordsWithoutTemporaryFiles) {
    constexpr int Count = 20000;
    std::string Csv = "code\n";
    for (int i = 1; i <= Count; ++i)
        Csv += std::string("Lumivex interrupted ") + std::to_string(i) + "\n";
    Sandbox Box;
    Box.WriteFile("big.csv", Csv);
    const int Pid = Box.Start({"batch", "--csv", "big.csv", "--field", "code", "-b", "code128",
                               "--scale", "3", "--height", "200"});
    ASSERT_GT(Pid, 0);
    // Signalled once it is well into the records, so that the signal meets the loop.
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ListDirectory(Box / "out/batch").Png.size() < 50 &&
           std::chrono::steady_clock::now() < Deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(::kill(Pid, SIGINT), 0);
    const RunResult Run = Box.Wait(Pid);
    ASSERT_NE(Run.ExitCode, -1) << "killed rather than stopped";
    const std::string& Out = Run.Out;
    const std::string& Err = Run.Err;
    const DirectoryContents Files = ListDirectory(Box / "out/batch");
    EXPECT_TRUE(Files.Others.empty()) << Files.Others.front();
    // Signalled a few files in, it has thousands of records to go: it must stop short of them.
    EXPECT_LT(Files.Png.size(), static_cast<std::size_t>(Count));
    EXPECT_EQ(Run.ExitCode, 128 + SIGINT);
    EXPECT_TRUE(Contains(Err, "interrupted")) << Err;
    EXPECT_EQ(Out.rfind(std::to_string(Files.Png.size()) + " written, 0 skipped, 0 failed", 0), 0u)
        << Out;
}

TEST(BatchProcess, ProgressBarOnlyOnATerminal) {
    constexpr int Count = 3000;
    std::string Csv = "code\n";
    for (int i = 1; i <= Count; ++i) {
        if (i != 2) // record 2 is empty
            Csv += 'P' + std::to_string(i);
        Csv += '\n';
    }
    Sandbox Box;
    Box.WriteFile("p.csv", Csv);
    int Master = -1, Slave = -1;
    ASSERT_EQ(::openpty(&Master, &Slave, nullptr, nullptr, nullptr), 0);
    const std::string Exe = LUMIVEX_EXE;
    const std::string Work = Box.Dir().string();
    const pid_t Pid = ::fork();
    if (Pid == 0) {
        const int Null = ::open("/dev/null", O_WRONLY);
        if (Null < 0 || ::dup2(Null, STDOUT_FILENO) < 0 || ::dup2(Slave, STDERR_FILENO) < 0 ||
            ::chdir(Work.c_str()) < 0)
            ::_exit(126);
        ::execl(Exe.c_str(), Exe.c_str(), "batch", "--csv", "p.csv", "--field", "code", "-b",
                "code128", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(Slave);
    // Read as it comes, so that the program never waits on a full terminal.
    std::string Screen;
    char Chunk[4096];
    for (ssize_t Got; (Got = ::read(Master, Chunk, sizeof Chunk)) > 0;)
        Screen.append(Chunk, static_cast<std::size_t>(Got));
    ::close(Master);
    int Status = 0;
    ASSERT_EQ(::waitpid(Pid, &Status, 0), Pid);
    EXPECT_EQ(WEXITSTATUS(Status), 1) << "record 2 was skipped";
    EXPECT_TRUE(Contains(Screen, "\r[..............................] 0/3000")) << Screen;
    EXPECT_TRUE(Contains(Screen, "records/s")) << Screen;
    EXPECT_TRUE(Contains(Screen, " left")) << Screen;
    EXPECT_TRUE(Contains(Screen, "] 3000/3000")) << Screen;
    // A message takes the bar off its line first; the bar is gone before the summary.
    EXPECT_TRUE(Contains(Screen, "\r\033[Klumivex: record 2: field 'code' is empty; skipped"))
        << Screen;
    EXPECT_TRUE(Screen.ends_with("\r\033[K")) << Screen;
}

} // namespace
} // namespace lumivex::clitest
