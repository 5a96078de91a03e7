#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "aides.h"
#include "gtest/gtest.h"
#include "programme.h"

namespace {

using namespace std::chrono_literals;

const std::string programme = ESSAI_INVITES;

// The test program's command: with `clavier`, a clavier in place first, and a
// TERM it works with, whatever the caller's.
std::vector<std::string> commande(std::vector<std::string> pas, bool clavier,
                                  const std::string& terme = "xterm") {
  if (!clavier) pas.insert(pas.begin(), programme);
  if (clavier) pas.insert(pas.begin(), {"/usr/bin/env", "TERM=" + terme, programme, "clavier"});
  return pas;
}

// The prompt's name in a step of the test program ("lettre:ABC+entiere" -> "lettre").
std::string nomDe(const std::string& pas) {
  return pas.substr(0, pas.find_first_of(":+"));
}

// The prompt's text for a step of the test program ("lettre:ABC" -> "lettre? ").
std::string texteDe(const std::string& pas) {
  return nomDe(pas) + "? ";
}

// What the prompt writes after a refused answer ("+expliquer=Non" -> "Non\r\n" on a terminal).
std::string explicationDe(const std::string& pas) {
  const auto debut = pas.find("+expliquer=");
  if (debut == std::string::npos) return "";
  const auto texte = pas.substr(debut + 11);
  return texte.substr(0, texte.find('+')) + "\r\n";
}

// On a terminal: answers each prompt in turn, typing only once its text is
// shown, and checks that the terminal shows exactly the texts, the echoed
// answers and the result line, nothing else.
void repondre(const std::string& pas, const std::vector<std::string>& reponses,
              const std::string& resultat, bool clavier) {
  Programme p(commande({pas}, clavier), Entree::terminal);
  std::string attendu;
  for (const auto& reponse : reponses) {
    ASSERT_TRUE(p.attendre(texteDe(pas))) << pas << " avant " << reponse << ": " << p.sortie();
    ASSERT_TRUE(p.attendLecture());  // a clavier draws what comes once its read has begun
    p.taper(reponse + "\n");
    attendu += texteDe(pas) + reponse + "\r\n";
    if (&reponse != &reponses.back()) attendu += explicationDe(pas);
  }
  ASSERT_TRUE(p.finir()) << pas << ": " << p.sortie();
  EXPECT_EQ(p.sortie(), attendu + "\r\n" + nomDe(pas) + "=" + resultat + "\r\n");
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
      {"entier:0:20", {"21", "-1", "0"}, "0 etat=bon"},  // a mark out of 20
      {"entier:1:120", {"0", "121", "120"}, "120 etat=bon"},
      {"entier:20:0", {"21", "20"}, "20 etat=bon"},  // bounds given the other way round
      {"reel", {"abc", "nan", "inf", ",5", "12,5"}, "12.5 etat=bon"},
      {"reel", {"12.5"}, "12.5 etat=bon"},
      {"reel", {"-3"}, "-3 etat=bon"},
      {"reel", {"1e3"}, "1000 etat=bon"},
      {"reel", {"0"}, "0 etat=bon"},
      {"reel", {"1e+", "3E-x", "12euros"}, "12 etat=bon"},  // an e and a sign start an exponent
      {"reel", {"3e"}, "3 etat=bon"},
      {"reel", {"12,5E"}, "12.5 etat=bon"},
      {"reel:0:20", {"-0,5", "20,25", "1e999", "19,75"}, "19.75 etat=bon"},
      {"ligne", {"", "  x  "}, "[  x  ] etat=bon"},
      {"ligne", {"x"}, "[x] etat=bon"},
      {"lettre:ABC", {"d", "", "b"}, "98 etat=bon"},
      {"lettre:ABC", {"Cx"}, "67 etat=bon"},
      {"lettre:abc", {"B"}, "66 etat=bon"},
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
      // A byte of a multi-byte (UTF-8) character is never an allowed letter: "à" shares
      // its first byte with "é"; with an empty set, any byte is returned.
      {"lettre:\xc3\xa9\xc3\xa8"
       "a",
       {"\xc3\xa0", "\xc3\xa9", "a"},
       "97 etat=bon"},
      {"lettre:", {"\xc3\xa9"}, "195 etat=bon"},
      {"lettre:ABC", {"\xe9", "\xc3\xa9", "\xff", "a"}, "97 etat=bon"},
      {"reponse:on", {"\xc3\xa9", "\xce\xbf", "n"}, "0 etat=bon"},
      // A program's choices: why a refusal, a proposal for an empty line, the whole line.
      {"entier:1:100+expliquer=De 1 a 100.", {"abc", "0", "101", "-5", "42"}, "42 etat=bon"},
      {"entier:1:120+proposer=18", {""}, "18 etat=bon"},
      {"entier:1:120+proposer=18", {" \t "}, "18 etat=bon"},
      {"entier:1:120+proposer=500", {""}, "500 etat=bon"},  // returned as given
      {"entier+entiere", {"12abc", "12,5", "1 000", "", " 42 "}, "42 etat=bon"},
      {"entier:1:120+expliquer=Non.+proposer=18+entiere",
       {"abc", "150", "7 ans", ""},
       "18 etat=bon"},
      {"entier+entiere+proposer=7", {"12abc", ""}, "7 etat=bon"},
      {"reel+entiere", {"12,5 kg", " 12,5 "}, "12.5 etat=bon"},
      {"reel+proposer=2.5", {"  "}, "2.5 etat=bon"},
      {"lettre:ABC+entiere", {"AB", " C", "C"}, "67 etat=bon"},
      {"lettre:ABC+proposer=B", {""}, "66 etat=bon"},
      {"lettre:ABC+proposer=B", {" x", "a"}, "97 etat=bon"},  // a blank first: refused
      {"lettre:+entiere", {"", "ab", "b "}, "98 etat=bon"},
      {"reponse:on+entiere", {"oui", "o"}, "1 etat=bon"},
      {"reponse:on+proposer=0", {""}, "0 etat=bon"},
      {"reponse:on+proposer=1+expliquer=o ou n", {"x", " "}, "1 etat=bon"},
      {"ligne+proposer=rien", {""}, "[rien] etat=bon"},
      {"ligne+proposer=rien", {"  "}, "[  ] etat=bon"},  // a line of blanks, as typed
      {"ligne+proposer=", {""}, "[] etat=bon"},          // the empty line accepted
      {"ligne+entiere", {"", " x "}, "[ x ] etat=bon"},  // no effect on a line
  };
  for (bool clavier : {false, true})  // drawn by the terminal's echo, or by a clavier
    for (const auto& c : cas) repondre(c.pas, c.reponses, c.resultat, clavier);
}

TEST(Saisies, LaSuiteDUneReponseRefuseeNeFuitPasDansLeCycleSuivant) {
  // With the caller's exception mask set too: a refused answer never throws.
  for (const auto& [entree, pas] : {std::pair{Entree::terminal, "entier"},
                                    {Entree::tube, "entier"},
                                    {Entree::tube, "exceptions"}}) {
    std::vector<std::string> argv{programme, pas};
    if (argv.back() != "entier") argv.push_back("entier");
    Programme p(argv, entree);
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
                              {"entier:0:20", "21\n", "0"},
                              {"reel", "abc\n", "0"},
                              {"ligne", "\n", "[]"},
                              {"lettre:ABC", "d\n", "255"},
                              {"lettre:", "", "255"},
                              {"reponse:on", "x\n", "0"},
                              // the end value, never the proposal
                              {"entier:1:120+proposer=18+entiere", "abc\n", "0"},
                              {"ligne+proposer=rien", "", "[]"},
                              {"lettre:ABC+proposer=B+expliquer=A, B ou C", "d\n", "255"},
                              {"reponse:on+proposer=1", "x\n", "0"}};

// The result line for `pas`: std::cin keeps the end of input's state, eof and fail.
void verifierFin(const FinDEntree& f, const std::string& sortie, int invitesAttendues) {
  const std::string debut = nomDe(f.pas) + "=" + f.valeur + " etat=";
  const auto ligne = sortie.find(debut);
  ASSERT_NE(ligne, std::string::npos) << sortie;
  const std::string etat = sortie.substr(
      ligne + debut.size(), sortie.find_first_of("\r\n", ligne) - ligne - debut.size());
  EXPECT_EQ(etat, "ef") << f.pas;
  int invites = 0;
  for (auto p = sortie.find(texteDe(f.pas)); p != std::string::npos;
       p = sortie.find(texteDe(f.pas), p + 1))
    ++invites;
  EXPECT_EQ(invites, invitesAttendues) << f.pas << ": " << sortie;
}

TEST(FinDEntree, ChaqueInviteRendSaValeurAussitotSansTerminal) {
  for (const auto& f : prompts) {
    for (Entree entree : {Entree::vide, Entree::fichier, Entree::fermee}) {
      // A regular file is skipped whole by the first discard; a clavier changes nothing.
      const auto e = executer({programme, f.pas}, entree, "7\nA\no\nune ligne\n");
      ASSERT_TRUE(e.termine) << f.pas;
      EXPECT_EQ(e.statut, 0);
      EXPECT_EQ(e.erreurs, "");
      verifierFin(f, e.sortie, 1);
      const auto avecClavier = executer(commande({f.pas}, true), entree, "7\nA\no\nune ligne\n");
      EXPECT_EQ(avecClavier.sortie, e.sortie) << f.pas;
    }
  }
}

TEST(FinDEntree, UnTubeFermeOuUnCtrlDApresUneReponseRefusee) {
  for (const auto& f : prompts) {
    for (auto [entree, clavier] : {std::pair{Entree::tube, false},
                                   {Entree::terminal, false},
                                   {Entree::tube, true},
                                   {Entree::terminal, true}}) {
      Programme p(commande({f.pas}, clavier), entree);
      ASSERT_TRUE(p.attendre(texteDe(f.pas)));
      p.taper(f.refusee);
      if (!f.refusee.empty()) {
        ASSERT_TRUE(p.attendre(texteDe(f.pas)));
      }
      if (entree == Entree::terminal) {  // Ctrl-D, once read: typed earlier, a clavier may miss it
        ASSERT_TRUE(p.attendLecture()) << f.pas;
        p.taper("\x04");
      }
      p.fermerEntree();
      ASSERT_TRUE(p.finir()) << f.pas;
      EXPECT_EQ(p.statut(), 0);
      verifierFin(f, p.sortie(), f.refusee.empty() ? 1 : 2);
    }
  }
}

TEST(FinDEntree, UneReponseQuiFinitAvecLEntreeEstAcceptee) {
  // Written on a pipe once the prompt has appeared, then the pipe is closed.
  struct Cas {
    std::string pas, contenu, sortie;
  };
  const Cas cas[] = {
      {"entier", "7", "entier? \nentier=7 etat=e\n"},
      {"ligne", "mot", "ligne? \nligne=[mot] etat=e\n"},
      {"lettre:ABC", "b", "lettre? \nlettre=98 etat=bon\n"},
      {"reponse:on", "n", "reponse? \nreponse=0 etat=bon\n"},
      {"ligne", "abc\r\n", "ligne? \nligne=[abc] etat=bon\n"},  // a CR LF line end
      {"ligne", "\r\n", "ligne? ligne? \nligne=[] etat=ef\n"},  // an empty CR LF line
      // an explanation after the refusal, none at the end of input
      {"entier+expliquer=Non", "abc", "entier? Non\nentier? \nentier=0 etat=ef\n"},
      {"entier+entiere", "42  ", "entier? \nentier=42 etat=e\n"},
  };
  for (const auto& c : cas) {
    Programme p({programme, c.pas}, Entree::tube);
    ASSERT_TRUE(p.attendre(texteDe(c.pas)));
    p.taper(c.contenu);
    p.fermerEntree();
    ASSERT_TRUE(p.finir());
    EXPECT_EQ(p.sortie(), c.sortie);
  }
}

// ---- Every kind of standard input, and programs that change std::cin ----

TEST(Entrees, ChaqueSorteDEntreeDonneUneFinOrdonnee) {
  const aides::FichierTemporaire carnet, journal;
  {
    std::ofstream sortie(carnet.nom());  // larger than the reader's buffer
    for (int i = 1; i <= 3000; ++i) sortie << i << '\n';
  }
  struct Cas {
    std::vector<std::string> pas;
    Entree entree;
    std::string contenu;                // of the regular file on standard input
    std::vector<std::string> attendus;  // in this order in the output, then the error stream
    bool sortieFermee = false;          // started with descriptor 1 closed too
  };
  const std::string fichierLong = "x\n" + std::string(6000, '7') + "\n";
  const Cas cas[] = {
      // A device that "seeks" without moving is not skipped by reading it.
      {{"lettre:"}, Entree::zero, "", {"lettre=0 etat=bon"}},
      // A read error ends the input and says so (bad), synced or not.
      {{"desynchro", "entier"}, Entree::repertoire, "", {"entier=0 etat=efb"}},
      {{"entier"}, Entree::repertoire, "", {"entier=0 etat=efb"}},
      // A failed read before the prompt: the prompt's discard still skips the file.
      {{"lire", "entier"}, Entree::fichier, fichierLong, {"lire=0 etat=f", "entier=0 etat=ef"}},
      // A closed descriptor 0 or 1 is never the program's own file.
      {{"carnet:" + carnet.nom()}, Entree::fermee, "", {"entier? ", "carnet=3000:4501500 etat=ef"}},
      {{"journal:" + journal.nom()}, Entree::vide, "", {"journal=[ecrit]"}, true},
      // In the background of its terminal, a discard does not stop the program.
      {{"arriereplan", "vider"}, Entree::terminal, "", {"vider=1 etat=bon"}},
      // The caller's mask: the end of input throws where a read would; a discard never throws.
      {{"exceptions", "entier", "vider", "entier"},
       Entree::vide,
       "",
       {"entier? \nentier=exception etat=ef", "vider=1 etat=bon", "entier=exception"}},
      {{"exceptions", "vider", "lire"},
       Entree::fichier,
       "12\n",
       {"vider=1 etat=bon", "lire=exception etat=ef"}},
  };
  for (const auto& c : cas) {
    std::vector<std::string> argv{programme};
    if (c.sortieFermee) argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" >&-", programme};
    argv.insert(argv.end(), c.pas.begin(), c.pas.end());
    const auto e = executer(argv, c.entree, c.contenu);
    ASSERT_TRUE(e.termine) << c.pas.back() << ": " << e.sortie;
    EXPECT_EQ(e.statut, 0);
    std::size_t depuis = 0;
    for (const auto& attendu : c.attendus) {
      depuis = (e.sortie + e.erreurs).find(attendu, depuis);
      ASSERT_NE(depuis, std::string::npos) << attendu << " dans: " << e.sortie << e.erreurs;
    }
    EXPECT_EQ(std::count(e.sortie.begin(), e.sortie.end(), '?'),
              std::count_if(c.pas.begin(), c.pas.end(),
                            [](const std::string& p) {
                              return p.rfind("entier", 0) == 0 || p.rfind("lettre", 0) == 0 ||
                                     p.rfind("carnet", 0) == 0;
                            }))
        << "each prompt's text once: " << e.sortie;
  }
}

TEST(Entrees, UneInviteAttendSaReponseMalgreSignauxEtEntreeNonBloquante) {
  enum Evenement { aucun, signalPendantLaLecture, lectureEnCours, attenteEnPoll };
  struct Etape {
    std::string attendu, tape;  // typed once `attendu` is in the output
  };
  struct Cas {
    std::vector<std::string> pas;
    Entree entree;
    Evenement evenement;  // before the last step's typing; lectureEnCours: before each
    std::vector<Etape> dialogue;
    std::string resultat;
    // Needs what glibc and the BSDs show of stdin's buffer and musl does not: the last byte
    // read once all is read, and a byte put back by ungetc() apart from those received.
    bool octetsDeStdin = false;
  };
#if defined(__GLIBC__)
  ASSERT_FALSE(aides::localeAPointLong().empty()) << "localedef could not make ps_AF.UTF-8";
#endif
#if defined(__GLIBC__) || defined(__APPLE__) || defined(__FreeBSD__)
  constexpr bool octetsDeStdinConnus = true;
#else
  constexpr bool octetsDeStdinConnus = false;
#endif
  const std::string yes = [] {
    std::string s;
    for (int i = 0; i < 20000; ++i) s += "12345\n";
    return s;
  }();
  const Cas cas[] = {
      {{"signal", "entier"},
       Entree::terminal,
       signalPendantLaLecture,
       {{"entier? ", "5\n"}},
       "entier=5 etat=bon"},
      {{"signal", "entier"},
       Entree::tube,
       signalPendantLaLecture,
       {{"entier? ", "5\n"}},
       "entier=5 etat=bon"},
      {{"signal", "ligne"},
       Entree::tube,
       signalPendantLaLecture,
       {{"ligne? ", "mot\n"}},
       "ligne=[mot] etat=bon"},
      {{"signal", "pause"},
       Entree::terminal,
       signalPendantLaLecture,
       {{"pause> ", "\n"}},
       "pause=1 etat=bon"},
      {{"nonbloquant", "entier"}, Entree::tube, aucun, {{"entier? ", "5\n"}}, "entier=5 etat=bon"},
      {{"nonbloquant", "desynchro", "lettre:ab"},
       Entree::tube,
       aucun,
       {{"lettre? ", "b\n"}},
       "lettre=98 etat=bon"},
      // The text is on the screen before the read, even when nothing else flushes it.
      {{"detache", "entier"}, Entree::tube, aucun, {{"entier? ", "5\n"}}, "entier=5 etat=bon"},
      {{"detache", "desynchro", "pause"},
       Entree::terminal,
       lectureEnCours,
       {{"pause> ", "\n"}},
       "pause=1 etat=bon"},
      // A line is whole at its line feed, however it arrives.
      {{"signal", "ligne"},
       Entree::tube,
       signalPendantLaLecture,
       {{"ligne? ", "Jean-"}, {"", "Pierre\n"}},
       "ligne=[Jean-Pierre] etat=bon"},
      {{"nonbloquant", "ligne"},
       Entree::tube,
       attenteEnPoll,
       {{"ligne? ", "bon"}, {"", "jour\n"}},
       "ligne=[bonjour] etat=bon"},
      // Unsynced streams: what was received is dropped without waiting for more.
      {{"desynchro", "entier", "ligne"},
       Entree::terminal,
       aucun,
       {{"entier? ", "30 ans\n"}, {"ligne? ", "x\n"}},
       "ligne=[x] etat=bon"},
      {{"desynchro", "lire", "vider"}, Entree::tube, aucun, {{"", "7 8\n"}}, "vider=1 etat=bon"},
      // On a pipe, an answer never starts in the middle of a line.
      {{"entiers:4"},
       Entree::tube,
       aucun,
       {{"", yes}},
       "entier? entier=12345\nentier? entier=12345\nentier? entier=12345\nentier? "
       "entier=12345\n"},
      {{"entiers:2"},
       Entree::tube,
       aucun,
       {{"entier? ", "1\n2\n3"}, {"entier? ", "4\n5\n6\n"}},
       "entier=5\n"},
      {{"entiers:2"},
       Entree::tube,
       aucun,
       {{"entier? ", "1\n2\n"}, {"entier? ", "3\n"}},
       "entier=3\n"},
      // What follows an answer stays for the next read, never for the next prompt.
      {{"entier", "reste"},
       Entree::terminal,
       aucun,
       {{"entier? ", "12abc\n"}},
       "entier=12 etat=bon\r\n\r\nreste=[abc] etat=bon"},
      // The whole line on a pipe: a refused line is taken whole, an accepted one too.
      {{"entier+entiere", "reste"},
       Entree::tube,
       lectureEnCours,
       {{"entier? ", "12 abc\n"}, {"entier? ", "7  \n"}, {"", "suite\n"}},
       "reste=[suite] etat=bon"},
      {{"lire", "ligne"},
       Entree::terminal,
       aucun,
       {{"", "12 abc\n"}, {"lire=12", ""}, {"ligne? ", "suite\n"}},
       "ligne=[suite] etat=bon"},
      // A character given back, by the program or by a real number's read, is pending input.
      {{"reel", "entier"},
       Entree::tube,
       aucun,
       {{"reel? ", "12, 5\n"}, {"entier? ", "7\n"}},
       "entier=7 etat=bon"},
      {{"reel", "ligne"},
       Entree::terminal,
       aucun,
       {{"reel? ", "12,\n"}, {"ligne? ", "Ana\n"}},
       "ligne=[Ana] etat=bon"},
      {{"rendre", "entier"},
       Entree::tube,
       lectureEnCours,
       {{"", "7\n"}, {"entier? ", "42\n"}},
       "entier=42 etat=bon"},
      {{"rendre", "entier"},
       Entree::terminal,
       aucun,
       {{"", "x\n"}, {"entier? ", "42\n"}},
       "entier=42 etat=bon"},
      {{"ungetc:x", "entier"},
       Entree::tube,
       aucun,
       {{"entier? ", "5\n"}},
       "entier=5 etat=bon",
       true},
      // A comma or an e that ends a number stays pending, however the next byte arrives.
      {{"reel", "reste"},
       Entree::tube,
       lectureEnCours,
       {{"reel? ", "12,"}, {"", "x\n"}},
       "reste=[,x] etat=bon"},
      {{"desynchro", "reel", "reste"},
       Entree::tube,
       lectureEnCours,
       {{"reel? ", "12,"}, {"", "x\n"}},
       "reste=[,x] etat=bon"},
      {{"desynchro", "reel", "reste"},
       Entree::tube,
       lectureEnCours,
       {{"reel? ", "12"}, {"", ","}, {"", "x\n"}},
       "reste=[,x] etat=bon"},
      {{"reel", "reste"},
       Entree::terminal,
       aucun,
       {{"reel? ", "12euros\n"}},
       "reste=[euros] etat=bon"},
      // A line whose end has not arrived is never an answer, nor the end of a pause.
      {{"reponse:on", "ligne"},
       Entree::tube,
       lectureEnCours,
       {{"reponse? ", "o"}, {"ligne? ", "ui\n"}, {"", "Jean\n"}},
       "ligne=[Jean] etat=bon",
       true},
      {{"reponse:on", "pause"},
       Entree::tube,
       lectureEnCours,
       {{"reponse? ", "o"}, {"pause> ", "ui\n"}, {"", "\n"}},
       "pause=1 etat=bon",
       true},
      // After viderEntree(), the next line is the next prompt's answer.
      {{"entier", "vider", "entier"},
       Entree::tube,
       lectureEnCours,
       {{"entier? ", "5\n"}, {"entier? ", "7\n"}},
       "entier=7 etat=bon"},
      {{"desynchro", "entier", "vider", "entier"},
       Entree::tube,
       lectureEnCours,
       {{"entier? ", "5\n"}, {"entier? ", "7\n"}},
       "entier=7 etat=bon"},
      {{"entier", "vider", "entier"},
       Entree::terminal,
       aucun,
       {{"entier? ", "5\n"}, {"entier? ", "7\n"}},
       "entier=7 etat=bon"},
      {{"reponse:on", "vider", "reponse:on"},
       Entree::tube,
       lectureEnCours,
       {{"reponse? ", "o\n"}, {"reponse? ", "n\n"}},
       "reponse=0 etat=bon"},
      // A program's buffer that cannot give a byte back: the comma or the e is taken to
      // look at what follows, and lost when the number does not go on.
      {{"octet", "reel"}, Entree::tube, aucun, {{"reel? ", "12,5\n"}}, "reel=12.5 etat=bon"},
      {{"octet", "reel"}, Entree::terminal, aucun, {{"reel? ", "3e2\n"}}, "reel=300 etat=bon"},
      {{"octet", "reel"}, Entree::tube, aucun, {{"reel? ", "1,25e1\n"}}, "reel=12.5 etat=bon"},
      {{"octet", "reel", "reste"},
       Entree::tube,
       aucun,
       {{"reel? ", "12,x\n"}},
       "reel=12 etat=bon\n\nreste=[x] etat=bon"},
      // The "C" locale's number, whatever the C locale's decimal point.
      {{"locale:" + aides::localeAPointLong(), "reel"},
       Entree::tube,
       aucun,
       {{"locale=1", ""}, {"reel? ", "12,5\n"}},
       "reel=12.5 etat=bon"},
  };
  for (const auto& c : cas) {
    if (c.octetsDeStdin && !octetsDeStdinConnus) continue;
    std::vector<std::string> argv{programme};
    argv.insert(argv.end(), c.pas.begin(), c.pas.end());
    Programme p(argv, c.entree);
    const std::string& dernier = c.pas.back();
    for (std::size_t i = 0; i < c.dialogue.size(); ++i) {
      ASSERT_TRUE(p.attendre(c.dialogue[i].attendu)) << dernier << ": " << p.sortie();
      if (i + 1 == c.dialogue.size() && c.evenement == signalPendantLaLecture) {
        ASSERT_TRUE(p.attendLecture()) << dernier;
        p.signaler(SIGUSR1);
        ASSERT_TRUE(p.attendLecture(5s, Attente::sondage)) << dernier << ": " << p.sortie();
      } else if (c.evenement == lectureEnCours ||
                 (i + 1 == c.dialogue.size() && c.evenement != aucun)) {
        ASSERT_TRUE(
            p.attendLecture(5s, c.evenement == attenteEnPoll ? Attente::sondage : Attente::lecture))
            << dernier;
      }
      EXPECT_TRUE(p.attendToujours(100ms)) << dernier << ": " << p.sortie();
      p.taper(c.dialogue[i].tape);
    }
    EXPECT_TRUE(p.attendre(c.resultat)) << dernier << ": " << p.sortie();
    p.fermerEntree();
    ASSERT_TRUE(p.finir());
  }
}

// ---- A clavier: the line edited at a terminal ----

TEST(Clavier, EditeLaLigneRappelleLesPrecedentesEtGardeLeTerminalIntact) {
  struct Cas {
    std::vector<std::string> pas;
    std::vector<std::string> frappes;  // the first typed once "? " is shown, the next ones
                                       // once `relance` is
    std::string resultat;              // found in the output, after the last prompt
    std::string relance = "? ";
    std::string terme = "xterm";
  };
  const std::string cent(100, 'a');
  const auto dix = [](const std::string& touche) {
    std::string s;
    for (int i = 0; i < 10; ++i) s += touche;
    return s;
  };
  const Cas cas[] = {
      {{"ligne"}, {"Jo\x1b[D\x1b[DX\r"}, "ligne=[XJo] etat=bon"},
      {{"ligne"}, {"bc\x1b[Ha\x1b[Fd\r"}, "ligne=[abcd]"},
      {{"ligne"}, {"bc\x1bOHa\x1bOFd\r"}, "ligne=[abcd]"},
      {{"ligne"}, {"bc\x1b[1~a\x1b[4~d\r"}, "ligne=[abcd]"},
      {{"ligne"}, {"bc\x1b[7~a\x1b[8~d\r"}, "ligne=[abcd]"},
      {{"ligne"},
       {"bc\x01"
        "a\x05"
        "d\r"},
       "ligne=[abcd]"},
      {{"ligne"},
       {"caf\xc3\xa9\x7f"
        "e\r"},
       "ligne=[cafe]"},
      {{"ligne"}, {"\xc3\xa9t\x1b[D\x1b[DX\r"}, "ligne=[X\xc3\xa9t]"},
      {{"ligne"},
       {"ab\x08"
        "c\r"},
       "ligne=[ac]"},
      {{"ligne"}, {"abc\x1b[D\x1b[D\x1b[3~\r"}, "ligne=[ac]"},
      {{"ligne"}, {"abc\x15xy\r"}, "ligne=[xy]"},
      {{"ligne"}, {"abcd\x1b[D\x1b[D\x0b\r"}, "ligne=[ab]"},
      {{"ligne"}, {"un deux\x17trois\r"}, "ligne=[un trois]"},
      {{"ligne"},
       {"a\x1b[5~b\x1b[1;5C"
        "c\x1bqd\x02\r"},
       "ligne=[abcd]"},  // unknown: dropped
      {{"ligne"}, {"a\tb\n"}, "ligne=[a\tb]"},
      {{"ligne"},
       {"abc\x01\x04"
        "d\x05\x04\r"},
       "ligne=[dbc]"},                            // Ctrl-D: under the cursor
      {{"ligne"}, {"\x04"}, "ligne=[] etat=ef"},  // on an empty line: the end
      {{"ligne"},
       {cent + "\x1b[H" + dix("\x1b[C") + "X\r"},
       "ligne=[" + cent.substr(90) + "X" + cent.substr(10) + "]"},
      {{"ligne"},
       {cent + "\x01\x1b[C\x1b[C\x1b[C"
               "X\r"},
       "ligne=[aaaX" + cent.substr(3) + "]"},
      {{"ligne"}, {std::string(5000, 'b') + "\r"}, "ligne=[" + std::string(4095, 'b') + "]"},
      // History: Up from a new line shows the last one; Down past the newest brings back
      // what was typed; empty lines and repeats of the newest are not kept.
      {{"ligne", "ligne", "ligne"}, {"un\r", "deux\r", "\x1b[A\x1b[A\r"}, "ligne=[un]"},
      {{"ligne", "ligne"}, {"un\r", "trois\x1b[A\x1b[B\r"}, "ligne=[trois]"},
      {{"ligne", "ligne", "ligne", "ligne"},
       {"deux\r", "un\r", "un\r", "\x1bOA\x1bOA\r"},
       "ligne=[deux]"},
      // Ctrl-C: the line dropped, the signal sent, the terminal's settings as they were.
      {{"modes", "interruption", "ligne", "modes"},
       {"abc\x03", "xy\r"},
       "^C\r\ninterrompu\r\nxy\r\n\r\nligne=[xy]",
       "interrompu"},
      // Echo off: nothing drawn, the line edited all the same. Canonical mode off: no edit.
      {{"sansecho", "ligne"}, {"Jo\x1b[D\x1b[DX\r"}, "? \r\nligne=[XJo]"},
      {{"noncanonique", "ligne"},
       {"ab\x7f"
        "c\n"},
       "ligne=[ab\x7f"
       "c]"},
      // TERM=dumb: nothing changes.
      {{"ligne"}, {"Jo\x1b[D\r"}, "ligne=[Jo\x1b[D]", "? ", "dumb"},
  };
  for (const auto& c : cas) {
    Programme p(commande(c.pas, true, c.terme), Entree::terminal);
    for (const auto& frappe : c.frappes) {
      ASSERT_TRUE(p.attendre(&frappe == &c.frappes.front() ? "? " : c.relance))
          << c.frappes.front() << ": " << p.sortie();
      ASSERT_TRUE(p.attendLecture());
      p.taper(frappe);
    }
    ASSERT_TRUE(p.finir()) << c.frappes.front() << ": " << p.sortie();
    EXPECT_NE(p.sortie().find(c.resultat, p.sortie().rfind("? ")), std::string::npos)
        << c.frappes.front() << ": " << p.sortie();
    const auto avant = p.sortie().find("modes="), apres = p.sortie().rfind("modes=");
    if (avant != apres)
      EXPECT_EQ(p.sortie().substr(avant, p.sortie().find('\r', avant) - avant),
                p.sortie().substr(apres, p.sortie().find('\r', apres) - apres));
  }
}

}  // namespace
