// The geometry of a free-form mesh: mesh objects (vertices, normals, texture coordinates,
// colours) whose triangles are a plain list, a strip, or given by face groups of vertex indices.
#pragma once

#include "engine/vector_lists.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace hk {

class TMeshObject;

enum TMeshObjectMode { momTriangles, momTriangleStrip, momFaceGroups };

// mnoInvert flips the front-face winding while a mesh is drawn and the normals its reader makes.
enum TMeshNormalsOrientation { mnoDefault, mnoInvert };

enum TFaceGroupMeshMode {
    fgmmTriangles,
    fgmmTriangleStrip,
    fgmmFlatTriangles,
    fgmmTriangleFan,
    fgmmQuads
};

// A face group: vertex indices into its mesh object and how they form triangles.
class TFGVertexIndexList {
public:
    std::string MaterialName;
    TFaceGroupMeshMode Mode = fgmmTriangles;
    TIntegerList VertexIndices;

    // Appends the group's triangles, three points each, with the matching texture coordinates
    // and normals when those lists are given and the mesh object has them. A group of fewer than
    // 3 indices gives none; a triangle naming a vertex the object lacks is left out.
    void AddToTriangles(const TMeshObject& owner, TAffineVectorList& triangles,
                        TTexPointList* texCoords = nullptr,
                        TAffineVectorList* normals = nullptr) const;
    // True when every index names a vertex of the owner.
    bool IndicesValid(const TMeshObject& owner) const;
};

class TMeshObject {
public:
    std::string Name;
    TAffineVectorList Vertices;
    TAffineVectorList Normals;
    TTexPointList TexCoords;
    TVectorList Colors;
    bool Visible = true;
    TMeshObjectMode Mode = momTriangles;
    std::vector<std::unique_ptr<TFGVertexIndexList>> FaceGroups;

    TFGVertexIndexList& AddFaceGroup();

    // Minimum and maximum of the vertices; (+inf, +inf, +inf) and (-inf, -inf, -inf) without any.
    void GetExtents(TAffineVector& min, TAffineVector& max) const;
    // Appends the triangles (three points each) as the mode defines them; strips keep their
    // winding by swapping every odd triangle.
    void ExtractTriangles(TAffineVectorList& triangles, TTexPointList* texCoords = nullptr,
                          TAffineVectorList* normals = nullptr) const;
};

// Makes room for `more` items beyond the count, doubling the capacity when it grows: the lists'
// own growth of 16 items at a time would make long appends quadratic.
template <class List> void ReserveMore(List& list, int more) {
    const int needed = list.Count() + more;
    if (needed > list.Capacity())
        list.SetCapacity(std::max(needed, 2 * list.Capacity()));
}

// The strip triangles of n indices: (k, k+1, k+2) for even k, (k+2, k+1, k) for odd k.
template <class Emit> void ForEachStripTriangle(int n, Emit&& emit) {
    for (int k = 0; k + 2 < n; ++k) {
        if (k % 2 == 0)
            emit(k, k + 1, k + 2);
        else
            emit(k + 2, k + 1, k);
    }
}

} // namespace hk
