// Reading 3DS models of growing size into mesh objects (chunk walk, checks, smoothing-group
// normals): a grid of n x n quads in one object, every face in smoothing group 1.
// Run: read_3ds_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// 2026-12-09, shared 2-core build machine, Release: 16: 0.02 ms, 64: 0.34 ms, 180 (64800 faces):
// 3.0 ms CPU, about 400 MB/s throughout (linear; growing the lists 16 items at a time had made
// the 180 case 207 ms).
#include "bench/min_of_repetitions.h"
#include "primitives/mesh/mesh_3ds.h"
#include "primitives/mesh/objects_3ds.h"
#include "tests/primitives/mesh/writer_3ds.h"

#include <benchmark/benchmark.h>

namespace {

using namespace hk::test3ds;

std::string Grid(int n) {
    std::vector<V3> vertices;
    std::vector<Tri> faces;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x)
            vertices.push_back({float(x), float(y), float((x * y) % 7) * 0.1f});
    const auto at = [n](int x, int y) { return std::uint16_t(y * (n + 1) + x); };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            faces.push_back({at(x, y), at(x + 1, y), at(x + 1, y + 1)});
            faces.push_back({at(x, y), at(x + 1, y + 1), at(x, y + 1)});
        }
    return File({Object(
        "Grid", {Vertices(vertices),
                 Faces(faces).Add(Smoothing(std::vector<std::uint32_t>(faces.size(), 1)))})});
}

void BM_Read3DS(benchmark::State& state) {
    const std::string file = Grid(int(state.range(0)));
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()),
                                              file.size());
    for (auto _ : state) {
        auto meshes =
            hk::Build3DSMeshObjects(hk::Read3DSObjects(bytes, "grid.3ds"), hk::mnoDefault, false);
        benchmark::DoNotOptimize(meshes);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}
// 16 to 180 quads a side: up to 64800 faces, near the 65535-vertex limit of one object.
HK_BENCHMARK(BM_Read3DS)->Arg(16)->Arg(64)->Arg(180)->Unit(benchmark::kMillisecond);

} // namespace
