#include "primitives/mesh/file_3ds.h"

#include "primitives/mesh/base_mesh.h"
#include "primitives/mesh/chunk_3ds.h"
#include "primitives/mesh/mesh_3ds.h"
#include "primitives/mesh/objects_3ds.h"

#include <cstdint>
#include <vector>

namespace hk {

std::unique_ptr<TVectorFile> TGL3DSVectorFile::Create(TGLBaseMesh& owner) {
    return std::make_unique<TGL3DSVectorFile>(owner);
}

void TGL3DSVectorFile::LoadFromStream(std::istream& stream) {
    std::vector<std::uint8_t> bytes;
    char block[65536];
    while (stream.read(block, sizeof block) || stream.gcount() > 0) {
        bytes.insert(bytes.end(), block, block + stream.gcount());
        if (bytes.size() > T3DSChunkTree::cMaxFileSize)
            throw EInvalidVectorFile(ResourceName() + ": the file is larger than " +
                                     std::to_string(T3DSChunkTree::cMaxFileSize >> 20) + " MiB");
    }
    if (stream.bad())
        throw EInvalidVectorFile(ResourceName() + ": the file could not be read");
    const auto objects = Read3DSObjects(bytes, ResourceName());
    auto meshes =
        Build3DSMeshObjects(objects, NormalsOrientation(), Owner().MaterialLibrary() != nullptr);
    for (auto& mesh : meshes)
        Owner().MeshObjects().push_back(std::move(mesh));
}

} // namespace hk
