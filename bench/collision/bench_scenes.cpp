// Scene generators for the collision benchmarks.
#include "bench_scenes.h"

#include <cmath>
#include <random>

namespace hk::bench {

namespace {

std::vector<TBenchBox> Runs(int count, unsigned seed, int floors, bool flat) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> unit(0, 1);
    const float floorHeight = 4;
    const float side = std::sqrt(float(count) / float(floors)) * 2.5f;
    const float levels[3] = {2.6f, 2.9f, 3.2f};
    std::vector<TBenchBox> out;
    out.reserve(std::size_t(count));
    while (int(out.size()) < count) {
        int floor = int(unit(rng) * float(floors)) % floors;
        float z = flat ? 0 : float(floor) * floorHeight + levels[int(unit(rng) * 3) % 3];
        float r = 0.025f + unit(rng) * 0.125f;
        TAffineVector p{unit(rng) * side, unit(rng) * side, z};
        if (!flat && unit(rng) < 0.15f) {
            float base = float(floor) * floorHeight;
            out.push_back(
                {{p.x, p.y, base + floorHeight / 2 + 1}, {r, r, floorHeight / 2 + 1.5f}, false});
        }
        int segments = 3 + int(unit(rng) * 6);
        int axis = unit(rng) < 0.5f ? 0 : 1;
        for (int s = 0; s < segments && int(out.size()) < count; ++s) {
            float len = 1.5f + unit(rng) * 4.5f;
            float sign = unit(rng) < 0.5f ? -1.0f : 1.0f;
            TAffineVector q = p;
            q[axis] += sign * len;
            TAffineVector half{r, r, r};
            half[axis] = len / 2 + r;
            TAffineVector centre{(p.x + q.x) / 2, (p.y + q.y) / 2, z};
            out.push_back({centre, half, unit(rng) < 0.2f});
            p = q;
            axis = 1 - axis;
        }
    }
    return out;
}

} // namespace

std::vector<TBenchBox> PipingLayout(int count, unsigned seed) {
    return Runs(count, seed, 5, false);
}

std::vector<TBenchBox> FlatFloor(int count, unsigned seed) {
    return Runs(count, seed, 1, true);
}

std::vector<TAffineVector> WavySheet(int cells, float size, float lift) {
    auto height = [&](float x, float y) { return 0.3f * std::sin(x) * std::cos(y) + lift; };
    std::vector<TAffineVector> out;
    out.reserve(std::size_t(cells) * cells * 6);
    float step = size / float(cells);
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            float x0 = float(i) * step, x1 = x0 + step, y0 = float(j) * step, y1 = y0 + step;
            TAffineVector a{x0, y0, height(x0, y0)}, b{x1, y0, height(x1, y0)};
            TAffineVector c{x1, y1, height(x1, y1)}, d{x0, y1, height(x0, y1)};
            out.insert(out.end(), {a, b, c, a, c, d});
        }
    }
    return out;
}

} // namespace hk::bench
