// Fuzz target for the 3DS reader: any byte string either reads into mesh objects whose face
// groups stay within their vertices, or is refused with EInvalidVectorFile.
#include "primitives/mesh/mesh_3ds.h"
#include "primitives/mesh/objects_3ds.h"
#include "primitives/mesh/vector_file_error.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto objects = hk::Read3DSObjects({data, size}, "fuzz.3ds");
        const auto meshes = hk::Build3DSMeshObjects(objects, hk::mnoDefault, true);
        for (const auto& mesh : meshes) {
            if (mesh->Normals.Count() != mesh->Vertices.Count())
                std::abort();
            for (const auto& group : mesh->FaceGroups)
                if (!group->IndicesValid(*mesh))
                    std::abort();
        }
    } catch (const hk::EInvalidVectorFile&) {
    }
    return 0;
}
