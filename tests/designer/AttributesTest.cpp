// The attribute set keeps the framework's byte: a package compares and stores the byte itself.
#include <gtest/gtest.h>

#include "host/designer/DesignIntf.h"

namespace vcl {
namespace {

struct AttributeRow {
    TPropertyAttributes Set;
    int Byte;
    const char* Note;
};

TEST(PropertyAttributes, ByteLayout) {
    const AttributeRow rows[] = {
        {{}, 0, "the empty set"},
        {{paValueList}, 1, "ordinal 0"},
        {{paSubProperties}, 2, "ordinal 1"},
        {{paReadOnly}, 64, "ordinal 6"},
        {{paRevertable}, 128, "ordinal 7"},
        {{paDialog, paMultiSelect, paAutoUpdate}, 28, "a dialog editor that updates at once"},
        {{paMultiSelect, paAutoUpdate}, 24, "a text editor that applies every keystroke"},
        {{paMultiSelect, paRevertable}, 136, "the property editor's default"},
        {TPropertyAttributes{paDialog, paReadOnly} + TPropertyAttributes{paDialog}, 68, "union"},
        {TPropertyAttributes{paDialog, paReadOnly} - TPropertyAttributes{paDialog}, 64,
         "difference"},
    };
    for (const AttributeRow& r : rows) {
        EXPECT_EQ(r.Set.Byte(), r.Byte) << r.Note;
        EXPECT_EQ(TPropertyAttributes::FromByte(static_cast<std::uint8_t>(r.Byte)), r.Set)
            << r.Note;
    }
    EXPECT_TRUE((TPropertyAttributes{paMultiSelect, paAutoUpdate}.Contains(paAutoUpdate)));
    EXPECT_FALSE((TPropertyAttributes{paMultiSelect, paAutoUpdate}.Contains(paDialog)));
}

} // namespace
} // namespace vcl
