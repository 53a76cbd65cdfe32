// The exact pair tests the collision pass runs on the pairs its broad phase keeps: one test
// per combination of the two objects' bounding modes. Every test is a pure query on the two
// objects' matrices, extents and scales; the only side effect is that a mesh met in faces
// mode without an octree gets one of depth 3 built.
#pragma once

#include "collision/bounding_mode.h"
#include "engine/vector_types.h"

namespace hk {

class TGLBaseSceneObject;
class TOctree;

using TPairTest = bool (*)(TGLBaseSceneObject& a, TGLBaseSceneObject& b);

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
};
TPairShape PairShapeOf(TGLBaseSceneObject& object);
// As PairShapeOf, with the hierarchy box already known.
TPairShape PairShapeOf(TGLBaseSceneObject& object, const TAABB& hierarchyBox);

using TShapePairTest = bool (*)(TPairShape& a, TPairShape& b);
// The same tests as PairTestTable, on shapes; the results are identical.
extern const TShapePairTest ShapePairTestTable[cBoundingModeCount][cBoundingModeCount];

// Row = A's mode, column = B's mode. Entries marked "swap" in the mode table call the named
// test with B first. A half-extent of zero used as a divisor makes the shape flat on that axis:
// a centre exactly on the flat plane counts as on it, any other lies outside; no division by
// zero happens and NaN never yields a hit.
extern const TPairTest PairTestTable[cBoundingModeCount][cBoundingModeCount];

// The test for two modes; none when either mode lies outside the table.
TPairTest PairTestFor(TCollisionBoundingMode a, TCollisionBoundingMode b);

bool PointPoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool PointSphere(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool SpherePoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool SphereSphere(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool PointEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool PointCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool SphereEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool SphereCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool EllipsoidEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool EllipsoidCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool CubeCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool CubeFaces(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool FacesFaces(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
// The box-box test between two objects' hierarchy boxes, each in its own frame.
bool ObjectBoxBox(TGLBaseSceneObject& a, TGLBaseSceneObject& b);

// The octree the faces tests use for `object`: none when it is not a free-form mesh;
// otherwise its octree, built at depth 3 first when it has none of this library's kind.
TOctree* FacesOctree(TGLBaseSceneObject& object);

} // namespace hk
