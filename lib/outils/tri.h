// Comparators and a quicksort over the first TAILLE elements of an array.
#ifndef OUTILS_TRI_H
#define OUTILS_TRI_H

#include <type_traits>
#include <utility>

// The number of elements that trier() orders.
inline constexpr int TAILLE = 10;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // comparators are values, never deleted

// compare(a, b) is true when a belongs strictly before b. The base orders
// nothing: it is false for every pair.
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

#pragma GCC diagnostic pop

// Exchanges tab[i] and tab[j]; does nothing unless both lie in 0..TAILLE-1
// and differ.
template <class T>
void echanger(T* tab, int i, int j) {
  if (i < 0 || j < 0 || i >= TAILLE || j >= TAILLE || i == j) return;
  T temp = tab[i];
  tab[i] = tab[j];
  tab[j] = temp;
}

namespace outils::detail {

// One Lomuto pass over tab[debut..fin] with the middle element as pivot:
// the pivot moves to tab[fin], every element that goes before it is
// exchanged into `place`, then the pivot goes to `place`, which is returned.
template <class T, class Avant>
int partitionner(T* tab, int debut, int fin, Avant& avant) {
  using std::swap;
  swap(tab[debut + (fin - debut) / 2], tab[fin]);
  int place = debut;
  for (int i = debut; i < fin; ++i) {
    if (avant(tab[i], tab[fin])) {
      // A value exchanged with itself is unchanged; other types may not allow it.
      if (std::is_trivially_copyable_v<T> || i != place) swap(tab[i], tab[place]);
      ++place;
    }
  }
  if (place != fin) swap(tab[place], tab[fin]);
  return place;
}

// What the steps above leave in a range of two elements a, b: the pivot is
// a, so the result is b, a when b goes before a, else a, b.
template <class T, class Avant>
void trierDeux(T* t, Avant& avant) {
  if constexpr (std::is_trivially_copyable_v<T>) {
    // Plain values: two conditional moves instead of an unpredictable branch.
    const T a = t[0];
    const T b = t[1];
    const bool inverse = avant(b, a);
    t[0] = inverse ? b : a;
    t[1] = inverse ? a : b;
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

// A range of at most three elements, done without a partition pass.
template <class T, class Avant>
void trierPetite(T* tab, int debut, int fin, Avant& avant) {
  if (fin - debut == 1) detail::trierDeux(tab + debut, avant);
  if (fin - debut == 2) detail::trierTrois(tab + debut, avant);
}

// Quicksort of tab[debut..fin] by the steps above; `avant(a, b)` is the
// ordering. The parts of a partition are disjoint, so the order in which they
// are sorted does not change the result: recursing into the smaller part and
// looping on the larger keeps the depth within log2 of the range's size,
// whatever the comparator does.
template <class T, class Avant>
void trierPlage(T* tab, int debut, int fin, Avant& avant) {
  while (fin - debut > 2) {
    const int place = detail::partitionner(tab, debut, fin, avant);
    if (place - debut < fin - place) {
      detail::trierPlage(tab, debut, place - 1, avant);
      debut = place + 1;
    } else {
      detail::trierPlage(tab, place + 1, fin, avant);
      fin = place - 1;
    }
  }
  detail::trierPetite(tab, debut, fin, avant);
}

}  // namespace outils::detail

// Sorts tab[debut..fin] (inclusive) with cmp, called by virtual dispatch.
// The whole range is sorted, wherever it lies in the caller's array.
template <class T>
void triRapide(T* tab, int debut, int fin, sortCmp<T>* cmp) {
  auto avant = [cmp](const T& a, const T& b) { return cmp->compare(a, b); };
  outils::detail::trierPlage(tab, debut, fin, avant);
}

// Sorts tab[0..TAILLE-1]: ascending, or descending when `inverse` is true.
template <class T>
void trier(T* tab, bool inverse) {
  maxCmp<T> decroissant;
  minCmp<T> croissant;
  // The comparators' types are known here, so their calls need no dispatch.
  auto avantDecroissant = [&](const T& a, const T& b) {
    return decroissant.maxCmp<T>::compare(a, b);
  };
  auto avantCroissant = [&](const T& a, const T& b) { return croissant.minCmp<T>::compare(a, b); };
  if (inverse)
    outils::detail::trierPlage(tab, 0, TAILLE - 1, avantDecroissant);
  else
    outils::detail::trierPlage(tab, 0, TAILLE - 1, avantCroissant);
}

#endif
