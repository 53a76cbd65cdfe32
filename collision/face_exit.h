// The one-coordinate form of the triangle test's early exit against a box face triangle.
#pragma once

#include "engine/vector_types.h"

namespace hk {

// The triangle test answers false at once when the second triangle's three vertices lie
// strictly on one side of the first one's plane (plane values beyond the tolerance, of one
// sign). A triangle of a box face lies in a plane perpendicular to an axis, and the value the
// test computes for a point depends then on that one coordinate, never decreasing or never
// increasing with it. So the exit is decided by comparing coordinates with two limits found
// once: a triangle whose vertices all have coordinate[axis] <= below, or all >= above, is
// rejected; any other is not. The limits come from the very arithmetic of the test.
struct TFaceExit {
    // -1 when the face triangle's plane is not of that form (a degenerate or non-finite box):
    // the caller then computes the plane values itself.
    int axis = -1;
    float below = 0, above = 0;
};

TFaceExit MakeFaceExit(const TAffineVector& f0, const TAffineVector& f1, const TAffineVector& f2);

} // namespace hk
