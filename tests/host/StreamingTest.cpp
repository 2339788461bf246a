// Form files: what the writer writes, what the reader builds from it, and the conversions
// between the text and binary forms.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/classes/Streaming.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/StreamingTesting.h"

namespace vcl::streamtest {
namespace {

using FormFiles = FormFileTest;

const char* const SampleText = R"(object Form1: TTestRoot
  Caption = 'Sample'
  object Widget1: TTestWidget
    Number = -7
    Color = clWindowText
    Enabled = False
    Kind = tkGamma
    Options = [toTwo, toThree]
    Caption = 'It''s'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -13
    Font.Name = 'Courier New'
    Font.Style = [fsBold]
    Buddy = Widget2
    Spacing = 0
    AutoSize = True
    object Inner: TTestWidget
      Number = 3
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = []
      Buddy = Widget1
      Width = 0
    end
  end
  object Widget2: TTestWidget
    Tag = 5
    Number = 0
    Color = 1193046
    Options = []
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = []
    Link = Form1
    Width = 120
  end
end
)";

// Every stored property of A equals B's, class-typed ones property by property, references by
// name; then the children, by name, class and parent.
void ExpectSameProperties(const TPersistent& A, const TPersistent& B, const std::string& Path) {
    ASSERT_EQ(A.ClassName(), B.ClassName()) << Path;
    for (const TPropInfo* p : A.ClassInfo().Properties()) {
        if (!p->Stored(A))
            continue;
        const std::string at = Path + "." + p->Name;
        switch (p->Type->Kind) {
        case TTypeKind::String:
            EXPECT_EQ(p->GetStr(A), p->GetStr(B)) << at;
            break;
        case TTypeKind::Class:
            ExpectSameProperties(*p->GetObj(A), *p->GetObj(B), at);
            break;
        case TTypeKind::Component: {
            const TComponent* ra = p->GetRef(A);
            const TComponent* rb = p->GetRef(B);
            EXPECT_EQ(ra ? ra->GetName() : "(nil)", rb ? rb->GetName() : "(nil)") << at;
            break;
        }
        default:
            EXPECT_EQ(p->GetOrd(A), p->GetOrd(B)) << at;
        }
    }
}

void ExpectSameForm(const TComponent& A, const TComponent& B) {
    ExpectSameProperties(A, B, A.GetName());
    ASSERT_EQ(A.GetComponentCount(), B.GetComponentCount());
    for (int i = 0; i < A.GetComponentCount(); ++i) {
        const TComponent* a = A.GetComponent(i);
        const TComponent* b = B.FindComponent(a->GetName());
        ASSERT_NE(b, nullptr) << a->GetName();
        EXPECT_EQ(b->GetOwner(), &B);
        ExpectSameProperties(*a, *b, a->GetName());
        const TComponent* pa = a->GetParentComponent();
        const TComponent* pb = b->GetParentComponent();
        EXPECT_EQ(pa && pa != &A ? pa->GetName() : "(root)",
                  pb && pb != &B ? pb->GetName() : "(root)")
            << a->GetName();
    }
}

TEST_F(FormFiles, WritesStoredPropertiesThatDifferFromTheirDefaultsAsText) {
    const auto form = SampleForm();
    // The text is the golden file above: the inherited Tag before the widget's own properties,
    // identifiers for colours, enumerations and Booleans, read-only (Serial), default-valued
    // (Spacing 4, Enabled True) and unstored (Width under AutoSize, Font.Size) ones left out.
    EXPECT_EQ(WriteComponentToString(*form, TFormFileFormat::Text), SampleText);
}

TEST_F(FormFiles, RoundTripsEveryPropertyThroughBothForms) {
    const auto form = SampleForm();
    for (const TFormFileFormat format : {TFormFileFormat::Text, TFormFileFormat::Binary}) {
        SCOPED_TRACE(format == TFormFileFormat::Text ? "text" : "binary");
        const std::string written = WriteComponentToString(*form, format);
        const std::unique_ptr<TComponent> read = ReadComponentFromString(written);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->ClassName(), "TTestRoot");
        EXPECT_EQ(read->GetOwner(), nullptr);
        ExpectSameForm(*form, *read);
        auto* w1 = dynamic_cast<TTestWidget*>(read->FindComponent("Widget1"));
        ASSERT_NE(w1, nullptr);
        EXPECT_EQ(w1->GetBuddy(), read->FindComponent("Widget2"));
        EXPECT_EQ(w1->GetFont().GetName(), "Courier New");
        EXPECT_EQ(WriteComponentToString(*read, format), written);
    }
}

TEST_F(FormFiles, ConvertsBetweenFormsByteForByte) {
    const auto form = SampleForm();
    const std::string text = WriteComponentToString(*form, TFormFileFormat::Text);
    const std::string binary = WriteComponentToString(*form, TFormFileFormat::Binary);
    EXPECT_EQ(binary.substr(0, 4), "TPF0");
    EXPECT_EQ(ObjectTextToBinary(text), binary);
    EXPECT_EQ(ObjectBinaryToText(binary), text);
    EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(text)), text);
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(binary)), binary);
}

TEST_F(FormFiles, BinaryFormLayout) {
    TTestRoot root(nullptr);
    root.SetName("F");
    root.SetCaption("Hi");
    root.SetClientWidth(300);
    using namespace std::string_literals;
    EXPECT_EQ(WriteComponentToString(root, TFormFileFormat::Binary), "TPF0\x09TTestRoot\x01"
                                                                     "F"
                                                                     "\x07"
                                                                     "Caption\x06\x02Hi"
                                                                     "\x0B"
                                                                     "ClientWidth\x03\x2C\x01"
                                                                     "\x00\x00"s);
}

TEST_F(FormFiles, IntegersTakeTheSmallestBinaryWidth) {
    const struct {
        const char* Text;
        int Type; // the value type byte
        std::size_t Bytes;
    } cases[] = {
        {"0", 2, 1},           {"127", 2, 1},         {"-128", 2, 1},
        {"128", 3, 2},         {"-129", 3, 2},        {"32767", 3, 2},
        {"32768", 4, 4},       {"-32769", 4, 4},      {"2147483647", 4, 4},
        {"-2147483648", 4, 4}, {"2147483648", 19, 8}, {"-9223372036854775808", 19, 8},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("object A: TB\n  V = ") + c.Text + "\nend\n";
        const std::string binary = ObjectTextToBinary(text);
        // "TPF0", class, name, "V", then the value.
        const std::size_t at = 4 + 3 + 2 + 2;
        ASSERT_GT(binary.size(), at) << c.Text;
        EXPECT_EQ(static_cast<unsigned char>(binary[at]), c.Type) << c.Text;
        EXPECT_EQ(binary.size(), at + 1 + c.Bytes + 2) << c.Text;
        EXPECT_EQ(ObjectBinaryToText(binary), text);
    }
}

TEST_F(FormFiles, StringsOfEveryByteSurviveBothForms) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += static_cast<char>(i);
    const struct {
        std::string Value;
        std::string Spelled; // how the text form spells it, where it matters
    } cases[] = {
        {"plain", "Caption = 'plain'\n"},
        {"It's", "Caption = 'It''s'\n"},
        {"''", "Caption = ''''''\n"},
        {"a\r\nb", "Caption = 'a'#13#10'b'\n"},
        {"\x01", "Caption = #1\n"},
        {"caf\xC3\xA9", "Caption = 'caf'#195#169\n"},
        {"\x7F\x80\xFF", "Caption = #127#128#255\n"},
        {std::string(64, 'x'), "Caption = '" + std::string(64, 'x') + "'\n"},
        {std::string(65, 'x'), "Caption =\n      '" + std::string(64, 'x') + "' +\n      'x'\n"},
        {std::string(255, 'y'), ""},
        {std::string(256, 'z'), ""},
        {std::string(1000, '\''), ""},
        {allBytes + allBytes, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value.substr(0, 16));
        TTestRoot root(nullptr);
        root.SetName("Form1");
        auto* w = new TTestWidget(&root);
        w->SetName("W");
        w->SetCaption(c.Value);
        const std::string text = WriteComponentToString(root, TFormFileFormat::Text);
        const std::string binary = WriteComponentToString(root, TFormFileFormat::Binary);
        if (!c.Spelled.empty()) {
            EXPECT_NE(text.find(c.Spelled), std::string::npos) << text;
        }
        // The text stays 7-bit, its lines short.
        for (char ch : text)
            EXPECT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7F)) << static_cast<int>(ch);
        // Up to 255 bytes a short string, beyond that a long one.
        EXPECT_NE(binary.find(c.Value.size() > 255 ? "Caption\x0C" : "Caption\x06"),
                  std::string::npos);
        for (const std::string* file : {&text, &binary}) {
            const auto read = ReadComponentFromString(*file);
            const auto* rw = dynamic_cast<const TTestWidget*>(read->FindComponent("W"));
            ASSERT_NE(rw, nullptr);
            EXPECT_EQ(rw->GetCaption(), c.Value);
        }
        EXPECT_EQ(ObjectTextToBinary(text), binary);
        EXPECT_EQ(ObjectBinaryToText(binary), text);
    }
}

TEST_F(FormFiles, NonVisualComponentsKeepTheirDesignedPlace) {
    // Left and Top after the published properties, only when not zero, in both forms.
    const std::string text = "object Form1: TTestRoot\n"
                             "  object W: TTestWidget\n"
                             "    Number = 0\n"
                             "    Font.Charset = DEFAULT_CHARSET\n"
                             "    Font.Color = clWindowText\n"
                             "    Font.Height = -11\n"
                             "    Font.Name = 'MS Sans Serif'\n"
                             "    Font.Style = []\n"
                             "    Width = 0\n"
                             "    Left = 40\n"
                             "    Top = 300\n"
                             "  end\n"
                             "end\n";
    const auto form = ReadComponentFromString(text);
    EXPECT_EQ(form->FindComponent("W")->GetDesignInfo(), (300u << 16) | 40u);
    EXPECT_EQ(form->GetDesignInfo(), 0u);
    EXPECT_EQ(WriteComponentToString(*form, TFormFileFormat::Text), text);
    EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(text)), text);
    for (const char* bad : {"Left = 65536", "Top = -1"}) {
        const std::string wild =
            std::string("object Form1: TTestRoot\n  object W: TTestWidget\n    ") + bad +
            "\n  end\nend\n";
        EXPECT_THROW(ReadComponentFromString(wild), EReadError) << bad;
    }
}

TEST_F(FormFiles, ReadsTextAsPeopleWriteIt) {
    // Any indentation, blank lines, CR LF, keywords and identifiers in any case, hex numbers,
    // strings joined with +, #$ codes.
    const std::string text = "\xEF\xBB\xBF"
                             "OBJECT Form1: ttestroot\r\n"
                             "\r\n"
                             "caption = 'Hello, ' +\r\n"
                             "    'world'#$21\r\n"
                             "\t\tObject W: TTESTWIDGET\n"
                             "number=$10 color = clwindowtext\n"
                             "  ENABLED = false  kind = TKBETA  options=[TOTWO,toThree]\n"
                             "font.name = 'Arial' FONT.STYLE = [fsItalic]\n"
                             "link = form1\n"
                             "  END\n"
                             "End";
    const auto form = ReadComponentFromString(text);
    const auto& root = dynamic_cast<const TTestRoot&>(*form);
    EXPECT_EQ(root.GetName(), "Form1");
    EXPECT_EQ(root.GetCaption(), "Hello, world!");
    auto* w = dynamic_cast<TTestWidget*>(root.FindComponent("W"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetNumber(), 16);
    EXPECT_EQ(w->GetColor(), clWindowText);
    EXPECT_FALSE(w->GetEnabled());
    EXPECT_EQ(w->GetKind(), tkBeta);
    EXPECT_EQ(w->GetOptions(), OptionBit(toTwo) | OptionBit(toThree));
    EXPECT_EQ(w->GetFont().GetName(), "Arial");
    EXPECT_EQ(w->GetFont().GetStyle(), FontStyleBit(fsItalic));
    EXPECT_EQ(w->GetLink(), &root);
}

TEST_F(FormFiles, ConvertsValueKindsThatNoPropertyUsesYet) {
    // Lists, collections with item orders, the four float kinds, wide strings, binary data,
    // 64-bit integers, child positions, nil and dotted identifiers: the canonical layout.
    const std::string text = R"(object Thing: TNotRegistered [2]
  Items = <
    item
      Text = 'one'
    end
    item [3]
      Values = (
        1
        'two'
        (
          3.5
          4.25s)
        'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' +
        'y')
    end>
  Money = -12.3456c
  Whole = 7.0c
  When = 45000.5d
  Ratio = 0.1
  Tiny = 1e-300
  Big = 1099511627776
  Data = {
    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
    2021}
  Empty = {}
  NoItems = <>
  NoValues = ()
  Wide = 'A'#1234'B'
  Flag = True
  Nothing = nil
  Ref = Other.Thing
  Styles = []
  object TAnonymous
  end
end
)";
    const std::string binary = ObjectTextToBinary(text);
    EXPECT_EQ(ObjectBinaryToText(binary), text);
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(binary)), binary);
    // Spellings that are not canonical come back in the canonical one.
    EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary("object A: B\n V = 2.50c W = 1.5E2 "
                                                    "X = {0 a 0B} Y = false end")),
              "object A: B\n  V = 2.5c\n  W = 150.0\n  X = {\n    0A0B}\n  Y = False\nend\n");
}

TEST_F(FormFiles, LoadsTheWholeTreeBeforeAnyLoaded) {
    const auto form = ReadComponentFromString(R"(object Form1: TTestRoot
  object A: TTestWidget
    Number = 1
    Buddy = C
    object B: TTestWidget
      Buddy = A
      Link = Form1.C
    end
  end
  object C: TTestWidget
    Buddy = B
    Link = Form1
  end
end
)");
    // Each component is loaded once, in creation order, the root first; every one was still
    // loading, the whole tree created and every reference resolved by then.
    const auto& log = LoadedLog();
    ASSERT_EQ(log.size(), 4u);
    const struct {
        const char* Name;
        const char* Buddy;
    } expected[] = {{"Form1", ""}, {"A", "C"}, {"B", "A"}, {"C", "B"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log[i].Name, expected[i].Name);
        EXPECT_TRUE(log[i].WasLoading) << log[i].Name;
        EXPECT_EQ(log[i].RootComponentCount, 3) << log[i].Name;
        EXPECT_EQ(log[i].BuddyName, expected[i].Buddy) << log[i].Name;
    }
    EXPECT_FALSE(form->InState(csLoading));
    for (const char* name : {"A", "B", "C"}) {
        const auto* w = dynamic_cast<const TTestWidget*>(form->FindComponent(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->GetOwner(), form.get());
        EXPECT_FALSE(w->InState(csLoading)) << name;
        EXPECT_GT(w->SetsWhileLoading(), 0) << name;
        EXPECT_EQ(w->SetsOutsideLoading(), 0) << name;
    }
    EXPECT_EQ(form->FindComponent("A")->GetParentComponent(), form.get());
    EXPECT_EQ(form->FindComponent("B")->GetParentComponent(), form->FindComponent("A"));
    const auto* b = dynamic_cast<const TTestWidget*>(form->FindComponent("B"));
    EXPECT_EQ(b->GetLink(), form->FindComponent("C"));
    const auto* c = dynamic_cast<const TTestWidget*>(form->FindComponent("C"));
    EXPECT_EQ(c->GetLink(), form.get());
}

TEST_F(FormFiles, ReadsIntoAnExistingRoot) {
    {
        TTestRoot root(nullptr);
        root.SetName("MyForm");
        ReadComponentInto("object Form1: TTestRoot\n  Caption = 'Loaded'\n"
                          "  object W: TTestWidget\n    Link = Form1\n  end\nend\n",
                          root);
        // A root with a name keeps it; references to the file's root name reach it.
        EXPECT_EQ(root.GetName(), "MyForm");
        EXPECT_EQ(root.GetCaption(), "Loaded");
        ASSERT_EQ(root.GetComponentCount(), 1);
        EXPECT_EQ(dynamic_cast<TTestWidget&>(*root.GetComponent(0)).GetLink(), &root);
        EXPECT_FALSE(root.InState(csLoading));
        ASSERT_EQ(LoadedLog().size(), 2u);
        EXPECT_EQ(LoadedLog()[0].Name, "MyForm");
    }
    {
        TTestRoot root(nullptr);
        ReadComponentInto("object Form1: TTestRoot\nend\n", root);
        EXPECT_EQ(root.GetName(), "Form1");
        // The file's class must be the root's or one it inherits from.
        ReadComponentInto("object X: TComponent\n  Tag = 3\nend\n", root);
        EXPECT_EQ(root.GetTag(), 3);
        EXPECT_THROW(ReadComponentInto("object X: TTestWidget\nend\n", root), EReadError);
    }
}

TEST_F(FormFiles, NamesTooLongForTheBinaryFormAreWriteErrors) {
    TTestRoot root(nullptr);
    root.SetName("R" + std::string(300, 'x'));
    const std::string text = WriteComponentToString(root, TFormFileFormat::Text);
    EXPECT_EQ(ReadComponentFromString(text)->GetName(), root.GetName());
    EXPECT_THROW(WriteComponentToString(root, TFormFileFormat::Binary), EWriteError);
    EXPECT_THROW(ObjectTextToBinary(text), EWriteError);
}

TEST_F(FormFiles, ValuesWithoutIdentifiersAreWriteErrors) {
    TTestRoot root(nullptr);
    auto* w = new TTestWidget(&root);
    w->SetName("W");
    w->SetKind(static_cast<TTestKind>(9));
    EXPECT_THROW(WriteComponentToString(root, TFormFileFormat::Text), EWriteError);
    w->SetKind(tkAlpha);
    w->SetOptions(0x80);
    EXPECT_THROW(WriteComponentToString(root, TFormFileFormat::Binary), EWriteError);
}

} // namespace
} // namespace vcl::streamtest
