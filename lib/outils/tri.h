// Comparators and a quicksort over the first TAILLE elements of an array.
#ifndef OUTILS_TRI_H
#define OUTILS_TRI_H

#include <cstddef>
#include <type_traits>
#include <vector>

#include "tri_entiers.h"

// The number of elements that trier() orders.
inline constexpr int TAILLE = 10;

#if defined(__GNUC__)  // g++ and clang++; MSVC has no such warning at /W4
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // comparators are values, never deleted
#endif

// compare(a, b) is true when a belongs strictly before b. The base is false
// for every pair: nothing goes before a pivot, so each pivot goes to the
// front of its range ({1,2,3,4,5,6} becomes 3 4 1 5 6 2).
//
// A comparator of your own overrides exactly
//   bool compare(const T& a, const T& b) override
// not a const member function, which would override nothing and leave the
// sort with the base.
template <class T>
class sortCmp {
 public:
  virtual bool compare(const T& /*a*/, const T& /*b*/) { return false; }
};

template <class T>
class minCmp : public sortCmp<T> {
 public:
  bool compare(const T& a, const T& b) override { return a < b; }
};

template <class T>
class maxCmp : public sortCmp<T> {
 public:
  bool compare(const T& a, const T& b) override { return a > b; }
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// Exchanges tab[i] and tab[j]; does nothing unless both lie in 0..TAILLE-1
// and differ.
template <class T>
void echanger(T* tab, int i, int j) {
  if (i < 0 || j < 0 || i >= TAILLE || j >= TAILLE || i == j) return;
  T temp = tab[i];
  tab[i] = tab[j];
  tab[j] = temp;
}

// Sorts tab[debut..fin] (inclusive) with cmp, wherever the range lies in the
// caller's array. For a comparator that is a strict weak order ("neither goes
// before the other" is transitive), the result is the arrangement of a
// Lomuto quicksort with the middle element as pivot, comparing each element
// with the pivot, except:
// - on a range of more than 8192 elements, once the steps have made
//   4 n ceil(log2 n) comparisons, what is left is finished by a heapsort;
// - integral elements with exactly minCmp<T> or maxCmp<T> are sorted by
//   another method, which gives the same bytes, and the comparator is not called.
// Any other comparator (a tolerance, a < b - 0.5) gets a permutation of the
// range, never a crash and never quadratic time, in an arrangement of its own.
template <class T>
void triRapide(T* tab, int debut, int fin, sortCmp<T>* cmp);

namespace outils::detail {

// triRapide over t[0..n-1], for any length.
template <class T>
void trierAvec(T* t, long long n, sortCmp<T>* cmp) {
  if (n < 2) return;
  if constexpr (outils::detail::kEntierCourt<T>) {
    if (outils::detail::estExactement<minCmp<T>>(*cmp))
      return outils::detail::trierEntiers<T, false>(t, n);
    if (outils::detail::estExactement<maxCmp<T>>(*cmp))
      return outils::detail::trierEntiers<T, true>(t, n);
  }
  auto avant = [cmp](const T& a, const T& b) { return cmp->compare(a, b); };
  outils::detail::trierParEtapes(t, n, avant);
}

}  // namespace outils::detail

template <class T>
void triRapide(T* tab, int debut, int fin, sortCmp<T>* cmp) {
  if (debut >= fin) return;
  outils::detail::trierAvec(tab + debut, static_cast<long long>(fin) - debut + 1, cmp);
}

// Sorts tab[0..TAILLE-1]: ascending, or descending when `inverse` is true.
template <class T>
void trier(T* tab, bool inverse) {
  if constexpr (outils::detail::kEntierCourt<T>) {
    if (inverse)
      outils::detail::reseauDix<T, true>(tab);
    else
      outils::detail::reseauDix<T, false>(tab);
  } else {
    // The comparators' types are known here, so their calls need no dispatch.
    auto avantDecroissant = [](const T& a, const T& b) {
      return maxCmp<T>{}.maxCmp<T>::compare(a, b);
    };
    auto avantCroissant = [](const T& a, const T& b) {
      return minCmp<T>{}.minCmp<T>::compare(a, b);
    };
    if (inverse)
      outils::detail::trierParEtapes(tab, TAILLE, avantDecroissant);
    else
      outils::detail::trierParEtapes(tab, TAILLE, avantCroissant);
  }
}

// A built-in array shorter than TAILLE does not compile: trier would order
// elements past its end. Sort such an array with triRapide(tab, 0, N - 1, &cmp)
// or a std::vector with the overload below. (An overload for every array
// would make each call ambiguous with the pointer one; this one exists only
// for short arrays, and the compiler shows its line.)
template <class T, std::size_t N, std::enable_if_t<(N < std::size_t{TAILLE}), int> = 0>
void trier(T (&tableauTropCourt)[N], bool) = delete;  // moins de TAILLE (10) elements

// Sorts the whole vector: ascending, or descending when `inverse` is true,
// as triRapide with minCmp<T> or maxCmp<T> would, for any size.
template <class T>
void trier(std::vector<T>& v, bool inverse) {
  static_assert(!std::is_same_v<T, bool>,
                "trier ne range pas un std::vector<bool>, qui ne contient pas de bool : "
                "utilisez un std::vector<char>");
  maxCmp<T> decroissant;
  minCmp<T> croissant;
  sortCmp<T>* cmp = &croissant;
  if (inverse) cmp = &decroissant;
  outils::detail::trierAvec(v.data(), static_cast<long long>(v.size()), cmp);
}

#endif
