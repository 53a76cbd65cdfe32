// The shapes an object can collide as. The ordinals index the pair-test table and the mode
// names of the collision report.
#pragma once

#include <cstdint>

namespace hk {

enum TCollisionBoundingMode : std::uint8_t {
    cbmPoint,     // the object's WorldPosition only
    cbmSphere,    // a sphere of BoundingRadius around WorldPosition
    cbmEllipsoid, // the half-extents as semi-axes, in the object's frame
    cbmCube,      // the box of the half-extents, in the object's frame
    cbmFaces      // mesh triangles or the hierarchy box against cubes and faces; else a cube
};

inline constexpr int cBoundingModeCount = 5;

inline bool IsValidBoundingMode(TCollisionBoundingMode mode) {
    return int(mode) < cBoundingModeCount;
}

} // namespace hk
