// The controls dialogs are laid out with: alignment inside a panel's bevels, tab order, button
// captions and their accelerators, and pictures that keep copies.
#include <gtest/gtest.h>

#include "host/controls/Buttons.h"
#include "host/controls/ExtCtrls.h"
#include "host/controls/Forms.h"
#include "host/sysutils/SysUtils.h"

namespace vcl {
namespace {

TEST(DialogControls, AlignedChildrenShareThePanelInsideItsBevels) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 100, 80);
    panel->SetBevelInner(bvRaised);
    panel->SetBevelWidth(3); // 6 pixels of bevel on each side
    struct TCase {
        TAlign Align;
        int W, H;
        TRect Want;
    };
    const TCase cases[] = {{alTop, 10, 20, Rect(6, 6, 94, 26)},
                           {alBottom, 10, 15, Rect(6, 59, 94, 74)},
                           {alLeft, 12, 10, Rect(6, 26, 18, 59)},
                           {alRight, 8, 10, Rect(86, 26, 94, 59)},
                           {alClient, 1, 1, Rect(18, 26, 86, 59)}};
    std::vector<TImage*> images;
    for (const TCase& c : cases) {
        auto* image = new TImage(&form);
        image->SetBounds(0, 0, c.W, c.H);
        image->SetParent(panel);
        image->SetAlign(c.Align);
        images.push_back(image);
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        const TRect got = Rect(images[i]->GetLeft(), images[i]->GetTop(),
                               images[i]->GetLeft() + images[i]->GetWidth(),
                               images[i]->GetTop() + images[i]->GetHeight());
        const TRect& want = cases[i].Want;
        EXPECT_TRUE(got.Left == want.Left && got.Top == want.Top && got.Right == want.Right &&
                    got.Bottom == want.Bottom)
            << i << ": " << got.Left << "," << got.Top << "," << got.Right << "," << got.Bottom;
    }
    // A resized panel lays them out again; an aligned image keeps its place whatever it asks.
    panel->SetWidth(120);
    EXPECT_EQ(images[4]->GetWidth(), 120 - 6 - 12 - 8 - 6);
    images[4]->SetBounds(0, 0, 5, 5);
    EXPECT_EQ(images[4]->GetLeft(), 18);
}

TEST(DialogControls, TabOrderFollowsInsertionAndMovesOnRequest) {
    TForm form(nullptr);
    auto* a = new TBitBtn(&form);
    auto* b = new TBitBtn(&form);
    auto* c = new TBitBtn(&form);
    for (TBitBtn* btn : {a, b, c})
        btn->SetParent(&form);
    EXPECT_EQ(b->GetTabOrder(), 1);
    c->SetTabOrder(0);
    EXPECT_EQ(form.TabList(), (std::vector<TWinControl*>{c, a, b}));
    EXPECT_EQ(form.GetActiveControl(), c);
    form.HandleKeyDown(VK_TAB, 0);
    EXPECT_EQ(form.GetActiveControl(), a);
    form.HandleKeyDown(VK_TAB, ShiftBit(ssShift));
    EXPECT_EQ(form.GetActiveControl(), c);
    c->SetEnabled(false);
    EXPECT_EQ(form.GetActiveControl(), a);
    EXPECT_EQ(TBitBtn(nullptr).GetTabOrder(), -1);
}

TEST(DialogControls, CaptionsLoseTheirAcceleratorMarks) {
    struct TCase {
        const char* Caption;
        const char* Shown;
        int Accelerator;
    };
    for (const TCase& c :
         {TCase{"&Okay", "Okay", 0}, TCase{"Save &as", "Save as", 5}, TCase{"A&&B", "A&B", -1},
          TCase{"&&&x", "&x", 1}, TCase{"end&", "end&", -1}, TCase{"", "", -1}}) {
        int at = 0;
        EXPECT_EQ(TBitBtn::StripAccelerator(c.Caption, at), c.Shown) << c.Caption;
        EXPECT_EQ(at, c.Accelerator) << c.Caption;
    }
}

TEST(DialogControls, PicturesAndGlyphsKeepCopies) {
    TBitmap source;
    source.SetSize(4, 3);
    TImage image(nullptr);
    image.SetAutoSize(true);
    image.GetPicture().SetBitmap(&source);
    EXPECT_EQ(image.GetWidth(), 4) << "AutoSize takes the picture's size";
    source.SetSize(9, 9);
    EXPECT_EQ(image.GetPicture().GetWidth(), 4);
    TPicture other;
    other.SetData(image.GetPicture().GetData());
    EXPECT_EQ(other.GetHeight(), 3);
    EXPECT_THROW(other.SetData("\x07TBitmapXX"), EInvalidGraphic);
    EXPECT_THROW(other.SetData("\x04TIcon"), EInvalidGraphic);
    EXPECT_EQ(other.GetHeight(), 3);
    TBitBtn button(nullptr);
    button.SetGlyph(&source);
    source.SetSize(1, 1);
    EXPECT_EQ(button.GetGlyph().GetWidth(), 9);
}

} // namespace
} // namespace vcl

namespace vcl {
namespace {

TEST(DialogControls, AHiddenControlShowsInADesignerAlone) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetVisible(false);
    for (const bool designing : {false, true}) {
        form.SetDesigning(designing);
        TBitmap shot;
        form.PaintClient(shot);
        EXPECT_EQ(shot.PixelColor(0, 0), ColorToRGB(designing ? clBtnHighlight : clBtnFace));
        EXPECT_EQ(form.ControlAtPos(5, 5), designing ? panel : static_cast<TControl*>(&form));
    }
}

} // namespace
} // namespace vcl
