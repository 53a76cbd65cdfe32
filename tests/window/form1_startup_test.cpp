// Start-up and close of the main window: the settings of the program's folder are found and
// written back, the load summary reaches the log pane, and errors are reported, not fatal.
#include "app/window/form1.h"
#include "app/window/load_notices.h"
#include "app/window/message_pane.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <memory>

namespace hk {
namespace {

class Form1StartUp : public test::QtTest {
protected:
    void SetUp() override { startDir = QDir::currentPath(); }
    void TearDown() override { QDir::setCurrent(startDir); }

    std::unique_ptr<TForm1> Open() {
        return std::make_unique<TForm1>(folder.Dir(), [this](const QString& m) { errors << m; });
    }

    QString startDir;
    test::ProgramFolder folder;
    QStringList errors;
};

TEST_F(Form1StartUp, FirstStartWithoutSettingsWritesTheDefaultsAtClose) {
    auto form = Open();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("500"));
    EXPECT_EQ(form->Document().dataFileName, "box.csv");
    EXPECT_EQ(form->Memo1->LineText(0), QStringLiteral("Script"));
    EXPECT_FALSE(QFile::exists(folder.FilePath("hkviewer.Ini")));

    form->close();
    const QByteArray ini = folder.Read("hkviewer.Ini");
    EXPECT_TRUE(ini.contains("[load]")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("filename=box.csv\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("ZScale=500\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[Name]")) << ini.toStdString();
}

TEST_F(Form1StartUp, FindsTheProgramFolderSettingsFromAnotherWorkingDirectory) {
    folder.Write("hkviewer.Ini", "[load]\r\nfilename=drawing.csv\r\nZScale=250\r\n");
    folder.Write("drawing.csv", "1,,P1,,0,100,200,300,0\r\n");
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));

    auto form = Open();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(folder.Dir()).canonicalPath());
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("250"));
    EXPECT_EQ(form->Document().dataFileName, "drawing.csv");
    EXPECT_EQ(form->Document().loadScale, 250);
    EXPECT_EQ(form->Document().PointTable.Count(), 1);
    // The load summary is shown in the log pane as readable text.
    const QString log = form->Memo2->Text();
    EXPECT_TRUE(log.startsWith(QStringLiteral("点バッファ数:1"))) << log.toStdString();
}

TEST_F(Form1StartUp, LoadScaleBoxTextIsStoredAsTypedAndReadBackAsDefault) {
    {
        auto form = Open();
        form->Edit1->setText(QStringLiteral("abc"));
        form->close();
    }
    EXPECT_TRUE(folder.Read("hkviewer.Ini").contains("ZScale=abc\r\n"));
    auto again = Open();
    EXPECT_EQ(again->Edit1->text(), QStringLiteral("500"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(Form1StartUp, CloseKeepsOtherSettingsAndWritesTheGroups) {
    folder.Write("hkviewer.Ini", "[user]\r\nkeep=1\r\n[load]\r\nfilename=d.csv\r\n");
    folder.Write("d.csv", "1,,P1,,0,1,2,3,0\r\n");
    auto form = Open();
    ASSERT_EQ(form->Document().GroupTable.Count(), 1);
    form->close();
    const QByteArray ini = folder.Read("hkviewer.Ini");
    EXPECT_TRUE(ini.contains("[user]\r\nkeep=1\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Num=1\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[1]\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("name=P1\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("filename=d.csv\r\n")) << ini.toStdString();
}

TEST_F(Form1StartUp, BadDataFileIsReportedWithFileAndLineAndTheWindowStaysUsable) {
    folder.Write("hkviewer.Ini", "[load]\r\nfilename=bad.csv\r\n");
    folder.Write("bad.csv", "1,,P1,,0,1,2,3,0\r\n1,,P2,,abc,1,2,3,0\r\n");
    auto form = Open();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("abc"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("bad.csv"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("2"))) << errors[0].toStdString();
    // Closing still writes the settings, naming the file that failed.
    form->close();
    EXPECT_TRUE(folder.Read("hkviewer.Ini").contains("filename=bad.csv\r\n"));
}

// Notices of the load stay out of the log pane, which holds the one summary line: the status
// bar counts them and "読込メッセージ" in the "ファイル" menu lists them.
TEST_F(Form1StartUp, LoadNoticesAreCountedAndListedApartFromTheLogPane) {
    folder.Write("hkviewer.Ini", "[load]\r\nfilename=d.csv\r\n");
    folder.Write("hkviewer.csv", "");
    folder.Write("d.csv", "1,,P1,,0,1,2,3,0,extra\r\n1,,P2,,0,1,2,3,0\r\n");
    auto form = Open();
    EXPECT_EQ(form->Memo2->LineCount(), 1u) << form->Memo2->Text().toStdString();
    EXPECT_TRUE(form->Memo2->Text().startsWith(QStringLiteral("点バッファ数:2")));
    EXPECT_EQ(form->LoadNotices().Count()->text(), QStringLiteral("読込メッセージ 1 件"));
    QAction* item = nullptr;
    for (QAction* a : form->N1->actions())
        if (a->text() == QStringLiteral("読込メッセージ"))
            item = a;
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_NE(form->LoadNotices().ListWindow(), nullptr);
    EXPECT_TRUE(form->LoadNotices().ListWindow()->isVisible());
    const auto* list = form->LoadNotices().ListWindow()->findChild<QPlainTextEdit*>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->toPlainText().contains(QStringLiteral("d.csv: line 1: columns after")))
        << list->toPlainText().toStdString();
}

TEST_F(Form1StartUp, UnwritableSettingsAreReportedAndTheOldFileStays) {
    // A folder where the settings file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir(folder.Dir()).mkdir(QStringLiteral("hkviewer.Ini")));
    auto form = Open();
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("500"));
    errors.clear();
    form->close();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("hkviewer.Ini"))) << errors[0].toStdString();
    EXPECT_TRUE(QFileInfo(folder.FilePath("hkviewer.Ini")).isDir());
}

TEST_F(Form1StartUp, MissingProgramFolderIsReportedNotFatal) {
    const QString gone = folder.FilePath("no-such-folder");
    TForm1 form(gone, [this](const QString& m) { errors << m; });
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(form.Document().GroupTable.Count(), 0);
}

TEST_F(Form1StartUp, MaterialScriptFillsTheSecondLibraryAndABrokenOneIsReportedOnly) {
    folder.Write("script1.txt", "Pipe materials\r\nmaterial {\r\nname=MatPipe\r\n"
                                "frontProperties {\r\n"
                                "diffuse=(1;0.2;0.4;0.6)\r\n}\r\n}\r\n\r\n}\r\n");
    folder.Write("box.csv", "1,,P1,,0,1,2,3,0\r\n");
    {
        auto form = Open();
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        ASSERT_NE(form->Fixed.GLMaterialLibrary2.LibMaterialByName("MatPipe"), nullptr);
        EXPECT_EQ(form->Fixed.GLMaterialLibrary2.Materials().Count(), 1);
        // The scripter's log follows the pane's first line.
        EXPECT_GT(form->Memo1->LineCount(), 1u);
    }

    // No closing line for the block nor the script.
    errors.clear();
    folder.Write("script1.txt", "Pipe materials\r\nmaterial {\r\nname=MatPipe\r\n");
    auto form = Open();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("script1.txt"))) << errors[0].toStdString();
    // Start-up went on: the drawing is loaded.
    EXPECT_EQ(form->Document().PointTable.Count(), 1);
}

} // namespace
} // namespace hk
