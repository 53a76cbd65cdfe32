// The benchmark scenes as FCL boxes in a dynamic AABB tree, for comparison runs.
#pragma once

#include "bench_scenes.h"

#include <memory>
#include <vector>

namespace hk::bench {

class TFclScene {
public:
    explicit TFclScene(const std::vector<TBenchBox>& boxes);
    ~TFclScene();
    // Refits the tree (as a moving scene would need) and runs an exact fcl::collide on every
    // candidate pair; returns the number of colliding pairs.
    int CollidingPairs();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

} // namespace hk::bench
