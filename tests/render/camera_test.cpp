// Camera setters, field of view, navigation steps and light source properties (no display).
#include "engine/camera.h"
#include "engine/light_source.h"
#include "engine/scene.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace hk {
namespace {

struct CameraRig {
    TGLScene scene;
    TGLBaseSceneObject* target = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    TGLCamera* camera = target->CreateChild<TGLCamera>();

    CameraRig() {
        camera->Position().SetPoint(15, 10, 15);
        camera->SetTargetObject(target);
    }
};

TEST(CameraSetters, ClampNonPositiveValuesAndKeepDefaults) {
    TGLCamera camera;
    EXPECT_FLOAT_EQ(camera.FocalLength(), 50);
    EXPECT_FLOAT_EQ(camera.DepthOfView(), 100);
    EXPECT_FLOAT_EQ(camera.Direction().Z(), -1);
    camera.SetFocalLength(-3);
    EXPECT_FLOAT_EQ(camera.FocalLength(), 1);
    camera.SetNearPlaneBias(0);
    EXPECT_FLOAT_EQ(camera.NearPlaneBias(), 1);
    camera.SetSceneScale(0);
    EXPECT_FLOAT_EQ(camera.SceneScale(), 1);
    camera.SetSceneScale(-2);
    EXPECT_FLOAT_EQ(camera.SceneScale(), -2);
}

TEST(CameraSetters, TargetIsClearedWhenTheTargetGoesAway) {
    TGLScene scene;
    TGLCamera* camera = scene.Objects().CreateChild<TGLCamera>();
    auto* target = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    camera->SetTargetObject(target);
    ASSERT_EQ(camera->TargetObject(), target);
    std::unique_ptr<TGLBaseSceneObject> gone = scene.Objects().RemoveChild(target, false);
    gone.reset();
    EXPECT_EQ(camera->TargetObject(), nullptr);
    EXPECT_FLOAT_EQ(camera->TargetDistance(), 1);
}

TEST(CameraSetters, ACameraUnderItsTargetIsFreedWithoutDanglingLinks) {
    auto scene = std::make_unique<CameraRig>();
    scene->scene.Objects().FreeChildren();
    SUCCEED(); // the sanitizer build catches a use after free here
}

TEST(CameraFieldOfView, FocalLength400On724PixelsIsTheViewersAngle) {
    TGLCamera camera;
    camera.SetFieldOfViewFor(724, 84.29019f);
    EXPECT_NEAR(camera.FocalLength(), 400, 0.01);
    EXPECT_NEAR(camera.FieldOfViewFor(724), 84.29019, 1e-3);
    camera.SetFieldOfViewFor(724, 0); // no finite focal length: clamped, not infinite
    EXPECT_FLOAT_EQ(camera.FocalLength(), 1);
}

TEST(CameraNavigation, ScaleTargetDistanceKeepsTheLine) {
    CameraRig rig;
    const TVector before = rig.camera->WorldPosition();
    rig.camera->ScaleTargetDistance(1);
    EXPECT_TRUE(VectorEquals(rig.camera->WorldPosition(), before));
    const float d = rig.camera->TargetDistance();
    rig.camera->ScaleTargetDistance(0.5f);
    EXPECT_NEAR(rig.camera->TargetDistance(), d / 2, 1e-4);
    TVector p = rig.camera->WorldPosition();
    EXPECT_NEAR(p.x, 7.5, 1e-4);
    EXPECT_NEAR(p.y, 5, 1e-4);
    EXPECT_NEAR(p.z, 7.5, 1e-4);
}

TEST(CameraNavigation, ScaleTargetDistanceWorksInTheParentsFrame) {
    CameraRig rig;
    rig.target->Position().SetPoint(1, 2, 3); // the camera moves with its parent
    rig.camera->ScaleTargetDistance(2);
    TVector p = rig.camera->Position().AsVector();
    EXPECT_NEAR(p.x, 30, 1e-4);
    EXPECT_NEAR(p.y, 20, 1e-4);
    EXPECT_NEAR(p.z, 30, 1e-4);
}

TEST(CameraNavigation, WithoutTargetTheNavigationStepsDoNothing) {
    TGLCamera camera;
    camera.Position().SetPoint(1, 2, 3);
    camera.ScaleTargetDistance(0.5f);
    camera.OrbitTarget(10, 10);
    EXPECT_FLOAT_EQ(camera.TargetDistance(), 1);
    EXPECT_TRUE(VectorEquals(camera.Position().AsVector(), TVector{1, 2, 3, 1}));
    EXPECT_TRUE(VectorEquals(camera.AbsoluteViewDirection(), TVector{0, 0, -1, 0}));
}

TEST(CameraNavigation, RotateObjectInViewKeepsPositionAndScale) {
    CameraRig rig;
    auto* obj = rig.target->CreateChild<TGLImmaterialSceneObject>();
    obj->Position().SetPoint(1.25f, -2.5f, 3.75f);
    obj->Scale().SetVector(2, 0.5f, 3);
    const TVector dir = obj->Direction().AsVector();
    rig.camera->RotateObjectInView(obj, 15, -30, 5);
    EXPECT_TRUE(VectorEquals(obj->Position().AsVector(), TVector{1.25f, -2.5f, 3.75f, 1}));
    EXPECT_TRUE(VectorEquals(obj->Scale().AsVector(), TVector{2, 0.5f, 3, 0}));
    EXPECT_FALSE(VectorEquals(obj->Direction().AsVector(), dir));
    EXPECT_NEAR(VectorLength(obj->Direction().AsVector()), 1, 1e-5);
    EXPECT_NEAR(VectorDotProduct(obj->Direction().AsVector(), obj->Up().AsVector()), 0, 1e-5);
}

TEST(CameraNavigation, TurnAboutTheViewAxisSpinsTheObjectInPlace) {
    TGLCamera camera; // looks along -z, up +y
    TGLImmaterialSceneObject obj;
    camera.RotateObjectInView(&obj, 0, 0, 90);
    // Roll about the view axis keeps the object's own z axis (parallel to the view).
    EXPECT_NEAR(std::fabs(obj.Direction().Z()), 1, 1e-5);
    EXPECT_NEAR(std::fabs(obj.Up().X()), 1, 1e-5);
}

TEST(CameraNavigation, PanVectorLiesInTheGroundPlane) {
    CameraRig rig;
    TVector v = rig.camera->PanVectorXY(3, 4, 0.5f);
    EXPECT_FLOAT_EQ(v.z, 0);
    EXPECT_NEAR(VectorLength(v), 0.5 * 5, 1e-4);
    // Looking straight down, the ratio is used unscaled.
    TGLCamera down;
    down.SetDirection({0, 0, -1, 0});
    TVector w = down.PanVectorXY(3, 4, 0.5f);
    EXPECT_FLOAT_EQ(w.x, 0);
    EXPECT_FLOAT_EQ(w.y, 0);
}

TEST(CameraKinds, ACameraIsNeverHitAndNeverBlends) {
    TGLCamera camera;
    EXPECT_TRUE(camera.IsCamera());
    EXPECT_FALSE(camera.RayHit({0, 0, 10, 1}, {0, 0, -1, 0}, nullptr, nullptr));
}

TEST(LightSource, SpotCutOffAcceptsOnlyOpenGLsRange) {
    TGLLightSource light;
    EXPECT_FLOAT_EQ(light.SpotCutOff(), 180);
    light.SetSpotCutOff(120);
    EXPECT_FLOAT_EQ(light.SpotCutOff(), 180);
    light.SetSpotCutOff(45);
    EXPECT_FLOAT_EQ(light.SpotCutOff(), 45);
    light.SetSpotCutOff(-1);
    EXPECT_FLOAT_EQ(light.SpotCutOff(), 45);
    light.SetSpotCutOff(180);
    EXPECT_FLOAT_EQ(light.SpotCutOff(), 180);
    EXPECT_FALSE(light.RayHit({0, 0, 10, 1}, {0, 0, -1, 0}, nullptr, nullptr));
}

TEST(LightSource, UnitsComeFromTheScenesSlotsAndANinthGetsNone) {
    TGLScene scene;
    std::vector<TGLLightSource*> lights;
    for (int i = 0; i < 9; ++i) {
        lights.push_back(scene.Objects().CreateChild<TGLLightSource>());
    }
    EXPECT_EQ(lights[0]->LightID(), unsigned(GL_LIGHT0));
    EXPECT_EQ(lights[7]->LightID(), unsigned(GL_LIGHT0 + 7));
    EXPECT_EQ(lights[8]->LightID(), 0u);
    TGLLightSource outside;
    EXPECT_EQ(outside.LightID(), 0u);
}

} // namespace
} // namespace hk
