// Mesh filter: the walk of two triangle trees against each other.
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
    TWalk(TPlacedMesh& a, const TFilterSide& b, const std::function<bool(int)>& meets)
        : a_(a), b_(b), meets_(meets) {}

    // Whether a triangle of A under node a lies near one of B under node b and meets B; the
    // first that does is left in `found`.
    bool Meets(int a, int b) {
        const TNodeFit& fa = a_.Fit(a);
        const TNodeFit& fb = b_.fits[std::size_t(b)];
        if (!fa.any || !fb.any) {
            return false;
        }
        const double limit = 2 * std::max(fa.reach, fb.reach);
        if (BoxGap(fa.box, fb.box) > limit || SlabGap(fb, fa) > limit || SlabGap(fa, fb) > limit) {
            return false;
        }
        const TTriangleTree::TNode& na = a_.Tree().Node(a);
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
            if (!a_.Bound(i).active || a_.Tried(i)) {
                continue;
            }
            for (int j = nb.first; j < nb.first + nb.count; ++j) {
                const std::size_t ib = std::size_t(j);
                if (!b_.bounds[ib].active ||
                    TrianglesApart(a_.Triangle(i), a_.Bound(i), b_.triangles[ib], b_.bounds[ib])) {
                    continue;
                }
                a_.SetTried(i);
                const int triangle = a_.Tree().Triangle(i);
                if (meets_(triangle)) {
                    found = triangle;
                    return true;
                }
                break;
            }
        }
        return false;
    }

    TPlacedMesh& a_;
    const TFilterSide& b_;
    const std::function<bool(int)>& meets_;
};

} // namespace

int FirstMeeting(TPlacedMesh& a, const TFilterSide& b, const std::function<bool(int)>& meets) {
    if (a.Tree().NodeCount() == 0 || b.tree.NodeCount() == 0) {
        return -1;
    }
    TWalk walk(a, b, meets);
    walk.Meets(0, 0);
    return walk.found;
}

} // namespace hk
