// The repondre command, run as a teacher runs it; its standard input is /dev/null.
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "aides.h"
#include "gtest/gtest.h"
#include "programme.h"

namespace {

using namespace std::chrono_literals;

const std::string repondre = REPONDRE;
const std::string lecteur = LECTEUR_C;  // a C program with many modes (tests/repondre/lecteur.c)
const std::string questionnaire = std::string(EXEMPLES_CONSTRUITS) + "/questionnaire";

// The processes running `lecteur MODE`.
int processusEnMode(const std::string& mode) {
  int n = 0;
  for (const auto& entree : std::filesystem::directory_iterator("/proc")) {
    std::string ligne;
    if (lireFichierEntier(entree.path().string() + "/cmdline", ligne) != 0) continue;
    if (ligne == lecteur + '\0' + mode + '\0') ++n;
  }
  return n;
}

// Whether a process of the run started as `racine`, other than it, is blocked in a read.
bool unDescendantLit(pid_t racine) {
  for (const Fil& fil : filsDuLancement(racine)) {
    std::string appel;
    lireFichierEntier(
        "/proc/" + std::to_string(fil.pid) + "/task/" + std::to_string(fil.tid) + "/syscall",
        appel);
    if (fil.pid != racine && std::strtol(appel.c_str(), nullptr, 10) == SYS_read) return true;
  }
  return false;
}

TEST(Repondre, ScripteEtCorrigeDesProgrammesDeConsole) {
  std::string transcript;
  ASSERT_EQ(lireFichierEntier(std::string(EXEMPLES) + "/questionnaire.attendu", transcript), 0);
  const std::string reponsesQuestionnaire = "0\r\n30 ans\r\n\n20,5\n12,5\nAda\nx\np\no";
  auto remplacer = [&](std::string ancien, std::string nouveau) {
    std::string t = transcript;
    return t.replace(t.find(ancien), ancien.size(), nouveau);
  };
  const aides::FichierTemporaire donnees("juste des mots\n");  // a data file with the exec bit
  chmod(donnees.nom().c_str(), 0755);
  // Root reads any process's waits: without CAP_SYS_PTRACE, not a non-dumpable one's.
  const std::vector<std::string> sansPtrace =
      geteuid() == 0 ? std::vector<std::string>{"setpriv", "--bounding-set=-sys_ptrace",
                                                "--inh-caps=-sys_ptrace", "--"}
                     : std::vector<std::string>{};
  const std::string deuxEntiers = "Premier : {{4}}\nSecond : {{5}}\n9\n";
  // Folders of cases, named in a row's options and prefix by their key; OBTENU is a folder
  // that does not exist yet.
  const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>
      dossiers = {
          {"CLASSE",
           {{"a.attendu", "Nombre ? {{42}}\nNom ? {{Ada}}\n42 Ada\n"},
            {"b.attendu", "Nombre ? {{7}}\nNom ? {{Bob}}\n7  bob\n"},
            {"c.attendu", "Nombre ? {{1}}\nNom ? {{Zoe}}\n0,95 Zoe\n"},
            {"notes.txt", "pas un cas"}}},
          {"VIDE", {}},
          {"DOUBLE", {{"a.attendu", "Nombre ? {{5}}\n"}}},
          {"MAL", {{"m.attendu", "Nom ? {{Ada\n"}}},
          {"MEMOIRE", {{"m.attendu", "allocation impossible\n"}}},
          {"ACCENTS", {{"c.attendu", "CAF\xC3\x89  SERVI\n\n"}}},
      };
  const std::string tousReussis = "a : réussi\nb : réussi\nc : réussi\nréussis : 3/3\n";
  const std::vector<std::string> tolerant = {"--espaces", "--casse", "--tolerance", "0,05"};
  const auto avec = [](std::vector<std::string> options, const std::vector<std::string>& plus) {
    options.insert(options.end(), plus.begin(), plus.end());
    return options;
  };
  const auto puisLeFichier = [](const std::string& fichier) {  // repondre, then cat FICHIER
    return std::vector<std::string>{"sh", "-c", "\"$@\"; s=$?; cat " + fichier + "; exit $s", "sh"};
  };
  const std::vector<std::string> lireLeJunit = {
      "sh", "-c",
      "\"$@\" | python3 -c 'import sys, xml.dom.minidom as m; "
      "print(m.parse(sys.stdin).documentElement.getAttribute(\"failures\"))'",
      "sh"};
  struct Cas {
    std::vector<std::string> options;  // before "--"; FICHIER stands for the file below
    std::string fichier;               // answers or a transcript
    std::vector<std::string> programme;
    int statut;
    std::string sortie;                     // exactly; "*TEXT": TEXT is in it
    std::string erreur;                     // found in the error stream ("" for an empty one)
    bool separateur = true;                 // "--" before the program
    std::vector<std::string> prefixe = {};  // what runs repondre (env, setpriv)
    int fois = 1;                           // runs, each with the same result
    int signal = 0;         // sent to repondre once the program reads; it dies of it
    std::string survivant;  // a mode of lecteur that must be left running by nobody
    bool relire = false;    // the transcript written checks back as equal
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
      // Past the answers, Ctrl-D; the status is said, not an error; answers left are said.
      {{"--reponses", "FICHIER"},
       "30\n",
       {questionnaire},
       0,
       "Votre age [18] : {{30}}\nVotre note sur 20 : {{^D}}\nfin de l'entree\n",
       "statut 2"},
      {{"--reponses", "FICHIER"}, "", {lecteur, "statut127"}, 0, "", "statut 127"},
      {{"--reponses", "FICHIER"},
       "42\nAda\nen trop\nencore\n",
       {lecteur},
       0,
       "*",
       "2 réponses non utilisées, la première : « en trop »"},
      {{"--reponses", "FICHIER"}, "^D\n", {lecteur}, 0, "Nombre ? {{^D}}", "statut 1"},
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
      // Only a wait for input on the terminal is a wait: not a sleep in poll, a thread
      // polling a pipe, an epoll on a timer, nor a background process stopped on its read.
      {{"--reponses", "FICHIER"}, "4\n5\n", {lecteur, "dort"}, 0, "Calcul...\n" + deuxEntiers, ""},
      {{"--reponses", "FICHIER"}, "4\n5\n", {lecteur, "filpoll"}, 0, deuxEntiers, ""},
      {{"--reponses", "FICHIER"}, "4\n5\n", {lecteur, "epoll"}, 0, deuxEntiers, ""},
      {{"--reponses", "FICHIER"}, "4\n5\n", {lecteur, "arriere"}, 0, deuxEntiers, ""},
      // ... but poll, select, epoll and readv on it are, /dev/tty is the terminal, and a
      // process that leaves the session is still watched.
      {{"--reponses", "FICHIER"},
       "Ada\n",
       {lecteur, "sonde", "poll"},
       0,
       "Nom ? {{Ada}}\nAda\n",
       ""},
      {{"--reponses", "FICHIER"},
       "Ada\n",
       {lecteur, "sonde", "select"},
       0,
       "Nom ? {{Ada}}\nAda\n",
       ""},
      {{"--reponses", "FICHIER"},
       "Ada\n",
       {lecteur, "sonde", "epoll"},
       0,
       "Nom ? {{Ada}}\nAda\n",
       ""},
      {{"--reponses", "FICHIER"},
       "Ada\n",
       {lecteur, "sonde", "readv"},
       0,
       "Nom ? {{Ada}}\nAda\n",
       ""},
      {{"--reponses", "FICHIER"}, "Ada\n", {lecteur, "tty"}, 0, "Nom ? {{Ada}}\nAda\n", ""},
      {{"--reponses", "FICHIER"},
       "7\nBob",
       {lecteur, "evade"},
       0,
       "Nombre ? {{7}}\nNom ? {{Bob}}\n7 Bob\n",
       ""},
      {{"--reponses", "FICHIER"}, "", {lecteur, "orphelin"}, 0, "", "", true, {}, 1, 0, "orphelin"},
      // Where /proc does not say what the program waits for, repondre says so at once.
      {{"--reponses", "FICHIER"},
       "42\n",
       {lecteur, "nondumpable"},
       2,
       "*",
       "/proc refuse de le dire (permission refusée",
       true,
       sansPtrace},
      // A prompt written 5 ms after the read starts: the same transcript every time.
      {{"FICHIER"}, "Nom ? {{Ada}}\nAda\n", {lecteur, "tardif"}, 0, "", "", true, {}, 30},
      // ... and typed at most 100 ms after the wait is seen, even while the program writes.
      {{"--delai", "1", "--reponses", "FICHIER"}, "Ada\n", {lecteur, "horloge"}, 0, "*{{Ada}}", ""},
      // What --reponses writes reads back: braces and backslashes escaped, its own CR LF.
      {{"--reponses", "FICHIER"},
       "x}\n\\^D\n",
       {lecteur, "accolades"},
       0,
       "Objet \\{{{x\\}}}\nx}]\n\\{{^D}} a\\\\{b }} c\\\nFin \\\\{{\\^D}}\n^D.\n",
       "",
       true,
       {},
       1,
       0,
       "",
       true},
      {{"--reponses", "FICHIER"},
       "Ada\n",
       {lecteur, "crlf"},
       0,
       "Nom :\n{{Ada}}\nAda\n",
       "",
       true,
       {},
       1,
       0,
       "",
       true},
      // Answers a terminal in line mode cannot take are refused before the run.
      {{"--reponses", "FICHIER"},
       "42\na\x01z\n",
       {lecteur},
       2,
       "",
       "ligne 2 : la réponse contient le caractère de contrôle \\x01"},
      {{"--reponses", "FICHIER"},
       std::string(20000, 'x'),
       {lecteur, "brut"},
       2,
       "",
       "ligne 1 : la réponse fait 20000 octets, plus qu'une ligne de terminal (4095)"},
      {{"FICHIER"}, "Nom ? {{a\x7f}}\n", {lecteur}, 2, "", "ligne 1 : la réponse contient"},
      {{"--delai", "2", "--reponses", "FICHIER"},
       std::string(4095, 'x'),
       {lecteur, "brut"},
       0,
       "*",
       ""},
      // What differs is shown with what cannot be seen, never a character cut.
      {{"FICHIER"},
       "Nombre ? {{42}}\nNom ? {{Ada}}\n42 Ada \n",
       {lecteur},
       1,
       "",
       "  attendu : « 42 Ada\xC2\xB7 »\n  obtenu  : « 42 Ada »"},
      {{"FICHIER"},
       "Caf\xC3\xA9 servi\n",
       {lecteur, "sansfin"},
       1,
       "",
       "  obtenu  : « Caf\xC3\xA9 servi » (sans saut de ligne à la fin)"},
      {{"FICHIER"},
       "Caf\xC3\xA8 servi",
       {lecteur, "sansfin"},
       1,
       "",
       "juste après « Caf » : attendu « \xC3\xA8 servi », obtenu « \xC3\xA9 servi »"},
      // The program's environment is the same whatever the caller's.
      {{"--reponses", "FICHIER"},
       "",
       {lecteur, "env"},
       0,
       "xterm-256color 80 24 C.UTF-8 - 12.5\n",
       "",
       true,
       {"env", "TERM=dumb", "LANGUAGE=fr", "LC_ALL=fr_FR.UTF-8", "COLUMNS=132"}},
      // Programs that fail: the transcript so far, then why.
      {{"--delai", "0.3", "--reponses", "FICHIER"},
       "",
       {lecteur, "boucle"},
       2,
       "Calcul\n",
       "ni attendu de réponse ni fini en 0.3 s"},
      {{"--reponses", "FICHIER"}, "", {lecteur, "plante"}, 2, "Avant\n", "signal 11 (SIGSEGV"},
      {{"--reponses", "FICHIER"}, "a\n", {lecteur, "relit"}, 2, "*", "10 fins d'entrée de suite"},
      {{"--reponses", "FICHIER"}, "", {lecteur, "bavard"}, 2, "*", "plus de 4 Mo"},
      {{"--reponses", "FICHIER"},
       "",
       {"repondre-introuvable"},
       127,
       "",
       "« repondre-introuvable » : introuvable"},
      {{"--reponses", "FICHIER"}, "", {donnees.nom()}, 127, "", "ce n'est pas un exécutable"},
      {{"--reponses", "FICHIER"}, "", {"/tmp"}, 127, "", "« /tmp » : c'est un dossier"},
      // repondre stopped: the run is killed first, then repondre dies of the same signal.
      {{"--reponses", "FICHIER"},
       "",
       {lecteur, "tenace"},
       -1,
       "",
       "*",
       true,
       {},
       1,
       SIGTERM,
       "tenace"},
      {{"--reponses", "FICHIER"},
       "",
       {lecteur, "tenace"},
       -1,
       "",
       "*",
       true,
       {},
       1,
       SIGINT,
       "tenace"},
      {{"--reponses", "FICHIER"},
       "",
       {lecteur, "tenace"},
       -1,
       "",
       "*",
       true,
       {},
       1,
       SIGHUP,
       "tenace"},
      // Several cases: a report, tolerant comparisons, every format.
      {{"CLASSE"},
       "",
       {lecteur},
       1,
       "*  l'écran obtenu juste avant :\n    « Nombre ? {{7}} »\n    « Nom ? {{Bob}} »\nc : échoué "
       "(différence à la ligne 3)\n",
       ""},
      {avec(tolerant, {"CLASSE"}),
       "",
       {lecteur},
       0,
       "options : --espaces --casse --tolerance 0,05\n" + tousReussis,
       ""},
      {avec(tolerant, {"-j", "2", "CLASSE"}),
       "",
       {lecteur},
       0,
       "options : --espaces --casse --tolerance 0,05\n" + tousReussis,
       ""},
      {{"--espaces", "--tolerance", "1", "CLASSE"},
       "",
       {lecteur},
       1,
       "*b : échoué (différence",
       ""},
      {{"--casse", "--tolerance", "1", "CLASSE"}, "", {lecteur}, 1, "*b : échoué (différence", ""},
      {{"--espaces", "--casse", "--tolerance", "0.04", "CLASSE"},
       "",
       {lecteur},
       1,
       "*b : réussi\nc : échoué",
       ""},
      {avec(tolerant, {"--statut", "3", "CLASSE"}),
       "",
       {lecteur},
       1,
       "*a : échoué (statut 0, attendu 3)",
       ""},
      {{"--format", "tap", "CLASSE"},
       "",
       {lecteur},
       1,
       "*TAP version 13\n1..3\nok 1 - a\nnot ok 2 - b\n  ---\n  message: \"échoué (différence à "
       "la ligne 3)\"\n  difference: |\n    première différence à la ligne 3",
       ""},
      {{"--format", "junit", "CLASSE"}, "", {lecteur}, 0, "2\n", "", true, lireLeJunit},
      {{"--format", "vpl", "CLASSE"},
       "",
       {lecteur},
       1,
       "*--|>\nGrade :=>>3.33\n",
       "",
       true,
       {"env", "VPL_GRADEMIN=0", "VPL_GRADEMAX=10"}},
      {{"--format", "vpl", "CLASSE"},
       "",
       {lecteur},
       1,
       "*Comment :=>>VPL_GRADEMIN absente ou pas un nombre : 0\n",
       "",
       true,
       {"env", "-u", "VPL_GRADEMIN", "VPL_GRADEMAX=10"}},
      {{"--format", "vpl", "CLASSE"},
       "",
       {lecteur},
       1,
       "*--|>\nComment :=>>pas de note : VPL_GRADEMIN (5) n'est pas sous VPL_GRADEMAX (5)\n",
       "",
       true,
       {"env", "VPL_GRADEMIN=5", "VPL_GRADEMAX=5.0"}},
      {{"--format", "csv", "--entete", "--nom", "Ada; L.", "CLASSE"},
       "",
       {lecteur},
       1,
       "nom;a;b;c;reussis;total\n\"Ada; L.\";1;0;0;1;3\n",
       ""},
      {{"--format", "vpl", "CLASSE"},
       "",
       {"repondre-introuvable"},
       127,
       "*c : échoué (impossible de lancer « repondre-introuvable » : introuvable)\n--|>\nGrade "
       ":=>>0\n",
       "",
       true,
       {"env", "VPL_GRADEMIN=0", "VPL_GRADEMAX=10"}},
      {{"--espaces", "--casse", "ACCENTS"}, "", {lecteur, "sansfin"}, 0, "*c : réussi", ""},
      {{"--espaces", "ACCENTS"}, "", {lecteur, "sansfin"}, 1, "*c : échoué", ""},
      // What the student saw, and a memory limit.
      {{"--obtenu", "OBTENU", "CLASSE"},
       "",
       {lecteur},
       1,
       "*réussis : 1/3\nNombre ? {{7}}\nNom ? {{Bob}}\n7 Bob\n",
       "",
       true,
       puisLeFichier("OBTENU/b.obtenu")},
      {{"--memoire", "64", "MEMOIRE"}, "", {lecteur, "memoire"}, 0, "*m : réussi", ""},
      {{"MEMOIRE/m.attendu"},
       "",
       {lecteur, "memoire"},
       1,
       "",
       "attendu : « allocation impossible »"},
      // Cases that cannot be used, options that do not go together: status 2.
      {{"CLASSE", "VIDE"}, "", {lecteur}, 2, "", "VIDE » n'a aucun fichier .attendu"},
      {{"CLASSE", "DOUBLE"}, "", {lecteur}, 2, "", "deux cas portent le nom « a »"},
      {{"MAL"}, "", {lecteur}, 2, "", "m.attendu, ligne 1 : « {{ » sans « }} »"},
      {{"--format", "xml", "CLASSE"}, "", {lecteur}, 2, "", "--format : texte, tap"},
      {{"-j", "0", "CLASSE"}, "", {lecteur}, 2, "", "-j : un entier de 1 à 64"},
      {{"-j", "65", "CLASSE"}, "", {lecteur}, 2, "", "-j : un entier de 1 à 64"},
      {{"--tolerance", "0.", "CLASSE"}, "", {lecteur}, 2, "", "--tolerance"},
      {{"--memoire", "0", "CLASSE"}, "", {lecteur}, 2, "", "--memoire"},
      {{"--entete", "CLASSE"}, "", {lecteur}, 2, "", "--entete vont avec --format csv"},
      {{"--casse", "--casse", "CLASSE"},
       "",
       {lecteur},
       2,
       "",
       "option donnée deux fois : « --casse »"},
      {{"--reponses", "FICHIER", "CLASSE"},
       "",
       {lecteur},
       2,
       "",
       "--reponses ne va pas avec des CAS"},
      {{"--obtenu", "CLASSE", "CLASSE"}, "", {lecteur}, 2, "", "est un dossier de cas"},
      {{"-j", "2", "CLASSE"}, "", {lecteur, "tube"}, -1, "", "*", true, {}, 1, SIGTERM, "tube"},
      // Usage: a clear message and status 2.
      {{"--reponses", "FICHIER"}, "", {}, 2, "", "il manque le programme"},
      {{"--reponses", "FICHIER"}, "", {lecteur}, 2, "", "il manque « -- »", false},
      {{"FICHIER"}, "Nom ? {{Ada\n", {lecteur}, 2, "", "ligne 1 : « {{ » sans « }} »"},
      {{"--reponses", "/nulle/part"}, "", {lecteur}, 2, "", "impossible de lire « /nulle/part »"},
      {{"--reponses", "/"}, "", {lecteur}, 2, "", "impossible de lire « / » : c'est un dossier"},
      {{"--delai", "zero", "FICHIER"}, "", {lecteur}, 2, "", "--delai"},
      {{"--delai", "1e10", "FICHIER"}, "", {lecteur}, 2, "", "au plus un jour"},
      {{"--delai", "86401", "FICHIER"}, "", {lecteur}, 2, "", "au plus un jour"},
      {{"--delai", "inf", "FICHIER"}, "", {lecteur}, 2, "", "au plus un jour"},
      {{"--delai", "nan", "FICHIER"}, "", {lecteur}, 2, "", "au plus un jour"},
  };
  const auto racine =
      std::filesystem::temp_directory_path() / ("outils-cas-" + std::to_string(getpid()));
  for (const auto& [cle, fichiers] : dossiers) {
    std::filesystem::create_directories(racine / cle);
    for (const auto& [nom, contenu] : fichiers)
      std::ofstream(racine / cle / nom, std::ios::binary) << contenu;
  }
  const auto chemin = [&](const std::string& o, const std::string& fichier) {
    std::string r = o == "FICHIER" ? fichier : o;
    for (const std::string cle :
         {"CLASSE", "VIDE", "DOUBLE", "MAL", "MEMOIRE", "ACCENTS", "OBTENU"})
      if (r.rfind(cle, 0) == 0 || r.find(" " + cle) != std::string::npos)
        r.replace(r.find(cle), cle.size(), (racine / cle).string());
    return r;
  };
  for (const auto& c : cas) {
    const aides::FichierTemporaire fichier(c.fichier);
    std::filesystem::remove_all(racine / "OBTENU");
    std::vector<std::string> argv;
    for (const auto& o : c.prefixe) argv.push_back(chemin(o, fichier.nom()));
    argv.push_back(repondre);
    for (const auto& o : c.options) argv.push_back(chemin(o, fichier.nom()));
    if (c.separateur) argv.push_back("--");
    argv.insert(argv.end(), c.programme.begin(), c.programme.end());
    const std::string quoi = c.programme.empty() ? "?" : c.programme.back();
    for (int fois = 0; fois < c.fois; ++fois) {
      Lancement lancement;
      lancement.chercherDansPath = true;  // env, setpriv
      Programme p(argv, Entree::vide, "", lancement);
      if (c.signal != 0) {
        const auto fin = std::chrono::steady_clock::now() + 5s;
        while (!unDescendantLit(p.pid()) && std::chrono::steady_clock::now() < fin)
          p.lireDisponible(5ms);
        p.signaler(c.signal);
      }
      ASSERT_TRUE(p.finir(30s)) << quoi;
      EXPECT_EQ(p.signalDeFin(), c.signal) << quoi;
      EXPECT_EQ(p.statut(), c.statut) << quoi << ": " << p.erreurs();
      if (c.sortie.rfind('*', 0) == 0)  // "*TEXT": TEXT is in the output
        EXPECT_NE(p.sortie().find(c.sortie.substr(1)), std::string::npos)
            << quoi << ": " << p.sortie();
      else
        EXPECT_EQ(p.sortie(), c.sortie) << quoi;
      if (c.erreur.empty())
        EXPECT_EQ(p.erreurs(), "") << quoi;
      else if (c.erreur != "*")
        EXPECT_NE(p.erreurs().find(c.erreur), std::string::npos) << quoi << ": " << p.erreurs();
      if (c.relire) {
        const aides::FichierTemporaire ecrit(p.sortie());
        std::vector<std::string> verifier{repondre, ecrit.nom(), "--"};
        verifier.insert(verifier.end(), c.programme.begin(), c.programme.end());
        const auto e = executer(verifier, Entree::vide, "", 30s);
        EXPECT_EQ(e.statut, 0) << quoi << " read back: " << e.erreurs;
      }
    }
    if (!c.survivant.empty()) EXPECT_EQ(processusEnMode(c.survivant), 0) << quoi;
  }
  std::filesystem::remove_all(racine);
}

}  // namespace
