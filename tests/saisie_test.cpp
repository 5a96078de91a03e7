#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "programme.h"

namespace {

const std::string programme = ESSAI_INVITES;

// The prompt's text for a step of the test program ("lettre:ABC" -> "lettre? ").
std::string texteDe(const std::string& pas) {
  return pas.substr(0, pas.find(':')) + "? ";
}

// On a terminal: answers each prompt in turn, typing only once its text is
// shown, and checks that the terminal shows exactly the texts, the echoed
// answers and the result line, nothing else.
void repondre(const std::string& pas, const std::vector<std::string>& reponses,
              const std::string& resultat) {
  Programme p({programme, pas}, Entree::terminal);
  std::string attendu;
  for (const auto& reponse : reponses) {
    ASSERT_TRUE(p.attendre(texteDe(pas))) << pas << " avant " << reponse << ": " << p.sortie();
    p.taper(reponse + "\n");
    attendu += texteDe(pas) + reponse + "\r\n";
  }
  ASSERT_TRUE(p.finir()) << pas << ": " << p.sortie();
  EXPECT_EQ(p.sortie(), attendu + "\r\n" + pas.substr(0, pas.find(':')) + "=" + resultat + "\r\n");
  EXPECT_EQ(p.statut(), 0);
  EXPECT_EQ(p.erreurs(), "");
}

TEST(Saisies, SurUnTerminalRedemandentJusquAUneReponseAcceptable) {
  struct Cas {
    std::string pas;
    std::vector<std::string> reponses;  // the last one is accepted
    std::string resultat;
  };
  const Cas cas[] = {
      {"entier", {"0", "-5", "abc", "99999999999", "7"}, "7 etat=bon"},
      {"entier", {" +42 "}, "42 etat=bon"},
      {"ligne", {"", "  x  "}, "[  x  ] etat=bon"},
      {"lettre:ABC", {"d", "", "b"}, "98 etat=bon"},
      {"lettre:ABC", {"Cx"}, "67 etat=bon"},
      {"lettre:", {""}, "10 etat=bon"},
      {"lettre:", {" "}, "32 etat=bon"},
      {"reponse:on", {"o"}, "1 etat=bon"},
      {"reponse:on", {"O"}, "1 etat=bon"},
      {"reponse:on", {"n"}, "0 etat=bon"},
      {"reponse:on", {"x", "", "N"}, "0 etat=bon"},
      {"reponse:on", {"oui"}, "1 etat=bon"},
      {"reponse:on", {"non"}, "0 etat=bon"},
      {"reponse:oo", {"o"}, "1 etat=bon"},
      {"reponse:ON", {"n"}, "0 etat=bon"},
  };
  for (const auto& c : cas) repondre(c.pas, c.reponses, c.resultat);
}

TEST(Saisies, LesOctetsNonAsciiSontDesCaracteresCommeLesAutres) {
  repondre("lettre:\xc3\xa9", {"\xc3\xa9"}, "195 etat=bon");  // first byte of UTF-8 "é"
  repondre("lettre:ABC", {"\xe9", "\xc3\xa9", "\xff", "a"}, "97 etat=bon");
  repondre("reponse:on", {"\xc3\xa9", "\xce\xbf", "n"}, "0 etat=bon");
}

TEST(Saisies, UnEntierLaisseLaSuiteDeSaLignePourLaLectureSuivante) {
  Programme p({programme, "entier", "reste"}, Entree::terminal);
  ASSERT_TRUE(p.attendre("entier? "));
  p.taper("12abc\n");
  EXPECT_TRUE(p.attendre("entier=12 etat=bon"));
  EXPECT_TRUE(p.attendre("reste=[abc] etat=bon"));
  ASSERT_TRUE(p.finir());
}

TEST(Saisies, LaSuiteDUneLigneDejaLueNeRepondPasALInvite) {
  Programme p({programme, "lire", "ligne"}, Entree::terminal);
  p.taper("12 abc\n");
  ASSERT_TRUE(p.attendre("lire=12"));
  ASSERT_TRUE(p.attendre("ligne? "));
  EXPECT_TRUE(p.attendToujours());
  p.taper("suite\n");
  EXPECT_TRUE(p.attendre("ligne=[suite] etat=bon"));
  ASSERT_TRUE(p.finir());
}

TEST(Saisies, LaSuiteDUneReponseRefuseeNeFuitPasDansLeCycleSuivant) {
  for (Entree entree : {Entree::terminal, Entree::tube}) {
    Programme p({programme, "entier"}, entree);
    ASSERT_TRUE(p.attendre("entier? "));
    p.taper("abc def\n");
    ASSERT_TRUE(p.attendre("entier? "));
    EXPECT_TRUE(p.attendToujours());
    p.taper("5\n");
    EXPECT_TRUE(p.attendre("entier=5 etat=bon"));
    ASSERT_TRUE(p.finir());
    EXPECT_EQ(p.compter("entier? "), 2);
  }
}

// ---- End of input: every prompt returns at once, on every kind of input ----

struct FinDEntree {
  std::string pas;
  std::string refusee;  // an answer the prompt refuses, sent before a pipe closes
  std::string valeur;   // what the prompt returns at the end of input
};
const FinDEntree prompts[] = {{"entier", "-3\n", "0"},
                              {"ligne", "\n", "[]"},
                              {"lettre:ABC", "d\n", "255"},
                              {"lettre:", "", "255"},
                              {"reponse:on", "x\n", "0"}};

// The result line for `pas`; its stream state must not be good.
void verifierFin(const FinDEntree& f, const std::string& sortie, int invitesAttendues) {
  const std::string debut = f.pas.substr(0, f.pas.find(':')) + "=" + f.valeur + " etat=";
  const auto ligne = sortie.find(debut);
  ASSERT_NE(ligne, std::string::npos) << sortie;
  const std::string etat =
      sortie.substr(ligne + debut.size(), sortie.find('\n', ligne) - ligne - debut.size());
  EXPECT_TRUE(etat.find('e') != std::string::npos || etat.find('b') != std::string::npos)
      << f.pas << ": " << etat;
  int invites = 0;
  for (auto p = sortie.find(texteDe(f.pas)); p != std::string::npos;
       p = sortie.find(texteDe(f.pas), p + 1))
    ++invites;
  EXPECT_EQ(invites, invitesAttendues) << f.pas << ": " << sortie;
}

TEST(FinDEntree, ChaqueInviteRendSaValeurAussitotSansTerminal) {
  for (const auto& f : prompts) {
    for (Entree entree : {Entree::vide, Entree::fichier, Entree::fermee}) {
      // A regular file is skipped whole by the first discard.
      const auto e = executer({programme, f.pas}, entree, "7\nA\no\nune ligne\n");
      ASSERT_TRUE(e.termine) << f.pas;
      EXPECT_EQ(e.statut, 0);
      EXPECT_EQ(e.erreurs, "");
      verifierFin(f, e.sortie, 1);
    }
  }
}

TEST(FinDEntree, UnTubeFermeApresUneReponseRefusee) {
  for (const auto& f : prompts) {
    Programme p({programme, f.pas}, Entree::tube);
    ASSERT_TRUE(p.attendre(texteDe(f.pas)));
    p.taper(f.refusee);
    if (!f.refusee.empty()) {
      ASSERT_TRUE(p.attendre(texteDe(f.pas)));
    }
    p.fermerEntree();
    ASSERT_TRUE(p.finir()) << f.pas;
    EXPECT_EQ(p.statut(), 0);
    verifierFin(f, p.sortie(), f.refusee.empty() ? 1 : 2);
  }
}

TEST(FinDEntree, UnCtrlDSurLeTerminal) {
  for (const auto& f : prompts) {
    Programme p({programme, f.pas}, Entree::terminal);
    ASSERT_TRUE(p.attendre(texteDe(f.pas)));
    p.taper("\x04");
    ASSERT_TRUE(p.finir()) << f.pas;
    EXPECT_EQ(p.statut(), 0);
    verifierFin(f, p.sortie(), 1);
  }
}

TEST(FinDEntree, UneReponseQuiFinitAvecLEntreeEstAcceptee) {
  struct Cas {
    std::string pas, contenu, resultat;
  };
  const Cas cas[] = {{"entier", "7", "entier=7 etat=e\n"},
                     {"ligne", "mot", "ligne=[mot] etat=e\n"},
                     {"lettre:ABC", "b", "lettre=98 etat=bon\n"},
                     {"reponse:on", "n", "reponse=0 etat=bon\n"}};
  for (const auto& c : cas) {
    Programme p({programme, c.pas}, Entree::tube);
    ASSERT_TRUE(p.attendre(texteDe(c.pas)));
    p.taper(c.contenu);
    p.fermerEntree();
    ASSERT_TRUE(p.finir());
    EXPECT_EQ(p.sortie(), texteDe(c.pas) + "\n" + c.resultat);
  }
}

}  // namespace
