// Turning the named meshes of a 3DS file into mesh objects: smoothing-group normals, with a
// vertex duplicated wherever faces that meet there do not share a group, and one face group per
// material group.
#pragma once

#include "primitives/mesh/mesh_object.h"
#include "primitives/mesh/objects_3ds.h"

#include <memory>
#include <vector>

namespace hk {

// One face-group mesh object per visible object of 3 or more vertices, in order. Face normals
// are (V2 - V1) x (V0 - V1), reversed with mnoInvert; corners that share a vertex and the
// lowest bit of their smoothing masks share the sum of their normals, the others get a copy of
// the vertex with their face's normal; all normals end unit length (a degenerate face's zero
// normal stays zero). Face groups carry the 3DS material names only when keepMaterialNames.
// The objects must have passed Read3DSObjects' checks.
std::vector<std::unique_ptr<TMeshObject>>
Build3DSMeshObjects(const std::vector<T3DSObject>& objects, TMeshNormalsOrientation orientation,
                    bool keepMaterialNames);

} // namespace hk
