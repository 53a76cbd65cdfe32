// Reports and approvals on the real main window over the sample drawing: approving hides rows
// and counts them in the list's title, the approvals outlive the window, and a BCF exported
// from the window carries a snapshot per topic.
#include "app/window/clash_approval_proxy.h"
#include "app/window/clash_list_window.h"
#include "app/window/clash_reports.h"
#include "app/window/clash_review.h"
#include "app/window/form1.h"
#include "tests/window/window_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QStatusBar>
#include <QTableView>
#include <gtest/gtest.h>
#include <zip.h>

#include <memory>

namespace hk {
namespace {

class ClashReportsTest : public test::QtTest {
protected:
    void SetUp() override {
        startDir = QDir::currentPath();
        for (const char* name : {"box.csv", "pump.3ds", "hkviewer.csv", "script1.txt"})
            QFile::copy(QStringLiteral(HK_TEST_DATA_DIR "/") + name, folder.FilePath(name));
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(startDir);
    }

    // A new window on the sample after one collision pass, with its list.
    TClashListWindow& Start() {
        form.reset();
        form = std::make_unique<TForm1>(folder.Dir(), [](const QString&) {});
        EXPECT_TRUE(QMetaObject::invokeMethod(form.get(), "Timer1Timer"));
        reports = form->findChild<TClashReports*>(QStringLiteral("ClashReports"));
        // Every type shown: the sample's joint and its pair apart too.
        TClashListWindow& list = form->ClashReview().List();
        for (TClashType type : {TClashType::Touch, TClashType::Connected, TClashType::Apart})
            list.ShowType(type).setChecked(true);
        return list;
    }
    void SelectRows(TClashListWindow& list, std::initializer_list<int> rows) {
        list.Table().clearSelection();
        for (int row : rows)
            list.Table().selectionModel()->select(list.Table().model()->index(row, 0),
                                                  QItemSelectionModel::Select |
                                                      QItemSelectionModel::Rows);
    }

    QString startDir;
    test::ProgramFolder folder;
    std::unique_ptr<TForm1> form;
    TClashReports* reports = nullptr;
};

// The names of a zip's entries that end with suffix, with their first bytes.
std::vector<std::string> EntriesEndingWith(const std::string& path, const std::string& suffix) {
    std::vector<std::string> heads;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    for (zip_int64_t i = 0; archive && i < zip_get_num_entries(archive, 0); ++i) {
        const std::string name = zip_get_name(archive, zip_uint64_t(i), 0);
        if (!name.ends_with(suffix))
            continue;
        std::string head(8, '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        head.resize(std::size_t(std::max<zip_int64_t>(0, zip_fread(file, head.data(), 8))));
        zip_fclose(file);
        heads.push_back(head);
    }
    if (archive)
        zip_close(archive);
    return heads;
}

TEST_F(ClashReportsTest, ApprovalsHideRowsOutliveTheWindowAndReachTheReports) {
    TClashListWindow& list = Start();
    ASSERT_NE(reports, nullptr);
    ASSERT_EQ(list.ViewRowCount(), 6);
    EXPECT_EQ(list.windowTitle(), QStringLiteral("衝突一覧 (6件)"));

    SelectRows(list, {1, 3});
    reports->ApproveSelected(QStringLiteral("施工で回避"));
    EXPECT_EQ(list.ViewRowCount(), 4);
    EXPECT_EQ(list.windowTitle(), QStringLiteral("衝突一覧 (6件) 承認済 2"));
    ASSERT_TRUE(QFile::exists(folder.FilePath("box.clash.json")));

    // A BCF from the window: a topic per clash, each with the picture of its framed clash.
    const std::string bcf = folder.FilePath("r.bcf").toStdString();
    ASSERT_EQ(reports->Export(bcf), "");
    const auto snapshots = EntriesEndingWith(bcf, "/snapshot.png");
    EXPECT_EQ(snapshots.size(), 6u);
    for (const std::string& head : snapshots)
        EXPECT_EQ(head, "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(EntriesEndingWith(bcf, "/markup.bcf").size(), 6u);

    // Started again, the window still hides the two; shown, they are marked and can be taken
    // back.
    TClashListWindow& again = Start();
    EXPECT_EQ(again.ViewRowCount(), 4);
    EXPECT_EQ(again.windowTitle(), QStringLiteral("衝突一覧 (6件) 承認済 2"));
    again.findChild<QCheckBox*>(QStringLiteral("ShowApproved"))->setChecked(true);
    ASSERT_EQ(again.ViewRowCount(), 6);
    int marked = 0;
    for (int row = 0; row < 6; ++row) {
        if (again.Table().model()->index(row, 1).data().toString().endsWith(
                QStringLiteral(" 承認済"))) {
            ++marked;
            SelectRows(again, {row});
        }
    }
    EXPECT_EQ(marked, 2);
    reports->RevokeSelected();
    EXPECT_EQ(again.windowTitle(), QStringLiteral("衝突一覧 (6件) 承認済 1"));

    // A damaged approvals file is named in the status bar, hides nothing and is kept as a
    // backup by the next approval.
    folder.Write("box.clash.json", "{\"approved\": [");
    TClashListWindow& damaged = Start();
    EXPECT_EQ(damaged.ViewRowCount(), 6);
    EXPECT_TRUE(form->StatusBar1->currentMessage().contains(QStringLiteral("box.clash.json")));
    SelectRows(damaged, {0});
    reports->ApproveSelected(QString());
    EXPECT_EQ(folder.Read("box.clash.json.bak"), QByteArray("{\"approved\": ["));
    EXPECT_EQ(damaged.ViewRowCount(), 5);
}

} // namespace
} // namespace hk
