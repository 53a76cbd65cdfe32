// The resolution of moving frames against a model of a software rasteriser's frame: a fixed
// cost plus one in proportion to the pixels drawn, over many machines and drawings.
#include "app/moving_resolution.h"

#include <gtest/gtest.h>

#include <string>

namespace hk::test {
namespace {

TEST(MovingResolution, SettlesWithinTheBudgetStaysThereAndComesBackWhenFramesGetCheap) {
    for (double fixedMs : {0.5, 2.0, 8.0, 20.0, 40.0}) {
        for (double pixelsMs : {1.0, 10.0, 30.0, 60.0, 150.0, 400.0}) {
            auto frameMs = [&](float scale) { return fixedMs + pixelsMs * scale * scale; };
            TMovingResolution resolution;
            for (int frame = 0; frame < 10; ++frame) {
                resolution.FrameTook(frameMs(resolution.Scale()));
            }
            const float settled = resolution.Scale();
            const std::string where =
                "fixed " + std::to_string(fixedMs) + " ms, pixels " + std::to_string(pixelsMs);
            EXPECT_GE(settled, 0.25f) << where;
            if (frameMs(1) <= TMovingResolution::cBudgetMs) {
                EXPECT_EQ(settled, 1.0f) << where; // a fast machine keeps full resolution
            } else if (frameMs(0.25f) <= TMovingResolution::cBudgetMs) {
                EXPECT_LE(frameMs(settled), TMovingResolution::cBudgetMs) << where;
            } else {
                EXPECT_EQ(settled, 0.25f) << where; // as low as it goes
            }
            for (int frame = 0; frame < 10; ++frame) {
                resolution.FrameTook(frameMs(resolution.Scale()));
                EXPECT_EQ(resolution.Scale(), settled) << where << ": no swinging";
            }
            for (int frame = 0; frame < 4; ++frame) {
                resolution.FrameTook(1);
            }
            EXPECT_EQ(resolution.Scale(), 1.0f) << where;
        }
    }
}

} // namespace
} // namespace hk::test
