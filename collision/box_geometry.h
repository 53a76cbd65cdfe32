// Box geometry shared by the collision tests: the fixed corner, edge and face tables of a box,
// the box transform, the oriented box-box test and the unscaled hierarchy box of an object.
#pragma once

#include "engine/vector_types.h"

#include <array>

namespace hk {

class TGLBaseSceneObject;

// The eight corners of a box in the order (x0,y0,z0) (x1,y0,z0) (x1,y1,z0) (x0,y1,z0), then
// the same four at z1 (0 = minimum, 1 = maximum).
using TBoxCorners = std::array<TAffineVector, 8>;
TBoxCorners BoxCorners(const TAABB& box);
// The corners of the symmetric box from -halfExtents to +halfExtents.
TBoxCorners BoxCorners(const TAffineVector& halfExtents);

// Edges as corner pairs and faces as four corners each, in the order the tests walk them.
inline constexpr int cBoxEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                         {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
inline constexpr int cBoxFaces[6][4] = {{1, 2, 6, 5}, {2, 3, 7, 6}, {0, 1, 2, 3},
                                        {0, 3, 7, 4}, {0, 1, 5, 4}, {5, 6, 7, 4}};

// The axis-aligned box enclosing the eight corners of `box` transformed by `m` as points. A
// NaN coordinate anywhere makes the result NaN on that axis (it is never silently dropped),
// so callers can recognise the box as unusable.
TAABB BoxTransform(const TAABB& box, const TMatrix& m);

// True when every coordinate of the box is finite and min <= max on every axis.
bool IsUsableBox(const TAABB& box);

// Whether two boxes, each in its own space, intersect. m12 carries box1's space into box2's,
// m21 the reverse. Corners of either box inside the other count (bounds inclusive), then
// box1's edges are cut with box2's faces and box2's edges with box1's faces.
bool BoxBoxIntersect(const TAABB& box1, const TAABB& box2, const TMatrix& m12, const TMatrix& m21);

// The object's own box from minus to plus the absolute values of its UnscaledBoxExtents,
// merged with each child's hierarchy box carried into this object's space by the child's
// ObjectMatrix. The object's own scale is not applied (its WorldMatrix carries it).
TAABB CollisionHierarchyBox(TGLBaseSceneObject& object);
// The same with the object's UnscaledBoxExtents already read.
TAABB CollisionHierarchyBox(TGLBaseSceneObject& object, const TVector& extents);

} // namespace hk
