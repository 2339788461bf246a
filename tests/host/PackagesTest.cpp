// Package information as its library section stores it: read back as written, and malformed
// bytes or files refused with the host's package error, never half read.
#include <gtest/gtest.h>

#include "host/sysutils/Packages.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

TEST(PackageInfo, ReadsBackWhatItWroteAndRefusesEveryShorterOrLongerForm) {
    TPackageInfo info;
    info.Description = "Okanda Barcode Components";
    info.DesignTime = true;
    info.Requires = {"vcl40", "vcldb40"};
    info.Contains = {{"Lumivex", false}, {"BarcodeReg", true}};
    const std::string bytes = EncodePackageInfo(info);
    const TPackageInfo back = DecodePackageInfo(bytes);
    EXPECT_EQ(FormatPackageInfo(back), FormatPackageInfo(info));
    EXPECT_TRUE(back.Contains[1].HasRegister);
    EXPECT_EQ(PackageGeneration(back), 40);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_THROW(DecodePackageInfo(bytes.substr(0, n)), EPackageError) << n;
    EXPECT_THROW(DecodePackageInfo(bytes + "x"), EPackageError);
    std::string flags = bytes;
    flags[5] = 0x7F; // usage bits nobody knows
    EXPECT_THROW(DecodePackageInfo(flags), EPackageError);
    info.Description.assign(300, 'x');
    EXPECT_THROW(EncodePackageInfo(info), EPackageError);
}

TEST(PackageInfo, AFileThatIsNoPackageSaysWhatItIs) {
    struct TCase {
        std::string Image;
        const char* Says;
    };
    for (const TCase& c : {TCase{"", "not an ELF file"}, TCase{"LXPK\x01", "not an ELF file"},
                           TCase{std::string("\x7F"
                                             "ELF\x02\x01\x01",
                                             7) +
                                     std::string(57, '\0'),
                                 "is not a package"}}) {
        try {
            GetPackageInfoFromImage(c.Image, "x.so");
            ADD_FAILURE() << c.Says;
        } catch (const EPackageError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(GetPackageInfo("/nonexistent/Lumivex40.so"), EPackageError);
    EXPECT_EQ(HostRuntimePackages(), (std::vector<std::string>{"vcl40", "vcldb40"}));
}

} // namespace
} // namespace vcl
