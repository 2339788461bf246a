// The window seam: what a widgetset hears from controls and forms, and the headless widgetset's
// screen and modal answers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/Forms.h"
#include "host/sysutils/SysUtils.h"
#include "tests/host/WidgetSetTesting.h"

namespace vcl {
namespace {

using testing::ScopedWidgetSet;

class Swatch : public TGraphicControl {
public:
    Swatch(TComponent* AOwner, TColor AColor) : TGraphicControl(AOwner), FColor(AColor) {}

protected:
    void Paint() override {
        GetCanvas().GetBrush().SetColor(FColor);
        GetCanvas().FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    }

private:
    TColor FColor;
};

// Writes down every call by the name of the control it names, and answers modal forms with
// Answer.
class Recorder : public TWidgetSet {
public:
    std::vector<std::string> Log;
    TModalResult Answer = mrYes;

    void InvalidateControl(TControl& C) override { Log.push_back("invalidate " + C.GetName()); }
    void BoundsChanged(TControl& C) override { Log.push_back("bounds " + C.GetName()); }
    void ShowForm(TForm& F) override { Log.push_back("show " + F.GetName()); }
    void HideForm(TForm& F) override { Log.push_back("hide " + F.GetName()); }
    TModalResult ShowModal(TForm& F) override {
        Log.push_back("modal " + F.GetName() + (F.GetVisible() && F.IsModal() ? " up" : " down"));
        return Answer;
    }
    TModalResult MessageBox(const TMessageBoxRequest&) override { return mrOk; }
    void DestroyControl(TControl& C) override { Log.push_back("destroy " + C.GetName()); }
    void ReleaseControls() override {}
};

TEST(WidgetSet, HearsWhatControlsAndFormsDo) {
    ScopedWidgetSet<Recorder> ws;
    auto form = std::make_unique<TForm>(nullptr);
    // A new form starts hidden, which no widgetset needs to hear.
    EXPECT_EQ(ws->Log, (std::vector<std::string>{"bounds ", "invalidate "}));
    form->SetName("F");
    auto* c = new Swatch(form.get(), clRed);
    c->SetName("C");
    c->SetParent(form.get());
    const struct {
        const char* What;
        std::function<void()> Act;
        std::vector<std::string> Heard;
    } cases[] = {
        {"invalidate", [&] { c->Invalidate(); }, {"invalidate C"}},
        {"same bounds", [&] { c->SetBounds(0, 0, 0, 0); }, {}},
        {"move", [&] { c->SetLeft(5); }, {"bounds C", "invalidate C"}},
        {"hide control", [&] { c->SetVisible(false); }, {"invalidate F"}},
        {"show control", [&] { c->SetVisible(true); }, {"invalidate C"}},
        {"show form", [&] { form->Show(); }, {"show F", "invalidate F"}},
        {"show again", [&] { form->Show(); }, {}},
        {"hide form", [&] { form->Hide(); }, {"hide F"}},
        {"hide again", [&] { form->Close(); }, {}},
        {"modal", [&] { EXPECT_EQ(form->ShowModal(), mrYes); }, {"invalidate F", "modal F up"}},
        {"modal closed without an answer",
         [&] {
             ws->Answer = mrNone;
             EXPECT_EQ(form->ShowModal(), mrCancel);
             EXPECT_EQ(form->GetModalResult(), mrCancel);
             EXPECT_FALSE(form->GetVisible() || form->IsModal());
             form->Show();
             ws->Log.clear();
             EXPECT_THROW(form->ShowModal(), EInvalidOperation);
         },
         {}},
        {"unparent", [&] { c->SetParent(nullptr); }, {"invalidate F"}},
        {"free control", [&] { delete c; }, {"destroy C"}},
        {"free form", [&] { form.reset(); }, {"destroy F"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.What);
        ws->Log.clear();
        k.Act();
        EXPECT_EQ(ws->Log, k.Heard);
    }
}

TEST(HeadlessWidgetSet, AnswersModalFormsFromItsQueueThenCancels) {
    {
        // Installing nothing installs a headless one and hands back the one replaced.
        ScopedWidgetSet<Recorder> recorder;
        std::unique_ptr<TWidgetSet> back = SetWidgetSet(nullptr);
        EXPECT_EQ(back.get(), &*recorder);
        EXPECT_NE(dynamic_cast<THeadlessWidgetSet*>(&WidgetSet()), nullptr);
        SetWidgetSet(std::move(back));
    }
    ScopedWidgetSet ws;
    TForm form(nullptr);
    ws->QueueModalResult(mrOk);
    ws->QueueModalResult(mrYesToAll);
    ws->QueueModalResult(42);
    std::vector<TModalResult> answers;
    for (int i = 0; i < 5; ++i)
        answers.push_back(form.ShowModal());
    EXPECT_EQ(answers, (std::vector<TModalResult>{mrOk, mrYesToAll, 42, mrCancel, mrCancel}));
    EXPECT_EQ(ws->GetModalCount(), 5);
    EXPECT_TRUE(ws->ShownForms().empty());
}

TEST(HeadlessWidgetSet, ShownFormsPaintTheirInvalidatedControls) {
    ScopedWidgetSet ws;
    TForm form(nullptr);
    form.SetClientWidth(12);
    form.SetClientHeight(6);
    form.SetColor(clBlue);
    auto* red = new Swatch(&form, clRed);
    auto* panel = new TWinControl(&form);
    auto* lime = new Swatch(&form, clLime);
    red->SetBounds(1, 1, 3, 2);
    panel->SetBounds(6, 2, 6, 4);
    lime->SetBounds(1, 1, 2, 2); // at (7, 3) on the form
    red->SetParent(&form);
    panel->SetParent(&form);
    lime->SetParent(panel);

    EXPECT_EQ(ws->ProcessPaints(), 0) << "a hidden form is on no screen";
    EXPECT_EQ(ws->FormImage(form), nullptr);
    form.Show();
    EXPECT_EQ(ws->ShownForms(), (std::vector<TForm*>{&form}));
    EXPECT_EQ(ws->ProcessPaints(), 1);
    EXPECT_EQ(ws->ProcessPaints(), 0) << "every request was served";
    const TBitmap* image = ws->FormImage(form);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 12);
    EXPECT_EQ(image->GetHeight(), 6);
    const struct {
        int X, Y;
        TColor Want;
    } probes[] = {{0, 0, clBlue}, {1, 1, clRed}, {3, 2, clRed}, {4, 1, clBlue}, {8, 4, clLime}};
    for (const auto& p : probes)
        EXPECT_EQ(image->PixelColor(p.X, p.Y), p.Want) << p.X << ", " << p.Y;

    // A control deep in the form brings the form's repaint; hiding the form drops it.
    lime->Invalidate();
    EXPECT_EQ(ws->ProcessPaints(), 1);
    form.Hide();
    lime->Invalidate();
    EXPECT_EQ(ws->ProcessPaints(), 0);
    // A modal form is painted as it comes up.
    TForm modal(nullptr);
    modal.SetClientWidth(3);
    modal.SetClientHeight(2);
    modal.ShowModal();
    ASSERT_NE(ws->FormImage(modal), nullptr);
    EXPECT_EQ(ws->FormImage(modal)->PixelColor(2, 1), ColorToRGB(clBtnFace));
}

TEST(HeadlessWidgetSet, ForgetsControlsThatGoAway) {
    ScopedWidgetSet ws;
    auto form = std::make_unique<TForm>(nullptr);
    auto* child = new Swatch(form.get(), clRed);
    child->SetParent(form.get());
    form->Show();
    ws->PaintForm(*form);
    child->Invalidate();
    delete child;
    EXPECT_EQ(ws->ProcessPaints(), 1);
    form.reset();
    EXPECT_TRUE(ws->ShownForms().empty());
    EXPECT_TRUE(ws->Invalidated().empty());

    // Swapped out while a form it showed went away, it let go of the form: put back, it does not
    // reach for it.
    form = std::make_unique<TForm>(nullptr);
    form->Show();
    {
        ScopedWidgetSet<Recorder> other;
        form.reset();
    }
    EXPECT_TRUE(ws->ShownForms().empty());
    EXPECT_EQ(ws->ProcessPaints(), 0);
}

} // namespace
} // namespace vcl
