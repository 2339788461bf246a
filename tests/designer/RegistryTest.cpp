// The palette, the listings, the modules that take their registrations back, and the
// designer's services to editors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/sysutils/SysUtils.h"
#include "tests/designer/DesignerTesting.h"

namespace vcl::designtest {
namespace {

using RegistryTest = DesignerTest;

class TGizmoEdit : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
};

TEST_F(RegistryTest, PalettePagesKeepRegistrationOrder) {
    const TClassInfo* gizmo = &TGizmo::StaticClassInfo();
    const TClassInfo* big = &TBigGizmo::StaticClassInfo();
    const TClassInfo* label = &TLabelThing::StaticClassInfo();
    RegisterComponents("Alpha", {gizmo});
    RegisterComponents("Beta", {label});
    RegisterComponents("alpha", {big, gizmo});
    EXPECT_EQ(GetComponentPages(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(GetPageComponents("ALPHA"), (std::vector<const TClassInfo*>{gizmo, big}));
    EXPECT_TRUE(GetPageComponents("Gamma").empty());
    EXPECT_EQ(FindClass("TBigGizmo"), big);
    const auto regs = ComponentRegistrations();
    ASSERT_EQ(regs.size(), 3u);
    EXPECT_EQ(regs[1].ComponentClass, label);
    EXPECT_EQ(regs[1].Module, this);

    EXPECT_THROW(RegisterComponents("Alpha", {label, &TFont::StaticClassInfo()}), EComponentError);
    EXPECT_THROW(RegisterComponents("Alpha", {nullptr}), EComponentError);
    EXPECT_EQ(GetPageComponents("Alpha").size(), 2u);
}

TEST_F(RegistryTest, UnloadingAModuleTakesBackWhatItRegistered) {
    int package = 0;
    RegisterClass(TLabelThing::StaticClassInfo()); // the host's own, before the package
    {
        TModuleRegistration tag(&package);
        EXPECT_EQ(CurrentRegistrationModule(), &package);
        RegisterComponents("Package",
                           {&TBigGizmo::StaticClassInfo(), &TLabelThing::StaticClassInfo(),
                            &TGizmo::StaticClassInfo()});
        RegisterPropertyEditor(&IntegerType(), nullptr, "Number",
                               PropertyEditorClass<TSetProperty>("TPackageEdit"));
        RegisterComponentEditor(&TGizmo::StaticClassInfo(),
                                ComponentEditorClass<TGizmoEdit>("TGizmoEdit"));
    }
    EXPECT_EQ(CurrentRegistrationModule(), this);
    RegisterComponents("Host", {&TGizmo::StaticClassInfo()});
    RegisterPropertyEditor(&StringType(), nullptr, "", PropertyEditorClass<TStringProperty>("T"));
    EXPECT_EQ(PropertyEditorRegistrations().size(), 2u);
    EXPECT_EQ(PropertyEditorRegistrations()[0].EditorClass.Name, "TPackageEdit");
    EXPECT_EQ(ComponentEditorRegistrations()[0].Module, &package);

    UnregisterModuleClasses(&package);
    EXPECT_EQ(GetComponentPages(), std::vector<std::string>{"Host"});
    EXPECT_EQ(FindClass("TBigGizmo"), nullptr);
    EXPECT_NE(FindClass("TLabelThing"), nullptr) << "registered before the package";
    EXPECT_NE(FindClass("TGizmo"), nullptr) << "still on the host's page";
    ASSERT_EQ(PropertyEditorRegistrations().size(), 1u);
    EXPECT_EQ(PropertyEditorRegistrations()[0].Module, this);
    EXPECT_TRUE(ComponentEditorRegistrations().empty());
    EXPECT_EQ(GetPropertyEditorClass(*TGizmo::StaticClassInfo().FindProperty("Number"),
                                     TGizmo::StaticClassInfo())
                  .Name,
              "TIntegerProperty");

    UnregisterModuleClasses(this);
    EXPECT_EQ(FindClass("TGizmo"), nullptr);
    EXPECT_TRUE(ComponentRegistrations().empty());
    UnRegisterClass(TLabelThing::StaticClassInfo());
}

TEST_F(RegistryTest, DesignerNamesAndCreatesComponents) {
    EXPECT_EQ(Designer.UniqueName("TGizmo"), "Gizmo3");
    EXPECT_EQ(Designer.UniqueName("TForm"), "Form2");
    EXPECT_EQ(Designer.GetComponent("form1"), Root.get());
    EXPECT_EQ(Designer.GetComponentName(nullptr), "");
    TComponent elsewhere(nullptr);
    elsewhere.SetName("Form2");
    TGizmo far(&elsewhere);
    far.SetName("Far");
    EXPECT_EQ(Designer.GetComponentName(&far), "Form2.Far");

    TComponent* made = Designer.CreateComponent(TBigGizmo::StaticClassInfo());
    EXPECT_EQ(made->GetName(), "BigGizmo1");
    EXPECT_EQ(made->GetOwner(), Root.get());
    EXPECT_EQ(Designer.ModifiedCount(), 1);
    THeadlessDesigner empty;
    EXPECT_THROW(empty.CreateComponent(TGizmo::StaticClassInfo()), EInvalidOperation);
}

} // namespace
} // namespace vcl::designtest
