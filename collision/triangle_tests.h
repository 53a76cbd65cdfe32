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

} // namespace hk
