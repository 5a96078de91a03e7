// The example programs, run as a person would, against the transcripts kept
// beside them; and the guide (README.md and docs/): its programs must be those
// examples, and its links must lead to pages and titles that exist.
//
// A transcript is the screen as the person sees it, each typed answer in
// {{...}}: it is typed (with Enter) once all the text before it has appeared.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "programme.h"
#include "transcript.h"

namespace {

const std::string exemples = EXEMPLES;  // the examples' folder

std::string lire(const std::string& nom) {
  std::ifstream f(nom, std::ios::binary);
  EXPECT_TRUE(f) << nom;
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Plays a transcript (read as repondre reads it) on a pipe: waits for each
// piece of text, types each answer, and checks the whole output at the end.
// (The examples answered on a terminal are checked by repondre, in CTest.)
void jouer(Programme& p, const std::string& source, const std::string& nom) {
  Transcript transcript;
  std::string erreur;
  ASSERT_TRUE(lireTranscript(source, transcript, erreur)) << nom << ": " << erreur;
  std::string ecran;
  for (const Morceau& morceau : transcript) {
    if (morceau.sorte == Morceau::texte) {
      ASSERT_TRUE(p.attendre(morceau.contenu)) << nom << ": " << p.sortie();
      ecran += morceau.contenu;
    } else {
      p.taper(morceau.sorte == Morceau::reponse ? morceau.contenu + "\n" : "");
    }
  }
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

// ---- The guide ----

namespace fs = std::filesystem;

// README.md, CONTRIBUTING.md, then every page of docs/ in name order.
std::vector<fs::path> pagesDuGuide() {
  std::vector<fs::path> pages{fs::path(GUIDE) / "README.md", fs::path(GUIDE) / "CONTRIBUTING.md"};
  for (const auto& entree : fs::directory_iterator(fs::path(GUIDE) / "docs"))
    if (entree.path().extension() == ".md") pages.push_back(entree.path());
  std::sort(pages.begin() + 2, pages.end());
  return pages;
}

// The lines of a page outside its code blocks.
std::vector<std::string> lignesDeTexte(const fs::path& page) {
  std::istringstream texte(lire(page.string()));
  std::vector<std::string> lignes;
  bool code = false;
  for (std::string ligne; std::getline(texte, ligne);) {
    if (ligne.rfind("```", 0) == 0) code = !code;
    if (!code) lignes.push_back(ligne);
  }
  return lignes;
}

// The anchor the usual Markdown hosts make of a title: lower case, blanks to
// hyphens, punctuation dropped, letters with accents kept (Latin ones, in
// UTF-8); a repeated one gets -1, -2...
std::string ancre(const std::string& titre) {
  std::string a;
  for (std::size_t i = 0; i < titre.size(); ++i) {
    const auto c = static_cast<unsigned char>(titre[i]);
    if (c == 0xC3 && i + 1 < titre.size()) {  // U+00C0-U+00FF
      const auto suite = static_cast<unsigned char>(titre[++i]);
      if (suite == 0x97 || suite == 0xB7) continue;  // the multiplication and division signs
      a += static_cast<char>(c);
      a += static_cast<char>(suite < 0xA0 ? suite + 0x20 : suite);
    } else if (c >= 0x80) {
      for (; i + 1 < titre.size() && (static_cast<unsigned char>(titre[i + 1]) & 0xC0) == 0x80;)
        ++i;  // other punctuation (guillemets, dashes): dropped
    } else if (std::isalnum(c) || c == '-' || c == '_') {
      a += static_cast<char>(std::tolower(c));
    } else if (c == ' ') {
      a += '-';
    }
  }
  return a;
}

std::set<std::string> ancresDe(const fs::path& page) {
  std::set<std::string> ancres;
  for (const auto& ligne : lignesDeTexte(page)) {
    const auto diese = ligne.find_first_not_of('#');
    if (diese == 0 || diese == std::string::npos || ligne[diese] != ' ') continue;
    const std::string base = ancre(ligne.substr(diese + 1));
    std::string a = base;
    for (int n = 1; ancres.count(a) > 0; ++n) a = base + "-" + std::to_string(n);
    ancres.insert(a);
  }
  return ancres;
}

// Each program block of the guide follows a line naming its file, from the
// examples' folder (<!-- exemple: NAME.cpp -->), and is that file, to the byte.
TEST(Guide, ChaqueProgrammeEstUnExemple) {
  int blocs = 0;
  for (const auto& page : pagesDuGuide()) {
    std::istringstream texte(lire(page.string()));
    const std::string marque = "<!-- exemple: ";
    for (std::string ligne; std::getline(texte, ligne);) {
      if (ligne.rfind(marque, 0) != 0) continue;
      const std::string nom = ligne.substr(marque.size(), ligne.find(" -->") - marque.size());
      std::getline(texte, ligne);
      ASSERT_EQ(ligne.rfind("```", 0), 0u) << page << ": " << nom;
      std::string bloc;
      while (std::getline(texte, ligne) && ligne != "```") bloc += ligne + "\n";
      EXPECT_EQ(bloc, lire(exemples + "/" + nom)) << page << ": the block of " << nom;
      ++blocs;
    }
  }
  EXPECT_EQ(blocs, 6);  // questionnaire, menu, carnet, notes, and two of repondre's recipes
}

TEST(Guide, ChaqueLienMeneAUnePageEtAUnTitreQuiExistent) {
  EXPECT_EQ(ancre("Scripter et corriger : `repondre`"), "scripter-et-corriger--repondre");
  EXPECT_EQ(ancre("Selon ce qu'est l'Entrée standard"), "selon-ce-quest-lentrée-standard");
  int liens = 0;
  for (const auto& page : pagesDuGuide()) {
    for (const auto& ligne : lignesDeTexte(page)) {
      for (auto debut = ligne.find("]("); debut != std::string::npos;
           debut = ligne.find("](", debut + 2)) {
        const auto fin = ligne.find(')', debut);
        ASSERT_NE(fin, std::string::npos) << page << ": " << ligne;
        const std::string cible = ligne.substr(debut + 2, fin - debut - 2);
        if (cible.rfind("http", 0) == 0) continue;
        const auto diese = cible.find('#');
        const std::string chemin = cible.substr(0, diese);
        const fs::path vers = chemin.empty() ? page : page.parent_path() / chemin;
        EXPECT_TRUE(fs::exists(vers)) << page << ": " << cible;
        if (diese != std::string::npos && fs::exists(vers))
          EXPECT_EQ(ancresDe(vers).count(cible.substr(diese + 1)), 1u) << page << ": " << cible;
        ++liens;
      }
    }
  }
  EXPECT_GT(liens, 10);
}

}  // namespace
