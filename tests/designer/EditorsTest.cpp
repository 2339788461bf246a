// The default editors: text shown and accepted for each kind, what invalid text raises, the
// value lists, and the sub-properties of objects and sets.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/controls/Controls.h"
#include "host/sysutils/SysUtils.h"
#include "tests/designer/DesignerTesting.h"

namespace vcl::designtest {
namespace {

using EditorsTest = DesignerTest;

std::vector<std::string> Values(const TPropertyEditor& Editor) {
    std::vector<std::string> v;
    Editor.GetValues([&](const std::string& s) { v.push_back(s); });
    return v;
}

std::vector<std::unique_ptr<TPropertyEditor>> SubProperties(const TPropertyEditor& Editor) {
    std::vector<std::unique_ptr<TPropertyEditor>> subs;
    Editor.GetProperties([&](std::unique_ptr<TPropertyEditor> e) { subs.push_back(std::move(e)); });
    return subs;
}

struct RoundTripRow {
    const char* Property;
    const char* Editor;
    int Attributes;
    const char* Before;
    const char* Text;
    const char* After;
};

TEST_F(EditorsTest, ValuesRoundTripAsText) {
    const RoundTripRow rows[] = {
        {"Number", "TIntegerProperty", 136, "0", "-42", "-42"},
        {"Number", "TIntegerProperty", 136, "-42", " $1F ", "31"},
        {"Color", "TColorProperty", 137, "clWindow", "clbtnface", "clBtnFace"},
        {"Color", "TColorProperty", 137, "clBtnFace", "$00563412", "$00563412"},
        {"Color", "TColorProperty", 137, "$00563412", "255", "clRed"},
        {"Cursor", "TIntegerProperty", 137, "crDefault", "crHandPoint", "crHandPoint"},
        {"Cursor", "TIntegerProperty", 137, "crHandPoint", "-100", "-100"},
        {"Enabled", "TBoolProperty", 169, "True", "false", "False"},
        {"Kind", "TEnumProperty", 169, "gkSmall", "gkLarge", "gkLarge"},
        {"Options", "TSetProperty", 138, "[goBold]", "[ goWide , goTall ]", "[goWide,goTall]"},
        {"Options", "TSetProperty", 138, "[goWide,goTall]", "[]", "[]"},
        {"Options", "TSetProperty", 138, "[]", "goBold", "[goBold]"},
        {"Caption", "TStringProperty", 136, "", " It's ", " It's "},
        {"Name", "TComponentNameProperty", 0, "Gizmo1", "Gadget", "Gadget"},
        {"Buddy", "TComponentProperty", 169, "", "gizmo2", "Gizmo2"},
        {"Buddy", "TComponentProperty", 169, "Gizmo2", "", ""},
        {"Link", "TComponentProperty", 169, "", "Form1", "Form1"},
        {"Link", "TComponentProperty", 169, "Form1", "Label1", "Label1"},
    };
    for (const RoundTripRow& r : rows) {
        const std::string note = std::string(r.Property) + " <- " + r.Text;
        auto e = EditorFor(*Gizmo1, r.Property);
        EXPECT_EQ(GetPropertyEditorClass(e->GetPropInfo(), Gizmo1->ClassInfo()).Name, r.Editor);
        EXPECT_EQ(e->GetAttributes().Byte(), r.Attributes) << note;
        EXPECT_EQ(e->GetValue(), r.Before) << note;
        Designer.ResetModified();
        e->SetValue(r.Text);
        EXPECT_EQ(e->GetValue(), r.After) << note;
        EXPECT_EQ(Designer.ModifiedCount(), 1) << note;
    }
    EXPECT_EQ(Gizmo1->GetName(), "Gadget");
    EXPECT_EQ(Gizmo1->GetCaption(), " It's ");
    EXPECT_EQ(Gizmo1->GetLink(), Label1);
}

struct InvalidRow {
    const char* Property;
    const char* Text;
    bool Conversion; // EConvertError rather than EPropertyError
};

TEST_F(EditorsTest, InvalidTextRaisesAndChangesNothing) {
    const InvalidRow rows[] = {
        {"Number", "12x", true},         {"Number", "$", true},
        {"Number", "99999999999", true}, {"Color", "clNotAColour", true},
        {"Cursor", "$123456789", true},  {"Enabled", "yes", false},
        {"Kind", "gkHuge", false},       {"Options", "[goBold,goNope]", false},
        {"Options", "[goBold", false},   {"Options", "[goBold,]", false},
        {"Buddy", "Nobody", false},      {"Buddy", "Label1", false},
        {"Font", "Arial", false},        {"Data", "00", false},
        {"Name", "not a name", false},
    };
    for (const InvalidRow& r : rows) {
        const std::string note = std::string(r.Property) + " <- " + r.Text;
        auto e = EditorFor(*Gizmo1, r.Property);
        const std::string before = e->GetValue();
        Designer.ResetModified();
        if (r.Conversion)
            EXPECT_THROW(e->SetValue(r.Text), EConvertError) << note;
        else
            EXPECT_THROW(e->SetValue(r.Text), Exception) << note;
        EXPECT_EQ(e->GetValue(), before) << note;
        EXPECT_EQ(Designer.ModifiedCount(), 0) << note;
    }
}

TEST_F(EditorsTest, ValueLists) {
    EXPECT_EQ(Values(*EditorFor(*Gizmo1, "Kind")),
              (std::vector<std::string>{"gkSmall", "gkMedium", "gkLarge"}));
    EXPECT_EQ(Values(*EditorFor(*Gizmo1, "Enabled")), (std::vector<std::string>{"False", "True"}));
    // The root's components of the property's class, derived classes included.
    EXPECT_EQ(Values(*EditorFor(*Gizmo1, "Buddy")), (std::vector<std::string>{"Gizmo1", "Gizmo2"}));
    EXPECT_EQ(Values(*EditorFor(*Gizmo1, "Link")),
              (std::vector<std::string>{"Gizmo1", "Gizmo2", "Label1"}));
    EXPECT_EQ(Values(*EditorFor(*Gizmo1, "Color")).front(), "clBlack");
    EXPECT_TRUE(Values(*EditorFor(*Gizmo1, "Number")).empty());
}

TEST_F(EditorsTest, ObjectsAnswerTheirAddress) {
    Gizmo1->SetBuddy(Gizmo2);
    auto font = EditorFor(*Gizmo1, "Font");
    EXPECT_EQ(font->GetValue(), "(TFont)");
    EXPECT_EQ(font->GetAttributes().Byte(), 74); // paSubProperties, paMultiSelect, paReadOnly
    EXPECT_EQ(font->GetOrdValue(), reinterpret_cast<std::intptr_t>(&Gizmo1->GetFont()));
    EXPECT_EQ(font->GetObjValue(), &Gizmo1->GetFont());
    EXPECT_EQ(EditorFor(*Gizmo1, "Buddy")->GetOrdValue(), reinterpret_cast<std::intptr_t>(Gizmo2));
    EXPECT_EQ(EditorFor(*Gizmo1, "Data")->GetValue(), "(Data)");
    EXPECT_THROW(EditorFor(*Gizmo1, "Caption")->GetOrdValue(), EPropertyError);

    TFont other;
    other.SetName("Courier New");
    font->SetObjValue(&other);
    EXPECT_EQ(Gizmo1->GetFont().GetName(), "Courier New");
    EXPECT_EQ(Designer.ModifiedCount(), 1);
    EXPECT_THROW(font->SetObjValue(Gizmo2), EPropertyError);
}

TEST_F(EditorsTest, FontOpensIntoItsProperties) {
    std::vector<std::string> names;
    std::unique_ptr<TPropertyEditor> size;
    for (auto& sub : SubProperties(*EditorFor(*Gizmo1, "Font"))) {
        names.push_back(sub->GetName());
        if (sub->GetName() == "Size")
            size = std::move(sub);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Size", "Style"}));
    ASSERT_NE(size, nullptr);
    size->SetValue("12");
    EXPECT_EQ(Gizmo1->GetFont().GetSize(), 12);
    EXPECT_EQ(Designer.ModifiedCount(), 1);
}

TEST_F(EditorsTest, SetElementsChangeEachInstancesOwnSet) {
    Gizmo1->SetOptions(1u << goBold);
    Gizmo2->SetOptions(1u << goTall);
    const TPropInfo* p = TGizmo::StaticClassInfo().FindProperty("Options");
    TSetProperty set(&Designer, {Gizmo1, Gizmo2}, p);
    auto subs = SubProperties(set);
    ASSERT_EQ(subs.size(), 3u);
    EXPECT_EQ(subs[1]->GetName(), "goWide");
    EXPECT_FALSE(subs[0]->AllEqual());
    EXPECT_EQ(subs[1]->GetVisualValue(), "False");
    subs[1]->SetValue("True");
    EXPECT_EQ(Gizmo1->GetOptions(), (1u << goBold) | (1u << goWide));
    EXPECT_EQ(Gizmo2->GetOptions(), (1u << goTall) | (1u << goWide));
    EXPECT_EQ(Designer.ModifiedCount(), 1);
}

} // namespace
} // namespace vcl::designtest
