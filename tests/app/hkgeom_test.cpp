// The plane-geometry helpers on known values: quadrants, axis directions, corners, fillets and
// turned offsets.
#include "app/hkgeom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hk {
namespace {

constexpr double cPi = 3.14159265358979323846;

TEST(VectorAngle, CoversEveryQuadrantAndTheAxes) {
    EXPECT_DOUBLE_EQ(VectorAngle(1, 0), 0);
    EXPECT_DOUBLE_EQ(VectorAngle(1, 1), cPi / 4);
    EXPECT_DOUBLE_EQ(VectorAngle(-1, 1), 3 * cPi / 4);
    EXPECT_DOUBLE_EQ(VectorAngle(-1, -1), 5 * cPi / 4);
    EXPECT_DOUBLE_EQ(VectorAngle(1, -1), -cPi / 4);
    EXPECT_DOUBLE_EQ(VectorAngle(0, 2), cPi / 2);
    EXPECT_DOUBLE_EQ(VectorAngle(0, -2), 4.71238898038469);
    EXPECT_DOUBLE_EQ(VectorAngle(0, 0), 0);
}

TEST(LineAngle, AxisDirectionsAreExactAndDiagonalsLieInRange) {
    EXPECT_EQ(LineAngle({0, 0}, {5, 0}).degrees, 0);
    EXPECT_EQ(LineAngle({0, 0}, {-5, 1e-7}).degrees, 180);
    EXPECT_EQ(LineAngle({0, 0}, {0, 5}).degrees, 90);
    EXPECT_EQ(LineAngle({0, 0}, {1e-7, -5}).degrees, 270);
    EXPECT_NEAR(LineAngle({1, 1}, {2, 2}).degrees, 45, 1e-12);
    EXPECT_NEAR(LineAngle({0, 0}, {-1, 1}).degrees, 135, 1e-12);
    EXPECT_NEAR(LineAngle({0, 0}, {-1, -1}).degrees, 225, 1e-12);
    EXPECT_NEAR(LineAngle({0, 0}, {1, -1}).degrees, -45, 1e-12);
    const TGeomAngle shortOne = LineAngle({3, 3}, {3.0005, 3});
    EXPECT_EQ(shortOne.error, cGeomShortSegment);
    EXPECT_EQ(shortOne.degrees, 0);
}

TEST(CornerAngle, IsTheAngleBetweenTheSegments) {
    EXPECT_NEAR(CornerAngle({0, 0}, {10, 0}, {10, 10}).degrees, 90, 1e-12);
    EXPECT_NEAR(CornerAngle({0, 0}, {10, 0}, {10, -10}).degrees, 90, 1e-12);
    EXPECT_NEAR(CornerAngle({0, 0}, {10, 0}, {20, 0}).degrees, 180, 1e-12);
    EXPECT_NEAR(CornerAngle({0, 0}, {10, 0}, {0, 10}).degrees, 45, 1e-12);
    EXPECT_EQ(CornerAngle({0, 0}, {0, 0}, {0, 10}).error, cGeomShortSegment);
}

TEST(FilletArc, RoundsLeftAndRightTurns) {
    const TFilletArc left = FilletArc(2, {0, 0}, {10, 0}, {10, 10});
    ASSERT_EQ(left.error, cGeomOk);
    EXPECT_NEAR(left.centre.x, 8, 1e-12);
    EXPECT_NEAR(left.centre.y, 2, 1e-12);
    EXPECT_NEAR(left.tangent, 2, 1e-12);
    EXPECT_NEAR(left.startAngle, 270, 1e-9);
    EXPECT_NEAR(left.endAngle, 0, 1e-9);
    EXPECT_TRUE(left.leftTurn);

    const TFilletArc right = FilletArc(2, {0, 0}, {10, 0}, {10, -10});
    ASSERT_EQ(right.error, cGeomOk);
    EXPECT_NEAR(right.centre.x, 8, 1e-12);
    EXPECT_NEAR(right.centre.y, -2, 1e-12);
    EXPECT_NEAR(right.startAngle, 0, 1e-9);
    EXPECT_NEAR(right.endAngle, 90, 1e-9);
    EXPECT_FALSE(right.leftTurn);

    // A 60 degree corner: the tangent is r / tan(30 degrees).
    const TFilletArc sharp = FilletArc(1, {0, 0}, {10, 0}, {10 - 5, 5 * std::sqrt(3.0)});
    ASSERT_EQ(sharp.error, cGeomOk);
    EXPECT_NEAR(sharp.tangent, std::sqrt(3.0), 1e-9);
}

TEST(FilletArc, ShortParallelAndReversedPathsAreErrors) {
    EXPECT_EQ(FilletArc(1, {0, 0}, {0, 0}, {5, 5}).error, cGeomShortSegment);
    EXPECT_EQ(FilletArc(1, {0, 0}, {5, 5}, {5, 5}).error, cGeomShortSegment);
    EXPECT_EQ(FilletArc(1, {0, 0}, {5, 0}, {9, 0}).error, cGeomNoCorner);
    EXPECT_EQ(FilletArc(1, {0, 0}, {5, 0}, {1, 0}).error, cGeomNoCorner);
    const TFilletArc none = FilletArc(1, {0, 0}, {5, 0}, {9, 0});
    EXPECT_TRUE(std::isfinite(none.tangent));
}

TEST(RotateOffset, TurnsTheOffsetAboutTheBase) {
    const TPoint2D same = RotateOffset({1, 2}, {3, 4}, 0);
    EXPECT_DOUBLE_EQ(same.x, 4);
    EXPECT_DOUBLE_EQ(same.y, 6);
    const TPoint2D quarter = RotateOffset({1, 2}, {3, 0}, 90);
    EXPECT_NEAR(quarter.x, 1, 1e-6);
    EXPECT_NEAR(quarter.y, 5, 1e-6);
    // The drawings' factor 0.017453292 is a little short of pi / 180.
    const TPoint2D half = RotateOffset({0, 0}, {1000000, 0}, 180);
    EXPECT_NEAR(half.x, -1000000, 1e-3);
    EXPECT_NEAR(half.y, 1000000 * std::sin(180 * 0.017453292), 1e-9);
    EXPECT_GT(half.y, 0.01);
}

} // namespace
} // namespace hk
