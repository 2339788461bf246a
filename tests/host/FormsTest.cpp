// Form-file roots: which children a form and a data module hand to the writer, a form's window
// properties, and their registration.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/Controls.h"
#include "host/controls/Forms.h"

namespace vcl {
namespace {

class Child : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

std::vector<TComponent*> ChildrenOf(const TComponent& Root) {
    std::vector<TComponent*> out;
    Root.GetChildren([&](TComponent* c) { out.push_back(c); }, const_cast<TComponent*>(&Root));
    return out;
}

TEST(FormRoots, ChildrenAreTheRootsOwnControlsThenItsOtherComponents) {
    TForm form(nullptr);
    auto* plain1 = new TComponent(&form);
    auto* onForm = new Child(&form);
    auto* panel = new TWinControl(&form);
    auto* inPanel = new Child(&form);
    auto* loose = new Child(&form);
    auto* plain2 = new TComponent(&form);
    TComponent otherRoot(nullptr);
    auto* foreign = new Child(&otherRoot);
    panel->SetParent(&form);
    onForm->SetParent(&form);
    inPanel->SetParent(panel);
    foreign->SetParent(&form);

    // Written in their parent's order, each inside its parent; the control that no one holds
    // is written by the form like any other component; another root's control is left to it.
    EXPECT_EQ(ChildrenOf(form), (std::vector<TComponent*>{panel, onForm, plain1, loose, plain2}));
    EXPECT_EQ(ChildrenOf(*panel), (std::vector<TComponent*>{}));
    std::vector<TComponent*> inside;
    panel->GetChildren([&](TComponent* c) { inside.push_back(c); }, &form);
    EXPECT_EQ(inside, (std::vector<TComponent*>{inPanel}));
    foreign->SetParent(nullptr);

    TDataModule module(nullptr);
    auto* m1 = new TComponent(&module);
    auto* held = new Child(&module);
    auto* m2 = new Child(&module);
    held->SetParent(panel);
    EXPECT_EQ(ChildrenOf(module), (std::vector<TComponent*>{m1, m2}));
    held->SetParent(nullptr);
}

TEST(FormRoots, WindowPropertiesAreKeptAndTheClientSizeFollowsTheOuterSize) {
    TForm form(nullptr);
    EXPECT_EQ(form.GetColor(), clBtnFace);
    EXPECT_EQ(form.GetPixelsPerInch(), 96);
    EXPECT_EQ(form.GetFont().GetName(), TFont().GetName());

    form.SetWidth(400);
    form.SetHeight(300);
    EXPECT_EQ(form.GetClientWidth(), 400 - TForm::FrameWidth);
    EXPECT_EQ(form.GetClientHeight(), 300 - TForm::FrameHeight);
    form.SetClientWidth(100);
    form.SetClientHeight(50);
    EXPECT_EQ(form.GetWidth(), 100 + TForm::FrameWidth);
    EXPECT_EQ(form.GetHeight(), 50 + TForm::FrameHeight);
    // Extremes saturate instead of overflowing, and stay consistent enough to read back.
    form.SetClientWidth(INT_MAX);
    EXPECT_EQ(form.GetWidth(), INT_MAX);
    form.SetWidth(INT_MIN);
    EXPECT_EQ(form.GetClientWidth(), INT_MIN);

    // The font is copied, never shared; a null font changes nothing.
    TFont f;
    f.SetName("Arial");
    f.SetSize(12);
    form.SetFont(&f);
    f.SetName("Courier New");
    EXPECT_EQ(form.GetFont().GetName(), "Arial");
    EXPECT_EQ(form.GetFont().GetSize(), 12);
    form.SetFont(nullptr);
    EXPECT_EQ(form.GetFont().GetName(), "Arial");

    std::vector<std::string> names;
    for (const TPropInfo* p : TForm::StaticClassInfo().Properties())
        names.push_back(p->Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height", "Cursor",
                                        "Hint", "BorderIcons", "BorderStyle", "Caption",
                                        "ClientHeight", "ClientWidth", "Color", "Font",
                                        "OldCreateOrder", "Position", "PixelsPerInch",
                                        "TextHeight"}));
    const TPropInfo* color = TForm::StaticClassInfo().FindProperty("Color");
    EXPECT_EQ(color->Type->IdentOf(form.GetColor()), "clBtnFace");
}

TEST(FormRoots, RegisteringTwiceIsHarmlessAndTheReaderCanCreateRoots) {
    RegisterHostClasses();
    RegisterHostClasses();
    for (const char* name : {"TForm", "tdatamodule"}) {
        SCOPED_TRACE(name);
        const TClassInfo& info = GetClass(name);
        std::unique_ptr<TComponent> root(info.Create(nullptr));
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(&root->ClassInfo(), &info);
        EXPECT_EQ(root->GetOwner(), nullptr);
        auto* owned = info.Create(root.get());
        EXPECT_EQ(owned->GetOwner(), root.get());
    }
}

} // namespace
} // namespace vcl
