// The widgetset on Qt: a window per form, the framework's modal loop on Qt's events, and Qt's
// message boxes.
#include "host/qt/QtWidgetSet.h"

#include <algorithm>
#include <vector>

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QPointer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include "host/controls/Forms.h"
#include "host/qt/detail/FormWindow.h"
#include "host/qt/detail/Input.h"
#include "host/sysutils/SysUtils.h"

namespace vcl::qt {

using detail::TFormWindow;

namespace {
// Counts the requests to quit that reach the application (QCoreApplication::quit inside its
// event loop, the desktop session ending): a modal session running then ends.
class TQuitWatch final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* Event) override {
        if (Event->type() == QEvent::Quit)
            ++Requests;
        return false;
    }
    int Requests = 0;
};

QString Latin1(const std::string& Text) {
    return QString::fromLatin1(Text.data(), static_cast<qsizetype>(Text.size()));
}

QMessageBox::Icon IconFor(TMessageIcon Icon) {
    switch (Icon) {
    case TMessageIcon::Warning:
        return QMessageBox::Warning;
    case TMessageIcon::Error:
        return QMessageBox::Critical;
    case TMessageIcon::Information:
        return QMessageBox::Information;
    case TMessageIcon::Question:
        return QMessageBox::Question;
    case TMessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

struct TQtWidgetSet::TImpl {
    // Declared first, so that it goes last, after every window.
    std::unique_ptr<QApplication> Application;
    TQuitWatch QuitWatch;
    struct TEntry {
        // Compared, never followed: the form may be no more than a TControl when it is looked
        // up for the last time.
        const TControl* Form;
        QPointer<TFormWindow> Window;
    };
    std::vector<TEntry> Windows;
    // Windows whose form has gone while one of their handlers ran; deleted once none runs.
    std::vector<QPointer<TFormWindow>> Leaving;

    TFormWindow* Find(const TControl* Form) const {
        for (const TEntry& e : Windows)
            if (e.Form == Form)
                return e.Window;
        return nullptr;
    }

    TFormWindow& Get(TForm& Form) {
        if (TFormWindow* w = Find(&Form))
            return *w;
        std::erase_if(Windows, [&](const TEntry& e) { return e.Form == &Form; });
        auto* w = new TFormWindow(Form);
        Windows.push_back({&Form, w});
        return *w;
    }

    void Reap() {
        std::erase_if(Leaving, [](const QPointer<TFormWindow>& w) {
            if (w && w->InHandler())
                return false;
            delete w.data();
            return true;
        });
    }

    // A window whose handler runs (another widgetset installed from it) outlives this
    // widgetset, hidden, until Qt's event loop deletes it.
    static void Delete(TFormWindow* Window) {
        if (!Window)
            return;
        Window->DetachForm();
        if (Window->InHandler()) {
            Window->hide();
            Window->deleteLater();
        } else {
            delete Window;
        }
    }

    void DeleteAll() {
        for (TEntry& e : Windows)
            Delete(e.Window);
        Windows.clear();
        for (QPointer<TFormWindow>& w : Leaving)
            Delete(w);
        Leaving.clear();
    }
};

TQtWidgetSet::TQtWidgetSet(int& argc, char** argv, const TQtOptions& Options)
    : FImpl(std::make_unique<TImpl>()) {
    QCoreApplication* running = QCoreApplication::instance();
    if (running && !qobject_cast<QApplication*>(running))
        throw EInvalidOperation("The Qt widgetset needs a QApplication, not a QCoreApplication");
    if (!running) {
        // For this application only: programs it starts keep the platform they would have had.
        const bool hadPlatform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (Options.Offscreen)
            qputenv("QT_QPA_PLATFORM", "offscreen");
        FImpl->Application = std::make_unique<QApplication>(argc, argv);
        if (hadPlatform)
            qputenv("QT_QPA_PLATFORM", platform);
        else
            qunsetenv("QT_QPA_PLATFORM");
        // The program ends when it chooses to, as the framework's do: hiding its last window is
        // not the end.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    qApp->installEventFilter(&FImpl->QuitWatch);
}

TQtWidgetSet::~TQtWidgetSet() {
    FImpl->DeleteAll();
}

void TQtWidgetSet::InvalidateControl(TControl& AControl) {
    const TControl* root = &AControl;
    while (root->GetParent())
        root = root->GetParent();
    if (TFormWindow* w = FImpl->Find(root))
        w->update();
}

void TQtWidgetSet::BoundsChanged(TControl& AControl) {
    // A control inside a form asks for a repaint after moving, and that is all its window needs.
    if (TFormWindow* w = FImpl->Find(&AControl))
        w->FormBoundsChanged();
}

void TQtWidgetSet::ShowForm(TForm& AForm) {
    FImpl->Reap();
    TFormWindow& w = FImpl->Get(AForm);
    w.ApplyStyle();
    w.PlaceAndShow();
}

void TQtWidgetSet::HideForm(TForm& AForm) {
    if (TFormWindow* w = FImpl->Find(&AForm))
        w->hide();
}

TModalResult TQtWidgetSet::ShowModal(TForm& AForm) {
    FImpl->Reap();
    QPointer<TFormWindow> window = &FImpl->Get(AForm);
    window->ApplyStyle();
    window->setWindowModality(Qt::ApplicationModal);
    window->PlaceAndShow();
    const int quits = FImpl->QuitWatch.Requests;
    // The framework's modal loop: one event at a time until the form has its answer. A window
    // without its form means the form was destroyed meanwhile, and is not asked again.
    while (window && window->Form() && AForm.GetModalResult() == mrNone &&
           FImpl->QuitWatch.Requests == quits) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        FImpl->Reap();
    }
    if (!window || !window->Form())
        return mrCancel;
    window->hide();
    window->setWindowModality(Qt::NonModal);
    const TModalResult answer = AForm.GetModalResult();
    return answer == mrNone ? mrCancel : answer;
}

TModalResult TQtWidgetSet::MessageBox(const TMessageBoxRequest& Request) {
    // No parent: a window that went away during the box would take the box with it.
    QMessageBox box;
    box.setIcon(IconFor(Request.Icon));
    box.setWindowTitle(Latin1(Request.Caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(Latin1(detail::NormaliseLineBreaks(Request.Text)));
    std::vector<QPushButton*> buttons;
    // One role for all keeps them in the request's order.
    for (const TMessageButton& b : Request.Buttons)
        buttons.push_back(box.addButton(Latin1(b.Caption), QMessageBox::ActionRole));
    const auto valid = [&](int Index) {
        return Index >= 0 && Index < static_cast<int>(buttons.size());
    };
    const int escape = Request.EscapeButton >= 0 ? Request.EscapeButton : Request.DefaultButton;
    if (valid(Request.DefaultButton))
        box.setDefaultButton(buttons[static_cast<std::size_t>(Request.DefaultButton)]);
    if (valid(escape))
        box.setEscapeButton(buttons[static_cast<std::size_t>(escape)]);
    box.exec();
    const auto pressed = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (pressed != buttons.end())
        return Request.Buttons[static_cast<std::size_t>(pressed - buttons.begin())].Result;
    return valid(escape) ? Request.Buttons[static_cast<std::size_t>(escape)].Result : mrCancel;
}

void TQtWidgetSet::DestroyControl(TControl& AControl) {
    const auto it = std::find_if(FImpl->Windows.begin(), FImpl->Windows.end(),
                                 [&](const TImpl::TEntry& e) { return e.Form == &AControl; });
    if (it == FImpl->Windows.end())
        return;
    QPointer<TFormWindow> window = it->Window;
    FImpl->Windows.erase(it);
    if (!window)
        return;
    // At once, so that no event reaches the form; the window itself may be running the handler
    // that destroyed the form, so it goes when that has returned.
    window->DetachForm();
    window->hide();
    if (window->InHandler()) {
        window->deleteLater();
        FImpl->Leaving.push_back(window);
    } else {
        delete window.data();
    }
}

void TQtWidgetSet::ReleaseControls() {
    FImpl->DeleteAll();
}

void TQtWidgetSet::GrabForm(TForm& AForm, TBitmap& Target) {
    TFormWindow& w = FImpl->Get(AForm);
    w.ApplyStyle();
    w.Grab(Target);
}

void TQtWidgetSet::ProcessEvents() {
    QCoreApplication::processEvents();
    FImpl->Reap();
}

QWidget* TQtWidgetSet::WindowOf(const TForm& AForm) const {
    return FImpl->Find(&AForm);
}

std::unique_ptr<TQtWidgetSet> CreateQtWidgetSet(int& argc, char** argv, const TQtOptions& Options) {
    return std::make_unique<TQtWidgetSet>(argc, argv, Options);
}

TQtWidgetSet* QtWidgetSet() {
    return dynamic_cast<TQtWidgetSet*>(&WidgetSet());
}

} // namespace vcl::qt
