#pragma once
// Running the lumivex executable from tests: a fresh working directory per test, no shell.

#include <filesystem>
#include <string>
#include <vector>

namespace lumivex::clitest {

struct RunResult {
    // The exit status, or -1 when the process did not exit normally (killed by a signal).
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// A temporary directory with an empty working directory inside; both removed on destruction.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Where lumivex runs; it holds only what the test or the program put there.
    const std::filesystem::path& Dir() const { return FWork; }
    std::filesystem::path operator/(const std::string& Name) const { return FWork / Name; }

    // Runs the executable with Args in Dir(), capturing both output streams whole.
    RunResult Run(const std::vector<std::string>& Args) const;
    // The same with Input as standard input (else it is the test's own).
    RunResult Run(const std::vector<std::string>& Args, const std::string& Input) const;
    // The same in two steps, for a test that acts on the process while it runs: Start returns
    // its process id, Wait reaps it and reads what it wrote.
    int Start(const std::vector<std::string>& Args, const std::string* Input = nullptr) const;
    RunResult Wait(int Pid) const;

    // The names in Dir(), sorted; a left-over temporary file shows up here.
    std::vector<std::string> Entries() const;

    void WriteFile(const std::string& Name, const std::string& Bytes) const;

    // Runs this program instead of the build's lumivex (a copy of it without its modules).
    void SetExecutable(const std::filesystem::path& Exe) { FExe = Exe.string(); }
    static std::filesystem::path Executable();

private:
    std::string FExe;
    std::filesystem::path FRoot;
    std::filesystem::path FWork;
};

std::string ReadFile(const std::filesystem::path& Path);

// Args joined by spaces, to name a row of a table of command lines.
std::string Joined(const std::vector<std::string>& Args);

// Lines of Text without their terminators.
std::vector<std::string> Lines(const std::string& Text);

bool Contains(const std::string& Text, const std::string& Part);

// The names in a directory (none when it does not exist) in name order, split into what a batch
// delivers and anything else.
struct DirectoryContents {
    std::vector<std::string> Png;    // visible .png files
    std::vector<std::string> Others; // anything else, a temporary file included
};
DirectoryContents ListDirectory(const std::filesystem::path& Dir);

} // namespace lumivex::clitest
