// The seam between a free-form mesh and the triangle octree that the collision library builds
// over it: the mesh owns one octree object and fills it, the collision library supplies the
// class and queries it. Primitives do not depend on the collision library.
#pragma once

#include "engine/vector_lists.h"

#include <functional>
#include <memory>

namespace hk {

class TMeshOctree {
public:
    virtual ~TMeshOctree() = default;
    // Discards any old tree and builds one of `depth` levels over the box, holding the
    // triangles (three points each, mesh-local).
    virtual void InitializeTree(const TAffineVector& min, const TAffineVector& max,
                                const TAffineVectorList& triangles, int depth) = 0;
};

using TMeshOctreeFactory = std::function<std::unique_ptr<TMeshOctree>()>;

// The collision library registers its octree class here once; until then free forms build no
// octree. Replaces any earlier factory.
void SetMeshOctreeFactory(TMeshOctreeFactory factory);
// Creates an octree with the registered factory; none without one.
std::unique_ptr<TMeshOctree> CreateMeshOctree();

} // namespace hk
