// The exact pair tests the collision pass runs on the pairs its broad phase keeps: one test
// per combination of the two objects' bounding modes. Every test is a pure query on the two
// objects' matrices, extents and scales; the only side effect is that a mesh met in faces
// mode without an octree gets one of depth 3 built.
#pragma once

#include "collision/bounding_mode.h"
#include "collision/overlap_witness.h"
#include "engine/vector_types.h"

namespace hk {

class TGLBaseSceneObject;
class TOctree;

// What the pair tests read of one object, taken at once: its matrices, WorldPosition,
// UnscaledBoxExtents, scale and unscaled hierarchy box. The collision pass takes it once per
// object and pass, so that the tests of many pairs do not walk the scene objects again.
struct TPairShape {
    TGLBaseSceneObject* object;
    TMatrix world, inverse;
    TVector position, extents, scale;
    TAABB box;
    // The faces octree, looked up by the first faces test that needs it; objects that are not
    // meshes have none, known from the start.
    TOctree* octree = nullptr;
    bool octreeLooked = false;
    // Where a pass keeps the frame of this shape's box for the box tests' quick proof of a
    // meeting while it tests the shape; without one, the tests work the frame out each time.
    TWitnessFrame* witness = nullptr;
};
TPairShape PairShapeOf(TGLBaseSceneObject& object);
// As PairShapeOf, with the hierarchy box already known.
TPairShape PairShapeOf(TGLBaseSceneObject& object, const TAABB& hierarchyBox);

using TShapePairTest = bool (*)(TPairShape& a, TPairShape& b);
// Row = A's mode, column = B's mode. Entries marked "swap" in the mode table call the named
// test with B first. A half-extent of zero used as a divisor makes the shape flat on that axis:
// a centre exactly on the flat plane counts as on it, any other lies outside; no division by
// zero happens and NaN never yields a hit.
extern const TShapePairTest ShapePairTestTable[cBoundingModeCount][cBoundingModeCount];

// The named tests the table is made of, A first.
bool PointPoint(TPairShape& a, TPairShape& b);
bool PointSphere(TPairShape& a, TPairShape& b);
bool SpherePoint(TPairShape& a, TPairShape& b);
bool SphereSphere(TPairShape& a, TPairShape& b);
bool PointEllipsoid(TPairShape& a, TPairShape& b);
bool PointCube(TPairShape& a, TPairShape& b);
bool SphereEllipsoid(TPairShape& a, TPairShape& b);
bool SphereCube(TPairShape& a, TPairShape& b);
bool EllipsoidEllipsoid(TPairShape& a, TPairShape& b);
bool EllipsoidCube(TPairShape& a, TPairShape& b);
bool CubeCube(TPairShape& a, TPairShape& b);
bool CubeFaces(TPairShape& a, TPairShape& b);
bool FacesFaces(TPairShape& a, TPairShape& b);
// The box-box test between the two hierarchy boxes, each in its own frame: what the faces
// tests fall back on for objects that are not meshes.
bool ObjectBoxBox(TPairShape& a, TPairShape& b);

// The octree the faces tests use for `object`: none when it is not a free-form mesh;
// otherwise its octree, built at depth 3 first when it has none of this library's kind.
TOctree* FacesOctree(TGLBaseSceneObject& object);

} // namespace hk
