// Frames through a camera: background, placement, dashed axes, projection numbers, lights,
// empty viewports, re-entry and OpenGL errors.
#include "engine/gl_error.h"
#include "engine/light_source.h"
#include "engine/vector_geometry.h"
#include "tests/render/gl_rig.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace hk::test {
namespace {

using RGB = std::array<int, 3>;

bool Near(const RGB& a, const RGB& b, int tolerance = 2) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

const RGB cBackground{0, 64, 128};

TEST(RenderFrame, ClearsToTheBackgroundColour) {
    GLRig rig(64, 48);
    HK_REQUIRE_GL(rig);
    rig.buffer.RenderFrame();
    EXPECT_TRUE(Near(rig.Pixel(0, 0), cBackground));
    EXPECT_TRUE(Near(rig.Pixel(63, 47), cBackground));
    EXPECT_EQ(rig.buffer.FrameCount(), 1);
    EXPECT_GT(rig.buffer.FramesPerSecond(), 0);
}

TEST(RenderFrame, AnObjectAppearsWhereTheCameraSaysAndMovesWithIt) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    // Focal length 50 on 101 pixels: the view is 2 * 10 * (0.5 / near) wide at distance 10.
    rig.AddSquare(0.8f, 0, 0, 0.2f, {1, 1, 0, 1});
    rig.buffer.RenderFrame();
    const double nearPlane = 50 * 2 * 96 / (25.4 * 101);
    const double halfView = 10 * 0.5 / nearPlane;
    const int column = int(50.5 + 0.8 / halfView * 50.5);
    EXPECT_TRUE(Near(rig.Pixel(column, 50), {255, 255, 0}));
    EXPECT_TRUE(Near(rig.Pixel(101 - column, 50), cBackground));
    // Moving the camera to the right moves the object to the left of the picture.
    rig.camera->Position().SetPoint(1.6f, 0, 10);
    rig.buffer.RenderFrame();
    EXPECT_TRUE(Near(rig.Pixel(101 - column, 50), {255, 255, 0}));
    EXPECT_TRUE(Near(rig.Pixel(column, 50), cBackground));
}

TEST(RenderFrame, AxesAreDashedLinesInTheirColours) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    auto* axes = rig.scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    axes->SetShowAxes(true);
    rig.buffer.RenderFrame();
    int red = 0, darkRed = 0, gaps = 0;
    for (int x = 52; x < 100; ++x) {
        RGB p = rig.Pixel(x, 50);
        red += Near(p, {255, 0, 0}, 3);
        gaps += Near(p, cBackground);
    }
    for (int x = 1; x < 49; ++x) {
        darkRed += Near(rig.Pixel(x, 50), {128, 0, 0}, 3);
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(gaps, 10) << "the line should be dashed";
    EXPECT_GT(darkRed, 10);
    int green = 0;
    for (int y = 1; y < 49; ++y) {
        green += Near(rig.Pixel(50, y), {0, 255, 0}, 3);
    }
    EXPECT_GT(green, 10) << "+y points up the picture";
}

TEST(RenderFrame, ProjectionOfTheViewersWindow) {
    GLRig rig(724, 794);
    HK_REQUIRE_GL(rig);
    rig.camera->SetFocalLength(400);
    rig.camera->SetDepthOfView(1000);
    rig.buffer.RenderFrame();
    const double expectedNear = 400.0 * 2 * 96 / (25.4 * 794);
    EXPECT_NEAR(rig.camera->NearPlane(), expectedNear, 1e-4);
    EXPECT_NEAR(expectedNear, 3.808, 1e-3);
    const TMatrix& p = rig.buffer.ProjectionMatrix();
    const double n = p[3][2] / (p[2][2] - 1), f = p[3][2] / (p[2][2] + 1);
    EXPECT_NEAR(n, expectedNear, 1e-3);
    EXPECT_NEAR(f, expectedNear + 1000, 0.5);
    // Half-width over near: width / (2 * max side) on the horizontal axis.
    EXPECT_NEAR(p[0][0], 2 * n / (2 * 724.0 / (2 * 794.0)), 1e-3);
}

TEST(RenderFrame, ZeroSizeKeepsAOnePixelViewportAndEmptyProjectionIsSkipped) {
    GLRig rig(32, 32);
    HK_REQUIRE_GL(rig);
    rig.buffer.SetViewportSize(0, 0);
    EXPECT_EQ(rig.buffer.Width(), 1);
    EXPECT_EQ(rig.buffer.Height(), 1);
    rig.buffer.RenderFrame();
    EXPECT_EQ(rig.buffer.FrameCount(), 1);
    rig.buffer.RenderingContext()->Activate();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    rig.camera->ApplyProjection({0, 0, 0, 0}, 0, 0, 96);
    TMatrix m;
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    rig.buffer.RenderingContext()->Deactivate();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(VectorEquals(m[i], IdentityHmgMatrix[i]));
    }
}

TEST(RenderFrame, ALightThatDoesNotShineLeavesItsUnitOff) {
    GLRig rig(16, 16);
    HK_REQUIRE_GL(rig);
    auto* on = rig.camera->CreateChild<TGLLightSource>();
    auto* off = rig.camera->CreateChild<TGLLightSource>();
    off->SetShining(false);
    rig.buffer.RenderFrame();
    rig.buffer.RenderingContext()->Activate();
    EXPECT_TRUE(glIsEnabled(on->LightID()));
    EXPECT_FALSE(glIsEnabled(off->LightID()));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    GLfloat cutOff = 0;
    glGetLightfv(on->LightID(), GL_SPOT_CUTOFF, &cutOff);
    EXPECT_FLOAT_EQ(cutOff, 180);
    rig.buffer.RenderingContext()->Deactivate();
}

TEST(RenderFrame, ALitSquareFacingTheLightIsBright) {
    GLRig rig(33, 33);
    HK_REQUIRE_GL(rig);
    rig.buffer.SetLighting(true);
    rig.camera->Position().SetPoint(0, 0, 40); // the near plane of a small window is far out
    rig.camera->CreateChild<TGLLightSource>(); // at the camera, like the viewer's light
    rig.AddSquare(0, 0, 0, 1, {1, 1, 1, 1});
    rig.buffer.RenderFrame();
    // Default material diffuse 0.8 under a white light straight on, plus 0.2 * 0.2 ambient.
    RGB p = rig.Pixel(16, 16);
    EXPECT_GT(p[0], 180);
    static_cast<TGLLightSource*>(rig.scene.Lights()[0])->SetShining(false);
    rig.buffer.RenderFrame();
    EXPECT_LT(rig.Pixel(16, 16)[0], 80);
}

TEST(RenderFrame, RenderingFlagBlocksReentryAndChangeNotices) {
    GLRig rig(16, 16);
    HK_REQUIRE_GL(rig);
    int changes = 0;
    rig.buffer.OnChange = [&](TGLSceneBuffer*) { ++changes; };
    rig.buffer.BeforeRender = [&](TGLSceneBuffer* b) {
        b->RenderFrame();                          // ignored
        rig.camera->Position().SetPoint(0, 0, 11); // change during the frame: not forwarded
    };
    rig.buffer.RenderFrame();
    EXPECT_EQ(rig.buffer.FrameCount(), 1);
    EXPECT_EQ(changes, 0);
    rig.buffer.BeforeRender = nullptr;
    rig.camera->Position().SetPoint(0, 0, 12);
    EXPECT_EQ(changes, 1);
}

TEST(RenderFrame, AnOpenGLErrorIsReportedAndReleasesTheFrame) {
    GLRig rig(16, 16);
    HK_REQUIRE_GL(rig);
    rig.buffer.PostRender = [](TGLSceneBuffer*) { glEnable(0x7FFF); };
    try {
        rig.buffer.RenderFrame();
        FAIL() << "no exception";
    } catch (const EOpenGLError& e) {
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_FALSE(rig.buffer.Rendering());
    EXPECT_FALSE(rig.buffer.RenderingContext()->Active());
    rig.buffer.PostRender = nullptr;
    rig.buffer.RenderFrame();
    EXPECT_TRUE(Near(rig.Pixel(1, 1), cBackground));
}

TEST(RenderFrame, OnlyDepthIsClearedWhenColourClearIsOff) {
    GLRig rig(16, 16);
    HK_REQUIRE_GL(rig);
    rig.buffer.RenderFrame();
    rig.buffer.SetContextOptions({roNoColorBufferClear});
    rig.buffer.SetBackgroundColor(0x000000FF); // red, never cleared to
    rig.buffer.RenderFrame();
    EXPECT_TRUE(Near(rig.Pixel(3, 3), cBackground));
}

TEST(RenderFrame, ASecondBufferOnTheSceneSharesTheFirstOnesLists) {
    GLRig rig(16, 16);
    HK_REQUIRE_GL(rig);
    rig.buffer.RenderFrame();
    TGLSceneBuffer second;
    auto* firstContext = static_cast<TGLXContext*>(rig.buffer.RenderingContext());
    second.OnSetupContext = [firstContext](TGLSceneBuffer*, TGLContext& c) {
        static_cast<TGLXContext&>(c).ShareFromCreation(firstContext);
    };
    second.SetViewportSize(16, 16);
    second.SetCamera(rig.camera);
    second.CreateContext(rig.device, true);
    second.RenderFrame();
    EXPECT_TRUE(firstContext->SharesListsWith(second.RenderingContext()));
    EXPECT_EQ(rig.scene.Buffers().size(), 2u);
}

} // namespace
} // namespace hk::test
