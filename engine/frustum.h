// The view frustum as six planes, and the visibility tests the scene walk culls with.
#pragma once

#include "engine/vector_types.h"

namespace hk {

// Planes as (a, b, c, d) with a unit normal pointing into the frustum: a point p is inside a
// plane when a*p.x + b*p.y + c*p.z + d >= 0.
struct TFrustum {
    TVector pLeft, pRight, pTop, pBottom, pNear, pFar;
};

// Planes of the combined matrix modelView x projection (row-vector order).
TFrustum ExtractFrustumFromModelViewProjection(const TMatrix& modelViewProj);

// True when the sphere lies completely outside one of the planes.
bool IsVolumeClipped(const TAffineVector& center, float radius, const TFrustum& frustum);
// True when the box lies completely outside one of the planes.
bool IsVolumeClipped(const TAABB& box, const TFrustum& frustum);

} // namespace hk
