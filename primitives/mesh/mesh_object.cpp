#include "primitives/mesh/mesh_object.h"

#include <limits>

namespace hk {
namespace {

// Appends vertex i of a mesh object (and its texture coordinate and normal when wanted).
struct TriangleSink {
    const TMeshObject& mesh;
    TAffineVectorList& triangles;
    TTexPointList* texCoords;
    TAffineVectorList* normals;

    void Corner(int i) {
        ReserveMore(triangles, 1);
        triangles.Add(mesh.Vertices[i]);
        if (texCoords && mesh.TexCoords.Count() == mesh.Vertices.Count()) {
            ReserveMore(*texCoords, 1);
            texCoords->Add(mesh.TexCoords[i]);
        }
        if (normals && mesh.Normals.Count() == mesh.Vertices.Count()) {
            ReserveMore(*normals, 1);
            normals->Add(mesh.Normals[i]);
        }
    }
    void Triangle(int a, int b, int c) {
        const int n = mesh.Vertices.Count();
        if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n)
            return;
        Corner(a);
        Corner(b);
        Corner(c);
    }
};

} // namespace

void TFGVertexIndexList::AddToTriangles(const TMeshObject& owner, TAffineVectorList& triangles,
                                        TTexPointList* texCoords,
                                        TAffineVectorList* normals) const {
    const int n = VertexIndices.Count();
    if (n < 3)
        return;
    TriangleSink sink{owner, triangles, texCoords, normals};
    const TIntegerList& w = VertexIndices;
    switch (Mode) {
    case fgmmTriangles:
    case fgmmFlatTriangles:
        for (int i = 0; i + 2 < n; i += 3)
            sink.Triangle(w[i], w[i + 1], w[i + 2]);
        break;
    case fgmmTriangleStrip:
        ForEachStripTriangle(n, [&](int a, int b, int c) { sink.Triangle(w[a], w[b], w[c]); });
        break;
    case fgmmTriangleFan:
        for (int k = 2; k < n; ++k)
            sink.Triangle(w[0], w[k - 1], w[k]);
        break;
    case fgmmQuads:
        for (int i = 0; i + 3 < n; i += 4) {
            sink.Triangle(w[i], w[i + 1], w[i + 2]);
            sink.Triangle(w[i], w[i + 2], w[i + 3]);
        }
        break;
    }
}

bool TFGVertexIndexList::IndicesValid(const TMeshObject& owner) const {
    for (int i : VertexIndices)
        if (i < 0 || i >= owner.Vertices.Count())
            return false;
    return true;
}

TFGVertexIndexList& TMeshObject::AddFaceGroup() {
    FaceGroups.push_back(std::make_unique<TFGVertexIndexList>());
    return *FaceGroups.back();
}

void TMeshObject::GetExtents(TAffineVector& min, TAffineVector& max) const {
    constexpr float inf = std::numeric_limits<float>::infinity();
    min = {inf, inf, inf};
    max = {-inf, -inf, -inf};
    for (const TAffineVector& v : Vertices) {
        for (int k = 0; k < 3; ++k) {
            min[k] = std::min(min[k], v[k]);
            max[k] = std::max(max[k], v[k]);
        }
    }
}

void TMeshObject::ExtractTriangles(TAffineVectorList& triangles, TTexPointList* texCoords,
                                   TAffineVectorList* normals) const {
    TriangleSink sink{*this, triangles, texCoords, normals};
    switch (Mode) {
    case momTriangles:
        for (int i = 0; i + 2 < Vertices.Count(); i += 3)
            sink.Triangle(i, i + 1, i + 2);
        break;
    case momTriangleStrip:
        ForEachStripTriangle(Vertices.Count(),
                             [&](int a, int b, int c) { sink.Triangle(a, b, c); });
        break;
    case momFaceGroups:
        for (const auto& group : FaceGroups)
            group->AddToTriangles(*this, triangles, texCoords, normals);
        break;
    }
}

} // namespace hk
