// Navigation of the 3D view without a window: which input does what to the camera, the rig, the
// model root and the picked object, the picked object's lifetime, and the view controls.
#include "app/navigation.h"

#include "engine/camera.h"
#include "engine/custom_scene_object.h"
#include "engine/material_library.h"
#include "engine/scene.h"
#include "engine/vector_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace hk {
namespace {

void ExpectNear(const TAffineVector& a, const TAffineVector& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

void ExpectNear(const TMatrix& a, const TMatrix& b, float tolerance = 1e-4f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a[r][c], b[r][c], tolerance) << r << "," << c;
        }
    }
}

TEST(DragActionTest, ButtonsAndKeysChooseTheOperation) {
    using A = TDragAction;
    EXPECT_EQ(DragActionFor({ssLeft}, false, false), A::daOrbit);
    EXPECT_EQ(DragActionFor({ssLeft, ssCtrl}, false, false), A::daOrbit);
    EXPECT_EQ(DragActionFor({ssLeft, ssRight}, true, true), A::daOrbit);
    EXPECT_EQ(DragActionFor({ssLeft, ssShift}, false, true), A::daRotatePicked);
    EXPECT_EQ(DragActionFor({ssLeft, ssShift}, false, false), A::daNone);
    EXPECT_EQ(DragActionFor({ssRight}, false, false), A::daPan);
    EXPECT_EQ(DragActionFor({ssRight}, true, true), A::daDragPicked);
    EXPECT_EQ(DragActionFor({ssRight}, true, false), A::daNone);
    // The right button pans only alone.
    EXPECT_EQ(DragActionFor({ssRight, ssShift}, false, true), A::daNone);
    EXPECT_EQ(DragActionFor({ssRight, ssCtrl}, false, true), A::daNone);
    EXPECT_EQ(DragActionFor({ssRight, ssMiddle}, false, true), A::daNone);
    EXPECT_EQ(DragActionFor({ssMiddle}, false, true), A::daNone);
    EXPECT_EQ(DragActionFor({}, true, true), A::daNone);
    EXPECT_EQ(DragActionFor({ssShift}, true, true), A::daNone);
}

TEST(KeyTurnTest, SixNumberKeysTurnFifteenDegrees) {
    TAffineVector a{};
    ASSERT_TRUE(KeyTurnAngles('1', a));
    ExpectNear(a, {0, 0, -15});
    ASSERT_TRUE(KeyTurnAngles('3', a));
    ExpectNear(a, {0, 0, 15});
    ASSERT_TRUE(KeyTurnAngles('4', a));
    ExpectNear(a, {0, -15, 0});
    ASSERT_TRUE(KeyTurnAngles('6', a));
    ExpectNear(a, {0, 15, 0});
    ASSERT_TRUE(KeyTurnAngles('7', a));
    ExpectNear(a, {-15, 0, 0});
    ASSERT_TRUE(KeyTurnAngles('9', a));
    ExpectNear(a, {15, 0, 0});
    a = {1, 2, 3};
    for (char key : {'0', '2', '5', '8', 'a', ' '}) {
        EXPECT_FALSE(KeyTurnAngles(key, a)) << key;
    }
    ExpectNear(a, {1, 2, 3});
}

TEST(WheelTest, OneNotchIsTenPercent) {
    EXPECT_NEAR(WheelDistanceFactor(120), 1.1f, 1e-6f);
    EXPECT_NEAR(WheelDistanceFactor(-120), 1 / 1.1f, 1e-6f);
    EXPECT_NEAR(WheelDistanceFactor(240), 1.21f, 1e-5f);
    EXPECT_EQ(WheelDistanceFactor(0), 1.0f);
    // Fine-grained wheels send parts of a notch.
    EXPECT_NEAR(WheelDistanceFactor(60), std::sqrt(1.1f), 1e-6f);
}

TEST(ScreenPlaneOffsetTest, FollowsTheMouseInThePlaneFacingTheCamera) {
    const TAffineVector camera{15, 10, 15};
    const TAffineVector n = VectorNormalize(camera);
    // Screen right of a camera that looks at the origin with the Y axis up.
    const TAffineVector right = VectorNormalize(VectorCrossProduct({0, 1, 0}, n));

    // The mouse 10 pixels to the right: dx = -10.
    const TAffineVector toRight = ScreenPlaneOffset(camera, -10, 0, 0.5f);
    EXPECT_NEAR(VectorLength(toRight), 5, 1e-4f);
    EXPECT_NEAR(VectorDotProduct(toRight, right), 5, 1e-4f);
    EXPECT_NEAR(VectorDotProduct(toRight, n), 0, 1e-4f);

    // The mouse up: dy > 0 moves the object up on the screen.
    const TAffineVector up = ScreenPlaneOffset(camera, 0, 4, 0.5f);
    EXPECT_NEAR(VectorLength(up), 2, 1e-4f);
    EXPECT_GT(up.y, 0);
    EXPECT_NEAR(VectorDotProduct(up, n), 0, 1e-4f);
    EXPECT_NEAR(VectorDotProduct(up, right), 0, 1e-4f);
}

TEST(ScreenPlaneOffsetTest, CameraStraightAboveGivesNoOffset) {
    ExpectNear(ScreenPlaneOffset({0, 5, 0}, 10, 10, 1), {0, 0, 0});
    ExpectNear(ScreenPlaneOffset({0, -5, 0}, 10, 10, 1), {0, 0, 0});
    ExpectNear(ScreenPlaneOffset({0, 0, 0}, 10, 10, 1), {0, 0, 0});
}

// The main window's rig: the camera and the model root under the rig, the camera looking at it.
class NavigatorTest : public ::testing::Test {
protected:
    static TGLCamera* MakeCamera(TGLBaseSceneObject* rig) {
        auto* camera = rig->CreateChild<TGLCamera>();
        camera->Position().SetPoint(15, 10, 15);
        camera->SetTargetObject(rig);
        camera->SetFocalLength(400);
        camera->SetDepthOfView(1000);
        return camera;
    }
    static TGLCustomSceneObject* MakeItem(TGLBaseSceneObject* modelRoot) {
        auto* item = modelRoot->CreateChild<TGLCustomSceneObject>();
        item->Position().SetPoint(1, 2, 3);
        item->Scale().SetVector(2, 2, 2);
        return item;
    }

    TAffineVector CameraPosition() const { return camera->Position().GetXYZ(); }

    TGLScene scene;
    TGLBaseSceneObject* rig = scene.Objects().CreateChild<TGLBaseSceneObject>();
    TGLCamera* camera = MakeCamera(rig);
    TGLBaseSceneObject* modelRoot = rig->CreateChild<TGLBaseSceneObject>();
    TGLCustomSceneObject* item = MakeItem(modelRoot);
    TViewNavigator nav{{rig, camera, modelRoot}};
};

TEST_F(NavigatorTest, LeftDragToTheRightOrbitsByANegativeTurn) {
    auto* expected = rig->CreateChild<TGLCamera>();
    expected->Position().SetPoint(15, 10, 15);
    expected->SetTargetObject(rig);
    expected->OrbitTarget(0, -10);

    nav.MouseDown(nullptr, 100, 50);
    EXPECT_EQ(nav.MouseMove({ssLeft}, 110, 50), TDragAction::daOrbit);
    ExpectNear(CameraPosition(), expected->Position().GetXYZ());
    EXPECT_EQ(nav.LastX(), 110);
    // The distance to the target is kept.
    EXPECT_NEAR(VectorLength(CameraPosition()), VectorLength(TAffineVector{15, 10, 15}), 1e-3f);
}

TEST_F(NavigatorTest, LeftDragUpOrbitsByAPositivePitch) {
    auto* expected = rig->CreateChild<TGLCamera>();
    expected->Position().SetPoint(15, 10, 15);
    expected->SetTargetObject(rig);
    expected->OrbitTarget(7, 0);
    nav.MouseDown(nullptr, 100, 50);
    nav.MouseMove({ssLeft}, 100, 43);
    ExpectNear(CameraPosition(), expected->Position().GetXYZ());
}

TEST_F(NavigatorTest, ShiftLeftDragTurnsOnlyThePickedObject) {
    EXPECT_EQ(nav.MouseDown(item, 10, 10), item);
    const TAffineVector cameraBefore = CameraPosition();
    const TAffineVector direction = item->Direction().GetXYZ();

    EXPECT_EQ(nav.MouseMove({ssLeft, ssShift}, 30, 10), TDragAction::daRotatePicked);
    ExpectNear(CameraPosition(), cameraBefore);
    ExpectNear(item->Position().GetXYZ(), {1, 2, 3});
    ExpectNear(item->Scale().GetXYZ(), {2, 2, 2});
    EXPECT_GT(VectorLength(VectorSubtract(item->Direction().GetXYZ(), direction)), 0.1f);
}

TEST_F(NavigatorTest, ShiftLeftDragWithoutAPickDoesNothing) {
    nav.MouseDown(nullptr, 10, 10);
    const TAffineVector cameraBefore = CameraPosition();
    EXPECT_EQ(nav.MouseMove({ssLeft, ssShift}, 30, 10), TDragAction::daNone);
    ExpectNear(CameraPosition(), cameraBefore);
    EXPECT_EQ(nav.LastX(), 30);
}

TEST_F(NavigatorTest, RightDragPansTheModelRootInTheWorldXYPlane) {
    nav.MouseDown(nullptr, 10, 10);
    const TAffineVector cameraBefore = CameraPosition();
    const float distance = camera->TargetDistance();
    EXPECT_EQ(nav.MouseMove({ssRight}, 13, 14), TDragAction::daPan);
    const TAffineVector moved = modelRoot->Position().GetXYZ();
    EXPECT_NEAR(moved.z, 0, 1e-6f);
    EXPECT_NEAR(VectorLength(moved), 5 * distance * 0.12f / 400, 1e-5f);
    ExpectNear(CameraPosition(), cameraBefore);
    ExpectNear(item->Position().GetXYZ(), {1, 2, 3});
}

TEST_F(NavigatorTest, RightDragWithShiftDoesNothing) {
    nav.MouseDown(item, 10, 10);
    nav.SetPickMode(true);
    EXPECT_EQ(nav.MouseMove({ssRight, ssShift}, 40, 40), TDragAction::daNone);
    ExpectNear(modelRoot->Position().GetXYZ(), {0, 0, 0});
    ExpectNear(item->Position().GetXYZ(), {1, 2, 3});
    nav.SetPickMode(false);
    EXPECT_EQ(nav.MouseMove({ssRight, ssShift}, 80, 80), TDragAction::daNone);
    ExpectNear(modelRoot->Position().GetXYZ(), {0, 0, 0});
}

TEST_F(NavigatorTest, RightDragInPickModeMovesThePickedObjectWithTheMouse) {
    nav.SetPickMode(true);
    nav.MouseDown(item, 10, 10);
    const float k = camera->TargetDistance() * 0.132f / 400;
    EXPECT_EQ(nav.MouseMove({ssRight}, 20, 10), TDragAction::daDragPicked);
    const TAffineVector offset = VectorSubtract(item->Position().GetXYZ(), {1, 2, 3});
    ExpectNear(offset, ScreenPlaneOffset(CameraPosition(), -10, 0, k));
    ExpectNear(modelRoot->Position().GetXYZ(), {0, 0, 0});
}

TEST_F(NavigatorTest, DraggedObjectUnderATurnedParentStillFollowsTheScreen) {
    auto* holder = modelRoot->CreateChild<TGLBaseSceneObject>();
    holder->RotateAboutAbsoluteAxes(0, 90, 0);
    auto* deep = holder->CreateChild<TGLCustomSceneObject>();
    nav.SetPickMode(true);
    nav.MouseDown(deep, 10, 10);
    const float k = camera->TargetDistance() * 0.132f / 400;
    nav.MouseMove({ssRight}, 20, 10);
    const TAffineVector worldMove = deep->WorldPosition().Affine();
    ExpectNear(worldMove, ScreenPlaneOffset(CameraPosition(), -10, 0, k));
}

TEST_F(NavigatorTest, PressOnEmptySpaceOrOnAnUndrawableObjectKeepsThePick) {
    nav.MouseDown(item, 1, 1);
    EXPECT_EQ(nav.MouseDown(nullptr, 2, 2), nullptr);
    EXPECT_EQ(nav.PickedObject(), item);
    EXPECT_EQ(nav.MouseDown(camera, 3, 4), nullptr);
    EXPECT_EQ(nav.PickedObject(), item);
    EXPECT_EQ(nav.LastX(), 3);
    EXPECT_EQ(nav.LastY(), 4);
    auto* second = modelRoot->CreateChild<TGLCustomSceneObject>();
    EXPECT_EQ(nav.MouseDown(second, 5, 5), second);
    EXPECT_EQ(nav.PickedObject(), second);
    // A line of the drawing is no custom object, yet it is picked.
    auto* line = modelRoot->CreateChild<TGLBaseSceneObject>();
    EXPECT_EQ(nav.MouseDown(line, 6, 6), line);
    EXPECT_EQ(nav.MouseDown(modelRoot, 7, 7), nullptr) << "the model root itself is not";
}

TEST_F(NavigatorTest, AFreedPickIsDroppedAndLaterDragsDoNothing) {
    nav.SetPickMode(true);
    nav.MouseDown(item, 10, 10);
    modelRoot->FreeChildren();
    EXPECT_EQ(nav.PickedObject(), nullptr);
    EXPECT_EQ(nav.MouseMove({ssRight}, 30, 30), TDragAction::daNone);
    EXPECT_EQ(nav.MouseMove({ssLeft, ssShift}, 40, 40), TDragAction::daNone);
}

TEST_F(NavigatorTest, AnObjectPickedBeforeStaysLinkedOnlyWhilePicked) {
    auto* first = item;
    auto* second = modelRoot->CreateChild<TGLCustomSceneObject>();
    nav.MouseDown(first, 0, 0);
    nav.MouseDown(second, 0, 0);
    // Freeing the earlier pick leaves the current one alone.
    modelRoot->RemoveChild(first, false).reset();
    EXPECT_EQ(nav.PickedObject(), second);
}

TEST_F(NavigatorTest, TwoWheelNotchesAwayMultiplyTheDistanceBy121) {
    const float before = camera->TargetDistance();
    nav.MouseWheel(120);
    nav.MouseWheel(120);
    EXPECT_NEAR(camera->TargetDistance(), before * 1.21f, 1e-3f);
    nav.MouseWheel(-240);
    EXPECT_NEAR(camera->TargetDistance(), before, 1e-3f);
}

TEST_F(NavigatorTest, KeysOneThenThreeRestoreTheView) {
    const TMatrix start = rig->ObjectMatrix();
    EXPECT_TRUE(nav.KeyPress('1'));
    EXPECT_GT(std::abs(rig->ObjectMatrix()[0][1]), 0.2f);
    EXPECT_TRUE(nav.KeyPress('3'));
    ExpectNear(rig->ObjectMatrix(), start);
    for (char key : {'4', '6', '7', '9'}) {
        EXPECT_TRUE(nav.KeyPress(key));
    }
    ExpectNear(rig->ObjectMatrix(), start);
    EXPECT_FALSE(nav.KeyPress('5'));
    ExpectNear(rig->ObjectMatrix(), start);
}

TEST_F(NavigatorTest, KeySixTurnsTheRigAboutTheWorldYAxis) {
    nav.KeyPress('6');
    const TAffineVector x = rig->ObjectToWorld(TVector{1, 0, 0, 0}).Affine();
    EXPECT_NEAR(x.y, 0, 1e-5f);
    EXPECT_NEAR(std::acos(x.x) * 180 / 3.14159265f, 15, 1e-2f);
}

TEST(ViewControlsTest, TransparencySetsTheAlphaOfTheFirstMaterial) {
    TGLMaterialLibrary library;
    SetSurfaceTransparency(library, 500);
    TGLLibMaterial* surface = library.AddMaterial("MatSurface");
    TGLLibMaterial* inner = library.AddMaterial("MatInner");
    surface->Material().FrontProperties().Diffuse().SetColor(0.365f, 0.388f, 0.404f, 1);
    SetSurfaceTransparency(library, 450);
    const TColorVector c = surface->Material().FrontProperties().Diffuse().Color();
    EXPECT_FLOAT_EQ(c.w, 0.45f);
    EXPECT_FLOAT_EQ(c.x, 0.365f);
    EXPECT_FLOAT_EQ(inner->Material().FrontProperties().Diffuse().Alpha(), 1);
    SetSurfaceTransparency(library, 0);
    EXPECT_FLOAT_EQ(surface->Material().FrontProperties().Diffuse().Alpha(), 0);
}

TEST(ViewControlsTest, VisibleMarkerBlinksHiddenMarkerStays) {
    TGLCustomSceneObject marker;
    TGLColor& ambient = marker.Material().FrontProperties().Ambient();
    ambient.SetColor(0.992f, 0, 0, 0);
    EXPECT_TRUE(BlinkMarker(marker));
    EXPECT_EQ(ambient.Red(), 0);
    EXPECT_TRUE(BlinkMarker(marker));
    EXPECT_EQ(ambient.Red(), 1);
    EXPECT_TRUE(BlinkMarker(marker));
    EXPECT_EQ(ambient.Red(), 0);

    marker.SetVisible(false);
    EXPECT_FALSE(BlinkMarker(marker));
    EXPECT_EQ(ambient.Red(), 0);
    EXPECT_EQ(ambient.Color().y, 0);
}

} // namespace
} // namespace hk
