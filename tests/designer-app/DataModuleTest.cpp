// Data modules and data at design time: a dataset opened in the inspector renders the current
// record in the bitmap component bound to it, or reports why it cannot open and stays closed.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <fstream>

#include "host/graphics/Graphics.h"
#include "tests/designer-app/Fixture.h"
#include "tools/lumivex-designer/Inspector.h"

namespace lumivex::designer::test {

using namespace vcl;

namespace {

// Sets a property of the selected component as a person does: a list entry, or a line and Enter.
void Set(TInspector& Inspector, const std::string& Path, const std::string& Value) {
    QWidget* w = Inspector.ValueWidget(Path);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int i = combo->findText(QString::fromStdString(Value));
        ASSERT_GE(i, 0) << Path << " offers no " << Value;
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(QString::fromStdString(Value));
        QTest::keyClick(line, Qt::Key_Return);
    } else {
        FAIL() << Path << " has no editor";
    }
}

struct DataCase {
    const char* Class;
    const char* Property; // the one that says where the data is
    std::string Value;
    const char* Sql; // the query's SQL, or nullptr
    bool Opens;
};

} // namespace

TEST_F(DesignerTest, DataModuleOpensItsDataSetAtDesignTime) {
    const std::string csv = ::testing::TempDir() + "designer-labels.csv";
    std::ofstream(csv) << "Code,Name\nLUMI-7,first\nLUMI-8,second\n";
    const DataCase cases[] = {
        {"TSQLiteQuery", "DatabaseName", ":memory:", "SELECT 'LUMI-7' AS Code", true},
        {"TSQLiteQuery", "DatabaseName", ":memory:", "SELEC Code", false},
        {"TCSVDataSet", "FileName", csv, nullptr, true},
        {"TCSVDataSet", "FileName", csv + ".missing", nullptr, false},
    };
    for (const DataCase& c : cases) {
        SCOPED_TRACE(std::string(c.Class) + " " + c.Value + (c.Sql ? c.Sql : ""));
        Window->NewDataModule();
        Errors.clear();
        // Only non-visual components go on a data module.
        EXPECT_EQ(DropAt("TBarcode", 10, 10), &Doc().Root());
        ASSERT_EQ(Errors.size(), 1u);
        Errors.clear();

        TComponent* data = DropAt(c.Class, 20, 20);
        Set(Window->Inspector(), c.Property, c.Value);
        if (c.Sql)
            Set(Window->Inspector(), "SQL", c.Sql);
        DropAt("TDataSource", 120, 20);
        Set(Window->Inspector(), "DataSet", data->GetName());
        auto* bmp = DropAt("TDBBarcodeBmp", 220, 20);
        Set(Window->Inspector(), "DataSource", "DataSource1");
        Set(Window->Inspector(), "DataField", "Code");
        ASSERT_TRUE(Errors.empty()) << Errors.front();

        const auto* bitmap =
            dynamic_cast<TBitmap*>(bmp->ClassInfo().FindProperty("Bitmap")->GetObj(*bmp));
        ASSERT_NE(bitmap, nullptr);
        const int closedWidth = bitmap->GetWidth();

        Doc().Select(data);
        Set(Window->Inspector(), "Active", "True");
        EXPECT_EQ(PropertyValue(data, "Active"), c.Opens ? "True" : "False");
        EXPECT_EQ(Errors.size(), c.Opens ? 0u : 1u);
        EXPECT_EQ(bitmap->GetWidth() != closedWidth, c.Opens);
    }
}

TEST_F(DesignerTest, DataModuleSavesItsPlacesAndIsRemembered) {
    Window->NewDataModule();
    DropAt("TDataSource", 40, 30);
    const std::string path = ::testing::TempDir() + "designer-module.dfm";
    ASSERT_TRUE(Window->SaveFile(path));
    const std::vector<std::string> recent = Window->RecentFiles();
    ASSERT_FALSE(recent.empty());
    EXPECT_EQ(recent.front(), path);

    Window->NewForm();
    ASSERT_TRUE(Window->OpenFile(path));
    TComponent* source = Doc().Root().FindComponent("DataSource1");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Doc().PlaceOf(source).X, 40);
    EXPECT_EQ(Doc().PlaceOf(source).Y, 30);
    EXPECT_EQ(Doc().Form(), nullptr);
    EXPECT_EQ(Window->RecentFiles().size(), recent.size()); // the same file, once
}

} // namespace lumivex::designer::test
