#pragma once
// The designer's main window: the component palette (a tab per registered page, a button per
// class), the form surface and the object inspector, with the File menu. It reaches the
// components only through the class registry, the palette and the property and component
// editors that the installed package registered.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/lumivex-designer/Document.h"

class QMenu;
class QTabWidget;
class QToolButton;

namespace lumivex::designer {

class TInspector;
class TSurface;

class TMainWindow : public QMainWindow {
public:
    explicit TMainWindow(QWidget* Parent = nullptr);
    ~TMainWindow() override;

    TDocument& Document() { return *FDocument; }
    TSurface& Surface() const { return *FSurface; }
    TInspector& Inspector() const { return *FInspector; }
    QTabWidget& Palette() const { return *FPalette; }
    // The palette's button for a class, nullptr when the palette has none.
    QToolButton* PaletteButton(const std::string& ClassName) const;

    // The selected component's editor verbs, and carrying one out, as its context menu does.
    std::vector<std::string> Verbs() const;
    void ExecuteVerb(int Index);
    // What a double-click on the selected component does: its component editor's Edit.
    void EditSelected();

    // The File menu's commands without their file dialogs. Open and Save answer whether they
    // succeeded; a failure is reported through OnError and changes nothing.
    void NewForm();
    void NewDataModule();
    bool OpenFile(const std::string& Path);
    bool SaveFile(const std::string& Path = {});

    // Told when the window has closed (the widgetset does not end the application with its
    // last window, since its modal forms come and go).
    std::function<void()> OnClosed;

    // How a failure is reported; a message box unless replaced.
    std::function<void(const std::string& Message)> OnError;

    // The files last opened or saved, newest first, kept in the user's settings and offered in
    // File > Open Recent. A run for a screenshot leaves them alone.
    static constexpr int MaxRecentFiles = 8;
    std::vector<std::string> RecentFiles() const;
    bool RemembersFiles = true;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void BuildPalette();
    void BuildMenus();
    void UpdateTitle();
    void ShowContextMenu(QPoint Global);
    void Report(const std::exception& E);
    void Remember(const std::string& Path);
    void BuildRecentMenu();

    std::unique_ptr<TDocument> FDocument;
    QTabWidget* FPalette = nullptr;
    TSurface* FSurface = nullptr;
    TInspector* FInspector = nullptr;
    std::vector<QToolButton*> FPaletteButtons;
    QMenu* FRecentMenu = nullptr;
};

} // namespace lumivex::designer
