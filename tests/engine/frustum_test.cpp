#include "engine/frustum.h"
#include "engine/vector_geometry.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

// A symmetric perspective projection (l = -1, r = 1, b = -1, t = 1) in row-vector storage.
TMatrix Perspective(float n, float f) {
    TMatrix m{};
    m[0].x = n;
    m[1].y = n;
    m[2] = {0, 0, -(f + n) / (f - n), -1};
    m[3] = {0, 0, -2 * f * n / (f - n), 0};
    return m;
}

TEST(Frustum, IdentityIsTheClipCube) {
    TFrustum f = ExtractFrustumFromModelViewProjection(IdentityHmgMatrix);
    EXPECT_FALSE(IsVolumeClipped({0, 0, 0}, 0.1f, f));
    EXPECT_TRUE(IsVolumeClipped({3, 0, 0}, 1, f));
    EXPECT_FALSE(IsVolumeClipped({3, 0, 0}, 2.5f, f));
    EXPECT_TRUE(IsVolumeClipped(TAABB{{1.5f, -1, -1}, {2, 1, 1}}, f));
    EXPECT_FALSE(IsVolumeClipped(TAABB{{0.5f, -1, -1}, {2, 1, 1}}, f));
}

TEST(Frustum, PerspectiveLooksDownMinusZBetweenNearAndFar) {
    TFrustum f = ExtractFrustumFromModelViewProjection(Perspective(1, 10));
    EXPECT_FALSE(IsVolumeClipped({0, 0, -5}, 0.1f, f));
    EXPECT_TRUE(IsVolumeClipped({0, 0, 5}, 0.1f, f));
    EXPECT_TRUE(IsVolumeClipped({0, 0, -11}, 0.5f, f));
    EXPECT_TRUE(IsVolumeClipped({0, 0, -0.5f}, 0.1f, f));
    // The side planes open at 45 degrees: x = 4 at depth 5 is outside, x = 4.5 reaches in with r 1.
    EXPECT_TRUE(IsVolumeClipped({6, 0, -5}, 0.5f, f));
    EXPECT_FALSE(IsVolumeClipped({5.5f, 0, -5}, 1, f));
    // A view matrix that moves the world 20 units away pushes the origin out past far.
    TMatrix view = CreateTranslationMatrix({0, 0, -20});
    TFrustum moved =
        ExtractFrustumFromModelViewProjection(MatrixMultiply(view, Perspective(1, 10)));
    EXPECT_TRUE(IsVolumeClipped({0, 0, 0}, 1, moved));
    EXPECT_FALSE(IsVolumeClipped({0, 0, 15}, 1, moved));
}

} // namespace
} // namespace hk
