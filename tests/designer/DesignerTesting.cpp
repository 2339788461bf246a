// The designer tests' components and their published properties.
#include "tests/designer/DesignerTesting.h"

#include "host/controls/Controls.h"

namespace vcl::designtest {

const TTypeInfo& GizmoKindType() {
    static const TTypeInfo t{
        TTypeKind::Enumeration, "TGizmoKind", {"gkSmall", "gkMedium", "gkLarge"}, {}, nullptr};
    return t;
}

const TTypeInfo& GizmoOptionsType() {
    static const TTypeInfo t{
        TTypeKind::Set, "TGizmoOptions", {"goBold", "goWide", "goTall"}, {}, nullptr};
    return t;
}

namespace {
// The gizmo refers to gizmos: the reference type needs the class description first.
TClassInfo& GizmoInfo() {
    static TClassInfo info("TGizmo", &TComponent::StaticClassInfo(), CreateComponent<TGizmo>);
    return info;
}
} // namespace

const TTypeInfo& GizmoRefType() {
    static const TTypeInfo t{TTypeKind::Component, "TGizmo", {}, {}, &GizmoInfo()};
    return t;
}

const TTypeInfo& ComponentRefType() {
    static const TTypeInfo t{
        TTypeKind::Component, "TComponent", {}, {}, &TComponent::StaticClassInfo()};
    return t;
}

const TTypeInfo& PersistentType() {
    static const TTypeInfo t{
        TTypeKind::Class, "TPersistent", {}, {}, &TPersistent::StaticClassInfo()};
    return t;
}

const TClassInfo& TGizmo::StaticClassInfo() {
    static const bool described = [] {
        using G = TGizmo;
        TClassInfo& c = GizmoInfo();
        c.Ordinal<G, int>("Number", IntegerType(), &G::GetNumber, &G::SetNumber);
        c.Ordinal<G, TColor>("Color", ColorType(), &G::GetColor, &G::SetColor);
        c.Ordinal<G, int>("Cursor", CursorType(), &G::GetCursor, &G::SetCursor);
        c.Ordinal<G, bool>("Enabled", BooleanType(), &G::GetEnabled, &G::SetEnabled);
        c.Ordinal<G, TGizmoKind>("Kind", GizmoKindType(), &G::GetKind, &G::SetKind);
        c.Ordinal<G, TGizmoOptions>("Options", GizmoOptionsType(), &G::GetOptions, &G::SetOptions);
        c.String<G, const std::string&>("Caption", &G::GetCaption, &G::SetCaption);
        c.Object<G, TFont>("Font", FontType(), &G::GetFont, &G::SetFont);
        c.Reference<G, TGizmo>("Buddy", GizmoRefType(), &G::GetBuddy, &G::SetBuddy);
        c.Reference<G, TComponent>("Link", ComponentRefType(), &G::GetLink, &G::SetLink);
        c.Bytes<G>("Data", &G::GetData, &G::SetData);
        c.Ordinal<G, int>("Serial", IntegerType(), &G::GetSerial, nullptr);
        return true;
    }();
    (void)described;
    return GizmoInfo();
}

const TClassInfo& TBigGizmo::StaticClassInfo() {
    static const TClassInfo info("TBigGizmo", &TGizmo::StaticClassInfo(),
                                 CreateComponent<TBigGizmo>);
    return info;
}

const TClassInfo& TLabelThing::StaticClassInfo() {
    static const TClassInfo info = [] {
        using L = TLabelThing;
        TClassInfo c("TLabelThing", &TComponent::StaticClassInfo(), CreateComponent<TLabelThing>);
        c.String<L, const std::string&>("Caption", &L::GetCaption, &L::SetCaption);
        c.Ordinal<L, int>("Kind", IntegerType(), &L::GetKind, &L::SetKind);
        return c;
    }();
    return info;
}

DesignerTest::DesignerTest() : Root(std::make_unique<TComponent>(nullptr)) {
    Root->SetName("Form1");
    Gizmo1 = new TGizmo(Root.get());
    Gizmo1->SetName("Gizmo1");
    Gizmo2 = new TBigGizmo(Root.get());
    Gizmo2->SetName("Gizmo2");
    Label1 = new TLabelThing(Root.get());
    Label1->SetName("Label1");
    Designer.SetRoot(Root.get());
}

std::unique_ptr<TPropertyEditor> DesignerTest::EditorFor(TPersistent& Instance,
                                                         const std::string& Prop) {
    const TPropInfo* p = Instance.ClassInfo().FindProperty(Prop);
    EXPECT_NE(p, nullptr) << Prop;
    return GetPropertyEditorClass(*p, Instance.ClassInfo()).Create(&Designer, {{&Instance, p}});
}

} // namespace vcl::designtest
