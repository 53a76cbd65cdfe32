#include "primitives/mesh/free_form.h"

namespace hk {

void TGLFreeForm::BuildOctree(int depth) {
    if (!octree_)
        octree_ = CreateMeshOctree();
    if (!octree_)
        return;
    TAffineVector min, max;
    GetExtents(min, max);
    const TAffineVectorList triangles = ExtractTriangles();
    octree_->InitializeTree(min, max, triangles, depth);
}

} // namespace hk
