// The named triangle meshes of a 3D Studio file, as plain data taken from its chunk tree.
#pragma once

#include "engine/vector_types.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace hk {

struct T3DSFace {
    std::uint16_t A = 0, B = 0, C = 0;
    std::uint16_t Flags = 0;
};

struct T3DSMaterialGroup {
    std::string MaterialName;
    std::vector<std::uint16_t> Faces; // indices into the object's faces
};

struct T3DSObject {
    std::string Name;
    bool Hidden = false;
    std::vector<TAffineVector> Vertices;
    bool HasTexVertices = false;
    std::vector<TTexPoint> TexVertices;
    std::vector<T3DSFace> Faces;
    std::vector<T3DSMaterialGroup> MaterialGroups;
    bool HasSmoothing = false;
    std::vector<std::uint32_t> SmoothingMasks; // one per face, 0 for faces the list misses
    bool HasMatrix = false;
    std::array<float, 12> Matrix{}; // read, never applied
};

// The mesh objects of the first 0x3D3D chunk, in file order. A file whose root chunk is not a
// 3DS root yields none. Throws EInvalidVectorFile naming fileName and the object when the chunk
// tree lies about its lengths or a list announces more entries than its chunk holds; and, for
// the visible objects of 3 or more vertices that meshes are built from, when a vertex is not a
// finite number, a face names a vertex the object lacks or a material group names a face the
// object lacks. A smoothing list longer than the faces is cut to them; a shorter one leaves the
// remaining faces without a group; texture vertices are cut or zero-padded to the vertices.
std::vector<T3DSObject> Read3DSObjects(std::span<const std::uint8_t> data,
                                       const std::string& fileName);

} // namespace hk
