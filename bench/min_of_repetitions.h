// Registration of hkviewer's benchmarks: each one reports, beside Google Benchmark's mean, median
// and deviation, the minimum of its repetitions (the `_min` rows of --benchmark_repetitions).
// The minimum is the figure to compare: frequency boosting, other processes and cache misses only
// ever add time, so the fastest repetition is the one least disturbed.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace hk::bench {

inline double MinOfRepetitions(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

} // namespace hk::bench

// BENCHMARK and BENCHMARK_CAPTURE with the minimum among the statistics.
#define HK_BENCHMARK(...)                                                                          \
    BENCHMARK(__VA_ARGS__)->ComputeStatistics("min", ::hk::bench::MinOfRepetitions)
#define HK_BENCHMARK_CAPTURE(...)                                                                  \
    BENCHMARK_CAPTURE(__VA_ARGS__)->ComputeStatistics("min", ::hk::bench::MinOfRepetitions)
