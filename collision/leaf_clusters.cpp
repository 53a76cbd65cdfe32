// Leaf clusters: each leaf's triangles split at the median of their centres along the longest
// side of their box until a few are left.
#include "collision/leaf_clusters.h"

#include <algorithm>

namespace hk {

namespace {

// Triangles per cluster of the lowest level.
constexpr int cClusterSize = 4;

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
    clusters_.push_back({box, first, lowest ? count : 0, 0});
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
