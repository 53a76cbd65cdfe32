// Cylinder, annulus, disk, torus and sphere: geometry through feedback, extents and setters.
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/disk.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/quadrics/torus.h"

#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace hk;
using hk::test::CaptureMode;
using hk::test::FeedbackPrimitive;

namespace {

class QuadricGeometry : public ::testing::Test {
protected:
    std::vector<FeedbackPrimitive> Emit(TGLBaseSceneObject& obj,
                                        CaptureMode mode = CaptureMode::TexCoords) {
        return test::CaptureEmit(obj, 4, mode);
    }
    test::GLTestContext gl;
};

float Radial(const TAffineVector& p) {
    return std::hypot(p.x, p.z);
}

void ExpectExtents(TVector e, float x, float y, float z) {
    EXPECT_FLOAT_EQ(e.x, x);
    EXPECT_FLOAT_EQ(e.y, y);
    EXPECT_FLOAT_EQ(e.z, z);
    EXPECT_EQ(e.w, 0);
}

} // namespace

TEST_F(QuadricGeometry, CylinderWithZeroTopRadiusIsAConeAlongY) {
    HK_REQUIRE_GL(gl);
    TGLCylinder cone;
    cone.SetTopRadius(0);
    cone.SetHeight(2);
    auto prims = Emit(cone);
    ASSERT_FALSE(prims.empty());
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            EXPECT_GE(v.position.y, -1 - 1e-3);
            EXPECT_LE(v.position.y, 1 + 1e-3);
            EXPECT_LE(Radial(v.position), 0.5f * (1 - v.position.y) / 2 + 1e-3);
        }
    }
    ExpectExtents(cone.UnscaledBoxExtents(), 0.5f, 1, 0.5f);
}

TEST_F(QuadricGeometry, AlignmentMovesTheCylinderButNotItsExtents) {
    HK_REQUIRE_GL(gl);
    TGLCylinder c;
    c.SetAlignment(caBottom);
    c.SetBottomRadius(0.75f);
    float minY = 10, maxY = -10;
    for (const auto& p : Emit(c)) {
        for (const auto& v : p.vertices) {
            minY = std::min(minY, v.position.y);
            maxY = std::max(maxY, v.position.y);
        }
    }
    EXPECT_NEAR(minY, 0, 1e-3);
    EXPECT_NEAR(maxY, 1, 1e-3);
    ExpectExtents(c.UnscaledBoxExtents(), 0.75f, 0.5f, 0.75f);
    c.SetTopRadius(-2);
    ExpectExtents(c.UnscaledBoxExtents(), 2, 0.5f, 2);
}

TEST_F(QuadricGeometry, AnnulusInnerWallAndBottomFaceTheOtherWay) {
    HK_REQUIRE_GL(gl);
    TGLAnnulus a;
    a.SetParts({anOuterSides});
    for (const auto& p : Emit(a, CaptureMode::Normals)) {
        for (const auto& v : p.vertices) {
            const float dot = v.texture.x * v.position.x + v.texture.z * v.position.z;
            EXPECT_GT(dot, 0) << "outer wall faces outward";
        }
    }
    a.SetParts({anOuterSides, anInnerSides, anBottom, anTop});
    int inner = 0, bottom = 0, top = 0;
    for (const auto& p : Emit(a, CaptureMode::Normals)) {
        for (const auto& v : p.vertices) {
            const TVector& n = v.texture;
            if (std::fabs(n.y) > 0.9f) {
                (v.position.y < 0 ? bottom : top)++;
                EXPECT_EQ(n.y < 0, v.position.y < 0) << "bottom faces down, top up";
            } else if (Radial(v.position) < 0.31f) {
                ++inner;
                EXPECT_LT(n.x * v.position.x + n.z * v.position.z, 0)
                    << "inner wall faces the axis";
            }
        }
    }
    EXPECT_GT(inner, 0);
    EXPECT_GT(bottom, 0);
    EXPECT_GT(top, 0);
}

TEST_F(QuadricGeometry, DiskSectorAndRingKeepTheirExtents) {
    HK_REQUIRE_GL(gl);
    TGLDisk d;
    d.SetInnerRadius(0.2f);
    d.SetSweepAngle(90);
    auto prims = Emit(d, CaptureMode::Normals);
    ASSERT_FALSE(prims.empty());
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            const float r = std::hypot(v.position.x, v.position.y);
            EXPECT_GE(r, 0.2f - 1e-3);
            EXPECT_LE(r, 0.5f + 1e-3);
            // GLU measures from +Y towards +X.
            EXPECT_GE(v.position.x, -1e-3);
            EXPECT_GE(v.position.y, -1e-3);
            EXPECT_NEAR(v.position.z, 0, 1e-4);
            EXPECT_NEAR(v.texture.z, 1, 1e-3) << "faces +Z";
        }
    }
    ExpectExtents(d.UnscaledBoxExtents(), 0.5f, 0.5f, 0);
}

TEST_F(QuadricGeometry, TorusClampsRingsAndSides) {
    HK_REQUIRE_GL(gl);
    TGLTorus t;
    t.SetRings(0);
    t.SetSides(1);
    EXPECT_EQ(t.Rings(), 2u);
    EXPECT_EQ(t.Sides(), 3u);
    t.SetRings(1);
    EXPECT_EQ(t.Rings(), 2u);
    // Each ring strip has 2 (Sides + 1) = 8 vertices: 3 quads, 6 triangles.
    auto prims = Emit(t, CaptureMode::Normals);
    EXPECT_EQ(test::CountTriangles(prims), 2 * 6);
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            const float d = std::hypot(v.position.x, v.position.y);
            EXPECT_GE(d, 0.3f - 1e-3);
            EXPECT_LE(d, 0.5f + 1e-3);
            const TVector& n = v.texture;
            EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1, 1e-3);
        }
    }
    ExpectExtents(t.UnscaledBoxExtents(), 0.5f, 0.5f, 0.1f);
    TGLTorus def;
    EXPECT_EQ(test::CountTriangles(Emit(def)), 25 * 15 * 2);
}

TEST_F(QuadricGeometry, DefaultSphereIsSixteenStripsOfThirtyFourVertices) {
    HK_REQUIRE_GL(gl);
    TGLSphere s;
    auto prims = Emit(s, CaptureMode::Normals);
    EXPECT_EQ(test::CountTriangles(prims), 16 * 32);
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            const TAffineVector& q = v.position;
            EXPECT_NEAR(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z), 0.5f, 1e-3);
            EXPECT_GT(v.texture.x * q.x + v.texture.y * q.y + v.texture.z * q.z, 0.49f);
        }
    }
    s.SetNormalDirection(ndInside);
    for (const auto& p : Emit(s, CaptureMode::Normals)) {
        const auto& v = p.vertices[0];
        EXPECT_LT(v.texture.x * v.position.x + v.texture.y * v.position.y +
                      v.texture.z * v.position.z,
                  0);
    }
    ExpectExtents(s.UnscaledBoxExtents(), 0.5f, 0.5f, 0.5f);
}

TEST_F(QuadricGeometry, SphereCapsOnlyBelowTheTop) {
    HK_REQUIRE_GL(gl);
    TGLSphere s;
    s.SetTopCap(ctFlat);
    EXPECT_EQ(test::CountTriangles(Emit(s)), 16 * 32) << "Top = 90 draws no cap";
    s.SetTop(45);
    s.SetTop(200);
    EXPECT_EQ(s.Top(), 90) << "clamped";
    s.SetTop(45);
    EXPECT_EQ(test::CountTriangles(Emit(s)), 16 * 32 + 16);
}

TEST(Quadrics, SettersCompareValidateAndMarkTheStructure) {
    TGLSphere s;
    s.ClearStructureChanged();
    s.SetRadius(0.5f);
    s.SetSlices(16);
    EXPECT_FALSE(s.Changes().Contains(ocStructure));
    s.SetSlices(0);
    EXPECT_EQ(s.Slices(), 1);
    EXPECT_TRUE(s.Changes().Contains(ocStructure));

    TGLCylinder c;
    c.SetLoops(0);
    EXPECT_EQ(c.Loops(), 1);
    c.ClearStructureChanged();
    c.SetParts({cySides});
    EXPECT_TRUE(c.Changes().Contains(ocStructure));
}

TEST(Quadrics, AssignCopiesEachLevel) {
    TGLAnnulus src;
    src.SetBottomRadius(3);
    src.SetHeight(5);
    src.SetStacks(2);
    src.SetTopInnerRadius(1);
    src.SetNormals(nsFlat);
    src.SetNormalDirection(ndInside);
    TGLAnnulus a;
    a.Assign(src);
    EXPECT_EQ(a.BottomRadius(), 3);
    EXPECT_EQ(a.Height(), 5);
    EXPECT_EQ(a.Stacks(), 2);
    EXPECT_EQ(a.TopInnerRadius(), 1);
    EXPECT_EQ(a.Normals(), nsFlat);
    EXPECT_EQ(a.NormalDirection(), ndInside);
    // A cylinder takes the shared base properties only.
    TGLCylinder c;
    c.Assign(src);
    EXPECT_EQ(c.BottomRadius(), 3);
    EXPECT_EQ(c.TopRadius(), 0.5f);
}

TEST(Quadrics, MarkerSphereSetUp) {
    TGLSphere s;
    SetUpMarkerSphere(s);
    EXPECT_EQ(s.Name(), "GLSphere1");
    EXPECT_FLOAT_EQ(s.Radius(), 0.05f);
    const TColorVector& amb = s.Material().FrontProperties().Ambient().Color();
    EXPECT_FLOAT_EQ(amb.x, 0.992f);
    EXPECT_EQ(amb.y, 0);
    EXPECT_EQ(amb.z, 0);
    EXPECT_EQ(s.Slices(), 16);
}
