// Scene objects and helpers shared by the collision tests: a box-shaped object with settable
// half-extents, a free-form mesh made from a triangle list, random poses and a pass recorder.
#pragma once

#include "collision/collision_behaviour.h"
#include "collision/collision_manager.h"
#include "engine/behaviours.h"
#include "engine/scene_object.h"
#include "engine/vector_geometry.h"
#include "primitives/mesh/free_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace hk::test {

class BoxObject : public TGLImmaterialSceneObject {
public:
    explicit BoxObject(TAffineVector halfExtents = {0.5f, 0.5f, 0.5f}) : extents_(halfExtents) {}
    TVector UnscaledBoxExtents() override { return VectorMake(extents_); }
    // Reports the change, as the primitives' shape setters do.
    void SetExtents(const TAffineVector& e) {
        extents_ = e;
        StructureChanged();
    }

private:
    TAffineVector extents_;
};

inline void Place(TGLBaseSceneObject& o, const TAffineVector& p) {
    o.SetPosition(PointMake(p.x, p.y, p.z));
}

// A free form holding one triangle-list mesh object.
inline std::unique_ptr<TGLFreeForm> MakeMesh(const std::vector<TAffineVector>& triangles) {
    auto mesh = std::make_unique<TGLFreeForm>();
    auto object = std::make_unique<TMeshObject>();
    object->Mode = momTriangles;
    for (const TAffineVector& v : triangles) {
        object->Vertices.Add(v);
    }
    mesh->MeshObjects().push_back(std::move(object));
    mesh->MeshChanged();
    return mesh;
}

// A closed box surface of 12 triangles between lo and hi.
inline std::vector<TAffineVector> BoxSurface(const TAffineVector& lo, const TAffineVector& hi) {
    TAffineVector c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                          {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                          {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int f[6][4] = {{1, 2, 6, 5}, {2, 3, 7, 6}, {0, 1, 2, 3},
                         {0, 3, 7, 4}, {0, 1, 5, 4}, {5, 6, 7, 4}};
    std::vector<TAffineVector> out;
    for (const auto& q : f) {
        out.insert(out.end(), {c[q[0]], c[q[1]], c[q[2]], c[q[0]], c[q[2]], c[q[3]]});
    }
    return out;
}

// Turns the object by random angles about random axes and moves it to `p`.
inline void RandomPose(TGLBaseSceneObject& o, std::mt19937& rng, const TAffineVector& p) {
    std::uniform_real_distribution<float> u(-1, 1);
    TAffineVector axis = VectorNormalize(TAffineVector{u(rng), u(rng), u(rng)});
    if (VectorLength(axis) == 0) {
        axis = ZVector;
    }
    TMatrix m = RotationMatrix(axis, u(rng) * 3.1f);
    m[3] = PointMake(p.x, p.y, p.z);
    o.SetMatrix(m);
}

// Adds a collision behaviour with the given mode and group, registered with `manager`.
inline TGLBCollision* Collide(TGLBaseSceneObject& o, TCollisionManager* manager,
                              TCollisionBoundingMode mode, int group = 0) {
    auto* b = o.Behaviours().Create<TGLBCollision>();
    b->SetBoundingMode(mode);
    b->SetGroupIndex(group);
    b->SetManager(manager);
    return b;
}

using Events = std::vector<std::pair<TGLBaseSceneObject*, TGLBaseSceneObject*>>;

inline Events RunPass(TCollisionManager& manager) {
    Events events;
    manager.OnCollision = [&](TGLComponent* sender, TGLBaseSceneObject* a, TGLBaseSceneObject* b) {
        EXPECT_EQ(sender, &manager);
        events.emplace_back(a, b);
    };
    manager.TestAllPairs();
    manager.OnCollision = nullptr;
    return events;
}

} // namespace hk::test
