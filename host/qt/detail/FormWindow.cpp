// A form's Qt window: the form's own pixels on screen, and the window's input back to the form.
#include "host/qt/detail/FormWindow.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QScreen>

#include "host/qt/detail/Input.h"

namespace vcl::qt::detail {

namespace {
// Counts a running event handler for as long as it runs.
class THandlerScope {
public:
    explicit THandlerScope(int& Depth) : FDepth(Depth) { ++FDepth; }
    ~THandlerScope() { --FDepth; }
    THandlerScope(const THandlerScope&) = delete;
    THandlerScope& operator=(const THandlerScope&) = delete;

private:
    int& FDepth;
};

// Sets a flag for as long as the window itself changes the form or the form the window.
class TSyncScope {
public:
    explicit TSyncScope(bool& Flag) : FFlag(Flag), FWas(Flag) { FFlag = true; }
    ~TSyncScope() { FFlag = FWas; }
    TSyncScope(const TSyncScope&) = delete;
    TSyncScope& operator=(const TSyncScope&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

QString Latin1(const std::string& Text) {
    return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
}

// A window cannot be empty; a form with no client area gets one pixel that it does not paint.
QSize ClientSize(const TForm& Form) {
    return {std::max(1, Form.GetClientWidth()), std::max(1, Form.GetClientHeight())};
}

// The rows of a pf24bit bitmap are B, G, R bytes, which is Qt's BGR888; only the row padding
// differs, so rows are copied one by one.
void ToImage(TBitmap& Bitmap, QImage& Image) {
    if (Bitmap.GetPixelFormat() != pf24bit)
        Bitmap.SetPixelFormat(pf24bit);
    const int w = Bitmap.GetWidth();
    const int h = Bitmap.GetHeight();
    if (w == 0 || h == 0) {
        Image = QImage();
        return;
    }
    if (Image.width() != w || Image.height() != h || Image.format() != QImage::Format_BGR888)
        Image = QImage(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        std::memcpy(Image.scanLine(y), Bitmap.ScanLine(y), static_cast<std::size_t>(w) * 3);
}

Qt::WindowFlags FlagsFor(TFormBorderStyle Style, TBorderIcons Icons) {
    const auto has = [Icons](TBorderIcon Icon) { return (Icons & BorderIconBit(Icon)) != 0; };
    switch (Style) {
    case bsNone:
        return Qt::Window | Qt::FramelessWindowHint;
    case bsDialog:
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
               (has(biSystemMenu) ? Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                  : Qt::WindowFlags()) |
               (has(biSystemMenu) && has(biHelp) ? Qt::WindowContextHelpButtonHint
                                                 : Qt::WindowFlags());
    case bsToolWindow:
    case bsSizeToolWin:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
               (has(biSystemMenu) ? Qt::WindowCloseButtonHint : Qt::WindowFlags());
    case bsSingle:
    case bsSizeable:
        break;
    }
    // A plain window: the minimise and maximise buttons it asks for, and the help button only
    // where it has neither, as the framework's windows do.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (!has(biSystemMenu))
        return flags;
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (has(biMinimize))
        flags |= Qt::WindowMinimizeButtonHint;
    if (has(biMaximize))
        flags |= Qt::WindowMaximizeButtonHint;
    if (has(biHelp) && !has(biMinimize) && !has(biMaximize))
        flags |= Qt::WindowContextHelpButtonHint;
    return flags;
}
} // namespace

TFormWindow::TFormWindow(TForm& AForm)
    : QWidget(nullptr, Qt::Window), FForm(&AForm), FLeft(AForm.GetLeft()), FTop(AForm.GetTop()) {
    setObjectName(Latin1(AForm.GetName()));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    ApplyStyle();
}

TFormWindow::~TFormWindow() = default;

bool TFormWindow::Sizeable() const {
    return FForm &&
           (FForm->GetBorderStyle() == bsSizeable || FForm->GetBorderStyle() == bsSizeToolWin);
}

void TFormWindow::ApplyStyle() {
    if (!FForm)
        return;
    const Qt::WindowFlags flags = FlagsFor(FForm->GetBorderStyle(), FForm->GetBorderIcons());
    if (windowFlags() != flags)
        setWindowFlags(flags);
    setWindowTitle(Latin1(FForm->GetCaption()));
    TSyncScope sync(FSyncing);
    const QSize want = ClientSize(*FForm);
    if (Sizeable()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (size() != want)
            resize(want);
    } else {
        setFixedSize(want);
    }
}

void TFormWindow::Place() {
    if (!FForm)
        return;
    const TPosition position = FForm->GetPosition();
    if (position == poDesigned) {
        FLeft = FForm->GetLeft();
        FTop = FForm->GetTop();
        TSyncScope sync(FSyncing);
        move(FLeft, FTop);
        return;
    }
    if (position != poScreenCenter && position != poDesktopCenter)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = position == poDesktopCenter ? screen->availableVirtualGeometry()
                                                   : screen->availableGeometry();
    // The frame is known only once the window has been shown; before that the client stands in.
    const QSize outer = frameGeometry().size();
    FLeft = area.x() + (area.width() - outer.width()) / 2;
    FTop = area.y() + (area.height() - outer.height()) / 2;
    TSyncScope sync(FSyncing);
    move(FLeft, FTop);
    // The form learns where it went, as the framework's forms do.
    FForm->SetBounds(FLeft, FTop, FForm->GetWidth(), FForm->GetHeight());
}

void TFormWindow::PlaceAndShow() {
    Place();
    const QSize framed = frameGeometry().size();
    show();
    // Centring needs the frame, which many window systems tell only once the window is shown.
    if (frameGeometry().size() != framed)
        Place();
    activateWindow();
}

void TFormWindow::FormBoundsChanged() {
    if (!FForm || FSyncing)
        return;
    ApplyStyle();
    if (FForm->GetLeft() != FLeft || FForm->GetTop() != FTop) {
        FLeft = FForm->GetLeft();
        FTop = FForm->GetTop();
        TSyncScope sync(FSyncing);
        move(FLeft, FTop);
    }
}

void TFormWindow::Grab(TBitmap& Target) {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    render(&image);
    Target.SetPixelFormat(pf24bit);
    Target.Reallocate(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* to = Target.ScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            to[3 * x] = static_cast<std::uint8_t>(qBlue(from[x]));
            to[3 * x + 1] = static_cast<std::uint8_t>(qGreen(from[x]));
            to[3 * x + 2] = static_cast<std::uint8_t>(qRed(from[x]));
        }
    }
}

void TFormWindow::paintEvent(QPaintEvent*) {
    if (!FForm)
        return;
    THandlerScope handler(FDepth);
    // The form tells no one of a new caption; a repaint is the next chance to show it.
    if (const QString title = Latin1(FForm->GetCaption()); title != windowTitle())
        setWindowTitle(title);
    FForm->PaintClient(FBitmap);
    ToImage(FBitmap, FImage);
    QPainter painter(this);
    painter.drawImage(0, 0, FImage);
}

void TFormWindow::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    if (!FForm || FSyncing || !Sizeable() || Event->size() == ClientSize(*FForm))
        return;
    THandlerScope handler(FDepth);
    TSyncScope sync(FSyncing);
    FForm->SetClientWidth(Event->size().width());
    if (FForm)
        FForm->SetClientHeight(Event->size().height());
}

void TFormWindow::moveEvent(QMoveEvent* Event) {
    QWidget::moveEvent(Event);
    // Only what the window system or the user did: the window's own moves are the form's.
    if (!FForm || FSyncing || !isVisible())
        return;
    const QPoint at = pos();
    if (at.x() == FLeft && at.y() == FTop)
        return;
    FLeft = at.x();
    FTop = at.y();
    THandlerScope handler(FDepth);
    TSyncScope sync(FSyncing);
    FForm->SetBounds(FLeft, FTop, FForm->GetWidth(), FForm->GetHeight());
}

void TFormWindow::closeEvent(QCloseEvent* Event) {
    if (!FForm) {
        Event->accept();
        return;
    }
    // The form decides: a modal one ends its session with mrCancel, another hides itself
    // through the widgetset. Qt hears that the window closed only if the form did, since Qt
    // takes a refused close as a veto, of the application quitting as well.
    THandlerScope handler(FDepth);
    FForm->Close();
    const bool closed = !FForm || !FForm->GetVisible() || FForm->GetModalResult() != mrNone;
    Event->setAccepted(closed);
}

void TFormWindow::Mouse(QMouseEvent* Event, TMouseAction Action, TShiftState Extra) {
    TForm* form = FForm;
    if (!form)
        return;
    const QPointF at = Event->position();
    const int x = static_cast<int>(std::floor(at.x()));
    const int y = static_cast<int>(std::floor(at.y()));
    const TShiftState shift = ShiftState(Event->modifiers(), Event->buttons()) | Extra;
    THandlerScope handler(FDepth);
    if (Action == TMouseAction::Move) {
        form->HandleMouseMove(shift, x, y);
        return;
    }
    TMouseButton button;
    if (!MouseButton(Event->button(), button))
        return;
    // A press or a release may end the modal session or free the form: nothing of it is
    // touched afterwards.
    if (Action == TMouseAction::Down)
        form->HandleMouseDown(button, shift, x, y);
    else
        form->HandleMouseUp(button, shift, x, y);
}

void TFormWindow::mousePressEvent(QMouseEvent* Event) {
    Mouse(Event, TMouseAction::Down, 0);
}

void TFormWindow::mouseDoubleClickEvent(QMouseEvent* Event) {
    Mouse(Event, TMouseAction::Down, ShiftBit(ssDouble));
}

void TFormWindow::mouseMoveEvent(QMouseEvent* Event) {
    Mouse(Event, TMouseAction::Move, 0);
}

void TFormWindow::mouseReleaseEvent(QMouseEvent* Event) {
    Mouse(Event, TMouseAction::Up, 0);
}

void TFormWindow::keyPressEvent(QKeyEvent* Event) {
    if (FForm) {
        TShiftState shift = ShiftState(Event->modifiers(), QGuiApplication::mouseButtons());
        if (const TKey key = VirtualKey(Event->key(), shift)) {
            THandlerScope handler(FDepth);
            if (FForm->HandleKeyDown(key, shift)) {
                Event->accept();
                return;
            }
        }
    }
    QWidget::keyPressEvent(Event);
}

} // namespace vcl::qt::detail
