// The 3D view of the main window: the fixed scene, its picture through GLCamera2, field of
// view, picking through the widget, and the screenshot mode's command line.
#include "app/window/fixed_scene.h"
#include "app/window/form1.h"
#include "app/window/scene_viewer.h"
#include "app/window/screenshot.h"
#include "engine/camera.h"
#include "engine/light_source.h"
#include "engine/vector_geometry.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/shapes/dummy_cube.h"
#include "tests/window/window_test_support.h"

#include <GL/gl.h>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace hk::test {
namespace {

bool IsBackground(QRgb c) {
    return std::abs(qRed(c) - 0) <= 2 && std::abs(qGreen(c) - 64) <= 2 &&
           std::abs(qBlue(c) - 128) <= 2;
}

class SceneViewerTest : public QtTest {
protected:
    ~SceneViewerTest() override { KeepOpenGLDriverLoaded(); }
    ProgramFolder folder;
};

TEST_F(SceneViewerTest, TheWindowsFixedSceneIsSeenThroughGLCamera2) {
    TForm1 form(folder.Dir(), [](const QString&) {});
    const auto& s = form.Fixed;
    ASSERT_NE(s.DummyCube1, nullptr);
    EXPECT_TRUE(s.DummyCube1->ShowAxes());
    EXPECT_EQ(s.GLCamera1->Parent(), s.DummyCube1->Parent());
    EXPECT_FLOAT_EQ(s.GLCamera3->FocalLength(), 50);
    EXPECT_FLOAT_EQ(s.GLCamera3->DepthOfView(), 100);
    EXPECT_EQ(s.GLCamera2->Parent(), s.DummyCube1);
    EXPECT_EQ(s.GLCamera2->TargetObject(), s.DummyCube1);
    EXPECT_FLOAT_EQ(s.GLCamera2->FocalLength(), 400);
    EXPECT_FLOAT_EQ(s.GLCamera2->DepthOfView(), 1000);
    EXPECT_TRUE(VectorEquals(s.GLCamera2->WorldPosition(), TVector{15, 10, 15, 1}));
    EXPECT_EQ(s.GLLightSource3->Parent(), s.GLCamera2);
    EXPECT_EQ(s.GLLightSource3->LightID(), unsigned(GL_LIGHT0));
    EXPECT_EQ(s.GLDummyCube1->Parent(), s.DummyCube1);
    EXPECT_EQ(form.GLSceneViewer1->Camera(), s.GLCamera2);
    EXPECT_EQ(form.GLSceneViewer1->Buffer().BackgroundColor(), 8404992u);
    // The stored field of view is the camera's focal length on the design width.
    EXPECT_NEAR(s.GLCamera2->FieldOfViewFor(724), cViewerFieldOfView, 1e-3);
}

TEST_F(SceneViewerTest, TheWindowShowsTheDashedAxesOnTheBlueBackground) {
    TForm1 form(folder.Dir(), [](const QString&) {});
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QImage image = form.GLSceneViewer1->RenderToImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), form.GLSceneViewer1->size() * form.GLSceneViewer1->devicePixelRatio());
    EXPECT_TRUE(IsBackground(image.pixel(3, 3)));
    // Looking at the origin from (15, 10, 15): +y runs straight up from the centre, dashed.
    const int cx = image.width() / 2, cy = image.height() / 2;
    int green = 0, gaps = 0;
    for (int y = cy - 150; y < cy - 20; ++y) {
        QRgb best = image.pixel(cx, y);
        for (int dx = -1; dx <= 1; ++dx) {
            QRgb c = image.pixel(cx + dx, y);
            if (qGreen(c) > qGreen(best)) {
                best = c;
            }
        }
        green += qGreen(best) > 200 && qRed(best) < 60;
        gaps += IsBackground(best);
    }
    EXPECT_GT(green, 20);
    EXPECT_GT(gaps, 20);
    EXPECT_FALSE(form.Fixed.GLSphere1->Visible());
}

TEST_F(SceneViewerTest, FieldOfViewGoesThroughTheCamera) {
    TGLScene scene;
    auto* camera = scene.Objects().CreateChild<TGLCamera>();
    TGLSceneViewer viewer;
    viewer.resize(724, 794);
    EXPECT_FLOAT_EQ(viewer.FieldOfView(), 0);
    viewer.SetFieldOfView(60); // no camera: nothing
    viewer.SetCamera(camera);
    viewer.SetFieldOfView(cViewerFieldOfView);
    EXPECT_NEAR(camera->FocalLength(), 400, 0.01);
    EXPECT_NEAR(viewer.FieldOfView(), cViewerFieldOfView, 1e-3);
}

TEST_F(SceneViewerTest, APickOnTheAxisFindsTheTopDummyCube) {
    TForm1 form(folder.Dir(), [](const QString&) {});
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QImage image = form.GLSceneViewer1->RenderToImage();
    ASSERT_FALSE(image.isNull());
    const int cx = form.GLSceneViewer1->width() / 2, cy = form.GLSceneViewer1->height() / 2;
    EXPECT_EQ(form.GLSceneViewer1->PickedObjectAt(cx, cy - 100), form.Fixed.DummyCube1);
    EXPECT_EQ(form.GLSceneViewer1->PickedObjectAt(cx + 100, cy - 100), nullptr);
}

TEST(ScreenshotArguments, AcceptTheBatchOptionsAndOneFile) {
    QString error;
    auto r = ParseScreenshotArguments({"--screenshot", "out.png", "--scale", "250", "--no-init",
                                       "--rules", "r.csv", "--show-all", "plant.csv"},
                                      &error);
    ASSERT_TRUE(r.has_value()) << error.toStdString();
    EXPECT_EQ(r->output, "out.png");
    EXPECT_EQ(r->start.dataFile, "plant.csv");
    EXPECT_EQ(r->start.loadScale, "250");
    EXPECT_TRUE(r->start.noInitialise);
    EXPECT_EQ(r->start.rulesFile, "r.csv");
    EXPECT_TRUE(r->start.showAll);
}

TEST(ScreenshotArguments, RejectWhatTheModeCannotDo) {
    QString error;
    EXPECT_FALSE(ParseScreenshotArguments({"--screenshot"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ParseScreenshotArguments({"--screenshot", "a.png", "--scale", "x"}, &error));
    EXPECT_TRUE(error.contains("integer"));
    EXPECT_FALSE(ParseScreenshotArguments({"--screenshot", "a.png", "a.csv", "b.csv"}, &error));
    EXPECT_FALSE(ParseScreenshotArguments({"--screenshot", "a.png", "--collide"}, &error));
    EXPECT_FALSE(ParseScreenshotArguments({"--screenshot", "a.png", "--rules"}, &error));
    EXPECT_FALSE(ParseScreenshotArguments({"a.csv"}, &error));
}

TEST_F(SceneViewerTest, TheScreenshotModeWritesAPngAndLeavesTheSettingsAlone) {
    const QString out = folder.FilePath("shot.png");
    EXPECT_EQ(RunScreenshot({"--screenshot", out}, folder.Dir()), 0);
    QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(IsBackground(image.pixel(3, 3)));
    EXPECT_FALSE(QFileInfo::exists(folder.FilePath("hkviewer.Ini")));
    EXPECT_EQ(RunScreenshot({"--screenshot", folder.FilePath("no/such/dir/x.png")}, folder.Dir()),
              1);
}

// A drawing with its own colour rules: a plain line, whose group starts switched off, drawn
// magenta by the rules once every group is shown.
TEST_F(SceneViewerTest, TheScreenshotModeTakesTheDrawingsRulesAndShowsAllGroups) {
    folder.Write("d.csv", "2,,1,L,R,,0,S,0,0,0,0\r\n2,,0,,,,,E,3000,0,0\r\n");
    folder.Write("r.csv", "L,R,255,0,255\r\n");
    const QString out = folder.FilePath("shot.png");
    ASSERT_EQ(RunScreenshot({"--screenshot", out, "--rules", folder.FilePath("r.csv"), "--show-all",
                             folder.FilePath("d.csv")},
                            folder.Dir()),
              0);
    QImage image(out);
    ASSERT_FALSE(image.isNull());
    int magenta = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            magenta += qRed(c) > 240 && qGreen(c) < 20 && qBlue(c) > 240;
        }
    EXPECT_GT(magenta, 20);
    EXPECT_EQ(
        RunScreenshot({"--screenshot", out, "--rules", folder.FilePath("none.csv")}, folder.Dir()),
        1);
}

} // namespace
} // namespace hk::test
