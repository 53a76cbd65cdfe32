// Lines: paths, node colours, node markers and the node colour rule.
#include "primitives/shapes/lines.h"

#include "primitives/pipe/cubic_spline.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace hk;
using hk::test::FeedbackPrimitive;

namespace {

class LineGeometry : public ::testing::Test {
protected:
    std::vector<FeedbackPrimitive> Emit(TGLLines& lines) {
        return test::Capture(
            [&] {
                TRenderContextInfo rci;
                lines.EmitGeometry(rci);
            },
            8);
    }
    test::GLTestContext gl;
};

bool SameColor(const TColorVector& a, const TColorVector& b) {
    return std::fabs(a.x - b.x) < 1e-3f && std::fabs(a.y - b.y) < 1e-3f &&
           std::fabs(a.z - b.z) < 1e-3f && std::fabs(a.w - b.w) < 1e-3f;
}

} // namespace

TEST_F(LineGeometry, OneNodeDrawsNothingNotEvenAMarker) {
    HK_REQUIRE_GL(gl);
    TGLLines lines;
    lines.AddNode(1, 1, 1);
    EXPECT_TRUE(Emit(lines).empty());
}

TEST_F(LineGeometry, StraightLineInLineColourOrNodeColours) {
    HK_REQUIRE_GL(gl);
    TGLLines lines;
    lines.SetNodesAspect(lnaInvisible);
    lines.SetLineColor({1, 0.5f, 0, 1});
    lines.AddNode(0, 0, 0);
    lines.AddNode(1, 0, 0);
    lines.AddNode(1, 1, 0);
    auto prims = Emit(lines);
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_NEAR(prims[1].vertices[0].position.x, prims[0].vertices[1].position.x, 1e-3)
        << "one strip";
    for (const auto& p : prims) {
        for (const auto& v : p.vertices) {
            EXPECT_TRUE(SameColor(v.color, {1, 0.5f, 0, 1}));
        }
    }
    lines.Nodes().LinesNode(2)->SetColor({1, 0, 0, 1});
    lines.SetOptions({loUseNodeColorForLines});
    prims = Emit(lines);
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_TRUE(SameColor(prims[0].vertices[0].color, {0, 0, 1, 1})) << "default node colour";
    EXPECT_TRUE(SameColor(prims[1].vertices[1].color, {1, 0, 0, 1}));
    EXPECT_FALSE(glIsEnabled(GL_LINE_STIPPLE));
}

TEST_F(LineGeometry, SplineModes) {
    HK_REQUIRE_GL(gl);
    TGLLines lines;
    lines.SetNodesAspect(lnaInvisible);
    const float x[] = {0, 2, 4, 6}, y[] = {0, 2, 0, 2};
    for (int i = 0; i < 4; ++i) {
        lines.AddNode(x[i], y[i], 0);
    }
    lines.SetSplineMode(lsmSegments);
    auto prims = Emit(lines);
    ASSERT_EQ(prims.size(), 2u) << "GL_LINES pairs the nodes";

    lines.SetSplineMode(lsmCubicSpline);
    lines.SetDivision(4);
    prims = Emit(lines);
    ASSERT_EQ(prims.size(), 12u);
    TCubicSpline spline(x, y, nullptr, nullptr, 4);
    for (int i = 0; i < 12; ++i) {
        const TAffineVector p = spline.SplineAffineVector(float(i) / 4);
        EXPECT_NEAR(prims[i].vertices[0].position.x, p.x, 1e-3);
        EXPECT_NEAR(prims[i].vertices[0].position.y, p.y, 1e-3);
    }

    lines.SetSplineMode(lsmBezierSpline);
    prims = Emit(lines);
    ASSERT_EQ(prims.size(), 4u);
    EXPECT_NEAR(prims[0].vertices[0].position.x, 0, 1e-3);
    EXPECT_NEAR(prims[3].vertices[1].position.x, 6, 1e-3);

    lines.SetSplineMode(lsmNURBSCurve);
    EXPECT_TRUE(Emit(lines).empty()) << "no order, no knots";
    lines.SetNURBSOrder(4);
    lines.SetNURBSKnots({0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2});
    EXPECT_TRUE(Emit(lines).empty()) << "knots asking for more control points than nodes";
    lines.SetNURBSKnots({0, 0, 0, 0, 1, 1, 1, 1});
    EXPECT_FALSE(Emit(lines).empty());
}

TEST_F(LineGeometry, NodeMarkers) {
    HK_REQUIRE_GL(gl);
    TGLLines lines;
    lines.AddNode(0, 0, 0);
    lines.AddNode(2, 0, 0);
    EXPECT_EQ(Emit(lines).size(), 1u + 2 * 6) << "the line and two axes figures";
    lines.SetNodesAspect(lnaCube);
    lines.Nodes().LinesNode(1)->SetColor({0, 1, 0, 1});
    auto prims = Emit(lines);
    ASSERT_EQ(prims.size(), 1u + 2 * 12);
    EXPECT_TRUE(SameColor(prims.back().vertices[0].color, {0, 1, 0, 1}));
    lines.SetNodesAspect(lnaDodecahedron);
    prims = Emit(lines);
    EXPECT_EQ(CountKind(prims, FeedbackPrimitive::Polygon), 2 * 12 * 3);
}

TEST(Lines, NodeColorRecoloursOnlyNodesThatKeptTheOldColour) {
    TGLLines lines;
    lines.AddNode(0, 0, 0);
    lines.AddNode(1, 0, 0);
    lines.Nodes().LinesNode(1)->SetColor({1, 0, 0, 1});
    lines.SetNodeColor({0, 1, 0, 1});
    EXPECT_TRUE(SameColor(lines.Nodes().LinesNode(0)->Color().Color(), {0, 1, 0, 1}));
    EXPECT_TRUE(SameColor(lines.Nodes().LinesNode(1)->Color().Color(), {1, 0, 0, 1}));
    lines.AddNode(2, 0, 0);
    EXPECT_TRUE(SameColor(lines.Nodes().LinesNode(2)->Color().Color(), {0, 1, 0, 1}));
    lines.NodeColor().SetBlue(1);
    EXPECT_TRUE(SameColor(lines.Nodes().LinesNode(0)->Color().Color(), {0, 1, 1, 1}));
    EXPECT_TRUE(SameColor(lines.Nodes().LinesNode(2)->Color().Color(), {0, 1, 1, 1}));
    EXPECT_TRUE(SameColor(lines.Nodes().LinesNode(1)->Color().Color(), {1, 0, 0, 1}));
}

TEST(Lines, PropertyRulesAndExtents) {
    TGLLines lines;
    lines.SetNodeSize(0);
    EXPECT_EQ(lines.NodeSize(), 1);
    lines.SetNodeSize(-2);
    EXPECT_EQ(lines.NodeSize(), 1);
    lines.SetDivision(0);
    EXPECT_EQ(lines.Division(), 1);
    lines.ClearStructureChanged();
    lines.SetNodeSize(1);
    EXPECT_TRUE(lines.Changes().Contains(ocStructure)) << "every NodeSize assignment";
    lines.ClearStructureChanged();
    lines.LineColor().SetRed(0);
    EXPECT_TRUE(lines.Changes().Contains(ocStructure));

    TVector e = lines.UnscaledBoxExtents();
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.w, 0);
    lines.AddNode(-3, 1, 0.5f);
    lines.AddNode(2, -4, 0);
    e = lines.UnscaledBoxExtents();
    EXPECT_EQ(e.x, 3);
    EXPECT_EQ(e.y, 4);
    EXPECT_EQ(e.z, 0.5f);
    EXPECT_EQ(e.w, 1);

    TGLLines copy;
    copy.Assign(lines);
    ASSERT_EQ(copy.Nodes().Count(), 2);
    EXPECT_EQ(copy.Nodes()[1].Y(), -4);
    EXPECT_EQ(copy.LineColor().Red(), 0);
}
