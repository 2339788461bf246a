// Number conversion and the exception family.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>

#include "host/sysutils/LateLibrary.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

TEST(StrToInt, ConvertsDecimalTextWithinThirtyTwoBits) {
    const struct {
        const char* Text;
        int Value;
    } cases[] = {
        {"12", 12},
        {"0", 0},
        {"-0", 0},
        {" -7", -7},
        {"\t5", 5},
        {"+3", 3},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"00000000000000000000042", 42},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToInt(c.Text), c.Value) << '"' << c.Text << '"';
        EXPECT_EQ(StrToIntDef(c.Text, -99), c.Value) << '"' << c.Text << '"';
    }
}

TEST(StrToInt, AnythingElseRaisesAConversionErrorNamingTheText) {
    const struct {
        std::string Text;
        const char* Shown; // how the message quotes it
    } cases[] = {
        {"", "''"},
        {"1a", "'1a'"},
        {"12 ", "'12 '"},
        {"2147483648", "'2147483648'"},
        {"-2147483649", "'-2147483649'"},
        {"99999999999999999999", "'99999999999999999999'"},
        {":", "':'"},
        {"/", "'/'"},
        {"+", "'+'"},
        {"-", "'-'"},
        {"+-1", "'+-1'"},
        {" ", "' '"},
        {"1 2", "'1 2'"},
        {"0x10", "'0x10'"},
        {"\x01", "'#$01'"},
        {std::string("4\0", 2), "'4#$00'"},
        {"\xFF"
         "1",
         "'#$FF1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Shown);
        try {
            StrToInt(c.Text);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            const std::string msg = e.what();
            EXPECT_NE(msg.find(c.Shown), std::string::npos) << msg;
            for (char ch : msg)
                EXPECT_GE(static_cast<unsigned char>(ch), 32) << msg;
        }
        EXPECT_EQ(StrToIntDef(c.Text, -99), -99);
    }
    // A long text is cut short in the message rather than copied whole.
    const std::string lengthy(10000, '9');
    try {
        StrToInt(lengthy);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_LT(std::string(e.what()).size(), 200u);
    }
}

TEST(Exceptions, ShareOneBaseDerivedFromTheStandardOne) {
    try {
        StrToInt("x");
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetMessage(), e.what());
        const std::exception& std = e;
        EXPECT_STREQ(std.what(), e.what());
        return;
    }
    ADD_FAILURE() << "no vcl::Exception";
}

TEST(LateLibraries, FillEveryFunctionOrNoneAndSayWhatIsMissing) {
    const struct {
        const char* SoName;
        const char* Second;
        const char* Error; // in the message, or nullptr when it loads
    } cases[] = {
        {"libc.so.6", "strlen", nullptr},
        {"libc.so.6", "lumivex_no_such_function", "lumivex_no_such_function"},
        {"liblumivex-no-such-library.so.9", "strlen", "liblumivex-no-such-library.so.9"},
    };
    for (const auto& c : cases) {
        int sentinel = 0;
        void* first = &sentinel;
        void* second = first;
        const std::string error =
            detail::OpenLateLibrary(c.SoName, {{"memcpy", &first}, {c.Second, &second}});
        if (!c.Error) {
            EXPECT_EQ(error, "") << c.SoName;
            ASSERT_NE(second, nullptr);
            EXPECT_EQ(reinterpret_cast<decltype(&std::strlen)>(second)("four"), 4u);
        } else {
            EXPECT_NE(error.find(c.Error), std::string::npos) << error;
            EXPECT_EQ(first, nullptr) << c.Second;
            EXPECT_EQ(second, nullptr) << c.Second;
        }
    }
}

TEST(LateLibraries, AFailedFirstUseIsTriedAgainAndASuccessIsKept) {
    struct TApi {
        int Value = 0;
    };
    int opens = 0;
    const auto open = [&](TApi& Api) {
        Api.Value = 7;
        return ++opens == 1 ? std::string("not there yet") : std::string();
    };
    const auto fail = [](const std::string& Why) { throw std::runtime_error(Why); };
    EXPECT_THROW(detail::LateApi<TApi>(open, fail), std::runtime_error);
    EXPECT_EQ(detail::LateApi<TApi>(open, fail).Value, 7);
    EXPECT_EQ(detail::LateApi<TApi>(open, fail).Value, 7);
    EXPECT_EQ(opens, 2);
}

} // namespace
} // namespace vcl
