// Mesh filter: node fits and the walk of two triangle trees against each other.
//
// Every bound below is a distance computed in double precision from coordinates of at most the
// magnitude M of the triangles it concerns, so it is within about 1e-15 M of the exact
// distance; the limit it is compared with, twice the larger reach, exceeds the reach by at
// least cReachRounding * M, far more than that error and the error of the distance with which
// MeshTrianglesMeet confirms a meeting.
#include "collision/mesh_filter.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace hk {

namespace {

// The gap between two boxes along the axis where it is largest (negative where they overlap).
double BoxGap(const TBox3& a, const TBox3& b) {
    double gap = -INFINITY;
    for (int k = 0; k < 3; ++k) {
        gap = std::max({gap, b.lo[k] - a.hi[k], a.lo[k] - b.hi[k]});
    }
    return gap;
}

// Bounds on u.p (u of unit length) over the points of a fitted node: from its box, and from its
// slab and box together, u split into a part along the slab's direction and the rest.
void RangeAlong(const double (&u)[3], const TNodeFit& f, double& lo, double& hi) {
    const double along = u[0] * f.u[0] + u[1] * f.u[1] + u[2] * f.u[2];
    double boxLo = 0, boxHi = 0;
    double slabLo = std::min(along * f.lo, along * f.hi),
           slabHi = std::max(along * f.lo, along * f.hi);
    for (int k = 0; k < 3; ++k) {
        const double r = u[k] - along * f.u[k];
        boxLo += std::min(u[k] * f.box.lo[k], u[k] * f.box.hi[k]);
        boxHi += std::max(u[k] * f.box.lo[k], u[k] * f.box.hi[k]);
        slabLo += std::min(r * f.box.lo[k], r * f.box.hi[k]);
        slabHi += std::max(r * f.box.lo[k], r * f.box.hi[k]);
    }
    lo = std::max(boxLo, slabLo);
    hi = std::min(boxHi, slabHi);
}

// The gap between the slab of `f` and the points of `g`, along the slab's direction.
double SlabGap(const TNodeFit& f, const TNodeFit& g) {
    double lo, hi;
    RangeAlong(f.u, g, lo, hi);
    return std::max(lo - f.hi, f.lo - hi);
}

// Whether the points q lie all further than `limit` on one side of the plane of p.
bool BeyondPlane(const TPreparedTriangle& p, double inverseLength, const TPreparedTriangle& q,
                 double limit) {
    double lo = INFINITY, hi = -INFINITY;
    for (const auto& v : q.v) {
        const double d = PlaneValue(p, v) * inverseLength;
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    return lo > limit || hi < -limit;
}

bool TrianglesApart(const TPreparedTriangle& a, const TTriangleBound& ba,
                    const TPreparedTriangle& b, const TTriangleBound& bb) {
    const double limit = 2 * std::max(ba.reach, bb.reach);
    for (int k = 0; k < 3; ++k) {
        const double aLo = std::min({a.v[0][k], a.v[1][k], a.v[2][k]});
        const double aHi = std::max({a.v[0][k], a.v[1][k], a.v[2][k]});
        const double bLo = std::min({b.v[0][k], b.v[1][k], b.v[2][k]});
        const double bHi = std::max({b.v[0][k], b.v[1][k], b.v[2][k]});
        if (bLo - aHi > limit || aLo - bHi > limit) {
            return true;
        }
    }
    return BeyondPlane(a, ba.inverseLength, b, limit) || BeyondPlane(b, bb.inverseLength, a, limit);
}

class TWalk {
public:
    TWalk(const TFilterSide& a, const TFilterSide& b, std::vector<unsigned char>& tried,
          const std::function<bool(int)>& meets)
        : a_(a), b_(b), tried_(tried), meets_(meets) {}

    // Whether a triangle of A under node a lies near one of B under node b and meets B; the
    // first that does is left in `found`.
    bool Meets(int a, int b) {
        const TNodeFit& fa = a_.fits[std::size_t(a)];
        const TNodeFit& fb = b_.fits[std::size_t(b)];
        if (!fa.any || !fb.any) {
            return false;
        }
        const double limit = 2 * std::max(fa.reach, fb.reach);
        if (BoxGap(fa.box, fb.box) > limit || SlabGap(fb, fa) > limit || SlabGap(fa, fb) > limit) {
            return false;
        }
        const TTriangleTree::TNode& na = a_.tree.Node(a);
        const TTriangleTree::TNode& nb = b_.tree.Node(b);
        if (na.IsLeaf() && nb.IsLeaf()) {
            return LeavesMeet(na, nb);
        }
        const bool splitA = !na.IsLeaf() && (nb.IsLeaf() || Extent(fa.box) >= Extent(fb.box));
        if (splitA) {
            return Meets(a + 1, b) || Meets(na.second, b);
        }
        return Meets(a, b + 1) || Meets(a, nb.second);
    }

    int found = -1;

private:
    static double Extent(const TBox3& box) {
        return std::max({box.hi[0] - box.lo[0], box.hi[1] - box.lo[1], box.hi[2] - box.lo[2]});
    }

    bool LeavesMeet(const TTriangleTree::TNode& na, const TTriangleTree::TNode& nb) {
        for (int i = na.first; i < na.first + na.count; ++i) {
            const std::size_t ia = std::size_t(i);
            if (!a_.bounds[ia].active || tried_[ia]) {
                continue;
            }
            for (int j = nb.first; j < nb.first + nb.count; ++j) {
                const std::size_t ib = std::size_t(j);
                if (!b_.bounds[ib].active || TrianglesApart(a_.triangles[ia], a_.bounds[ia],
                                                            b_.triangles[ib], b_.bounds[ib])) {
                    continue;
                }
                tried_[ia] = 1;
                const int triangle = a_.tree.Triangle(i);
                if (meets_(triangle)) {
                    found = triangle;
                    return true;
                }
                break;
            }
        }
        return false;
    }

    const TFilterSide& a_;
    const TFilterSide& b_;
    std::vector<unsigned char>& tried_;
    const std::function<bool(int)>& meets_;
};

} // namespace

TTriangleBound BoundOf(const TPreparedTriangle& t) {
    TTriangleBound b{0, 0, t.hasSurface};
    if (!t.hasSurface) {
        return b;
    }
    const double length = std::sqrt(t.n[0] * t.n[0] + t.n[1] * t.n[1] + t.n[2] * t.n[2]);
    b.reach = TriangleReach(t, length);
    b.inverseLength = 1 / length;
    // A triangle with a surface but with coordinates or a plane not finite may be reported as
    // meeting anything: its reach then sets nothing aside.
    if (!std::isfinite(b.reach) || !std::isfinite(b.inverseLength) || !std::isfinite(t.c)) {
        b.reach = INFINITY;
    }
    return b;
}

void FitNodes(const TTriangleTree& tree, const std::vector<TPreparedTriangle>& triangles,
              const std::vector<TTriangleBound>& bounds, const TMatrix* turn,
              std::vector<TNodeFit>& fits) {
    fits.resize(std::size_t(tree.NodeCount()));
    for (int i = tree.NodeCount() - 1; i >= 0; --i) {
        const TTriangleTree::TNode& n = tree.Node(i);
        TNodeFit f{{{INFINITY, INFINITY, INFINITY}, {-INFINITY, -INFINITY, -INFINITY}},
                   {n.u[0], n.u[1], n.u[2]},
                   INFINITY,
                   -INFINITY,
                   0,
                   false};
        if (turn) {
            double w[3], length = 0;
            for (int k = 0; k < 3; ++k) {
                w[k] = turn->V[k][0] * n.u[0] + turn->V[k][1] * n.u[1] + turn->V[k][2] * n.u[2];
                length += w[k] * w[k];
            }
            length = std::sqrt(length);
            for (int k = 0; k < 3; ++k) {
                f.u[k] = length > 0 && std::isfinite(length) ? w[k] / length : 0;
            }
        }
        if (n.IsLeaf()) {
            for (int k = n.first; k < n.first + n.count; ++k) {
                const std::size_t t = std::size_t(k);
                if (!bounds[t].active) {
                    continue;
                }
                for (const auto& v : triangles[t].v) {
                    for (int j = 0; j < 3; ++j) {
                        f.box.lo[j] = std::min(f.box.lo[j], v[j]);
                        f.box.hi[j] = std::max(f.box.hi[j], v[j]);
                    }
                    const double d = f.u[0] * v[0] + f.u[1] * v[1] + f.u[2] * v[2];
                    f.lo = std::min(f.lo, d);
                    f.hi = std::max(f.hi, d);
                }
                f.reach = std::max(f.reach, bounds[t].reach);
                f.any = true;
            }
        } else {
            for (const TNodeFit* c : {&fits[std::size_t(i + 1)], &fits[std::size_t(n.second)]}) {
                if (!c->any) {
                    continue;
                }
                double lo, hi;
                RangeAlong(f.u, *c, lo, hi);
                f.lo = std::min(f.lo, lo);
                f.hi = std::max(f.hi, hi);
                for (int j = 0; j < 3; ++j) {
                    f.box.lo[j] = std::min(f.box.lo[j], c->box.lo[j]);
                    f.box.hi[j] = std::max(f.box.hi[j], c->box.hi[j]);
                }
                f.reach = std::max(f.reach, c->reach);
                f.any = true;
            }
        }
        fits[std::size_t(i)] = f;
    }
}

int FirstMeeting(const TFilterSide& a, const TFilterSide& b, std::vector<unsigned char>& tried,
                 const std::function<bool(int)>& meets) {
    if (a.tree.NodeCount() == 0 || b.tree.NodeCount() == 0) {
        return -1;
    }
    tried.assign(a.triangles.size(), 0);
    TWalk walk(a, b, tried, meets);
    walk.Meets(0, 0);
    return walk.found;
}

} // namespace hk
