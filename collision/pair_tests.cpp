// The 25 mode-pair tests and their table.
#include "collision/pair_tests.h"

#include "collision/box_geometry.h"
#include "collision/octree.h"
#include "collision/transform_inline.h"
#include "engine/scene_object.h"
#include "engine/vector_geometry.h"
#include "primitives/mesh/free_form.h"

#include <cmath>
#include <memory>

namespace hk {

namespace {

// n / d without dividing by zero: a zero divisor is a flat axis, on which only a zero
// numerator lies; everything else is infinitely far out.
float Ratio(float n, float d) {
    if (d != 0) {
        return n / d;
    }
    return n == 0 ? 0.0f : INFINITY;
}

TAffineVector Ratio(const TVector& n, const TVector& d) {
    return {Ratio(n.x, d.x), Ratio(n.y, d.y), Ratio(n.z, d.z)};
}

float Square(const TAffineVector& v) {
    return v.x * v.x + v.y * v.y + v.z * v.z;
}

// The centre of `a` in `b`'s object space.
TVector CentreIn(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return TransformVector(a.WorldPosition(), b.InverseWorldMatrix());
}

TVector AddToAll(const TVector& v, float s) {
    return {v.x + s, v.y + s, v.z + s, 0};
}

// One direction of the cube-cube test: a corner of A's box inside B's, or an edge of A's box
// crossing a face of B's.
bool CubeInCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TVector ua = a.UnscaledBoxExtents();
    TVector ub = b.UnscaledBoxExtents();
    TMatrix m = MultiplyMatricesInline(a.WorldMatrix(), b.InverseWorldMatrix());
    TBoxCorners c = BoxCorners(ua.Affine());
    for (TAffineVector& p : c) {
        p = TransformPointInline(p, m);
        if (std::fabs(p.x) <= ub.x && std::fabs(p.y) <= ub.y && std::fabs(p.z) <= ub.z) {
            return true;
        }
    }
    for (const auto& e : cBoxEdges) {
        const TAffineVector& p0 = c[e[0]];
        TAffineVector d = VectorSubtract(c[e[1]], p0);
        for (int i = 0; i < 3; ++i) {
            if (d[i] == 0) {
                continue;
            }
            int j = (i + 1) % 3;
            int k = (j + 1) % 3;
            for (float plane : {ub[i], -ub[i]}) {
                float t = (plane - p0[i]) / d[i];
                if (t >= 0 && t <= 1 && std::fabs(p0[j] + t * d[j]) <= ub[j] &&
                    std::fabs(p0[k] + t * d[k]) <= ub[k]) {
                    return true;
                }
            }
        }
    }
    return false;
}

template <TPairTest Test> bool Swapped(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return Test(b, a);
}

} // namespace

TOctree* FacesOctree(TGLBaseSceneObject& object) {
    auto* mesh = dynamic_cast<TGLFreeForm*>(&object);
    if (!mesh) {
        return nullptr;
    }
    auto* tree = dynamic_cast<TOctree*>(mesh->Octree());
    if (!tree) {
        auto fresh = std::make_unique<TOctree>();
        tree = fresh.get();
        mesh->SetOctree(std::move(fresh));
        mesh->BuildOctree(TOctree::cCollisionDepth);
    }
    return tree;
}

bool PointPoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return b.SquaredDistanceTo(a.WorldPosition()) <= 0.000001f;
}

bool PointSphere(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    float r = b.BoundingRadius();
    return VectorDistance2(a.WorldPosition(), b.WorldPosition()) <= r * r;
}

bool SpherePoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    float r = a.BoundingRadius();
    return VectorDistance2(b.WorldPosition(), a.WorldPosition()) <= r * r;
}

bool SphereSphere(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    float r = a.BoundingRadius() + b.BoundingRadius();
    return VectorDistance2(a.WorldPosition(), b.WorldPosition()) <= r * r;
}

bool PointEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return Square(Ratio(CentreIn(a, b), b.UnscaledBoxExtents())) <= 1;
}

bool PointCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TAffineVector q = Ratio(CentreIn(a, b), b.UnscaledBoxExtents());
    return std::fabs(q.x) <= 1 && std::fabs(q.y) <= 1 && std::fabs(q.z) <= 1;
}

bool SphereEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TAffineVector q = Ratio(CentreIn(a, b), AddToAll(b.BoxExtents(), a.BoundingRadius()));
    TVector s = b.Scale().AsVector();
    q = {q.x * s.x, q.y * s.y, q.z * s.z};
    return Square(q) <= 1;
}

bool SphereCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TVector o = CentreIn(a, b);
    TVector s = b.Scale().AsVector();
    TVector h = b.BoxExtents();
    TAffineVector d{std::fabs(o.x) * s.x - h.x, std::fabs(o.y) * s.y - h.y,
                    std::fabs(o.z) * s.z - h.z};
    if (std::isnan(d.x) || std::isnan(d.y) || std::isnan(d.z)) {
        return false;
    }
    float r = a.BoundingRadius();
    float r2 = r * r;
    float sum = 0;
    int outside = 0;
    float single = 0;
    for (int k = 0; k < 3; ++k) {
        if (d[k] > 0) {
            ++outside;
            sum += d[k] * d[k];
            single = d[k];
        }
    }
    switch (outside) {
    case 0:
        return true;
    case 1:
        return single <= r;
    default:
        return sum <= r2;
    }
}

bool EllipsoidEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TAffineVector p = Ratio(CentreIn(a, b), b.BoxExtents());
    TAffineVector q = Ratio(CentreIn(b, a), a.BoxExtents());
    return Square(p) + Square(q) <= 2;
}

bool EllipsoidCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return Square(Ratio(CentreIn(a, b), AddToAll(b.UnscaledBoxExtents(), a.BoundingRadius()))) <= 1;
}

bool CubeCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return CubeInCube(a, b) || CubeInCube(b, a);
}

bool ObjectBoxBox(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TMatrix m12 = MultiplyMatricesInline(a.WorldMatrix(), b.InverseWorldMatrix());
    TMatrix m21 = MultiplyMatricesInline(b.WorldMatrix(), a.InverseWorldMatrix());
    return BoxBoxIntersect(CollisionHierarchyBox(a), CollisionHierarchyBox(b), m12, m21);
}

bool CubeFaces(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TOctree* tree = FacesOctree(b);
    if (!tree) {
        return ObjectBoxBox(a, b);
    }
    return tree->BoxIntersect(CollisionHierarchyBox(a), a.WorldMatrix(), a.InverseWorldMatrix(),
                              b.WorldMatrix(), b.InverseWorldMatrix());
}

bool FacesFaces(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TOctree* ta = FacesOctree(a);
    TOctree* tb = ta ? FacesOctree(b) : nullptr;
    if (!ta || !tb) {
        return ObjectBoxBox(a, b);
    }
    return MeshMeshIntersect(*ta, a.WorldMatrix(), a.InverseWorldMatrix(), *tb,
                             CollisionHierarchyBox(b), b.WorldMatrix(), b.InverseWorldMatrix());
}

const TPairTest PairTestTable[cBoundingModeCount][cBoundingModeCount] = {
    {PointPoint, PointSphere, PointEllipsoid, PointCube, PointCube},
    {SpherePoint, SphereSphere, SphereEllipsoid, SphereCube, SphereCube},
    {Swapped<PointEllipsoid>, Swapped<SphereEllipsoid>, EllipsoidEllipsoid, EllipsoidCube,
     EllipsoidCube},
    {Swapped<PointCube>, Swapped<SphereCube>, Swapped<EllipsoidCube>, CubeCube, CubeFaces},
    {Swapped<PointCube>, Swapped<SphereCube>, Swapped<EllipsoidCube>, Swapped<CubeFaces>,
     FacesFaces},
};

TPairTest PairTestFor(TCollisionBoundingMode a, TCollisionBoundingMode b) {
    if (!IsValidBoundingMode(a) || !IsValidBoundingMode(b)) {
        return nullptr;
    }
    return PairTestTable[a][b];
}

} // namespace hk
