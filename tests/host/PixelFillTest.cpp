// The fills that turned pictures are written with: every byte asked for, none around it, at any
// alignment and length, the repeating pattern in phase to the last byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "host/graphics/Pixels.h"

namespace {

constexpr std::uint8_t kGuard = 0x5A;
constexpr std::size_t kMargin = 80;
constexpr std::size_t kLongest = 6000;
// Where offset 0 lies in the buffer: a 64-byte boundary with the margin before it.
constexpr std::size_t kLead = 128;

struct FillCase {
    std::size_t Offset; // from a 64-byte boundary
    std::size_t Length;
};

// Every length up to 100 (below, at and past the 16- and 32-byte stores and their multiples) at
// an aligned start and at starts 1, 15 and 31 bytes past it; then longer runs, most of them not a
// multiple of 32, at aligned and unaligned starts.
std::vector<FillCase> Fills() {
    std::vector<FillCase> cases;
    for (std::size_t length = 0; length <= 100; ++length)
        for (const std::size_t offset : {0u, 1u, 15u, 31u})
            cases.push_back({offset, length});
    const FillCase longer[] = {
        {32, 200}, {63, 257}, {9, 800}, {0, 1600}, {48, 1601}, {17, 5281}, {3, kLongest},
    };
    cases.insert(cases.end(), std::begin(longer), std::end(longer));
    return cases;
}

// The first byte of Got that differs from Want, or Want.size().
std::size_t FirstDifference(const std::uint8_t* Got, const std::vector<std::uint8_t>& Want) {
    return static_cast<std::size_t>(std::mismatch(Want.begin(), Want.end(), Got).first -
                                    Want.begin());
}

TEST(PixelFill, FillRunWritesExactlyTheRun) {
    alignas(64) static std::uint8_t buf[kLead + 64 + kLongest + kMargin];
    for (const FillCase& c : Fills()) {
        std::fill(std::begin(buf), std::end(buf), kGuard);
        std::uint8_t* p = buf + kLead + c.Offset;
        vcl::FillRun(p, 0xC3, c.Length);
        std::vector<std::uint8_t> want(kMargin + c.Length + kMargin, kGuard);
        std::fill_n(want.begin() + kMargin, c.Length, std::uint8_t{0xC3});
        const std::size_t at = FirstDifference(p - kMargin, want);
        ASSERT_EQ(at, want.size()) << "offset " << c.Offset << " length " << c.Length << ": byte "
                                   << static_cast<long>(at) - static_cast<long>(kMargin)
                                   << " of the run is " << int{p[at - kMargin]};
    }
}

TEST(PixelFill, FillRepeatKeepsThePatternInPhase) {
    alignas(64) static std::uint8_t buf[kLead + 64 + kLongest + kMargin];
    const std::vector<FillCase> fills = Fills();
    // Rows of a few widths, below and above the slack, as the turned bars repeat them.
    for (const std::size_t row : {1u, 4u, 20u, 64u, 100u, 333u}) {
        const std::size_t period = vcl::RepeatPeriod(row);
        ASSERT_GE(period, vcl::RepeatSlack);
        ASSERT_EQ(period % row, 0u);
        std::vector<std::uint8_t> block(period + vcl::RepeatSlack);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>((i % row) * 7 + 1);
        for (const FillCase& c : fills) {
            std::fill(std::begin(buf), std::end(buf), kGuard);
            std::uint8_t* p = buf + kLead + c.Offset;
            vcl::FillRepeat(p, c.Length, block.data(), period);
            std::vector<std::uint8_t> want(kMargin + c.Length + kMargin, kGuard);
            for (std::size_t t = 0; t < c.Length; ++t)
                want[kMargin + t] = block[t % row];
            const std::size_t at = FirstDifference(p - kMargin, want);
            ASSERT_EQ(at, want.size())
                << "row " << row << " offset " << c.Offset << " length " << c.Length << ": byte "
                << static_cast<long>(at) - static_cast<long>(kMargin) << " of the run is "
                << int{p[at - kMargin]};
        }
    }
}

} // namespace
