#include "primitives/mesh/base_mesh.h"

#include "engine/material_library.h"
#include "engine/scene.h"
#include "engine/state_cache.h"

#include <GL/gl.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace hk {
namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// Keeps the scene from reporting changes while a file is read; closed in every case.
class SceneUpdate {
public:
    explicit SceneUpdate(TGLScene* scene) : scene_(scene) {
        if (scene_)
            scene_->BeginUpdate();
    }
    ~SceneUpdate() {
        if (scene_)
            scene_->EndUpdate();
    }
    SceneUpdate(const SceneUpdate&) = delete;
    SceneUpdate& operator=(const SceneUpdate&) = delete;

private:
    TGLScene* scene_;
};

GLenum GLModeOf(TFaceGroupMeshMode mode) {
    switch (mode) {
    case fgmmTriangleStrip:
        return GL_TRIANGLE_STRIP;
    case fgmmTriangleFan:
        return GL_TRIANGLE_FAN;
    case fgmmQuads:
        return GL_QUADS;
    case fgmmTriangles:
    case fgmmFlatTriangles:
        break;
    }
    return GL_TRIANGLES;
}

} // namespace

TGLBaseMesh::TGLBaseMesh() : autoScaling_(nullptr, {1, 1, 1, 0}, csVector) {}

TGLBaseMesh::~TGLBaseMesh() {
    NotifyFreeing();
}

void TGLBaseMesh::MeshChanged() {
    unscaledBoxExtents_ = {-1, -1, -1, 0};
    StructureChanged();
}

void TGLBaseMesh::SetMaterialLibrary(TGLMaterialLibrary* library) {
    if (materialLibrary_ == library)
        return;
    if (materialLibrary_ && materialLibrary_ != lightmapLibrary_)
        RemoveFreeNotification(materialLibrary_);
    materialLibrary_ = library;
    if (library)
        FreeNotification(library);
    StructureChanged();
}

void TGLBaseMesh::SetLightmapLibrary(TGLMaterialLibrary* library) {
    if (lightmapLibrary_ == library)
        return;
    if (lightmapLibrary_ && lightmapLibrary_ != materialLibrary_)
        RemoveFreeNotification(lightmapLibrary_);
    lightmapLibrary_ = library;
    if (library)
        FreeNotification(library);
    StructureChanged();
}

void TGLBaseMesh::Notification(TGLComponent* component, TOperation operation) {
    if (operation == opRemove) {
        if (component == materialLibrary_) {
            materialLibrary_ = nullptr;
            StructureChanged();
        }
        if (component == lightmapLibrary_)
            lightmapLibrary_ = nullptr;
    }
    TGLCustomSceneObject::Notification(component, operation);
}

void TGLBaseMesh::SetUseMeshMaterials(bool use) {
    if (useMeshMaterials_ == use)
        return;
    useMeshMaterials_ = use;
    StructureChanged();
}

void TGLBaseMesh::SetNormalsOrientation(TMeshNormalsOrientation orientation) {
    if (normalsOrientation_ == orientation)
        return;
    normalsOrientation_ = orientation;
    StructureChanged();
}

void TGLBaseMesh::LoadFromFile(const std::string& fileName) {
    fileName_.clear();
    if (fileName.empty())
        return;
    // A folder opens as a stream here and would read as an empty model without a word.
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error))
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(EISDIR));
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    LoadFromStream(fileName, file);
    fileName_ = fileName;
}

void TGLBaseMesh::LoadFromStream(const std::string& fileName, std::istream& stream) {
    fileName_.clear();
    meshObjects_.clear();
    MeshChanged();
    const std::string extension = VectorFileExtension(fileName);
    const TVectorFileFormat* format = GetVectorFileFormats().FindExt(extension);
    if (!format)
        throw EInvalidVectorFile("Unknown file extension (" + extension +
                                 "), maybe you forgot to add the support unit to your uses? "
                                 "(GLFile" +
                                 Upper(extension) + "?)");
    {
        std::unique_ptr<TVectorFile> reader = format->VectorFileClass(*this);
        reader->SetResourceName(fileName);
        reader->SetNormalsOrientation(normalsOrientation_);
        SceneUpdate update(Scene());
        try {
            reader->LoadFromStream(stream);
        } catch (...) {
            meshObjects_.clear();
            throw;
        }
    }
    fileName_ = fileName;
    ApplyAutoScaling();
    ApplyAutoCentering();
    MeshChanged();
}

void TGLBaseMesh::ApplyAutoScaling() {
    const TAffineVector s = autoScaling_.GetXYZ();
    if (s.x == 1 && s.y == 1 && s.z == 1)
        return;
    for (auto& mesh : meshObjects_)
        for (TAffineVector& v : mesh->Vertices)
            v = {v.x * s.x, v.y * s.y, v.z * s.z};
}

void TGLBaseMesh::ApplyAutoCentering() {
    bool any = false;
    for (const auto& mesh : meshObjects_)
        any = any || mesh->Vertices.Count() > 0;
    if (!any)
        return;
    if (autoCentering_.Contains(macUseBarycenter)) {
        const TAffineVector c = GetBarycenter();
        Translate({-c.x, -c.y, -c.z});
        return;
    }
    TAffineVector min, max, offset;
    GetExtents(min, max);
    const TMeshAutoCentering axes[3] = {macCenterX, macCenterY, macCenterZ};
    for (int k = 0; k < 3; ++k)
        offset[k] = autoCentering_.Contains(axes[k]) ? -(min[k] + max[k]) / 2 : 0;
    if (offset.x != 0 || offset.y != 0 || offset.z != 0)
        Translate(offset);
}

void TGLBaseMesh::Translate(const TAffineVector& offset) {
    for (auto& mesh : meshObjects_)
        mesh->Vertices.Translate(offset);
}

void TGLBaseMesh::GetExtents(TAffineVector& min, TAffineVector& max) const {
    constexpr float inf = INFINITY;
    min = {inf, inf, inf};
    max = {-inf, -inf, -inf};
    for (const auto& mesh : meshObjects_) {
        TAffineVector lo, hi;
        mesh->GetExtents(lo, hi);
        for (int k = 0; k < 3; ++k) {
            min[k] = std::min(min[k], lo[k]);
            max[k] = std::max(max[k], hi[k]);
        }
    }
}

TAffineVector TGLBaseMesh::GetBarycenter() const {
    double sum[3] = {0, 0, 0};
    long count = 0;
    for (const auto& mesh : meshObjects_) {
        for (const TAffineVector& v : mesh->Vertices) {
            for (int k = 0; k < 3; ++k)
                sum[k] += v[k];
            ++count;
        }
    }
    if (count == 0)
        return {0, 0, 0};
    return {float(sum[0] / count), float(sum[1] / count), float(sum[2] / count)};
}

TVector TGLBaseMesh::UnscaledBoxExtents() {
    if (unscaledBoxExtents_.x < 0) {
        TAffineVector min, max;
        GetExtents(min, max);
        for (int k = 0; k < 3; ++k)
            unscaledBoxExtents_[k] = std::max(std::fabs(min[k]), std::fabs(max[k]));
        unscaledBoxExtents_.w = 0;
    }
    return unscaledBoxExtents_;
}

TAffineVectorList TGLBaseMesh::ExtractTriangles(TTexPointList* texCoords,
                                                TAffineVectorList* normals) const {
    TAffineVectorList triangles;
    for (const auto& mesh : meshObjects_)
        mesh->ExtractTriangles(triangles, texCoords, normals);
    return triangles;
}

void TGLBaseMesh::DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                                      bool renderChildren) {
    TGLStateCache* states = rci.GLStates;
    const bool invert = renderSelf && normalsOrientation_ == mnoInvert && states;
    const bool wasCW = states && states->FrontFaceCW();
    if (invert)
        states->SetFrontFaceCW(!wasCW);
    TGLCustomSceneObject::DrawSelfAndChildren(rci, renderSelf, false);
    if (invert)
        states->SetFrontFaceCW(wasCW);
    if (renderSelf && states)
        states->ResetGLMaterialColors();
    if (renderChildren && Count() > 0)
        RenderChildRange(0, Count() - 1, rci);
}

void TGLBaseMesh::EmitGeometry(TRenderContextInfo& rci) {
    for (const auto& mesh : meshObjects_)
        if (mesh->Visible)
            DrawMeshObject(*mesh, rci);
}

void TGLBaseMesh::DrawMeshObject(const TMeshObject& mesh, TRenderContextInfo& rci) const {
    const int n = mesh.Vertices.Count();
    const bool colors = n > 0 && mesh.Colors.Count() == n;
    const bool normals = n > 0 && mesh.Normals.Count() == n;
    const bool texCoords = n > 0 && mesh.TexCoords.Count() == n;
    if (colors) {
        glPushAttrib(GL_ENABLE_BIT);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        if (rci.GLStates)
            rci.GLStates->ResetGLMaterialColors();
    }
    if (mesh.Mode == momTriangles || mesh.Mode == momTriangleStrip) {
        if (n > 0) {
            glBegin(mesh.Mode == momTriangles ? GL_TRIANGLES : GL_TRIANGLE_STRIP);
            for (int i = 0; i < n; ++i) {
                if (normals)
                    glNormal3fv(&mesh.Normals[i].x);
                if (colors)
                    glColor4fv(&mesh.Colors[i].x);
                if (texCoords)
                    glTexCoord2fv(&mesh.TexCoords[i].s);
                glVertex3fv(&mesh.Vertices[i].x);
            }
            glEnd();
        }
    } else {
        TGLMaterialLibrary* library = useMeshMaterials_ ? materialLibrary_ : nullptr;
        bool arrays = false;
        const auto drawGroup = [&](const TFGVertexIndexList& group) {
            if (group.VertexIndices.Count() == 0 || !group.IndicesValid(mesh))
                return;
            if (!arrays) {
                arrays = true;
                glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
                glEnableClientState(GL_VERTEX_ARRAY);
                glVertexPointer(3, GL_FLOAT, 0, mesh.Vertices.List());
                if (normals) {
                    glEnableClientState(GL_NORMAL_ARRAY);
                    glNormalPointer(GL_FLOAT, 0, mesh.Normals.List());
                } else {
                    glDisableClientState(GL_NORMAL_ARRAY);
                }
                if (colors) {
                    glEnableClientState(GL_COLOR_ARRAY);
                    glColorPointer(4, GL_FLOAT, 0, mesh.Colors.List());
                } else {
                    glDisableClientState(GL_COLOR_ARRAY);
                }
                if (texCoords) {
                    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
                    glTexCoordPointer(2, GL_FLOAT, 0, mesh.TexCoords.List());
                } else {
                    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
                }
            }
            glDrawElements(GLModeOf(group.Mode), group.VertexIndices.Count(), GL_UNSIGNED_INT,
                           group.VertexIndices.List());
        };
        const auto& groups = mesh.FaceGroups;
        for (std::size_t i = 0; i < groups.size();) {
            TGLLibMaterial* material = library && !groups[i]->MaterialName.empty()
                                           ? library->LibMaterialByName(groups[i]->MaterialName)
                                           : nullptr;
            std::size_t end = i + 1;
            if (material)
                while (end < groups.size() && groups[end]->MaterialName == groups[i]->MaterialName)
                    ++end;
            if (material) {
                material->Apply(rci);
                do {
                    for (std::size_t k = i; k < end; ++k)
                        drawGroup(*groups[k]);
                } while (material->UnApply(rci));
            } else {
                drawGroup(*groups[i]);
            }
            i = end;
        }
        if (arrays)
            glPopClientAttrib();
    }
    if (colors)
        glPopAttrib();
}

} // namespace hk
