// Malformed and hostile form files: each raises EReadError naming the line or offset and what
// was expected, and nothing the failed read created outlives it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/classes/Streaming.h"
#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/StreamingTesting.h"

namespace vcl::streamtest {
namespace {

using MalformedForms = FormFileTest;

// Reads Data, expecting a read error whose message holds Fragment, and no component left.
void ExpectReadError(const std::string& Data, const std::string& Fragment) {
    SCOPED_TRACE(Data.substr(0, 120));
    try {
        ReadComponentFromString(Data);
        ADD_FAILURE() << "no error, expected: " << Fragment;
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find(Fragment), std::string::npos)
            << "message: " << e.what() << "\nexpected: " << Fragment;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not a read error: " << e.what();
    }
    EXPECT_EQ(LiveTestComponents(), 0);
    EXPECT_TRUE(LoadedLog().empty());
    LoadedLog().clear();
}

// A form whose second widget holds Body from line 6 on; the first widget and the root are
// created before Body is read.
std::string Form(const std::string& Body) {
    return "object Form1: TTestRoot\n"
           "  object W1: TTestWidget\n"
           "    Number = 1\n"
           "  end\n"
           "  object W2: TTestWidget\n" +
           Body + "  end\nend\n";
}

std::string Nested(int Depth) {
    std::string s;
    for (int i = 0; i < Depth; ++i)
        s += (i ? "object W" + std::to_string(i) + ": TTestWidget\n" : "object F: TTestRoot\n");
    for (int i = 0; i < Depth; ++i)
        s += "end\n";
    return s;
}

TEST_F(MalformedForms, TextSyntaxErrorsNameTheLine) {
    const struct {
        std::string Text;
        std::string Message;
    } cases[] = {
        {"", "line 1: expected 'object', found end of file"},
        {"object Form1: TTestRoot\n  object W: TTestWidget\n  end\n",
         "line 4: expected 'object' or 'end', found end of file"},
        {"object Form1: TTestRoot\n  Caption = 'x'\n",
         "line 3: expected a property name, 'object' or 'end', found end of file"},
        {Form("    Number @ 1\n"), "line 6: unexpected '@'"},
        {Form("    Number 1\n"), "line 6: expected '=' after property name, found number 1"},
        {Form("    Number =\n"), "line 7: expected a value, found 'end'"},
        {Form("    Caption = 'abc\n"), "line 6: unterminated string"},
        {Form("    Caption = 'abc' +\n    Number = 1\n"),
         "line 7: expected a string after '+', found 'Number'"},
        {Form("    Caption = #x\n"), "line 6: expected a character code after '#'"},
        {Form("    Caption = #65536\n"), "line 6: character code out of range"},
        {Form("    Number = 99999999999999999999\n"),
         "line 6: integer 99999999999999999999 out of range"},
        {Form("    Number = 12abc\n"), "line 6: malformed number"},
        {Form("    Number = {0G}\n"), "line 6: expected a hex digit in binary data, found 'G'"},
        {Form("    Number = {012}\n"), "line 6: binary data with an odd number of hex digits"},
        {"object Form1: TTestRoot\n  Data = {0011",
         "line 2: unterminated binary data, expected '}'"},
        {Form("    Options = [toOne toTwo]\n"),
         "line 6: expected ',' or ']' in a set, found 'toTwo'"},
        {Form("    Options = [toOne,]\n"), "line 6: expected set element, found ']'"},
        {Form("    Number = (1 2\n"), "line 7: expected a value, found 'end'"},
        {Form("    Number = <1>\n"), "line 6: expected 'item' or '>', found number 1"},
        {Form("    Font..Name = 'x'\n"), "line 6: 'Font..Name' is not a valid property name"},
        {Form("    object Inner: TTestWidget\n    end\n    Number = 1\n"),
         "line 8: expected 'object' or 'end' (properties come before child objects), found "
         "'Number'"},
        {"object A.B: TTestRoot\nend\n", "line 1: 'A.B' is not a valid object name"},
        {"object Form1: TTestRoot\nend\nobject X: TTestRoot\nend\n",
         "line 3: expected end of file after the root object's 'end', found 'object'"},
        {"inherited Form1: TTestRoot\nend\n", "line 1: 'inherited' objects are not supported"},
        {"object Form1: TTestRoot\n  inline W: TTestWidget\n  end\nend\n",
         "line 2: 'inline' objects are not supported"},
        {std::string("\x01\x02\xFF", 3), "line 1: unexpected byte #1"},
        {"object Form1: TTestRoot\n  Caption = 'x'\n\xFF\xFE\nend\n",
         "line 3: unexpected byte #255"},
        {std::string("object Form1: TTestRoot\n\0end\n", 29), "line 2: unexpected byte #0"},
        {Nested(64) + "x", "line 129: expected end of file"},
        {Nested(65), "line 65: objects and values nested deeper than 64 levels"},
        {Form("    Number = " + std::string(100, '(') + "\n"),
         "line 6: objects and values nested deeper than 64 levels"},
    };
    for (const auto& c : cases)
        ExpectReadError(c.Text, c.Message);
}

TEST_F(MalformedForms, UnknownClassesAndPropertiesAndWrongValueKinds) {
    const struct {
        std::string Text;
        std::string Message;
    } cases[] = {
        {"object Form1: TNoSuch\nend\n", "line 1: Class TNoSuch not found"},
        {"object Form1: TTestRoot\n  object W1: TTestWidget\n  end\n  object X: TNoSuch\n"
         "  end\nend\n",
         "line 4: Class TNoSuch not found"},
        {Form("    Foo = 1\n"), "line 6: Error reading W2.Foo: Property Foo does not exist"},
        {Form("    Font.Foo = 1\n"),
         "line 6: Error reading W2.Font.Foo: Property Foo does not exist"},
        {Form("    Number.Low = 1\n"), "line 6: Error reading W2.Number.Low: Property Number is "
                                       "not class-typed"},
        {Form("    Number = 'abc'\n"),
         "line 6: Error reading W2.Number: expected an integer, found a string"},
        {Form("    Number = 4294967296\n"), "expected a 32-bit integer, found integer 4294967296"},
        {Form("    Number = -2147483649\n"), "expected a 32-bit integer"},
        {Form("    Number = 1.5\n"), "expected an integer, found a floating-point number"},
        {Form("    Number = (1 2)\n"), "expected an integer, found a list"},
        {Form("    Number = {00}\n"), "expected an integer, found binary data"},
        {Form("    Color = clNoSuch\n"),
         "expected an integer or a TColor identifier, found identifier clNoSuch"},
        {Form("    Enabled = 1\n"), "expected True or False, found integer 1"},
        {Form("    Kind = tkDelta\n"),
         "expected a TTestKind (tkAlpha, tkBeta, tkGamma), found identifier tkDelta"},
        {Form("    Options = [toOne, toFour]\n"), "toFour is not a member of TTestOptions"},
        {Form("    Options = toOne\n"), "expected a set of TTestOptions"},
        {Form("    Font.Style = [fsBlink]\n"), "fsBlink is not a member of TFontStyles"},
        {Form("    Caption = Hello\n"), "expected a string, found identifier Hello"},
        {Form("    Font = 'Arial'\n"), "expected the properties of TFont"},
        {Form("    Buddy = 'W1'\n"), "expected a component name, found a string"},
        {Form("    Buddy = Nobody\n"), "line 6: Error reading W2.Buddy: no component named Nobody"},
        {Form("    Buddy = Form1\n"), "line 6: Error reading W2.Buddy: Form1 is a TTestRoot, "
                                      "expected a TTestWidget"},
        {Form("    Link = Other.W1\n"), "no component named Other.W1"},
        {Form("    Serial = 3\n"), "line 6: Error reading W2.Serial: Property Serial is read-only"},
        // The component's own refusal becomes a read error at the line that caused it.
        {Form("    Number = 1\n    object W1: TTestWidget\n    end\n"),
         "line 7: Error reading W1: A component named W1 already exists"},
    };
    for (const auto& c : cases)
        ExpectReadError(c.Text, c.Message);
}

// Builds binary form files byte by byte.
class TBinary {
public:
    TBinary() : FData("TPF0") {}
    TBinary& Byte(int V) {
        FData += static_cast<char>(V);
        return *this;
    }
    TBinary& Str(const std::string& S) {
        Byte(static_cast<int>(S.size()));
        FData += S;
        return *this;
    }
    TBinary& Int32(std::int32_t V) {
        for (int i = 0; i < 4; ++i)
            Byte(static_cast<int>(static_cast<std::uint32_t>(V) >> (8 * i) & 0xFF));
        return *this;
    }
    // The offset of the next byte, as messages spell it.
    std::string Here() const {
        char buf[32];
        std::snprintf(buf, sizeof buf, "offset 0x%zX: ", FData.size());
        return buf;
    }
    // The root Form1 and the start of a property.
    static TBinary RootWith(const std::string& Property) {
        TBinary b;
        b.Str("TTestRoot").Str("Form1").Str(Property);
        return b;
    }
    std::string Done() const { return FData; }

private:
    std::string FData;
};

TEST_F(MalformedForms, BinaryErrorsNameTheOffset) {
    struct TCase {
        std::string Data;
        std::string Message;
    };
    std::vector<TCase> cases;
    auto add = [&](const TBinary& b, const std::string& at, const std::string& what) {
        cases.push_back({b.Done(), at + what});
    };
    {
        TBinary b = TBinary::RootWith("Caption");
        const std::string at = b.Byte(12).Here();
        add(b.Int32(0x7FFFFFFF).Str("abc").Byte(0).Byte(0), at,
            "length 2147483647 of a string exceeds the 6 bytes that remain");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        const std::string at = b.Byte(10).Here();
        add(b.Int32(-1).Byte(0).Byte(0), at, "length -1 of binary data exceeds");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        const std::string at = b.Byte(18).Here();
        add(b.Int32(0x40000000).Byte('a').Byte(0).Byte(0).Byte(0), at,
            "length 1073741824 of a wide string exceeds");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        const std::string at = b.Here();
        add(b.Byte(21).Byte(0).Byte(0), at, "unknown value type 21");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        const std::string at = b.Here();
        add(b.Byte(0xFF).Byte(0).Byte(0), at, "unknown value type 255");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        const std::string at = b.Here();
        add(b.Byte(0).Byte(0).Byte(0), at, "expected a value, found the end of a list");
    }
    // Errors of a property's meaning name the offset of the property.
    add(TBinary::RootWith("Caption").Byte(2).Byte(5).Byte(0).Byte(0),
        "offset 0x14: ", "Error reading Form1.Caption: expected a string, found integer 5");
    add(TBinary::RootWith("Foo").Byte(2).Byte(5).Byte(0).Byte(0),
        "offset 0x14: ", "Error reading Form1.Foo: Property Foo does not exist");
    {
        TBinary b = TBinary::RootWith("Caption");
        b.Byte(14).Byte(2).Byte(1);
        const std::string at = b.Here();
        add(b.Byte(0).Byte(0).Byte(0).Byte(0), at, "expected a list starting a collection item");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        b.Byte(11).Str("ok");
        const std::string at = b.Here();
        add(b.Str("no way").Byte(0).Byte(0).Byte(0), at,
            "expected a set element, found an invalid identifier");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        b.Byte(6).Str("x").Byte(0).Byte(0);
        const std::string at = b.Here();
        add(b.Byte(0), at, "unexpected data after the root object");
    }
    add(TBinary().Str("T T").Str("Form1").Byte(0).Byte(0),
        "offset 0x4: ", "expected a class name, found an invalid identifier");
    add(TBinary().Str("TNoSuch").Str("Form1").Byte(0).Byte(0),
        "offset 0x4: ", "Class TNoSuch not found");
    add(TBinary().Byte(0xF1).Str("TTestRoot").Str("Form1").Byte(0).Byte(0),
        "offset 0x4: ", "inherited and inline objects are not supported");
    {
        TBinary b;
        std::string at;
        for (int i = 0; i < 65; ++i) {
            std::string name = "W";
            name += std::to_string(i);
            at = b.Here();
            b.Str(i ? "TTestWidget" : "TTestRoot").Str(name).Byte(0);
        }
        add(b, at, "objects and values nested deeper than 64 levels");
    }
    {
        TBinary b = TBinary::RootWith("Caption");
        std::string at;
        for (int i = 0; i < 100; ++i) {
            if (i == 64)
                at = b.Here();
            b.Byte(1);
        }
        add(b, at, "objects and values nested deeper than 64 levels");
    }
    for (const TCase& c : cases) {
        ExpectReadError(c.Data, c.Message);
        // The converter reads the same syntax and fails alike, where the error is one of syntax.
        if (c.Message.find("Error reading") == std::string::npos &&
            c.Message.find("Class ") == std::string::npos) {
            EXPECT_THROW(ObjectBinaryToText(c.Data), EReadError) << c.Message;
        }
    }
    try {
        ObjectBinaryToText("TPF1");
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "offset 0x0: expected the signature TPF0");
    }
}

TEST_F(MalformedForms, EveryTruncationOfAValidFileIsAnError) {
    const auto form = SampleForm();
    const std::string binary = WriteComponentToString(*form, TFormFileFormat::Binary);
    const std::string text = WriteComponentToString(*form, TFormFileFormat::Text);
    const int live = LiveTestComponents();
    for (std::size_t n = 0; n < binary.size(); ++n) {
        const std::string cut = binary.substr(0, n);
        // Shorter than the signature, it is taken for text.
        EXPECT_THROW(ReadComponentFromString(cut), EReadError) << n;
        EXPECT_THROW(ObjectBinaryToText(cut), EReadError) << n;
        EXPECT_EQ(LiveTestComponents(), live) << n;
    }
    // Text cut anywhere before the final "end" is incomplete.
    for (std::size_t n = 0; n + 1 < text.size(); ++n) {
        EXPECT_THROW(ReadComponentFromString(text.substr(0, n)), EReadError) << n;
        EXPECT_EQ(LiveTestComponents(), live) << n;
    }
    EXPECT_TRUE(LoadedLog().empty());
}

TEST_F(MalformedForms, DamagedBytesNeverCrash) {
    const auto form = SampleForm();
    const std::string binary = WriteComponentToString(*form, TFormFileFormat::Binary);
    const int live = LiveTestComponents();
    for (std::size_t i = 4; i < binary.size(); ++i)
        for (const int v : {0x00, 0x01, 0x06, 0x0C, 0x7F, 0x80, 0xF2, 0xFF}) {
            std::string damaged = binary;
            damaged[i] = static_cast<char>(v);
            // Some damage still leaves a valid file; none may crash or raise anything else.
            try {
                ReadComponentFromString(damaged);
            } catch (const EReadError&) {
            }
            try {
                ObjectBinaryToText(damaged);
            } catch (const EReadError&) {
            }
            ASSERT_EQ(LiveTestComponents(), live) << i << " " << v;
        }
}

TEST_F(MalformedForms, AFailedReadIntoARootDestroysOnlyWhatItCreated) {
    TTestRoot root(nullptr);
    root.SetName("Form1");
    auto* pre = new TTestWidget(&root);
    pre->SetName("Pre");
    EXPECT_THROW(ReadComponentInto(Form("    Number = x\n"), root), EReadError);
    ASSERT_EQ(root.GetComponentCount(), 1);
    EXPECT_EQ(root.GetComponent(0), pre);
    EXPECT_EQ(LiveTestComponents(), 2);
    EXPECT_FALSE(root.InState(csLoading));
    EXPECT_TRUE(LoadedLog().empty());
    // A child named like one the root already owns is refused as well.
    EXPECT_THROW(ReadComponentInto("object Form1: TTestRoot\n  object Pre: TTestWidget\n  end\n"
                                   "end\n",
                                   root),
                 EReadError);
    EXPECT_EQ(root.GetComponentCount(), 1);
}

TEST_F(MalformedForms, AFormPastTheComponentBoundIsRefused) {
    // Every component that joins is announced to all that are there: a form of thousands
    // loaded in seconds before the bound (and in minutes before the announcements stopped
    // looking each listener up again).
    auto form = [](std::size_t N) {
        std::string s = "object Form1: TTestRoot\n";
        for (std::size_t i = 0; i < N; ++i)
            s += "  object W" + std::to_string(i) + ": TTestWidget\n  end\n";
        return s + "end\n";
    };
    {
        const auto root = ReadComponentFromString(form(detail::MaxFormComponents));
        EXPECT_EQ(root->GetComponentCount(), static_cast<int>(detail::MaxFormComponents));
    }
    LoadedLog().clear();
    ExpectReadError(form(detail::MaxFormComponents + 1),
                    "line " + std::to_string(2 + 2 * detail::MaxFormComponents) +
                        ": more than 1024 components in one form");
    ExpectReadError(ObjectTextToBinary(form(detail::MaxFormComponents + 1)),
                    "more than 1024 components in one form");
}

TEST_F(MalformedForms, TheBinaryFlagsByteIsAccepted) {
    // A child position, as the binary form of a frame's descendants carries it, comes through.
    const std::string data =
        TBinary().Byte(0xF2).Byte(2).Byte(3).Str("TTestRoot").Str("Form1").Byte(0).Byte(0).Done();
    EXPECT_EQ(ReadComponentFromString(data)->GetName(), "Form1");
    EXPECT_EQ(ObjectBinaryToText(data), "object Form1: TTestRoot [3]\nend\n");
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(data)), data);
}

} // namespace
} // namespace vcl::streamtest
