// The shared sine/cosine table, ring construction, the twist test and realignment.
#include "primitives/pipe/pipe_ring.h"

#include <gtest/gtest.h>

using namespace hk;

namespace {

void ExpectNear(const TAffineVector& a, const TAffineVector& b, float tol = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

TPipeRing Ring(const TAffineVector& centre, const TAffineVector& d, float f, float radius,
               int slices = 16) {
    TPipeRing r;
    r.Resize(slices);
    BuildPipeRing(r, centre, d, f, radius, MakePipeSinCosTable(slices));
    return r;
}

} // namespace

TEST(PipeSinCosTable, EndsAtAFullTurnByRotationAndDirectly) {
    for (int slices : {16, 1000}) {
        TPipeSinCosTable t = MakePipeSinCosTable(slices);
        ASSERT_EQ(t.Count(), slices + 1);
        EXPECT_EQ(t.sin[0], 0);
        EXPECT_EQ(t.cos[0], 1);
        EXPECT_NEAR(t.sin[slices / 4], 1, 1e-4) << slices;
        EXPECT_NEAR(t.cos[slices / 2], -1, 1e-4) << slices;
        EXPECT_NEAR(t.sin[slices], 0, 1e-4) << slices;
        EXPECT_NEAR(t.cos[slices], 1, 1e-4) << slices;
    }
    EXPECT_EQ(MakePipeSinCosTable(0).Count(), 0);
}

TEST(PipeSinCosTable, SharedTableFollowsTheSliceCount) {
    EXPECT_EQ(PipeSinCosTable(8).Count(), 9);
    const float* first = PipeSinCosTable(8).sin.data();
    EXPECT_EQ(PipeSinCosTable(8).sin.data(), first) << "same size: not rebuilt";
    EXPECT_EQ(PipeSinCosTable(12).Count(), 13);
}

TEST(PipeRing, RunAlongZBuildsFromXCrossD) {
    // u = X x Z = (0, -1, 0), v = Z x u = (1, 0, 0).
    TPipeRing r = Ring({0, 0, 5}, {0, 0, 1}, 0.5f, 2);
    ExpectNear(r.normals[0], {0, -2, 0});
    ExpectNear(r.positions[0], {0, -1, 5});
    ExpectNear(r.normals[4], {2, 0, 0}, 1e-4f);
    ExpectNear(r.positions[16], r.positions[0], 1e-4f);
}

TEST(PipeRing, RunAlongXBuildsFromZCrossD) {
    // u = Z x X = (0, 1, 0), v = X x u = (0, 0, 1): counter-clockwise seen from +X.
    TPipeRing r = Ring({1, 2, 3}, {1, 0, 0}, 1, 1);
    ExpectNear(r.positions[0], {1, 3, 3});
    ExpectNear(r.positions[4], {1, 2, 4}, 1e-4f);
}

TEST(PipeRing, NullDirectionLiesInTheXZPlane) {
    TPipeRing r = Ring({0, 0, 0}, {0, 0, 0}, 1, 3);
    for (const auto& p : r.positions) {
        EXPECT_NEAR(p.y, 0, 1e-6);
    }
    ExpectNear(r.positions[0], {3, 0, 0});
    ExpectNear(r.positions[4], {0, 0, 3}, 1e-4f);
}

TEST(PipeRing, AlignedRingsAreNotTwisted) {
    TPipeRing a = Ring({0, 0, 0}, {0, 0, 1}, 1, 1);
    TPipeRing b = Ring({0, 0, 1}, {0, 0, 1}, 1, 1);
    EXPECT_FALSE(PipeRingsTwisted(a, b));
    EXPECT_EQ(BestPipeRingShift(a, b), 0);
}

TEST(PipeRing, HalfTurnIsFoundAndUndone) {
    TPipeRing a = Ring({0, 0, 0}, {0, 0, 1}, 1, 1);
    TPipeRing b = a;
    RotatePipeRing(b, 8);
    ExpectNear(b.positions[0], a.positions[8]);
    ExpectNear(b.positions[16], b.positions[0]);
    EXPECT_TRUE(PipeRingsTwisted(a, b));
    const int shift = BestPipeRingShift(a, b);
    EXPECT_EQ(shift, 8);
    RotatePipeRing(a, shift);
    for (int k = 0; k <= 16; ++k) {
        ExpectNear(a.positions[k], b.positions[k]);
        ExpectNear(a.normals[k], b.normals[k]);
    }
}

TEST(PipeRing, EqualCostsPreferTheSmallerShift) {
    TPipeRing a = Ring({0, 0, 0}, {0, 0, 1}, 0, 1);
    TPipeRing b = Ring({0, 0, 1}, {0, 0, 1}, 0, 1);
    EXPECT_EQ(BestPipeRingShift(a, b), 0);
}
