#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <outils/tri.h>

#include "gtest/gtest.h"

namespace {

// A key that repeats and a tag that tells equal keys apart.
struct Element {
  int cle;
  int marque;
  bool operator<(const Element& autre) const { return cle < autre.cle; }
  bool operator>(const Element& autre) const { return cle > autre.cle; }
  bool operator==(const Element& autre) const { return cle == autre.cle && marque == autre.marque; }
};

// The quicksort exactly as its steps read: recursion into both parts, swaps
// through an unbounded exchange. Every arrangement must match this one.
template <class T>
void reference(std::vector<T>& v, int debut, int fin, sortCmp<T>& cmp) {
  if (debut >= fin) return;
  const int milieu = debut + (fin - debut) / 2;
  std::swap(v[milieu], v[fin]);
  int place = debut;
  for (int i = debut; i < fin; ++i)
    if (cmp.compare(v[i], v[fin])) std::swap(v[i], v[place++]);
  std::swap(v[place], v[fin]);
  reference(v, debut, place - 1, cmp);
  reference(v, place + 1, fin, cmp);
}

std::vector<int> aleatoires(std::mt19937& gen, int n, int max) {
  std::uniform_int_distribution<int> d(-max, max);
  std::vector<int> v(n);
  for (int& x : v) x = d(gen);
  return v;
}

TEST(Trier, OrdonneLesDixPremiersCommeStdSortDansLesDeuxSens) {
  std::mt19937 gen(42);
  for (int essai = 0; essai < 2000; ++essai) {
    auto v = aleatoires(gen, 16, essai % 2 ? 3 : 1000);  // many duplicates every other time
    const bool inverse = essai % 4 >= 2;
    auto attendu = v;
    if (inverse)
      std::sort(attendu.begin(), attendu.begin() + TAILLE, std::greater<int>());
    else
      std::sort(attendu.begin(), attendu.begin() + TAILLE);
    trier(v.data(), inverse);
    ASSERT_EQ(v, attendu) << "essai " << essai;  // positions 10..15 untouched too
  }
  {  // built-in arrays of TAILLE elements or more, and the pointer overload by name
    int dix[TAILLE] = {5, 3, 9, 1, 7, 0, 8, 2, 6, 4};
    int cent[100];
    for (int i = 0; i < 100; ++i) cent[i] = 100 - i;
    trier(dix, true);
    trier(cent, false);
    EXPECT_EQ(std::vector<int>(dix, dix + TAILLE),
              (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(std::vector<int>(cent, cent + 11),
              (std::vector<int>{91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 90}));
    void (*parPointeur)(int*, bool) = &trier<int>;
    parPointeur(dix, false);
    trier<int>(cent + 1, true);
    EXPECT_EQ(dix[0], 0);
    EXPECT_EQ(cent[1], 100);
  }
  for (const bool inverse : {false, true}) {  // a whole vector, longer than the steps' limit
    auto v = aleatoires(gen, 100000, 1000);
    std::vector<double> reels(v.begin(), v.end());
    auto attendu = v;
    auto reelsAttendus = reels;
    if (inverse) {
      std::sort(attendu.begin(), attendu.end(), std::greater<int>());
      std::sort(reelsAttendus.begin(), reelsAttendus.end(), std::greater<double>());
    } else {
      std::sort(attendu.begin(), attendu.end());
      std::sort(reelsAttendus.begin(), reelsAttendus.end());
    }
    trier(v, inverse);
    trier(reels, inverse);
    EXPECT_EQ(v, attendu);
    EXPECT_EQ(reels, reelsAttendus);
  }
}

TEST(Trier, CasParticuliers) {
  struct Cas {
    std::vector<int> entree, croissant;
  };
  const Cas cas[] = {
      {{5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {{3, -1, 7, -20, 0, 5, -3, 2, 9, -8}, {-20, -8, -3, -1, 0, 2, 3, 5, 7, 9}},
      {{2147483647, -2147483647 - 1, 0, 1, -1, 7, 7, 3, 2, 9},
       {-2147483647 - 1, -1, 0, 1, 2, 3, 7, 7, 9, 2147483647}},
      {{}, {}},
      {{4}, {4}},
      {{3, -1, 2}, {-1, 2, 3}},
      {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1, -2}, {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
  };
  for (const auto& c : cas) {
    const std::vector<int> decroissant(c.croissant.rbegin(), c.croissant.rend());
    auto v = c.entree;  // the whole vector, whatever its size
    trier(v, false);
    EXPECT_EQ(v, c.croissant);
    v = c.entree;
    trier(v, true);
    EXPECT_EQ(v, decroissant);
    if (c.entree.size() != static_cast<std::size_t>(TAILLE)) continue;
    v = c.entree;  // exactly ten elements: no room past the tenth
    trier(v.data(), false);
    EXPECT_EQ(v, c.croissant);
    v = c.entree;
    trier(v.data(), true);
    EXPECT_EQ(v, decroissant);
  }
}

TEST(Trier, DonneLArrangementDeTriRapideSurDesClesRepetees) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> cle(0, 3);
  for (int essai = 0; essai < 500; ++essai) {
    std::vector<Element> v(TAILLE);
    for (int i = 0; i < TAILLE; ++i) v[i] = {cle(gen), i};
    for (bool inverse : {false, true}) {
      auto parTrier = v, parTriRapide = v, attendu = v;
      minCmp<Element> croissant;
      maxCmp<Element> decroissant;
      sortCmp<Element>* cmp = inverse ? static_cast<sortCmp<Element>*>(&decroissant) : &croissant;
      trier(parTrier.data(), inverse);
      triRapide(parTriRapide.data(), 0, TAILLE - 1, cmp);
      reference(attendu, 0, TAILLE - 1, *cmp);
      ASSERT_EQ(parTrier, attendu);
      ASSERT_EQ(parTriRapide, attendu);
    }
  }
}

TEST(TriRapide, SuitLesEtapesSurToutesLesPetitesPlagesDeClesRepetees) {
  // Every arrangement of keys 0..2 on up to seven elements, both directions.
  minCmp<Element> croissant;
  maxCmp<Element> decroissant;
  for (int n = 1; n <= 7; ++n) {
    int combinaisons = 1;
    for (int i = 0; i < n; ++i) combinaisons *= 3;
    for (int code = 0; code < combinaisons; ++code) {
      std::vector<Element> v(n);
      for (int i = 0, c = code; i < n; ++i, c /= 3) v[i] = {c % 3, i};
      for (sortCmp<Element>* cmp : {static_cast<sortCmp<Element>*>(&croissant),
                                    static_cast<sortCmp<Element>*>(&decroissant)}) {
        auto trie = v, attendu = v;
        triRapide(trie.data(), 0, n - 1, cmp);
        reference(attendu, 0, n - 1, *cmp);
        ASSERT_EQ(trie, attendu) << "n " << n << " code " << code;
      }
    }
  }
}

TEST(TriRapide, TrieUnePlageQuiDepasseLaDixiemePosition) {
  std::mt19937 gen(3);
  auto v = aleatoires(gen, 300, 50);
  auto attendu = v;
  std::sort(attendu.begin() + 20, attendu.begin() + 280);
  minCmp<int> croissant;
  triRapide(v.data(), 20, 279, &croissant);
  EXPECT_EQ(v, attendu);
}

TEST(TriRapide, ComparateurDeBaseGardeLArrangementDesEtapes) {
  std::mt19937 gen(5);
  auto v = aleatoires(gen, 40, 9);
  auto attendu = v;
  sortCmp<int> jamais;
  reference(attendu, 0, 39, jamais);
  triRapide(v.data(), 0, 39, &jamais);
  EXPECT_EQ(v, attendu);
}

TEST(TriRapide, TermineSurUnePetitePileAvecDesPartitionsDesequilibrees) {
  struct Travail {
    std::vector<int> v;
    static void* trier(void* p) {
      auto& t = *static_cast<Travail*>(p);
      sortCmp<int> jamais;
      triRapide(t.v.data(), 0, static_cast<int>(t.v.size()) - 1, &jamais);
      minCmp<int> croissant;
      std::vector<int> egaux(t.v.size(), 4);  // every partition lopsided here too
      triRapide(egaux.data(), 0, static_cast<int>(egaux.size()) - 1, &croissant);
      return nullptr;
    }
  } travail{std::vector<int>(5000)};
  for (int i = 0; i < 5000; ++i) travail.v[i] = i % 17;
  const auto avant = travail.v;

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, 64 * 1024), 0);
  pthread_t fil;
  ASSERT_EQ(pthread_create(&fil, &attr, &Travail::trier, &travail), 0);
  pthread_join(fil, nullptr);
  pthread_attr_destroy(&attr);

  auto attendu = avant;
  sortCmp<int> jamais;
  reference(attendu, 0, 4999, jamais);
  EXPECT_EQ(travail.v, attendu);
}

// A user's comparator on the key alone, in either direction, counting its calls.
template <class T>
class parCle : public sortCmp<T> {
 public:
  explicit parCle(bool decroissant = false) : decroissant_(decroissant) {}
  bool compare(const T& a, const T& b) override {
    ++appels;
    return decroissant_ ? b.cle < a.cle : a.cle < b.cle;
  }
  long long appels = 0;

 private:
  bool decroissant_;
};

struct Mot {  // not trivially copyable
  std::string cle;
  int marque;
  bool operator==(const Mot& autre) const { return cle == autre.cle && marque == autre.marque; }
};

template <class T>
struct Toujours : sortCmp<T> {
  bool compare(const T& /*a*/, const T& /*b*/) override { return true; }
};
template <class T>
struct AuPlus : sortCmp<T> {  // <=: not a strict weak order
  bool compare(const T& a, const T& b) override { return a.cle <= b.cle; }
};

template <class T, class Cle>
std::vector<T> enregistrements(std::mt19937& gen, int n, Cle cle) {
  std::vector<T> v;
  for (int i = 0; i < n; ++i) v.push_back({cle(gen, i), i});
  return v;
}

TEST(TriRapide, DonneLArrangementDesEtapesQuelQueSoitLeComparateur) {
  std::mt19937 gen(11);
  for (int essai = 0; essai < 60; ++essai) {
    const int n = 1 + static_cast<int>(gen() % 1500);
    const int cles = 1 + essai % 6;
    auto v =
        enregistrements<Element>(gen, n, [&](std::mt19937& g, int) { return int(g() % cles); });
    auto mots = enregistrements<Mot>(gen, n / 4 + 1, [&](std::mt19937& g, int) {
      return std::string(1 + g() % 2, char('a' + g() % cles));
    });
    parCle<Element> croissant, decroissant(true);
    sortCmp<Element> jamais;
    Toujours<Element> toujours;
    AuPlus<Element> auPlus;
    for (sortCmp<Element>* cmp :
         std::vector<sortCmp<Element>*>{&croissant, &decroissant, &jamais, &toujours, &auPlus}) {
      auto trie = v, attendu = v;
      triRapide(trie.data(), 0, n - 1, cmp);
      reference(attendu, 0, n - 1, *cmp);
      ASSERT_EQ(trie, attendu) << "essai " << essai;
    }
    parCle<Mot> parMot(essai % 2 == 1);
    auto trie = mots, attendu = mots;
    triRapide(trie.data(), 0, static_cast<int>(mots.size()) - 1, &parMot);
    reference(attendu, 0, static_cast<int>(mots.size()) - 1, parMot);
    ASSERT_EQ(trie, attendu) << "essai " << essai;
  }
}

TEST(TriRapide, DonneLArrangementDesEtapesSurDesReelsAvecZerosEtNaN) {
  std::mt19937 gen(13);
  const double valeurs[] = {-0.0, 0.0, std::nan(""), 1.5, -2.0, 0.0, -0.0};
  for (int essai = 0; essai < 200; ++essai) {
    std::vector<double> v(1 + gen() % 200);
    for (double& x : v) x = valeurs[gen() % (essai % 2 ? 7 : 6)];  // every other time, no NaN
    minCmp<double> croissant;
    maxCmp<double> decroissant;
    for (sortCmp<double>* cmp :
         {static_cast<sortCmp<double>*>(&croissant), static_cast<sortCmp<double>*>(&decroissant)}) {
      auto trie = v, attendu = v;
      const int fin = static_cast<int>(v.size()) - 1;
      triRapide(trie.data(), 0, fin, cmp);
      reference(attendu, 0, fin, *cmp);
      ASSERT_EQ(std::memcmp(trie.data(), attendu.data(), v.size() * sizeof(double)), 0)
          << "essai " << essai;
    }
  }
}

// 4 n ceil(log2 n): past it, a heapsort finishes the call.
long long borne(long long n) {
  long long bits = 0;
  while ((1LL << bits) < n) ++bits;
  return 4 * n * bits;
}

TEST(TriRapide, SuitLesEtapesSousLaBorneEtTrieToujoursAuDela) {
  struct Cas {
    const char* nom;
    int n;
    std::function<int(std::mt19937&, int)> cle;
    bool sousLaBorne;   // then the arrangement is the steps'
    long long plafond;  // of the calls, as a multiple of the range's size
  };
  const Cas cas[] = {
      {"aleatoires", 100000, [](std::mt19937& g, int) { return int(g() % 1000000000); }, true, 68},
      {"dix cles", 30000, [](std::mt19937& g, int) { return int(g() % 10); }, true, 60},
      // Recognised in one pass: in order, or reversed in place.
      {"en ordre", 100000, [](std::mt19937&, int i) { return i; }, true, 2},
      {"en ordre inverse", 100000, [](std::mt19937&, int i) { return -i; }, true, 3},
      // Past the bound, a heapsort: about n log2 n more calls.
      {"montant puis descendant", 100000,
       [](std::mt19937&, int i) { return i < 50000 ? i : 100000 - i; }, false, 2 * 68},
      {"cycle de mille", 100000, [](std::mt19937&, int i) { return i % 1000; }, false, 2 * 68},
  };
  std::mt19937 gen(17);
  for (const auto& c : cas) {
    const auto v = enregistrements<Element>(gen, c.n, c.cle);
    auto trie = v;
    parCle<Element> cmp;
    triRapide(trie.data(), 0, c.n - 1, &cmp);
    EXPECT_EQ(cmp.appels < borne(c.n), c.sousLaBorne) << c.nom << ": " << cmp.appels;
    EXPECT_LE(cmp.appels, c.plafond * c.n) << c.nom;
    if (c.sousLaBorne) {
      auto attendu = v;
      reference(attendu, 0, c.n - 1, cmp);
      EXPECT_EQ(trie, attendu) << c.nom;
    }
    std::vector<int> marques;
    for (int i = 0; i < c.n; ++i) {
      if (i > 0) {
        ASSERT_LE(trie[i - 1].cle, trie[i].cle) << c.nom << " en " << i;
      }
      marques.push_back(trie[i].marque);
    }
    std::sort(marques.begin(), marques.end());
    for (int i = 0; i < c.n; ++i) ASSERT_EQ(marques[i], i) << c.nom;
  }
  // Always true, on the largest range that always follows the steps.
  auto v = enregistrements<Element>(gen, 8192, [](std::mt19937& g, int) { return int(g() % 5); });
  auto trie = v, attendu = v;
  Toujours<Element> toujours;
  triRapide(trie.data(), 0, 8191, &toujours);
  reference(attendu, 0, 8191, toujours);
  EXPECT_EQ(trie, attendu);
}

TEST(TriRapide, TrieUnePlageDeDebutNegatif) {
  std::mt19937 gen(19);
  auto v = enregistrements<Element>(gen, 400, [](std::mt19937& g, int) { return int(g() % 7); });
  auto attendu = v;
  parCle<Element> cmp;
  triRapide(v.data() + 200, -150, 149, &cmp);  // positions 50..349 of v
  std::vector<Element> milieu(attendu.begin() + 50, attendu.begin() + 350);
  reference(milieu, 0, 299, cmp);
  std::copy(milieu.begin(), milieu.end(), attendu.begin() + 50);
  EXPECT_EQ(v, attendu);
}

TEST(Echanger, NEchangeQueLesPositionsZeroANeuf) {
  struct Cas {
    int i, j;
    bool echange;
  };
  const Cas cas[] = {{2, 9, true},   {0, 1, true},   {3, 3, false},  {-1, 2, false},
                     {2, -1, false}, {2, 10, false}, {10, 2, false}, {2, 11, false}};
  for (const auto& c : cas) {
    int tab[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    echanger(tab, c.i, c.j);
    int attendu[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    if (c.echange) std::swap(attendu[c.i], attendu[c.j]);
    EXPECT_TRUE(std::equal(tab, tab + 12, attendu)) << c.i << ", " << c.j;
  }
}

}  // namespace
