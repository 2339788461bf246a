// The object inspector: its rows come from the registered property editors and change the
// component through them.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "tests/designer-app/Fixture.h"
#include "tools/lumivex-designer/Inspector.h"
#include "tools/lumivex-designer/Surface.h"

namespace lumivex::designer::test {

using namespace vcl;

namespace {

template <typename W> W* Widget(TInspector& Inspector, const std::string& Path) {
    return qobject_cast<W*>(Inspector.ValueWidget(Path));
}

} // namespace

TEST_F(DesignerTest, EnumerationIsChosenFromItsComboBox) {
    TComponent* barcode = DropAt("TBarcode", 20, 20);
    auto* combo = Widget<QComboBox>(Window->Inspector(), "BarcodeType");
    ASSERT_NE(combo, nullptr);
    const int index = combo->findText("bcCode39");
    ASSERT_GE(index, 0);
    EXPECT_EQ(combo->currentText().toStdString(), "bcCode128");
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    EXPECT_EQ(PropertyValue(barcode, "BarcodeType"), "bcCode39");
    // Booleans and component references are lists too.
    EXPECT_NE(Widget<QComboBox>(Window->Inspector(), "Interpret"), nullptr);
    DropAt("TDBBarcodeBmp", 200, 20);
    auto* source = Widget<QComboBox>(Window->Inspector(), "DataSource");
    ASSERT_NE(source, nullptr);
    DropAt("TDataSource", 300, 20);
    Doc().Select(Doc().Root().FindComponent("DBBarcodeBmp1"));
    source = Widget<QComboBox>(Window->Inspector(), "DataSource");
    ASSERT_NE(source, nullptr);
    const int ds = source->findText("DataSource1");
    ASSERT_GE(ds, 0);
    source->setCurrentIndex(ds);
    emit source->activated(ds);
    EXPECT_EQ(PropertyValue(Doc().Selected(), "DataSource", &Doc().Designer()), "DataSource1");
}

TEST_F(DesignerTest, BarcodeTextRepaintsTheSurfaceWithEveryKey) {
    TComponent* barcode = DropAt("TBarcode", 10, 10);
    auto* line = Widget<QLineEdit>(Window->Inspector(), "BarcodeText");
    ASSERT_NE(line, nullptr);
    line->setFocus();
    QImage before = Window->Surface().grab().toImage();
    std::string typed;
    for (char key : std::string("LUMI42")) {
        QTest::keyClick(line, key);
        typed += key;
        EXPECT_EQ(PropertyValue(barcode, "BarcodeText"), typed);
        EXPECT_EQ(line->text().toStdString(), typed);
        const QImage after = Window->Surface().grab().toImage();
        EXPECT_NE(after, before) << "no repaint after " << typed;
        before = after;
    }
    // The barcode sized itself to its bars as it painted; the inspector shows the size it took.
    EXPECT_NE(PropertyValue(barcode, "Width"), "20");
    EXPECT_EQ(Widget<QLineEdit>(Window->Inspector(), "Width")->text().toStdString(),
              PropertyValue(barcode, "Width"));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(DesignerTest, RefusedValueIsReportedAndTheOldOneShown) {
    TComponent* barcode = DropAt("TBarcode", 10, 10);
    auto* width = Widget<QLineEdit>(Window->Inspector(), "Width");
    ASSERT_NE(width, nullptr);
    const std::string old = PropertyValue(barcode, "Width");
    width->setText("wide");
    QTest::keyClick(width, Qt::Key_Return);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("wide"), std::string::npos) << Errors[0];
    EXPECT_EQ(width->text().toStdString(), old);
    EXPECT_EQ(PropertyValue(barcode, "Width"), old);
    // Enter applies a good one, and the surface's selection follows.
    width->setText("140");
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_EQ(PropertyValue(barcode, "Width"), "140");
    EXPECT_EQ(Window->Surface().RectOf(barcode).width(), 140);
    // A name already taken is refused by the component itself.
    DropAt("TBarcode", 200, 10);
    auto* name = Widget<QLineEdit>(Window->Inspector(), "Name");
    name->setText("Barcode1");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(name->text().toStdString(), "Barcode2");
}

TEST_F(DesignerTest, ClassPropertiesOpenIntoTheirSubProperties) {
    DropAt("TBarcode", 10, 10);
    TInspector& inspector = Window->Inspector();
    auto* font = Widget<QLabel>(inspector, "Font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->text().toStdString(), "(TFont)");
    ASSERT_NE(inspector.FindRow("Font.Name"), nullptr);
    auto* size = Widget<QLineEdit>(inspector, "Font.Size");
    ASSERT_NE(size, nullptr);
    size->setText("14");
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(size->text().toStdString(), "14");
    EXPECT_EQ(Widget<QLineEdit>(inspector, "Font.Height")->text().toStdString().substr(0, 1), "-");
}

TEST_F(DesignerTest, DialogPropertyHasAnEllipsisThatOpensThePreview) {
    DropAt("TBarcodeBmp", 10, 10);
    TInspector& inspector = Window->Inspector();
    QToolButton* ellipsis = inspector.DialogButton("Bitmap");
    ASSERT_NE(ellipsis, nullptr);
    EXPECT_EQ(inspector.DialogButton("Width"), nullptr);
    const std::string title = AnswerModal([&] { ellipsis->click(); });
    EXPECT_FALSE(title.empty());
    EXPECT_TRUE(Errors.empty());
}

} // namespace lumivex::designer::test
