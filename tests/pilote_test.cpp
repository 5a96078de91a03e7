#include <algorithm>
#include <regex>
#include <sstream>

#include "gtest/gtest.h"
#include "programme.h"

namespace {

std::vector<int> nombres(const std::string& ligne) {
  static const std::regex format("(?:([0-9]{1,2}), ){10}");
  EXPECT_TRUE(std::regex_match(ligne, format)) << ligne;
  std::vector<int> v;
  std::istringstream flux(ligne);
  for (int n; flux >> n; flux.ignore(1)) v.push_back(n);
  return v;
}

TEST(Pilote, TrieDixNombresPuisAttendSurLaPause) {
  const auto premiere = executer({PILOTE}, Entree::vide);
  for (Entree entree : {Entree::vide, Entree::fichier}) {  // /dev/null, then an empty file
    const auto e = executer({PILOTE}, entree);
    ASSERT_TRUE(e.termine);
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.erreurs, "");

    std::istringstream sortie(e.sortie);
    std::string tires, tries, reste;
    std::getline(sortie, tires);
    std::getline(sortie, tries);
    std::getline(sortie, reste, '\0');
    auto attendus = nombres(tires);
    std::sort(attendus.begin(), attendus.end());
    EXPECT_EQ(nombres(tries), attendus);
    EXPECT_EQ(reste,
              "premier repere\ndeuxieme repere\ntroisieme repere\nquatrieme repere\n"
              "appuyer sur une touche pour continuer\n");
    EXPECT_EQ(e.sortie, premiere.sortie);  // the same numbers run after run
  }
}

TEST(Pilote, AttendLaFinDUneLigneSurUnTerminal) {
  Programme p({PILOTE}, Entree::terminal);
  ASSERT_TRUE(p.attendre("appuyer sur une touche pour continuer"));
  ASSERT_TRUE(p.attendLecture());
  EXPECT_TRUE(p.attendToujours());
  p.taper("\n");
  ASSERT_TRUE(p.finir());
  EXPECT_EQ(p.statut(), 0);
}

}  // namespace
