// Exact triangle tests of the faces mode: a box against a triangle (separating axes) and a
// triangle against a triangle (Moller's interval overlap, with its coplanar branch).
#pragma once

#include "engine/vector_types.h"

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
// The signed plane distance of `p` as the triangle test computes it for the other triangle's
// vertices (n.p + c, unnormalised, before distances under 1e-6 count as zero).
double PlaneValue(const TPreparedTriangle& t, const double (&p)[3]);
// The magnitude below which the triangle test counts a plane value as zero.
constexpr double cTrianglePlaneEpsilon = 1.0e-6;

} // namespace hk
