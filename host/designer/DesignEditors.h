#pragma once
// Property editors, the object inspector's view of one published property of a selection, and
// component editors, what a component's context menu and double-click do in the designer. The
// default editors by kind stand here; a package derives its own from them and registers them
// (host/designer/DesignIntf.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/classes/Classes.h"
#include "host/designer/DesignIntf.h"

namespace vcl {

using TGetStrProc = std::function<void(const std::string&)>;
using TGetPropEditProc = std::function<void(std::unique_ptr<TPropertyEditor>)>;

// Edits one property of every selected instance: shows the first instance's value as text,
// sets a value on all of them and tells the designer. Values are read and written through the
// property's description, so an editor works for any class that publishes the property.
class TPropertyEditor {
public:
    // Each entry is an instance and its class's description of the property; the entries
    // share the property's name and kind. Raises EPropertyError for no entries or a null one.
    TPropertyEditor(TFormDesigner* ADesigner, std::vector<TInstProp> Entries);
    TPropertyEditor(TFormDesigner* ADesigner, const std::vector<TPersistent*>& Instances,
                    const TPropInfo* Prop);
    virtual ~TPropertyEditor() = default;
    TPropertyEditor(const TPropertyEditor&) = delete;
    TPropertyEditor& operator=(const TPropertyEditor&) = delete;

    // [paMultiSelect, paRevertable].
    virtual TPropertyAttributes GetAttributes() const;
    virtual std::string GetName() const;
    // The first instance's value as the inspector shows it; "(unknown)" here.
    virtual std::string GetValue() const;
    // Sets the value given as text on every instance. Here, and for read-only editors:
    // EPropertyError.
    virtual void SetValue(const std::string& Value);
    // Whether every instance holds the same value; the inspector shows a value only then.
    virtual bool AllEqual() const;
    // GetValue when all instances agree, else "".
    std::string GetVisualValue() const;
    // The ellipsis button or a double-click; nothing here.
    virtual void Edit();
    // The values offered in the drop-down list (paValueList).
    virtual void GetValues(const TGetStrProc& Proc) const;
    // The editors of the sub-properties (paSubProperties), handed over one by one.
    virtual void GetProperties(const TGetPropEditProc& Proc) const;

    // The value of the first instance (or the I-th). Ordinal kinds answer the ordinal;
    // class-typed and component properties answer the object's address, as the framework does.
    std::int64_t GetOrdValue() const { return GetOrdValueAt(0); }
    std::int64_t GetOrdValueAt(int I) const;
    // Ordinal kinds the ordinal, class-typed and component properties an object's address.
    void SetOrdValue(std::int64_t Value);
    std::string GetStrValue() const { return GetStrValueAt(0); }
    std::string GetStrValueAt(int I) const;
    void SetStrValue(const std::string& Value);
    // The object a class-typed property holds, or the component a reference names.
    TPersistent* GetObjValue() const { return GetObjValueAt(0); }
    TPersistent* GetObjValueAt(int I) const;
    // A class-typed property takes over Value's values; a reference points at Value, which must
    // be a component (or null).
    void SetObjValue(TPersistent* Value);

    // The I-th instance; EListError outside 0 .. PropCount() - 1.
    TPersistent* GetComponent(int I) const;
    int PropCount() const { return static_cast<int>(FPropList.size()); }
    const TPropInfo& GetPropInfo() const { return *FPropList.front().PropInfo; }
    const TTypeInfo& GetPropType() const { return *GetPropInfo().Type; }
    TFormDesigner* Designer() const { return FDesigner; }
    // Tells the designer, if there is one, that the instances changed.
    void Modified();

protected:
    const TInstProp& Entry(int I) const;
    const std::vector<TInstProp>& Entries() const { return FPropList; }
    // EPropertyError naming the property: "Invalid property value 'x' for Kind: why".
    [[noreturn]] void InvalidValue(const std::string& Value, const std::string& Why) const;

private:
    TFormDesigner* FDesigner;
    std::vector<TInstProp> FPropList;
};

// Ordinals agree when their numbers do.
class TOrdinalProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    bool AllEqual() const override;
};

// An integer, shown in decimal or by its type's identifier where it has one (cursors,
// charsets); accepts an identifier, a decimal number or $ and hexadecimal digits. A type with
// identifiers offers them as its value list, in the type's order.
class TIntegerProperty : public TOrdinalProperty {
public:
    using TOrdinalProperty::TOrdinalProperty;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
    void GetValues(const TGetStrProc& Proc) const override;
};

// A colour: by name, else as the framework writes one, $ and eight hexadecimal digits.
class TColorProperty : public TIntegerProperty {
public:
    using TIntegerProperty::TIntegerProperty;
    std::string GetValue() const override;
};

// An enumeration, shown and accepted by its identifiers, which it offers as its value list.
class TEnumProperty : public TOrdinalProperty {
public:
    using TOrdinalProperty::TOrdinalProperty;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
    void GetValues(const TGetStrProc& Proc) const override;
};

// The framework's Boolean is the enumeration False, True.
class TBoolProperty : public TEnumProperty {
public:
    using TEnumProperty::TEnumProperty;
    void GetValues(const TGetStrProc& Proc) const override;
};

// A set, shown as [a,b] and accepted so (brackets and blanks optional), that opens into one
// False/True sub-property per element of its enumeration.
class TSetProperty : public TOrdinalProperty {
public:
    using TOrdinalProperty::TOrdinalProperty;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
    void GetProperties(const TGetPropEditProc& Proc) const override;
};

// One element of a set: whether each instance's set holds it. Setting it changes that element
// alone in every instance's own set.
class TSetElementProperty : public TPropertyEditor {
public:
    TSetElementProperty(TFormDesigner* ADesigner, std::vector<TInstProp> Entries, int Element);
    TPropertyAttributes GetAttributes() const override;
    std::string GetName() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
    bool AllEqual() const override;
    void GetValues(const TGetStrProc& Proc) const override;

private:
    bool Holds(int I) const;
    int FElement;
};

// Text, shown and set as it is.
class TStringProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
    bool AllEqual() const override;
};

// A component's Name: never given to several components at once, and never reverted.
class TComponentNameProperty : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
    TPropertyAttributes GetAttributes() const override;
};

// An object the instance owns (a font, a bitmap): shown as "(TFont)", not typed in, opening
// into the published properties of the objects held.
class TClassProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void GetProperties(const TGetPropEditProc& Proc) const override;
};

// A reference to another component, shown and set by name through the designer (empty for
// nil), offering the names of the root's components of the property's class.
class TComponentProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
    void SetValue(const std::string& Value) override;
    bool AllEqual() const override;
    void GetValues(const TGetStrProc& Proc) const override;
};

// Data a class streams in its own format: shown as "(Data)", not typed in.
class TBinaryProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    TPropertyAttributes GetAttributes() const override;
    std::string GetValue() const override;
};

// The editors an object inspector shows for a selection, in declared order: each published
// property the first instance's class can read and set (class-typed ones need only be read),
// with its registered editor. For several instances, only the properties all of them publish
// with the same name, kind and editor class, and whose editor has paMultiSelect.
std::vector<std::unique_ptr<TPropertyEditor>>
GetPropertyEditors(const std::vector<TPersistent*>& Instances, TFormDesigner* Designer);

// ---- component editors ----

// What the designer does with a component as a whole: the verbs of its context menu and what
// a double-click does.
class TComponentEditor {
public:
    TComponentEditor(TComponent* AComponent, TFormDesigner* ADesigner)
        : FComponent(AComponent), FDesigner(ADesigner) {}
    virtual ~TComponentEditor() = default;
    TComponentEditor(const TComponentEditor&) = delete;
    TComponentEditor& operator=(const TComponentEditor&) = delete;

    TComponent* Component() const { return FComponent; }
    TFormDesigner* Designer() const { return FDesigner; }

    // A double-click: the first verb when there is one, else nothing.
    virtual void Edit();
    virtual void ExecuteVerb(int Index);
    // The menu text of verb Index ("" for one there is not).
    virtual std::string GetVerb(int Index) const;
    virtual int GetVerbCount() const { return 0; }

private:
    TComponent* FComponent;
    TFormDesigner* FDesigner;
};

// The editor of components whose class has none registered: no verbs, and a double-click does
// nothing.
class TDefaultEditor : public TComponentEditor {
public:
    using TComponentEditor::TComponentEditor;
};

// An editor for Component: that of the nearest class in its ancestry with one registered (the
// later registration for the same class), else a TDefaultEditor.
std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent& Component,
                                                     TFormDesigner* Designer);

} // namespace vcl
