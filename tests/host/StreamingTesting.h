#pragma once
// Components for the form-file tests: a root that reports its owned components as children, and
// a widget with a published property of every kind, each counting the live instances and
// recording when it was loaded.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/classes/Classes.h"
#include "host/graphics/Graphics.h"

namespace vcl::streamtest {

enum TTestKind : std::uint8_t { tkAlpha, tkBeta, tkGamma };
enum TTestOption : std::uint8_t { toOne, toTwo, toThree };
using TTestOptions = std::uint8_t;
constexpr TTestOptions OptionBit(TTestOption o) {
    return static_cast<TTestOptions>(1u << o);
}

const TTypeInfo& TestKindType();
const TTypeInfo& TestOptionsType();

// Registers both classes with the class registry (once).
void RegisterTestClasses();
// Instances of either class alive now.
int LiveTestComponents();

// One line per Loaded call, in call order: the component's name and what it saw then.
struct TLoadedRecord {
    std::string Name;
    bool WasLoading;        // csLoading was still set when Loaded came
    int RootComponentCount; // how many components the root owned by then
    std::string BuddyName;  // the widget's Buddy, resolved before Loaded
};
std::vector<TLoadedRecord>& LoadedLog();

class TTestRoot : public TComponent {
public:
    explicit TTestRoot(TComponent* AOwner);
    ~TTestRoot() override;

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    int GetClientWidth() const { return FClientWidth; }
    void SetClientWidth(int Value) { FClientWidth = Value; }

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;
    void Loaded() override;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

private:
    std::string FCaption;
    int FClientWidth = 0;
};

class TTestWidget : public TComponent {
public:
    explicit TTestWidget(TComponent* AOwner);
    ~TTestWidget() override;

    int GetNumber() const { return FNumber; }
    void SetNumber(int Value) { Count(), FNumber = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { Count(), FColor = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Count(), FEnabled = Value; }
    TTestKind GetKind() const { return FKind; }
    void SetKind(TTestKind Value) { Count(), FKind = Value; }
    TTestOptions GetOptions() const { return FOptions; }
    void SetOptions(TTestOptions Value) { Count(), FOptions = Value; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value) { Count(), FCaption = Value; }
    TFont& GetFont() { return FFont; }
    void SetFont(const TFont* Value);
    TTestWidget* GetBuddy() const { return FBuddy; }
    void SetBuddy(TTestWidget* Value);
    TComponent* GetLink() const { return FLink; }
    void SetLink(TComponent* Value);
    int GetSerial() const { return FSerial; }
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int Value) { Count(), FSpacing = Value; }
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { Count(), FAutoSize = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { Count(), FWidth = Value; }

    // Setter calls made while loading and outside it.
    int SetsWhileLoading() const { return FSetsWhileLoading; }
    int SetsOutsideLoading() const { return FSetsOutsideLoading; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* Value) override { FParent = Value; }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;
    void Loaded() override;
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Count() { ++(InState(csLoading) ? FSetsWhileLoading : FSetsOutsideLoading); }

    int FNumber = 0;
    TColor FColor = clWindow;
    bool FEnabled = true;
    TTestKind FKind = tkAlpha;
    TTestOptions FOptions = OptionBit(toOne);
    std::string FCaption;
    TFont FFont;
    TTestWidget* FBuddy = nullptr;
    TComponent* FLink = nullptr;
    int FSerial = 17;
    int FSpacing = 4;
    bool FAutoSize = false;
    int FWidth = 0;
    TComponent* FParent = nullptr;
    int FSetsWhileLoading = 0;
    int FSetsOutsideLoading = 0;
};

// Form1 holding Widget1 (every property away from its default, Inner nested inside it) and
// Widget2 (mostly defaults), with references each way.
std::unique_ptr<TTestRoot> SampleForm();

// Registers the classes, clears the Loaded log, and checks that no test component outlives a test.
class FormFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClasses();
        LoadedLog().clear();
        ASSERT_EQ(LiveTestComponents(), 0);
    }
    void TearDown() override { EXPECT_EQ(LiveTestComponents(), 0); }
};

} // namespace vcl::streamtest
