// TGLFreeForm: the triangle mesh of a 3DS item, with the triangle octree that face-mode
// collision tests query. The octree class comes from the collision library through the factory
// of mesh_octree.h; the free form owns the one it creates.
#pragma once

#include "primitives/mesh/base_mesh.h"
#include "primitives/mesh/mesh_octree.h"

#include <memory>

namespace hk {

class TGLFreeForm final : public TGLBaseMesh {
public:
    // Creates the octree when there is none (with the registered factory, or keeps the one
    // given by SetOctree), then builds it anew over the extents and triangles of the mesh.
    // Does nothing when no octree class is known.
    void BuildOctree(int depth = 3);
    // The octree, none before the first build.
    TMeshOctree* Octree() const { return octree_.get(); }
    void SetOctree(std::unique_ptr<TMeshOctree> octree) { octree_ = std::move(octree); }

private:
    std::unique_ptr<TMeshOctree> octree_;
};

} // namespace hk
