// The repondre command, run as a teacher runs it; its standard input is /dev/null.
#include <string>
#include <vector>

#include "aides.h"
#include "gtest/gtest.h"
#include "programme.h"

namespace {

const std::string repondre = REPONDRE;
const std::string lecteur = LECTEUR_C;  // a C program that reads with scanf and fgets
const std::string questionnaire = std::string(EXEMPLES_CONSTRUITS) + "/questionnaire";

TEST(Repondre, ScripteEtCorrigeDesProgrammesDeConsole) {
  std::string transcript;
  ASSERT_EQ(lireFichierEntier(std::string(EXEMPLES) + "/questionnaire.attendu", transcript), 0);
  const std::string reponsesQuestionnaire = "0\r\n30 ans\r\n\n20,5\n12,5\nAda\nx\np\no";
  auto remplacer = [&](std::string ancien, std::string nouveau) {
    std::string t = transcript;
    return t.replace(t.find(ancien), ancien.size(), nouveau);
  };
  struct Cas {
    std::vector<std::string> options;  // before "--"; FICHIER stands for the file below
    std::string fichier;               // answers or a transcript
    std::vector<std::string> programme;
    int statut;
    std::string sortie;      // exactly, or "*" for any
    std::string erreur;      // found in the error stream ("" for an empty one)
    bool separateur = true;  // "--" before the program
  };
  const Cas cas[] = {
      // Answers typed one by one, each once the program waits: the transcript.
      {{"--reponses", "FICHIER"}, reponsesQuestionnaire, {questionnaire}, 0, transcript, ""},
      {{"--reponses", "FICHIER"},
       "42\nAda\n",
       {lecteur},
       0,
       "Nombre ? {{42}}\nNom ? {{Ada}}\n42 Ada\n",
       ""},
      {{"--reponses", "FICHIER"},
       "7\nBob",
       {lecteur, "fils"},
       0,
       "Nombre ? {{7}}\nNom ? {{Bob}}\n7 Bob\n",
       ""},
      // Past the answers, Ctrl-D; the status is said, not an error.
      {{"--reponses", "FICHIER"},
       "30\n",
       {questionnaire},
       0,
       "Votre age [18] : {{30}}\nVotre note sur 20 : {{^D}}\nfin de l'entree\n",
       "statut 2"},
      {{"--reponses", "FICHIER"}, "", {lecteur, "statut127"}, 0, "", "statut 127"},
      // A transcript: the same screen, the same status.
      {{"--statut", "0", "FICHIER"}, transcript, {questionnaire}, 0, "", ""},
      {{"FICHIER"},
       remplacer("Ada, 18 ans", "Ada, 19 ans"),
       {questionnaire},
       1,
       "",
       "ligne 13 du transcript\n  attendu : « Ada, 19 ans, 12.5/20, choisit p avec cafe. »\n"
       "  obtenu  : « Ada, 18 ans, 12.5/20, choisit p avec cafe. »"},
      {{"--statut", "3", "FICHIER"}, transcript, {questionnaire}, 1, "", "statut 0, attendu 3"},
      {{"FICHIER"},
       transcript + "{{encore}}\n",
       {questionnaire},
       1,
       "",
       "a fini après 9 réponses sur 10"},
      {{"FICHIER"}, "Nombre ? {{5}}\n", {lecteur}, 1, "", "une réponse de plus que les 1"},
      // Programs that fail: a delay, a signal, a loop, output without end, no program.
      {{"--delai", "0.3", "--reponses", "FICHIER"},
       "",
       {lecteur, "boucle"},
       2,
       "",
       "ni attendu de réponse ni fini en 0.3 s"},
      {{"--reponses", "FICHIER"}, "", {lecteur, "plante"}, 2, "", "signal 11 (SIGSEGV"},
      {{"--reponses", "FICHIER"}, "a\n", {lecteur, "relit"}, 2, "*", "10 fins d'entrée de suite"},
      {{"--reponses", "FICHIER"}, "", {lecteur, "bavard"}, 2, "*", "plus de 4 Mo"},
      {{"--reponses", "FICHIER"},
       "",
       {"repondre-introuvable"},
       127,
       "",
       "« repondre-introuvable » : introuvable"},
      // Usage: a clear message and status 2.
      {{"--reponses", "FICHIER"}, "", {}, 2, "", "il manque le programme"},
      {{"--reponses", "FICHIER"}, "", {lecteur}, 2, "", "il manque « -- »", false},
      {{"FICHIER"}, "Nom ? {{Ada\n", {lecteur}, 2, "", "ligne 1 : « {{ » sans « }} »"},
      {{"--reponses", "/nulle/part"}, "", {lecteur}, 2, "", "impossible de lire « /nulle/part »"},
      {{"--reponses", "/"}, "", {lecteur}, 2, "", "impossible de lire « / » : c'est un dossier"},
      {{"--delai", "zero", "FICHIER"}, "", {lecteur}, 2, "", "--delai"},
  };
  for (const auto& c : cas) {
    const aides::FichierTemporaire fichier(c.fichier);
    std::vector<std::string> argv{repondre};
    for (const auto& o : c.options) argv.push_back(o == "FICHIER" ? fichier.nom() : o);
    if (c.separateur) argv.push_back("--");
    argv.insert(argv.end(), c.programme.begin(), c.programme.end());
    const auto e = executer(argv, Entree::vide, "", std::chrono::seconds(30));
    const std::string quoi = c.programme.empty() ? "?" : c.programme.back();
    ASSERT_TRUE(e.termine) << quoi;
    EXPECT_EQ(e.statut, c.statut) << quoi << ": " << e.erreurs;
    if (c.sortie != "*") EXPECT_EQ(e.sortie, c.sortie) << quoi;
    if (c.erreur.empty())
      EXPECT_EQ(e.erreurs, "") << quoi;
    else
      EXPECT_NE(e.erreurs.find(c.erreur), std::string::npos) << quoi << ": " << e.erreurs;
  }
}

}  // namespace
