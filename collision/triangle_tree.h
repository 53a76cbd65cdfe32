// TTriangleTree: a bounding-volume tree over a mesh's triangles: runs of triangles split at the
// median down to leaves of a few, each node with the mean normal of its triangles. The mesh
// filter walks two of them against each other to show that no triangle of one mesh lies near
// one of the other. Built from the mesh's prepared triangles; the octree is left as built. The
// tree holds no bounds: node fits bound its triangles where they lie.
#pragma once

#include "collision/triangle_tests.h"

#include <array>
#include <vector>

namespace hk {

class TTriangleTree {
public:
    struct TNode {
        // A unit vector across the node's triangles: their mean normal, zero where they have
        // none. Slabs along it bound the triangles tightly where the surface is smooth.
        double u[3];
        // The triangles Triangle(first) to Triangle(first + count - 1).
        int first, count;
        // The second child; the first is the node just after this one. -1 in a leaf.
        int second;
        bool IsLeaf() const { return second < 0; }
    };

    // Replaces the tree with one over every triangle of `triangles`, with or without surface.
    void Build(const std::vector<TPreparedTriangle>& triangles);

    int NodeCount() const { return int(nodes_.size()); }
    const TNode& Node(int index) const { return nodes_[std::size_t(index)]; }
    // The triangle at position k of the tree's order (each node holds a run of positions), and
    // the position of triangle i.
    int Triangle(int k) const { return order_[std::size_t(k)]; }
    int Position(int i) const { return positions_[std::size_t(i)]; }
    // The triangles in the tree's order: out[k] = triangles[Triangle(k)].
    template <class T> void Reorder(const std::vector<T>& triangles, std::vector<T>& out) const {
        out.resize(order_.size());
        for (std::size_t k = 0; k < order_.size(); ++k) {
            out[k] = triangles[std::size_t(order_[k])];
        }
    }
    // Whether every vertex is finite; a tree over triangles that are not has no nodes.
    bool Finite() const { return finite_; }

private:
    using TUnitNormals = std::vector<std::array<double, 3>>;
    void Split(int first, int count, const std::vector<TPreparedTriangle>& triangles,
               const TUnitNormals& normals);

    std::vector<TNode> nodes_;
    std::vector<int> order_;
    std::vector<int> positions_;
    bool finite_ = true;
};

} // namespace hk
