// The Qt widgetset on Qt's offscreen platform: the window shows the form's own pixels, input
// reaches the form, modal sessions end as the framework's do, message boxes answer their
// buttons, and forms that go away take their windows with them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

#include "host/qt/QtWidgetSet.h"
#include "tests/ui/ProbeForm.h"

namespace vcl {
namespace {

using namespace uitest;

// One application for the whole run, made by the widgetset on the offscreen platform, as
// CTest runs the binary without a display. Set up only for a run: listing the tests makes none.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        SetWidgetSet(qt::CreateQtWidgetSet(FArgc, FArgv, {.Offscreen = true}));
    }
    void TearDown() override { SetWidgetSet(nullptr); }

private:
    int FArgc = 1;
    char FName[9] = "ui_tests";
    char* FArgv[2] = {FName, nullptr};
};
[[maybe_unused]] ::testing::Environment* const Environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const QPoint ProbeCentre(ProbeLeft + ProbeWidth / 2, ProbeTop + ProbeHeight / 2);

class QtWidgetSetTest : public ::testing::Test {
protected:
    qt::TQtWidgetSet& Qt() { return *qt::QtWidgetSet(); }
    QWidget* Window(const TForm& Form) { return Qt().WindowOf(Form); }
    void Show(TForm& Form) {
        Form.Show();
        Qt().ProcessEvents();
    }
    // Runs Action from Qt's events once the modal session runs. A session the action failed
    // to end is ended with mrAbort, so that the test fails rather than hangs.
    TModalResult Modal(TForm& Form, const std::function<void(QWidget&)>& Action) {
        QObject scope; // the timers go with it
        QTimer::singleShot(0, &scope, [&] { Action(*Window(Form)); });
        QTimer::singleShot(10000, &scope, [&] { Form.SetModalResult(mrAbort); });
        return Form.ShowModal();
    }
};

TEST_F(QtWidgetSetTest, WindowShowsWhatTheFormPaints) {
    TProbeForm form("Probe \xE9");
    Show(form);
    QWidget* w = Window(form);
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Probe \u00E9"));

    TBitmap painted;
    form.PaintClient(painted);
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(ProbeClientWidth, ProbeClientHeight));
    int differ = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            differ += TColor(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16) != painted.PixelColor(x, y);
        }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(painted.PixelColor(ProbeCentre.x(), ProbeCentre.y()), ProbeColor);
    EXPECT_EQ(painted.PixelColor(5, 5), ProbeFormColor);

    // Qt's painting of a window never shown gives the same.
    TProbeForm hidden;
    TBitmap grabbed;
    Qt().GrabForm(hidden, grabbed);
    ASSERT_EQ(grabbed.GetWidth(), ProbeClientWidth);
    ASSERT_EQ(grabbed.GetHeight(), ProbeClientHeight);
    for (int y = 0; y < ProbeClientHeight; ++y)
        ASSERT_EQ(std::memcmp(grabbed.ScanLine(y), painted.ScanLine(y), 3 * ProbeClientWidth), 0)
            << "row " << y;
    EXPECT_FALSE(Window(hidden)->isVisible());
}

TEST_F(QtWidgetSetTest, ModalSessionsEndAsTheFrameworkEndsThem) {
    const struct {
        const char* Name;
        std::function<void(QWidget&)> Act;
        TModalResult Expected;
    } rows[] = {
        {"click on the control",
         [](QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, ProbeCentre); }, ProbeResult},
        {"Alt+O, its accelerator",
         [](QWidget& w) { QTest::keyClick(&w, Qt::Key_O, Qt::AltModifier); }, ProbeResult},
        {"Esc", [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); }, mrCancel},
        {"the close box", [](QWidget& w) { w.close(); }, mrCancel},
        {"a click beside the control, a right click on it, then Esc",
         [](QWidget& w) {
             QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(10, 10));
             QTest::mouseClick(&w, Qt::RightButton, {}, ProbeCentre);
             QTest::keyClick(&w, Qt::Key_Escape);
         },
         mrCancel},
    };
    for (const auto& row : rows) {
        TProbeForm form;
        EXPECT_EQ(Modal(form, row.Act), row.Expected) << row.Name;
        EXPECT_FALSE(Window(form)->isVisible()) << row.Name;
    }
}

TEST_F(QtWidgetSetTest, MouseButtonsAndShiftStateReachTheControl) {
    TProbeForm form;
    Show(form);
    QWidget* w = Window(form);
    QTest::mousePress(w, Qt::RightButton, Qt::ShiftModifier, ProbeCentre);
    EXPECT_EQ(form.Probe->LastButton, mbRight);
    EXPECT_EQ(form.Probe->LastShift, ShiftBit(ssShift) | ShiftBit(ssRight));
    QTest::mouseRelease(w, Qt::RightButton, Qt::ShiftModifier, ProbeCentre);
    QTest::mouseDClick(w, Qt::LeftButton, {}, ProbeCentre);
    EXPECT_EQ(form.Probe->LastButton, mbLeft);
    EXPECT_EQ(form.Probe->LastShift, ShiftBit(ssLeft) | ShiftBit(ssDouble));
}

TEST_F(QtWidgetSetTest, BorderStyleDecidesSizeAndButtons) {
    const TBorderIcons all =
        BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize);
    const struct {
        TFormBorderStyle Style;
        TBorderIcons Icons;
        bool Resizable;
        bool MinMax;
    } rows[] = {
        {bsSingle, BorderIconBit(biSystemMenu), false, false},
        {bsSingle, all, false, true},
        {bsSizeable, all, true, true},
        {bsDialog, all, false, false},
    };
    for (const auto& row : rows) {
        TProbeForm form;
        form.SetBorderStyle(row.Style);
        form.SetBorderIcons(row.Icons);
        Show(form);
        QWidget* w = Window(form);
        const Qt::WindowFlags flags = w->windowFlags();
        const auto note = ::testing::Message() << "border style " << int(row.Style);
        EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), row.MinMax) << note;
        EXPECT_EQ(bool(flags & Qt::WindowMaximizeButtonHint), row.MinMax) << note;
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << note;
        EXPECT_EQ(w->minimumSize() != w->maximumSize(), row.Resizable) << note;
        w->resize(300, 260);
        Qt().ProcessEvents();
        const QSize client(form.GetClientWidth(), form.GetClientHeight());
        EXPECT_EQ(client,
                  row.Resizable ? QSize(300, 260) : QSize(ProbeClientWidth, ProbeClientHeight))
            << note;
        EXPECT_EQ(w->size(), client) << note;
    }
}

TEST_F(QtWidgetSetTest, PositionPlacesTheWindow) {
    TProbeForm centred;
    centred.SetPosition(poScreenCenter);
    Show(centred);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect window = Window(centred)->frameGeometry();
    EXPECT_LE(std::abs(window.center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(window.center().y() - area.center().y()), 1);
    EXPECT_EQ(QPoint(centred.GetLeft(), centred.GetTop()), window.topLeft());

    TProbeForm designed;
    designed.SetLeft(40);
    designed.SetTop(30);
    Show(designed);
    EXPECT_EQ(Window(designed)->pos(), QPoint(40, 30));
}

TEST_F(QtWidgetSetTest, MessageBoxAnswersThePressedButton) {
    const TMessageBoxRequest request{"Note",
                                     "one\r\ntwo\rthree\n\rfour\nfive",
                                     TMessageIcon::Information,
                                     {{"&OK", mrOk}, {"&Retry", mrRetry}, {"&Cancel", mrCancel}},
                                     1,
                                     2};
    const struct {
        int Key; // 0: a click on OK
        TModalResult Expected;
    } rows[] = {{0, mrOk}, {Qt::Key_Return, mrRetry}, {Qt::Key_Escape, mrCancel}};
    for (const auto& row : rows) {
        QObject scope;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title, text;
        QStringList captions;
        QTimer::singleShot(0, &scope, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            title = box->windowTitle();
            text = box->text();
            for (QAbstractButton* b : box->buttons())
                captions << b->text();
            for (QAbstractButton* b : box->buttons())
                if (!row.Key && b->text() == "&OK")
                    QTest::mouseClick(b, Qt::LeftButton);
            if (row.Key)
                QTest::keyClick(box, Qt::Key(row.Key));
        });
        EXPECT_EQ(Qt().MessageBox(request), row.Expected) << "key " << row.Key;
        EXPECT_EQ(icon, QMessageBox::Information);
        EXPECT_EQ(title, "Note");
        EXPECT_EQ(text, "one\ntwo\nthree\nfour\nfive");
        EXPECT_EQ(captions, QStringList({"&OK", "&Retry", "&Cancel"}));
    }
}

TEST_F(QtWidgetSetTest, FormsGoingAwayTakeTheirWindows) {
    auto form = std::make_unique<TProbeForm>();
    Show(*form);
    QPointer<QWidget> w = Window(*form);
    ASSERT_TRUE(w);
    form.reset();
    EXPECT_TRUE(w.isNull());

    // Freed by its own control's click, inside the window's mouse handler.
    auto* doomed = new TProbeForm;
    doomed->Probe->OnClick = [&doomed] { delete std::exchange(doomed, nullptr); };
    Show(*doomed);
    w = Window(*doomed);
    QTest::mouseClick(w, Qt::LeftButton, {}, ProbeCentre);
    EXPECT_EQ(doomed, nullptr);
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->isVisible());
    Qt().ProcessEvents();
    EXPECT_TRUE(w.isNull());
}

TEST_F(QtWidgetSetTest, QuittingEndsTheModalSession) {
    TProbeForm form;
    TModalResult answer = mrNone;
    QObject scope;
    QTimer::singleShot(0, &scope, [&] {
        QTimer::singleShot(0, &scope, [] { QCoreApplication::quit(); });
        answer = form.ShowModal();
    });
    // Should the quit be refused, or not end the session, the test fails rather than hangs.
    QTimer::singleShot(10000, &scope, [&] {
        form.SetModalResult(mrAbort);
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(answer, mrCancel);
}

} // namespace
} // namespace vcl
