// The mesh filter: finds the few triangles of mesh A that lie near a triangle of mesh B, so that
// the mesh-mesh test need ask only about those. Two triangles further apart than the larger of
// their reaches never meet (MeshTrianglesMeet), so a candidate of A that lies further than twice
// that (which also covers the rounding of these bounds) from every triangle of B meets none of
// them, whichever of B's leaves its walk would reach. The filter walks the two meshes' triangle
// trees against each other and sets a pair of nodes aside
// by a gap between their boxes or across the mean normal of either node, and a pair of
// triangles by a gap between their boxes or between the plane of one and the other's vertices;
// a candidate with a pair it cannot set aside is handed to the mesh-mesh test's own question.
#pragma once

#include "collision/triangle_tree.h"

#include <functional>
#include <vector>

namespace hk {

// What the filter keeps of a triangle besides its prepared form.
struct TTriangleBound {
    double reach;
    // 1 / |n|, turning plane values into distances.
    double inverseLength;
    // False for a triangle that meets nothing (no surface, or coordinates not finite).
    bool active;
};
TTriangleBound BoundOf(const TPreparedTriangle& t);

// An axis-aligned box in double precision; empty while lo > hi on an axis.
struct TBox3 {
    double lo[3], hi[3];
};

// A node of a triangle tree fitted to its active triangles where they are: their box, a slab
// across the node's direction (u of unit length or zero, from lo to hi) and their greatest
// reach; `any` is false where none is active.
struct TNodeFit {
    TBox3 box;
    double u[3];
    double lo, hi;
    double reach;
    bool any;
};
// Fits every node of `tree` to `triangles` and their bounds, both in the tree's order.
// With `turn`, the triangles lie elsewhere than where the tree was built: the columns of its
// linear part carry the nodes' directions along (`turn` is the inverse of the placement, whose
// transpose is what carries normals).
void FitNodes(const TTriangleTree& tree, const std::vector<TPreparedTriangle>& triangles,
              const std::vector<TTriangleBound>& bounds, const TMatrix* turn,
              std::vector<TNodeFit>& fits);

// One mesh's triangles as the filter reads them, all in one space and in the order of a tree
// built over them (or, for A, over the same triangles in their own space), with its nodes
// fitted to them.
struct TFilterSide {
    const TTriangleTree& tree;
    const std::vector<TPreparedTriangle>& triangles;
    const std::vector<TTriangleBound>& bounds;
    const std::vector<TNodeFit>& fits;
};

// The first of A's active triangles, in the walk's order, that lies within twice the larger
// reach of an active triangle of B and for which `meets` is true; -1 if none. `meets` is asked
// once at most of each of A's triangles, and only of those, so when it is the mesh-mesh test's
// question for a candidate, the answer is the test's. Both trees must be finite. A's tree may
// have been built with A's triangles elsewhere: only its fits are read.
int FirstMeeting(const TFilterSide& a, const TFilterSide& b, std::vector<unsigned char>& tried,
                 const std::function<bool(int)>& meets);

// The triangles of a mesh placed elsewhere (in its tree's order), with their bounds and fits,
// kept by the mesh for the passes in which it is A.
struct TPlacedTriangles {
    std::vector<TPreparedTriangle> triangles;
    std::vector<TTriangleBound> bounds;
    std::vector<TNodeFit> fits;
    // Marks of the positions FirstMeeting has asked about.
    std::vector<unsigned char> tried;
};

} // namespace hk
