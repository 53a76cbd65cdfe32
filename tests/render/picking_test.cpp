// Picking in selection mode: background, depth order, hidden and semi-transparent objects, the
// growing selection buffer, the vertical flip and axes.
#include "engine/custom_scene_object.h"
#include "engine/material.h"
#include "engine/picking.h"
#include "tests/render/gl_rig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace hk::test {
namespace {

constexpr TColorVector cWhite{1, 1, 1, 1};

// A square with a material of its own, so that blending applies to it.
class TGlassSquare : public TGLCustomSceneObject {
public:
    void EmitGeometry(TRenderContextInfo&) override {
        glBegin(GL_QUADS);
        glVertex3f(-0.5f, -0.5f, 0);
        glVertex3f(0.5f, -0.5f, 0);
        glVertex3f(0.5f, 0.5f, 0);
        glVertex3f(-0.5f, 0.5f, 0);
        glEnd();
    }
};

TEST(Picking, BackgroundGivesNone) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    rig.AddSquare(0, 0, 0, 0.2f, cWhite);
    EXPECT_EQ(rig.buffer.PickedObjectAt(5, 5), nullptr);
    EXPECT_NE(rig.buffer.PickedObjectAt(50, 50), nullptr);
}

TEST(Picking, TheNearerOfTwoWinsWhateverTheDrawingOrder) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    auto* farFirst = rig.AddSquare(0, 0, -1, 0.5f, cWhite);
    auto* nearSecond = rig.AddSquare(0, 0, 2, 0.5f, cWhite);
    auto* farThird = rig.AddSquare(0, 0, -3, 0.5f, cWhite);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 50), nearSecond);
    std::unique_ptr<TGLPickList> hits = rig.buffer.PickRegion({49, 49, 51, 51});
    ASSERT_EQ(hits->Count(), 3);
    EXPECT_EQ(hits->Hit(1), farFirst);
    EXPECT_EQ(hits->Hit(2), farThird);
    EXPECT_LT(hits->Record(0).ZMin, hits->Record(1).ZMin);
    EXPECT_GE(hits->Record(0).ZMin, 0);
    EXPECT_LE(hits->Record(2).ZMax, 1);
}

TEST(Picking, AHiddenObjectIsNeverPicked) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    auto* back = rig.AddSquare(0, 0, 0, 0.5f, cWhite);
    auto* front = rig.AddSquare(0, 0, 1, 0.5f, cWhite);
    front->SetVisible(false);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 50), back);
    back->SetVisible(false);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 50), nullptr);
}

TEST(Picking, ASemiTransparentObjectPicksLikeAnOpaqueOne) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    auto* glass = rig.scene.Objects().CreateChild<TGlassSquare>();
    glass->Material().SetBlendingMode(bmTransparency);
    glass->Material().FrontProperties().Diffuse().SetAlpha(0.1f);
    ASSERT_TRUE(glass->IsBlended());
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 50), glass);
}

TEST(Picking, MoreThanSixtyFourObjectsAreAllReported) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    std::vector<TGLBaseSceneObject*> stack;
    for (int i = 0; i < 150; ++i) {
        stack.push_back(rig.AddSquare(0, 0, -float(i) * 0.01f, 0.5f, cWhite));
    }
    std::unique_ptr<TGLPickList> hits = rig.buffer.PickRegion({49, 49, 51, 51});
    ASSERT_EQ(hits->Count(), 150);
    EXPECT_EQ(hits->Hit(0), stack.front());
    EXPECT_EQ(hits->Hit(149), stack.back());
}

TEST(Picking, TheTopRowMapsToTheTopPixelRow) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    const double halfView = 10 * 0.5 / (50 * 2 * 96 / (25.4 * 101));
    auto* top = rig.AddSquare(0, float(halfView) - 0.05f, 0, 0.1f, cWhite);
    auto* bottom = rig.AddSquare(0, -float(halfView) + 0.05f, 0, 0.1f, cWhite);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 0), top);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 100), bottom);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 50), nullptr);
}

TEST(Picking, AxesPickTheirObjectAndCamerasAndLightsNever) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    auto* cube = rig.scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    cube->SetShowAxes(true);
    std::unique_ptr<TGLPickList> hits = rig.buffer.PickRegion({70, 48, 80, 52});
    ASSERT_EQ(hits->Count(), 1);
    EXPECT_EQ(hits->Hit(0), cube);
}

TEST(Picking, APickLeavesTheNextFrameUnaffected) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    rig.AddSquare(0, 0, 0, 0.2f, cWhite);
    rig.buffer.RenderFrame();
    const TMatrix before = rig.buffer.ProjectionMatrix();
    rig.buffer.PickedObjectAt(50, 50);
    EXPECT_EQ(0, std::memcmp(before.data(), rig.buffer.ProjectionMatrix().data(), 64));
    EXPECT_FALSE(rig.buffer.Rendering());
    rig.buffer.RenderFrame();
    EXPECT_EQ(rig.Pixel(50, 50), (std::array<int, 3>{255, 255, 255}));
}

TEST(Picking, WithoutCameraThereAreNoHits) {
    GLRig rig(101, 101);
    HK_REQUIRE_GL(rig);
    rig.AddSquare(0, 0, 0, 0.5f, cWhite);
    rig.buffer.SetCamera(nullptr);
    EXPECT_EQ(rig.buffer.PickedObjectAt(50, 50), nullptr);
}

} // namespace
} // namespace hk::test
