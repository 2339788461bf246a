// The palette, the form surface, the component editors, the files and the program's screenshot.
#include <QImage>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "host/controls/Controls.h"
#include "host/designer/DesignEditors.h"
#include "host/sysutils/SysUtils.h"
#include "tests/designer-app/Fixture.h"
#include "tools/lumivex-designer/Inspector.h"
#include "tools/lumivex-designer/Surface.h"

namespace lumivex::designer::test {

using namespace vcl;

TComponent* DesignerTest::DropAt(const std::string& ClassName, int X, int Y) {
    QToolButton* button = Window->PaletteButton(ClassName);
    if (!button)
        return nullptr;
    button->click();
    QTest::mouseClick(&Window->Surface(), Qt::LeftButton, {}, QPoint(X, Y));
    return Doc().Selected();
}

std::string PropertyValue(TComponent* Component, const std::string& Name, TFormDesigner* Designer) {
    for (const auto& e : GetPropertyEditors({Component}, Designer))
        if (e->GetName() == Name)
            return e->GetValue();
    return "(no " + Name + ")";
}

namespace {

std::string ReadAll(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempFile(const std::string& Name) {
    return ::testing::TempDir() + "designer-" + Name;
}

} // namespace

TEST_F(DesignerTest, PaletteHasThePackagePageThenTheHostsDataAccess) {
    QTabWidget& palette = Window->Palette();
    ASSERT_GE(palette.count(), 2);
    EXPECT_EQ(palette.tabText(0).toStdString(), "Okanda");
    EXPECT_EQ(palette.tabText(palette.count() - 1).toStdString(), "Data Access");
    std::vector<std::string> okanda;
    for (QToolButton* b : palette.widget(0)->findChildren<QToolButton*>())
        okanda.push_back(b->objectName().toStdString());
    EXPECT_EQ(okanda, (std::vector<std::string>{"TBarcode", "TBarcodeBmp", "TDBBarcodeBmp"}));
    EXPECT_EQ(Initials("TDBBarcodeBmp").toStdString(), "DBB");
    EXPECT_FALSE(Window->PaletteButton("TCSVDataSet")->icon().isNull());
}

TEST_F(DesignerTest, EachPaletteEntryDropsANamedComponentWhereClicked) {
    const struct {
        const char* Class;
        const char* Name;
        bool Visual;
    } drops[] = {{"TBarcode", "Barcode1", true},
                 {"TBarcodeBmp", "BarcodeBmp1", false},
                 {"TDBBarcodeBmp", "DBBarcodeBmp1", false},
                 {"TDataSource", "DataSource1", false},
                 {"TSQLiteQuery", "SQLiteQuery1", false},
                 {"TCSVDataSet", "CSVDataSet1", false},
                 {"TBarcode", "Barcode2", true}};
    int x = 10;
    for (const auto& d : drops) {
        SCOPED_TRACE(d.Name);
        TComponent* c = DropAt(d.Class, x, 40);
        ASSERT_NE(c, &Doc().Root());
        EXPECT_EQ(c->GetName(), d.Name);
        EXPECT_EQ(c->ClassInfo().Name(), d.Class);
        EXPECT_EQ(c->GetOwner(), &Doc().Root());
        EXPECT_TRUE(c->InState(csDesigning));
        auto* control = dynamic_cast<TControl*>(c);
        EXPECT_EQ(control != nullptr, d.Visual);
        if (control) {
            EXPECT_EQ(control->GetParent(), &Doc().Root());
            EXPECT_EQ(control->GetLeft(), x);
            EXPECT_EQ(control->GetTop(), 40);
        } else
            EXPECT_EQ(Window->Surface().RectOf(c).topLeft(), QPoint(x, 40));
        // The palette lets go of its entry once used, so the next click only selects.
        EXPECT_EQ(Window->Surface().PendingClass(), nullptr);
        EXPECT_EQ(Window->Surface().ComponentAt(QPoint(x + 2, 42)), c);
        x += 60;
    }
    EXPECT_TRUE(Doc().Dirty());
    EXPECT_EQ(PropertyValue(Doc().Root().FindComponent("Barcode1"), "Name"), "Barcode1");
}

TEST_F(DesignerTest, ClicksSelectArrowsNudgeAndDeleteRemoves) {
    TComponent* barcode = DropAt("TBarcode", 30, 30);
    TComponent* source = DropAt("TDataSource", 300, 200);
    TSurface& surface = Window->Surface();
    QTest::mouseClick(&surface, Qt::LeftButton, {}, QPoint(5, 300));
    EXPECT_EQ(Doc().Selected(), &Doc().Root());
    QTest::mouseClick(&surface, Qt::LeftButton, {}, QPoint(32, 32));
    ASSERT_EQ(Doc().Selected(), barcode);
    QTest::keyClick(&surface, Qt::Key_Right);
    QTest::keyClick(&surface, Qt::Key_Down);
    QTest::keyClick(&surface, Qt::Key_Down);
    EXPECT_EQ(PropertyValue(barcode, "Left"), "31");
    EXPECT_EQ(PropertyValue(barcode, "Top"), "32");

    QTest::mousePress(&surface, Qt::LeftButton, {}, QPoint(302, 202));
    QTest::mouseMove(&surface, QPoint(312, 207));
    QTest::mouseRelease(&surface, Qt::LeftButton, {}, QPoint(312, 207));
    EXPECT_EQ(surface.RectOf(source).topLeft(), QPoint(310, 205));

    QTest::keyClick(&surface, Qt::Key_Delete);
    EXPECT_EQ(Doc().Root().FindComponent("DataSource1"), nullptr);
    EXPECT_EQ(Doc().Selected(), &Doc().Root());
    // The root itself is never deleted.
    QTest::keyClick(&surface, Qt::Key_Delete);
    EXPECT_EQ(Doc().Root().GetComponentCount(), 1);
}

TEST_F(DesignerTest, AboutVerbShowsItsMessageBox) {
    DropAt("TBarcode", 20, 20);
    ASSERT_EQ(Window->Verbs(), std::vector<std::string>{"&About TBarcode"});
    const std::string text = AnswerModal([&] { Window->ExecuteVerb(0); });
    EXPECT_NE(text.find("TBarcode"), std::string::npos) << text;
    // A double-click on TBarcode is the same About box.
    const std::string again = AnswerModal(
        [&] { QTest::mouseDClick(&Window->Surface(), Qt::LeftButton, {}, QPoint(22, 22)); });
    EXPECT_EQ(again, text);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(DesignerTest, BitmapComponentDoubleClickOpensItsPreviewModally) {
    DropAt("TBarcodeBmp", 20, 20);
    EXPECT_EQ(Window->Verbs(), std::vector<std::string>{"&About TBarcodeBmp"});
    const std::string title = AnswerModal([&] { Window->EditSelected(); });
    EXPECT_FALSE(title.empty());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(DesignerTest, SavedFormReopensToTheSameBytesInEitherFormat) {
    DropAt("TBarcode", 20, 20);
    DropAt("TDataSource", 200, 20);
    const std::string text = TempFile("text.dfm");
    ASSERT_TRUE(Window->SaveFile(text)) << Errors.front();
    EXPECT_FALSE(Doc().Dirty());
    const std::string written = ReadAll(text);
    EXPECT_TRUE(written.starts_with("object Form1: TForm")) << written;

    ASSERT_TRUE(Window->OpenFile(text));
    EXPECT_EQ(Doc().Root().GetComponentCount(), 2);
    EXPECT_TRUE(Doc().Root().InState(csDesigning));
    EXPECT_TRUE(Doc().Root().GetComponent(0)->InState(csDesigning));
    const std::string again = TempFile("again.dfm");
    ASSERT_TRUE(Window->SaveFile(again));
    EXPECT_EQ(ReadAll(again), written);

    // A binary file stays binary.
    const std::string binary = TempFile("binary.dfm");
    {
        std::ofstream out(binary, std::ios::binary);
        out << ObjectTextToBinary(written);
    }
    ASSERT_TRUE(Window->OpenFile(binary));
    EXPECT_EQ(Doc().Format(), TFormFileFormat::Binary);
    const std::string binaryAgain = TempFile("binary-again.dfm");
    ASSERT_TRUE(Window->SaveFile(binaryAgain));
    EXPECT_EQ(ReadAll(binaryAgain), ReadAll(binary));
}

TEST_F(DesignerTest, UnreadableFileReportsTheReaderAndOpensNothing) {
    DropAt("TBarcode", 20, 20);
    const std::string bad = TempFile("bad.dfm");
    {
        std::ofstream out(bad);
        out << "object Form1: TForm\n  object B: TNoSuchClass\n  end\nend\n";
    }
    EXPECT_FALSE(Window->OpenFile(bad));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("TNoSuchClass"), std::string::npos) << Errors[0];
    EXPECT_NE(Doc().Root().FindComponent("Barcode1"), nullptr);
    EXPECT_TRUE(Doc().Dirty());
}

TEST_F(DesignerTest, HandWrittenFormRendersAsTheCommandLineAndSavesBackUnchanged) {
    // As a user writes one from the README: every property the components store (they store
    // all of theirs), in the order the classes publish them, non-visual components with Left
    // and Top.
    const std::string text = "object LabelForm: TForm\n"
                             "  Left = 200\n"
                             "  Top = 120\n"
                             "  Caption = 'Shipping label'\n"
                             "  ClientHeight = 233\n"
                             "  ClientWidth = 412\n"
                             "  Color = clBtnFace\n"
                             "  Font.Charset = DEFAULT_CHARSET\n"
                             "  Font.Color = clWindowText\n"
                             "  Font.Height = -11\n"
                             "  Font.Name = 'MS Sans Serif'\n"
                             "  Font.Style = []\n"
                             "  OldCreateOrder = False\n"
                             "  PixelsPerInch = 96\n"
                             "  TextHeight = 13\n"
                             "  object Barcode1: TBarcode\n"
                             "    Left = 16\n"
                             "    Top = 16\n"
                             "    Width = 200\n"
                             "    Height = 80\n"
                             "    BarcodeText = 'LUMIVEX-2026'\n"
                             "    BarcodeType = bcCode128\n"
                             "    Scale = 1\n"
                             "    Interpret = True\n"
                             "    Font.Charset = DEFAULT_CHARSET\n"
                             "    Font.Color = clWindowText\n"
                             "    Font.Height = -11\n"
                             "    Font.Name = 'Courier New'\n"
                             "    Font.Style = []\n"
                             "    Rotate = bcNoRotate\n"
                             "  end\n"
                             "  object BarcodeBmp1: TBarcodeBmp\n"
                             "    Height = 50\n"
                             "    BarcodeText = '400638133393'\n"
                             "    BarcodeType = bcEAN13\n"
                             "    Font.Charset = DEFAULT_CHARSET\n"
                             "    Font.Color = clBlack\n"
                             "    Font.Height = -11\n"
                             "    Font.Name = 'Courier New'\n"
                             "    Font.Style = []\n"
                             "    Scale = 1\n"
                             "    Interpret = True\n"
                             "    Rotate = bcNoRotate\n"
                             "    Left = 240\n"
                             "    Top = 16\n"
                             "  end\n"
                             "end\n";
    const std::string form = TempFile("Labels.dfm");
    std::ofstream(form, std::ios::binary) << text;
    ASSERT_TRUE(Window->OpenFile(form)) << Errors.front();
    const std::string saved = TempFile("Labels-saved.dfm");
    ASSERT_TRUE(Window->SaveFile(saved));
    EXPECT_EQ(ReadAll(saved), text);

    const std::string dir = TempFile("labels-rendered");
    const std::string run = std::string("'") + LUMIVEX_TEST_CLI + "' form render '" + form +
                            "' -o '" + dir + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << run;
    // The control as the surface paints it, the bitmap component's bitmap.
    TComponent* barcode = Doc().Root().FindComponent("Barcode1");
    const QImage painted = Window->Surface().RenderForm().copy(Window->Surface().RectOf(barcode));
    TComponent* bmp = Doc().Root().FindComponent("BarcodeBmp1");
    auto* bitmap = dynamic_cast<TBitmap*>(bmp->ClassInfo().FindProperty("Bitmap")->GetObj(*bmp));
    ASSERT_NE(bitmap, nullptr);
    const std::pair<std::string, QImage> shown[] = {{"Barcode1", painted},
                                                    {"BarcodeBmp1", BitmapImage(*bitmap)}};
    for (const auto& [name, image] : shown) {
        QImage file;
        ASSERT_TRUE(file.load(QString::fromStdString(dir + "/" + name + ".png"))) << name;
        EXPECT_EQ(file.convertToFormat(QImage::Format_RGB32),
                  image.convertToFormat(QImage::Format_RGB32))
            << name;
    }
}

TEST(DesignerProgram, ScreenshotWritesThePictureOfTheWindow) {
    const std::string form = TempFile("shot.dfm");
    {
        std::ofstream out(form);
        out << "object Form1: TForm\n  ClientHeight = 200\n  ClientWidth = 300\n"
               "  object Barcode1: TBarcode\n    Left = 10\n    Top = 10\n    Width = 120\n"
               "    Height = 50\n    BarcodeText = 'LUMIVEX'\n  end\nend\n";
    }
    const std::string png = TempFile("shot.png");
    std::remove(png.c_str());
    const std::string program = LUMIVEX_TEST_DESIGNER;
    const std::string log = TempFile("shot.err");
    const std::string run =
        "'" + program + "' '" + form + "' --screenshot '" + png + "' 2>'" + log + "'";
    ASSERT_EQ(std::system(run.c_str()), 0) << ReadAll(log);
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png)));
    EXPECT_GT(image.width(), 300);
    EXPECT_GT(image.height(), 200);

    const std::string missing =
        "'" + program + "' '" + TempFile("none.dfm") + "' --screenshot '" + png + "' 2>/dev/null";
    EXPECT_NE(std::system(missing.c_str()), 0);
}

TEST(DesignerProgram, RefusedPackageEndsTheProgramWithItsError) {
    // A library without package information: the test program itself.
    EXPECT_THROW(TInstalledPackages("/proc/self/exe"), EPackageError);
    const std::string program = LUMIVEX_TEST_DESIGNER;
    const std::string out = TempFile("refused.txt");
    const std::string run = "'" + program + "' --package '" + program + "' --screenshot '" +
                            TempFile("refused.png") + "' 2>'" + out + "'";
    EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), 1);
    EXPECT_NE(ReadAll(out).find("package information"), std::string::npos) << ReadAll(out);
    // The registry holds the installed package still: nothing was taken back by the refusal.
    EXPECT_FALSE(GetPageComponents("Okanda").empty());
}

} // namespace lumivex::designer::test
