// Fork and exec with the output streams captured in files beside the working directory, which
// avoids pipe buffers filling up while we wait, and keeps the working directory clean.

#include "tests/cli/RunLumivex.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumivex::clitest {

namespace {

std::filesystem::path MakeTempRoot() {
    const std::string Base =
        (std::filesystem::temp_directory_path() / "lumivex-cli-XXXXXX").string();
    std::vector<char> Template(Base.begin(), Base.end());
    Template.push_back('\0');
    if (::mkdtemp(Template.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return std::filesystem::path(Template.data());
}

} // namespace

Sandbox::Sandbox() : FRoot(MakeTempRoot()), FWork(FRoot / "work") {
    std::filesystem::create_directory(FWork);
}

Sandbox::~Sandbox() {
    std::error_code Ignored;
    std::filesystem::remove_all(FRoot, Ignored);
}

RunResult Sandbox::Run(const std::vector<std::string>& Args) const {
    return Wait(Start(Args));
}

RunResult Sandbox::Run(const std::vector<std::string>& Args, const std::string& Input) const {
    return Wait(Start(Args, &Input));
}

std::filesystem::path Sandbox::Executable() {
    return LUMIVEX_EXE;
}

int Sandbox::Start(const std::vector<std::string>& Args, const std::string* Input) const {
    const std::string InPath = (FRoot / "stdin").string();
    if (Input) {
        std::ofstream File(InPath, std::ios::binary | std::ios::trunc);
        File << *Input;
        if (!File)
            throw std::runtime_error("cannot write the standard input");
    }
    const std::string OutPath = (FRoot / "stdout").string();
    const std::string ErrPath = (FRoot / "stderr").string();
    const std::string Exe = FExe.empty() ? std::string(LUMIVEX_EXE) : FExe;
    const std::string Work = FWork.string();

    // Everything the child needs is built before fork: after it, only async-signal-safe calls.
    std::vector<std::string> Argv{Exe};
    Argv.insert(Argv.end(), Args.begin(), Args.end());
    std::vector<char*> CArgs;
    for (std::string& A : Argv)
        CArgs.push_back(A.data());
    CArgs.push_back(nullptr);

    const pid_t Pid = ::fork();
    if (Pid < 0)
        throw std::runtime_error("fork failed");
    if (Pid == 0) {
        const int Out = ::open(OutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int Err = ::open(ErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (Input) {
            const int In = ::open(InPath.c_str(), O_RDONLY);
            if (In < 0 || ::dup2(In, STDIN_FILENO) < 0)
                ::_exit(126);
        }
        if (Out < 0 || Err < 0 || ::dup2(Out, STDOUT_FILENO) < 0 ||
            ::dup2(Err, STDERR_FILENO) < 0 || ::chdir(Work.c_str()) < 0)
            ::_exit(126);
        ::execv(Exe.c_str(), CArgs.data());
        ::_exit(127);
    }
    return Pid;
}

RunResult Sandbox::Wait(int Pid) const {
    int Status = 0;
    while (::waitpid(Pid, &Status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("waitpid failed");
    RunResult Result;
    Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    Result.Out = ReadFile(FRoot / "stdout");
    Result.Err = ReadFile(FRoot / "stderr");
    return Result;
}

std::vector<std::string> Sandbox::Entries() const {
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(FWork))
        Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

void Sandbox::WriteFile(const std::string& Name, const std::string& Bytes) const {
    std::ofstream File(FWork / Name, std::ios::binary);
    File << Bytes;
    if (!File)
        throw std::runtime_error("cannot write " + Name);
}

std::string ReadFile(const std::filesystem::path& Path) {
    std::ifstream File(Path, std::ios::binary);
    std::ostringstream Bytes;
    Bytes << File.rdbuf();
    return Bytes.str();
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::istringstream Stream(Text);
    for (std::string Line; std::getline(Stream, Line);)
        Result.push_back(Line);
    return Result;
}

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

DirectoryContents ListDirectory(const std::filesystem::path& Dir) {
    DirectoryContents C;
    std::error_code Error;
    for (const auto& Entry : std::filesystem::directory_iterator(Dir, Error)) {
        const std::string Name = Entry.path().filename().string();
        const bool Png = Name.size() > 4 && Name.ends_with(".png") && Name[0] != '.';
        (Png ? C.Png : C.Others).push_back(Name);
    }
    std::sort(C.Png.begin(), C.Png.end());
    std::sort(C.Others.begin(), C.Others.end());
    return C;
}

std::string Joined(const std::vector<std::string>& Args) {
    std::string Line;
    for (const std::string& A : Args) {
        if (!Line.empty())
            Line += ' ';
        Line += A;
    }
    return Line;
}

} // namespace lumivex::clitest
