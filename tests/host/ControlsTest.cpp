// Controls: parents, bounds, paint requests, composing children headless and their published
// properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/Controls.h"
#include "host/controls/Forms.h" // a form frees the controls it owns
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

// Fills its whole surface with one colour and counts its paints; optionally grows by one pixel
// in each paint, to play a control whose paint changes its own size.
class Swatch : public TGraphicControl {
public:
    explicit Swatch(TComponent* AOwner, TColor AColor = clBlack) : TGraphicControl(AOwner) {
        FColor = AColor;
    }
    int Paints = 0;
    bool GrowsWhenPainted = false;
    // How many of its paints change its size before it settles.
    int GrowthsLeft = 0;

    // Publishes Visible as a control that chooses to does.
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = [] {
            TClassInfo c("TSwatch", &TGraphicControl::StaticClassInfo());
            PublishVisible(c);
            return c;
        }();
        return info;
    }

protected:
    void Paint() override {
        ++Paints;
        if (GrowsWhenPainted && GrowthsLeft != 0) {
            --GrowthsLeft;
            SetWidth(GetWidth() + 1);
        }
        GetCanvas().GetBrush().SetColor(FColor);
        GetCanvas().FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    }

private:
    TColor FColor;
};

std::vector<TControl*> ControlsOf(const TWinControl& W) {
    std::vector<TControl*> out;
    for (int i = 0; i < W.GetControlCount(); ++i)
        out.push_back(W.GetControl(i));
    return out;
}

TEST(ControlParent, ParentsListTheirControlsInOrder) {
    TWinControl form(nullptr);
    TWinControl panel(&form);
    auto* a = new Swatch(&form);
    auto* b = new Swatch(&form);
    EXPECT_EQ(a->GetParent(), nullptr);
    a->SetParent(&form);
    b->SetParent(&form);
    panel.SetParent(&form);
    EXPECT_EQ(ControlsOf(form), (std::vector<TControl*>{a, b, &panel}));
    EXPECT_EQ(a->GetParentComponent(), &form);
    EXPECT_TRUE(a->HasParent());

    // Moving to another parent takes the control out of the former one.
    a->SetParent(&panel);
    EXPECT_EQ(ControlsOf(form), (std::vector<TControl*>{b, &panel}));
    EXPECT_EQ(ControlsOf(panel), (std::vector<TControl*>{a}));
    // The form reader hands the enclosing object; only a container takes the control.
    TComponent plain(nullptr);
    a->SetParentComponent(&plain);
    EXPECT_EQ(a->GetParent(), &panel);
    a->SetParentComponent(&form);
    EXPECT_EQ(a->GetParent(), &form);
    a->SetParent(nullptr);
    EXPECT_FALSE(form.ContainsControl(a));

    // A freed control leaves its parent's list.
    delete b;
    EXPECT_EQ(ControlsOf(form), (std::vector<TControl*>{&panel}));
    EXPECT_THROW(form.GetControl(1), EListError);
}

TEST(ControlParent, NoControlSitsInsideItself) {
    TWinControl outer(nullptr);
    TWinControl inner(nullptr);
    inner.SetParent(&outer);
    EXPECT_THROW(outer.SetParent(&outer), EInvalidOperation);
    EXPECT_THROW(outer.SetParent(&inner), EInvalidOperation);
    EXPECT_EQ(outer.GetParent(), nullptr);
    EXPECT_EQ(ControlsOf(inner), (std::vector<TControl*>{}));
    inner.SetParent(nullptr);
}

TEST(ControlParent, AParentThatGoesAwayLeavesItsControlsWithoutOne) {
    TComponent keeper(nullptr);
    auto* child = new Swatch(&keeper);
    {
        TWinControl parent(nullptr);
        child->SetParent(&parent);
    }
    EXPECT_EQ(child->GetParent(), nullptr);
    // Reparenting afterwards must not touch the freed container (the sanitizer build checks).
    TWinControl next(nullptr);
    child->SetParent(&next);
    EXPECT_EQ(ControlsOf(next), (std::vector<TControl*>{child}));

    // A form that owns and holds its controls frees them with itself.
    auto form = std::make_unique<TForm>(nullptr);
    auto* onForm = new Swatch(form.get());
    onForm->SetParent(form.get());
    form.reset();
    child->SetParent(nullptr);
}

TEST(ControlPaint, AnInvalidatedControlPaintsOnceAtTheNextRequest) {
    Swatch s(nullptr, clRed);
    s.SetBounds(0, 0, 4, 3);
    // A new control has never painted.
    EXPECT_TRUE(s.PaintPending());
    EXPECT_TRUE(s.Update());
    EXPECT_EQ(s.Paints, 1);
    EXPECT_FALSE(s.Update());
    EXPECT_EQ(s.Paints, 1);

    s.Invalidate();
    s.Invalidate();
    s.Invalidate();
    EXPECT_EQ(s.Paints, 1) << "invalidating only asks";
    EXPECT_TRUE(s.Update());
    EXPECT_EQ(s.Paints, 2);
    EXPECT_EQ(s.GetSurface().PixelColor(3, 2), clRed);
}

TEST(ControlPaint, AHiddenControlDoesNotPaint) {
    Swatch s(nullptr);
    s.SetBounds(0, 0, 2, 2);
    s.SetVisible(false);
    s.Invalidate();
    EXPECT_FALSE(s.Update());
    EXPECT_EQ(s.Paints, 0);
    // Showing it again brings the request back.
    s.SetVisible(true);
    EXPECT_TRUE(s.Update());
    EXPECT_EQ(s.Paints, 1);
    s.SetVisible(false);
    s.SetVisible(true);
    EXPECT_TRUE(s.Update());
    EXPECT_EQ(s.Paints, 2);
}

TEST(ControlPaint, PaintsThatResizeAreServedAgainUpToALimit) {
    Swatch settles(nullptr);
    settles.SetBounds(0, 0, 1, 1);
    settles.GrowsWhenPainted = true;
    settles.GrowthsLeft = 2;
    settles.Update();
    EXPECT_EQ(settles.Paints, 3);
    EXPECT_EQ(settles.GetWidth(), 3);
    EXPECT_FALSE(settles.PaintPending());

    Swatch restless(nullptr);
    restless.SetBounds(0, 0, 1, 1);
    restless.GrowsWhenPainted = true;
    restless.GrowthsLeft = -1; // never settles
    restless.Update();
    EXPECT_EQ(restless.Paints, TGraphicControl::MaxPaintRounds);
    // The request stays open for the next round instead of looping here.
    EXPECT_TRUE(restless.PaintPending());
    restless.Update();
    EXPECT_EQ(restless.Paints, 2 * TGraphicControl::MaxPaintRounds);
}

TEST(ControlBounds, NewBoundsAskForARepaintAndSizeTheSurface) {
    Swatch s(nullptr);
    s.SetBounds(1, 2, 3, 4);
    s.Update();
    const struct {
        const char* What;
        void (*Change)(TControl&);
        bool Repaint;
    } cases[] = {
        {"same bounds", [](TControl& c) { c.SetBounds(1, 2, 3, 4); }, false},
        {"same left", [](TControl& c) { c.SetLeft(1); }, false},
        {"left", [](TControl& c) { c.SetLeft(5); }, true},
        {"top", [](TControl& c) { c.SetTop(-5); }, true},
        {"width", [](TControl& c) { c.SetWidth(7); }, true},
        {"height", [](TControl& c) { c.SetHeight(9); }, true},
        {"cursor", [](TControl& c) { c.SetCursor(crHandPoint); }, false},
        {"hint", [](TControl& c) { c.SetHint("x"); }, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.What);
        k.Change(s);
        EXPECT_EQ(s.PaintPending(), k.Repaint);
        s.Update();
    }
    EXPECT_EQ(s.GetLeft(), 5);
    EXPECT_EQ(s.GetTop(), -5);
    EXPECT_EQ(s.GetSurface().GetWidth(), 7);
    EXPECT_EQ(s.GetSurface().GetHeight(), 9);

    // A negative size is kept as given; the surface is empty.
    s.SetBounds(0, 0, -3, 2);
    EXPECT_EQ(s.GetWidth(), -3);
    EXPECT_TRUE(s.GetSurface().Empty());
    // A surface that cannot be had raises before the bounds change.
    EXPECT_THROW(s.SetBounds(0, 0, INT_MAX, INT_MAX), EOutOfResources);
    EXPECT_EQ(s.GetWidth(), -3);
}

TEST(ControlPaint, AContainerComposesItsVisibleChildrenInOrder) {
    TWinControl w(nullptr);
    Swatch red(nullptr, clRed), blue(nullptr, clBlue), hidden(nullptr, clLime),
        far(nullptr, clLime);
    red.SetBounds(1, 1, 3, 2);
    blue.SetBounds(3, 2, 2, 2); // overlaps red's last column
    hidden.SetBounds(0, 0, 6, 4);
    hidden.SetVisible(false);
    far.SetBounds(INT_MAX - 1, INT_MIN + 1, 5, 5);
    for (TControl* c : std::initializer_list<TControl*>{&red, &blue, &hidden, &far})
        c->SetParent(&w);

    TBitmap target;
    target.SetSize(6, 4); // white
    w.PaintTo(target);
    const char* want[] = {
        "......",
        ".RRR..",
        ".RRBB.",
        "...BB.",
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const TColor c = target.PixelColor(x, y);
            const char got = c == clRed ? 'R' : c == clBlue ? 'B' : c == clWhite ? '.' : '?';
            EXPECT_EQ(got, want[y][x]) << "at " << x << ", " << y;
        }
    EXPECT_EQ(hidden.Paints, 0);
    EXPECT_EQ(red.Paints, 1);
    // A container placed inside another moves its children with it.
    TWinControl outer(nullptr);
    w.SetParent(&outer);
    w.SetBounds(2, 0, 6, 4);
    TBitmap shifted;
    shifted.SetSize(6, 4);
    outer.PaintTo(shifted);
    EXPECT_EQ(shifted.PixelColor(3, 1), clRed);
    EXPECT_EQ(shifted.PixelColor(1, 1), clWhite);
    w.SetParent(nullptr);
}

TEST(ControlProperties, PublishedInOrderWithCursorIdentifiersAndVisibleRule) {
    std::vector<std::string> names;
    for (const TPropInfo* p : Swatch::StaticClassInfo().Properties())
        names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height",
                                               "Cursor", "Hint", "Visible"}));
    // Visible is not published by the plain control.
    EXPECT_EQ(TControl::StaticClassInfo().FindProperty("Visible"), nullptr);

    Swatch s(nullptr);
    const TPropInfo* visible = Swatch::StaticClassInfo().FindProperty("visible");
    ASSERT_NE(visible, nullptr);
    EXPECT_EQ(visible->Default, 1);
    EXPECT_TRUE(visible->Stored(s));
    visible->SetOrd(s, 0);
    EXPECT_FALSE(s.GetVisible());
    EXPECT_EQ(visible->GetOrd(s), 0);

    const TPropInfo* cursor = Swatch::StaticClassInfo().FindProperty("Cursor");
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->Default, crDefault);
    const TTypeInfo& t = *cursor->Type;
    const struct {
        TCursor Value;
        const char* Name;
    } idents[] = {{crDefault, "crDefault"},     {crNone, "crNone"},       {crIBeam, "crIBeam"},
                  {crSizeNESW, "crSizeNESW"},   {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
                  {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}};
    for (const auto& i : idents) {
        EXPECT_EQ(t.IdentOf(i.Value), i.Name);
        EXPECT_EQ(t.ValueOf(i.Name), i.Value);
    }
    // -5 was never a stock cursor; an application's own numbers have no name either.
    EXPECT_EQ(t.IdentOf(-5), "");
    EXPECT_EQ(t.IdentOf(7), "");
    EXPECT_EQ(t.ValueOf("CRHOURGLASS"), crHourGlass);
    EXPECT_FALSE(t.ValueOf("crNothing").has_value());
}

TEST(ControlLoading, ALoadedControlAsksForItsFirstPaint) {
    Swatch s(nullptr);
    s.SetBounds(0, 0, 2, 2);
    s.Update();
    s.SetLoading(true);
    s.Loaded();
    EXPECT_FALSE(s.InState(csLoading));
    EXPECT_TRUE(s.PaintPending());
}

} // namespace
} // namespace vcl
