// The mesh filter: finds the few triangles of mesh A that lie near a triangle of mesh B, so that
// the mesh-mesh test need ask only about those. Two triangles further apart than the larger of
// their reaches never meet (MeshTrianglesMeet), so a candidate of A that lies further than twice
// that (which also covers the rounding of these bounds) from every triangle of B meets none of
// them, whichever of B's leaves its walk would reach. The filter walks the two meshes' triangle
// trees against each other and sets a pair of nodes aside by a gap between their boxes or
// across the mean normal of either node, and a pair of triangles by a gap between their boxes
// or between the plane of one and the other's vertices; a candidate with a pair it cannot set
// aside is handed to the mesh-mesh test's own question.
#pragma once

#include "collision/node_fit.h"
#include "collision/placed_mesh.h"

#include <functional>
#include <vector>

namespace hk {

// Mesh B's triangles as the filter reads them, in B's space and in the order of the tree built
// over them, with its nodes fitted to them.
struct TFilterSide {
    const TTriangleTree& tree;
    const std::vector<TPreparedTriangle>& triangles;
    const std::vector<TTriangleBound>& bounds;
    const std::vector<TNodeFit>& fits;
};

// The first of A's active triangles, in the walk's order, that lies within twice the larger
// reach of an active triangle of B and for which `meets` is true; -1 if none. `meets` is asked
// once at most of each of A's triangles, and only of those, so when it is the mesh-mesh test's
// question for a candidate, the answer is the test's. B's tree must be finite.
int FirstMeeting(TPlacedMesh& a, const TFilterSide& b, const std::function<bool(int)>& meets);

} // namespace hk
