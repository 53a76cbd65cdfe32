// Leaf clusters: each leaf's triangles split at the median of their centres along the longest
// side of their box until a few are left.
#include "collision/leaf_clusters.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

// Triangles per cluster of the lowest level.
constexpr int cClusterSize = 4;

// The slab of the triangles across the sum of their unit normals (one that bounds nothing when
// that is not finite). Each d.p below is within a few units in the last place
// of |d| * |p| of its exact value; the ends are widened by far more.
TSlab Slab(std::vector<int>::const_iterator begin, std::vector<int>::const_iterator end,
           const TAffineVector* vertices, const TAABB& box) {
    TSlab s{};
    for (auto it = begin; it != end; ++it) {
        const TAffineVector* v = vertices + std::size_t(*it) * 3;
        const TTrianglePlane p = TrianglePlane(v[0], v[1], v[2]);
        const double length = std::sqrt(p.n[0] * p.n[0] + p.n[1] * p.n[1] + p.n[2] * p.n[2]);
        if (p.hasSurface && std::isfinite(length)) {
            for (int k = 0; k < 3; ++k) {
                s.d[k] += p.n[k] / length;
            }
        }
    }
    double lo = INFINITY, hi = -INFINITY, size = 0;
    for (auto it = begin; it != end; ++it) {
        for (int j = 0; j < 3; ++j) {
            const TAffineVector& v = vertices[std::size_t(*it) * 3 + std::size_t(j)];
            const double value = s.d[0] * v.x + s.d[1] * v.y + s.d[2] * v.z;
            lo = std::min(lo, value);
            hi = std::max(hi, value);
            size = std::max(size, std::fabs(s.d[0] * v.x) + std::fabs(s.d[1] * v.y) +
                                      std::fabs(s.d[2] * v.z));
        }
    }
    const double dd = s.d[0] * s.d[0] + s.d[1] * s.d[1] + s.d[2] * s.d[2];
    s.lo = lo - 1.0e-13 * size;
    s.hi = hi + 1.0e-13 * size;
    for (int k = 0; k < 3; ++k) {
        s.e[k] = s.d[k] / dd;
        s.reach[k] = std::max(std::fabs(double(box.min[k])), std::fabs(double(box.max[k])));
    }
    const bool finite = std::isfinite(s.lo) && std::isfinite(s.hi) && std::isfinite(s.e[0]) &&
                        std::isfinite(s.e[1]) && std::isfinite(s.e[2]) &&
                        std::isfinite(s.reach[0] + s.reach[1] + s.reach[2]);
    if (!(dd > 0) || !finite) {
        s = {};
        s.lo = -INFINITY; // its bounds come out NaN, which settles nothing
        s.hi = INFINITY;
    }
    return s;
}

} // namespace

void TLeafClusters::Clear(int nodeCount) {
    clusters_.clear();
    order_.clear();
    ranges_.assign(std::size_t(std::max(nodeCount, 0)), {});
}

void TLeafClusters::AddLeaf(int node, const std::vector<int>& triangles,
                            const TAffineVector* vertices) {
    const int first = int(order_.size());
    order_.insert(order_.end(), triangles.begin(), triangles.end());
    TRange& r = ranges_[std::size_t(node)];
    r.begin = int(clusters_.size());
    if (!triangles.empty()) {
        Split(first, int(triangles.size()), vertices);
    }
    r.end = int(clusters_.size());
}

void TLeafClusters::Split(int first, int count, const TAffineVector* vertices) {
    auto begin = order_.begin() + first, end = begin + count;
    TAABB box{vertices[std::size_t(*begin) * 3], vertices[std::size_t(*begin) * 3]};
    for (auto it = begin; it != end; ++it) {
        for (int k = 0; k < 3; ++k) {
            const TAffineVector& v = vertices[std::size_t(*it) * 3 + std::size_t(k)];
            for (int a = 0; a < 3; ++a) {
                box.min[a] = std::min(box.min[a], v[a]);
                box.max[a] = std::max(box.max[a], v[a]);
            }
        }
    }
    const int self = int(clusters_.size());
    const bool lowest = count <= cClusterSize;
    clusters_.push_back({box, Slab(begin, end, vertices, box), first, lowest ? count : 0, 0});
    if (!lowest) {
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (box.max[a] - box.min[a] > box.max[axis] - box.min[axis]) {
                axis = a;
            }
        }
        auto centre = [&](int t) {
            const TAffineVector* v = vertices + std::size_t(t) * 3;
            return v[0][axis] + v[1][axis] + v[2][axis];
        };
        const int half = count / 2;
        std::nth_element(begin, begin + half, end,
                         [&](int a, int b) { return centre(a) < centre(b); });
        Split(first, half, vertices);
        Split(first + half, count - half, vertices);
    }
    clusters_[std::size_t(self)].next = int(clusters_.size());
}

} // namespace hk
