// Integral elements with the library's own comparators, for every integral
// type. Compiled with the strict warnings of a consumer's build, since these
// instantiations land in users' code.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include <outils/tri.h>

#include "gtest/gtest.h"

namespace {

// std::vector<bool> holds no bools: a plain array of T, with its size.
template <class T>
class Tableau {
 public:
  explicit Tableau(std::size_t taille) : n_(taille), v_(new T[taille]()) {}
  Tableau(const Tableau& autre) : Tableau(autre.n_) { *this = autre; }
  Tableau& operator=(const Tableau& autre) {
    std::copy(autre.begin(), autre.end(), begin());
    return *this;
  }
  ~Tableau() = default;
  T* begin() const { return v_.get(); }
  T* end() const { return v_.get() + n_; }
  T* data() const { return v_.get(); }
  std::size_t size() const { return n_; }
  T& operator[](std::size_t i) const { return v_[i]; }
  bool operator==(const Tableau& autre) const {
    return std::equal(begin(), end(), autre.begin(), autre.end());
  }

 private:
  std::size_t n_;
  std::unique_ptr<T[]> v_;
};

// Every kind of input that the one-pass checks and the radix sort tell apart.
template <class T>
std::vector<Tableau<T>> jeux(std::mt19937_64& gen) {
  using limites = std::numeric_limits<T>;
  const T extremes[] = {limites::min(),
                        limites::max(),
                        T(0),
                        T(1),
                        static_cast<T>(limites::max() / 2),
                        static_cast<T>(limites::min() + 1)};
  std::vector<Tableau<T>> resultat;
  for (std::size_t n : {std::size_t{2}, std::size_t{10}, std::size_t{47}, std::size_t{300},
                        std::size_t{5000}, std::size_t{70000}}) {
    for (int sorte = 0; sorte < 6; ++sorte) {
      Tableau<T> v(n);
      for (std::size_t i = 0; i < n; ++i) {
        const auto brut = gen();
        switch (sorte) {
          case 0:  // the whole range
            v[i] = static_cast<T>(brut);
            break;
          case 1:  // a few values, extremes among them
            v[i] = extremes[brut % 6];
            break;
          case 2:  // small values
            v[i] = static_cast<T>(brut % 21);
            break;
          default:
            v[i] = static_cast<T>(brut);
            break;
        }
      }
      if (sorte == 3) std::sort(v.begin(), v.end());
      if (sorte == 4) std::sort(v.begin(), v.end(), std::greater<T>());
      if (sorte == 5) {  // in order but for a few elements
        std::sort(v.begin(), v.end());
        for (int k = 0; k < 3; ++k) std::swap(v[gen() % n], v[gen() % n]);
      }
      resultat.push_back(v);
    }
  }
  return resultat;
}

// The element type in a failure message, without RTTI.
template <class T>
std::string nomDe() {
  return (std::is_signed_v<T> ? "signe " : "non signe ") + std::to_string(sizeof(T) * 8) + " bits";
}

template <class T>
void verifier(std::mt19937_64& gen) {
  minCmp<T> croissant;
  maxCmp<T> decroissant;
  for (const auto& v : jeux<T>(gen)) {
    const int fin = static_cast<int>(v.size()) - 1;
    auto parTri = v;
    auto attendu = v;
    triRapide(parTri.data(), 0, fin, &croissant);
    std::sort(attendu.begin(), attendu.end());
    ASSERT_EQ(parTri, attendu) << nomDe<T>() << ", " << v.size() << " croissant";
    parTri = v;
    triRapide(parTri.data(), 0, fin, &decroissant);
    std::sort(attendu.begin(), attendu.end(), std::greater<T>());
    ASSERT_EQ(parTri, attendu) << nomDe<T>() << ", " << v.size() << " decroissant";
    if (v.size() != static_cast<std::size_t>(TAILLE)) continue;
    for (bool inverse : {false, true}) {
      parTri = v;
      trier(parTri.data(), inverse);
      attendu = v;
      if (inverse)
        std::sort(attendu.begin(), attendu.end(), std::greater<T>());
      else
        std::sort(attendu.begin(), attendu.end());
      ASSERT_EQ(parTri, attendu) << nomDe<T>() << " trier " << inverse;
    }
  }
}

template <class... T>
void verifierTous() {
  std::mt19937_64 gen(23);
  (verifier<T>(gen), ...);
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 entier128;  // wider than the radix sort's keys: the steps
__extension__ typedef unsigned __int128 naturel128;
#else
using entier128 = long long;
using naturel128 = unsigned long long;
#endif

TEST(TriEntiers, ChaqueTypeEntierDansLesDeuxSensCommeStdSort) {
  verifierTous<bool, char, signed char, unsigned char, short, int, unsigned, long long,
               unsigned long long, entier128, naturel128>();
}

// Derived from minCmp: not the library's own, so it is called, and the steps run.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // a value, as the library's comparators
class compteur : public minCmp<int> {
 public:
  bool compare(const int& a, const int& b) override {
    ++appels;
    return minCmp<int>::compare(a, b);
  }
  long long appels = 0;
};

TEST(TriEntiers, UnComparateurDeriveEstAppele) {
  std::mt19937_64 gen(29);
  std::vector<int> v(1000);
  for (int& x : v) x = static_cast<int>(gen() % 100);
  auto attendu = v;
  std::sort(attendu.begin(), attendu.end());
  compteur cmp;
  triRapide(v.data(), 0, static_cast<int>(v.size()) - 1, &cmp);
  EXPECT_EQ(v, attendu);
  EXPECT_GT(cmp.appels, 1000);
}

}  // namespace
