// trier and triRapide against std::sort on the same values, in the same run.
// "Like for like" rows give std::sort the same user comparator, called
// through a sortCmp pointer as triRapide calls it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <random>
#include <type_traits>
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

// A comparator of the user's own, for ints and for records.
class croissantUtilisateur : public sortCmp<int> {
 public:
  bool compare(const int& a, const int& b) override { return a < b; }
};

struct Enregistrement {
  int cle;
  int marque;
};
class parCle : public sortCmp<Enregistrement> {
 public:
  bool compare(const Enregistrement& a, const Enregistrement& b) override { return a.cle < b.cle; }
};

enum Donnees {
  aleatoires,
  vingt,
  mille,
  orgue,
  enOrdre,
  enOrdreInverse,
  egales,
  montantDescendant
};

std::vector<int> donnees(Donnees sorte, int n) {
  std::mt19937 gen(2);
  std::vector<int> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    switch (sorte) {
      case aleatoires:
        v[k] = static_cast<int>(gen());
        break;
      case vingt:
        v[k] = static_cast<int>(gen() % 21);
        break;
      case mille:
        v[k] = static_cast<int>(gen() % 1000);
        break;
      case orgue:  // ascending evens, then descending odds
        v[k] = i < (n + 1) / 2 ? 2 * i : 2 * (n - 1 - i) + 1;
        break;
      case enOrdre:
        v[k] = i;
        break;
      case enOrdreInverse:
        v[k] = n - i;
        break;
      case egales:
        v[k] = 7;
        break;
      case montantDescendant:  // rises to the middle, then falls
        v[k] = i < n / 2 ? i : n - i;
        break;
    }
  }
  return v;
}

template <class T>
std::vector<T> enTypes(const std::vector<int>& cles) {
  if constexpr (std::is_same_v<T, int>) {
    return cles;
  } else {
    std::vector<T> v(cles.size());
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = {cles[i], static_cast<int>(i)};
    return v;
  }
}

// Sorts a fresh copy of the same data at each iteration; the copy is timed
// on both sides.
template <class T, class Tri>
void mesurer(benchmark::State& state, Donnees sorte, int n, Tri tri) {
  const auto source = enTypes<T>(donnees(sorte, n));
  std::vector<T> v;
  for (auto _ : state) {
    v = source;
    tri(v);
    benchmark::DoNotOptimize(v.data());
  }
}

template <class T, class Cmp>
void triRapideSur(benchmark::State& state, Donnees sorte, int n) {
  Cmp concret;
  sortCmp<T>* cmp = &concret;
  benchmark::DoNotOptimize(cmp);  // as opaque to the compiler as in stdsortPareilSur
  mesurer<T>(state, sorte, n, [cmp](std::vector<T>& v) {
    triRapide(v.data(), 0, static_cast<int>(v.size()) - 1, cmp);
  });
}

template <class T>
void stdsortSur(benchmark::State& state, Donnees sorte, int n) {
  mesurer<T>(state, sorte, n, [](std::vector<T>& v) { std::sort(v.begin(), v.end()); });
}

template <class T>
void stdsortDecroissantSur(benchmark::State& state, Donnees sorte, int n) {
  mesurer<T>(state, sorte, n,
             [](std::vector<T>& v) { std::sort(v.begin(), v.end(), std::greater<T>()); });
}

// std::sort with the user's comparator, called as triRapide calls it.
template <class T, class Cmp>
void stdsortPareilSur(benchmark::State& state, Donnees sorte, int n) {
  Cmp concret;
  sortCmp<T>* cmp = &concret;
  benchmark::DoNotOptimize(cmp);
  mesurer<T>(state, sorte, n, [cmp](std::vector<T>& v) {
    std::sort(v.begin(), v.end(), [cmp](const T& a, const T& b) { return cmp->compare(a, b); });
  });
}

constexpr int kMillion = 1000000;

// One name a row, as the results show it.
void BM_triRapide_min(benchmark::State& s, Donnees d, int n) {
  triRapideSur<int, minCmp<int>>(s, d, n);
}
void BM_triRapide_max(benchmark::State& s, Donnees d, int n) {
  triRapideSur<int, maxCmp<int>>(s, d, n);
}
void BM_triRapide_utilisateur(benchmark::State& s, Donnees d, int n) {
  triRapideSur<int, croissantUtilisateur>(s, d, n);
}
void BM_triRapide_enregistrements(benchmark::State& s, Donnees d, int n) {
  triRapideSur<Enregistrement, parCle>(s, d, n);
}
void BM_stdsort(benchmark::State& s, Donnees d, int n) {
  stdsortSur<int>(s, d, n);
}
void BM_stdsort_max(benchmark::State& s, Donnees d, int n) {
  stdsortDecroissantSur<int>(s, d, n);
}
void BM_stdsort_utilisateur(benchmark::State& s, Donnees d, int n) {
  stdsortPareilSur<int, croissantUtilisateur>(s, d, n);
}
void BM_stdsort_enregistrements(benchmark::State& s, Donnees d, int n) {
  stdsortPareilSur<Enregistrement, parCle>(s, d, n);
}

}  // namespace

BENCHMARK(BM_trier_10)->Apply(minimum);
BENCHMARK(BM_stdsort_10)->Apply(minimum);
BENCHMARK(BM_triRapide_10)->Apply(minimum);

#define OUTILS_LIGNE(nom, fonction, ...) \
  BENCHMARK_CAPTURE(fonction, nom, __VA_ARGS__)->Apply(minimum)->Unit(benchmark::kMillisecond)

OUTILS_LIGNE(aleatoires, BM_triRapide_min, aleatoires, kMillion);
OUTILS_LIGNE(aleatoires, BM_triRapide_max, aleatoires, kMillion);
OUTILS_LIGNE(aleatoires, BM_stdsort, aleatoires, kMillion);
OUTILS_LIGNE(aleatoires, BM_stdsort_max, aleatoires, kMillion);
OUTILS_LIGNE(vingt, BM_triRapide_min, vingt, kMillion);
OUTILS_LIGNE(vingt, BM_stdsort, vingt, kMillion);
OUTILS_LIGNE(vingt, BM_triRapide_utilisateur, vingt, kMillion);
OUTILS_LIGNE(vingt, BM_stdsort_utilisateur, vingt, kMillion);
OUTILS_LIGNE(mille, BM_triRapide_enregistrements, mille, kMillion);
OUTILS_LIGNE(mille, BM_stdsort_enregistrements, mille, kMillion);
OUTILS_LIGNE(aleatoires, BM_triRapide_enregistrements, aleatoires, kMillion);
OUTILS_LIGNE(aleatoires, BM_stdsort_enregistrements, aleatoires, kMillion);
OUTILS_LIGNE(orgue, BM_triRapide_min, orgue, 100000);
OUTILS_LIGNE(orgue, BM_stdsort, orgue, 100000);
OUTILS_LIGNE(en_ordre, BM_triRapide_min, enOrdre, kMillion);
OUTILS_LIGNE(en_ordre, BM_stdsort, enOrdre, kMillion);
OUTILS_LIGNE(en_ordre_inverse, BM_triRapide_min, enOrdreInverse, kMillion);
OUTILS_LIGNE(en_ordre_inverse, BM_stdsort, enOrdreInverse, kMillion);
OUTILS_LIGNE(egales, BM_triRapide_min, egales, kMillion);
OUTILS_LIGNE(egales, BM_stdsort, egales, kMillion);
OUTILS_LIGNE(montant_descendant, BM_triRapide_utilisateur, montantDescendant, kMillion);
OUTILS_LIGNE(montant_descendant, BM_stdsort_utilisateur, montantDescendant, kMillion);
