// The sort's integral paths, behind <outils/tri.h>: integers compared with
// exactly minCmp<T> or maxCmp<T> are sorted by their keys' bytes without
// calling the comparator, and trier() orders ten of them with a sorting
// network. Equal integers are indistinguishable: the result is, byte for
// byte, the steps' (tri_detail.h).
#ifndef OUTILS_TRI_ENTIERS_H
#define OUTILS_TRI_ENTIERS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "tri_detail.h"

namespace outils::detail {

// Integral types whose keys fit the radix sort's 64 bits. Wider ones
// (__int128) go through the steps.
template <class T>
inline constexpr bool kEntierCourt = std::is_integral_v<T> && sizeof(T) <= 8;

// True when `cmp` is exactly a C (not a type derived from it). Without RTTI
// the answer is false and the steps run, which give the same bytes.
template <class C, class Base>
bool estExactement(Base& cmp) {
#if defined(__cpp_rtti) || defined(__GXX_RTTI) || defined(_CPPRTTI)
  return typeid(cmp) == typeid(C);
#else
  static_cast<void>(cmp);
  return false;
#endif
}

template <class T>
struct nonSigne {
  using type = std::make_unsigned_t<T>;
};
template <>
struct nonSigne<bool> {
  using type = unsigned char;
};

// An unsigned key whose ascending order is the wanted order of T.
template <class T, bool decroissant>
struct Cles {
  using Brut = typename nonSigne<T>::type;
  using Cle = std::conditional_t<(sizeof(T) <= 4), std::uint32_t, std::uint64_t>;
  static constexpr int kBits = static_cast<int>(sizeof(T)) * 8;
  static constexpr Cle kMasque = static_cast<Cle>(~Cle{0} >> (sizeof(Cle) * 8 - kBits));
  static constexpr Cle kSigne = std::is_signed_v<T> ? static_cast<Cle>(Cle{1} << (kBits - 1)) : 0;
  static constexpr Cle kRetourne = kSigne ^ (decroissant ? kMasque : Cle{0});

  static Cle cle(T x) { return static_cast<Cle>(static_cast<Brut>(x)) ^ kRetourne; }
  static T valeur(Cle c) { return static_cast<T>(static_cast<Brut>(c ^ kRetourne)); }
  static bool avant(T a, T b) { return decroissant ? b < a : a < b; }
};

// Insertion sort that gives up after `limite` moves; true when it finished.
template <class T, bool decroissant>
bool trierParInsertion(T* t, long long n, long long limite = INT64_MAX) {
  using K = Cles<T, decroissant>;
  for (long long i = 1; i < n; ++i) {
    const T x = t[i];
    long long j = i;
    for (; j > 0 && K::avant(x, t[j - 1]); --j) t[j] = t[j - 1];
    t[j] = x;
    limite -= i - j;
    if (limite < 0) return false;
  }
  return true;
}

// In-place radix sort (American flag sort, McIlroy, Bostic & McIlroy 1993) of t[0..n-1] on the
// key's byte at `decalage` and those below it; every key of the range shares the bits above.
template <class T, bool decroissant>
void trierParChiffres(T* t, long long n, int decalage) {
  using K = Cles<T, decroissant>;
  using Cle = typename K::Cle;
  if (n <= kInsertionSousLaBase) {
    detail::trierParInsertion<T, decroissant>(t, n);
    return;
  }
  long long debuts[257] = {};
  for (long long i = 0; i < n; ++i) ++debuts[((K::cle(t[i]) >> decalage) & 0xFF) + 1];
  for (int c = 0; c < 256; ++c) {
    if (debuts[c + 1] == n) {  // one byte for all: go on with the next
      if (decalage > 0) detail::trierParChiffres<T, decroissant>(t, n, decalage - 8);
      return;
    }
  }
  for (int c = 0; c < 256; ++c) debuts[c + 1] += debuts[c];
  if (decalage == 0) {
    // The last byte: keys, and so values, are equal within each bucket.
    const Cle prefixe = K::cle(t[0]) & ~Cle{0xFF};
    for (int c = 0; c < 256; ++c)
      std::fill(t + debuts[c], t + debuts[c + 1], K::valeur(prefixe | static_cast<Cle>(c)));
    return;
  }
  long long tetes[256];
  std::copy(debuts, debuts + 256, tetes);
  for (int c = 0; c < 256; ++c) {
    while (tetes[c] < debuts[c + 1]) {
      T x = t[tetes[c]];
      for (auto chiffre = static_cast<int>((K::cle(x) >> decalage) & 0xFF); chiffre != c;
           chiffre = static_cast<int>((K::cle(x) >> decalage) & 0xFF))
        std::swap(x, t[tetes[chiffre]++]);
      t[tetes[c]++] = x;
    }
  }
  for (int c = 0; c < 256; ++c) {
    const long long taille = debuts[c + 1] - debuts[c];
    if (taille > 1) detail::trierParChiffres<T, decroissant>(t + debuts[c], taille, decalage - 8);
  }
}

// Equal integers cannot be told apart, so any correct sort gives the bytes
// of the steps. One pass recognises input in order, in reverse order, or in
// order but for a few elements; the rest is sorted by its keys' bytes.
template <class T, bool decroissant>
void trierEntiers(T* t, long long n) {
  using K = Cles<T, decroissant>;
  using Cle = typename K::Cle;
  // Separate loops, each simple enough to be vectorised.
  long long descentes = 0;
  for (long long i = 1; i < n; ++i) descentes += K::avant(t[i], t[i - 1]);
  if (descentes == 0) return;
  long long montees = 0;
  for (long long i = 1; i < n; ++i) montees += K::avant(t[i - 1], t[i]);
  if (montees == 0) return std::reverse(t, t + n);
  if (descentes <= kDescentesPresqueEnOrdre && detail::trierParInsertion<T, decroissant>(t, n, n))
    return;
  Cle plusPetite = K::cle(t[0]);
  Cle plusGrande = plusPetite;
  for (long long i = 1; i < n; ++i) {
    plusPetite = std::min(plusPetite, K::cle(t[i]));
    plusGrande = std::max(plusGrande, K::cle(t[i]));
  }
  int decalage = 0;
  while (decalage + 8 < K::kBits && ((plusPetite ^ plusGrande) >> (decalage + 8)) != 0)
    decalage += 8;
  detail::trierParChiffres<T, decroissant>(t, n, decalage);
}

// trier() on integral elements: Waksman's sorting network for ten inputs, 29
// exchanges without a branch, the same bytes as the steps.
inline constexpr signed char kReseauDix[29][2] = {
    {0, 8}, {1, 9}, {2, 7}, {3, 5}, {4, 6}, {0, 2}, {1, 4}, {5, 8}, {7, 9}, {0, 3},
    {2, 4}, {5, 7}, {6, 9}, {0, 1}, {3, 6}, {8, 9}, {1, 5}, {2, 3}, {4, 8}, {6, 7},
    {1, 2}, {3, 5}, {4, 6}, {7, 8}, {2, 3}, {4, 5}, {6, 7}, {3, 4}, {5, 6}};

// Kept in registers by reseauDix, a select becomes a conditional move; the
// byte masks of echangerSi would be slower here.
template <class T, bool decroissant>
void ordonnerPaire(T* t, int i, int j) {
  const T a = t[i];
  const T b = t[j];
  const bool inverse = decroissant ? a < b : b < a;
  t[i] = inverse ? b : a;
  t[j] = inverse ? a : b;
}

template <class T, bool decroissant, std::size_t... I>
void reseauDix(T* t, std::index_sequence<I...> /*paires*/) {
  (detail::ordonnerPaire<T, decroissant>(t, kReseauDix[I][0], kReseauDix[I][1]), ...);
}

template <class T, bool decroissant>
void reseauDix(T* t) {
  T v[10];  // in registers: each exchange would otherwise wait on the last one's store
  std::copy(t, t + 10, v);
  detail::reseauDix<T, decroissant>(v, std::make_index_sequence<29>());
  std::copy(v, v + 10, t);
}

}  // namespace outils::detail

#endif
