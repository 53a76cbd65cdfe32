// TGLBaseSceneObject: navigation, turning about the world axes and orbiting another object.
#include "engine/scene_object.h"

#include "engine/vector_geometry.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

constexpr float cOrbitPoleMargin = 0.025f;

} // namespace

void TGLBaseSceneObject::RotateAboutAbsoluteAxes(float rx, float ry, float rz) {
    TMatrix m = ObjectMatrix();
    const float angles[3] = {rx, ry, rz};
    const TAffineVector axes[3] = {XVector, YVector, ZVector};
    for (int i = 0; i < 3; ++i) {
        if (angles[i] == 0) {
            continue;
        }
        const TMatrix& inv = InverseWorldMatrix();
        TAffineVector a = AffineTransform(axes[i], inv);
        if (VectorLength(a) < 1e-6f) {
            // The axis point maps onto the object's origin; use the world axis as a direction.
            a = AffineRotate(axes[i], inv);
        }
        m = MatrixMultiply(RotationMatrix(a, float(-DegToRad(angles[i]))), m);
    }
    SetMatrix(m);
}

void TGLBaseSceneObject::OrbitAround(TGLBaseSceneObject* target, float pitchDelta,
                                     float turnDelta) {
    if (target == nullptr || target == this) {
        return;
    }
    TAffineVector own = WorldPosition().Affine();
    TAffineVector off = VectorSubtract(own, target->WorldPosition().Affine());
    float dist = VectorLength(off);
    if (dist == 0) {
        return; // no sphere to move on
    }
    TAffineVector n = VectorNormalize(off);
    TAffineVector up = WorldUp().Affine();
    TAffineVector axis = VectorCrossProduct(up, n);
    axis = VectorLength(axis) < 0.001f ? XVector : VectorNormalize(axis);
    double cosA = std::clamp(double(VectorDotProduct(up, n)), -1.0, 1.0);
    double angle = std::acos(cosA) + DegToRad(pitchDelta);
    angle = std::clamp(angle, double(cOrbitPoleMargin), cPI - cOrbitPoleMargin);
    TAffineVector v = VectorRotateAroundAxis(up, axis, float(-angle));
    v = VectorRotateAroundAxis(v, up, float(-DegToRad(turnDelta)));
    v = VectorScale(v, dist);
    TAffineVector world = VectorAdd(own, VectorSubtract(v, off));
    if (HasTransformingParent()) {
        world = parent_->WorldToObjectPoint(world);
    }
    position_.SetPoint(world.x, world.y, world.z);
}

} // namespace hk
