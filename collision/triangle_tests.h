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

} // namespace hk
