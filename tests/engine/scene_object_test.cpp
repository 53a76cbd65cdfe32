#include "engine/behaviours.h"
#include "engine/scene.h"
#include "engine/vector_geometry.h"
#include "tests/engine/scene_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hk {
namespace {

using test::BlendedObject;
using test::CountingBuffer;
using test::FakeCamera;
using test::FakeLight;

void ExpectVec(const TVector& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

void ExpectOrthonormalFrame(TGLBaseSceneObject& o) {
    TVector d = o.Direction().AsVector(), u = o.Up().AsVector();
    EXPECT_NEAR(VectorLength(d), 1, 1e-5);
    EXPECT_NEAR(VectorLength(u), 1, 1e-5);
    EXPECT_NEAR(VectorDotProduct(d, u), 0, 1e-5);
}

TEST(SceneObjectMatrices, NewAndMovedObjects) {
    TGLScene scene;
    auto* obj = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    const TMatrix& w = obj->WorldMatrix();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(w[i][j], IdentityHmgMatrix[i][j]);
        }
    }
    obj->Position().SetPoint(1, 2, 3);
    TVector row3 = obj->WorldMatrix()[3];
    ExpectVec(row3, 1, 2, 3);
    EXPECT_EQ(row3.w, 1);
}

TEST(SceneObjectMatrices, ChildWorldIsObjectTimesParentWorld) {
    TGLScene scene;
    auto* parent = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    auto* child = parent->CreateChild<TGLImmaterialSceneObject>();
    parent->Position().SetPoint(10, 0, 0);
    parent->SetTurnAngle(90);
    child->Position().SetPoint(0, 0, 1);
    TVector p = child->WorldPosition();
    // A 90 degree turn about Y takes the child's +Z offset onto +X.
    ExpectVec(p, 11, 0, 0);
    // Moving the parent afterwards dirties the child's cached world matrix.
    parent->Position().SetPoint(0, 5, 0);
    ExpectVec(child->WorldPosition(), 1, 5, 0);
}

TEST(SceneObjectMatrices, InverseWorldUndoesWorldWithAndWithoutScale) {
    TGLScene scene;
    auto* parent = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    auto* child = parent->CreateChild<TGLImmaterialSceneObject>();
    parent->Scale().SetVector(2, 3, 4);
    parent->SetRollAngle(30);
    parent->Position().SetPoint(1, 2, 3);
    child->SetPitchAngle(20);
    child->Position().SetPoint(-4, 5, 6);
    for (TGLBaseSceneObject* o :
         {static_cast<TGLBaseSceneObject*>(parent), static_cast<TGLBaseSceneObject*>(child)}) {
        TMatrix prod = MatrixMultiply(o->WorldMatrix(), o->InverseWorldMatrix());
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                EXPECT_NEAR(prod[i][j], IdentityHmgMatrix[i][j], 1e-5);
            }
        }
    }
    TAffineVector w = child->ObjectToWorldPoint({1, 1, 1});
    TAffineVector back = child->WorldToObjectPoint(w);
    EXPECT_NEAR(back.x, 1, 1e-4);
    EXPECT_NEAR(back.z, 1, 1e-4);
}

TEST(SceneObjectOrientation, DirectionParallelToUpKeepsAValidFrame) {
    TGLImmaterialSceneObject o;
    o.Direction().SetVector(0, 1, 0); // parallel to Up
    ExpectOrthonormalFrame(o);
    ExpectVec(o.Direction().AsVector(), 0, 1, 0);
    o.Up().SetVector(0, 0, 0); // null Up falls back to Y, again parallel to Direction
    ExpectOrthonormalFrame(o);
    o.Direction().SetVector(0, 0, 5); // normalised, Up re-orthogonalised
    ExpectVec(o.Direction().AsVector(), 0, 0, 1);
    ExpectOrthonormalFrame(o);
    o.SetDirection({0, 0, 0, 0}); // ignored
    ExpectVec(o.Direction().AsVector(), 0, 0, 1);
}

TEST(SceneObjectOrientation, AngleOrderMatters) {
    TGLImmaterialSceneObject a, b;
    a.SetRollAngle(90);
    a.SetPitchAngle(90);
    b.SetPitchAngle(90);
    b.SetRollAngle(90);
    ExpectOrthonormalFrame(a);
    ExpectOrthonormalFrame(b);
    EXPECT_GT(VectorDistance2(a.Direction().AsVector(), b.Direction().AsVector()) +
                  VectorDistance2(a.Up().AsVector(), b.Up().AsVector()),
              0.5f);
}

TEST(SceneObjectOrientation, AnglesAreStoredReducedAndApplyIncrementally) {
    TGLImmaterialSceneObject o;
    o.SetPitchAngle(270);
    EXPECT_FLOAT_EQ(o.PitchAngle(), -90);
    TGLImmaterialSceneObject p;
    p.SetPitchAngle(-90);
    ExpectVec(o.Direction().AsVector(), p.Direction().AsVector().x, p.Direction().AsVector().y,
              p.Direction().AsVector().z);
    // Turning by 90 about Up takes Direction (0, 0, 1) onto (1, 0, 0).
    TGLImmaterialSceneObject t;
    t.SetTurnAngle(90);
    ExpectVec(t.Direction().AsVector(), 1, 0, 0);
    // Setting the rotation coordinates as a whole gives the same frame as the setters.
    TGLImmaterialSceneObject whole;
    whole.Rotation().SetVector(0, 90, 0);
    ExpectVec(whole.Direction().AsVector(), 1, 0, 0);
    EXPECT_FLOAT_EQ(whole.TurnAngle(), 90);
}

TEST(SceneObjectNavigation, OrbitStopsShortOfThePole) {
    TGLScene scene;
    auto* target = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    auto* cam = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    cam->Position().SetPoint(0, 0, 10);
    cam->OrbitAround(target, -120, 0); // would pass over the +Y pole
    TVector p = cam->WorldPosition();
    EXPECT_NEAR(VectorLength(p), 10, 1e-3);
    EXPECT_NEAR(std::acos(p.y / VectorLength(p)), 0.025, 1e-4);
    cam->OrbitAround(target, 1000, 0); // and the other pole
    p = cam->WorldPosition();
    EXPECT_NEAR(std::acos(p.y / VectorLength(p)), cPI - 0.025, 1e-4);
    // A turn keeps the height and the distance.
    cam->Position().SetPoint(0, 3, 4);
    cam->OrbitAround(target, 0, 90);
    p = cam->WorldPosition();
    EXPECT_NEAR(p.y, 3, 1e-4);
    EXPECT_NEAR(VectorLength(p), 5, 1e-4);
    EXPECT_NEAR(std::fabs(p.x), 4, 1e-4);
    cam->OrbitAround(nullptr, 10, 10); // nothing without a target
    EXPECT_NEAR(cam->WorldPosition().y, 3, 1e-4);
}

TEST(SceneObjectNavigation, RotateAboutAbsoluteAxesTurnsTheFrame) {
    TGLImmaterialSceneObject o;
    o.Scale().SetVector(2, 2, 2);
    o.RotateAboutAbsoluteAxes(0, 90, 0);
    // A positive turn about world Y takes the local Z axis onto +X; the scale survives.
    ExpectVec(o.Direction().AsVector(), 1, 0, 0);
    ExpectVec(o.Scale().AsVector(), 2, 2, 2);
    ExpectOrthonormalFrame(o);
}

TEST(SceneObjectBounds, ContainsPointOfAScaledCube) {
    TGLImmaterialSceneObject cube;
    cube.Scale().SetVector(2, 2, 2);
    EXPECT_TRUE(cube.ContainsPoint(PointMake(0.9f, 0, 0)));
    EXPECT_FALSE(cube.ContainsPoint(PointMake(1.1f, 0, 0)));
    cube.Position().SetPoint(10, 0, 0);
    EXPECT_TRUE(cube.ContainsPoint(PointMake(10.9f, 0.5f, -0.5f)));
    EXPECT_FALSE(cube.ContainsPoint(PointMake(0, 0, 0)));
    EXPECT_NEAR(cube.BoundingRadius(), std::sqrt(3.0f), 1e-5);
}

TEST(SceneObjectBounds, HierarchyBoxEnclosesChildren) {
    TGLImmaterialSceneObject parent;
    auto* child = parent.CreateChild<TGLImmaterialSceneObject>();
    child->Position().SetPoint(3, 0, 0);
    TAABB box = parent.UnscaledHierarchyBox();
    EXPECT_FLOAT_EQ(box.max.x, 3.5f);
    EXPECT_FLOAT_EQ(box.min.x, -0.5f);
    parent.Scale().SetVector(2, 1, 1);
    EXPECT_FLOAT_EQ(parent.HierarchyBox().max.x, 7);
}

TEST(SceneObjectBounds, RayHitAgainstBoundingSphere) {
    TGLImmaterialSceneObject o;
    o.Position().SetPoint(0, 0, -10);
    TVector hit, normal;
    ASSERT_TRUE(o.RayHit(PointMake(0, 0, 0), {0, 0, -5, 0}, &hit, &normal));
    EXPECT_NEAR(hit.z, -10 + std::sqrt(0.75f), 1e-5);
    ExpectVec(normal, 0, 0, 1);
    EXPECT_FALSE(o.RayHit(PointMake(0, 0, 0), {0, 0, 1, 0}));
    EXPECT_FALSE(o.RayHit(PointMake(0, 0, 0), {0, 0, 0, 0}));
}

TEST(SceneTree, FreeChildrenWithCameraDescendantAndTarget) {
    TGLScene scene;
    auto* rig = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    auto* model = rig->CreateChild<TGLImmaterialSceneObject>();
    auto* camera = model->CreateChild<FakeCamera>();
    auto* lamp = camera->CreateChild<FakeLight>();
    EXPECT_EQ(scene.LightSlotOf(lamp), 0);
    camera->SetTarget(model);
    scene.SetCurrentCamera(camera);
    // An outside camera targets an object that is about to be freed.
    auto* outsider = scene.Cameras().CreateChild<FakeCamera>();
    outsider->SetTarget(model);
    rig->FreeChildren();
    EXPECT_EQ(rig->Count(), 0);
    EXPECT_EQ(outsider->Target(), nullptr);
    EXPECT_EQ(scene.CurrentCamera(), nullptr);
    EXPECT_EQ(scene.Lights()[0], nullptr);
}

TEST(SceneTree, CameraOutlivingItsTargetAndTargetOutlivingCamera) {
    auto camera = std::make_unique<FakeCamera>();
    {
        TGLImmaterialSceneObject target;
        camera->SetTarget(&target);
    }
    EXPECT_EQ(camera->Target(), nullptr);
    TGLImmaterialSceneObject target2;
    camera->SetTarget(&target2);
    camera.reset(); // the target must not keep a dangling link to the camera
    target2.Position().SetPoint(1, 1, 1);
}

TEST(SceneTree, RemoveInsertAndReorder) {
    TGLScene scene;
    TGLBaseSceneObject& root = scene.Objects();
    auto* a = root.CreateChild<TGLImmaterialSceneObject>();
    auto* b = root.CreateChild<TGLImmaterialSceneObject>();
    auto* b1 = b->CreateChild<FakeLight>();
    a->SetName("a");
    b->SetName("b");
    b->SetChildIndex(-5);
    EXPECT_EQ(root.Children(0), b);
    b->SetChildIndex(99);
    EXPECT_EQ(root.Children(1), b);
    EXPECT_EQ(root.Children(2), nullptr);

    std::unique_ptr<TGLBaseSceneObject> taken = root.RemoveChild(b, true);
    ASSERT_EQ(taken.get(), b);
    EXPECT_EQ(b->Parent(), nullptr);
    EXPECT_EQ(b->Scene(), nullptr);
    EXPECT_EQ(b->Count(), 0);
    EXPECT_EQ(b1->Parent(), &root); // kept children moved up
    EXPECT_EQ(scene.LightSlotOf(b1), 0);
    EXPECT_EQ(root.RemoveChild(b, false), nullptr); // not a child any more

    root.Insert(0, std::move(taken));
    EXPECT_EQ(root.Children(0), b);
    EXPECT_EQ(b->Scene(), &scene);
    a->MoveTo(b);
    EXPECT_EQ(a->Parent(), b);
    b->MoveTo(a); // under its own subtree: refused
    EXPECT_EQ(b->Parent(), &root);
}

TEST(SceneTree, RemovedSubtreeTakesTheCurrentCameraWithIt) {
    TGLScene scene;
    auto* rig = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    auto* camera = rig->CreateChild<TGLImmaterialSceneObject>()->CreateChild<FakeCamera>();
    scene.SetCurrentCamera(camera);
    std::unique_ptr<TGLBaseSceneObject> taken = scene.Objects().RemoveChild(rig, false);
    EXPECT_EQ(scene.CurrentCamera(), nullptr);
    EXPECT_EQ(camera->Scene(), nullptr);
}

TEST(SceneTree, NinthLightGetsNoSlot) {
    TGLScene scene;
    std::vector<FakeLight*> lights;
    for (int i = 0; i < 9; ++i) {
        lights.push_back(scene.Objects().CreateChild<FakeLight>());
    }
    EXPECT_EQ(scene.LightSlotOf(lights[7]), 7);
    EXPECT_EQ(scene.LightSlotOf(lights[8]), -1);
}

TEST(SceneNotification, ChangesReachBuffersOutsideUpdates) {
    auto scene = std::make_unique<TGLScene>();
    CountingBuffer buffer;
    scene->AddBuffer(&buffer);
    scene->AddBuffer(&buffer);
    auto* obj = scene->Objects().CreateChild<TGLImmaterialSceneObject>();
    obj->WorldMatrix(); // clean the transform so that the next move reports
    buffer.changes = 0;
    obj->Position().SetPoint(1, 0, 0);
    EXPECT_EQ(buffer.changes, 1);
    obj->Position().SetPoint(2, 0, 0); // transform already dirty: nothing new to report
    EXPECT_EQ(buffer.changes, 1);
    obj->SetVisible(true); // unchanged
    EXPECT_EQ(buffer.changes, 1);

    buffer.changes = 0;
    scene->BeginUpdate();
    obj->SetVisible(false);
    obj->SetShowAxes(true);
    EXPECT_EQ(buffer.changes, 0);
    scene->EndUpdate();
    EXPECT_EQ(buffer.changes, 1);

    buffer.changes = 0;
    obj->BeginUpdate();
    obj->SetVisible(true);
    obj->EndUpdate();
    EXPECT_EQ(buffer.changes, 1);

    scene.reset();
    EXPECT_EQ(buffer.destroyed, 1);
}

TEST(SceneRendering, BlendedChildrenComeLastFarthestFirst) {
    TGLImmaterialSceneObject parent;
    auto* nearBlended = parent.CreateChild<BlendedObject>();
    auto* opaque1 = parent.CreateChild<TGLImmaterialSceneObject>();
    auto* farBlended = parent.CreateChild<BlendedObject>();
    auto* hidden = parent.CreateChild<TGLImmaterialSceneObject>();
    auto* opaque2 = parent.CreateChild<TGLImmaterialSceneObject>();
    hidden->SetVisible(false);
    nearBlended->Position().SetPoint(0, 0, 1);
    farBlended->Position().SetPoint(0, 0, -50);
    opaque1->Position().SetPoint(0, 0, -80);
    TVector camera = PointMake(0, 0, 10);
    auto order = parent.ChildrenInDrawOrder(0, 4, osRenderBlendedLast, camera);
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], opaque1);
    EXPECT_EQ(order[1], opaque2);
    EXPECT_EQ(order[2], farBlended);
    EXPECT_EQ(order[3], nearBlended);
    auto nearest = parent.ChildrenInDrawOrder(0, 4, osRenderNearestFirst, camera);
    EXPECT_EQ(nearest.front(), nearBlended);
    EXPECT_EQ(nearest.back(), opaque1);
    auto farthest = parent.ChildrenInDrawOrder(0, 4, osRenderFarthestFirst, camera);
    EXPECT_EQ(farthest.front(), opaque1);
    auto plain = parent.ChildrenInDrawOrder(0, 4, osNone, camera);
    EXPECT_EQ(plain[0], nearBlended);
    EXPECT_EQ(parent.ChildrenInDrawOrder(3, 3, osNone, camera).size(), 0u);
}

TEST(Coordinates, StreamSixteenBytesAndRejectShortData) {
    TGLImmaterialSceneObject o;
    o.Position().SetPoint(1.5f, -2, 3);
    EXPECT_TRUE(o.Position().NeedsStoring());
    TBinaryWriter w;
    o.Position().WriteData(w);
    ASSERT_EQ(w.Bytes().size(), 16u);
    TGLImmaterialSceneObject back;
    TBinaryReader r(w.Bytes(), "form");
    back.Position().ReadData(r);
    ExpectVec(back.WorldPosition(), 1.5f, -2, 3);
    const std::string cutBytes = w.Bytes().substr(0, 12);
    TBinaryReader shortData(cutBytes, "form");
    EXPECT_THROW(back.Position().ReadData(shortData), EReadError);
    ExpectVec(back.Position().AsVector(), 1.5f, -2, 3);
}

TEST(Coordinates, StyleForcesW) {
    TGLImmaterialSceneObject o;
    o.Position().SetAsVector({1, 2, 3, 0});
    EXPECT_EQ(o.Position().W(), 1);
    o.Scale().SetAsVector({1, 2, 3, 1});
    EXPECT_EQ(o.Scale().W(), 0);
    o.Position().AddOffset({1, 1, 1});
    ExpectVec(o.Position().AsVector(), 2, 3, 4);
}

} // namespace
} // namespace hk
