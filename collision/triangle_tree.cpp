// Triangle tree build: the triangles split at the median of their centres along the longest
// side of their box until a few are left, as the leaf clusters split.
#include "collision/triangle_tree.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

// Triangles per leaf.
constexpr int cLeafSize = 4;

} // namespace

void TTriangleTree::Build(const std::vector<TPreparedTriangle>& triangles) {
    nodes_.clear();
    order_.resize(triangles.size());
    for (std::size_t i = 0; i < order_.size(); ++i) {
        order_[i] = int(i);
    }
    finite_ = std::all_of(triangles.begin(), triangles.end(), [](const TPreparedTriangle& t) {
        return std::all_of(&t.v[0][0], &t.v[0][0] + 9, [](double c) { return std::isfinite(c); });
    });
    if (!triangles.empty() && finite_) {
        // Each triangle's unit normal (zero without a surface), found once for every level.
        TUnitNormals normals(triangles.size());
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            const TPreparedTriangle& t = triangles[i];
            const double length = std::sqrt(t.n[0] * t.n[0] + t.n[1] * t.n[1] + t.n[2] * t.n[2]);
            const bool usable = t.hasSurface && std::isfinite(length);
            for (int k = 0; k < 3; ++k) {
                normals[i][k] = usable ? t.n[k] / length : 0.0;
            }
        }
        nodes_.reserve(triangles.size() / 2 + 1);
        Split(0, int(triangles.size()), triangles, normals);
    }
    positions_.resize(order_.size());
    for (std::size_t k = 0; k < order_.size(); ++k) {
        positions_[std::size_t(order_[k])] = int(k);
    }
}

void TTriangleTree::Split(int first, int count, const std::vector<TPreparedTriangle>& triangles,
                          const TUnitNormals& normals) {
    const auto begin = order_.begin() + first, end = begin + count;
    TNode node{{0, 0, 0}, first, count, -1};
    double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    double u[3] = {0, 0, 0};
    for (auto it = begin; it != end; ++it) {
        const TPreparedTriangle& t = triangles[std::size_t(*it)];
        for (const auto& v : t.v) {
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], v[k]);
                hi[k] = std::max(hi[k], v[k]);
            }
        }
        // Normals of either orientation make the slab alike, so each counts turned towards the
        // sum so far.
        const auto& n = normals[std::size_t(*it)];
        const double sign = u[0] * n[0] + u[1] * n[1] + u[2] * n[2] < 0 ? -1 : 1;
        for (int k = 0; k < 3; ++k) {
            u[k] += sign * n[k];
        }
    }
    const double length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (length > 0 && std::isfinite(length)) {
        for (int k = 0; k < 3; ++k) {
            node.u[k] = u[k] / length;
        }
    }
    const int self = int(nodes_.size());
    nodes_.push_back(node);
    if (count <= cLeafSize) {
        return;
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (hi[k] - lo[k] > hi[axis] - lo[axis]) {
            axis = k;
        }
    }
    auto centre = [&](int t) {
        const TPreparedTriangle& p = triangles[std::size_t(t)];
        return p.v[0][axis] + p.v[1][axis] + p.v[2][axis];
    };
    const int half = count / 2;
    std::nth_element(begin, begin + half, end, [&](int a, int b) { return centre(a) < centre(b); });
    Split(first, half, triangles, normals);
    nodes_[std::size_t(self)].second = int(nodes_.size());
    Split(first + half, count - half, triangles, normals);
}

} // namespace hk
