// Cube, points, polygon and dummy cube: geometry through feedback, flags and extents.
#include "primitives/shapes/cube.h"
#include "primitives/shapes/dummy_cube.h"
#include "primitives/shapes/points.h"
#include "primitives/shapes/polygon.h"

#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace hk;
using hk::test::CaptureMode;
using hk::test::FeedbackPrimitive;

namespace {

class ShapeGeometry : public ::testing::Test {
protected:
    std::vector<FeedbackPrimitive> Emit(TGLBaseSceneObject& obj,
                                        CaptureMode mode = CaptureMode::TexCoords) {
        return test::CaptureEmit(obj, 4, mode, [] { glNormal3f(0.6f, 0, 0); });
    }
    std::vector<FeedbackPrimitive> Render(TGLBaseSceneObject& obj) {
        return test::Capture([&] {
            TRenderContextInfo rci;
            obj.RenderObject(rci);
        });
    }
    test::GLTestContext gl;
};

} // namespace

TEST_F(ShapeGeometry, CubeFacesCarryTheirNormalsBothWays) {
    HK_REQUIRE_GL(gl);
    TGLCube cube;
    cube.SetCubeWidth(2);
    cube.SetCubeHeight(4);
    cube.SetCubeDepth(6);
    for (TNormalDirection dir : {ndOutside, ndInside}) {
        cube.SetNormalDirection(dir);
        const float sign = dir == ndOutside ? 1.0f : -1.0f;
        auto prims = test::Capture(
            [&] {
                TRenderContextInfo rci;
                cube.EmitGeometry(rci);
            },
            8, CaptureMode::Normals);
        EXPECT_EQ(test::CountTriangles(prims), 12);
        const float half[3] = {1, 2, 3};
        for (const auto& p : prims) {
            for (const auto& v : p.vertices) {
                const float n[3] = {v.texture.x, v.texture.y, v.texture.z};
                const float q[3] = {v.position.x, v.position.y, v.position.z};
                int axis = -1;
                for (int k = 0; k < 3; ++k) {
                    if (std::fabs(n[k]) > 0.5f) {
                        axis = k;
                    }
                }
                ASSERT_GE(axis, 0);
                // The vertex lies on the face the normal names, outward or inward.
                EXPECT_NEAR(q[axis], half[axis] * n[axis] * sign, 1e-3);
                EXPECT_NEAR(std::fabs(n[axis]), 1, 1e-3);
            }
        }
    }
    cube.SetParts({cpTop});
    auto top = Emit(cube);
    EXPECT_EQ(test::CountTriangles(top), 2);
    for (const auto& v : top[0].vertices) {
        EXPECT_NEAR(v.position.y, 2, 1e-3);
    }
    TVector e = cube.UnscaledBoxExtents();
    EXPECT_EQ(e.x, 1);
    EXPECT_EQ(e.y, 2);
    EXPECT_EQ(e.z, 3);
    EXPECT_TRUE(cube.ObjectStyle().Contains(osDirectDraw));
}

TEST_F(ShapeGeometry, PointsWithoutPositionsDrawOneWhitePointAtTheOrigin) {
    HK_REQUIRE_GL(gl);
    TGLPoints points;
    points.SetSize(5);
    auto prims = Emit(points);
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_EQ(prims[0].kind, FeedbackPrimitive::Point);
    EXPECT_NEAR(prims[0].vertices[0].position.x, 0, 1e-3);
    EXPECT_NEAR(prims[0].vertices[0].color.y, 1, 1e-3);
    EXPECT_TRUE(points.ObjectStyle().Contains(osDirectDraw));
    EXPECT_TRUE(points.ObjectStyle().Contains(osNoVisibilityCulling));
    points.SetStatic(true);
    EXPECT_FALSE(points.ObjectStyle().Contains(osDirectDraw));
}

TEST_F(ShapeGeometry, PointsAreLimitedToTheColoursGiven) {
    HK_REQUIRE_GL(gl);
    TGLPoints points;
    for (int i = 0; i < 5; ++i) {
        points.Positions().Add(float(i) * 0.5f, 0, 0);
    }
    points.Colors().Add(1, 0, 0, 1);
    points.Colors().Add(0, 1, 0, 1);
    auto prims = Emit(points);
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_NEAR(prims[1].vertices[0].position.x, 0.5f, 1e-3);
    EXPECT_NEAR(prims[1].vertices[0].color.y, 1, 1e-3);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLboolean colourArray = glIsEnabled(GL_COLOR_ARRAY);
    EXPECT_FALSE(colourArray) << "client state left behind";
    TVector e = points.UnscaledBoxExtents();
    EXPECT_EQ(e.x, 0.5f);
}

TEST_F(ShapeGeometry, PolygonNeedsThreeNodesAndFacesBothWays) {
    HK_REQUIRE_GL(gl);
    TGLPolygon poly;
    poly.AddNode(0, 0, 0);
    poly.AddNode(1, 0, 0);
    EXPECT_TRUE(Emit(poly).empty());
    poly.AddNode(1, 1, 0);
    poly.AddNode(0, 1, 0);
    auto prims = Emit(poly, CaptureMode::Normals);
    EXPECT_EQ(test::CountTriangles(prims), 4);
    int up = 0, down = 0;
    for (const auto& p : prims) {
        (p.vertices[0].texture.z > 0.9f ? up : down)++;
    }
    EXPECT_EQ(up, 2);
    EXPECT_EQ(down, 2);
    poly.SetParts({ppTop});
    prims = Emit(poly);
    EXPECT_EQ(test::CountTriangles(prims), 2);
    for (const auto& v : prims[0].vertices) {
        // Texture coordinates are the vertex's x and y.
        EXPECT_NEAR(v.texture.x, v.position.x, 1e-3);
        EXPECT_NEAR(v.texture.y, v.position.y, 1e-3);
    }
}

TEST_F(ShapeGeometry, CollinearStartTessellatesWithoutANormal) {
    HK_REQUIRE_GL(gl);
    TGLPolygon poly;
    poly.SetParts({ppTop});
    for (auto p : {TAffineVector{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}) {
        poly.AddNode(p);
    }
    auto prims = Emit(poly, CaptureMode::Normals);
    EXPECT_GE(test::CountTriangles(prims), 3);
    for (const auto& p : prims) {
        EXPECT_NEAR(p.vertices[0].texture.x, 0.6f, 1e-3) << "the normal set before is kept";
    }
}

TEST_F(ShapeGeometry, SplinePolygonFollowsTheSplineThroughItsNodes) {
    HK_REQUIRE_GL(gl);
    TGLPolygon poly;
    poly.SetParts({ppTop});
    poly.SetSplineMode(lsmCubicSpline);
    poly.SetDivision(4);
    for (auto p : {TAffineVector{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}) {
        poly.AddNode(p);
    }
    // 13 spline points enclose 11 triangles.
    EXPECT_EQ(test::CountTriangles(Emit(poly)), 11);
}

TEST_F(ShapeGeometry, DummyCubeDrawsItsBoxOnlyWhenVisibleAtRunTime) {
    HK_REQUIRE_GL(gl);
    TGLDummyCube dummy;
    EXPECT_TRUE(Emit(dummy).empty());
    dummy.SetVisibleAtRunTime(true);
    auto prims = Emit(dummy);
    EXPECT_EQ(CountKind(prims, FeedbackPrimitive::Line), 12);
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            EXPECT_NEAR(std::fabs(v.position.x), 0.5f, 1e-3);
        }
    }
    dummy.SetVisibleAtRunTime(false);
    dummy.SetShowAxes(true);
    EXPECT_EQ(CountKind(Render(dummy), FeedbackPrimitive::Line), 6) << "axes whatever the box";
}

TEST_F(ShapeGeometry, DummyCubeVisibilityEventAndAmalgamation) {
    HK_REQUIRE_GL(gl);
    TGLDummyCube dummy;
    dummy.CreateChild<TGLCube>();
    EXPECT_EQ(test::CountTriangles(Render(dummy)), 12);
    bool answer = false;
    dummy.OnVisibilityDetermination = [&](TGLDummyCube*, TRenderContextInfo&) { return answer; };
    EXPECT_TRUE(Render(dummy).empty());
    answer = true;
    dummy.SetAmalgamate(true);
    EXPECT_EQ(test::CountTriangles(Render(dummy)), 12);
    EXPECT_EQ(test::CountTriangles(Render(dummy)), 12) << "replayed from the amalgamated list";
    dummy.DestroyHandles();
}

TEST(Cube, CubeSizeStreamsAsTwelveBytes) {
    TGLCube cube;
    EXPECT_FALSE(cube.CubeSizeStored());
    cube.SetCubeDepth(2.5f);
    EXPECT_TRUE(cube.CubeSizeStored());
    TBinaryWriter w;
    cube.WriteCubeSize(w);
    ASSERT_EQ(w.Bytes().size(), 12u);
    TGLCube copy;
    TBinaryReader r(w.Bytes());
    copy.ReadCubeSize(r);
    EXPECT_EQ(copy.CubeDepth(), 2.5f);
    EXPECT_EQ(copy.CubeWidth(), 1);
    const std::string shortBytes = w.Bytes().substr(0, 8); // the reader does not copy its bytes
    TBinaryReader shortStream(shortBytes, "cube");
    TGLCube untouched;
    EXPECT_THROW(untouched.ReadCubeSize(shortStream), EReadError);
    EXPECT_EQ(untouched.CubeWidth(), 1);
}

TEST(DummyCube, BoundsRaysAndBarycentre) {
    TGLDummyCube dummy;
    dummy.SetCubeSize(-3);
    TVector e = dummy.UnscaledBoxExtents();
    EXPECT_EQ(e.x, 1.5f);
    EXPECT_FALSE(dummy.RayHit({0, 0, 5, 1}, {0, 0, -1, 0}));
    EXPECT_EQ(dummy.BarycenterPosition().x, 0);
    dummy.CreateChild<TGLCube>()->Position().SetPoint(2, 0, 0);
    dummy.CreateChild<TGLCube>()->Position().SetPoint(4, 0, 0);
    EXPECT_FLOAT_EQ(dummy.BarycenterPosition().x, 3);
}
