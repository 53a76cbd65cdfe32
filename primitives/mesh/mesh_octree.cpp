#include "primitives/mesh/mesh_octree.h"

namespace hk {
namespace {

TMeshOctreeFactory& Factory() {
    static TMeshOctreeFactory factory;
    return factory;
}

} // namespace

void SetMeshOctreeFactory(TMeshOctreeFactory factory) {
    Factory() = std::move(factory);
}

std::unique_ptr<TMeshOctree> CreateMeshOctree() {
    return Factory() ? Factory()() : nullptr;
}

} // namespace hk
