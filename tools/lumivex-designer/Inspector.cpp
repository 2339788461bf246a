#include "tools/lumivex-designer/Inspector.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolButton>

namespace lumivex::designer {

using namespace vcl;

namespace {

// Class-typed properties open into their sub-properties this deep at most, so that an object
// that reaches itself through its properties cannot hang the inspector.
constexpr int MaxDepth = 3;

QString Q(const std::string& S) {
    return QString::fromStdString(S);
}

} // namespace

TInspector::TInspector(QWidget* Parent) : QTreeWidget(Parent) {
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    header()->setSectionResizeMode(0, QHeaderView::Interactive);
    header()->resizeSection(0, 130);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    OnError = [this](const std::string& Message) {
        QMessageBox::warning(this, QStringLiteral("Property error"), Q(Message));
    };
}

TInspector::~TInspector() {
    Clear();
}

void TInspector::Clear() {
    FRows.clear();
    clear(); // the value widgets go with their items
    FEditors.clear();
}

void TInspector::Inspect(TComponent* Component, TFormDesigner* Designer) {
    Clear();
    if (!Component)
        return;
    for (auto& editor : GetPropertyEditors({Component}, Designer))
        AddRow(nullptr, "", std::move(editor), 0);
}

void TInspector::AddRow(QTreeWidgetItem* Parent, const std::string& Prefix,
                        std::unique_ptr<TPropertyEditor> Editor, int Depth) {
    TPropertyEditor* e = Editor.get();
    FEditors.push_back(std::move(Editor));
    const TPropertyAttributes attrs = e->GetAttributes();
    const std::string path = Prefix + e->GetName();
    auto* item = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(this);
    item->setText(0, Q(e->GetName()));
    const std::size_t row = FRows.size();
    FRows.push_back(TRow{path, item, e, nullptr, nullptr});

    QWidget* value = nullptr;
    if (attrs.Contains(paValueList) && !attrs.Contains(paReadOnly)) {
        auto* combo = new QComboBox;
        e->GetValues([combo](const std::string& v) { combo->addItem(Q(v)); });
        if (attrs.Contains(paSortList))
            combo->model()->sort(0);
        connect(combo, &QComboBox::activated, this,
                [this, row, combo](int Index) { Apply(row, combo->itemText(Index)); });
        value = combo;
    } else if (attrs.Contains(paReadOnly)) {
        value = new QLabel;
    } else {
        auto* line = new QLineEdit;
        line->setFrame(false);
        connect(line, &QLineEdit::returnPressed, this,
                [this, row, line] { Apply(row, line->text()); });
        if (attrs.Contains(paAutoUpdate))
            connect(line, &QLineEdit::textEdited, this,
                    [this, row](const QString& Text) { Apply(row, Text); });
        value = line;
    }
    FRows[row].Value = value;
    QWidget* cell = value;
    if (attrs.Contains(paDialog)) {
        cell = new QWidget;
        auto* layout = new QHBoxLayout(cell);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(value, 1);
        auto* button = new QToolButton;
        button->setText(QStringLiteral("..."));
        layout->addWidget(button);
        FRows[row].Dialog = button;
        connect(button, &QToolButton::clicked, this, [this, e] {
            try {
                e->Edit();
            } catch (const std::exception& ex) {
                OnError(ex.what());
            }
            RefreshValues();
        });
    }
    setItemWidget(item, 1, cell);
    ShowValue(FRows[row]);

    if (attrs.Contains(paSubProperties) && Depth < MaxDepth)
        e->GetProperties([this, item, &path, Depth](std::unique_ptr<TPropertyEditor> Sub) {
            AddRow(item, path + ".", std::move(Sub), Depth + 1);
        });
}

void TInspector::ShowValue(const TRow& Row) const {
    if (Row.Value == FApplying)
        return;
    const QString v = Q(Row.Editor->GetVisualValue());
    if (auto* line = qobject_cast<QLineEdit*>(Row.Value)) {
        if (line->text() != v) {
            line->setText(v);
            line->setCursorPosition(0); // a long value shows its beginning
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(Row.Value)) {
        // A value outside the list (a number for an integer with identifiers) is shown too.
        if (combo->findText(v) < 0)
            combo->addItem(v);
        combo->setCurrentText(v);
    } else if (auto* label = qobject_cast<QLabel*>(Row.Value))
        label->setText(v);
}

void TInspector::RefreshValues(bool SkipFocused) {
    for (const TRow& row : FRows)
        if (!SkipFocused || !row.Value->hasFocus())
            ShowValue(row);
}

void TInspector::Apply(std::size_t Row, const QString& Text) {
    if (Row >= FRows.size())
        return;
    TRow& row = FRows[Row];
    const bool autoUpdate = row.Editor->GetAttributes().Contains(paAutoUpdate);
    try {
        // While typing, the line keeps what was typed; on Enter it shows what the editor made.
        FApplying = autoUpdate ? row.Value : nullptr;
        row.Editor->SetValue(Text.toStdString());
        FApplying = nullptr;
    } catch (const std::exception& e) {
        FApplying = nullptr;
        ShowValue(row);
        OnError(e.what());
        return;
    }
    FApplying = autoUpdate ? row.Value : nullptr;
    RefreshValues();
    FApplying = nullptr;
}

QTreeWidgetItem* TInspector::FindRow(const std::string& Path) const {
    for (const TRow& row : FRows)
        if (row.Path == Path)
            return row.Item;
    return nullptr;
}

QWidget* TInspector::ValueWidget(const std::string& Path) const {
    for (const TRow& row : FRows)
        if (row.Path == Path)
            return row.Value;
    return nullptr;
}

QToolButton* TInspector::DialogButton(const std::string& Path) const {
    for (const TRow& row : FRows)
        if (row.Path == Path)
            return row.Dialog;
    return nullptr;
}

} // namespace lumivex::designer
