// The default editors of objects, references and data; the inspector's list of editors for a
// selection; the component editor.
#include "host/designer/DesignEditors.h"

#include <string_view>

#include "host/designer/detail/Text.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

bool Readable(const TPropInfo& P) {
    switch (P.Type->Kind) {
    case TTypeKind::String:
    case TTypeKind::Binary:
        return static_cast<bool>(P.GetStr);
    case TTypeKind::Class:
        return static_cast<bool>(P.GetObj);
    case TTypeKind::Component:
        return static_cast<bool>(P.GetRef);
    default:
        return static_cast<bool>(P.GetOrd);
    }
}

// The inspector shows what it can read and set; an owned object needs only be read, as its
// own properties are what is set.
bool Shown(const TPropInfo& P) {
    return P.Type && Readable(P) && (P.Type->Kind == TTypeKind::Class || P.Writable());
}

TComponent* Reference(const TPropertyEditor& Editor, int I) {
    return dynamic_cast<TComponent*>(Editor.GetObjValueAt(I));
}

} // namespace

// ---- objects ----

TPropertyAttributes TClassProperty::GetAttributes() const {
    return {paMultiSelect, paSubProperties, paReadOnly};
}

std::string TClassProperty::GetValue() const {
    return "(" + GetPropType().Name + ")";
}

void TClassProperty::GetProperties(const TGetPropEditProc& Proc) const {
    std::vector<TPersistent*> objects;
    for (int i = 0; i < PropCount(); ++i) {
        TPersistent* o = GetObjValueAt(i);
        // An instance without the object leaves nothing that all of them share.
        if (!o)
            return;
        objects.push_back(o);
    }
    for (std::unique_ptr<TPropertyEditor>& e : GetPropertyEditors(objects, Designer()))
        Proc(std::move(e));
}

// ---- references ----

TPropertyAttributes TComponentProperty::GetAttributes() const {
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::string TComponentProperty::GetValue() const {
    const TComponent* c = Reference(*this, 0);
    if (Designer())
        return Designer()->GetComponentName(c);
    return c ? c->GetName() : std::string();
}

void TComponentProperty::SetValue(const std::string& Value) {
    const std::string_view name = detail::Trim(Value);
    if (name.empty()) {
        SetObjValue(nullptr);
        return;
    }
    TComponent* c = nullptr;
    if (Designer()) {
        c = Designer()->GetComponent(name);
    } else if (const auto* self = dynamic_cast<const TComponent*>(GetComponent(0))) {
        // Without a designer, the names the instance's owner knows.
        if (TComponent* owner = self->GetOwner())
            c = SameText(owner->GetName(), name) ? owner : owner->FindComponent(name);
    }
    const TClassInfo* type = GetPropType().ClassType;
    if (!c)
        InvalidValue(Value, "no component of that name");
    if (type && !c->ClassInfo().InheritsFrom(*type))
        InvalidValue(Value, "a " + c->ClassName() + " is not a " + type->Name());
    SetObjValue(c);
}

bool TComponentProperty::AllEqual() const {
    for (int i = 1; i < PropCount(); ++i)
        if (GetObjValueAt(i) != GetObjValue())
            return false;
    return true;
}

void TComponentProperty::GetValues(const TGetStrProc& Proc) const {
    if (Designer() && GetPropType().ClassType)
        Designer()->GetComponentNames(*GetPropType().ClassType, Proc);
}

// ---- data ----

TPropertyAttributes TBinaryProperty::GetAttributes() const {
    return {paReadOnly};
}

std::string TBinaryProperty::GetValue() const {
    return "(Data)";
}

// ---- the inspector's editors ----

std::vector<std::unique_ptr<TPropertyEditor>>
GetPropertyEditors(const std::vector<TPersistent*>& Instances, TFormDesigner* Designer) {
    std::vector<std::unique_ptr<TPropertyEditor>> editors;
    std::vector<TPersistent*> selection;
    for (TPersistent* i : Instances)
        if (i)
            selection.push_back(i);
    if (selection.empty())
        return editors;
    const TClassInfo& first = selection[0]->ClassInfo();
    for (const TPropInfo* p : first.Properties()) {
        if (!Shown(*p))
            continue;
        const TPropertyEditorClass editorClass = GetPropertyEditorClass(*p, first);
        std::vector<TInstProp> entries{{selection[0], p}};
        for (std::size_t i = 1; i < selection.size(); ++i) {
            const TClassInfo& c = selection[i]->ClassInfo();
            const TPropInfo* q = &c == &first ? p : c.FindProperty(p->Name);
            // Shared: the same name and type, shown, and edited by the same editor class.
            if (!q || q->Type != p->Type || !Shown(*q) ||
                (&c != &first && !(GetPropertyEditorClass(*q, c) == editorClass)))
                break;
            entries.push_back({selection[i], q});
        }
        if (entries.size() != selection.size())
            continue;
        std::unique_ptr<TPropertyEditor> editor = editorClass.Create(Designer, std::move(entries));
        if (selection.size() > 1 && !editor->GetAttributes().Contains(paMultiSelect))
            continue;
        editors.push_back(std::move(editor));
    }
    return editors;
}

// ---- component editors ----

void TComponentEditor::Edit() {
    if (GetVerbCount() > 0)
        ExecuteVerb(0);
}

void TComponentEditor::ExecuteVerb(int) {}

std::string TComponentEditor::GetVerb(int) const {
    return {};
}

} // namespace vcl
