// TGL3DSVectorFile: the reader behind "3ds" and "prj", turning a 3D Studio file's visible
// triangle meshes into face-group mesh objects of its owner.
#pragma once

#include "primitives/mesh/vector_file.h"

namespace hk {

class TGL3DSVectorFile : public TVectorFile {
public:
    using TVectorFile::TVectorFile;
    static std::unique_ptr<TVectorFile> Create(TGLBaseMesh& owner);

    // Reads the whole stream (up to the 3DS size limit), then its meshes; the 3DS material
    // names are kept on the face groups only when the owner has a material library. Throws
    // EInvalidVectorFile naming the resource; nothing is added to the owner then.
    void LoadFromStream(std::istream& stream) override;
};

} // namespace hk
