// The clash list on the real main window over a drawing with one pair of each type: the type
// and distance columns, the default filter and order, the toggles and the footer, the markers
// of the selected clash, and the settings that judge the pairs again and outlive the window.
#include "app/clash_markers.h"
#include "app/scene_builder.h"
#include "app/window/clash_list_window.h"
#include "app/window/clash_review.h"
#include "app/window/form1.h"
#include "tests/window/window_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace hk {
namespace {

// A pipe of radius 50 from one point to another.
QByteArray Pipe(double x1, double y1, double z1, double x2, double y2, double z2) {
    return QStringLiteral("2,,1,P,R,50A,50,S,%1,%2,%3,4\r\n2,,0,,,,,E,%4,%5,%6\r\n")
        .arg(x1)
        .arg(y1)
        .arg(z1)
        .arg(x2)
        .arg(y2)
        .arg(z2)
        .toLatin1();
}

class ClashListTest : public test::QtTest {
protected:
    void SetUp() override {
        startDir = QDir::currentPath();
        folder.Write(QStringLiteral("d.csv"),
                     Pipe(0, 0, 0, 1000, 0, 0) + Pipe(1000, 0, 0, 2000, 0, 0) + // joint
                         Pipe(0, 0, 5000, 1000, 0, 5000) +
                         Pipe(500, -500, 5000, 500, 500, 5000) + // axes cross: depth 100
                         Pipe(0, 0, 10000, 1000, 0, 10000) +
                         Pipe(500, -500, 10070, 500, 500, 10070) + // depth 30
                         Pipe(0, 0, 15000, 1000, 0, 15000) +
                         Pipe(500, -500, 15099.5, 500, 500, 15099.5) + // depth 0.5: touch
                         Pipe(0, 0, 20000, 1000, 0, 20000) +
                         Pipe(0, 90, 20090, 1000, 90, 20090)); // 27.3 apart, boxes meet
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(startDir);
    }

    // A new window on the drawing after one collision pass, with its list.
    TClashListWindow& Start() {
        form.reset();
        TStartOptions start;
        start.dataFile = folder.FilePath(QStringLiteral("d.csv"));
        start.showAll = true;
        form = std::make_unique<TForm1>(
            folder.Dir(), [](const QString&) {}, nullptr, start);
        Pass();
        return form->ClashReview().List();
    }
    void Pass() { EXPECT_TRUE(QMetaObject::invokeMethod(form.get(), "Timer1Timer")); }

    // "種類 距離" of each row as the list shows them.
    std::vector<std::string> Rows(TClashListWindow& list) {
        std::vector<std::string> rows;
        const QAbstractItemModel& model = *list.Table().model();
        for (int row = 0; row < model.rowCount(); ++row)
            rows.push_back((model.index(row, 2).data().toString() + QLatin1Char(' ') +
                            model.index(row, 3).data().toString())
                               .toStdString());
        return rows;
    }
    std::string Footer(TClashListWindow& list) {
        return list.findChild<QLabel*>(QStringLiteral("HiddenClashes"))->text().toStdString();
    }
    void ShowAllTypes(TClashListWindow& list, bool on) {
        for (TClashType type : {TClashType::Touch, TClashType::Connected, TClashType::Apart})
            list.ShowType(type).setChecked(on);
    }

    QString startDir;
    test::ProgramFolder folder;
    std::unique_ptr<TForm1> form;
};

TEST_F(ClashListTest, TypesFilterSortMarkAndJudgeAgainWithTheSettings) {
    TClashListWindow& list = Start();
    // Only the hard clashes and the clearance breaches, deepest first.
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"干渉 -100.0", "干渉 -30.0"}));
    EXPECT_EQ(Footer(list), "非表示 3件 (接触 1, 接続 1, 非干渉 1)");
    ShowAllTypes(list, true);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"干渉 -100.0", "干渉 -30.0", "接触 -0.5",
                                                    "接続 0.0", "非干渉 27.3"}));
    EXPECT_EQ(Footer(list), "非表示 0件");

    // The selected clash marks its closest points, the depth apart; they stay through passes
    // and come back after a reload, and go with the selection.
    const TClashMarkers& markers = form->ClashReview().Markers();
    EXPECT_FALSE(markers.Shown());
    list.Table().selectRow(0);
    ASSERT_TRUE(markers.Shown());
    const TClash clash = *list.Selected();
    const auto expectMarked = [&] {
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(markers.Points()[0][k], MapCoordinate(form->Document(), k, clash.nearA[k]),
                        1e-4);
            EXPECT_NEAR(markers.Points()[1][k], MapCoordinate(form->Document(), k, clash.nearB[k]),
                        1e-4);
        }
    };
    expectMarked();
    double apart = 0;
    for (int k = 0; k < 3; ++k)
        apart += std::pow(clash.nearA[k] - clash.nearB[k], 2);
    EXPECT_NEAR(std::sqrt(apart), 100, 1);
    Pass();
    EXPECT_TRUE(markers.Shown());
    form->Button3->click();
    Pass();
    ASSERT_TRUE(list.Selected().has_value());
    EXPECT_TRUE(markers.Shown());
    expectMarked();
    list.Table().clearSelection();
    EXPECT_FALSE(markers.Shown());

    // New settings judge the last pass again without waiting for the next one: the joint,
    // judged as any pair, touches; a clearance of 30 catches the pair 27.3 apart.
    form->ClashReview().ApplyClashSettings({20, 30, false});
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"干渉 -100.0", "干渉 -30.0", "接触 -0.5",
                                                    "接触 0.0", "離隔 27.3"}));
    list.ShowType(TClashType::Touch).setChecked(false);
    const std::vector<std::string> judgedAgain{"干渉 -100.0", "干渉 -30.0", "離隔 27.3"};
    EXPECT_EQ(Rows(list), judgedAgain);
    EXPECT_EQ(Footer(list), "非表示 2件 (接触 2)");

    // Written at close, read at the next start.
    form->close();
    Start();
    EXPECT_EQ(form->ClashReview().List().windowTitle(), QStringLiteral("衝突一覧 (5件)"));
    EXPECT_EQ(Rows(form->ClashReview().List()), judgedAgain);

    // Bad values fall back to the defaults, each with a notice naming the file and line.
    folder.Write(QStringLiteral("hkviewer.Ini"),
                 "[load]\r\nfilename=d.csv\r\n[clash]\r\ntolerance=-1\r\nclearance=x\r\n"
                 "connected=yes\r\n");
    Start();
    EXPECT_EQ(Rows(form->ClashReview().List()),
              (std::vector<std::string>{"干渉 -100.0", "干渉 -30.0"}));
    std::vector<std::string> clashNotices;
    for (const std::string& notice : form->MessageLog().Notices())
        if (notice.find("[clash]") != std::string::npos)
            clashNotices.push_back(notice);
    ASSERT_EQ(clashNotices.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(clashNotices[std::size_t(i)].find("hkviewer.Ini: line " + std::to_string(i + 4) +
                                                    ": [clash] "),
                  std::string::npos)
            << clashNotices[std::size_t(i)];
}

} // namespace
} // namespace hk
