// What the object inspector lists for a selection, and the component editors it opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "host/sysutils/SysUtils.h"
#include "tests/designer/DesignerTesting.h"

namespace vcl::designtest {
namespace {

using InspectorTest = DesignerTest;

std::vector<std::string> Names(const std::vector<std::unique_ptr<TPropertyEditor>>& Editors) {
    std::vector<std::string> names;
    for (const auto& e : Editors)
        names.push_back(e->GetName());
    return names;
}

// Never offered for a selection of several.
class TSingleEdit : public TIntegerProperty {
public:
    using TIntegerProperty::TIntegerProperty;
    TPropertyAttributes GetAttributes() const override { return {paRevertable}; }
};

TEST_F(InspectorTest, SelectionsShowTheirSharedProperties) {
    struct Row {
        const char* Note;
        std::vector<TPersistent*> Selection;
        std::vector<std::string> Expected;
    };
    const std::vector<Row> rows = {
        {"one gizmo: every property it can set, and its objects; not the read-only Serial",
         {Gizmo1},
         {"Name", "Tag", "Number", "Color", "Cursor", "Enabled", "Kind", "Options", "Caption",
          "Font", "Buddy", "Link", "Data"}},
        {"two gizmos: not the name, nor the data no one types in",
         {Gizmo1, Gizmo2},
         {"Tag", "Number", "Color", "Cursor", "Enabled", "Kind", "Options", "Caption", "Font",
          "Buddy", "Link"}},
        {"a gizmo and a label: what both publish with the same type",
         {Gizmo1, Label1},
         {"Tag", "Caption"}},
        {"a font", {&Gizmo1->GetFont()}, {"Charset", "Color", "Height", "Name", "Size", "Style"}},
        {"nothing", {}, {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Names(GetPropertyEditors(r.Selection, &Designer)), r.Expected) << r.Note;

    RegisterPropertyEditor(&IntegerType(), nullptr, "Number",
                           PropertyEditorClass<TSingleEdit>("TSingleEdit"));
    const auto one = Names(GetPropertyEditors({Gizmo1}, &Designer));
    const auto two = Names(GetPropertyEditors({Gizmo1, Gizmo2}, &Designer));
    EXPECT_NE(std::find(one.begin(), one.end(), "Number"), one.end());
    EXPECT_EQ(std::find(two.begin(), two.end(), "Number"), two.end());
}

TEST_F(InspectorTest, SettingASelectionSetsEveryInstance) {
    Gizmo1->SetNumber(1);
    Gizmo2->SetNumber(2);
    Gizmo2->SetEnabled(false);
    auto editors = GetPropertyEditors({Gizmo1, Gizmo2}, &Designer);
    auto find = [&](const std::string& Name) {
        for (auto& e : editors)
            if (e->GetName() == Name)
                return e.get();
        return static_cast<TPropertyEditor*>(nullptr);
    };
    TPropertyEditor* number = find("Number");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->PropCount(), 2);
    EXPECT_EQ(number->GetComponent(1), Gizmo2);
    EXPECT_EQ(number->GetVisualValue(), "");
    number->SetValue("7");
    EXPECT_EQ(Gizmo1->GetNumber(), 7);
    EXPECT_EQ(Gizmo2->GetNumber(), 7);
    EXPECT_EQ(number->GetVisualValue(), "7");
    EXPECT_EQ(Designer.ModifiedCount(), 1);
    EXPECT_EQ(find("Enabled")->GetVisualValue(), "");
    EXPECT_EQ(find("Caption")->GetVisualValue(), "");
    EXPECT_TRUE(find("Caption")->AllEqual());
    EXPECT_THROW(number->GetComponent(2), EListError);
}

class TGizmoEdit : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
    void ExecuteVerb(int Index) override { Executed.push_back(Index); }
    int GetVerbCount() const override { return 1; }
    static inline std::vector<int> Executed;
};
class TBigGizmoEdit : public TGizmoEdit {
public:
    using TGizmoEdit::TGizmoEdit;
};

TEST_F(InspectorTest, ComponentEditorOfTheNearestRegisteredClass) {
    const std::type_index none = typeid(TDefaultEditor), gizmo = typeid(TGizmoEdit),
                          big = typeid(TBigGizmoEdit);
    struct Step {
        const TClassInfo* Class; // registered before the look-ups; nullptr: nothing
        TComponentEditorClass Editor;
        std::type_index ForGizmo1, ForGizmo2, ForLabel1;
    };
    const Step steps[] = {
        {nullptr, {}, none, none, none},
        {&TGizmo::StaticClassInfo(), ComponentEditorClass<TGizmoEdit>("A"), gizmo, gizmo, none},
        {&TBigGizmo::StaticClassInfo(), ComponentEditorClass<TBigGizmoEdit>("B"), gizmo, big, none},
        {&TGizmo::StaticClassInfo(), ComponentEditorClass<TBigGizmoEdit>("C"), big, big, none},
    };
    auto type = [&](TComponent& C) {
        const auto editor = GetComponentEditor(C, &Designer);
        EXPECT_EQ(editor->Component(), &C);
        EXPECT_EQ(editor->Designer(), &Designer);
        const TComponentEditor& e = *editor;
        return std::type_index(typeid(e));
    };
    for (const Step& s : steps) {
        if (s.Class)
            RegisterComponentEditor(s.Class, s.Editor);
        EXPECT_EQ(type(*Gizmo1), s.ForGizmo1) << s.Editor.Name;
        EXPECT_EQ(type(*Gizmo2), s.ForGizmo2) << s.Editor.Name;
        EXPECT_EQ(type(*Label1), s.ForLabel1) << s.Editor.Name;
    }
    // A double-click runs the first verb where there is one, and nothing where there is none.
    TGizmoEdit::Executed.clear();
    GetComponentEditor(*Label1, &Designer)->Edit();
    GetComponentEditor(*Gizmo1, &Designer)->Edit();
    EXPECT_EQ(TGizmoEdit::Executed, std::vector<int>{0});
    EXPECT_EQ(GetComponentEditor(*Label1, &Designer)->GetVerb(0), "");
}

} // namespace
} // namespace vcl::designtest
