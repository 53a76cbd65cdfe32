// Drawing free-form meshes: face groups in every mode, groups that name missing vertices left
// out, per-vertex colours without lasting state, and the inverted winding of mnoInvert.
#include "engine/state_cache.h"
#include "primitives/mesh/free_form.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace hk {
namespace {

class FreeFormDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.Valid())
            GTEST_SKIP() << "no OpenGL context";
        rci.ignoreMaterials = true;
        rci.GLStates = &states;
    }
    std::size_t Draw(TGLFreeForm& mesh) {
        return test::CapturePolygons([&] { mesh.DrawSelfAndChildren(rci, true, false); }).size();
    }
    // One mesh object of a unit square (counter-clockwise seen from +Z) and one face group.
    TMeshObject& Square(TGLFreeForm& mesh, TFaceGroupMeshMode mode, std::vector<int> indices) {
        auto& m = *mesh.MeshObjects().emplace_back(std::make_unique<TMeshObject>());
        m.Mode = momFaceGroups;
        m.Vertices.Add(0, 0, 0);
        m.Vertices.Add(1, 0, 0);
        m.Vertices.Add(1, 1, 0);
        m.Vertices.Add(0, 1, 0);
        TFGVertexIndexList& g = m.AddFaceGroup();
        g.Mode = mode;
        for (int i : indices)
            g.VertexIndices.Add(i);
        mesh.MeshChanged();
        return m;
    }

    test::GLTestContext gl;
    TGLStateCache states;
    TRenderContextInfo rci;
};

TEST_F(FreeFormDrawTest, FaceGroupsDrawTheirTrianglesAndSkipBrokenGroups) {
    TGLFreeForm triangles, fan, strip, broken;
    Square(triangles, fgmmTriangles, {0, 1, 2, 0, 2, 3});
    EXPECT_EQ(Draw(triangles), 2u);
    Square(fan, fgmmTriangleFan, {0, 1, 2, 3});
    EXPECT_EQ(Draw(fan), 2u);
    Square(strip, fgmmTriangleStrip, {0, 1, 3, 2});
    EXPECT_EQ(Draw(strip), 2u);
    TMeshObject& m = Square(broken, fgmmTriangles, {0, 1, 2});
    m.AddFaceGroup().VertexIndices.Add(0, 2, 400);
    broken.MeshChanged();
    EXPECT_EQ(Draw(broken), 1u) << "the group naming vertex 400 is not drawn";
}

TEST_F(FreeFormDrawTest, ListAndStripMeshObjectsDrawInImmediateMode) {
    TGLFreeForm mesh;
    auto& m = *mesh.MeshObjects().emplace_back(std::make_unique<TMeshObject>());
    m.Mode = momTriangleStrip;
    for (int i = 0; i < 5; ++i)
        m.Vertices.Add(float(i / 2), float(i % 2), 0);
    mesh.MeshChanged();
    EXPECT_EQ(Draw(mesh), 3u);
}

TEST_F(FreeFormDrawTest, VertexColoursLeaveNoColourMaterialBehind) {
    TGLFreeForm mesh;
    TMeshObject& m = Square(mesh, fgmmQuads, {0, 1, 2, 3});
    for (int i = 0; i < 4; ++i)
        m.Colors.Add(1, 0, 0, 1);
    mesh.MeshChanged();
    EXPECT_GE(Draw(mesh), 1u);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
}

TEST_F(FreeFormDrawTest, InvertedNormalsTurnTheFrontFaceWhileDrawing) {
    TGLFreeForm mesh;
    Square(mesh, fgmmTriangles, {0, 1, 2, 0, 2, 3});
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    EXPECT_EQ(Draw(mesh), 2u);
    mesh.SetNormalsOrientation(mnoInvert);
    EXPECT_EQ(Draw(mesh), 0u) << "counter-clockwise faces are back faces now";
    EXPECT_FALSE(states.FrontFaceCW()) << "restored after the mesh";
    glDisable(GL_CULL_FACE);
}

} // namespace
} // namespace hk
