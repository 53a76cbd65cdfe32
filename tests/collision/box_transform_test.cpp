// The collision pass's world boxes and the inline transforms of its tests: the box transform
// must give exactly the box of the eight transformed corners, and the inline matrix product and
// corners exactly the engine's, since touching boxes (inclusive overlap) hinge on the last bit.
#include "collision/box_geometry.h"
#include "collision/transform_inline.h"
#include "engine/vector_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace hk {
namespace {

TMatrix RandomAffine(std::mt19937& rng) {
    std::uniform_real_distribution<float> u(-1, 1), s(0.01f, 40);
    TAffineVector axis = VectorNormalize(TAffineVector{u(rng), u(rng), u(rng)});
    TMatrix m = RotationMatrix(VectorLength(axis) > 0 ? axis : ZVector, u(rng) * 3.2f);
    const float scale[3] = {s(rng), s(rng), s(rng)};
    for (int row = 0; row < 3; ++row) {
        for (int k = 0; k < 3; ++k) {
            m[row][k] *= scale[row];
        }
    }
    m[3] = PointMake(u(rng) * 1e4f, u(rng) * 1e4f, u(rng) * 50);
    return m;
}

TEST(BoxTransform, EqualsTheBoxOfTheEightCornersBitForBit) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> c(-5, 5);
    for (int i = 0; i < 20000; ++i) {
        TMatrix m = RandomAffine(rng);
        if (i % 4 == 0) {
            m = IdentityHmgMatrix; // axis-aligned: zero terms everywhere
            m[3] = PointMake(c(rng) * 1e3f, c(rng), c(rng));
        }
        TAffineVector a{c(rng), c(rng), c(rng)}, b{c(rng), c(rng), c(rng)};
        TAABB box{{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
                  {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
        if (i % 3 == 0) {
            box.min = {-box.max.x, -box.max.y, -box.max.z}; // symmetric, as most objects are
        }
        TAABB fast = BoxTransform(box, m);
        TAABB corners = AABBTransform(box, m);
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(fast.min[k], corners.min[k]) << "case " << i << " axis " << k;
            ASSERT_EQ(fast.max[k], corners.max[k]) << "case " << i << " axis " << k;
        }
    }
}

TEST(BoxTransform, InlineProductAndCornersEqualTheEnginesBitForBit) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> c(-5, 5);
    for (int i = 0; i < 20000; ++i) {
        const TMatrix a = RandomAffine(rng), b = RandomAffine(rng);
        const TMatrix fast = AffineProductInline(a, b), engine = MatrixMultiply(a, b);
        for (int row = 0; row < 4; ++row) {
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(fast[row][k], engine[row][k]) << "case " << i;
            }
        }
        const TAffineVector e{c(rng), c(rng), c(rng)};
        const TAABB box{{-e.x, -e.y, -e.z}, {e.x, e.y, e.z + c(rng)}};
        const TBoxCorners corners = TransformBoxCornersInline(box, fast);
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const TAffineVector p{k == 1 || k == 2 || k == 5 || k == 6 ? box.max.x : box.min.x,
                                  k % 4 >= 2 ? box.max.y : box.min.y,
                                  k >= 4 ? box.max.z : box.min.z};
            const TAffineVector want = AffineTransform(p, fast);
            for (int axis = 0; axis < 3; ++axis) {
                ASSERT_EQ(corners[k][axis], want[axis]) << "case " << i << " corner " << k;
            }
        }
    }
}

TEST(BoxTransform, NonFiniteInputNeverGivesAUsableBox) {
    const float bad[] = {NAN, INFINITY, -INFINITY};
    for (float v : bad) {
        for (int slot = 0; slot < 18; ++slot) {
            TMatrix m = IdentityHmgMatrix;
            TAABB box{{-1, -1, -1}, {1, 1, 1}};
            if (slot < 12) {
                m[slot / 3][slot % 3] = v;
            } else if (slot < 15) {
                box.min[slot - 12] = v;
            } else {
                box.max[slot - 15] = v;
            }
            EXPECT_FALSE(IsUsableBox(BoxTransform(box, m))) << v << " in slot " << slot;
        }
    }
}

} // namespace
} // namespace hk
