// The reload controls on the real main window: the watch tick with "自動更新", broken and
// deleted data files during a watch, "再読込", and "ファイル指定" with its dialog.
#include "app/window/file_actions.h"
#include "app/window/form1.h"
#include "app/window/message_pane.h"
#include "app/window/string_grid.h"
#include "primitives/shapes/dummy_cube.h"
#include "tests/window/window_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

namespace hk {
namespace {

const QByteArray cOnePipe = "2,,1,L,R,D25,250,S,0,0,1000,0\r\n"
                            "2,,0,,,,,E,4000,0,1000\r\n";
const QByteArray cTwoPipes = cOnePipe + "2,,1,M,R,D25,250,S,0,500,0,0\r\n"
                                        "2,,0,,,,,E,4000,500,0\r\n";
// A size column that does not convert, on line 3.
const QByteArray cBroken = cOnePipe + "1,,P,r,1x,0,0,0,0\r\n";

class FileActionsTest : public test::QtTest {
protected:
    void SetUp() override {
        startDir = QDir::currentPath();
        Save(cOnePipe, 1700000000);
        form = std::make_unique<TForm1>(folder.Dir(),
                                        [this](const QString& message) { errors << message; });
        form->OpenDialog1()->setOption(QFileDialog::DontUseNativeDialog);
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        ASSERT_EQ(BuiltObjects(), 1);
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(startDir);
    }

    // Writes box.csv with the given last-write time (seconds since 1970).
    void Save(const QByteArray& bytes, long seconds, const QString& name = "box.csv") {
        folder.Write(name, bytes);
        const QByteArray path = QFile::encodeName(folder.FilePath(name));
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    }
    void Tick() { ASSERT_TRUE(QMetaObject::invokeMethod(form.get(), "Timer2Timer")); }
    int BuiltObjects() const { return form->Fixed.GLDummyCube1->Count(); }
    // Runs `act` on the file dialog once it is shown, then clicks "ファイル指定".
    void ChooseWith(std::function<void(QFileDialog&)> act) {
        QTimer::singleShot(0, form.get(), [this, act] { act(*form->OpenDialog1()); });
        form->Button4->click();
    }

    QString startDir;
    test::ProgramFolder folder;
    QStringList errors;
    std::unique_ptr<TForm1> form;
};

TEST_F(FileActionsTest, WatchReloadsOnceAfterAutoUpdateIsTickedThenOnEachSave) {
    Save(cTwoPipes, 1700000000);
    Tick();
    EXPECT_EQ(BuiltObjects(), 1);
    EXPECT_TRUE(form->Timer2->isActive());

    form->CheckBox3->setChecked(true);
    Tick();
    EXPECT_EQ(BuiltObjects(), 2);
    EXPECT_TRUE(form->Timer2->isActive());

    // Unchanged since: no reload, so a change made to the scene since stays.
    form->Fixed.GLDummyCube1->FreeChildren();
    Tick();
    EXPECT_EQ(BuiltObjects(), 0);

    Save(cOnePipe, 1700000005);
    Tick();
    EXPECT_EQ(BuiltObjects(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// The watch meets a save half-written: nothing interrupts the user, the status bar names the
// file and line, and the finished save is shown once it has settled.
TEST_F(FileActionsTest, HalfWrittenSaveGoesToTheStatusBarAndTheFinishedOneLoads) {
    form->CheckBox3->setChecked(true);
    Save(cTwoPipes, 1700000000);
    Tick();
    ASSERT_EQ(BuiltObjects(), 2);

    Save(cBroken, 1700000003);
    Tick();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const QString status = form->StatusBar1->currentMessage();
    EXPECT_TRUE(status.contains(QStringLiteral("box.csv: line 3: '1x'"))) << status.toStdString();
    EXPECT_EQ(form->MessageLog().Notices().size(), 1u);
    EXPECT_EQ(BuiltObjects(), 2);
    EXPECT_EQ(form->Document().LineTable.Count(), 2);
    EXPECT_TRUE(form->Timer2->isActive());

    Save(cOnePipe, 1700000006);
    Tick();
    EXPECT_EQ(BuiltObjects(), 2) << "still settling";
    QTest::qWait(static_cast<int>(cWatchSettleSeconds * 1000) + 300);
    EXPECT_EQ(BuiltObjects(), 1);
    EXPECT_TRUE(form->StatusBar1->currentMessage().isEmpty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(FileActionsTest, DeletedDataFileIsNotRecreated) {
    form->CheckBox3->setChecked(true);
    Tick();
    ASSERT_TRUE(QFile::remove(folder.FilePath("box.csv")));
    Tick();
    Tick();
    EXPECT_FALSE(QFile::exists(folder.FilePath("box.csv")));
    EXPECT_EQ(BuiltObjects(), 1);
    EXPECT_TRUE(form->Timer2->isActive());
    form->Button3->click();
    EXPECT_FALSE(QFile::exists(folder.FilePath("box.csv")));
    EXPECT_EQ(BuiltObjects(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(FileActionsTest, ReloadButtonRebuildsAndTheWatchDoesNotRepeatIt) {
    Save(cTwoPipes, 1700000002);
    form->Button3->click();
    EXPECT_EQ(BuiltObjects(), 2);
    EXPECT_TRUE(form->Timer2->isActive());
    form->CheckBox3->setChecked(true);
    form->Fixed.GLDummyCube1->FreeChildren();
    Tick();
    EXPECT_EQ(BuiltObjects(), 0);
}

TEST_F(FileActionsTest, DialogOffersTheDataFileFilters) {
    ChooseWith([](QFileDialog& dialog) { dialog.reject(); });
    QFileDialog& dialog = *form->OpenDialog1();
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("csv"));
    EXPECT_EQ(dialog.nameFilters(), QStringList({QStringLiteral("csv file (*.csv)"),
                                                 QStringLiteral("DLINE.csv (dline.csv)")}));
}

TEST_F(FileActionsTest, CancelledDialogChangesNothing) {
    const std::string name = form->Document().dataFileName;
    const double time = form->Document().fileTime;
    const QString log = form->Memo2->Text();
    ChooseWith([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(form->Document().dataFileName, name);
    EXPECT_EQ(form->Document().fileTime, time);
    EXPECT_EQ(form->Memo2->Text(), log);
    EXPECT_EQ(BuiltObjects(), 1);
    EXPECT_TRUE(form->Timer2->isActive());
}

TEST_F(FileActionsTest, ChosenFileWithoutInitialiseKeepsTheOldGroupsWithCountZero) {
    Save("1,,P,r,13,0,0,0,0\r\n", 1700000000, "other.csv");
    form->CheckBox2->setChecked(false);
    const QString other = folder.FilePath("other.csv");
    ChooseWith([other](QFileDialog& dialog) {
        dialog.selectFile(other);
        static_cast<QDialog&>(dialog).accept();
    });
    const TDocument& doc = form->Document();
    EXPECT_EQ(QFile::decodeName(doc.dataFileName.c_str()), other);
    ASSERT_EQ(doc.GroupTable.Count(), 2);
    EXPECT_EQ(doc.GroupTable[1].name, "L");
    EXPECT_EQ(doc.GroupTable[1].itemCount, 0);
    EXPECT_EQ(doc.GroupTable[2].name, "P");
    EXPECT_EQ(doc.GroupTable[2].itemCount, 1);
    EXPECT_EQ(doc.LineTable.Count(), 0);
    EXPECT_EQ(form->StringGrid1->rowCount(), 3);
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(FileActionsTest, ChosenBrokenFileWithInitialiseKeepsTheDrawing) {
    Save(cBroken, 1700000000, "broken.csv");
    ASSERT_TRUE(form->CheckBox2->isChecked());
    const QString broken = folder.FilePath("broken.csv");
    ChooseWith([broken](QFileDialog& dialog) {
        dialog.selectFile(broken);
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(BuiltObjects(), 1);
    ASSERT_EQ(form->Document().GroupTable.Count(), 1);
    EXPECT_EQ(form->Document().GroupTable[1].name, "L");
}

} // namespace
} // namespace hk
