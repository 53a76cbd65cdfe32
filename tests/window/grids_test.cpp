// The group and item grids of the main window, clicked with the mouse: toggling groups, items
// and figures, the listing per kind, the marker sphere and the two show/hide-all buttons.
#define GL_GLEXT_PROTOTYPES
#include "app/window/form1.h"
#include "app/window/grids.h"
#include "app/window/message_pane.h"
#include "app/window/scene_viewer.h"
#include "app/window/string_grid.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/shapes/dummy_cube.h"
#include "tests/window/window_test_support.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <QColorDialog>
#include <QDir>
#include <QLabel>
#include <QOpenGLContext>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace hk {
namespace {

// Group 1: a line with a diameter name (shown); 2: a point (hidden); 3: two polyline figures of
// three vertices (hidden); 4: an arc (hidden).
const QByteArray cDrawing = "2,,1,L,R,D25,10,S,0,0,0,0\r\n"
                            "2,,0,,,,,E,1000,0,0\r\n"
                            "1,,P,r,13,120.4,-350.6,0,0\r\n"
                            "2,,1,PL,R,,0,a,0,0,0,0\r\n"
                            "2,,0,,,,,b,100,0,0\r\n"
                            "2,,3,PL,R,,0,c,200,0,0,0\r\n"
                            "2,,1,PL,R,,0,d,0,500,0,0\r\n"
                            "2,,0,,,,,e,100,500,0\r\n"
                            "2,,3,PL,R,,0,f,200,500,0,0\r\n"
                            "3,,A,r,,0,0,0,0,50,1,0,0,0,0,0,0,0,0,0,0,0\r\n";

class GridsTest : public test::QtTest {
protected:
    void SetUp() override {
        startDir = QDir::currentPath();
        folder.Write("hkviewer.csv", "X,,1,2,3\r\n");
        folder.Write("box.csv", cDrawing);
        form = std::make_unique<TForm1>(folder.Dir(), [](const QString& message) {
            ADD_FAILURE() << "start-up reported: " << message.toStdString();
        });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        test::KeepOpenGLDriverLoaded();
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(startDir);
    }

    void Click(TStringGrid* grid, int col, int row) {
        grid->scrollToItem(grid->item(row, col));
        const QRect cell = grid->visualItemRect(grid->item(row, col));
        ASSERT_TRUE(cell.isValid()) << col << "," << row;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void ClickGroup(int col, int row) { Click(form->StringGrid1, col, row); }
    void ClickItem(int col, int row) { Click(form->StringGrid2, col, row); }
    int BuiltObjects() const { return form->Fixed.GLDummyCube1->Count(); }
    // Hidden items are built as hidden objects.
    int VisibleObjects() const {
        int visible = 0;
        for (int i = 0; i < BuiltObjects(); ++i)
            visible += form->Fixed.GLDummyCube1->Children(i)->Visible();
        return visible;
    }
    int LogLines() const { return static_cast<int>(form->Memo2->LineCount()); }
    QString LastLogLine() const { return form->Memo2->LineText(form->Memo2->LineCount() - 1); }
    bool MarkerShown() const { return form->Fixed.GLSphere1->Visible(); }

    QString startDir;
    test::ProgramFolder folder;
    std::unique_ptr<TForm1> form;
};

TEST_F(GridsTest, ShownColumnTwiceReturnsTheGroupAndRebuildsEachTime) {
    ASSERT_EQ(form->Document().GroupTable.Count(), 4);
    ASSERT_EQ(form->StringGrid1->Cell(1, 1), QStringLiteral("on"));
    const int shownObjects = BuiltObjects();
    ASSERT_GT(shownObjects, 0);
    ClickGroup(1, 1);
    EXPECT_EQ(form->Document().GroupTable[1].onoff, 0);
    EXPECT_EQ(form->StringGrid1->Cell(1, 1), QStringLiteral("off"));
    EXPECT_EQ(BuiltObjects(), 0);
    EXPECT_EQ(LastLogLine(), QStringLiteral("種別=:2:線 名称=L 名称=R 直径=D25 数=1/1"));
    ClickGroup(1, 1);
    EXPECT_EQ(form->Document().GroupTable[1].onoff, 1);
    EXPECT_EQ(form->StringGrid1->Cell(1, 1), QStringLiteral("on"));
    EXPECT_EQ(BuiltObjects(), shownObjects);
}

// A rebuild or a reload ("再読込") frees the old objects' display lists, buffers and textures in
// the view's own context, also when no context is current at the time, so reloads do not pile up
// names in the driver.
TEST_F(GridsTest, RebuildsAndReloadsFreeTheOldGLNamesOfTheView) {
    TGLSceneViewer& view = *form->GLSceneViewer1;
    auto namesInView = [&] {
        view.RenderToImage(); // draws, compiling the lists of the objects built
        view.MakeGLContextCurrent();
        int names = 0;
        for (GLuint name = 1; name < 4096; ++name)
            names +=
                (glIsList(name) ? 1 : 0) + (glIsBuffer(name) ? 1 : 0) + (glIsTexture(name) ? 1 : 0);
        view.GLContext()->doneCurrent();
        return names;
    };
    // The first count may also hold the coarse lists of a frame drawn while the window started.
    const int first = namesInView();
    ASSERT_GT(first, 0);
    form->Grids().RebuildScene();
    const int rebuilt = namesInView();
    EXPECT_LE(rebuilt, first);
    for (int i = 0; i < 6; ++i) {
        if (i % 2 == 0)
            form->Grids().RebuildScene();
        else
            form->Button3->click();
        EXPECT_EQ(namesInView(), rebuilt) << "after rebuild or reload " << i + 2;
    }
}

TEST_F(GridsTest, ListsPointsWithRoundedCoordinatesAndArcsNotAtAll) {
    ClickGroup(0, 2);
    EXPECT_EQ(form->StringGrid2->Cell(0, 0), QStringLiteral("No."));
    EXPECT_EQ(form->StringGrid2->Cell(3, 0), QStringLiteral("座　標"));
    EXPECT_EQ(form->StringGrid2->Cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(form->StringGrid2->Cell(3, 1), QStringLiteral("120,-351,0"));
    EXPECT_EQ(form->StringGrid2->ColWidth(3), 80);
    ClickGroup(0, 4);
    EXPECT_EQ(form->StringGrid2->RowCount(), 2);
    for (int col = 0; col < 4; ++col)
        EXPECT_TRUE(form->StringGrid2->Cell(col, 1).isEmpty()) << col;
}

TEST_F(GridsTest, FigureRowSwitchesThatFigureOnly) {
    ClickGroup(1, 3); // show the polyline group
    const int objects = VisibleObjects();
    ClickGroup(0, 3);
    ASSERT_EQ(form->StringGrid2->Cell(0, 4), QStringLiteral("4"));
    ClickItem(1, 4);
    EXPECT_EQ(form->StringGrid2->Cell(1, 4), QStringLiteral("off"));
    EXPECT_EQ(form->StringGrid2->Cell(1, 1), QStringLiteral("on"));
    const TDocument& doc = form->Document();
    for (int v = 1; v <= 3; ++v)
        EXPECT_EQ(doc.PolyTable[v].visible, 1) << v;
    for (int v = 4; v <= 6; ++v)
        EXPECT_EQ(doc.PolyTable[v].visible, 0) << v;
    EXPECT_EQ(VisibleObjects(), objects - 1);
    // The summary of the figure: one line per vertex, the last one "f".
    EXPECT_TRUE(LastLogLine().startsWith(QStringLiteral("f"))) << LastLogLine().toStdString();
    EXPECT_TRUE(MarkerShown());
}

TEST_F(GridsTest, ContinuationRowMovesTheMarkerWithoutPrinting) {
    ClickGroup(0, 1);
    EXPECT_FALSE(MarkerShown());
    const int lines = LogLines();
    ClickItem(2, 2);
    EXPECT_EQ(LogLines(), lines);
    EXPECT_TRUE(MarkerShown());
    const TDocument& doc = form->Document();
    EXPECT_FLOAT_EQ(form->Fixed.GLSphere1->Position().X(),
                    float((1000 - doc.sceneOffset[0]) / doc.loadScale));
    EXPECT_EQ(doc.LineTable[1].visible, 1);
}

TEST_F(GridsTest, ItemClickBeforeAnyGroupDoesNothing) {
    const int lines = LogLines();
    const int objects = BuiltObjects();
    ClickItem(1, 1);
    EXPECT_EQ(LogLines(), lines);
    EXPECT_EQ(BuiltObjects(), objects);
    EXPECT_FALSE(MarkerShown());
}

TEST_F(GridsTest, HideAllThenShowAllLeavesEveryGroupOn) {
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    EXPECT_EQ(BuiltObjects(), 0);
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(form->StringGrid1->Cell(1, r), QStringLiteral("off")) << r;
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(form->Document().GroupTable[r].onoff, 1) << r;
        EXPECT_EQ(form->StringGrid1->Cell(1, r), QStringLiteral("on")) << r;
    }
    EXPECT_GT(BuiltObjects(), 0);
}

TEST_F(GridsTest, ColourColumnStoresAConfirmedColourOnly) {
    QTimer::singleShot(0, form.get(), [this] {
        form->ColorDialog1()->setCurrentColor(QColor(10, 20, 30));
        form->ColorDialog1()->accept();
    });
    ClickGroup(3, 1);
    const GroupEntry& g = form->Document().GroupTable[1];
    EXPECT_EQ(g.Red, 10);
    EXPECT_EQ(g.Green, 20);
    EXPECT_EQ(g.Blue, 30);
    QTimer::singleShot(0, form.get(), [this] {
        form->ColorDialog1()->setCurrentColor(QColor(99, 99, 99));
        form->ColorDialog1()->reject();
    });
    ClickGroup(3, 1);
    EXPECT_EQ(g.Red, 10);
    EXPECT_EQ(g.Blue, 30);
}

// The colour dialog runs the event loop: a reload there replaces the groups under it, and the
// confirmed colour still reaches the group (the sanitizer build checks no stale one is written).
TEST_F(GridsTest, ColourConfirmedAfterAReloadReachesTheReloadedGroup) {
    QTimer::singleShot(0, form.get(), [this] {
        form->Button3->click(); // "再読込", as the watch would
        form->ColorDialog1()->setCurrentColor(QColor(40, 50, 60));
        form->ColorDialog1()->accept();
    });
    ClickGroup(3, 1);
    const GroupEntry& g = form->Document().GroupTable[1];
    EXPECT_EQ(g.Red, 40);
    EXPECT_EQ(g.Green, 50);
    EXPECT_EQ(g.Blue, 60);
}

TEST_F(GridsTest, PanelClicksShowAndHideTheMarker) {
    QTest::mouseClick(form->Panel1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(MarkerShown());
    QTest::mouseClick(form->Panel2, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(MarkerShown());
    // A label passes its clicks to the panel, yet it is no free area.
    QWidget* label = form->Label1;
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(MarkerShown());
}

} // namespace
} // namespace hk
