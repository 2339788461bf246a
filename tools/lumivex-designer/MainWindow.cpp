#include "tools/lumivex-designer/MainWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "host/designer/DesignEditors.h"
#include "tools/lumivex-designer/Inspector.h"
#include "tools/lumivex-designer/Surface.h"

namespace lumivex::designer {

using namespace vcl;

namespace {

// The user's settings: ~/.config/Lumivex/Designer.conf.
const QString SettingsOrganization = QStringLiteral("Lumivex");
const QString SettingsApplication = QStringLiteral("Designer");
const QString RecentFilesKey = QStringLiteral("recentFiles");

QString Q(const std::string& S) {
    return QString::fromStdString(S);
}

QIcon ClassIcon(const std::string& ClassName) {
    QPixmap pixmap(TSurface::IconSize, TSurface::IconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawClassIcon(p, pixmap.rect(), ClassName);
    return QIcon(pixmap);
}

} // namespace

TMainWindow::TMainWindow(QWidget* Parent)
    : QMainWindow(Parent), FDocument(std::make_unique<TDocument>()) {
    OnError = [this](const std::string& Message) {
        QMessageBox::critical(this, QStringLiteral("Lumivex Designer"), Q(Message));
    };
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 4);
    FPalette = new QTabWidget;
    FPalette->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    column->addWidget(FPalette);
    auto* splitter = new QSplitter;
    FInspector = new TInspector;
    FSurface = new TSurface(*FDocument);
    auto* scroll = new QScrollArea;
    scroll->setWidget(FSurface);
    scroll->setWidgetResizable(false);
    splitter->addWidget(FInspector);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 600});
    column->addWidget(splitter, 1);
    setCentralWidget(central);
    BuildPalette();
    BuildMenus();
    // One place reports failures, whether of a property, a verb or a file.
    FInspector->OnError = [this](const std::string& Message) {
        if (OnError)
            OnError(Message);
    };

    TDocument& doc = *FDocument;
    doc.OnChanged = [this] {
        // The form's client size may have changed in the inspector.
        if (FSurface->size() != FSurface->sizeHint())
            FSurface->resize(FSurface->sizeHint());
        FSurface->update();
        FInspector->RefreshValues();
        UpdateTitle();
    };
    doc.OnSelectionChanged = [this] {
        FInspector->Inspect(FDocument->Selected(), &FDocument->Designer());
        FSurface->update();
    };
    doc.OnRootReplaced = [this] {
        if (!FDocument->Selected())
            FInspector->Inspect(nullptr, nullptr);
        FSurface->resize(FSurface->sizeHint());
        FSurface->update();
        UpdateTitle();
    };
    FSurface->OnDropped = [this] {
        for (QToolButton* b : FPaletteButtons)
            b->setChecked(false);
    };
    FSurface->OnContextMenu = [this](QPoint Global) { ShowContextMenu(Global); };
    FSurface->OnEdit = [this] { EditSelected(); };
    FSurface->OnPainted = [this] { FInspector->RefreshValues(true); };
    FSurface->OnError = [this](const std::string& Message) {
        if (OnError)
            OnError(Message);
    };
    doc.OnRootReplaced();
    doc.OnSelectionChanged();
    resize(960, 600);
}

TMainWindow::~TMainWindow() {
    // The inspector's editors and the surface let go of the components before the form goes.
    FInspector->Inspect(nullptr, nullptr);
    FDocument->OnChanged = nullptr;
    FDocument->OnSelectionChanged = nullptr;
    FDocument->OnRootReplaced = nullptr;
}

void TMainWindow::BuildPalette() {
    for (const std::string& page : GetComponentPages()) {
        auto* tab = new QWidget;
        auto* row = new QHBoxLayout(tab);
        row->setContentsMargins(2, 2, 2, 2);
        row->setSpacing(2);
        for (const TClassInfo* c : GetPageComponents(page)) {
            auto* button = new QToolButton;
            button->setObjectName(Q(c->Name()));
            button->setToolTip(Q(c->Name()));
            button->setIcon(ClassIcon(c->Name()));
            button->setIconSize(QSize(TSurface::IconSize, TSurface::IconSize));
            button->setCheckable(true);
            button->setAutoRaise(true);
            connect(button, &QToolButton::clicked, this, [this, button, c](bool Checked) {
                for (QToolButton* b : FPaletteButtons)
                    if (b != button)
                        b->setChecked(false);
                FSurface->SetPendingClass(Checked ? c : nullptr);
            });
            row->addWidget(button);
            FPaletteButtons.push_back(button);
        }
        row->addStretch(1);
        FPalette->addTab(tab, Q(page));
    }
}

void TMainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New Form"), QKeySequence::New, this, [this] { NewForm(); });
    file->addAction(QStringLiteral("New &Data Module"), this, [this] { NewDataModule(); });
    file->addAction(QStringLiteral("&Open..."), QKeySequence::Open, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Open"), {}, QStringLiteral("Form files (*.dfm);;All files (*)"));
        if (!path.isEmpty())
            OpenFile(path.toStdString());
    });
    FRecentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    BuildRecentMenu();
    file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] {
        if (!FDocument->FileName().empty()) {
            SaveFile();
            return;
        }
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("Save As"), QStringLiteral("Unit1.dfm"),
            QStringLiteral("Form files (*.dfm);;All files (*)"));
        if (!path.isEmpty())
            SaveFile(path.toStdString());
    });
    file->addAction(QStringLiteral("Save &As..."), QKeySequence::SaveAs, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), Q(FDocument->FileName()),
                                         QStringLiteral("Form files (*.dfm);;All files (*)"));
        if (!path.isEmpty())
            SaveFile(path.toStdString());
    });
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, [this] { close(); });
}

QToolButton* TMainWindow::PaletteButton(const std::string& ClassName) const {
    for (QToolButton* b : FPaletteButtons)
        if (b->objectName() == Q(ClassName))
            return b;
    return nullptr;
}

void TMainWindow::UpdateTitle() {
    const std::string& file = FDocument->FileName();
    setWindowTitle(Q(FDocument->Root().GetName()) +
                   (file.empty() ? QString() : " (" + Q(file) + ")") +
                   (FDocument->Dirty() ? QStringLiteral(" *") : QString()) +
                   QStringLiteral(" - Lumivex Designer"));
}

void TMainWindow::Report(const std::exception& E) {
    if (OnError)
        OnError(E.what());
}

std::vector<std::string> TMainWindow::Verbs() const {
    std::vector<std::string> verbs;
    const auto editor = GetComponentEditor(*FDocument->Selected(), &FDocument->Designer());
    for (int i = 0; i < editor->GetVerbCount(); ++i)
        verbs.push_back(editor->GetVerb(i));
    return verbs;
}

void TMainWindow::ExecuteVerb(int Index) {
    try {
        GetComponentEditor(*FDocument->Selected(), &FDocument->Designer())->ExecuteVerb(Index);
    } catch (const std::exception& e) {
        Report(e);
    }
    FInspector->RefreshValues();
    FSurface->update();
}

void TMainWindow::EditSelected() {
    try {
        GetComponentEditor(*FDocument->Selected(), &FDocument->Designer())->Edit();
    } catch (const std::exception& e) {
        Report(e);
    }
    FInspector->RefreshValues();
    FSurface->update();
}

void TMainWindow::ShowContextMenu(QPoint Global) {
    const std::vector<std::string> verbs = Verbs();
    if (verbs.empty())
        return;
    QMenu menu(this);
    for (std::size_t i = 0; i < verbs.size(); ++i)
        menu.addAction(Q(verbs[i]))->setData(static_cast<int>(i));
    if (QAction* chosen = menu.exec(Global))
        ExecuteVerb(chosen->data().toInt());
}

void TMainWindow::NewForm() {
    FDocument->New();
}

void TMainWindow::NewDataModule() {
    FDocument->NewDataModule();
}

std::vector<std::string> TMainWindow::RecentFiles() const {
    std::vector<std::string> files;
    const QSettings settings(SettingsOrganization, SettingsApplication);
    for (const QString& f : settings.value(RecentFilesKey).toStringList())
        files.push_back(f.toStdString());
    return files;
}

void TMainWindow::Remember(const std::string& Path) {
    if (!RemembersFiles)
        return;
    const QString file = QFileInfo(Q(Path)).absoluteFilePath();
    QSettings settings(SettingsOrganization, SettingsApplication);
    QStringList files = settings.value(RecentFilesKey).toStringList();
    files.removeAll(file);
    files.prepend(file);
    while (files.size() > MaxRecentFiles)
        files.removeLast();
    settings.setValue(RecentFilesKey, files);
    BuildRecentMenu();
}

void TMainWindow::BuildRecentMenu() {
    FRecentMenu->clear();
    const std::vector<std::string> files = RecentFiles();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString file = Q(files[i]);
        FRecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(file), this,
                               [this, file] { OpenFile(file.toStdString()); });
    }
    FRecentMenu->setEnabled(!files.empty());
}

bool TMainWindow::OpenFile(const std::string& Path) {
    try {
        FDocument->Open(Path);
        Remember(Path);
        return true;
    } catch (const std::exception& e) {
        Report(e);
        return false;
    }
}

bool TMainWindow::SaveFile(const std::string& Path) {
    try {
        FDocument->Save(Path);
        Remember(FDocument->FileName());
        return true;
    } catch (const std::exception& e) {
        Report(e);
        return false;
    }
}

void TMainWindow::closeEvent(QCloseEvent* Event) {
    if (FDocument->Dirty() && isVisible() &&
        QMessageBox::question(this, QStringLiteral("Lumivex Designer"),
                              QStringLiteral("Close without saving the changes to the form?")) !=
            QMessageBox::Yes) {
        Event->ignore();
        return;
    }
    Event->accept();
    if (OnClosed)
        OnClosed();
}

} // namespace lumivex::designer
