// The designer's tests run on Qt's offscreen platform, which must be chosen before the
// application exists (test discovery runs this binary with no display), and install the package
// once: registering it again per test would only test the registry.
#include <QSettings>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "host/controls/WidgetSet.h"
#include "host/qt/QtWidgetSet.h"
#include "tools/lumivex-designer/Document.h"

namespace {

class PackageEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Installed = std::make_unique<lumivex::designer::TInstalledPackages>(LUMIVEX_TEST_PACKAGE);
    }
    void TearDown() override { Installed.reset(); }
    std::unique_ptr<lumivex::designer::TInstalledPackages> Installed;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    vcl::qt::TQtOptions options;
    options.Offscreen = true;
    vcl::SetWidgetSet(vcl::qt::CreateQtWidgetSet(argc, argv, options));
    // The recent-files list goes to a settings file of the run's own, not the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(::testing::TempDir() + "designer-settings"));
    ::testing::AddGlobalTestEnvironment(new PackageEnvironment);
    const int status = RUN_ALL_TESTS();
    vcl::SetWidgetSet(nullptr);
    return status;
}
