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

struct FillCase {
    std::size_t Offset; // from a 64-byte boundary
    std::size_t Length;
};

// Lengths around the block sizes (16, 32) and their multiples, at aligned and unaligned starts.
const FillCase kFills[] = {
    {0, 0},   {3, 1},   {0, 31},   {1, 32},   {7, 33},  {0, 64},   {31, 65},
    {16, 95}, {5, 100}, {32, 200}, {63, 257}, {9, 800}, {0, 1600}, {17, 5281},
};

TEST(PixelFill, FillRunWritesExactlyTheRun) {
    for (const FillCase& c : kFills) {
        alignas(64) static std::uint8_t buf[kMargin + 6000 + kMargin];
        std::fill(std::begin(buf), std::end(buf), kGuard);
        std::uint8_t* p = buf + 64 + c.Offset;
        vcl::FillRun(p, 0xC3, c.Length);
        for (std::size_t i = 0; i < sizeof buf; ++i) {
            const bool inside = buf + i >= p && buf + i < p + c.Length;
            ASSERT_EQ(buf[i], inside ? 0xC3 : kGuard)
                << "offset " << c.Offset << " length " << c.Length << " byte " << i;
        }
    }
}

TEST(PixelFill, FillRepeatKeepsThePatternInPhase) {
    // Rows of a few widths, below and above the slack, as the turned bars repeat them.
    for (const std::size_t row : {4u, 20u, 64u, 100u, 333u}) {
        const std::size_t period = vcl::RepeatPeriod(row);
        ASSERT_GE(period, vcl::RepeatSlack);
        ASSERT_EQ(period % row, 0u);
        std::vector<std::uint8_t> block(period + vcl::RepeatSlack);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>((i % row) * 7 + 1);
        for (const FillCase& c : kFills) {
            alignas(64) static std::uint8_t buf[kMargin + 6000 + kMargin];
            std::fill(std::begin(buf), std::end(buf), kGuard);
            std::uint8_t* p = buf + 64 + c.Offset;
            vcl::FillRepeat(p, c.Length, block.data(), period);
            for (std::size_t i = 0; i < sizeof buf; ++i) {
                const bool inside = buf + i >= p && buf + i < p + c.Length;
                const std::uint8_t want =
                    inside ? block[static_cast<std::size_t>(buf + i - p) % row] : kGuard;
                ASSERT_EQ(buf[i], want) << "row " << row << " offset " << c.Offset << " length "
                                        << c.Length << " byte " << i;
            }
        }
    }
}

} // namespace
