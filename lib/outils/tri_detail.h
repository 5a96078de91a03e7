// The sort's machinery, behind triRapide() and trier() of <outils/tri.h>: the
// steps, for any element and comparator. The integral paths are in
// tri_entiers.h.
//
// Which path serves which call:
//   trier(T*), integral T            the 29-comparator network       tri_entiers.h
//   triRapide, trier(std::vector),   trierEntiers: one-pass checks,   tri_entiers.h
//     integral T of 64 bits at most,   insertion, American flag sort
//     exactly minCmp<T> or maxCmp<T>
//   everything else                  trierParEtapes, the steps        here
//     a range of 2 or 3              trierDeux, trierTrois
//     a pivot equal to an earlier    the shortcut in trierPlage
//     more than kToujoursParEtapes   one pass for strict order; past the budget,
//                                    a bottom-up heapsort finishes the range
//
// Why the fast paths are safe: for a comparator that is a strict weak order,
// every path leaves the bytes the steps (a Lomuto quicksort, the middle
// element as pivot) would leave. The block comparisons and the shortcut make
// the steps' own exchanges, in fewer comparisons; integers compared with
// exactly minCmp or maxCmp are indistinguishable when equal, so any correct
// sort of them gives those bytes. Past the budget (on more than
// kToujoursParEtapes elements), the heapsort's arrangement of equal elements
// is its own. A comparator that is not a strict weak order gets a permutation,
// never a crash and never quadratic time.
//
// The methods, by their usual names:
//   Lomuto partition           Bentley, Programming Pearls (1986), col. 11
//   block comparisons          Edelkamp & Weiss, BlockQuicksort (2016)
//   the equal-pivot shortcut   Peters, pattern-defeating quicksort (2021)
//   budget, then heapsort      Musser, introsort (1997)
//   bottom-up heapsort         Wegener (1993)
//   American flag sort         McIlroy, Bostic & McIlroy (1993)
//   10 inputs, 29 comparators  Waksman (1969); Knuth, TAOCP vol. 3, 5.3.4
#ifndef OUTILS_TRI_DETAIL_H
#define OUTILS_TRI_DETAIL_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace outils::detail {

// ---- Thresholds, each named once ----

// Ranges up to this size always follow the steps to their end (no budget,
// no one-pass checks): their worst case, about n^2/2 = 3.4e7 comparisons,
// is tens of milliseconds.
inline constexpr long long kToujoursParEtapes = 8192;

// Past kToujoursParEtapes, the steps may make kFacteurBudget n ceil(log2 n)
// comparisons before a heapsort takes over: random input, with or without
// repeated keys, uses a third of it or less (measured on 10^6 elements).
inline constexpr long long kFacteurBudget = 4;

// Elements of at most this many bytes (two 64-bit words) are exchanged by
// byte masks rather than by a branch the comparisons would mispredict.
inline constexpr std::size_t kOctetsSansBranche = 16;

// Comparisons made ahead of their exchanges, per block: the flags fit in two
// cache lines (BlockQuicksort uses the same size).
inline constexpr long long kBloc = 128;

// Below this size a radix pass's 256 counters cost more than an insertion
// sort of the range.
inline constexpr long long kInsertionSousLaBase = 48;

// Integers with at most this many descents are tried first by an insertion
// sort limited to n moves: input in order but for a few elements.
inline constexpr long long kDescentesPresqueEnOrdre = 8;

// ---- The steps: Lomuto, the middle element as pivot ----

// Elements small enough to be moved by copies chosen by index, not by branch.
template <class T>
inline constexpr bool kSansBranche = std::is_trivially_copyable_v<T> &&
                                     sizeof(T) <= kOctetsSansBranche;

// Exchanges a and b when `oui`, by arithmetic on their bytes rather than by
// a branch, which the comparisons of a sort would mispredict half the time.
template <class T>
void echangerSi(T& a, T& b, bool oui) {
  using Mot = std::conditional_t<
      sizeof(T) % 8 == 0, std::uint64_t,
      std::conditional_t<sizeof(T) % 4 == 0, std::uint32_t,
                         std::conditional_t<sizeof(T) % 2 == 0, std::uint16_t, std::uint8_t>>>;
  constexpr std::size_t kMots = sizeof(T) / sizeof(Mot);
  Mot x[kMots];
  Mot y[kMots];
  std::memcpy(x, &a, sizeof(T));
  std::memcpy(y, &b, sizeof(T));
  const Mot masque = static_cast<Mot>(Mot{0} - static_cast<Mot>(oui));
  for (std::size_t i = 0; i < kMots; ++i) {
    const Mot difference = static_cast<Mot>((x[i] ^ y[i]) & masque);
    x[i] = static_cast<Mot>(x[i] ^ difference);
    y[i] = static_cast<Mot>(y[i] ^ difference);
  }
  std::memcpy(&a, x, sizeof(T));
  std::memcpy(&b, y, sizeof(T));
}

// One pass over t[0..n-1] (n >= 2): the middle element goes to the end as
// pivot, each element that goes before it is exchanged into `place`, then
// the pivot goes to `place`, which is returned.
// An element is compared before any exchange reaches its position, so the
// comparisons of a block are made first, in order, and its exchanges after:
// the calls do not wait on one another.
template <class T, class Avant>
long long partitionner(T* t, long long n, Avant& avant) {
  using std::swap;
  const long long fin = n - 1;
  swap(t[fin / 2], t[fin]);
  long long place = 0;
  bool devant[kBloc];
  for (long long debut = 0; debut < fin; debut += kBloc) {
    const long long taille = std::min(kBloc, fin - debut);
    T* bloc = t + debut;
    long long devantTous = 0;
    for (long long k = 0; k < taille; ++k) devantTous += devant[k] = avant(bloc[k], t[fin]);
    if (place == debut && devantTous == taille) {  // each would be exchanged with itself
      place += taille;
      continue;
    }
    for (long long k = 0; k < taille; ++k) {
      if constexpr (kSansBranche<T>) {
        detail::echangerSi(bloc[k], t[place], devant[k]);
        place += devant[k];
      } else if (devant[k]) {
        if (debut + k != place) swap(bloc[k], t[place]);
        ++place;
      }
    }
  }
  if (place != fin) swap(t[place], t[fin]);
  return place;
}

// What the steps leave in a range of two elements a, b: the pivot is a, so
// the result is b, a when b goes before a, else a, b.
template <class T, class Avant>
void trierDeux(T* t, Avant& avant) {
  if constexpr (kSansBranche<T>) {
    detail::echangerSi(t[0], t[1], avant(t[1], t[0]));
  } else {
    using std::swap;
    if (avant(t[1], t[0])) swap(t[0], t[1]);
  }
}

// What the steps leave in a range of three elements a, b, c (pivot b), with
// the same comparisons in the same order.
template <class T, class Avant>
void trierTrois(T* t, Avant& avant) {
  using std::swap;
  const bool aDevant = avant(t[0], t[1]);
  const bool cDevant = avant(t[2], t[1]);
  if (aDevant && cDevant) {  // a, c, b, then a and c in order
    swap(t[1], t[2]);
    detail::trierDeux(t, avant);
  } else if (cDevant) {  // c, b, a
    swap(t[0], t[2]);
  } else if (!aDevant) {  // b, c, a, then c and a in order
    swap(t[0], t[1]);
    swap(t[1], t[2]);
    detail::trierDeux(t + 1, avant);
  }
}

// In-place heapsort of t[0..n-1], bottom-up (about n log2 n comparisons): no
// recursion, and every access stays in the range whatever the comparator
// answers.
template <class T, class Avant>
void tamiser(T* t, long long n, long long i, Avant& avant) {
  using std::swap;
  // Down to a leaf along the larger children, then back up to where t[i] belongs.
  long long feuille = i;
  while (2 * feuille + 2 < n)
    feuille = avant(t[2 * feuille + 1], t[2 * feuille + 2]) ? 2 * feuille + 2 : 2 * feuille + 1;
  if (2 * feuille + 1 < n) feuille = 2 * feuille + 1;
  while (feuille > i && avant(t[feuille], t[i])) feuille = (feuille - 1) / 2;
  T x = std::move(t[i]);
  for (long long j = feuille; j > i; j = (j - 1) / 2) swap(x, t[j]);
  t[i] = std::move(x);
}

template <class T, class Avant>
void trierEnTas(T* t, long long n, Avant& avant) {
  using std::swap;
  for (long long i = n / 2; i-- > 0;) detail::tamiser(t, n, i, avant);
  for (long long fin = n - 1; fin > 0; --fin) {
    swap(t[0], t[fin]);
    detail::tamiser(t, fin, 0, avant);
  }
}

// What one call of the steps has spent, and may spend, in comparisons.
struct Depense {
  long long faites = 0;
  long long budget;
  bool raccourci;  // the bound of earlier pivots may be used
};

// The steps over t[0..n-1]. `borne`, when not null, is an earlier pivot that
// no element of the range goes before. A pivot that does not go after it
// (for a strict weak order: one equal to it) has nothing going before it
// either, so that pass is known without comparing: the pivot moves to the
// end, then to the front, and the range loses its first element.
// Recursing into the smaller part and looping on the larger keeps the depth
// within log2 n; the parts are disjoint, so the order they are sorted in
// does not change the result.
template <class T, class Avant>
void trierPlage(T* t, long long n, const T* borne, Depense& depense, Avant& avant) {
  using std::swap;
  while (n > 3) {
    if (depense.faites > depense.budget) return detail::trierEnTas(t, n, avant);
    const long long fin = n - 1;
    if (borne != nullptr && depense.raccourci) {
      ++depense.faites;
      if (!avant(*borne, t[fin / 2])) {
        swap(t[fin / 2], t[fin]);
        swap(t[0], t[fin]);
        ++t;
        --n;
        continue;
      }
    }
    depense.faites += fin;
    const long long place = detail::partitionner(t, n, avant);
    if (place < fin - place) {
      detail::trierPlage(t, place, borne, depense, avant);
      borne = t + place;
      t += place + 1;
      n = fin - place;
    } else {
      detail::trierPlage(t + place + 1, fin - place, t + place, depense, avant);
      n = place;
    }
  }
  if (n == 2) detail::trierDeux(t, avant);
  if (n == 3) detail::trierTrois(t, avant);
}

// True when every element goes strictly before the next, and the next not
// before it; with `inverse`, strictly after it.
template <bool inverse, class T, class Avant>
bool enOrdreStrict(const T* t, long long n, Avant& avant) {
  for (long long i = 0; i + 1 < n; ++i) {
    const T& premier = inverse ? t[i + 1] : t[i];
    const T& second = inverse ? t[i] : t[i + 1];
    if (!avant(premier, second) || avant(second, premier)) return false;
  }
  return true;
}

inline long long plafondLog2(long long n) {
  long long bits = 0;
  while ((1LL << bits) < n) ++bits;
  return bits;
}

// The steps over t[0..n-1], never quadratic: on more than kToujoursParEtapes
// elements, input in strict order (or strict reverse order) is recognised in
// one pass, and past a budget of comparisons a heapsort finishes the rest.
template <class T, class Avant>
void trierParEtapes(T* t, long long n, Avant& avant) {
  Depense depense{0, INT64_MAX, true};
  if constexpr (std::is_floating_point_v<T>) {
    // x < NaN is false for every x: a NaN pivot would pass for a bound.
    depense.raccourci = std::none_of(t, t + n, [](const T& x) { return std::isnan(x); });
  }
  if (n > kToujoursParEtapes) {
    if (detail::enOrdreStrict<false>(t, n, avant)) return;
    if (detail::enOrdreStrict<true>(t, n, avant)) return std::reverse(t, t + n);
    depense.budget = kFacteurBudget * n * detail::plafondLog2(n);
  }
  detail::trierPlage(t, n, static_cast<const T*>(nullptr), depense, avant);
}

}  // namespace outils::detail

#endif
