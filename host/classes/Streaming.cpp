// Writing components to form files, the files themselves, and the conversions between forms.
#include "host/classes/Streaming.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/classes/detail/FormTree.h"
#include "host/sysutils/AtomicFile.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace detail {

std::string FormWhere(TFormSyntax Syntax, std::size_t At) {
    if (Syntax == TFormSyntax::Text)
        return "line " + std::to_string(At);
    char buf[32];
    std::snprintf(buf, sizeof buf, "offset 0x%zX", At);
    return buf;
}

bool IsBinaryForm(std::string_view Data) {
    return Data.substr(0, BinarySignature.size()) == BinarySignature;
}

bool IsFormIdent(std::string_view Name, bool Dotted) {
    if (!Dotted)
        return IsValidIdent(Name);
    for (;;) {
        const std::size_t dot = Name.find('.');
        if (!IsValidIdent(Name.substr(0, dot)))
            return false;
        if (dot == std::string_view::npos)
            return true;
        Name.remove_prefix(dot + 1);
    }
}

} // namespace detail

namespace {

using namespace detail;

// Turns a component tree into the form-file tree, each property only where it is stored and
// differs from its default.
class TTreeWriter {
public:
    explicit TTreeWriter(const TComponent& Root) : FRoot(Root) {}

    TFormObject Component(const TComponent& C, int Depth) {
        if (Depth > MaxFormDepth)
            throw EWriteError("Cannot write " + C.GetName() + ": components nested deeper than " +
                              std::to_string(MaxFormDepth) + " levels");
        TFormObject o;
        o.ClassName = C.ClassName();
        o.Name = C.GetName();
        const std::string shown = o.Name.empty() ? o.ClassName : o.Name;
        Properties(C, shown, "", o.Props, 1);
        C.GetChildren(
            [&](TComponent* Child) {
                if (Child)
                    o.Children.push_back(Component(*Child, Depth + 1));
            },
            const_cast<TComponent*>(&FRoot));
        return o;
    }

private:
    void Properties(const TPersistent& Obj, const std::string& Shown, const std::string& Prefix,
                    std::vector<TFormProperty>& Out, int Depth) {
        if (Depth > MaxFormDepth)
            throw EWriteError("Cannot write " + Shown + "." + Prefix +
                              ": class-typed properties nested too deep");
        std::vector<const TPropInfo*> props = Obj.ClassInfo().Properties();
        const std::vector<const TPropInfo*> defined = Obj.ClassInfo().DefinedProperties();
        props.insert(props.end(), defined.begin(), defined.end());
        for (const TPropInfo* p : props) {
            if (!p->Writable() || !p->Stored(Obj))
                continue;
            const std::string path = Prefix + p->Name;
            TFormValue v;
            switch (p->Type->Kind) {
            case TTypeKind::Integer:
            case TTypeKind::Boolean:
            case TTypeKind::Enumeration:
            case TTypeKind::Set: {
                const std::int64_t ord = p->GetOrd(Obj);
                if (p->Default && ord == *p->Default)
                    continue;
                v = Ordinal(*p->Type, ord, Shown + "." + path);
                break;
            }
            case TTypeKind::String:
                v.Str = p->GetStr(Obj);
                if (v.Str.empty())
                    continue;
                v.Kind = TFormValueKind::String;
                break;
            case TTypeKind::Binary:
                v.Str = p->GetStr(Obj);
                if (v.Str.empty())
                    continue;
                v.Kind = TFormValueKind::Binary;
                break;
            case TTypeKind::Class:
                if (const TPersistent* sub = p->GetObj(Obj))
                    Properties(*sub, Shown, path + ".", Out, Depth + 1);
                continue;
            case TTypeKind::Component: {
                const TComponent* ref = p->GetRef(Obj);
                v.Kind = TFormValueKind::Ident;
                v.Str = ref ? ReferenceName(*ref) : std::string();
                if (v.Str.empty())
                    continue;
                break;
            }
            }
            Out.push_back(TFormProperty{path, std::move(v), 0});
        }
    }

    static TFormValue Ordinal(const TTypeInfo& Type, std::int64_t Ord, const std::string& Path) {
        TFormValue v;
        switch (Type.Kind) {
        case TTypeKind::Integer:
            v.Str = Type.IdentOf(Ord);
            if (v.Str.empty())
                v.Int = Ord;
            else
                v.Kind = TFormValueKind::Ident;
            return v;
        case TTypeKind::Boolean:
        case TTypeKind::Enumeration:
            v.Kind = TFormValueKind::Ident;
            v.Str = Type.IdentOf(Ord);
            if (v.Str.empty())
                throw EWriteError("Cannot write " + Path + ": " + std::to_string(Ord) +
                                  " is not a value of " + Type.Name);
            return v;
        default:
            v.Kind = TFormValueKind::Set;
            for (std::size_t i = 0; i < Type.Names.size() && i < 64; ++i)
                if (static_cast<std::uint64_t>(Ord) >> i & 1)
                    v.Names.push_back(Type.Names[i]);
            if (Type.Names.size() < 64 && static_cast<std::uint64_t>(Ord) >> Type.Names.size())
                throw EWriteError("Cannot write " + Path + ": the set holds members that " +
                                  Type.Name + " does not name");
            return v;
        }
    }

    // A component of this root by its name; one owned by another root as Root2.Name.
    std::string ReferenceName(const TComponent& Ref) const {
        if (Ref.GetName().empty())
            return {};
        const TComponent* owner = Ref.GetOwner();
        if (&Ref == &FRoot || owner == &FRoot || !owner || owner->GetName().empty())
            return Ref.GetName();
        return owner->GetName() + "." + Ref.GetName();
    }

    const TComponent& FRoot;
};

} // namespace

std::string WriteComponentToString(const TComponent& Root, TFormFileFormat Format) {
    const TFormObject tree = TTreeWriter(Root).Component(Root, 1);
    return Format == TFormFileFormat::Text ? PrintTextForm(tree) : PrintBinaryForm(tree);
}

void WriteComponentFile(const std::string& Path, const TComponent& Root, TFormFileFormat Format) {
    // Everything that can fail for the component's sake fails before the disk is touched.
    WriteFileAtomically(Path, WriteComponentToString(Root, Format));
}

std::string ObjectTextToBinary(const std::string& Text) {
    return PrintBinaryForm(ParseTextForm(Text));
}

std::string ObjectBinaryToText(const std::string& Binary) {
    return PrintTextForm(ParseBinaryForm(Binary));
}

} // namespace vcl
