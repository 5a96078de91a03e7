// Long runs, outside the default test run (label "stress").
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <outils/fichier.h>

#include "aides.h"
#include "gtest/gtest.h"
#include "programme.h"

namespace {

using namespace std::chrono_literals;

TEST(Stress, DixMilleReponsesSurUnTerminalSansPerteNiErreur) {
  const char* refusees[] = {"0", "-1", "abc", "12345678901", "x 5"};
  Programme p({ESSAI_INVITES, "entiers:7500"}, Entree::terminal);
  int acceptees = 0;
  for (int reponse = 0; reponse < 10000; ++reponse) {
    ASSERT_TRUE(p.attendre("entier? ")) << "reponse " << reponse;
    if (reponse % 4 == 0) {
      p.taper(std::string(refusees[reponse % 5]) + "\n");
    } else {
      ++acceptees;
      p.taper(std::to_string(acceptees) + "\n");
      ASSERT_TRUE(p.attendre("entier=" + std::to_string(acceptees) + "\r\n"))
          << "reponse " << reponse;
    }
  }
  ASSERT_EQ(acceptees, 7500);
  ASSERT_TRUE(p.finir(30s));
  EXPECT_EQ(p.statut(), 0);
  EXPECT_EQ(p.compter("entier="), 7500);
  EXPECT_EQ(p.compter("entier? "), 10000);
}

long rssMaxKo() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(Stress, CentMegaOctetsLusSansQueLaMemoireGrandisse) {
  const aides::FichierTemporaire donnees;
  const std::string& nom = donnees.nom();
  constexpr long kValeurs = 12500000;  // 8 bytes each: 100 MB
  {
    std::ofstream sortie(nom);
    for (long i = 0; i < kValeurs; ++i)
      sortie << 1000000 + i % 8999999 << (i % 10 == 9 ? '\n' : ' ');
  }
  const long avant = rssMaxKo();
  aides::SortieCapturee messages;
  long lues = 0;
  long long somme = 0;
  {
    fichier f(nom);
    int n = 0;
    while (f.sauterBlancs() && f.lire(n)) {
      ++lues;
      somme += n;
    }
  }
  EXPECT_EQ(lues, kValeurs);
  EXPECT_EQ(messages.lus(), "");
  long long attendue = 0;
  for (long i = 0; i < kValeurs; ++i) attendue += 1000000 + i % 8999999;
  EXPECT_EQ(somme, attendue);
  EXPECT_LT(rssMaxKo() - avant, 4 * 1024) << "the reader must not hold the file in memory";
}

}  // namespace
