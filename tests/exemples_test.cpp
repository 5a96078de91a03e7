// The example programs, run as a person would, against the transcripts kept
// beside them; and the README's programs, which must be those examples.
//
// A transcript is the screen as the person sees it, each typed answer in
// {{...}}: it is typed (with Enter) once all the text before it has appeared.
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "programme.h"

namespace {

const std::string exemples = EXEMPLES;  // the examples' folder

std::string lire(const std::string& nom) {
  std::ifstream f(nom, std::ios::binary);
  EXPECT_TRUE(f) << nom;
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Plays a transcript on a pipe: waits for each piece of text, types each
// answer, and checks the whole output at the end. (The examples answered on a
// terminal are checked by repondre, in CTest.)
void jouer(Programme& p, const std::string& transcript, const std::string& nom) {
  std::string ecran;
  std::size_t debut = 0;
  for (auto ouvre = transcript.find("{{"); ouvre != std::string::npos;
       ouvre = transcript.find("{{", debut)) {
    const auto ferme = transcript.find("}}", ouvre);
    ASSERT_NE(ferme, std::string::npos) << nom;
    ASSERT_TRUE(p.attendre(transcript.substr(debut, ouvre - debut))) << nom << ": " << p.sortie();
    const std::string reponse = transcript.substr(ouvre + 2, ferme - ouvre - 2);
    p.taper(reponse + "\n");
    ecran += transcript.substr(debut, ouvre - debut);
    debut = ferme + 2;
  }
  ecran += transcript.substr(debut);
  p.fermerEntree();
  ASSERT_TRUE(p.finir()) << nom << ": " << p.sortie();
  EXPECT_EQ(p.sortie(), ecran) << nom;
  EXPECT_EQ(p.erreurs(), "") << nom;
}

TEST(Exemples, SuiventLeurTranscriptEtFinissentProprementSansEntree) {
  struct Exemple {
    std::string nom;
    bool parTube;  // answered on a pipe here; on a terminal, by repondre
    int statut;
    int statutSansEntree;  // with standard input from /dev/null
  };
  const Exemple cas[] = {
      {"questionnaire", false, 0, 2},
      {"menu", false, 0, 0},
      {"carnet", true, 1, 1},
      {"notes", true, 0, 0},
  };
  for (const auto& c : cas) {
    const std::string programme = std::string(EXEMPLES_CONSTRUITS) + "/" + c.nom;
    if (c.parTube) {
      Programme p({programme}, Entree::tube);
      jouer(p, lire(exemples + "/" + c.nom + ".attendu"), c.nom);
      EXPECT_EQ(p.statut(), c.statut) << c.nom;
    }
    std::ifstream vide(exemples + "/" + c.nom + ".vide.attendu");
    const std::string sansEntree =
        lire(exemples + "/" + c.nom + (vide ? ".vide.attendu" : ".attendu"));
    const auto e = executer({programme}, Entree::vide);
    ASSERT_TRUE(e.termine) << c.nom;
    EXPECT_EQ(e.sortie, sansEntree) << c.nom << " sans entree";
    EXPECT_EQ(e.statut, c.statutSansEntree) << c.nom << " sans entree";
  }
}

TEST(Exemples, UnCtrlDArreteLeQuestionnaire) {
  Programme p({std::string(EXEMPLES_CONSTRUITS) + "/questionnaire"}, Entree::terminal);
  for (const auto& [invite, reponse] : {std::pair{"Votre age [18] : ", "30\n"},
                                        {"Votre note sur 20 : ", "12,5\n"},
                                        {"Votre nom : ", "Ada\n"}}) {
    ASSERT_TRUE(p.attendre(invite));
    p.taper(reponse);
  }
  ASSERT_TRUE(p.attendre("(E/P/D) : "));
  p.taper("\x04");  // at the letter: never the end-of-file byte as a letter
  ASSERT_TRUE(p.finir());
  EXPECT_EQ(p.statut(), 2);
  EXPECT_EQ(p.sortie().substr(p.sortie().rfind("(E/P/D) : ")), "(E/P/D) : \r\nfin de l'entree\r\n");
}

// Each program block of the README follows a line naming its example
// (<!-- exemple: NAME.cpp -->) and is that file, to the byte.
TEST(Readme, ChaqueProgrammeEstUnExemple) {
  std::istringstream readme(lire(README));
  const std::string marque = "<!-- exemple: ";
  int blocs = 0;
  for (std::string ligne; std::getline(readme, ligne);) {
    if (ligne.rfind(marque, 0) != 0) continue;
    const std::string nom = ligne.substr(marque.size(), ligne.find(" -->") - marque.size());
    std::getline(readme, ligne);
    ASSERT_EQ(ligne, "```cpp") << nom;
    std::string bloc;
    while (std::getline(readme, ligne) && ligne != "```") bloc += ligne + "\n";
    EXPECT_EQ(bloc, lire(exemples + "/" + nom)) << "the README's block of " << nom;
    ++blocs;
  }
  EXPECT_GE(blocs, 2);
}

}  // namespace
