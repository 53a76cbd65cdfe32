// Exact triangle tests of the faces mode: a box against a triangle (separating axes) and a
// triangle against a triangle (Moller's interval overlap, with its coplanar branch).
#pragma once

#include "engine/vector_types.h"

#include <algorithm>
#include <cmath>

namespace hk {

// Whether the triangle (t0, t1, t2) meets the box, both in the box's space. Bounds are
// inclusive. The edge axes are measured about the box's centre, so boxes that are not centred
// on their space's origin are tested correctly too.
bool BoxTriangleIntersect(const TAABB& box, const TAffineVector& t0, const TAffineVector& t1,
                          const TAffineVector& t2);

// Whether two triangles intersect (touching counts). Signed distances below 1e-6 in magnitude
// count as zero; when all are zero the triangles are compared in the coordinate plane that
// drops the largest component of the normal. A triangle of zero area (null normal) meets
// nothing; NaN coordinates meet nothing.
bool TriangleTriangleIntersect(const TAffineVector& v0, const TAffineVector& v1,
                               const TAffineVector& v2, const TAffineVector& u0,
                               const TAffineVector& u1, const TAffineVector& u2);

// A triangle made ready for many triangle-triangle tests: its vertices in double precision,
// its (unnormalised) normal n and plane offset c (n.x + c = 0 on its plane), computed once.
struct TPreparedTriangle {
    double v[3][3];
    double n[3];
    double c;
    // False for zero area or NaN: such a triangle meets nothing.
    bool hasSurface;
};
TPreparedTriangle PrepareTriangle(const TAffineVector& v0, const TAffineVector& v1,
                                  const TAffineVector& v2);
// TriangleTriangleIntersect on prepared triangles, with the very same arithmetic: the answer is
// identical bit for bit, the normals are only not computed again.
bool TriangleTriangleIntersect(const TPreparedTriangle& a, const TPreparedTriangle& b);

// How far from a triangle another may lie and still be counted as meeting it: four times the
// distance at which the triangle test's tolerance puts a point from its plane, plus an allowance
// for the rounding of coordinates of its magnitude. Zero for a triangle without surface.
// `length` is |n|, when the caller has it.
double TriangleReach(const TPreparedTriangle& t);
double TriangleReach(const TPreparedTriangle& t, double length);
// The share of the largest coordinate magnitude that TriangleReach allows for rounding.
constexpr double cReachRounding = 1.0e-9;

// Whether two triangles of two meshes meet: the triangle test, less its answers for triangles
// further apart than the larger reach of the two. With nearly parallel planes, plane values
// under the tolerance let the interval test report triangles far apart along the planes as
// meeting (by far more than the tolerance's distance); those answers are set aside.
bool MeshTrianglesMeet(const TPreparedTriangle& a, const TPreparedTriangle& b);

// The plane of a triangle alone, computed as PrepareTriangle computes it, for callers that
// need plane values but not the rest of the triangle.
struct TTrianglePlane {
    double n[3];
    double c;
    bool hasSurface;
};
TTrianglePlane TrianglePlane(const TAffineVector& v0, const TAffineVector& v1,
                             const TAffineVector& v2);

// The signed plane distance of `p` as the triangle test computes it for the other triangle's
// vertices (n.p + c, unnormalised, before distances under 1e-6 count as zero).
inline double PlaneValue(const double (&n)[3], double c, const double (&p)[3]) {
    return n[0] * p[0] + n[1] * p[1] + n[2] * p[2] + c;
}
inline double PlaneValue(const TPreparedTriangle& t, const double (&p)[3]) {
    return PlaneValue(t.n, t.c, p);
}
inline double PlaneValue(const TTrianglePlane& t, const double (&p)[3]) {
    return PlaneValue(t.n, t.c, p);
}

// The magnitude below which the triangle test counts a plane value as zero.
constexpr double cTrianglePlaneEpsilon = 1.0e-6;
inline double SnapPlaneValue(double d) {
    return std::fabs(d) < cTrianglePlaneEpsilon ? 0.0 : d;
}

// Whether three plane values of a triangle's vertices put it strictly on one side of the
// other triangle's plane as the triangle test decides it (each at least the tolerance, all of
// one sign). The test then answers false without looking further.
inline bool OnOneSideOfPlane(double d0, double d1, double d2) {
    d0 = SnapPlaneValue(d0), d1 = SnapPlaneValue(d1), d2 = SnapPlaneValue(d2);
    return d0 * d1 > 0 && d0 * d2 > 0;
}

// Whether every point of the box gets a plane value, as PlaneValue computes it, beyond the
// tolerance and on one and the same side. Every triangle with its vertices in such a box is
// then on one side of the plane for the triangle test, which answers false for it. The bound
// allows for the rounding of both this bound and the values themselves: each is within a few
// units in the last place of `scale`, which bounds every term of any value in the box.
inline bool BoxOnOneSideOfPlane(const TPreparedTriangle& t, const TAABB& box) {
    double lo = t.c, hi = t.c, scale = std::fabs(t.c);
    for (int k = 0; k < 3; ++k) {
        const double a = t.n[k] * double(box.min[k]), b = t.n[k] * double(box.max[k]);
        lo += std::min(a, b);
        hi += std::max(a, b);
        scale += std::max(std::fabs(a), std::fabs(b));
    }
    const double limit = cTrianglePlaneEpsilon + 1.0e-14 * scale;
    return lo > limit || hi < -limit;
}

// A box and a slab holding the same points: the slab spans the values from `lo` to `hi` of
// d.p over the points (d need not be of unit length), allowing for their rounding. `e` is
// d / (d.d) and `reach` the box's greatest coordinate magnitude on each axis, both computed once.
struct TSlab {
    double d[3], e[3];
    double lo, hi;
    double reach[3];
};

// BoxOnOneSideOfPlane, with the plane's normal split into a part along the slab's direction,
// bounded by the slab, and the rest, bounded by the box. Points in a thin slab along a plane
// that is nearly the triangle's are then bounded far more tightly than by the box alone.
inline bool SlabOnOneSideOfPlane(const TPreparedTriangle& t, const TAABB& box, const TSlab& s) {
    // n.p + c = along * (d.p) + r.p + c exactly for r = n - along * d, whatever `along` is; the
    // computed r differs from that by a few units in the last place of |n| + |along * d|, as the
    // margin allows.
    const double along = t.n[0] * s.e[0] + t.n[1] * s.e[1] + t.n[2] * s.e[2];
    const double a = along * s.lo, b = along * s.hi;
    double lo = t.c + std::min(a, b), hi = t.c + std::max(a, b);
    double scale = std::fabs(t.c) + std::max(std::fabs(a), std::fabs(b));
    for (int k = 0; k < 3; ++k) {
        const double ad = along * s.d[k], r = t.n[k] - ad;
        const double p = r * double(box.min[k]), q = r * double(box.max[k]);
        lo += std::min(p, q);
        hi += std::max(p, q);
        scale += (std::fabs(t.n[k]) + std::fabs(ad)) * s.reach[k];
    }
    const double limit = cTrianglePlaneEpsilon + 1.0e-12 * scale;
    return lo > limit || hi < -limit;
}

} // namespace hk
