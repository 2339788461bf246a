// The text filter: character classes, capitals for Code 39, maximum lengths.
#include <gtest/gtest.h>

#include "engine/Barcode.h"

using namespace lumivex;

namespace {

struct FilterRow {
    TBarCodeType type;
    std::string in;
    std::string out;
    const char* note;
};

TEST(FilterBCText, KeepsWhatEachSymbologyCarries) {
    const std::string c0(1, '\0');
    const FilterRow rows[] = {
        {bcCode39, "#&", "", "no usable byte"},
        {bcEAN13, "ABC", "", "no digit"},
        {bcCode39, "abc-12", "ABC-12", "capitals made from lower case"},
        {bcCode39, "a#b", "AB", "'#' is not a Code 39 character"},
        {bcCode39, "*A*", "*A*", "the start/stop character passes"},
        {bcCode39, " $%*+-./09AZ", " $%*+-./09AZ", "all 44 kinds of character pass"},
        {bcCode39, "!\"#&'(),:;<=>?@[]", "", "the bytes Code 39 lacks"},
        {bcCode39, "\x80\xE1", "", "no capitals above 'z'"},
        {bcCode39Ext, "abc", "abc", "full ASCII keeps lower case"},
        {bcCode93, "abc", "abc", "full ASCII keeps lower case"},
        {bcCode128, "\x80", "\x80", "byte 128 passes"},
        {bcCode128, "\xC8", "", "byte 200 is dropped"},
        {bcCode128, "\x01\x1F\x7F", "\x01\x1F\x7F", "control bytes pass"},
        {bcCode128, "A" + c0 + "B", "AB", "byte 0 is always dropped"},
        {bcEAN128, "(01)\xFF", "(01)", "bytes above 128 are dropped"},
        {bcEAN13, "978-3-16-148410-0", "978316148410", "hyphens dropped, 13th digit cut"},
        {bcUPCA, "12:34;5", "12:34;5", "':' and ';' count as digits"},
        {bcUPCA, "1234567890123", "12345678901", "cut to 11"},
        {bcEAN8, "123456789", "1234567", "cut to 7"},
        {bcUPCE, "12345678", "123456", "cut to 6"},
        {bcUPC2ext, "12345", "12", "cut to 2"},
        {bcUPC5ext, "5A1234", "51234", "letter dropped, then 5 digits"},
        {bcPOSTNET, "12345-6789", "123456789", "hyphen dropped"},
        {bcPOSTNET, "123456789012", "12345678901", "cut to 11"},
        {bcInt2of5, "1234567", "1234567", "odd lengths pass whole"},
        {bcInt2of5, std::string(1000, '7'), std::string(1000, '7'), "no maximum length"},
        {bcEAN13, "12<=>/", "12", "only 48..59 pass"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        EXPECT_EQ(FilterBCText(row.type, row.in), row.out);
    }
}

TEST(FilterBCText, EmptyTextAndEveryByteForEveryType) {
    for (const TSymbology& row : BC_Symbologies) {
        const TBarCodeType type = row.Type;
        const std::string_view t = row.Identifier;
        EXPECT_EQ(FilterBCText(type, ""), "") << t;
        std::string all;
        for (int c = 0; c < 256; ++c)
            all += static_cast<char>(c);
        const std::string kept = FilterBCText(type, all);
        // Filtering is idempotent: a filtered text passes again unchanged.
        EXPECT_EQ(FilterBCText(type, kept), kept) << t;
        EXPECT_EQ(kept.find('\0'), std::string::npos) << t;
    }
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(FilterBCText(bcCode128, all).size(), 128u); // 1..128
    EXPECT_EQ(FilterBCText(bcEAN13, all), "0123456789:;");
}

TEST(FilterBCText, IsNotReversibleAcrossASymbologySwitch) {
    const std::string stored = FilterBCText(bcCode128, "AB12");
    const std::string asEan = FilterBCText(bcEAN13, stored);
    EXPECT_EQ(asEan, "12");
    EXPECT_EQ(FilterBCText(bcCode128, asEan), "12");
}

} // namespace
