#include "primitives/mesh/mesh_3ds.h"

#include "engine/vector_geometry.h"

#include <array>
#include <bit>
#include <cmath>

namespace hk {
namespace {

using SlotRow = std::array<int, 32>;

class NormalBuilder {
public:
    NormalBuilder(TMeshObject& mesh, bool hasTexCoords)
        : mesh_(mesh), hasTexCoords_(hasTexCoords), used_(std::size_t(mesh.Vertices.Count())),
          slots_(std::size_t(mesh.Vertices.Count())) {
        mesh_.Normals.SetCount(mesh_.Vertices.Count());
    }

    // The index a corner of a face with normal n and smoothing mask uses.
    int Corner(int v, const TAffineVector& n, std::uint32_t mask, bool hasMasks) {
        const int bit = mask ? std::countr_zero(mask) : 0;
        if (!used_[std::size_t(v)]) {
            mesh_.Normals[v] = n;
            slots_[std::size_t(v)].fill(-1);
            if (mask)
                slots_[std::size_t(v)][std::size_t(bit)] = v;
            used_[std::size_t(v)] = true;
            return v;
        }
        if (hasMasks && mask) {
            const int w = slots_[std::size_t(v)][std::size_t(bit)];
            if (w >= 0) {
                mesh_.Normals[w] = VectorAdd(mesh_.Normals[w], n);
                return w;
            }
            const int d = Duplicate(v, n);
            slots_[std::size_t(v)][std::size_t(bit)] = d;
            slots_[std::size_t(d)][std::size_t(bit)] = d;
            return d;
        }
        return Duplicate(v, n);
    }

    void Normalize() {
        for (TAffineVector& n : mesh_.Normals) {
            const float length = VectorLength(n);
            if (length > 0)
                n = VectorScale(n, 1 / length);
        }
    }

private:
    int Duplicate(int v, const TAffineVector& n) {
        ReserveMore(mesh_.Vertices, 1);
        ReserveMore(mesh_.Normals, 1);
        if (hasTexCoords_)
            ReserveMore(mesh_.TexCoords, 1);
        const TAffineVector position = mesh_.Vertices[v];
        const int d = mesh_.Vertices.Add(position);
        if (hasTexCoords_) {
            const TTexPoint t = mesh_.TexCoords[v];
            mesh_.TexCoords.Add(t);
        }
        mesh_.Normals.Add(n);
        used_.push_back(true);
        slots_.emplace_back().fill(-1);
        return d;
    }

    TMeshObject& mesh_;
    bool hasTexCoords_;
    std::vector<bool> used_;
    std::vector<SlotRow> slots_;
};

std::unique_ptr<TMeshObject> Build(const T3DSObject& o, TMeshNormalsOrientation orientation,
                                   bool keepMaterialNames) {
    auto mesh = std::make_unique<TMeshObject>();
    mesh->Name = o.Name;
    mesh->Mode = momFaceGroups;
    mesh->Vertices.SetCapacity(int(o.Vertices.size()));
    for (const TAffineVector& v : o.Vertices)
        mesh->Vertices.Add(v);
    if (o.HasTexVertices) {
        mesh->TexCoords.SetCapacity(int(o.TexVertices.size()));
        for (const TTexPoint& t : o.TexVertices)
            mesh->TexCoords.Add(t);
    }

    NormalBuilder normals(*mesh, o.HasTexVertices);
    std::vector<std::array<int, 3>> corners(o.Faces.size());
    for (std::size_t f = 0; f < o.Faces.size(); ++f) {
        const T3DSFace& face = o.Faces[f];
        const TAffineVector& v0 = o.Vertices[face.A];
        const TAffineVector& v1 = o.Vertices[face.B];
        const TAffineVector& v2 = o.Vertices[face.C];
        const TAffineVector p = VectorSubtract(v0, v1), q = VectorSubtract(v2, v1);
        const TAffineVector n =
            orientation == mnoInvert ? VectorCrossProduct(p, q) : VectorCrossProduct(q, p);
        const std::uint32_t mask = o.HasSmoothing ? o.SmoothingMasks[f] : 0;
        corners[f] = {normals.Corner(face.A, n, mask, o.HasSmoothing),
                      normals.Corner(face.B, n, mask, o.HasSmoothing),
                      normals.Corner(face.C, n, mask, o.HasSmoothing)};
    }
    normals.Normalize();

    const auto addFace = [&](TFGVertexIndexList& group, std::size_t f) {
        ReserveMore(group.VertexIndices, 3);
        group.VertexIndices.Add(corners[f][0], corners[f][1], corners[f][2]);
    };
    if (o.MaterialGroups.empty()) {
        TFGVertexIndexList& group = mesh->AddFaceGroup();
        for (std::size_t f = 0; f < corners.size(); ++f)
            addFace(group, f);
    } else {
        for (const T3DSMaterialGroup& g : o.MaterialGroups) {
            TFGVertexIndexList& group = mesh->AddFaceGroup();
            if (keepMaterialNames)
                group.MaterialName = g.MaterialName;
            for (std::uint16_t f : g.Faces)
                addFace(group, f);
        }
    }
    return mesh;
}

} // namespace

std::vector<std::unique_ptr<TMeshObject>>
Build3DSMeshObjects(const std::vector<T3DSObject>& objects, TMeshNormalsOrientation orientation,
                    bool keepMaterialNames) {
    std::vector<std::unique_ptr<TMeshObject>> meshes;
    for (const T3DSObject& o : objects)
        if (!o.Hidden && o.Vertices.size() >= 3)
            meshes.push_back(Build(o, orientation, keepMaterialNames));
    return meshes;
}

} // namespace hk
