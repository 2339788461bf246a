// Reading form files into components: creation through the class registry, properties by
// (dotted) path, references resolved once the whole tree is read, then Loaded.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "host/classes/Streaming.h"
#include "host/classes/detail/FormTree.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {

namespace {

using namespace detail;

// A form file is text of a few kilobytes; anything past this is not one, and a device or a pipe
// that never ends must not be read into memory.
constexpr std::size_t MaxFormFileBytes = std::size_t{64} << 20;

std::string Describe(const TFormValue& V) {
    switch (V.Kind) {
    case TFormValueKind::Integer:
        return "integer " + std::to_string(V.Int);
    case TFormValueKind::Extended:
    case TFormValueKind::Single:
    case TFormValueKind::Currency:
    case TFormValueKind::Date:
        return "a floating-point number";
    case TFormValueKind::String:
    case TFormValueKind::WideString:
        return "a string";
    case TFormValueKind::Ident:
        return "identifier " + V.Str;
    case TFormValueKind::Set:
        return "a set";
    case TFormValueKind::Binary:
        return "binary data";
    case TFormValueKind::List:
        return "a list";
    case TFormValueKind::Collection:
        break;
    }
    return "a collection";
}

std::string Utf8(const std::u16string& Units) {
    std::string s;
    for (std::size_t i = 0; i < Units.size(); ++i) {
        std::uint32_t c = Units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < Units.size() && Units[i + 1] >= 0xDC00 &&
            Units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (Units[++i] - 0xDC00u);
        if (c < 0x80) {
            s += static_cast<char>(c);
        } else if (c < 0x800) {
            s += static_cast<char>(0xC0 | c >> 6);
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            s += static_cast<char>(0xE0 | c >> 12);
            s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | c >> 18);
            s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return s;
}

std::string NameList(const std::vector<std::string>& Names) {
    std::string s;
    for (std::size_t i = 0; i < Names.size(); ++i)
        s += (i ? ", " : "") + Names[i];
    return s;
}

class TTreeReader {
public:
    TTreeReader(TFormSyntax Syntax, TComponent& Root, const TFormObject& Node)
        : FSyntax(Syntax), FRoot(Root), FNode(Node) {}

    // Creates and fills the tree under the root, then resolves the references.
    void Read(bool SetRootName) {
        Object(FNode, FRoot, nullptr, SetRootName);
        Resolve();
    }

    void Loaded() {
        Guard(FNode.At, "Error loading " + Shown(FNode) + ": ", [&] { FRoot.Loaded(); });
        for (const TCreated& c : FCreated)
            if (c.Instance)
                Guard(c.At, "Error loading " + c.Shown + ": ", [&] { c.Instance->Loaded(); });
    }

    // After a failure: the components this read created, the last first. One that is no longer
    // the root's (a component freed another) is left alone.
    void DestroyCreated() noexcept {
        while (!FCreated.empty()) {
            TComponent* c = FCreated.back().Instance;
            FCreated.pop_back();
            // Searched from the end, where the last created usually is.
            for (int i = FRoot.GetComponentCount() - 1; c && i >= 0; --i)
                if (FRoot.GetComponent(i) == c) {
                    delete c;
                    break;
                }
        }
    }

private:
    struct TCreated {
        TComponent* Instance = nullptr;
        std::size_t At = 0;
        std::string Shown;
    };
    struct TFixup {
        TPersistent* Instance;
        const TPropInfo* Info;
        std::string Target;
        std::size_t At;
        std::string Context;
    };

    static std::string Shown(const TFormObject& Node) {
        return Node.Name.empty() ? Node.ClassName : Node.Name;
    }

    [[noreturn]] void Fail(std::size_t At, const std::string& What) const {
        throw EReadError(FormWhere(FSyntax, At) + ": " + What);
    }

    // Errors raised by the components themselves (a name already taken, a setter that refuses)
    // become read errors at the place in the file that caused them.
    template <typename F> void Guard(std::size_t At, const std::string& Context, F&& Fn) const {
        try {
            Fn();
        } catch (const EReadError&) {
            throw;
        } catch (const Exception& e) {
            Fail(At, Context + e.what());
        }
    }

    void Object(const TFormObject& Node, TComponent& Instance, TComponent* Parent, bool SetName) {
        const std::string context = "Error reading " + Shown(Node) + ": ";
        if (Parent)
            Guard(Node.At, context, [&] { Instance.SetParentComponent(Parent); });
        if (SetName && !Node.Name.empty())
            Guard(Node.At, context, [&] { Instance.SetName(Node.Name); });
        for (const TFormProperty& p : Node.Props)
            Property(Instance, Shown(Node), p);
        for (const TFormObject& child : Node.Children) {
            const TClassInfo* cls = FindClass(child.ClassName);
            if (!cls)
                Fail(child.At, "Class " + child.ClassName + " not found");
            if (!cls->IsComponent())
                Fail(child.At, "Class " + child.ClassName + " is not a component class");
            if (FCreated.size() >= MaxFormComponents)
                Fail(child.At,
                     "more than " + std::to_string(MaxFormComponents) + " components in one form");
            FCreated.push_back(TCreated{nullptr, child.At, Shown(child)});
            Guard(child.At, "Error reading " + Shown(child) + ": ",
                  [&] { FCreated.back().Instance = cls->Create(&FRoot); });
            TComponent* created = FCreated.back().Instance;
            created->SetLoading(true);
            Object(child, *created, &Instance, true);
        }
    }

    void Property(TPersistent& Instance, const std::string& Shown, const TFormProperty& P) {
        const std::string context = "Error reading " + Shown + "." + P.Name + ": ";
        TPersistent* obj = &Instance;
        std::string_view rest = P.Name;
        for (;;) {
            const std::size_t dot = rest.find('.');
            const std::string part(rest.substr(0, dot));
            const TPropInfo* info = obj->ClassInfo().FindProperty(part);
            if (!info && dot == std::string_view::npos)
                info = obj->ClassInfo().FindDefinedProperty(part);
            if (!info)
                Fail(P.At, context + "Property " + part + " does not exist");
            if (dot == std::string_view::npos)
                return Assign(*obj, *info, P.Value, P.At, context);
            if (info->Type->Kind != TTypeKind::Class || !info->GetObj)
                Fail(P.At, context + "Property " + part + " is not class-typed");
            TPersistent* sub = nullptr;
            Guard(P.At, context, [&] { sub = info->GetObj(*obj); });
            if (!sub)
                Fail(P.At, context + "Property " + part + " is nil");
            obj = sub;
            rest.remove_prefix(dot + 1);
        }
    }

    void Assign(TPersistent& Obj, const TPropInfo& Info, const TFormValue& V, std::size_t At,
                const std::string& Context) {
        const TTypeInfo& type = *Info.Type;
        const bool nil = V.Kind == TFormValueKind::Ident && SameText(V.Str, "nil");
        if (!Info.Writable() && !(type.Kind == TTypeKind::Class && !nil))
            Fail(At, Context + "Property " + Info.Name + " is read-only");
        switch (type.Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Boolean:
        case TTypeKind::Enumeration:
        case TTypeKind::Set: {
            const std::int64_t ord = Ordinal(type, V, At, Context);
            Guard(At, Context, [&] { Info.SetOrd(Obj, ord); });
            return;
        }
        case TTypeKind::String:
            if (V.Kind == TFormValueKind::String)
                Guard(At, Context, [&] { Info.SetStr(Obj, V.Str); });
            else if (V.Kind == TFormValueKind::WideString)
                Guard(At, Context, [&] { Info.SetStr(Obj, Utf8(V.Wide)); });
            else
                Fail(At, Context + "expected a string, found " + Describe(V));
            return;
        case TTypeKind::Binary:
            if (V.Kind != TFormValueKind::Binary)
                Fail(At, Context + "expected binary data in braces, found " + Describe(V));
            Guard(At, Context, [&] { Info.SetStr(Obj, V.Str); });
            return;
        case TTypeKind::Class:
            if (!nil)
                Fail(At, Context + "expected the properties of " + type.Name + " written as " +
                             Info.Name + ".Name = value, found " + Describe(V));
            Guard(At, Context, [&] { Info.SetObj(Obj, nullptr); });
            return;
        case TTypeKind::Component:
            if (V.Kind != TFormValueKind::Ident)
                Fail(At, Context + "expected a component name, found " + Describe(V));
            if (nil)
                Guard(At, Context, [&] { Info.SetRef(Obj, nullptr); });
            else
                FFixups.push_back(TFixup{&Obj, &Info, V.Str, At, Context});
            return;
        }
    }

    std::int64_t Ordinal(const TTypeInfo& Type, const TFormValue& V, std::size_t At,
                         const std::string& Context) const {
        const bool ident = V.Kind == TFormValueKind::Ident;
        switch (Type.Kind) {
        case TTypeKind::Integer:
            if (V.Kind == TFormValueKind::Integer) {
                if (V.Int < INT32_MIN || V.Int > INT32_MAX)
                    Fail(At, Context + "expected a 32-bit integer, found " + Describe(V));
                return V.Int;
            }
            if (ident)
                if (const auto v = Type.ValueOf(V.Str))
                    return *v;
            Fail(At, Context +
                         (Type.Idents.empty()
                              ? std::string("expected an integer")
                              : "expected an integer or a " + Type.Name + " identifier") +
                         ", found " + Describe(V));
        case TTypeKind::Boolean:
        case TTypeKind::Enumeration:
            if (ident)
                if (const auto v = Type.ValueOf(V.Str))
                    return *v;
            Fail(At, Context +
                         (Type.Kind == TTypeKind::Boolean
                              ? std::string("expected True or False")
                              : "expected a " + Type.Name + " (" + NameList(Type.Names) + ")") +
                         ", found " + Describe(V));
        default:
            break;
        }
        if (V.Kind != TFormValueKind::Set)
            Fail(At, Context + "expected a set of " + Type.Name + " (" + NameList(Type.Names) +
                         ") in brackets, found " + Describe(V));
        std::uint64_t bits = 0;
        for (const std::string& n : V.Names) {
            const auto v = Type.ValueOf(n);
            if (!v || *v >= 64)
                Fail(At, Context + n + " is not a member of " + Type.Name + " (" +
                             NameList(Type.Names) + ")");
            bits |= std::uint64_t{1} << *v;
        }
        return static_cast<std::int64_t>(bits);
    }

    // By name among the root's components and the root itself; Root.Name where the reference
    // names the root it belongs to.
    TComponent* Find(std::string_view Name) const {
        auto isRoot = [&](std::string_view N) {
            return SameText(N, FRoot.GetName()) || SameText(N, FNode.Name);
        };
        if (const std::size_t dot = Name.find('.'); dot != std::string_view::npos) {
            if (!isRoot(Name.substr(0, dot)))
                return nullptr;
            Name.remove_prefix(dot + 1);
        }
        if (TComponent* c = FRoot.FindComponent(Name))
            return c;
        return isRoot(Name) ? &FRoot : nullptr;
    }

    void Resolve() {
        for (const TFixup& f : FFixups) {
            TComponent* target = Find(f.Target);
            if (!target)
                Fail(f.At, f.Context + "no component named " + f.Target);
            const TClassInfo* wanted = f.Info->Type->ClassType;
            if (wanted && !target->ClassInfo().InheritsFrom(*wanted))
                Fail(f.At, f.Context + f.Target + " is a " + target->ClassName() + ", expected a " +
                               wanted->Name());
            Guard(f.At, f.Context, [&] { f.Info->SetRef(*f.Instance, target); });
        }
    }

    TFormSyntax FSyntax;
    TComponent& FRoot;
    const TFormObject& FNode;
    std::vector<TCreated> FCreated;
    std::vector<TFixup> FFixups;
};

TFormSyntax SyntaxOf(const std::string& Data) {
    return IsBinaryForm(Data) ? TFormSyntax::Binary : TFormSyntax::Text;
}

TFormObject Parse(TFormSyntax Syntax, const std::string& Data) {
    return Syntax == TFormSyntax::Binary ? ParseBinaryForm(Data) : ParseTextForm(Data);
}

std::string ReadWholeFile(const std::string& Path) {
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError("Cannot open file \"" + Path + "\": " + std::strerror(errno));
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            throw EReadError(Path + ": " + std::strerror(err));
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
        if (data.size() > MaxFormFileBytes) {
            ::close(fd);
            throw EReadError(Path + ": larger than " + std::to_string(MaxFormFileBytes >> 20) +
                             " MiB, not a form file");
        }
    }
    ::close(fd);
    return data;
}

} // namespace

std::unique_ptr<TComponent> ReadComponentFromString(const std::string& Data) {
    const TFormSyntax syntax = SyntaxOf(Data);
    const TFormObject tree = Parse(syntax, Data);
    const TClassInfo* cls = FindClass(tree.ClassName);
    const std::string where = FormWhere(syntax, tree.At) + ": ";
    if (!cls)
        throw EReadError(where + "Class " + tree.ClassName + " not found");
    if (!cls->IsComponent())
        throw EReadError(where + "Class " + tree.ClassName + " is not a component class");
    std::unique_ptr<TComponent> root;
    try {
        root.reset(cls->Create(nullptr));
    } catch (const Exception& e) {
        throw EReadError(where + "Error reading " + tree.ClassName + ": " + e.what());
    }
    root->SetLoading(true);
    TTreeReader reader(syntax, *root, tree);
    try {
        reader.Read(true);
        reader.Loaded();
    } catch (...) {
        reader.DestroyCreated();
        throw;
    }
    return root;
}

void ReadComponentInto(const std::string& Data, TComponent& Root) {
    const TFormSyntax syntax = SyntaxOf(Data);
    const TFormObject tree = Parse(syntax, Data);
    const TClassInfo* cls = &Root.ClassInfo();
    while (cls && !SameText(cls->Name(), tree.ClassName))
        cls = cls->Parent();
    if (!cls)
        throw EReadError(FormWhere(syntax, tree.At) + ": the file holds a " + tree.ClassName +
                         ", which " + Root.ClassName() + " is not");
    const bool wasLoading = Root.InState(csLoading);
    Root.SetLoading(true);
    TTreeReader reader(syntax, Root, tree);
    try {
        reader.Read(Root.GetName().empty());
        reader.Loaded();
    } catch (...) {
        reader.DestroyCreated();
        if (!wasLoading)
            Root.SetLoading(false);
        throw;
    }
}

std::unique_ptr<TComponent> ReadComponentFile(const std::string& Path) {
    const std::string data = ReadWholeFile(Path);
    try {
        return ReadComponentFromString(data);
    } catch (const EReadError& e) {
        throw EReadError(Path + ": " + e.what());
    }
}

} // namespace vcl
