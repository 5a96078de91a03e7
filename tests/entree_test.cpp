#include <iostream>
#include <sstream>

#include <outils/entree.h>

#include "aides.h"
#include "gtest/gtest.h"
#if !defined(_WIN32)
#include "programme.h"
#endif

namespace {

// Redirects std::cin and std::cout to strings for the life of the object.
class ConsoleEnMemoire {
 public:
  explicit ConsoleEnMemoire(const std::string& entree)
      : entree_(entree), ancienneEntree_(std::cin.rdbuf(entree_.rdbuf())) {}
  ~ConsoleEnMemoire() { std::cin.rdbuf(ancienneEntree_); }
  ConsoleEnMemoire(const ConsoleEnMemoire&) = delete;
  ConsoleEnMemoire& operator=(const ConsoleEnMemoire&) = delete;
  std::string sortie() { return sortie_.lus(); }
  std::string resteAlire() { return std::string(std::istreambuf_iterator<char>(entree_), {}); }

 private:
  std::istringstream entree_;
  std::streambuf* ancienneEntree_;
  aides::SortieCapturee sortie_;
};

TEST(EffacerEcran, EcritVingtCinqSautsDeLigneEtRienDAutre) {
  ConsoleEnMemoire console("");
  effacerEcran();
  EXPECT_EQ(console.sortie(), std::string(25, '\n'));
}

TEST(Entree, LaBaseRendSaValeurParDefautSansRienLireNiEcrire) {
  ConsoleEnMemoire console("abc\n");
  EXPECT_FALSE(entree<bool>().demander());
  EXPECT_EQ(entree<char>().demander(), '\0');
  EXPECT_EQ(entree<char>("texte").demander(), '\0');
  EXPECT_EQ(console.sortie(), "");
  EXPECT_EQ(console.resteAlire(), "abc\n");
}

TEST(Vider, SurUnFluxPositionnableSauteToutLeReste) {
  ConsoleEnMemoire console("12 abc\nsuite\n");
  int n = 0;
  std::cin >> n;
  viderEntree();
  EXPECT_TRUE(std::cin.eof() && !std::cin.fail());  // at its end, as a skipped file leaves it
  EXPECT_EQ(std::cin.get(), std::char_traits<char>::eof());
  EXPECT_EQ(n, 12);
}

// ---- The pause prompt, driven as a person or a script would ----

#if !defined(_WIN32)  // child processes on a pseudo-terminal: POSIX

const std::string programme = ESSAI_INVITES;

TEST(Pause, SurUnTerminalAttendLaFinDUneLigne) {
  Programme p({programme, "pause", "reste"}, Entree::terminal);
  ASSERT_TRUE(p.attendre("pause> "));
  ASSERT_TRUE(p.attendLecture());
  EXPECT_TRUE(p.attendToujours());
  p.taper("xy");
  EXPECT_TRUE(p.attendToujours());  // a key alone is not the end of a line
  p.taper("\n");
  EXPECT_TRUE(p.attendre("pause=1 etat=bon"));
  ASSERT_TRUE(p.attendLecture());  // the whole line went with the pause
  p.taper("suite\n");
  EXPECT_TRUE(p.attendre("reste=[suite] etat=bon"));
  ASSERT_TRUE(p.finir());
  EXPECT_EQ(p.statut(), 0);
  EXPECT_EQ(p.erreurs(), "");
}

TEST(Pause, NePrendPasCeQuiEstArriveAvantSonTexte) {
  // A line typed ahead, or the rest of a line already read, is not the pause's.
  struct Cas {
    std::vector<std::string> pas;
    Entree entree;
    std::string avant, lu;  // typed at once; then shown before the pause
  };
  const Cas cas[] = {
      {{"dormir:400", "pause"}, Entree::terminal, "trop tot\n", ""},
      {{"lire", "pause"}, Entree::terminal, "12 abc\n", "lire=12"},
      {{"desynchro", "lire", "pause"}, Entree::terminal, "12 abc\n", "lire=12"},
      {{"lire", "pause"}, Entree::tube, "12 abc\n", "lire=12"},
      {{"desynchro", "lire", "pause"}, Entree::tube, "12 abc\n", "lire=12"},
  };
  for (const auto& c : cas) {
    std::vector<std::string> args{programme};
    args.insert(args.end(), c.pas.begin(), c.pas.end());
    Programme p(args, c.entree);
    p.taper(c.avant);
    ASSERT_TRUE(p.attendre(c.lu));
    ASSERT_TRUE(p.attendre("pause> "));
    ASSERT_TRUE(p.attendLecture());
    EXPECT_TRUE(p.attendToujours()) << c.pas.front();
    p.taper("\n");
    EXPECT_TRUE(p.attendre("pause=1 etat=bon")) << c.pas.front();
    ASSERT_TRUE(p.finir());
  }
}

TEST(Pause, UnCtrlDNeTermineQuUneSeuleLecture) {
  Programme p({programme, "pause", "pause"}, Entree::terminal);
  ASSERT_TRUE(p.attendre("pause> "));
  ASSERT_TRUE(p.attendLecture());
  p.taper("\x04");
  ASSERT_TRUE(p.attendre("pause=1"));
  ASSERT_TRUE(p.attendre("pause> "));
  ASSERT_TRUE(p.attendLecture());
  EXPECT_TRUE(p.attendToujours());
  p.taper("\n");
  EXPECT_TRUE(p.attendre("pause=1 etat=bon"));
  ASSERT_TRUE(p.finir());
}

TEST(Pause, RendLaMainAussitotSansTerminal) {
  // Where input ends, the pause leaves std::cin at its end for the caller to see.
  struct Cas {
    Entree entree;
    const char* contenu;
    const char* apresPause;
  };
  const Cas cas[] = {{Entree::fichier, "\n\nune ligne\n12\n", "pause=1 etat=e"},
                     {Entree::fichier, "", "pause=1 etat=e"},
                     {Entree::vide, "", "pause=1 etat=e"},
                     {Entree::fermee, "", "pause=1 etat=e"},
                     {Entree::tube, "x\n", "pause=1 etat=bon\n"}};
  for (const auto& c : cas) {
    // A file is skipped whole: the read after the pause meets its end.
    const auto e = executer({programme, "pause", "lire"}, c.entree, c.contenu);
    ASSERT_TRUE(e.termine) << c.contenu;
    EXPECT_EQ(e.statut, 0);
    EXPECT_EQ(e.sortie.rfind("pause> \n", 0), 0u) << e.sortie;
    EXPECT_NE(e.sortie.find(c.apresPause), std::string::npos) << e.sortie;
    EXPECT_NE(e.sortie.find("lire=0 etat=ef\n"), std::string::npos) << e.sortie;
    EXPECT_EQ(e.erreurs, "");
  }
}

#endif

}  // namespace
