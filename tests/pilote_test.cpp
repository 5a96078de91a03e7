#include <algorithm>
#include <regex>
#include <sstream>
#include <thread>

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
  const auto e = executer({PILOTE}, Entree::vide);
  ASSERT_TRUE(e.termine);
  EXPECT_EQ(e.statut, 0);
  EXPECT_EQ(e.erreurs, "");

  std::istringstream sortie(e.sortie);
  std::string premiere, seconde, reste;
  std::getline(sortie, premiere);
  std::getline(sortie, seconde);
  std::getline(sortie, reste, '\0');
  const auto tires = nombres(premiere);
  auto tries = tires;
  std::sort(tries.begin(), tries.end());
  EXPECT_EQ(nombres(seconde), tries);
  EXPECT_EQ(reste,
            "premier repere\ndeuxieme repere\ntroisieme repere\nquatrieme repere\n"
            "appuyer sur une touche pour continuer\n");

  EXPECT_EQ(executer({PILOTE}, Entree::vide).sortie, e.sortie);  // same run after run
}

TEST(Pilote, AttendLaFinDUneLigneSurUnTerminal) {
  Programme p({PILOTE}, Entree::terminal);
  ASSERT_TRUE(p.attendre("appuyer sur une touche pour continuer"));
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(p.attendToujours());
  p.taper("\n");
  ASSERT_TRUE(p.finir());
  EXPECT_EQ(p.statut(), 0);
}

}  // namespace
