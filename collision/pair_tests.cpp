// The 25 mode-pair tests and their table.
//
// Each test looks at A from B's object space: A's centre, or A's box corners, carried there by
// B's inverse world matrix, where B's box is centred on the origin and aligned with the axes.
// Divided by B's half-extents, B's ellipsoid becomes the unit sphere and its box the unit cube,
// so most tests end in comparing a squared length or three coordinates with 1. A sphere is the
// ball whose radius is the length of the scaled half-extents. The faces modes test triangles
// where a mesh has them, through its octree, and otherwise fall back on the hierarchy boxes.
// The pass picks the test from a table indexed by the two modes, with no branching on modes
// per pair; a cell whose test is written for the other order calls it with B first.
#include "collision/pair_tests.h"

#include "collision/box_geometry.h"
#include "collision/octree.h"
#include "collision/overlap_witness.h"
#include "collision/transform_inline.h"
#include "engine/scene_object.h"
#include "engine/vector_geometry.h"
#include "primitives/mesh/free_form.h"

#include <cmath>
#include <memory>
#include <typeinfo>

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

TVector BoxExtents(const TPairShape& s) {
    return {s.extents.x * s.scale.x, s.extents.y * s.scale.y, s.extents.z * s.scale.z, 0};
}

float Radius(const TPairShape& s) {
    return VectorLength(BoxExtents(s));
}

// The centre of `a` in `b`'s object space.
TVector CentreIn(const TPairShape& a, const TPairShape& b) {
    return TransformVector(a.position, b.inverse);
}

TVector AddToAll(const TVector& v, float s) {
    return {v.x + s, v.y + s, v.z + s, 0};
}

// A's box corners carried into B's object space.
TBoxCorners CornersIn(const TPairShape& a, const TPairShape& b) {
    const TAffineVector e = a.extents.Affine();
    return TransformBoxCornersInline({{-e.x, -e.y, -e.z}, e},
                                     AffineProductInline(a.world, b.inverse));
}

// A corner inside the box of half-extents ub (bounds inclusive).
bool AnyCornerInside(const TBoxCorners& c, const TVector& ub) {
    for (const TAffineVector& p : c) {
        if (std::fabs(p.x) <= ub.x && std::fabs(p.y) <= ub.y && std::fabs(p.z) <= ub.z) {
            return true;
        }
    }
    return false;
}

// An edge between the corners crossing a face of the box of half-extents ub.
bool AnyEdgeCrosses(const TBoxCorners& c, const TVector& ub) {
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

TOctree* OctreeOf(TPairShape& s) {
    if (!s.octreeLooked) {
        s.octree = FacesOctree(*s.object);
        s.octreeLooked = true;
    }
    return s.octree;
}

// TGLFreeForm is final, so comparing types settles it, without the cost of a failing
// dynamic_cast on each of the many objects that are not meshes.
bool IsFreeForm(const TGLBaseSceneObject& object) {
    return typeid(object) == typeid(TGLFreeForm);
}

template <TShapePairTest Test> bool Swapped(TPairShape& a, TPairShape& b) {
    return Test(b, a);
}

} // namespace

bool PointPoint(TPairShape& a, TPairShape& b) {
    return VectorDistance2(b.position, a.position) <= 0.000001f;
}

bool PointSphere(TPairShape& a, TPairShape& b) {
    float r = Radius(b);
    return VectorDistance2(a.position, b.position) <= r * r;
}

bool SpherePoint(TPairShape& a, TPairShape& b) {
    float r = Radius(a);
    return VectorDistance2(b.position, a.position) <= r * r;
}

bool SphereSphere(TPairShape& a, TPairShape& b) {
    float r = Radius(a) + Radius(b);
    return VectorDistance2(a.position, b.position) <= r * r;
}

bool PointEllipsoid(TPairShape& a, TPairShape& b) {
    return Square(Ratio(CentreIn(a, b), b.extents)) <= 1;
}

bool PointCube(TPairShape& a, TPairShape& b) {
    TAffineVector q = Ratio(CentreIn(a, b), b.extents);
    return std::fabs(q.x) <= 1 && std::fabs(q.y) <= 1 && std::fabs(q.z) <= 1;
}

bool SphereEllipsoid(TPairShape& a, TPairShape& b) {
    TAffineVector q = Ratio(CentreIn(a, b), AddToAll(BoxExtents(b), Radius(a)));
    q = {q.x * b.scale.x, q.y * b.scale.y, q.z * b.scale.z};
    return Square(q) <= 1;
}

bool SphereCube(TPairShape& a, TPairShape& b) {
    TVector o = CentreIn(a, b);
    TVector h = BoxExtents(b);
    TAffineVector d{std::fabs(o.x) * b.scale.x - h.x, std::fabs(o.y) * b.scale.y - h.y,
                    std::fabs(o.z) * b.scale.z - h.z};
    if (std::isnan(d.x) || std::isnan(d.y) || std::isnan(d.z)) {
        return false;
    }
    float r = Radius(a);
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

bool EllipsoidEllipsoid(TPairShape& a, TPairShape& b) {
    TAffineVector p = Ratio(CentreIn(a, b), BoxExtents(b));
    TAffineVector q = Ratio(CentreIn(b, a), BoxExtents(a));
    return Square(p) + Square(q) <= 2;
}

bool EllipsoidCube(TPairShape& a, TPairShape& b) {
    return Square(Ratio(CentreIn(a, b), AddToAll(b.extents, Radius(a)))) <= 1;
}

// A corner or an edge of either box in or through the other. The four parts are a plain OR,
// so both directions' cheap corner checks come before either direction's edges.
bool CubeCube(TPairShape& a, TPairShape& b) {
    if (BoxesSurelyMeet(a, b, TWitnessBox::Extents)) {
        return true;
    }
    const TBoxCorners ca = CornersIn(a, b);
    if (AnyCornerInside(ca, b.extents)) {
        return true;
    }
    const TBoxCorners cb = CornersIn(b, a);
    return AnyCornerInside(cb, a.extents) || AnyEdgeCrosses(ca, b.extents) ||
           AnyEdgeCrosses(cb, a.extents);
}

bool ObjectBoxBox(TPairShape& a, TPairShape& b) {
    if (BoxesSurelyMeet(a, b, TWitnessBox::Hierarchy)) {
        return true;
    }
    TMatrix m12 = AffineProductInline(a.world, b.inverse);
    TMatrix m21 = AffineProductInline(b.world, a.inverse);
    return BoxBoxIntersect(a.box, b.box, m12, m21);
}

bool CubeFaces(TPairShape& a, TPairShape& b) {
    TOctree* tree = OctreeOf(b);
    if (!tree) {
        return ObjectBoxBox(a, b);
    }
    return tree->BoxIntersect(a.box, a.world, a.inverse, b.world, b.inverse);
}

bool FacesFaces(TPairShape& a, TPairShape& b) {
    TOctree* ta = OctreeOf(a);
    TOctree* tb = ta ? OctreeOf(b) : nullptr;
    if (!ta || !tb) {
        return ObjectBoxBox(a, b);
    }
    return MeshMeshIntersect(*ta, a.world, a.inverse, *tb, b.box, b.world, b.inverse);
}

TPairShape PairShapeOf(TGLBaseSceneObject& object, const TAABB& hierarchyBox) {
    const TMatrix& world = object.WorldMatrix();
    return {&object,
            world,
            object.InverseWorldMatrix(),
            world[3],
            object.UnscaledBoxExtents(),
            object.Scale().AsVector(),
            hierarchyBox,
            nullptr,
            !IsFreeForm(object),
            nullptr};
}

TPairShape PairShapeOf(TGLBaseSceneObject& object) {
    return PairShapeOf(object, CollisionHierarchyBox(object));
}

TOctree* FacesOctree(TGLBaseSceneObject& object) {
    if (!IsFreeForm(object)) {
        return nullptr;
    }
    auto* mesh = static_cast<TGLFreeForm*>(&object);
    auto* tree = dynamic_cast<TOctree*>(mesh->Octree());
    if (!tree) {
        auto fresh = std::make_unique<TOctree>();
        tree = fresh.get();
        mesh->SetOctree(std::move(fresh));
        mesh->BuildOctree(TOctree::cCollisionDepth);
    }
    return tree;
}

const TShapePairTest ShapePairTestTable[cBoundingModeCount][cBoundingModeCount] = {
    {PointPoint, PointSphere, PointEllipsoid, PointCube, PointCube},
    {SpherePoint, SphereSphere, SphereEllipsoid, SphereCube, SphereCube},
    {Swapped<PointEllipsoid>, Swapped<SphereEllipsoid>, EllipsoidEllipsoid, EllipsoidCube,
     EllipsoidCube},
    {Swapped<PointCube>, Swapped<SphereCube>, Swapped<EllipsoidCube>, CubeCube, CubeFaces},
    {Swapped<PointCube>, Swapped<SphereCube>, Swapped<EllipsoidCube>, Swapped<CubeFaces>,
     FacesFaces},
};

} // namespace hk
