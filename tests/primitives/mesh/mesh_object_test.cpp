// Triangles of mesh objects and face groups in every mode, and the extents of empty meshes.
#include "primitives/mesh/mesh_object.h"

#include <cmath>
#include <gtest/gtest.h>

namespace hk {
namespace {

TMeshObject Numbered(int n) {
    TMeshObject m;
    for (int i = 0; i < n; ++i)
        m.Vertices.Add(float(i), 0, 0);
    return m;
}

// The x of each extracted point, which is the index of its vertex.
std::vector<int> Indices(const TMeshObject& m) {
    TAffineVectorList t;
    m.ExtractTriangles(t);
    std::vector<int> out;
    for (const TAffineVector& v : t)
        out.push_back(int(v.x));
    return out;
}

TMeshObject Grouped(TFaceGroupMeshMode mode, std::vector<int> indices, int vertices = 10) {
    TMeshObject m = Numbered(vertices);
    m.Mode = momFaceGroups;
    TFGVertexIndexList& g = m.AddFaceGroup();
    g.Mode = mode;
    for (int i : indices)
        g.VertexIndices.Add(i);
    return m;
}

TEST(MeshObjectTriangles, FaceGroupModes) {
    EXPECT_EQ(Indices(Grouped(fgmmQuads, {0, 1, 2, 3, 4, 5, 6, 7})),
              (std::vector<int>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(Indices(Grouped(fgmmTriangleFan, {0, 1, 2, 3, 4})),
              (std::vector<int>{0, 1, 2, 0, 2, 3, 0, 3, 4}));
    EXPECT_EQ(Indices(Grouped(fgmmTriangleStrip, {0, 1, 2, 3, 4})),
              (std::vector<int>{0, 1, 2, 3, 2, 1, 2, 3, 4}));
    EXPECT_EQ(Indices(Grouped(fgmmTriangles, {5, 6, 7, 8, 9})), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(Indices(Grouped(fgmmFlatTriangles, {5, 6, 7})), (std::vector<int>{5, 6, 7}));
    EXPECT_TRUE(Indices(Grouped(fgmmTriangleFan, {0, 1})).empty());
}

TEST(MeshObjectTriangles, ListAndStripModes) {
    TMeshObject list = Numbered(7);
    EXPECT_EQ(Indices(list), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    TMeshObject strip = Numbered(4);
    strip.Mode = momTriangleStrip;
    EXPECT_EQ(Indices(strip), (std::vector<int>{0, 1, 2, 3, 2, 1}));
    strip.Vertices.SetCount(2);
    EXPECT_TRUE(Indices(strip).empty());
}

TEST(MeshObjectTriangles, IndicesOutsideTheVerticesAreLeftOut) {
    const TMeshObject m = Grouped(fgmmTriangles, {0, 1, 2, 3, 4, 99, 1, -1, 2}, 5);
    EXPECT_EQ(Indices(m), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(m.FaceGroups[0]->IndicesValid(m));
}

TEST(MeshObjectTriangles, NormalsAndTexCoordsFollowWhenComplete) {
    TMeshObject m = Grouped(fgmmTriangles, {2, 1, 0}, 3);
    for (int i = 0; i < 3; ++i) {
        m.Normals.Add(0, 0, float(i));
        m.TexCoords.Add(float(i), 0);
    }
    TAffineVectorList t, n;
    TTexPointList tex;
    m.ExtractTriangles(t, &tex, &n);
    ASSERT_EQ(n.Count(), 3);
    ASSERT_EQ(tex.Count(), 3);
    EXPECT_EQ(n[0].z, 2.0f);
    EXPECT_EQ(tex[2].s, 0.0f);
    m.Normals.SetCount(2);
    n.Flush();
    m.ExtractTriangles(t, nullptr, &n);
    EXPECT_EQ(n.Count(), 0) << "a normal list shorter than the vertices is not used";
}

TEST(MeshObjectExtents, EmptyIsInfiniteOtherwiseTheVertexBox) {
    TMeshObject m;
    TAffineVector lo, hi;
    m.GetExtents(lo, hi);
    EXPECT_TRUE(std::isinf(lo.x) && lo.x > 0);
    EXPECT_TRUE(std::isinf(hi.z) && hi.z < 0);
    m.Vertices.Add(1, -2, 3);
    m.Vertices.Add(-1, 5, 0);
    m.GetExtents(lo, hi);
    EXPECT_EQ(lo.x, -1.0f);
    EXPECT_EQ(lo.y, -2.0f);
    EXPECT_EQ(hi.y, 5.0f);
    EXPECT_EQ(hi.z, 3.0f);
}

} // namespace
} // namespace hk
