// Qt's keys as forms take them, and the line breaks of message texts.
#include <gtest/gtest.h>

#include "host/qt/detail/Input.h"

namespace vcl::qt::detail {
namespace {

TEST(QtInput, KeysMapToVirtualKeys) {
    const struct {
        int QtKey;
        TKey Expected;
        TShiftState ShiftAdded;
    } rows[] = {
        {Qt::Key_Escape, VK_ESCAPE, 0},
        {Qt::Key_Return, VK_RETURN, 0},
        {Qt::Key_Enter, VK_RETURN, 0},
        {Qt::Key_Space, VK_SPACE, 0},
        {Qt::Key_Tab, VK_TAB, 0},
        {Qt::Key_Backtab, VK_TAB, ShiftBit(ssShift)},
        {Qt::Key_Left, VK_LEFT, 0},
        {Qt::Key_Down, VK_DOWN, 0},
        {Qt::Key_Delete, VK_DELETE, 0},
        {Qt::Key_Backspace, VK_BACK, 0},
        {Qt::Key_A, 'A', 0},
        {Qt::Key_Z, 'Z', 0},
        {Qt::Key_0, '0', 0},
        {Qt::Key_9, '9', 0},
        {Qt::Key_F1, 0, 0},
        {Qt::Key_Shift, 0, 0},
    };
    for (const auto& row : rows) {
        TShiftState shift = ShiftBit(ssAlt);
        EXPECT_EQ(VirtualKey(row.QtKey, shift), row.Expected) << std::hex << row.QtKey;
        EXPECT_EQ(shift, ShiftBit(ssAlt) | row.ShiftAdded) << std::hex << row.QtKey;
    }
}

TEST(QtInput, EveryLineBreakBecomesOne) {
    const struct {
        const char* Text;
        const char* Expected;
    } rows[] = {
        {"a\r\nb", "a\nb"},
        {"a\n\rb", "a\nb"},
        {"a\rb", "a\nb"},
        {"a\nb", "a\nb"},
        {"a\r\n\r\nb", "a\n\nb"},
        {"a\n\nb", "a\n\nb"},
        {"a\r\rb", "a\n\nb"},
        {"\r\n", "\n"},
        {"", ""},
        {"trailing\r", "trailing\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NormaliseLineBreaks(row.Text), row.Expected) << row.Text;
}

} // namespace
} // namespace vcl::qt::detail
