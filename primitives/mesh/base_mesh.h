// TGLBaseMesh: a material-bearing scene object drawn from mesh objects that a file reader
// fills: loading by extension, auto-scaling and auto-centering after a load, extents and the
// origin-centred box, triangle extraction and drawing.
#pragma once

#include "engine/coordinates.h"
#include "engine/custom_scene_object.h"
#include "engine/flags.h"
#include "primitives/mesh/mesh_object.h"
#include "primitives/mesh/vector_file.h"

#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace hk {

class TGLMaterialLibrary;

enum TMeshAutoCentering { macCenterX, macCenterY, macCenterZ, macUseBarycenter };
using TMeshAutoCenterings = TFlags<TMeshAutoCentering>;

// The platform's error for a file that cannot be opened: Cannot open file "<name>". <reason>
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

class TGLBaseMesh : public TGLCustomSceneObject {
public:
    TGLBaseMesh();
    ~TGLBaseMesh() override;

    std::vector<std::unique_ptr<TMeshObject>>& MeshObjects() { return meshObjects_; }
    const std::vector<std::unique_ptr<TMeshObject>>& MeshObjects() const { return meshObjects_; }
    // Call after editing the mesh objects: forgets the cached box and recompiles the list.
    void MeshChanged();
    // The file of the last successful load; empty otherwise.
    const std::string& FileName() const { return fileName_; }

    // Weak links, cleared when the library goes away.
    TGLMaterialLibrary* MaterialLibrary() const { return materialLibrary_; }
    void SetMaterialLibrary(TGLMaterialLibrary* library);
    TGLMaterialLibrary* LightmapLibrary() const { return lightmapLibrary_; }
    void SetLightmapLibrary(TGLMaterialLibrary* library);
    bool UseMeshMaterials() const { return useMeshMaterials_; }
    void SetUseMeshMaterials(bool use);
    TMeshNormalsOrientation NormalsOrientation() const { return normalsOrientation_; }
    void SetNormalsOrientation(TMeshNormalsOrientation orientation);
    TMeshAutoCenterings AutoCentering() const { return autoCentering_; }
    void SetAutoCentering(TMeshAutoCenterings centering) { autoCentering_ = centering; }
    // Applied after each load when not (1, 1, 1).
    TGLCoordinates& AutoScaling() { return autoScaling_; }

    // Forgets the remembered name; an empty name does nothing more. Otherwise reads the file
    // through LoadFromStream and remembers the name. A file that cannot be opened throws
    // EFOpenError and leaves the mesh objects as they were.
    void LoadFromFile(const std::string& fileName);
    // Clears the mesh objects, reads the stream with the reader registered for the name's
    // extension (inside a scene update bracket), remembers the name, then applies auto-scaling
    // and auto-centering. An extension without a reader throws EInvalidVectorFile "Unknown file
    // extension (%s), maybe you forgot to add the support unit to your uses? (%s?)"; a reader's
    // EInvalidVectorFile propagates. Either way the mesh is left empty, with no name.
    void LoadFromStream(const std::string& fileName, std::istream& stream);

    // Componentwise over all mesh objects; (+inf, +inf, +inf)-(-inf, -inf, -inf) when empty.
    void GetExtents(TAffineVector& min, TAffineVector& max) const;
    // Mean of all vertices; the origin when there are none.
    TAffineVector GetBarycenter() const;
    // Per axis max(|min|, |max|) of the extents, cached until the next structure change.
    TVector UnscaledBoxExtents() override;
    // Three points per triangle, mesh objects in order (with the matching texture coordinates
    // and normals when asked for).
    TAffineVectorList ExtractTriangles(TTexPointList* texCoords = nullptr,
                                       TAffineVectorList* normals = nullptr) const;

    // Inverts the front face around the drawing with mnoInvert and afterwards resets the state
    // cache's material colours, which colour-material drawing changes behind it.
    void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                             bool renderChildren) override;
    void EmitGeometry(TRenderContextInfo& rci) override;

protected:
    void Notification(TGLComponent* component, TOperation operation) override;

private:
    void ApplyAutoScaling();
    void ApplyAutoCentering();
    void Translate(const TAffineVector& offset);
    void DrawMeshObject(const TMeshObject& mesh, TRenderContextInfo& rci) const;

    std::vector<std::unique_ptr<TMeshObject>> meshObjects_;
    std::string fileName_;
    TGLMaterialLibrary* materialLibrary_ = nullptr;
    TGLMaterialLibrary* lightmapLibrary_ = nullptr;
    bool useMeshMaterials_ = true;
    TMeshNormalsOrientation normalsOrientation_ = mnoDefault;
    TMeshAutoCenterings autoCentering_;
    TGLCoordinates autoScaling_;
    TVector unscaledBoxExtents_{-1, -1, -1, 0};
};

} // namespace hk
