// Which registered property editor a property gets: the most specific registration that
// matches, else the default editor of its kind.
#include <gtest/gtest.h>

#include <vector>

#include "host/sysutils/SysUtils.h"
#include "tests/designer/DesignerTesting.h"

namespace vcl::designtest {
namespace {

struct Registration {
    const TTypeInfo* Type;
    const TClassInfo* Class; // nullptr: any class
    const char* Property;    // "": any property
    const char* Editor;
};

struct LookupRow {
    const char* Note;
    std::vector<Registration> Registrations; // in registration order
    const TClassInfo* Class;
    const char* Property;
    const char* Expected;
};

using LookupTest = DesignerTest;

TEST_F(LookupTest, MostSpecificRegistrationWins) {
    const TTypeInfo* integer = &IntegerType();
    const TClassInfo* gizmo = &TGizmo::StaticClassInfo();
    const TClassInfo* big = &TBigGizmo::StaticClassInfo();
    const TClassInfo* label = &TLabelThing::StaticClassInfo();
    const std::vector<LookupRow> rows = {
        {"nothing registered: the kind's editor", {}, gizmo, "Number", "TIntegerProperty"},
        {"nothing registered: colours", {}, gizmo, "Color", "TColorProperty"},
        {"nothing registered: a component's name", {}, gizmo, "Name", "TComponentNameProperty"},
        {"any class, any property", {{integer, nullptr, "", "A"}}, gizmo, "Number", "A"},
        {"a component class beats none",
         {{integer, gizmo, "", "A"}, {integer, nullptr, "", "B"}},
         gizmo,
         "Number",
         "A"},
        {"a property name beats none",
         {{integer, nullptr, "Number", "A"}, {integer, nullptr, "", "B"}},
         gizmo,
         "Number",
         "A"},
        {"the name compares without regard to case",
         {{integer, nullptr, "nUMBER", "A"}},
         gizmo,
         "Number",
         "A"},
        {"another name does not match",
         {{integer, nullptr, "Other", "A"}},
         gizmo,
         "Number",
         "TIntegerProperty"},
        {"another class does not match",
         {{integer, label, "", "A"}},
         gizmo,
         "Number",
         "TIntegerProperty"},
        {"a base class matches", {{integer, gizmo, "", "A"}}, big, "Number", "A"},
        {"the more derived class wins",
         {{integer, big, "", "A"}, {integer, gizmo, "", "B"}},
         big,
         "Number",
         "A"},
        {"a derived class's editor is not the base's",
         {{integer, big, "", "A"}, {integer, gizmo, "", "B"}},
         gizmo,
         "Number",
         "B"},
        {"equally specific: the later wins",
         {{integer, nullptr, "", "A"}, {integer, nullptr, "", "B"}},
         gizmo,
         "Number",
         "B"},
        {"a component class outranks a name",
         {{integer, gizmo, "", "A"}, {integer, nullptr, "Number", "B"}},
         gizmo,
         "Number",
         "A"},
        {"another integer type does not match",
         {{integer, nullptr, "", "A"}},
         gizmo,
         "Color",
         "TColorProperty"},
        {"a class-typed property matches a base class's type",
         {{&PersistentType(), nullptr, "", "A"}},
         gizmo,
         "Font",
         "A"},
        {"the very type beats a base class's",
         {{&FontType(), nullptr, "", "A"}, {&PersistentType(), nullptr, "", "B"}},
         gizmo,
         "Font",
         "A"},
        {"a nearer base class's type beats a farther one's",
         {{&ComponentRefType(), nullptr, "", "A"}, {&PersistentType(), nullptr, "", "B"}},
         gizmo,
         "Buddy",
         "A"},
        {"a reference matches a base class's reference type",
         {{&ComponentRefType(), nullptr, "", "A"}},
         gizmo,
         "Buddy",
         "A"},
        {"a base class's reference type does not make a string match",
         {{&ComponentRefType(), nullptr, "", "A"}},
         gizmo,
         "Caption",
         "TStringProperty"},
    };
    for (const LookupRow& row : rows) {
        UnregisterModuleClasses(this);
        for (const Registration& r : row.Registrations)
            RegisterPropertyEditor(r.Type, r.Class, r.Property,
                                   PropertyEditorClass<TPropertyEditor>(r.Editor));
        const TPropInfo* p = row.Class->FindProperty(row.Property);
        ASSERT_NE(p, nullptr) << row.Note;
        EXPECT_EQ(GetPropertyEditorClass(*p, *row.Class).Name, row.Expected) << row.Note;
    }
}

TEST_F(LookupTest, RegistrationNeedsATypeAndAFactory) {
    EXPECT_THROW(
        RegisterPropertyEditor(nullptr, nullptr, "", PropertyEditorClass<TPropertyEditor>("A")),
        EPropertyError);
    EXPECT_THROW(RegisterPropertyEditor(&IntegerType(), nullptr, "", {"A", nullptr}),
                 EPropertyError);
    EXPECT_TRUE(PropertyEditorRegistrations().empty());
}

} // namespace
} // namespace vcl::designtest
