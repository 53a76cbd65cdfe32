// Boxes over the triangles of each octree leaf, nested in a small binary tree per leaf, so that
// a search can pass over a whole group of triangles when one test on its box settles them all.
// Derived from an octree's triangles and leaf lists; the octree itself is left as built.
#pragma once

#include "collision/triangle_tests.h"
#include "engine/vector_types.h"

#include <vector>

namespace hk {

class TLeafClusters {
public:
    // Forgets every leaf; `nodeCount` is the octree's node count.
    void Clear(int nodeCount);
    // Groups the triangles of leaf `node` (indices into `vertices`, three vertices each).
    void AddLeaf(int node, const std::vector<int>& triangles, const TAffineVector* vertices);
    // Whether AddLeaf has grouped the triangles of leaf `node` since the last Clear.
    bool HasLeaf(int node) const { return ranges_[std::size_t(node)].begin >= 0; }

    // Calls visit(triangle) for the leaf's triangles, a cluster at a time in a fixed order,
    // passing over every cluster whose box and slab `skip(box, slab)` declines. Stops at the first
    // visit that returns true and returns true; false when none did.
    template <class Skip, class Visit> bool Search(int node, Skip&& skip, Visit&& visit) const {
        const TRange r = ranges_[std::size_t(node)];
        for (int i = r.begin; i < r.end;) {
            const TCluster& c = clusters_[std::size_t(i)];
            if (skip(c.box, c.slab)) {
                i = c.next;
                continue;
            }
            for (int k = c.first; k < c.first + c.count; ++k) {
                if (visit(order_[std::size_t(k)])) {
                    return true;
                }
            }
            ++i;
        }
        return false;
    }

private:
    struct TCluster {
        TAABB box;
        // Across the triangles' mean normal.
        TSlab slab;
        // The triangles order_[first, first + count) in a cluster of the lowest level; count is
        // 0 in a cluster that holds two others.
        int first, count;
        // The index just past this cluster and everything nested in it.
        int next;
    };
    struct TRange {
        int begin = -1, end = -1;
    };
    void Split(int first, int count, const TAffineVector* vertices);

    std::vector<TCluster> clusters_;
    std::vector<int> order_;
    std::vector<TRange> ranges_;
};

} // namespace hk
