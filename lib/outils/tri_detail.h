// The sort's machinery, behind triRapide() and trier() of <outils/tri.h>.
#ifndef OUTILS_TRI_DETAIL_H
#define OUTILS_TRI_DETAIL_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace outils::detail {

// ---- The steps: Lomuto, the middle element as pivot ----

// Ranges up to this size always follow the steps to their end.
inline constexpr long long kToujoursParEtapes = 8192;

// Elements small enough to be moved by copies chosen by index, not by branch.
template <class T>
inline constexpr bool kSansBranche = std::is_trivially_copyable_v<T> && sizeof(T) <= 16;

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
  constexpr long long kBloc = 128;
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
// before it.
template <class T, class Avant>
bool enOrdreStrict(const T* t, long long n, Avant& avant) {
  for (long long i = 0; i + 1 < n; ++i)
    if (!avant(t[i], t[i + 1]) || avant(t[i + 1], t[i])) return false;
  return true;
}

template <class T, class Avant>
bool enOrdreInverseStrict(const T* t, long long n, Avant& avant) {
  for (long long i = 0; i + 1 < n; ++i)
    if (!avant(t[i + 1], t[i]) || avant(t[i], t[i + 1])) return false;
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
    if (detail::enOrdreStrict(t, n, avant)) return;
    if (detail::enOrdreInverseStrict(t, n, avant)) return std::reverse(t, t + n);
    depense.budget = 4 * n * detail::plafondLog2(n);
  }
  detail::trierPlage(t, n, static_cast<const T*>(nullptr), depense, avant);
}

// ---- Integral elements with the library's own comparators ----

// Integral types whose keys fit the radix sort's 64 bits. Wider ones
// (__int128) go through the steps.
template <class T>
inline constexpr bool kEntierCourt = std::is_integral_v<T> && sizeof(T) <= 8;

// True when `cmp` is exactly a C (not a type derived from it). Without RTTI,
// or when the names differ across shared libraries, the answer is false and
// the steps run, which give the same bytes.
template <class C, class Base>
bool estExactement(Base& cmp) {
#if defined(__cpp_rtti) || defined(__GXX_RTTI) || defined(_CPPRTTI)
  return typeid(cmp).name() == typeid(C).name();
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

// In-place radix sort (American flag sort) of t[0..n-1] on the key's byte at
// `decalage` and those below it; every key of the range shares the bits above.
template <class T, bool decroissant>
void trierParChiffres(T* t, long long n, int decalage) {
  using K = Cles<T, decroissant>;
  using Cle = typename K::Cle;
  if (n <= 48) {
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
  if (descentes <= 8 && detail::trierParInsertion<T, decroissant>(t, n, n)) return;
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

// trier() on integral elements: a sorting network of 29 exchanges without a
// branch, the same bytes as the steps.
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
