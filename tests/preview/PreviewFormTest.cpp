// The preview form as a user meets it: its tree from the resource, what its client area shows
// for bitmaps of every size, the copy it keeps, and how each way of closing it answers.
#include <gtest/gtest.h>

#include <memory>

#include "../host/WidgetSetTesting.h"
#include "host/dialogs/Dialogs.h"
#include "host/sysutils/SysUtils.h"
#include "preview/BCModal.h"

namespace {

using namespace lumivex;
using vcl::TBitmap;
using vcl::TColor;

const TColor Face = vcl::ColorToRGB(vcl::clBtnFace);
const TColor Shadow = vcl::ColorToRGB(vcl::clBtnShadow);
const TColor Light = vcl::ColorToRGB(vcl::clBtnHighlight);

// Every pixel tells where it came from: red and green count the columns and rows.
std::unique_ptr<TBitmap> Pattern(int W, int H) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            b->GetCanvas().SetPixel(x, y, vcl::RGB(x % 251, y % 251, 7));
    return b;
}

std::unique_ptr<TBitmap> Client(TFBCModal& Form) {
    auto shot = std::make_unique<TBitmap>();
    Form.PaintClient(*shot);
    return shot;
}

TEST(PreviewForm, ComesFromItsResourceWithItsFieldsBound) {
    TFBCModal form(nullptr);
    EXPECT_EQ(FBCModal, nullptr);
    EXPECT_EQ(form.GetName(), "FBCModal");
    EXPECT_EQ(form.GetCaption(), "Okanda SW - Barcode");
    EXPECT_EQ(form.GetClientWidth(), 232);
    EXPECT_EQ(form.GetClientHeight(), 205);
    EXPECT_EQ(form.GetBorderStyle(), vcl::bsSingle);
    EXPECT_EQ(form.GetBorderIcons(), vcl::BorderIconBit(vcl::biSystemMenu));
    EXPECT_EQ(form.GetPosition(), vcl::poScreenCenter);
    ASSERT_TRUE(form.Panel1 && form.Image1 && form.BitBtn1);
    EXPECT_EQ(form.Panel1->GetParent(), &form);
    EXPECT_EQ(form.Image1->GetParent(), form.Panel1);
    EXPECT_EQ(form.BitBtn1->GetParent(), &form);
    EXPECT_EQ(form.BitBtn1->GetTabOrder(), 1);
    EXPECT_EQ(form.BitBtn1->GetModalResult(), vcl::mrOk);
    EXPECT_FALSE(form.InState(vcl::csLoading));

    // A field holds what its name says, or nothing: freeing the button clears it.
    EXPECT_THROW(form.Image1->SetName("BitBtn1"), vcl::EComponentError);
    delete form.BitBtn1;
    EXPECT_EQ(form.BitBtn1, nullptr);
}

TEST(PreviewForm, AClassWithoutItsLayoutRaisesTheResourceError) {
    struct TNoLayout : vcl::TForm {
        TNoLayout() : vcl::TForm(nullptr) { ReadLayout(); }
    };
    try {
        TNoLayout form;
        FAIL();
    } catch (const vcl::EResNotFound& e) {
        EXPECT_STREQ(e.what(), "Resource TForm not found");
    }
}

TEST(PreviewForm, BevelsAndButtonStandWhereTheLayoutPutsThem) {
    TFBCModal form(nullptr);
    const auto image = Client(form);
    const TBitmap& shot = *image;
    ASSERT_EQ(shot.GetWidth(), 232);
    ASSERT_EQ(shot.GetHeight(), 205);
    // Outer bevel lowered, inner raised, a pixel each, from (8, 8) to (224, 168).
    EXPECT_EQ(shot.PixelColor(7, 7), Face);
    EXPECT_EQ(shot.PixelColor(8, 8), Shadow);
    EXPECT_EQ(shot.PixelColor(8, 167), Shadow);
    EXPECT_EQ(shot.PixelColor(223, 8), Shadow);
    EXPECT_EQ(shot.PixelColor(224, 8), Light);
    EXPECT_EQ(shot.PixelColor(224, 168), Light);
    EXPECT_EQ(shot.PixelColor(8, 168), Light);
    EXPECT_EQ(shot.PixelColor(225, 169), Face);
    EXPECT_EQ(shot.PixelColor(9, 9), Light);
    EXPECT_EQ(shot.PixelColor(223, 167), Shadow);
    // An empty bitmap leaves the panel's face.
    for (int y = 10; y < 167; y += 13)
        for (int x = 10; x < 223; x += 11)
            ASSERT_EQ(shot.PixelColor(x, y), Face) << x << "," << y;
    // The button: its frame at (147, 177) to (221, 201), the green glyph and dark text inside.
    EXPECT_EQ(shot.PixelColor(146, 176), Face);
    EXPECT_NE(shot.PixelColor(147, 177), Face);
    EXPECT_NE(shot.PixelColor(221, 201), Face);
    int green = 0, dark = 0;
    for (int y = 180; y < 199; ++y)
        for (int x = 150; x < 219; ++x) {
            green += shot.PixelColor(x, y) == vcl::RGB(0, 128, 0);
            dark += x > 185 && shot.PixelColor(x, y) == vcl::clBlack;
        }
    EXPECT_GT(green, 20);
    EXPECT_GT(dark, 20) << "the caption";
}

struct TPlacement {
    int W, H;
    int Left, Top; // where the bitmap's corner falls in the image area, the framework's division
};

class PreviewPlacement : public ::testing::TestWithParam<TPlacement> {};

TEST_P(PreviewPlacement, CentresTheBitmapAndCutsItAtThePanelsInnerEdges) {
    const TPlacement p = GetParam();
    TFBCModal form(nullptr);
    form.SetBitmap(Pattern(p.W, p.H).get());
    EXPECT_EQ(form.Image1->GetWidth(), 213);
    EXPECT_EQ(form.Image1->GetHeight(), 157);
    const auto image = Client(form);
    const TBitmap& shot = *image;
    for (int y = 10; y < 167; ++y)
        for (int x = 10; x < 223; ++x) {
            const int bx = x - 10 - p.Left, by = y - 10 - p.Top;
            const bool inside = bx >= 0 && by >= 0 && bx < p.W && by < p.H;
            ASSERT_EQ(shot.PixelColor(x, y), inside ? vcl::RGB(bx % 251, by % 251, 7) : Face)
                << x << "," << y;
        }
    EXPECT_EQ(shot.PixelColor(9, 9), Light);
    EXPECT_EQ(shot.PixelColor(223, 167), Shadow);
    EXPECT_EQ(shot.PixelColor(8, 8), Shadow);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewPlacement,
                         ::testing::Values(TPlacement{1, 1, 106, 78}, TPlacement{100, 50, 56, 53},
                                           TPlacement{213, 157, 0, 0}, TPlacement{214, 158, 0, 0},
                                           TPlacement{300, 200, -43, -21},
                                           TPlacement{1000, 20, -393, 68}));

TEST(PreviewForm, ShowsACopyOfTheBitmap) {
    TFBCModal form(nullptr);
    auto source = Pattern(50, 40);
    form.SetBitmap(source.get());
    const auto before = Client(form);
    source->GetCanvas().GetBrush().SetColor(vcl::clBlack);
    source->GetCanvas().FillRect(vcl::Rect(0, 0, 50, 40));
    source->SetSize(10, 10);
    const auto changed = Client(form);
    source.reset();
    const auto freed = Client(form);
    for (int y = 0; y < 205; ++y)
        for (int x = 0; x < 232; ++x) {
            ASSERT_EQ(changed->PixelColor(x, y), before->PixelColor(x, y));
            ASSERT_EQ(freed->PixelColor(x, y), before->PixelColor(x, y));
        }
}

using Gesture = void (*)(vcl::TForm&);

struct TClosing {
    const char* Name;
    Gesture Do;
    vcl::TModalResult Expected;
};

class PreviewClosing : public ::testing::TestWithParam<TClosing> {};

TEST_P(PreviewClosing, AnswersAsTheUserClosedIt) {
    vcl::testing::ScopedWidgetSet<> ws;
    TFBCModal form(nullptr);
    ws->QueueModalAction(GetParam().Do);
    EXPECT_EQ(form.ShowModal(), GetParam().Expected);
    EXPECT_FALSE(form.GetVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PreviewClosing,
    ::testing::Values(
        TClosing{"Okay",
                 [](vcl::TForm& F) {
                     F.HandleMouseDown(vcl::mbLeft, 0, 184, 189);
                     F.HandleMouseUp(vcl::mbLeft, 0, 184, 189);
                 },
                 vcl::mrOk},
        TClosing{"PressedThenDraggedOff",
                 [](vcl::TForm& F) {
                     F.HandleMouseDown(vcl::mbLeft, 0, 184, 189);
                     F.HandleMouseMove(0, 100, 100);
                     F.HandleMouseUp(vcl::mbLeft, 0, 100, 100);
                 },
                 vcl::mrCancel},
        TClosing{"AltO", [](vcl::TForm& F) { F.HandleKeyDown('O', vcl::ShiftBit(vcl::ssAlt)); },
                 vcl::mrOk},
        TClosing{"Enter", [](vcl::TForm& F) { F.HandleKeyDown(vcl::VK_RETURN, 0); }, vcl::mrOk},
        TClosing{"Escape", [](vcl::TForm& F) { F.HandleKeyDown(vcl::VK_ESCAPE, 0); },
                 vcl::mrCancel},
        TClosing{"CloseBox", [](vcl::TForm& F) { F.Close(); }, vcl::mrCancel},
        TClosing{"ClickOnThePanel",
                 [](vcl::TForm& F) {
                     F.HandleMouseDown(vcl::mbLeft, 0, 50, 50);
                     F.HandleMouseUp(vcl::mbLeft, 0, 50, 50);
                 },
                 vcl::mrCancel}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(MessageDialog, AnInformationTextWithOkAlone) {
    vcl::testing::ScopedWidgetSet<> ws;
    EXPECT_EQ(
        vcl::MessageDlg("Line 1\n\rLine 2", vcl::mtInformation, vcl::MsgDlgButton(vcl::mbOK), 0),
        vcl::mrOk);
    ASSERT_EQ(ws->MessageBoxes().size(), 1u);
    const vcl::TMessageBoxRequest& box = ws->MessageBoxes()[0];
    EXPECT_EQ(box.Caption, "Information");
    EXPECT_EQ(box.Text, "Line 1\n\rLine 2");
    EXPECT_EQ(box.Icon, vcl::TMessageIcon::Information);
    ASSERT_EQ(box.Buttons.size(), 1u);
    EXPECT_EQ(box.Buttons[0].Caption, "OK");
    EXPECT_EQ(box.EscapeButton, 0);
    ws->QueueMessageResult(vcl::mrNo);
    EXPECT_EQ(vcl::MessageDlg("?", vcl::mtConfirmation,
                              vcl::MsgDlgButton(vcl::mbYes) | vcl::MsgDlgButton(vcl::mbNo), 0),
              vcl::mrNo);
    EXPECT_EQ(ws->MessageBoxes()[1].EscapeButton, 1);
}

} // namespace

namespace {

// A handler that frees the form while it is up leaves ShowModal with nothing to touch.
TEST(PreviewForm, FreedDuringItsModalSessionAnswersCancel) {
    vcl::testing::ScopedWidgetSet<> ws;
    auto* form = new TFBCModal(nullptr);
    ws->QueueModalAction([](vcl::TForm& F) {
        F.SetModalResult(vcl::mrOk);
        delete &F;
    });
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
}

} // namespace
