// Bounds of the triangles under each node of a triangle tree: a box, a slab across the node's
// mean normal and the largest reach, fitted to the triangles where they lie. The mesh filter
// compares them between two meshes.
#pragma once

#include "collision/triangle_tree.h"

#include <vector>

namespace hk {

// What the filter keeps of a triangle besides its prepared form.
struct TTriangleBound {
    double reach;
    // 1 / |n|, turning plane values into distances.
    double inverseLength;
    // False for a triangle that meets nothing (no surface).
    bool active;
};
TTriangleBound BoundOf(const TPreparedTriangle& t);

// An axis-aligned box in double precision; empty while lo > hi on an axis.
struct TBox3 {
    double lo[3], hi[3];
};

// A node fitted to its active triangles: their box, a slab across the node's direction (u of
// unit length or zero, from lo to hi), their greatest reach, least |n| and longest edge; `any`
// is false where none is active.
struct TNodeFit {
    TBox3 box;
    double u[3];
    double lo, hi;
    double reach, normalMin, edgeMax;
    bool any;
};

// A leaf's fit along the unit direction u, from the triangles at its positions (arrays indexed
// by position).
TNodeFit FitLeaf(const TTriangleTree::TNode& leaf, const double (&u)[3],
                 const TPreparedTriangle* triangles, const TTriangleBound* bounds);
// Every node's fit along its own direction, from triangles and bounds in the tree's order.
void FitNodes(const TTriangleTree& tree, const std::vector<TPreparedTriangle>& triangles,
              const std::vector<TTriangleBound>& bounds, std::vector<TNodeFit>& fits);

// Bounds on u.p (u of unit length) over the points of a fitted node: from its box, and from its
// slab and box together, u split into a part along the slab's direction and the rest.
void RangeAlong(const double (&u)[3], const TNodeFit& f, double& lo, double& hi);

} // namespace hk
