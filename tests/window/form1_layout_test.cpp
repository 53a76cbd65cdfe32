// The main window's controls: captions, positions, sizes, ranges and start values.
#include "app/window/collision_lamp.h"
#include "app/window/form1.h"
#include "app/window/message_pane.h"
#include "app/window/scene_viewer.h"
#include "app/window/string_grid.h"
#include "tests/window/window_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace hk {
namespace {

class Form1Layout : public test::QtTest {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(folder.Dir(), [](const QString& message) {
            ADD_FAILURE() << "start-up reported: " << message.toStdString();
        });
        form->show();
        QApplication::processEvents();
        test::KeepOpenGLDriverLoaded();
    }
    void TearDown() override { QDir::setCurrent(startDir); }

    template <class W> W* Find(const char* name) const {
        return form->findChild<W*>(QString::fromLatin1(name));
    }

    QString startDir = QDir::currentPath();
    test::ProgramFolder folder;
    std::unique_ptr<TForm1> form;
};

QString CaptionOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        return l->text();
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        return g->title();
    }
    return {};
}

struct PlacedControl {
    const char* name;
    const char* parent;
    int x, y, w, h; // w or h of 0: not fixed by the design
    const char* caption;
};

TEST_F(Form1Layout, ControlsSitWhereTheDesignPutsThem) {
    const PlacedControl table[] = {
        {"Shape1", "Panel1", 88, 10, 25, 25, nullptr},
        {"Label1", "Panel1", 8, 8, 0, 0, "Collision test:"},
        {"LATime", "Panel1", 8, 24, 73, 13, "LATime"},
        {"RadioGroup1", "Panel1", 8, 56, 0, 0, nullptr},
        {"StringGrid1", "Panel1", 8, 168, 185, 561, nullptr},
        {"Button1", "Panel1", 8, 736, 0, 0, "全件表示"},
        {"Button2", "Panel1", 104, 736, 0, 0, "全件非表示"},
        {"TrackBar1", "Panel1", 0, 760, 193, 0, nullptr},
        {"CheckBox1", "Panel1", 144, 8, 0, 0, "衝突"},
        {"GroupBox1", "Panel2", 8, 8, 161, 105, "描　画"},
        {"Label2", "GroupBox1", 16, 28, 0, 0, "読込縮尺"},
        {"Edit1", "GroupBox1", 80, 24, 65, 0, nullptr},
        {"CheckBox2", "GroupBox1", 15, 48, 0, 0, "初期化"},
        {"CheckBox3", "GroupBox1", 79, 48, 0, 0, "自動更新"},
        {"Button3", "GroupBox1", 16, 72, 0, 0, "再読込"},
        {"Button4", "GroupBox1", 80, 72, 0, 0, "ファイル指定"},
        {"Memo1", "Panel2", 8, 120, 161, 49, nullptr},
        {"StringGrid2", "Panel2", 8, 176, 161, 561, nullptr},
        {"RadioButton1", "Panel2", 15, 744, 0, 0, "Pick"},
        {"TrackBar2", "Panel2", 88, 740, 0, 0, nullptr},
    };
    for (const PlacedControl& c : table) {
        SCOPED_TRACE(c.name);
        const QWidget* w = Find<QWidget>(c.name);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(c.parent));
        EXPECT_EQ(w->pos(), QPoint(c.x, c.y));
        if (c.w > 0) {
            EXPECT_EQ(w->width(), c.w);
        }
        if (c.h > 0) {
            EXPECT_EQ(w->height(), c.h);
        }
        // Controls must fit inside their panel or group box.
        EXPECT_LE(w->geometry().right(), w->parentWidget()->width());
        if (c.caption) {
            EXPECT_EQ(CaptionOf(w), QString::fromUtf8(c.caption));
        }
    }
}

TEST_F(Form1Layout, WindowPanelsAndPanesHaveTheirSizes) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("配管配筋ビューワー"));
    EXPECT_EQ(form->size(), QSize(1127, 972));
    EXPECT_EQ(Find<QWidget>("Panel1")->width(), 201);
    EXPECT_EQ(Find<QWidget>("Panel2")->width(), 176);
    EXPECT_EQ(Find<QWidget>("Splitter1")->width(), 4);
    EXPECT_EQ(Find<QWidget>("Memo2")->height(), 94);

    // Left to right: left panel, 3D view filling the middle, right panel, splitter at the edge.
    const QWidget* panel1 = Find<QWidget>("Panel1");
    const QWidget* view = Find<QWidget>("GLSceneViewer1");
    const QWidget* panel2 = Find<QWidget>("Panel2");
    const QWidget* splitter = Find<QWidget>("Splitter1");
    EXPECT_EQ(view->x(), panel1->geometry().right() + 1);
    EXPECT_EQ(panel2->x(), view->geometry().right() + 1);
    EXPECT_EQ(splitter->x(), panel2->geometry().right() + 1);
    EXPECT_EQ(view->width(), 1127 - 2 * 3 - 201 - 176 - 4);

    // The log pane spans the window below the panels, and the status bar sits under it.
    const QWidget* log = Find<QWidget>("Memo2");
    EXPECT_EQ(log->y(), panel1->geometry().bottom() + 1);
    EXPECT_EQ(log->width(), 1127 - 2 * 3);
    EXPECT_EQ(Find<TMessagePane>("Memo2")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Find<TMessagePane>("Memo1")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_GT(form->statusBar()->geometry().top(), log->mapTo(form.get(), QPoint(0, 0)).y());

    // The view clears to RGB (0, 64, 128).
    EXPECT_EQ(form->GLSceneViewer1->Buffer().BackgroundColor(), 0x804000u);
}

TEST_F(Form1Layout, FontsFallBackToAJapaneseFace) {
    EXPECT_EQ(form->font().families().value(0), QStringLiteral("MS UI Gothic"));
    EXPECT_EQ(form->font().pixelSize(), 11);
    const QString family = QFontInfo(form->font()).family();
    EXPECT_TRUE(family.contains(QStringLiteral("Gothic"))) << family.toStdString();

    const QFont logFont = Find<QWidget>("Memo2")->font();
    EXPECT_EQ(logFont.families().value(0), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_TRUE(QFontInfo(logFont).family().contains(QStringLiteral("Gothic")));
    // Captions inherit the form font.
    EXPECT_EQ(Find<QWidget>("Button1")->font().pixelSize(), 11);
}

TEST_F(Form1Layout, SlidersCheckBoxesAndEditStartAsDesigned) {
    struct Slider {
        const char* name;
        int min, max, position, step;
    };
    for (const Slider& s :
         {Slider{"TrackBar1", 0, 1000, 900, 1}, Slider{"TrackBar2", 40, 100, 50, 40}}) {
        SCOPED_TRACE(s.name);
        const QSlider* bar = Find<QSlider>(s.name);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), s.min);
        EXPECT_EQ(bar->maximum(), s.max);
        EXPECT_EQ(bar->value(), s.position);
        EXPECT_EQ(bar->singleStep(), s.step);
    }
    struct Check {
        const char* name;
        bool checked;
    };
    for (const Check& c :
         {Check{"CheckBox1", false}, Check{"CheckBox2", true}, Check{"CheckBox3", false}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Find<QCheckBox>(c.name)->isChecked(), c.checked);
    }
    EXPECT_FALSE(Find<QRadioButton>("RadioButton1")->isChecked());
}

TEST_F(Form1Layout, HiddenModeGroupListsTheFiveModesWithFacesChosen) {
    const QGroupBox* group = Find<QGroupBox>("RadioGroup1");
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->isVisible());
    const auto buttons = group->findChildren<QRadioButton*>();
    const char* const names[] = {"cbmPoint", "cbmSphere", "cbmEllipsoid", "cbmCube", "cbmFaces"};
    ASSERT_EQ(buttons.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(buttons[i]->text(), QString::fromLatin1(names[i]));
    }
    EXPECT_EQ(form->RadioGroup1ItemIndex(), 4);
}

// After start-up with no groups both grids hold their header row and one empty row, with the
// column widths the grid fill gives them over the default width of 28.
TEST_F(Form1Layout, GridsHaveTheirShapeAfterStartUp) {
    struct Grid {
        const char* name;
        std::vector<int> widths;
    };
    for (const Grid& g :
         {Grid{"StringGrid1", {40, 28, 28, 28, 40}}, Grid{"StringGrid2", {28, 20, 36, 80}}}) {
        SCOPED_TRACE(g.name);
        const TStringGrid* grid = Find<TStringGrid>(g.name);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->DefaultColWidth(), 28);
        EXPECT_EQ(grid->DefaultRowHeight(), 18);
        EXPECT_EQ(grid->FixedCols(), 1);
        EXPECT_EQ(grid->FixedRows(), 1);
        ASSERT_EQ(grid->ColCount(), static_cast<int>(g.widths.size()));
        for (int col = 0; col < grid->ColCount(); ++col) {
            EXPECT_EQ(grid->ColWidth(col), g.widths[col]) << "column " << col;
        }
        EXPECT_EQ(grid->RowCount(), 2);
        for (int row = 0; row < grid->RowCount(); ++row) {
            EXPECT_EQ(grid->rowHeight(row), 18) << "row " << row;
        }
    }
}

TEST_F(Form1Layout, MenusTimersAndDialogs) {
    const QList<QAction*> entries = form->menuBar()->actions();
    ASSERT_EQ(entries.size(), 3);
    const char* const titles[] = {"ファイル", "衝突", "設定"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i]->text(), QString::fromUtf8(titles[i]));
        ASSERT_NE(entries[i]->menu(), nullptr);
    }
    ASSERT_FALSE(entries[0]->menu()->actions().isEmpty());
    EXPECT_EQ(entries[0]->menu()->actions().last()->text(), QStringLiteral("読込メッセージ"));
    // The status bar's one label counts the load notices.
    const QList<QLabel*> labels = form->statusBar()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->objectName(), QStringLiteral("LoadNoticeCount"));
    // The clash list and the fit-all command, with their keys.
    const auto hasCommand = [](const QMenu& menu, const char* text, const QKeySequence& keys) {
        for (const QAction* a : menu.actions())
            if (a->text() == QString::fromUtf8(text) && a->shortcut() == keys)
                return true;
        return false;
    };
    EXPECT_TRUE(hasCommand(*entries[1]->menu(), "衝突一覧", QKeySequence(Qt::CTRL | Qt::Key_L)));
    EXPECT_TRUE(hasCommand(*entries[2]->menu(), "全体表示", QKeySequence(Qt::Key_Home)));

    struct Timer {
        const char* name;
        int interval;
        bool active;
    };
    for (const Timer& t :
         {Timer{"Timer1", 100, false}, Timer{"Timer2", 2000, true}, Timer{"Timer3", 200, true}}) {
        SCOPED_TRACE(t.name);
        const QTimer* timer = Find<QTimer>(t.name);
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), t.interval);
        EXPECT_EQ(timer->isActive(), t.active);
    }

    EXPECT_EQ(form->findChild<QObject*>(QStringLiteral("ColorDialog1")), nullptr);
    EXPECT_EQ(form->ColorDialog1(), form->ColorDialog1());
    EXPECT_EQ(form->OpenDialog1(), form->OpenDialog1());
    EXPECT_NE(form->findChild<QObject*>(QStringLiteral("OpenDialog1")), nullptr);
}

TEST_F(Form1Layout, LampPaintsItsColour) {
    TCollisionLamp* lamp = Find<TCollisionLamp>("Shape1");
    ASSERT_NE(lamp, nullptr);
    lamp->SetFillColor(Qt::red);
    const QImage image = lamp->grab().toImage();
    EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::red));
    // Outside the circle, at the corner, the panel shows through.
    EXPECT_NE(image.pixelColor(0, 0), QColor(Qt::red));
}

} // namespace
} // namespace hk
