// TGLBaseSceneObject: bounding queries, box extents, bounding radius, the hierarchy box,
// point containment and the ray hit on the bounding sphere.
#include "engine/scene_object.h"

#include "engine/vector_geometry.h"

#include <cmath>

namespace hk {

TVector TGLBaseSceneObject::UnscaledBoxExtents() {
    return {0.5f, 0.5f, 0.5f, 0};
}

TVector TGLBaseSceneObject::BoxExtents() {
    TVector e = UnscaledBoxExtents();
    TVector s = scale_.AsVector();
    return {e.x * s.x, e.y * s.y, e.z * s.z, 0};
}

float TGLBaseSceneObject::BoundingRadius() {
    return VectorLength(BoxExtents());
}
float TGLBaseSceneObject::UnscaledBoundingRadius() {
    return VectorLength(UnscaledBoxExtents());
}

TAABB TGLBaseSceneObject::UnscaledHierarchyBox() {
    TAffineVector e = UnscaledBoxExtents().Affine();
    TAABB box{VectorScale(e, -1), e};
    for (auto& c : children_) {
        box = AABBUnion(box, AABBTransform(c->UnscaledHierarchyBox(), c->ObjectMatrix()));
    }
    return box;
}

TAABB TGLBaseSceneObject::HierarchyBox() {
    return AABBScale(UnscaledHierarchyBox(), scale_.GetXYZ());
}

bool TGLBaseSceneObject::ContainsPoint(const TVector& worldPoint) {
    TAffineVector p = WorldToObjectPoint(worldPoint.Affine());
    TVector e = BoxExtents();
    TVector s = scale_.AsVector();
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(p[k] * s[k]) > std::fabs(e[k])) {
            return false;
        }
    }
    return true;
}

bool TGLBaseSceneObject::RayHit(const TVector& rayStart, const TVector& rayVector,
                                TVector* hitPoint, TVector* hitNormal) {
    TVector dir = VectorNormalize(rayVector);
    if (VectorLength(dir) == 0) {
        return false;
    }
    TVector centre = WorldPosition();
    TVector i1;
    if (RayCastSphereIntersect(rayStart, dir, centre, BoundingRadius(), &i1) == 0) {
        return false;
    }
    if (hitPoint) {
        *hitPoint = i1;
    }
    if (hitNormal) {
        *hitNormal = VectorNormalize(VectorSubtract(i1, centre));
    }
    return true;
}

} // namespace hk
