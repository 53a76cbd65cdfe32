// Generated scenes for the collision benchmarks: building-services layouts as lists of
// axis-aligned pipe boxes, and wavy triangle sheets for mesh-mesh tests.
#pragma once

#include "engine/vector_types.h"

#include <vector>

namespace hk::bench {

struct TBenchBox {
    TAffineVector centre;
    TAffineVector half;
    bool faces; // collides in faces mode (else cube mode)
};

// Runs of pipe along x and y at a few elevations per floor on five floors, joined end to end so
// that neighbours overlap at their joints, with risers along z through the floors. The floor
// area grows with the count so that the overlap density stays the same.
std::vector<TBenchBox> PipingLayout(int count, unsigned seed = 1);
// The same runs, all at one elevation on one floor and without risers.
std::vector<TBenchBox> FlatFloor(int count, unsigned seed = 2);

// A wavy sheet of 2 * cells * cells triangles over [0, size] in x and y, lifted by `lift`.
std::vector<TAffineVector> WavySheet(int cells, float size, float lift);

} // namespace hk::bench
