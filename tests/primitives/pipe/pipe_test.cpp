// Pipe geometry through OpenGL feedback, and its setter rules.
#include "primitives/pipe/pipe.h"

#include "engine/vector_geometry.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace hk;
using hk::test::CaptureMode;
using hk::test::FeedbackPrimitive;

namespace {

class PipeGeometry : public ::testing::Test {
protected:
    std::vector<FeedbackPrimitive> Emit(TGLPipe& pipe, CaptureMode mode = CaptureMode::TexCoords,
                                        float extent = 20) {
        return test::CaptureEmit(pipe, extent, mode, [] { glColor4f(0.25f, 0.5f, 0.75f, 1); });
    }
    test::GLTestContext gl;
};

float Length(const TVector& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace

TEST_F(PipeGeometry, NoNodesEmitNothingAtAll) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.SetParts({ppOutside, ppInside, ppStartDisk, ppStopDisk});
    EXPECT_TRUE(Emit(pipe).empty());
}

TEST_F(PipeGeometry, SingleNodeGivesOnlyItsDisksInTheXZPlane) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.AddNode(1, 2, 3);
    EXPECT_TRUE(Emit(pipe).empty()) << "outside surface only: no band without a second node";
    pipe.SetParts({ppOutside, ppStartDisk, ppStopDisk});
    auto prims = Emit(pipe);
    ASSERT_EQ(prims.size(), 32u) << "two fans of 16 triangles";
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            EXPECT_NEAR(v.position.y, 2, 1e-3);
        }
    }
}

TEST_F(PipeGeometry, DefaultPipeGivesOneStripPerSegmentWithoutColours) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.SetRadius(0.5f);
    const int n = 5;
    for (int i = 0; i < n; ++i) {
        pipe.AddNode(float(i), float(i % 2), 0);
    }
    auto prims = Emit(pipe);
    // A strip of 34 vertices is 32 triangles.
    ASSERT_EQ(prims.size(), std::size_t((n - 1) * 32));
    for (const auto& p : prims) {
        ASSERT_EQ(p.vertices.size(), 3u);
        for (const auto& v : p.vertices) {
            EXPECT_NEAR(v.color.x, 0.25f, 1e-3) << "no glColor calls";
            EXPECT_NEAR(v.color.z, 0.75f, 1e-3);
        }
    }
}

TEST_F(PipeGeometry, StraightRunAlongZKeepsRadiusAndRadialNormals) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.SetRadius(2);
    pipe.AddNode(0, 0, -3);
    pipe.AddNode(0, 0, 3);
    static_cast<TGLPipeNode*>(pipe.Nodes().Items(1))->SetRadiusFactor(0.5f);
    auto prims = Emit(pipe, CaptureMode::Normals);
    ASSERT_EQ(prims.size(), 32u);
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            const float r = std::hypot(v.position.x, v.position.y);
            const float expected = v.position.z < 0 ? 2.0f : 1.0f;
            EXPECT_NEAR(r, expected, 2e-2);
            EXPECT_NEAR(Length(v.texture), 2, 1e-3) << "normals are radial of length Radius";
            EXPECT_NEAR(v.texture.z, 0, 1e-4);
        }
    }
}

TEST_F(PipeGeometry, OutsideFacesPointAwayFromTheAxis) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.AddNode(-3, 0, 0);
    pipe.AddNode(3, 0, 0);
    auto countFront = [&](TPipeParts parts) {
        pipe.SetParts(parts);
        auto prims = test::Capture([&] {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            TRenderContextInfo rci;
            pipe.EmitGeometry(rci);
        });
        // Viewed from +Z: kept triangles must lie on the near half (z > 0) for the outside.
        int nearSide = 0, farSide = 0;
        for (const auto& p : prims) {
            float z = 0;
            for (const auto& v : p.vertices) {
                z += v.position.z;
            }
            (z > 0 ? nearSide : farSide)++;
        }
        return std::make_pair(nearSide, farSide);
    };
    auto outside = countFront({ppOutside});
    EXPECT_GT(outside.first, 0);
    EXPECT_EQ(outside.second, 0);
    auto inside = countFront({ppInside});
    EXPECT_EQ(inside.first, 0);
    EXPECT_GT(inside.second, 0);
}

TEST_F(PipeGeometry, BendsJoinRingsWithoutCrossingTriangles) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.SetRadius(0.5f);
    const TAffineVector path[] = {{0, 0, 0}, {5, 0, 0}, {5, 5, 0}, {0, 5, 0}, {0, 5, 5}};
    for (const auto& p : path) {
        pipe.AddNode(p);
    }
    auto prims = Emit(pipe);
    ASSERT_EQ(prims.size(), 4u * 32u);
    // A band joined index to index (or realigned) has no edge much longer than its segment.
    for (const auto& p : prims) {
        for (int k = 0; k < 3; ++k) {
            const TAffineVector a = p.vertices[k].position, b = p.vertices[(k + 1) % 3].position;
            EXPECT_LT(std::sqrt(VectorDistance2(a, b)), 5.0f * 1.45f);
        }
    }
}

TEST_F(PipeGeometry, NodeColoursColourTheRingsAndLeaveNoStateBehind) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.SetNodesColorMode(pncmDiffuse);
    pipe.PipeNodes().AddNode(0, 0, 0)->SetColor({1, 0, 0, 1});
    pipe.PipeNodes().AddNode(4, 0, 0)->SetColor({0, 1, 0, 1});
    auto prims = Emit(pipe);
    ASSERT_EQ(prims.size(), 32u);
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            if (v.position.x < 2) {
                EXPECT_NEAR(v.color.x, 1, 1e-3);
            } else {
                EXPECT_NEAR(v.color.y, 1, 1e-3);
            }
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
}

TEST_F(PipeGeometry, SplinePathEmitsDivisionBandsPerInterval) {
    HK_REQUIRE_GL(gl);
    TGLPipe pipe;
    pipe.SetSplineMode(lsmCubicSpline);
    pipe.SetDivision(4);
    pipe.SetRadius(0.1f);
    pipe.AddNode(0, 0, 0);
    pipe.AddNode(2, 2, 0);
    pipe.AddNode(4, 0, 0);
    auto prims = Emit(pipe);
    ASSERT_EQ(prims.size(), 2u * 4u * 32u);
    // The middle ring of the path sits around the node it passes through.
    float maxY = 0;
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            maxY = std::max(maxY, v.position.y);
        }
    }
    EXPECT_NEAR(maxY, 2.1f, 0.02f);

    TGLPipe single;
    single.SetSplineMode(lsmCubicSpline);
    single.AddNode(0, 0, 0);
    single.SetParts({ppStartDisk});
    EXPECT_EQ(Emit(single).size(), 16u) << "one node falls back to the polyline path";
}

TEST(Pipe, SettersIgnoreEqualAndInvalidValuesAndMarkTheStructure) {
    TGLPipe pipe;
    EXPECT_EQ(pipe.Slices(), 16);
    EXPECT_EQ(pipe.Division(), 10);
    EXPECT_EQ(pipe.Radius(), 1.0f);
    EXPECT_TRUE(pipe.Parts() == TPipeParts{ppOutside});
    pipe.ClearStructureChanged();
    pipe.SetRadius(1.0f);
    pipe.SetSlices(0);
    pipe.SetSlices(-4);
    EXPECT_FALSE(pipe.Changes().Contains(ocStructure));
    EXPECT_EQ(pipe.Slices(), 16);
    pipe.SetSlices(8);
    EXPECT_TRUE(pipe.Changes().Contains(ocStructure));
    pipe.SetDivision(-2);
    EXPECT_EQ(pipe.Division(), 1);

    pipe.AddNode(1, 2, 3);
    pipe.ClearStructureChanged();
    TGLPipeNode* node = pipe.PipeNodes().PipeNode(0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->DisplayName(), "(1.000, 2.000, 3.000) / rf = 1.000");
    node->SetRadiusFactor(1.0f);
    EXPECT_FALSE(pipe.Changes().Contains(ocStructure));
    node->SetColor({0, 0, 0, 1});
    EXPECT_FALSE(pipe.Changes().Contains(ocStructure)) << "same colour";
    node->Color().SetRed(1);
    EXPECT_TRUE(pipe.Changes().Contains(ocStructure));
}

TEST(Pipe, AssignCopiesPipeAndNodeProperties) {
    TGLPipe source;
    source.SetSlices(6);
    source.SetRadius(3);
    source.SetParts({ppInside, ppStopDisk});
    source.SetNodesColorMode(pncmEmission);
    source.SetSplineMode(lsmCubicSpline);
    source.PipeNodes().AddNode(1, 1, 1)->SetRadiusFactor(2);
    source.Position().SetPoint(4, 5, 6);
    TGLPipe copy;
    copy.Assign(source);
    EXPECT_EQ(copy.Slices(), 6);
    EXPECT_EQ(copy.Radius(), 3);
    EXPECT_TRUE(copy.Parts() == source.Parts());
    EXPECT_EQ(copy.NodesColorMode(), pncmEmission);
    EXPECT_EQ(copy.SplineMode(), lsmCubicSpline);
    ASSERT_EQ(copy.Nodes().Count(), 1);
    ASSERT_NE(copy.PipeNodes().PipeNode(0), nullptr);
    EXPECT_EQ(copy.PipeNodes().PipeNode(0)->RadiusFactor(), 2);
    EXPECT_EQ(copy.Position().X(), 4);
    // Copies, not shared nodes.
    source.PipeNodes().PipeNode(0)->SetRadiusFactor(5);
    EXPECT_EQ(copy.PipeNodes().PipeNode(0)->RadiusFactor(), 2);
    // The box about the origin holds the node (1, 1, 1) widened by its ring of 3 x 2.
    const TVector e = copy.UnscaledBoxExtents();
    EXPECT_EQ(e.x, 7);
    EXPECT_EQ(e.z, 7);
}
