// Mesh file readers and their registry: a reader class per lower-case file extension, looked up
// from the last registration to the first. "3ds" and "prj" map to the 3DS reader from the start.
#pragma once

#include "primitives/mesh/mesh_object.h"
#include "primitives/mesh/vector_file_error.h"

#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

class TGLBaseMesh;

// A reader that fills the mesh objects of its owner from a stream.
class TVectorFile {
public:
    explicit TVectorFile(TGLBaseMesh& owner) : owner_(owner) {}
    virtual ~TVectorFile() = default;
    TVectorFile(const TVectorFile&) = delete;
    TVectorFile& operator=(const TVectorFile&) = delete;

    const std::string& ResourceName() const { return resourceName_; }
    void SetResourceName(std::string name) { resourceName_ = std::move(name); }
    TMeshNormalsOrientation NormalsOrientation() const { return normalsOrientation_; }
    void SetNormalsOrientation(TMeshNormalsOrientation o) { normalsOrientation_ = o; }

    // Appends the stream's meshes to the owner. Throws EInvalidVectorFile naming the resource
    // when the stream cannot be read as this format; the owner then holds no new objects.
    virtual void LoadFromStream(std::istream& stream) = 0;

protected:
    TGLBaseMesh& Owner() const { return owner_; }

private:
    TGLBaseMesh& owner_;
    std::string resourceName_;
    TMeshNormalsOrientation normalsOrientation_ = mnoDefault;
};

using TVectorFileClass = std::unique_ptr<TVectorFile> (*)(TGLBaseMesh& owner);

struct TVectorFileFormat {
    std::string Extension; // lower case, without the dot
    std::string Description;
    TVectorFileClass VectorFileClass = nullptr;
};

class TVectorFileFormatsList {
public:
    void Add(std::string_view extension, std::string_view description, TVectorFileClass cls);
    // The format of the latest registration of the extension (compared in lower case); none
    // when it is not registered.
    const TVectorFileFormat* FindExt(std::string_view extension) const;
    int Count() const { return static_cast<int>(formats_.size()); }
    const TVectorFileFormat& operator[](int i) const { return formats_[std::size_t(i)]; }

private:
    std::vector<TVectorFileFormat> formats_;
};

// The process-wide registry, holding the 3DS reader for "3ds" and "prj".
TVectorFileFormatsList& GetVectorFileFormats();
void RegisterVectorFileFormat(std::string_view extension, std::string_view description,
                              TVectorFileClass cls);

// The extension of a file name without its dot, lower-cased; empty when there is none.
std::string VectorFileExtension(std::string_view fileName);

} // namespace hk
