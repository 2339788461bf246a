// Form files on disk: written through a temporary file, read back, errors naming the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "host/classes/Streaming.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/StreamingTesting.h"

namespace vcl::streamtest {
namespace {

namespace fs = std::filesystem;

class FormFilesOnDisk : public FormFileTest {
protected:
    void SetUp() override {
        FormFileTest::SetUp();
        FDir = fs::temp_directory_path() /
               ("lumivex-forms-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FDir);
        fs::create_directories(FDir);
    }
    void TearDown() override {
        fs::remove_all(FDir);
        FormFileTest::TearDown();
    }
    std::string PathOf(const std::string& Name) const { return (FDir / Name).string(); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(FDir))
            names.push_back(e.path().filename().string());
        return names;
    }
    static std::string Contents(const std::string& Path) {
        std::ifstream in(Path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path FDir;
};

TEST_F(FormFilesOnDisk, WritesAndReadsBothForms) {
    const auto form = SampleForm();
    const std::string path = PathOf("Sample.dfm");
    for (const TFormFileFormat format : {TFormFileFormat::Text, TFormFileFormat::Binary}) {
        // The second pass replaces the first file.
        WriteComponentFile(path, *form, format);
        EXPECT_EQ(Contents(path), WriteComponentToString(*form, format));
        EXPECT_EQ(Files(), std::vector<std::string>{"Sample.dfm"});
        const auto read = ReadComponentFile(path);
        EXPECT_EQ(read->GetName(), "Form1");
        EXPECT_EQ(read->GetComponentCount(), 3);
    }
}

TEST_F(FormFilesOnDisk, ErrorsNameTheFile) {
    const std::string missing = PathOf("missing.dfm");
    try {
        ReadComponentFile(missing);
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }

    const std::string nowhere = PathOf("no/such/dir/form.dfm");
    const auto form = SampleForm();
    try {
        WriteComponentFile(nowhere, *form, TFormFileFormat::Text);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find(nowhere), std::string::npos) << e.what();
    }

    const std::string bad = PathOf("bad.dfm");
    std::ofstream(bad) << "object Form1: TNoSuch\nend\n";
    try {
        ReadComponentFile(bad);
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(std::string(e.what()), bad + ": line 1: Class TNoSuch not found");
    }
}

TEST_F(FormFilesOnDisk, AFailedWriteLeavesTheFormerFileWhole) {
    const std::string path = PathOf("Form.dfm");
    const auto form = SampleForm();
    WriteComponentFile(path, *form, TFormFileFormat::Text);
    const std::string before = Contents(path);
    form->SetName("F" + std::string(300, 'x'));
    EXPECT_THROW(WriteComponentFile(path, *form, TFormFileFormat::Binary), EWriteError);
    EXPECT_EQ(Contents(path), before);
    EXPECT_EQ(Files(), std::vector<std::string>{"Form.dfm"});
}

} // namespace
} // namespace vcl::streamtest
