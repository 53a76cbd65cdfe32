// Matrix and point-list throughput: the collision tests transform whole point lists and the
// scene walk multiplies and inverts a matrix per object, so these must not allocate.
#include "bench/min_of_repetitions.h"
#include "engine/vector_geometry.h"
#include "engine/vector_lists.h"

#include <benchmark/benchmark.h>

namespace hk {
namespace {

TMatrix SampleMatrix() {
    TMatrix m = RotationMatrix({1, 2, 3}, 0.7f);
    m[3] = {1, 2, 3, 1};
    return m;
}

void BM_MatrixMultiply(benchmark::State& state) {
    TMatrix a = SampleMatrix(), b = SampleMatrix();
    for (auto _ : state) {
        a = MatrixMultiply(a, b);
        a[3] = {1, 2, 3, 1};
        benchmark::DoNotOptimize(a);
    }
}
HK_BENCHMARK(BM_MatrixMultiply);

void BM_InvertMatrix(benchmark::State& state) {
    TMatrix m = SampleMatrix();
    for (auto _ : state) {
        benchmark::DoNotOptimize(InvertMatrix(m));
    }
}
HK_BENCHMARK(BM_InvertMatrix);

void BM_RigidInvertMatrix(benchmark::State& state) {
    TMatrix m = SampleMatrix();
    for (auto _ : state) {
        benchmark::DoNotOptimize(RigidInvertMatrix(m));
    }
}
HK_BENCHMARK(BM_RigidInvertMatrix);

void BM_TransformPointList(benchmark::State& state) {
    TAffineVectorList points;
    for (int i = 0; i < state.range(0); ++i) {
        points.Add(float(i), float(i % 7), float(i % 13));
    }
    TMatrix m = SampleMatrix();
    for (auto _ : state) {
        points.TransformAsPoints(m);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
HK_BENCHMARK(BM_TransformPointList)->Arg(1000)->Arg(100000);

} // namespace
} // namespace hk
