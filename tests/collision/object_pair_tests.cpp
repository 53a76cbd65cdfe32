// Object-level forms of the mode-pair tests and their table.
#include "object_pair_tests.h"

namespace hk::test {

namespace {

template <TShapePairTest Test> bool OnObjects(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TPairShape sa = PairShapeOf(a);
    TPairShape sb = PairShapeOf(b);
    return Test(sa, sb);
}

template <TPairTest Test> bool Swapped(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return Test(b, a);
}

} // namespace

bool PointPoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::PointPoint>(a, b);
}
bool PointSphere(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::PointSphere>(a, b);
}
bool SpherePoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::SpherePoint>(a, b);
}
bool SphereSphere(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::SphereSphere>(a, b);
}
bool PointEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::PointEllipsoid>(a, b);
}
bool PointCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::PointCube>(a, b);
}
bool SphereEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::SphereEllipsoid>(a, b);
}
bool SphereCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::SphereCube>(a, b);
}
bool EllipsoidEllipsoid(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::EllipsoidEllipsoid>(a, b);
}
bool EllipsoidCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::EllipsoidCube>(a, b);
}
bool CubeCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::CubeCube>(a, b);
}
bool CubeFaces(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::CubeFaces>(a, b);
}
bool FacesFaces(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::FacesFaces>(a, b);
}
bool ObjectBoxBox(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    return OnObjects<hk::ObjectBoxBox>(a, b);
}

const TPairTest PairTestTable[cBoundingModeCount][cBoundingModeCount] = {
    {PointPoint, PointSphere, PointEllipsoid, PointCube, PointCube},
    {SpherePoint, SphereSphere, SphereEllipsoid, SphereCube, SphereCube},
    {Swapped<PointEllipsoid>, Swapped<SphereEllipsoid>, EllipsoidEllipsoid, EllipsoidCube,
     EllipsoidCube},
    {Swapped<PointCube>, Swapped<SphereCube>, Swapped<EllipsoidCube>, CubeCube, CubeFaces},
    {Swapped<PointCube>, Swapped<SphereCube>, Swapped<EllipsoidCube>, Swapped<CubeFaces>,
     FacesFaces},
};

TPairTest PairTestFor(TCollisionBoundingMode a, TCollisionBoundingMode b) {
    if (!IsValidBoundingMode(a) || !IsValidBoundingMode(b)) {
        return nullptr;
    }
    return PairTestTable[a][b];
}

} // namespace hk::test
