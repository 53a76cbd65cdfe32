// Node fits: leaves from their triangles, the nodes above from their two children.
#include "collision/node_fit.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

double Length(const double (&v)[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

TNodeFit EmptyFit(const double (&u)[3]) {
    return {{{INFINITY, INFINITY, INFINITY}, {-INFINITY, -INFINITY, -INFINITY}},
            {u[0], u[1], u[2]},
            INFINITY,
            -INFINITY,
            0,
            INFINITY,
            0,
            false};
}

void TakeBox(TBox3& box, const TBox3& other) {
    for (int k = 0; k < 3; ++k) {
        box.lo[k] = std::min(box.lo[k], other.lo[k]);
        box.hi[k] = std::max(box.hi[k], other.hi[k]);
    }
}

} // namespace

TTriangleBound BoundOf(const TPreparedTriangle& t) {
    TTriangleBound b{0, 0, t.hasSurface};
    if (!t.hasSurface) {
        return b;
    }
    const double length = Length(t.n);
    b.reach = TriangleReach(t, length);
    b.inverseLength = 1 / length;
    // A triangle with a surface but with coordinates or a plane not finite may be reported as
    // meeting anything: its reach then sets nothing aside.
    if (!std::isfinite(b.reach) || !std::isfinite(b.inverseLength) || !std::isfinite(t.c)) {
        b.reach = INFINITY;
    }
    return b;
}

TNodeFit FitLeaf(const TTriangleTree::TNode& leaf, const double (&u)[3],
                 const TPreparedTriangle* triangles, const TTriangleBound* bounds) {
    TNodeFit f = EmptyFit(u);
    for (int k = leaf.first; k < leaf.first + leaf.count; ++k) {
        if (!bounds[std::size_t(k)].active) {
            continue;
        }
        const TPreparedTriangle& t = triangles[std::size_t(k)];
        for (int i = 0; i < 3; ++i) {
            const auto& v = t.v[i];
            f.box.lo[0] = std::min(f.box.lo[0], v[0]), f.box.hi[0] = std::max(f.box.hi[0], v[0]);
            f.box.lo[1] = std::min(f.box.lo[1], v[1]), f.box.hi[1] = std::max(f.box.hi[1], v[1]);
            f.box.lo[2] = std::min(f.box.lo[2], v[2]), f.box.hi[2] = std::max(f.box.hi[2], v[2]);
            const double d = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
            f.lo = std::min(f.lo, d);
            f.hi = std::max(f.hi, d);
            const auto& w = t.v[(i + 1) % 3];
            const double e[3] = {w[0] - v[0], w[1] - v[1], w[2] - v[2]};
            f.edgeMax = std::max(f.edgeMax, Length(e));
        }
        f.reach = std::max(f.reach, bounds[std::size_t(k)].reach);
        f.normalMin = std::min(f.normalMin, Length(t.n));
        f.any = true;
    }
    return f;
}

void FitNodes(const TTriangleTree& tree, const std::vector<TPreparedTriangle>& triangles,
              const std::vector<TTriangleBound>& bounds, std::vector<TNodeFit>& fits) {
    fits.resize(std::size_t(tree.NodeCount()));
    for (int i = tree.NodeCount() - 1; i >= 0; --i) {
        const TTriangleTree::TNode& n = tree.Node(i);
        if (n.IsLeaf()) {
            fits[std::size_t(i)] = FitLeaf(n, n.u, triangles.data(), bounds.data());
            continue;
        }
        TNodeFit f = EmptyFit(n.u);
        for (const TNodeFit* c : {&fits[std::size_t(i + 1)], &fits[std::size_t(n.second)]}) {
            if (!c->any) {
                continue;
            }
            double lo, hi;
            RangeAlong(f.u, *c, lo, hi);
            f.lo = std::min(f.lo, lo);
            f.hi = std::max(f.hi, hi);
            TakeBox(f.box, c->box);
            f.reach = std::max(f.reach, c->reach);
            f.normalMin = std::min(f.normalMin, c->normalMin);
            f.edgeMax = std::max(f.edgeMax, c->edgeMax);
            f.any = true;
        }
        fits[std::size_t(i)] = f;
    }
}

void RangeAlong(const double (&u)[3], const TNodeFit& f, double& lo, double& hi) {
    const double along = u[0] * f.u[0] + u[1] * f.u[1] + u[2] * f.u[2];
    double boxLo = 0, boxHi = 0;
    double slabLo = std::min(along * f.lo, along * f.hi);
    double slabHi = std::max(along * f.lo, along * f.hi);
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

} // namespace hk
