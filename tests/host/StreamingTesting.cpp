// The form-file tests' components and their published properties.
#include "tests/host/StreamingTesting.h"

#include <memory>

namespace vcl::streamtest {

namespace {
int GLive = 0;
} // namespace

int LiveTestComponents() {
    return GLive;
}

std::vector<TLoadedRecord>& LoadedLog() {
    static std::vector<TLoadedRecord> log;
    return log;
}

const TTypeInfo& TestKindType() {
    static const TTypeInfo t{
        TTypeKind::Enumeration, "TTestKind", {"tkAlpha", "tkBeta", "tkGamma"}, {}, nullptr};
    return t;
}

const TTypeInfo& TestOptionsType() {
    static const TTypeInfo t{
        TTypeKind::Set, "TTestOptions", {"toOne", "toTwo", "toThree"}, {}, nullptr};
    return t;
}

namespace {
// The widget refers to widgets: its reference type needs the class description before the
// description's properties are declared.
TClassInfo& WidgetInfo() {
    static TClassInfo info("TTestWidget", &TComponent::StaticClassInfo(),
                           CreateComponent<TTestWidget>);
    return info;
}
const TTypeInfo& WidgetRefType() {
    static const TTypeInfo t{TTypeKind::Component, "TTestWidget", {}, {}, &WidgetInfo()};
    return t;
}
const TTypeInfo& ComponentRefType() {
    static const TTypeInfo t{
        TTypeKind::Component, "TComponent", {}, {}, &TComponent::StaticClassInfo()};
    return t;
}
} // namespace

void RegisterTestClasses() {
    static const bool once = [] {
        RegisterClass(TTestRoot::StaticClassInfo());
        RegisterClass(TTestWidget::StaticClassInfo());
        return true;
    }();
    (void)once;
}

// Form1 holding Widget1 (every property away from its default, Inner nested inside it) and
// Widget2 (mostly defaults), with references each way.
std::unique_ptr<TTestRoot> SampleForm() {
    auto root = std::make_unique<TTestRoot>(nullptr);
    root->SetName("Form1");
    root->SetCaption("Sample");
    auto* w1 = new TTestWidget(root.get());
    w1->SetName("Widget1");
    w1->SetNumber(-7);
    w1->SetColor(clWindowText);
    w1->SetEnabled(false);
    w1->SetKind(tkGamma);
    w1->SetOptions(OptionBit(toTwo) | OptionBit(toThree));
    w1->SetCaption("It's");
    w1->GetFont().SetName("Courier New");
    w1->GetFont().SetHeight(-13);
    w1->GetFont().SetStyle(FontStyleBit(fsBold));
    w1->SetSpacing(0);
    w1->SetAutoSize(true);
    w1->SetWidth(99); // not stored while AutoSize
    auto* w2 = new TTestWidget(root.get());
    w2->SetName("Widget2");
    w2->SetTag(5);
    w2->SetColor(RGB(0x56, 0x34, 0x12));
    w2->SetOptions(0);
    w2->SetWidth(120);
    w2->SetLink(root.get());
    w1->SetBuddy(w2);
    auto* inner = new TTestWidget(root.get());
    inner->SetName("Inner");
    inner->SetParentComponent(w1);
    inner->SetNumber(3);
    inner->SetBuddy(w1);
    return root;
}

// ---- the root ----

TTestRoot::TTestRoot(TComponent* AOwner) : TComponent(AOwner) {
    ++GLive;
}

TTestRoot::~TTestRoot() {
    // The owned components go while this object is still a root, as the framework's do.
    DestroyComponents();
    --GLive;
}

void TTestRoot::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const {
    for (int i = 0; i < GetComponentCount(); ++i) {
        TComponent* c = GetComponent(i);
        if (!c->GetParentComponent() || c->GetParentComponent() == this)
            Proc(c);
    }
}

void TTestRoot::Loaded() {
    LoadedLog().push_back({GetName(), InState(csLoading), GetComponentCount(), ""});
    TComponent::Loaded();
}

const TClassInfo& TTestRoot::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c("TTestRoot", &TComponent::StaticClassInfo(), CreateComponent<TTestRoot>);
        c.String<TTestRoot, const std::string&>("Caption", &TTestRoot::GetCaption,
                                                &TTestRoot::SetCaption);
        c.Ordinal<TTestRoot, int>("ClientWidth", IntegerType(), &TTestRoot::GetClientWidth,
                                  &TTestRoot::SetClientWidth)
            .Default = 0;
        return c;
    }();
    return info;
}

// ---- the widget ----

TTestWidget::TTestWidget(TComponent* AOwner) : TComponent(AOwner) {
    ++GLive;
}

TTestWidget::~TTestWidget() {
    --GLive;
}

void TTestWidget::SetFont(const TFont* Value) {
    Count();
    if (Value)
        FFont.Assign(*Value);
}

void TTestWidget::SetBuddy(TTestWidget* Value) {
    Count();
    if (FBuddy)
        FBuddy->RemoveFreeNotification(this);
    FBuddy = Value;
    if (FBuddy)
        FBuddy->FreeNotification(this);
}

void TTestWidget::SetLink(TComponent* Value) {
    Count();
    if (FLink)
        FLink->RemoveFreeNotification(this);
    FLink = Value;
    if (FLink)
        FLink->FreeNotification(this);
}

void TTestWidget::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FBuddy)
            FBuddy = nullptr;
        if (AComponent == FLink)
            FLink = nullptr;
        if (AComponent == FParent)
            FParent = nullptr;
    }
}

void TTestWidget::GetChildren(const std::function<void(TComponent*)>& Proc,
                              TComponent* Root) const {
    for (int i = 0; Root && i < Root->GetComponentCount(); ++i)
        if (Root->GetComponent(i)->GetParentComponent() == this)
            Proc(Root->GetComponent(i));
}

void TTestWidget::Loaded() {
    const TComponent* root = GetOwner();
    LoadedLog().push_back({GetName(), InState(csLoading), root ? root->GetComponentCount() : 0,
                           FBuddy ? FBuddy->GetName() : ""});
    TComponent::Loaded();
}

const TClassInfo& TTestWidget::StaticClassInfo() {
    static const bool described = [] {
        using W = TTestWidget;
        TClassInfo& c = WidgetInfo();
        c.Ordinal<W, int>("Number", IntegerType(), &W::GetNumber, &W::SetNumber);
        c.Ordinal<W, TColor>("Color", ColorType(), &W::GetColor, &W::SetColor).Default = clWindow;
        c.Ordinal<W, bool>("Enabled", BooleanType(), &W::GetEnabled, &W::SetEnabled).Default = 1;
        c.Ordinal<W, TTestKind>("Kind", TestKindType(), &W::GetKind, &W::SetKind).Default = tkAlpha;
        c.Ordinal<W, TTestOptions>("Options", TestOptionsType(), &W::GetOptions, &W::SetOptions)
            .Default = OptionBit(toOne);
        c.String<W, const std::string&>("Caption", &W::GetCaption, &W::SetCaption);
        c.Object<W, TFont>("Font", FontType(), &W::GetFont, &W::SetFont);
        c.Reference<W, TTestWidget>("Buddy", WidgetRefType(), &W::GetBuddy, &W::SetBuddy);
        c.Reference<W, TComponent>("Link", ComponentRefType(), &W::GetLink, &W::SetLink);
        c.Ordinal<W, int>("Serial", IntegerType(), &W::GetSerial, nullptr);
        c.Ordinal<W, int>("Spacing", IntegerType(), &W::GetSpacing, &W::SetSpacing).Default = 4;
        c.Ordinal<W, bool>("AutoSize", BooleanType(), &W::GetAutoSize, &W::SetAutoSize).Default = 0;
        c.Ordinal<W, int>("Width", IntegerType(), &W::GetWidth, &W::SetWidth).IsStored =
            [](const TPersistent& o) { return !static_cast<const W&>(o).GetAutoSize(); };
        return true;
    }();
    (void)described;
    return WidgetInfo();
}

} // namespace vcl::streamtest
