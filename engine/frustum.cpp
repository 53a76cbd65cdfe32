// Frustum planes from a combined row-vector matrix, and sphere/box tests against them.
#include "engine/frustum.h"

#include <cmath>

namespace hk {

namespace {

// Column j of m as a plane candidate.
TVector Column(const TMatrix& m, int j) {
    return {m[0][j], m[1][j], m[2][j], m[3][j]};
}

TVector PlaneOf(const TVector& a, const TVector& b, float sign) {
    double p[4];
    for (int i = 0; i < 4; ++i) {
        p[i] = double(a[i]) + sign * double(b[i]);
    }
    double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    if (len > 0) {
        for (double& c : p) {
            c /= len;
        }
    }
    return {float(p[0]), float(p[1]), float(p[2]), float(p[3])};
}

double Distance(const TVector& plane, double x, double y, double z) {
    return plane.x * x + plane.y * y + plane.z * z + plane.w;
}

} // namespace

TFrustum ExtractFrustumFromModelViewProjection(const TMatrix& m) {
    // With clip = v x M, each clip coordinate is v dotted with a column of M.
    TVector cx = Column(m, 0), cy = Column(m, 1), cz = Column(m, 2), cw = Column(m, 3);
    TFrustum f;
    f.pLeft = PlaneOf(cw, cx, 1);
    f.pRight = PlaneOf(cw, cx, -1);
    f.pBottom = PlaneOf(cw, cy, 1);
    f.pTop = PlaneOf(cw, cy, -1);
    f.pNear = PlaneOf(cw, cz, 1);
    f.pFar = PlaneOf(cw, cz, -1);
    return f;
}

bool IsVolumeClipped(const TAffineVector& c, float radius, const TFrustum& f) {
    const TVector* planes[6] = {&f.pLeft, &f.pRight, &f.pTop, &f.pBottom, &f.pNear, &f.pFar};
    for (const TVector* p : planes) {
        if (Distance(*p, c.x, c.y, c.z) < -double(radius)) {
            return true;
        }
    }
    return false;
}

bool IsVolumeClipped(const TAABB& b, const TFrustum& f) {
    const TVector* planes[6] = {&f.pLeft, &f.pRight, &f.pTop, &f.pBottom, &f.pNear, &f.pFar};
    for (const TVector* p : planes) {
        // The corner farthest along the plane normal; when even it is outside, all are.
        double x = p->x >= 0 ? b.max.x : b.min.x;
        double y = p->y >= 0 ? b.max.y : b.min.y;
        double z = p->z >= 0 ? b.max.z : b.min.z;
        if (Distance(*p, x, y, z) < 0) {
            return true;
        }
    }
    return false;
}

} // namespace hk
