// Cubic spline values and slopes against hand-computed points.
#include "primitives/pipe/cubic_spline.h"

#include <gtest/gtest.h>

#include <vector>

using namespace hk;

TEST(CubicSpline, TwoNodesGiveAStraightSegmentAndItsExtension) {
    const float x[] = {0, 1}, y[] = {2, 4};
    TCubicSpline s(x, y, nullptr, nullptr, 2);
    EXPECT_NEAR(s.SplineX(0.5f), 0.5f, 1e-6);
    EXPECT_NEAR(s.SplineY(0.25f), 2.5f, 1e-6);
    EXPECT_NEAR(s.SplineX(-1), -1, 1e-6);
    EXPECT_NEAR(s.SplineX(3), 3, 1e-6);
    EXPECT_EQ(s.SplineZ(0.5f), 0) << "a missing series evaluates to 0";
    TAffineVector slope = s.SplineSlopeVector(0.3f);
    EXPECT_NEAR(slope.x, 1, 1e-6);
    EXPECT_NEAR(slope.y, 2, 1e-6);
}

// p = 0, 1, 0: D = 1.5, 0, -1.5; segment 0 is 1.5 w - 0.5 w^3.
TEST(CubicSpline, ThreeNodesMatchTheNaturalCubic) {
    const float p[] = {0, 1, 0};
    TCubicSpline s(p, nullptr, nullptr, nullptr, 3);
    EXPECT_NEAR(s.SplineX(0), 0, 1e-6);
    EXPECT_NEAR(s.SplineX(1), 1, 1e-6);
    EXPECT_NEAR(s.SplineX(2), 0, 1e-6);
    EXPECT_NEAR(s.SplineX(0.5f), 0.6875f, 1e-6);
    EXPECT_NEAR(s.SplineX(1.5f), 0.6875f, 1e-6);
    EXPECT_NEAR(s.SplineSlopeVector(0.5f).x, 1.125f, 1e-6);
    EXPECT_NEAR(s.SplineSlopeVector(0).x, 1.5f, 1e-6);
    EXPECT_NEAR(s.SplineSlopeVector(2).x, -1.5f, 1e-6);
    // Outside [0, 2] the end segments go on.
    EXPECT_NEAR(s.SplineX(-1), -1, 1e-6);
    EXPECT_NEAR(s.SplineX(3), -1, 1e-6);
}

TEST(CubicSpline, LongChainsKeepTheirPrecision) {
    std::vector<float> p(400);
    for (int i = 0; i < 400; ++i) {
        p[i] = 1000.0f + 2.0f * float(i);
    }
    TCubicSpline s(p.data(), nullptr, nullptr, nullptr, int(p.size()));
    EXPECT_NEAR(s.SplineX(350.5f), 1701.0f, 1e-3);
    EXPECT_NEAR(s.SplineSlopeVector(350.5f).x, 2.0f, 1e-3);
}

TEST(CubicSpline, DegenerateCountsAreSafe) {
    const float one[] = {7};
    TCubicSpline single(one, one, one, one, 1);
    EXPECT_EQ(single.SplineX(5), 7);
    EXPECT_EQ(single.SplineSlopeVector(0).x, 0);
    TCubicSpline none(nullptr, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(none.SplineX(1), 0);
    TCubicSpline negative(one, nullptr, nullptr, nullptr, -3);
    EXPECT_EQ(negative.Count(), 0);
    EXPECT_EQ(negative.SplineX(1), 0);
}
