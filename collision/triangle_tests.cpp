// Box-triangle separating-axis test and Moller's triangle-triangle test, in double precision.
//
// A box and a triangle are apart exactly when some axis separates their projections, and only
// thirteen axes can: the box's three, the triangle's normal and the nine cross products of a
// box axis with a triangle edge. Two triangles meet only if each straddles or touches the
// other's plane; then both cross the line where the planes meet, and they meet when their
// intervals on that line overlap. Triangles in one plane take a test in two dimensions instead
// (edges crossing, or one inside the other). Double precision, and plane distances under a
// small epsilon counted as zero, keep touching and coplanar cases stable.
#include "collision/triangle_tests.h"

#include <algorithm>
#include <cmath>
#include <fcl/narrowphase/detail/primitive_shape_algorithm/triangle_distance.h>
#include <utility>

namespace hk {

namespace {

struct D3 {
    double x, y, z;
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

D3 ToD(const TAffineVector& v) {
    return {v.x, v.y, v.z};
}
D3 Sub(const D3& a, const D3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
D3 Cross(const D3& a, const D3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const D3& a, const D3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Franklin Antonio's edge-edge test in the projection plane (i0, i1): the edge starting at v0
// with direction (ax, ay) against the edge u0-u1.
bool EdgeEdge(double ax, double ay, const D3& v0, const D3& u0, const D3& u1, int i0, int i1) {
    double bx = u0[i0] - u1[i0];
    double by = u0[i1] - u1[i1];
    double cx = v0[i0] - u0[i0];
    double cy = v0[i1] - u0[i1];
    double f = ay * bx - ax * by;
    double d = by * cx - bx * cy;
    if ((f > 0 && d >= 0 && d <= f) || (f < 0 && d <= 0 && d >= f)) {
        double e = ax * cy - ay * cx;
        if (f > 0) {
            return e >= 0 && e <= f;
        }
        return e <= 0 && e >= f;
    }
    return false;
}

bool EdgeAgainstTriangleEdges(const D3& v0, const D3& v1, const D3& u0, const D3& u1, const D3& u2,
                              int i0, int i1) {
    double ax = v1[i0] - v0[i0];
    double ay = v1[i1] - v0[i1];
    return EdgeEdge(ax, ay, v0, u0, u1, i0, i1) || EdgeEdge(ax, ay, v0, u1, u2, i0, i1) ||
           EdgeEdge(ax, ay, v0, u2, u0, i0, i1);
}

bool PointInTriangle(const D3& v, const D3& u0, const D3& u1, const D3& u2, int i0, int i1) {
    auto side = [&](const D3& p, const D3& q) {
        double a = q[i1] - p[i1];
        double b = -(q[i0] - p[i0]);
        double c = -a * p[i0] - b * p[i1];
        return a * v[i0] + b * v[i1] + c;
    };
    double d0 = side(u0, u1);
    double d1 = side(u1, u2);
    double d2 = side(u2, u0);
    return d0 * d1 > 0 && d0 * d2 > 0;
}

bool CoplanarTriangles(const D3& n, const D3 (&v)[3], const D3 (&u)[3]) {
    double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    int i0, i1;
    if (ax > ay) {
        if (ax > az) {
            i0 = 1, i1 = 2;
        } else {
            i0 = 0, i1 = 1;
        }
    } else if (az > ay) {
        i0 = 0, i1 = 1;
    } else {
        i0 = 0, i1 = 2;
    }
    for (int e = 0; e < 3; ++e) {
        if (EdgeAgainstTriangleEdges(v[e], v[(e + 1) % 3], u[0], u[1], u[2], i0, i1)) {
            return true;
        }
    }
    return PointInTriangle(v[0], u[0], u[1], u[2], i0, i1) ||
           PointInTriangle(u[0], v[0], v[1], v[2], i0, i1);
}

// The interval where a triangle crosses the line of intersection, from its vertices projected
// on that line (p) and their signed distances to the other plane (d). False when all three
// distances are zero (coplanar).
bool Interval(const double (&p)[3], const double (&d)[3], double& lo, double& hi) {
    auto cut = [&](int a, int b, int c) {
        lo = p[a] + (p[b] - p[a]) * d[a] / (d[a] - d[b]);
        hi = p[a] + (p[c] - p[a]) * d[a] / (d[a] - d[c]);
    };
    if (d[0] * d[1] > 0) {
        cut(2, 0, 1);
    } else if (d[0] * d[2] > 0) {
        cut(1, 0, 2);
    } else if (d[1] * d[2] > 0 || d[0] != 0) {
        cut(0, 1, 2);
    } else if (d[1] != 0) {
        cut(1, 0, 2);
    } else if (d[2] != 0) {
        cut(2, 0, 1);
    } else {
        return false;
    }
    if (lo > hi) {
        std::swap(lo, hi);
    }
    return true;
}

} // namespace

bool BoxTriangleIntersect(const TAABB& box, const TAffineVector& t0, const TAffineVector& t1,
                          const TAffineVector& t2) {
    D3 lo = ToD(box.min), hi = ToD(box.max);
    D3 t[3] = {ToD(t0), ToD(t1), ToD(t2)};
    for (int k = 0; k < 3; ++k) {
        double mn = std::min({t[0][k], t[1][k], t[2][k]});
        double mx = std::max({t[0][k], t[1][k], t[2][k]});
        if (!(mn <= hi[k] && mx >= lo[k])) {
            return false;
        }
    }
    D3 e[3] = {Sub(t[1], t[0]), Sub(t[2], t[1]), Sub(t[0], t[2])};
    D3 n = Cross(e[0], e[1]);
    double d = -Dot(n, t[0]);
    D3 vLo{n.x > 0 ? lo.x : hi.x, n.y > 0 ? lo.y : hi.y, n.z > 0 ? lo.z : hi.z};
    D3 vHi{n.x > 0 ? hi.x : lo.x, n.y > 0 ? hi.y : lo.y, n.z > 0 ? hi.z : lo.z};
    if (Dot(n, vLo) + d > 0 || Dot(n, vHi) + d < 0) {
        return false;
    }
    // The nine edge-cross-axis directions, about the box's centre.
    D3 c{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    D3 h = Sub(hi, c);
    D3 r[3] = {Sub(t[0], c), Sub(t[1], c), Sub(t[2], c)};
    const D3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const D3& u : units) {
        for (const D3& edge : e) {
            D3 a = Cross(u, edge);
            double p0 = Dot(a, r[0]), p1 = Dot(a, r[1]), p2 = Dot(a, r[2]);
            double rad = std::fabs(a.x) * h.x + std::fabs(a.y) * h.y + std::fabs(a.z) * h.z;
            if (std::min({p0, p1, p2}) > rad || std::max({p0, p1, p2}) < -rad) {
                return false;
            }
        }
    }
    return true;
}

TTrianglePlane TrianglePlane(const TAffineVector& v0, const TAffineVector& v1,
                             const TAffineVector& v2) {
    const D3 a = ToD(v0);
    const D3 n = Cross(Sub(ToD(v1), a), Sub(ToD(v2), a));
    // Zero area carries no surface; NaN fails the comparison and is caught here too.
    return {{n.x, n.y, n.z}, -Dot(n, a), Dot(n, n) > 0};
}

TPreparedTriangle PrepareTriangle(const TAffineVector& v0, const TAffineVector& v1,
                                  const TAffineVector& v2) {
    const TTrianglePlane plane = TrianglePlane(v0, v1, v2);
    const D3 v[3] = {ToD(v0), ToD(v1), ToD(v2)};
    TPreparedTriangle t{};
    for (int k = 0; k < 3; ++k) {
        t.v[k][0] = v[k].x, t.v[k][1] = v[k].y, t.v[k][2] = v[k].z;
        t.n[k] = plane.n[k];
    }
    t.c = plane.c;
    t.hasSurface = plane.hasSurface;
    return t;
}

bool TriangleTriangleIntersect(const TPreparedTriangle& a, const TPreparedTriangle& b) {
    if (!a.hasSurface || !b.hasSurface) {
        return false;
    }
    double du[3] = {SnapPlaneValue(PlaneValue(a, b.v[0])), SnapPlaneValue(PlaneValue(a, b.v[1])),
                    SnapPlaneValue(PlaneValue(a, b.v[2]))};
    if (OnOneSideOfPlane(du[0], du[1], du[2])) {
        return false;
    }
    double dv[3] = {SnapPlaneValue(PlaneValue(b, a.v[0])), SnapPlaneValue(PlaneValue(b, a.v[1])),
                    SnapPlaneValue(PlaneValue(b, a.v[2]))};
    if (OnOneSideOfPlane(dv[0], dv[1], dv[2])) {
        return false;
    }
    const D3 v[3] = {{a.v[0][0], a.v[0][1], a.v[0][2]},
                     {a.v[1][0], a.v[1][1], a.v[1][2]},
                     {a.v[2][0], a.v[2][1], a.v[2][2]}};
    const D3 u[3] = {{b.v[0][0], b.v[0][1], b.v[0][2]},
                     {b.v[1][0], b.v[1][1], b.v[1][2]},
                     {b.v[2][0], b.v[2][1], b.v[2][2]}};
    const D3 n1{a.n[0], a.n[1], a.n[2]};
    const D3 n2{b.n[0], b.n[1], b.n[2]};
    D3 dir = Cross(n1, n2);
    int axis = 0;
    double best = std::fabs(dir.x);
    if (std::fabs(dir.y) > best) {
        axis = 1, best = std::fabs(dir.y);
    }
    if (std::fabs(dir.z) > best) {
        axis = 2;
    }
    double pv[3] = {v[0][axis], v[1][axis], v[2][axis]};
    double pu[3] = {u[0][axis], u[1][axis], u[2][axis]};
    double lo1, hi1, lo2, hi2;
    if (!Interval(pv, dv, lo1, hi1)) {
        return CoplanarTriangles(n1, v, u);
    }
    if (!Interval(pu, du, lo2, hi2)) {
        return CoplanarTriangles(n1, v, u);
    }
    return !(hi1 < lo2 || hi2 < lo1);
}

bool TriangleTriangleIntersect(const TAffineVector& a0, const TAffineVector& a1,
                               const TAffineVector& a2, const TAffineVector& b0,
                               const TAffineVector& b1, const TAffineVector& b2) {
    return TriangleTriangleIntersect(PrepareTriangle(a0, a1, a2), PrepareTriangle(b0, b1, b2));
}

double TriangleReach(const TPreparedTriangle& t, double length) {
    if (!t.hasSurface) {
        return 0;
    }
    double magnitude = 0;
    for (const auto& v : t.v) {
        magnitude = std::max({magnitude, std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])});
    }
    return 4 * cTrianglePlaneEpsilon / length + cReachRounding * magnitude;
}

double TriangleReach(const TPreparedTriangle& t) {
    return TriangleReach(t, std::sqrt(t.n[0] * t.n[0] + t.n[1] * t.n[1] + t.n[2] * t.n[2]));
}

bool MeshTrianglesMeet(const TPreparedTriangle& a, const TPreparedTriangle& b) {
    if (!TriangleTriangleIntersect(a, b)) {
        return false;
    }
    using V = fcl::Vector3d;
    auto at = [](const TPreparedTriangle& t, int k) { return V(t.v[k][0], t.v[k][1], t.v[k][2]); };
    V p, q;
    const double distance = fcl::detail::TriangleDistanced::triDistance(
        at(a, 0), at(a, 1), at(a, 2), at(b, 0), at(b, 1), at(b, 2), p, q);
    return !(distance > std::max(TriangleReach(a), TriangleReach(b)));
}

} // namespace hk
