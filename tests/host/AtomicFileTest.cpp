// Files written whole or not at all: the one writer behind every file the package writes.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/classes/Classes.h"
#include "host/classes/Streaming.h"
#include "host/graphics/Graphics.h"
#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

namespace fs = std::filesystem;

class AtomicFiles : public ::testing::Test {
protected:
    void SetUp() override {
        FDir = fs::temp_directory_path() /
               ("lumivex-atomic-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FDir);
        fs::create_directories(FDir);
        FPath = (FDir / "target").string();
    }
    void TearDown() override { fs::remove_all(FDir); }
    static std::string Contents(const std::string& Path) {
        std::ifstream in(Path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Every name in the folder: a leftover temporary file shows here.
    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(FDir), {}));
    }
    void Old() {
        std::ofstream(FPath, std::ios::binary) << "old";
        ::chmod(FPath.c_str(), 0640);
    }

    fs::path FDir;
    std::string FPath;
};

TEST_F(AtomicFiles, ReplacesWholeKeepingThePermissionsOrLeavesAlone) {
    Old();
    EXPECT_TRUE(WriteFileAtomically(FPath, "new"));
    EXPECT_EQ(Contents(FPath), "new");
    struct stat st {};
    ASSERT_EQ(::stat(FPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    EXPECT_FALSE(WriteFileAtomically(FPath, "newer", {/*Sync*/ false, /*Replace*/ false}));
    EXPECT_EQ(Contents(FPath), "new");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(AtomicFiles, AWriterLeftWithoutCommitLeavesTheOldFileAndNoTemporary) {
    Old();
    try {
        TAtomicFile file(FPath);
        file.Stream() << std::string(200000, 'x'); // past the buffer: some of it is on disk
        throw EConvertError("the content could not be made");
    } catch (const EConvertError&) {
    }
    EXPECT_EQ(Contents(FPath), "old");
    EXPECT_EQ(FileCount(), 1u);
}

// Where the folder takes files without a name, the content has none until it is whole: a
// process killed while writing leaves nothing behind.
TEST_F(AtomicFiles, AFileWithoutANameUntilCommitLeavesNothingWhenKilled) {
    const int probe = ::open(FDir.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0)
        GTEST_SKIP() << "no O_TMPFILE here";
    ::close(probe);
    {
        TAtomicFile file(FPath);
        file.Write("whole");
        EXPECT_EQ(FileCount(), 0u);
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(Contents(FPath), "whole");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TAtomicFile file((FDir / "other").string());
        file.Write(std::string(200000, 'x'));
        ::_exit(0); // no destructor runs
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(AtomicFiles, ErrorsNameTheTarget) {
    const std::string missing = (FDir / "no-such-folder" / "f").string();
    EXPECT_THROW(WriteFileAtomically(missing, "x"), EFCreateError);
    EXPECT_THROW(WriteFileAtomically(FDir.string() + "/", "x"), EFCreateError);
    // A folder of that name cannot be replaced by a file.
    fs::create_directory(FDir / "dir");
    try {
        WriteFileAtomically((FDir / "dir").string(), "x");
        ADD_FAILURE() << "no exception";
    } catch (const EWriteError& e) {
        EXPECT_NE(std::string(e.what()).find("dir\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(FileCount(), 1u);
}

// A disk that fills up midway (here the process's file size limit) fails each writer, which
// leaves the former file whole and no temporary file beside it.
TEST_F(AtomicFiles, EveryWriterFailingMidwayLeavesTheFormerFile) {
    TBitmap big;
    big.SetPixelFormat(pf24bit);
    big.SetSize(400, 400);   // some 480 kB as BMP, far above the limit below
    std::uint32_t noise = 1; // and as PNG, which cannot squeeze noise
    for (int y = 0; y < big.GetHeight(); ++y)
        for (std::size_t x = 0; x < big.GetRowBytes(); ++x)
            big.ScanLine(y)[x] =
                static_cast<std::uint8_t>((noise = noise * 1103515245u + 12345u) >> 24);
    TComponent form(nullptr);
    form.SetName("Form" + std::string(4000, 'x'));

    const std::pair<const char*, std::function<void(const std::string&)>> writers[] = {
        {"bmp", [&](const std::string& P) { big.SaveToFile(P); }},
        {"png", [&](const std::string& P) { SaveBitmapToPngFile(big, P); }},
        {"form", [&](const std::string& P) { WriteComponentFile(P, form, TFormFileFormat::Text); }},
        {"bytes", [&](const std::string& P) { WriteFileAtomically(P, std::string(100000, 'x')); }},
    };
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        Old();
        rlimit low = saved;
        low.rlim_cur = 1024;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &low), 0);
        EXPECT_THROW(write(FPath), EWriteError);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
        EXPECT_EQ(Contents(FPath), "old");
        EXPECT_EQ(FileCount(), 1u);
    }
}

} // namespace
} // namespace vcl
