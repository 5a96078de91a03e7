// trier and triRapide against std::sort on the same values, in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include <outils/tri.h>

#include "minimum.h"

namespace {

// Many different inputs, so that no single arrangement is learnt by the
// branch predictor; each iteration sorts a fresh copy of the next one.
std::vector<int> entrees(std::size_t n, std::size_t combien, int max = 99) {
  std::mt19937 gen(1);
  std::uniform_int_distribution<int> d(0, max);
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
  // Values from the whole positive range: few repeat. Many repeated values
  // make the strict Lomuto steps quadratic (see BM_triRapide_doublons).
  // Small sizes rotate over several inputs, as above.
  const std::size_t jeux = std::max<std::size_t>(1, 100000 / n);
  const auto sources = entrees(n, jeux, static_cast<int>(state.range(1)));
  std::vector<int> v(n);
  std::size_t jeu = 0;
  for (auto _ : state) {
    // The copy is timed too: it costs little beside a sort, and both sides pay it.
    const auto debut = sources.begin() + static_cast<long>(jeu * n);
    v.assign(debut, debut + static_cast<long>(n));
    tri(v);
    benchmark::DoNotOptimize(v.data());
    jeu = (jeu + 1) % jeux;
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

BENCHMARK(BM_trier_10)->Apply(minimum);
BENCHMARK(BM_stdsort_10)->Apply(minimum);
BENCHMARK(BM_triRapide_10)->Apply(minimum);
void tailles(benchmark::internal::Benchmark* b) {
  for (int n = 1000; n <= 1000000; n *= 10) b->Args({n, std::numeric_limits<int>::max()});
  b->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_triRapide_n)->Apply(minimum)->Apply(tailles);
BENCHMARK(BM_stdsort_n)->Apply(minimum)->Apply(tailles);
// 10^4 values out of 100: each value repeats a hundred times.
BENCHMARK(BM_triRapide_n)
    ->Apply(minimum)
    ->Name("BM_triRapide_doublons")
    ->Args({10000, 99})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_stdsort_n)
    ->Apply(minimum)
    ->Name("BM_stdsort_doublons")
    ->Args({10000, 99})
    ->Unit(benchmark::kMicrosecond);
