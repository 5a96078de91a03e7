// The example programs, run as a person would: each answer typed once its
// prompt has appeared.
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "programme.h"

namespace {

struct Dialogue {
  std::string nom;
  std::vector<std::string> argv;
  Entree entree;
  std::vector<std::pair<std::string, std::string>> echanges;  // {prompt, answer}
  int statut;
  std::string fin;  // how the output ends
};

TEST(Exemples, FinissentProprementSurChaqueSorteDEntree) {
  const Dialogue dialogues[] = {
      {"questionnaire, /dev/null",
       {QUESTIONNAIRE},
       Entree::vide,
       {},
       2,
       "Votre age : \nfin de l'entree\n"},
      {"questionnaire, Ctrl-D a la lettre",
       {QUESTIONNAIRE},
       Entree::terminal,
       {{"Votre age : ", "30\n"}, {"Votre nom : ", "Ada\n"}, {"(E/P/D) : ", "\x04"}},
       2,
       "(E/P/D) : \r\nfin de l'entree\r\n"},
  };
  for (const auto& d : dialogues) {
    Programme p(d.argv, d.entree);
    if (d.entree != Entree::terminal) p.fermerEntree();
    for (const auto& [invite, reponse] : d.echanges) {
      ASSERT_TRUE(p.attendre(invite)) << d.nom << ": " << p.sortie();
      p.taper(reponse);
    }
    ASSERT_TRUE(p.finir()) << d.nom;
    EXPECT_EQ(p.statut(), d.statut) << d.nom;
    const std::string& s = p.sortie();
    EXPECT_TRUE(s.size() >= d.fin.size() &&
                s.compare(s.size() - d.fin.size(), d.fin.size(), d.fin) == 0)
        << d.nom << ": " << s;
    EXPECT_EQ(s.find('\xff'), std::string::npos) << d.nom;
  }
}

}  // namespace
