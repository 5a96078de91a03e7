// Adds the minimum over repetitions to a benchmark's aggregates: on a shared
// machine, interference only ever adds time, so the fastest run is the
// steadiest figure to compare.
#ifndef OUTILS_BENCH_MINIMUM_H
#define OUTILS_BENCH_MINIMUM_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

inline void minimum(benchmark::internal::Benchmark* b) {
  b->ComputeStatistics("min", [](const std::vector<double>& temps) {
    return *std::min_element(temps.begin(), temps.end());
  });
}

#endif
