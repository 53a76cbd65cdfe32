// Navigation and picking on the real main window: synthesized mouse, wheel and key events on
// the 3D view, the details a click prints, the view controls and the marker blink.
#include "app/details.h"
#include "app/scene_builder.h"
#include "app/sjis.h"
#include "app/window/form1.h"
#include "app/window/message_pane.h"
#include "app/window/scene_viewer.h"
#include "app/window/view_input.h"
#include "engine/camera.h"
#include "engine/custom_scene_object.h"
#include "engine/scene.h"
#include "engine/vector_geometry.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/shapes/dummy_cube.h"
#include "primitives/shapes/lines.h"
#include "tests/window/window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

namespace hk {
namespace {

// One thick pipe (radius 0.5 in the scene) from (-4, 0, 2) to (4, 0, 2), away from the axes;
// its item comes from data-file line 2.
const QByteArray cDrawing = "2,,1,L,R,D25,250,S,0,0,1000,0\r\n"
                            "2,,0,,,,,E,4000,0,1000\r\n";
constexpr int cPipeLine = 2;

void ExpectNear(const TAffineVector& a, const TAffineVector& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

class ViewInputTest : public test::QtTest {
protected:
    void SetUp() override {
        startDir = QDir::currentPath();
        folder.Write("box.csv", drawing);
        form = std::make_unique<TForm1>(folder.Dir(), [](const QString& message) {
            ADD_FAILURE() << "reported: " << message.toStdString();
        });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        test::KeepOpenGLDriverLoaded();
        view = form->GLSceneViewer1;
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(startDir);
    }

    TGLCamera& Camera() { return *form->Fixed.GLCamera2; }
    TAffineVector CameraPosition() { return Camera().Position().GetXYZ(); }
    TViewNavigator& Navigator() { return form->findChild<TViewInput*>("ViewInput")->Navigator(); }

    // A pixel of the view where a pick finds the object built from data-file line `lineNo`,
    // searched in rings around the centre.
    QPoint PixelOf(int lineNo) {
        const QPoint centre = view->rect().center();
        for (int r = 0; r < 300; r += 6) {
            for (int dx = -r; dx <= r; dx += 6) {
                for (int dy = -r; dy <= r; dy += 6) {
                    if (std::max(std::abs(dx), std::abs(dy)) != r) {
                        continue;
                    }
                    const QPoint p = centre + QPoint(dx, dy);
                    auto* hit =
                        dynamic_cast<TGLCustomSceneObject*>(view->PickedObjectAt(p.x(), p.y()));
                    if (hit != nullptr && hit->Tag() == lineNo) {
                        return p;
                    }
                }
            }
        }
        ADD_FAILURE() << "no pixel shows line " << lineNo;
        return centre;
    }

    void Move(QPoint p, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = {}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(view->mapToGlobal(p)), Qt::NoButton,
                         buttons, keys);
        QApplication::sendEvent(view, &move);
    }
    // Press at `from`, move to `to` with the button and keys held, release.
    void Drag(Qt::MouseButton button, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {}) {
        QTest::mousePress(view, button, keys, from);
        Move(to, button, keys);
        QTest::mouseRelease(view, button, keys, to);
    }
    void WheelNotch(int delta) {
        const QPoint p = view->rect().center();
        QWheelEvent wheel(QPointF(p), QPointF(view->mapToGlobal(p)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
    }
    QStringList LogLines() const { return form->Memo2->Text().split(QLatin1Char('\n')); }

    QByteArray drawing = cDrawing;
    QString startDir;
    test::ProgramFolder folder;
    std::unique_ptr<TForm1> form;
    TGLSceneViewer* view = nullptr;
};

TEST_F(ViewInputTest, LeftDragTenPixelsRightOrbitsByATurnOfMinusTen) {
    TGLScene reference;
    auto* rig = reference.Objects().CreateChild<TGLBaseSceneObject>();
    auto* camera = rig->CreateChild<TGLCamera>();
    camera->SetTargetObject(rig);
    const TAffineVector start = CameraPosition();
    camera->Position().SetPoint(start.x, start.y, start.z);
    camera->OrbitTarget(0, -10);

    Drag(Qt::LeftButton, {40, 40}, {50, 40});
    ExpectNear(CameraPosition(), camera->Position().GetXYZ());
}

TEST_F(ViewInputTest, ClickOnAnObjectPicksItAndPrintsItsDetails) {
    const QPoint p = PixelOf(cPipeLine);
    TMemoryLog expected;
    ASSERT_GT(ShowPickDetails(form->Document(), cPipeLine, expected), 0);
    const int before = int(LogLines().size());

    QTest::mouseClick(view, Qt::LeftButton, {}, p);
    ASSERT_NE(Navigator().PickedObject(), nullptr);
    EXPECT_EQ(Navigator().PickedObject()->Tag(), cPipeLine);
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), before + int(expected.Lines().size()));
    EXPECT_EQ(lines.back().toStdString(), SjisToUtf8(expected.Lines().back()));

    // A press on empty space keeps the pick and prints nothing.
    QTest::mouseClick(view, Qt::LeftButton, {}, {2, 2});
    EXPECT_EQ(Navigator().PickedObject()->Tag(), cPipeLine);
    EXPECT_EQ(LogLines().size(), lines.size());
}

TEST_F(ViewInputTest, ShiftLeftDragTurnsThePickedObjectOnly) {
    const QPoint p = PixelOf(cPipeLine);
    Drag(Qt::LeftButton, p, p, Qt::ShiftModifier);
    TGLBaseSceneObject* picked = Navigator().PickedObject();
    ASSERT_NE(picked, nullptr);
    const TAffineVector position = picked->Position().GetXYZ();
    const TAffineVector scale = picked->Scale().GetXYZ();
    const TAffineVector direction = picked->Direction().GetXYZ();
    const TAffineVector camera = CameraPosition();

    Drag(Qt::LeftButton, p, p + QPoint(20, 5), Qt::ShiftModifier);
    ExpectNear(CameraPosition(), camera);
    ExpectNear(picked->Position().GetXYZ(), position);
    ExpectNear(picked->Scale().GetXYZ(), scale);
    EXPECT_GT(VectorLength(VectorSubtract(picked->Direction().GetXYZ(), direction)), 0.1f);
}

TEST_F(ViewInputTest, RightDragPansButNotWithShiftHeld) {
    const TAffineVector camera = CameraPosition();
    Drag(Qt::RightButton, {40, 40}, {60, 70}, Qt::ShiftModifier);
    ExpectNear(form->Fixed.GLDummyCube1->Position().GetXYZ(), {0, 0, 0});
    ExpectNear(CameraPosition(), camera);

    Drag(Qt::RightButton, {40, 40}, {60, 70});
    EXPECT_GT(VectorLength(form->Fixed.GLDummyCube1->Position().GetXYZ()), 0.01f);
    ExpectNear(CameraPosition(), camera);
}

TEST_F(ViewInputTest, RightDragInPickModeMovesThePickedObject) {
    const QPoint p = PixelOf(cPipeLine);
    form->RadioButton1->click();
    ASSERT_TRUE(form->RadioButton1->isChecked());
    QTest::mouseClick(view, Qt::RightButton, {}, p);
    TGLBaseSceneObject* picked = Navigator().PickedObject();
    ASSERT_NE(picked, nullptr);
    const TAffineVector before = picked->Position().GetXYZ();
    Drag(Qt::RightButton, p, p + QPoint(15, 0));
    EXPECT_GT(VectorLength(VectorSubtract(picked->Position().GetXYZ(), before)), 0.01f);
    ExpectNear(form->Fixed.GLDummyCube1->Position().GetXYZ(), {0, 0, 0});
    // The picked object is still under the mouse after the drag.
    auto* hit = dynamic_cast<TGLCustomSceneObject*>(view->PickedObjectAt(p.x() + 15, p.y()));
    EXPECT_EQ(hit, picked);
}

TEST_F(ViewInputTest, TwoWheelNotchesAwayMultiplyTheTargetDistanceBy121) {
    const float before = Camera().TargetDistance();
    WheelNotch(120);
    WheelNotch(120);
    EXPECT_NEAR(Camera().TargetDistance(), before * 1.21f, 1e-3f);
    WheelNotch(-120);
    EXPECT_NEAR(Camera().TargetDistance(), before * 1.1f, 1e-3f);
}

TEST_F(ViewInputTest, KeysOneThenThreeRestoreTheView) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    view->setFocus();
    TGLBaseSceneObject* rig = form->Fixed.DummyCube1;
    const TAffineVector up = rig->Up().GetXYZ();
    const TAffineVector direction = rig->Direction().GetXYZ();
    QTest::keyClick(view, Qt::Key_1);
    EXPECT_GT(VectorLength(VectorSubtract(rig->Up().GetXYZ(), up)), 0.1f);
    QTest::keyClick(view, Qt::Key_3);
    ExpectNear(rig->Up().GetXYZ(), up);
    ExpectNear(rig->Direction().GetXYZ(), direction);

    // A number typed into the load-scale box stays there.
    form->Edit1->setFocus();
    form->Edit1->clear();
    QTest::keyClick(form->Edit1, Qt::Key_9);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("9"));
    ExpectNear(rig->Up().GetXYZ(), up);
}

TEST_F(ViewInputTest, SlidersSetTheSurfaceAlphaAndTheMarkerRadius) {
    TGLSphere& marker = *form->Fixed.GLSphere1;
    EXPECT_FLOAT_EQ(marker.Radius(), 0.05f);
    form->TrackBar2->setValue(80);
    EXPECT_FLOAT_EQ(marker.Radius(), 0.8f);

    TGLLibMaterial* surface = form->Fixed.GLMaterialLibrary1.Materials().Items(0);
    ASSERT_NE(surface, nullptr);
    form->TrackBar1->setValue(250);
    EXPECT_FLOAT_EQ(surface->Material().FrontProperties().Diffuse().Alpha(), 0.25f);
}

TEST_F(ViewInputTest, HiddenMarkerDoesNotBlinkAndAShownOneDoes) {
    TGLSphere& marker = *form->Fixed.GLSphere1;
    ASSERT_FALSE(marker.Visible());
    const float red = marker.Material().FrontProperties().Ambient().Red();
    QTest::qWait(450);
    EXPECT_EQ(marker.Material().FrontProperties().Ambient().Red(), red);
    EXPECT_TRUE(form->Timer3->isActive());

    marker.SetVisible(true);
    QTest::qWait(450);
    const float now = marker.Material().FrontProperties().Ambient().Red();
    EXPECT_TRUE(now == 0 || now == 1) << now;
    EXPECT_TRUE(form->Timer3->isActive());
}

TEST_F(ViewInputTest, AReloadDropsThePickSoLaterDragsTouchNothing) {
    const QPoint p = PixelOf(cPipeLine);
    form->RadioButton1->click();
    QTest::mouseClick(view, Qt::LeftButton, {}, p);
    ASSERT_NE(Navigator().PickedObject(), nullptr);
    form->Button3->click();
    EXPECT_EQ(Navigator().PickedObject(), nullptr);
    const TAffineVector camera = CameraPosition();
    Move(p + QPoint(10, 10), Qt::LeftButton, Qt::ShiftModifier);
    Move(p + QPoint(20, 20), Qt::RightButton);
    ExpectNear(CameraPosition(), camera);
    EXPECT_EQ(form->Fixed.GLDummyCube1->Count(), 1);
}

// Thin objects: a plain line (lines 1 and 2) and a dimension of kind 10 (line 3) whose
// dimension line runs from (0, -600, 0) to (4000, -600, 0); their groups start switched off.
const QByteArray cThinDrawing = "2,,1,P,Q,,0,S,0,400,0,0\r\n"
                                "2,,0,,,,,E,4000,400,0\r\n"
                                "10,,W,DIM,,,0,-200,0,4000,-200,0,0,-600,0,4000,-600,0,0\r\n";

class ThinObjectPickTest : public ViewInputTest {
protected:
    void SetUp() override {
        drawing = cThinDrawing;
        ViewInputTest::SetUp();
        form->Button1->click(); // "全件表示"
        ASSERT_EQ(form->Fixed.GLDummyCube1->Count(), 3) << "line, dimension line, caption";
        ASSERT_FALSE(view->RenderToImage().isNull()); // a frame sets the matrices used here
    }
    // The view pixel onto which the last frame projected a data-file point.
    QPoint ViewPixelOf(double x, double y, double z) {
        const TDocument& doc = form->Document();
        const TAffineVector local = AffineVectorMake(
            MapCoordinate(doc, 0, x), MapCoordinate(doc, 1, y), MapCoordinate(doc, 2, z));
        const TAffineVector world = AffineTransform(local, form->Fixed.GLDummyCube1->WorldMatrix());
        TGLSceneBuffer& buffer = view->Buffer();
        const TVector clip =
            TransformVector(TransformVector(VectorMake(world, 1), buffer.ModelViewMatrix()),
                            buffer.ProjectionMatrix());
        const TRectangle& vp = buffer.Viewport();
        const double ratio = view->devicePixelRatioF();
        const double px = vp.Left + (clip.x / clip.w + 1) / 2 * vp.Width;
        const double py = vp.Top + (clip.y / clip.w + 1) / 2 * vp.Height;
        return {int(std::floor(px / ratio)), int(std::floor((vp.Height - py) / ratio))};
    }
};

// The pixel of the line drawn nearest to where the data-file point projects: white on the
// blue background.
QPoint DrawnPixelNear(const QImage& frame, QPoint p) {
    QPoint best(-1, -1);
    for (int r = 0; r <= 3 && best.x() < 0; ++r)
        for (int dx = -r; dx <= r; ++dx)
            for (int dy = -r; dy <= r; ++dy) {
                const QRgb c = frame.pixel(p + QPoint(dx, dy));
                if (best.x() < 0 && qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200)
                    best = p + QPoint(dx, dy);
            }
    return best;
}

// A click on a drawn line, or on any pixel next to it, picks the line, as it picks a solid.
TEST_F(ThinObjectPickTest, ClicksOnAndBesideAPlainLineOrADimensionLinePickThem) {
    const QImage frame = view->RenderToImage();
    for (const QPoint projected : {ViewPixelOf(1000, 400, 0), ViewPixelOf(1000, -600, 0)}) {
        const QPoint drawn = DrawnPixelNear(frame, projected);
        ASSERT_GE(drawn.x(), 0) << "no line drawn near " << projected.x() << "," << projected.y();
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const QPoint p = drawn + QPoint(dx, dy);
                EXPECT_NE(dynamic_cast<TGLLines*>(view->PickedObjectAt(p.x(), p.y())), nullptr)
                    << "at " << p.x() << "," << p.y();
            }
    }
}

// A dimension's line object carries the dimension's index; its pick prints the dimension's
// own line, data-file line 3, not the items of data-file line 1. A plain line prints its own.
TEST_F(ThinObjectPickTest, PickingADimensionLinePrintsThatDimension) {
    const QPoint drawn = DrawnPixelNear(view->RenderToImage(), ViewPixelOf(1000, -600, 0));
    ASSERT_GE(drawn.x(), 0);
    TMemoryLog expected;
    ASSERT_EQ(ShowPickDetails(form->Document(), 3, expected), 1);
    QTest::mouseClick(view, Qt::LeftButton, {}, drawn);
    ASSERT_NE(dynamic_cast<TGLLines*>(Navigator().PickedObject()), nullptr);
    EXPECT_EQ(LogLines().back().toStdString(), SjisToUtf8(expected.Lines().back()));

    const QPoint plain = DrawnPixelNear(view->RenderToImage(), ViewPixelOf(1000, 400, 0));
    ASSERT_GE(plain.x(), 0);
    TMemoryLog line;
    ASSERT_EQ(ShowPickDetails(form->Document(), 2, line), 1);
    QTest::mouseClick(view, Qt::LeftButton, {}, plain);
    EXPECT_EQ(LogLines().back().toStdString(), SjisToUtf8(line.Lines().back()));
}

// The sample drawing shipped with the program: something in it can be picked, and its
// details are printed.
TEST_F(ViewInputTest, AnItemOfTheSampleDrawingCanBePicked) {
    form.reset();
    for (const char* name : {"box.csv", "hkviewer.csv", "script1.txt", "pump.3ds"}) {
        QFile sample(QStringLiteral(HK_TEST_DATA_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly)) << name;
        folder.Write(QLatin1String(name), sample.readAll());
    }
    form = std::make_unique<TForm1>(folder.Dir(), [](const QString&) {});
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    view = form->GLSceneViewer1;
    ASSERT_GT(form->Fixed.GLDummyCube1->Count(), 0);

    QPoint found(-1, -1);
    for (int y = 4; y < view->height() && found.x() < 0; y += 12) {
        for (int x = 4; x < view->width() && found.x() < 0; x += 12) {
            auto* hit = dynamic_cast<TGLCustomSceneObject*>(view->PickedObjectAt(x, y));
            if (hit != nullptr && hit->Tag() > 0 && LineHasItems(form->Document(), hit->Tag())) {
                found = QPoint(x, y);
            }
        }
    }
    ASSERT_GE(found.x(), 0) << "nothing of the drawing can be picked";
    const int before = int(LogLines().size());
    QTest::mouseClick(view, Qt::LeftButton, {}, found);
    ASSERT_NE(Navigator().PickedObject(), nullptr);
    TMemoryLog expected;
    const int printed =
        ShowPickDetails(form->Document(), Navigator().PickedObject()->Tag(), expected);
    EXPECT_EQ(int(LogLines().size()), before + printed);
}

} // namespace
} // namespace hk
