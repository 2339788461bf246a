#pragma once
// The object inspector: the selected component's published properties as the property editors
// registered for them show them, two columns of name and value. A value is typed in (set on
// Enter, or with every keystroke for paAutoUpdate), chosen from a list (paValueList), opened
// into sub-properties (paSubProperties) or edited in the editor's dialog (paDialog, the
// ellipsis button); paReadOnly values are only shown. A value the editor refuses is reported
// and the old one shown again.

#include <QString>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/designer/DesignEditors.h"

class QToolButton;

namespace lumivex::designer {

class TInspector : public QTreeWidget {
public:
    explicit TInspector(QWidget* Parent = nullptr);
    ~TInspector() override;

    // Shows the properties of Component (nothing for null) through editors talking to Designer.
    void Inspect(vcl::TComponent* Component, vcl::TFormDesigner* Designer);
    // Reads every value again, as after a change made elsewhere (a drag, another property);
    // SkipFocused leaves the value being typed alone.
    void RefreshValues(bool SkipFocused = false);

    // The row of a property by its path (Font.Size), nullptr when none is shown.
    QTreeWidgetItem* FindRow(const std::string& Path) const;
    // The widget that edits or shows the row's value: a QLineEdit, a QComboBox or a QLabel.
    QWidget* ValueWidget(const std::string& Path) const;
    // The ellipsis button of a paDialog row, nullptr when it has none.
    QToolButton* DialogButton(const std::string& Path) const;

    // How a refused value is reported; a message box unless replaced.
    std::function<void(const std::string& Message)> OnError;

private:
    struct TRow {
        std::string Path;
        QTreeWidgetItem* Item = nullptr;
        vcl::TPropertyEditor* Editor = nullptr;
        QWidget* Value = nullptr;
        QToolButton* Dialog = nullptr;
    };
    void Clear();
    void AddRow(QTreeWidgetItem* Parent, const std::string& Prefix,
                std::unique_ptr<vcl::TPropertyEditor> Editor, int Depth);
    void Apply(std::size_t Row, const QString& Text);
    void ShowValue(const TRow& Row) const;

    std::vector<std::unique_ptr<vcl::TPropertyEditor>> FEditors;
    std::vector<TRow> FRows;
    // The widget whose text is being applied keeps what was typed.
    const QWidget* FApplying = nullptr;
};

} // namespace lumivex::designer
