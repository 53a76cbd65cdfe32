// The pass's sort by minimum z against a stable comparison sort: negative elevations (below
// the drawing's origin), signed zeros, ties and huge values.
#include "collision/z_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace hk {
namespace {

TEST(ZSort, OrdersLikeAStableSortOnMinimumZ) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> wide(-3e6f, 3e6f), narrow(-2, 2);
    const float special[] = {0.0f, -0.0f, 1e-40f, -1e-40f, 3e38f, -3e38f, 2.5f, -2.5f};
    TZSort sort;
    for (int round = 0; round < 40; ++round) {
        std::vector<TAABB> boxes(std::size_t(round * 37 % 500));
        for (TAABB& b : boxes) {
            int pick = int(rng() % 4);
            float z = pick == 0 ? wide(rng) : pick == 1 ? narrow(rng) : special[rng() % 8];
            b.min = {0, 0, z};
            b.max = {1, 1, z + 1};
        }
        std::vector<int> expected(boxes.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            return boxes[std::size_t(a)].min.z < boxes[std::size_t(b)].min.z;
        });
        std::vector<TCollisionNode> nodes;
        for (const TAABB& b : boxes) {
            nodes.emplace_back(nullptr, b);
        }
        sort.Sort(nodes);
        ASSERT_EQ(sort.Order().size(), boxes.size());
        for (std::size_t r = 0; r < boxes.size(); ++r) {
            // Signed zeros compare equal, so only their values must agree.
            ASSERT_EQ(boxes[std::size_t(sort.Order()[r])].min.z,
                      boxes[std::size_t(expected[r])].min.z)
                << "round " << round << " rank " << r;
        }
    }
}

} // namespace
} // namespace hk
