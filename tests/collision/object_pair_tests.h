// The mode-pair tests on scene objects: each takes both objects' shapes at once and runs the
// library's test of the same name, so that a test can call one mode pair on two objects, and
// the pass's table laid out again on objects, built from those names.
#pragma once

#include "collision/bounding_mode.h"
#include "collision/pair_tests.h"

namespace hk::test {

using TPairTest = bool (*)(TGLBaseSceneObject& a, TGLBaseSceneObject& b);

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
bool ObjectBoxBox(TGLBaseSceneObject& a, TGLBaseSceneObject& b);

// Row = A's mode, column = B's mode: the named test, or for a "swap" cell the named test with
// B first.
extern const TPairTest PairTestTable[cBoundingModeCount][cBoundingModeCount];

// The test for two modes; none when either mode lies outside the table.
TPairTest PairTestFor(TCollisionBoundingMode a, TCollisionBoundingMode b);

} // namespace hk::test
