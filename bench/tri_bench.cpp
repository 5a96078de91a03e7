// trier and triRapide against std::sort on the same values, in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tri.h"

namespace {

// Many different inputs, so that no single arrangement is learnt by the
// branch predictor; each iteration sorts a fresh copy of the next one.
std::vector<int> entrees(std::size_t n, std::size_t combien) {
  std::mt19937 gen(1);
  std::uniform_int_distribution<int> d(0, 99);
  std::vector<int> v(n * combien);
  for (int& x : v) x = d(gen);
  return v;
}

constexpr std::size_t kJeux = 1024;

template <class Tri>
void dixEntiers(benchmark::State& state, Tri tri) {
  const auto v = entrees(TAILLE, kJeux);
  int t[TAILLE];
  std::size_t jeu = 0;
  for (auto _ : state) {
    std::copy_n(v.begin() + static_cast<long>(jeu * TAILLE), TAILLE, t);
    tri(t);
    benchmark::DoNotOptimize(t);
    jeu = (jeu + 1) % kJeux;
  }
}

void BM_trier_10(benchmark::State& state) {
  dixEntiers(state, [](int* t) { trier(t, false); });
}
void BM_stdsort_10(benchmark::State& state) {
  dixEntiers(state, [](int* t) { std::sort(t, t + TAILLE); });
}
void BM_triRapide_10(benchmark::State& state) {
  minCmp<int> croissant;
  dixEntiers(state, [&](int* t) { triRapide(t, 0, TAILLE - 1, &croissant); });
}

template <class Tri>
void nEntiers(benchmark::State& state, Tri tri) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const auto source = entrees(n, 1);
  std::vector<int> v(n);
  for (auto _ : state) {
    state.PauseTiming();
    v = source;
    state.ResumeTiming();
    tri(v);
    benchmark::DoNotOptimize(v.data());
  }
  state.SetComplexityN(state.range(0));
}

void BM_triRapide_n(benchmark::State& state) {
  nEntiers(state, [](std::vector<int>& v) {
    minCmp<int> croissant;
    triRapide(v.data(), 0, static_cast<int>(v.size()) - 1, &croissant);
  });
}
void BM_stdsort_n(benchmark::State& state) {
  nEntiers(state, [](std::vector<int>& v) { std::sort(v.begin(), v.end()); });
}

}  // namespace

BENCHMARK(BM_trier_10);
BENCHMARK(BM_stdsort_10);
BENCHMARK(BM_triRapide_10);
BENCHMARK(BM_triRapide_n)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_stdsort_n)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond);
