#pragma once
// Components for the designer tests: a gizmo with a published property of every kind, a derived
// gizmo for the look-ups that prefer a nearer class, and a label that shares only some of the
// gizmo's properties; a root holding one of each, and a fixture whose registrations are all
// taken back after each test.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "host/classes/Classes.h"
#include "host/designer/DesignEditors.h"
#include "host/designer/DesignIntf.h"
#include "host/graphics/Graphics.h"

namespace vcl::designtest {

enum TGizmoKind : std::uint8_t { gkSmall, gkMedium, gkLarge };
enum TGizmoOption : std::uint8_t { goBold, goWide, goTall };
using TGizmoOptions = std::uint8_t;

const TTypeInfo& GizmoKindType();
const TTypeInfo& GizmoOptionsType();
const TTypeInfo& GizmoRefType();     // a reference to a TGizmo
const TTypeInfo& ComponentRefType(); // a reference to any component
const TTypeInfo& PersistentType();   // class-typed: any persistent object

class TGizmo : public TComponent {
public:
    using TComponent::TComponent;
    int GetNumber() const { return FNumber; }
    void SetNumber(int Value) { FNumber = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    int GetCursor() const { return FCursor; }
    void SetCursor(int Value) { FCursor = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TGizmoKind GetKind() const { return FKind; }
    void SetKind(TGizmoKind Value) { FKind = Value; }
    TGizmoOptions GetOptions() const { return FOptions; }
    void SetOptions(TGizmoOptions Value) { FOptions = Value; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    TFont& GetFont() { return FFont; }
    void SetFont(const TFont* Value) {
        if (Value)
            FFont.Assign(*Value);
    }
    TGizmo* GetBuddy() const { return FBuddy; }
    void SetBuddy(TGizmo* Value) { FBuddy = Value; }
    TComponent* GetLink() const { return FLink; }
    void SetLink(TComponent* Value) { FLink = Value; }
    std::string GetData() const { return FData; }
    void SetData(const std::string& Value) { FData = Value; }
    int GetSerial() const { return 17; }

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    int FNumber = 0;
    TColor FColor = clWindow;
    int FCursor = 0;
    bool FEnabled = true;
    TGizmoKind FKind = gkSmall;
    TGizmoOptions FOptions = 1u << goBold;
    std::string FCaption;
    TFont FFont;
    TGizmo* FBuddy = nullptr;
    TComponent* FLink = nullptr;
    std::string FData;
};

class TBigGizmo : public TGizmo {
public:
    using TGizmo::TGizmo;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
};

// Publishes Caption as the gizmo does, and a Kind of another type.
class TLabelThing : public TComponent {
public:
    using TComponent::TComponent;
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    int GetKind() const { return FKind; }
    void SetKind(int Value) { FKind = Value; }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    std::string FCaption;
    int FKind = 0;
};

// Tags every registration a test makes with the fixture and takes them back afterwards. The
// root Form1 holds Gizmo1 (a TGizmo), Gizmo2 (a TBigGizmo) and Label1.
class DesignerTest : public ::testing::Test {
protected:
    DesignerTest();
    void SetUp() override { FPrevious = BeginModuleRegistration(this); }
    void TearDown() override {
        EndModuleRegistration(FPrevious);
        UnregisterModuleClasses(this);
    }
    // The editor of one property of one instance, as the inspector would choose it.
    std::unique_ptr<TPropertyEditor> EditorFor(TPersistent& Instance, const std::string& Prop);

    std::unique_ptr<TComponent> Root;
    TGizmo* Gizmo1;
    TBigGizmo* Gizmo2;
    TLabelThing* Label1;
    THeadlessDesigner Designer;

private:
    const void* FPrevious = nullptr;
};

} // namespace vcl::designtest
