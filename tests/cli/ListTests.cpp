// lumivex list: one line per symbology, in the enumeration's order, with what it carries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/cli/RunLumivex.h"

namespace lumivex::clitest {
namespace {

TEST(ListCommand, OneLinePerSymbology) {
    Sandbox box;
    const RunResult r = box.Run({"list"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    const std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), BC_Symbologies.size() + 1) << r.Out << "a heading and a line per row";
    const struct {
        const char* identifier;
        const char* shortName;
        const char* characters;
        const char* maxLength;
    } rows[] = {
        {"bcCode128", "code128", "full ASCII", "none"},
        {"bcCode39", "code39", "Code 39", "none"},
        {"bcCode39Ext", "excode39", "full ASCII", "none"},
        {"bcUPCA", "upca", "digits", "11"},
        {"bcInt2of5", "itf", "digits", "none"},
        {"bcCode93", "code93", "full ASCII", "none"},
        {"bcEAN13", "ean13", "digits", "12"},
        {"bcEAN8", "ean8", "digits", "7"},
        {"bcEAN128", "gs1-128", "full ASCII", "none"},
        {"bcPOSTNET", "postnet", "digits", "11"},
        {"bcUPCE", "upce", "digits", "6"},
        {"bcUPC2ext", "ean2", "digits", "2"},
        {"bcUPC5ext", "ean5", "digits", "5"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::string& line = lines[i + 1];
        SCOPED_TRACE(line);
        EXPECT_EQ(line.rfind(rows[i].identifier, 0), 0u) << "identifier first, in order";
        EXPECT_NE(line.find(rows[i].shortName), std::string::npos);
        EXPECT_NE(line.find(rows[i].characters), std::string::npos);
        EXPECT_EQ(line.substr(line.find_last_not_of(' ', line.size() - 1) + 1 -
                              std::string(rows[i].maxLength).size()),
                  rows[i].maxLength);
    }
}

} // namespace
} // namespace lumivex::clitest
