// What every pattern table's entries obey: their module count, how many bars and spaces, how
// wide each may be, what they begin and end with, their parity, and that no two are alike.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/Barcode.h"
#include "tests/engine/Modules.h"

namespace lumivex::test {
namespace {

struct Rule {
    int Modules;
    int Bars;
    int Spaces;
    int MaxRun; // modules of the widest bar or space
    bool EndsDark;
};

struct PatternTable {
    const char* Name;
    std::vector<std::uint32_t> Entries;
    int TopBit; // where the first module sits; every bit below the last one is clear
    bool StartsDark;
    std::optional<int> BarParity; // bar modules modulo 2, where the code has a parity
    Rule Each;
    Rule Last; // the stop patterns differ from the rest
};

template <typename T> std::vector<std::uint32_t> Values(const T& Table, int Shift = 0) {
    std::vector<std::uint32_t> out;
    for (const auto v : Table)
        out.push_back(static_cast<std::uint32_t>(v) >> Shift);
    return out;
}

const std::vector<PatternTable>& Tables() {
    static const std::vector<PatternTable> tables{
        {"BC_Code128", Values(BC_Code128), 15, true, 0, {11, 3, 3, 4, false}, {13, 4, 3, 4, true}},
        {"BC_Code39", Values(BC_Code39), 15, true, {}, {12, 5, 4, 2, true}, {12, 5, 4, 2, true}},
        {"BC_Code93", Values(BC_Code93), 15, true, {}, {9, 3, 3, 4, false}, {10, 4, 3, 4, true}},
        // EAN and UPC-E codes: seven modules in a byte, the bit below clear; L begins with a
        // space and has odd parity, G and R even, R begins with a bar.
        {"BC_EAN_LEFT L",
         Values(BC_EAN_LEFT, 8),
         7,
         false,
         1,
         {7, 2, 2, 4, true},
         {7, 2, 2, 4, true}},
        {"BC_EAN_LEFT G", Values(BC_EAN_LEFT), 7, false, 0, {7, 2, 2, 4, true}, {7, 2, 2, 4, true}},
        {"BC_EAN_RIGHT R",
         Values(BC_EAN_RIGHT, 8),
         7,
         true,
         0,
         {7, 2, 2, 4, false},
         {7, 2, 2, 4, false}},
        {"BC_UPCE L", Values(BC_UPCE, 8), 7, false, 1, {7, 2, 2, 4, true}, {7, 2, 2, 4, true}},
        {"BC_UPCE G", Values(BC_UPCE), 7, false, 0, {7, 2, 2, 4, true}, {7, 2, 2, 4, true}},
    };
    return tables;
}

class EveryTable : public testing::TestWithParam<PatternTable> {};

INSTANTIATE_TEST_SUITE_P(Pattern, EveryTable, testing::ValuesIn(Tables()),
                         [](const testing::TestParamInfo<PatternTable>& Info) {
                             std::string name;
                             for (const char* p = Info.param.Name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_P(EveryTable, EntriesKeepTheirModulesAndBarSpaceRules) {
    const PatternTable& t = GetParam();
    std::set<std::string> seen;
    for (std::size_t i = 0; i < t.Entries.size(); ++i) {
        SCOPED_TRACE(testing::Message() << t.Name << " entry " << i);
        const Rule& r = i + 1 == t.Entries.size() ? t.Last : t.Each;
        const std::string all = Bits(t.Entries[i], t.TopBit + 1, t.TopBit);
        EXPECT_EQ(all.substr(r.Modules), std::string(t.TopBit + 1 - r.Modules, '0'))
            << "bits below clear";
        const std::string m = all.substr(0, r.Modules);
        int bars = 0, spaces = 0, barModules = 0;
        for (std::size_t k = 0; k < m.size();) {
            const std::size_t end = m.find_first_not_of(m[k], k);
            const int run = static_cast<int>((end == std::string::npos ? m.size() : end) - k);
            EXPECT_LE(run, r.MaxRun) << m;
            (m[k] == '1' ? bars : spaces)++;
            barModules += m[k] == '1' ? run : 0;
            k += run;
        }
        EXPECT_EQ(bars, r.Bars) << m;
        EXPECT_EQ(spaces, r.Spaces) << m;
        EXPECT_EQ(m.front() == '1', t.StartsDark) << m;
        EXPECT_EQ(m.back() == '1', r.EndsDark) << m;
        if (t.BarParity) {
            EXPECT_EQ(barModules % 2, *t.BarParity) << m;
        }
        seen.insert(m);
    }
    EXPECT_EQ(seen.size(), t.Entries.size()) << "no two entries alike";
}

} // namespace
} // namespace lumivex::test
