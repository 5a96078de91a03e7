// repondre: runs a console program on a pseudo-terminal and types each answer
// once the program waits for one, so that every prompt gets its own answer
// whatever it discards first; writes the transcript, or checks it.
//
//   repondre [--delai SECONDES] --reponses FICHIER -- PROGRAMME [ARGUMENTS...]
//   repondre [--delai SECONDES] [--statut N] TRANSCRIPT -- PROGRAMME [ARGUMENTS...]
//
// Exit: 0 done (with --reponses: the program ended by itself, whatever its
// status; with a transcript: the same screen, and status N if asked); 1 a
// transcript that differs; 2 usage, an unreadable file, a delay passed, a
// program killed by a signal, looping or writing without end; 127 a program
// that cannot be started.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "programme.h"
#include "transcript.h"

namespace {

using namespace std::chrono_literals;
using horloge = std::chrono::steady_clock;

constexpr int kFinsDEntreeDeSuite = 10;  // then the program is taken to be looping
constexpr std::size_t kSortieMax = std::size_t{4} * 1024 * 1024;  // 4 Mo of output at most
constexpr auto kLectureDeLaFin = 2s;  // to read what is left once it has exited

const char* const kUsage =
    "usage : repondre [--delai SECONDES] --reponses FICHIER -- PROGRAMME [ARGUMENTS...]\n"
    "        repondre [--delai SECONDES] [--statut N] TRANSCRIPT -- PROGRAMME [ARGUMENTS...]\n";

struct Arguments {
  double delai = 10;
  std::optional<std::string> reponses, transcript;
  std::optional<int> statut;
  std::vector<std::string> programme;
};

[[noreturn]] void echouer(int code, const std::string& message, bool usage = false) {
  std::cerr << "repondre: " << message << '\n';
  if (usage) std::cerr << kUsage;
  std::exit(code);
}

Arguments analyser(int argc, char** argv) {
  Arguments a;
  int i = 1;
  const auto valeur = [&](const std::string& option) {
    if (i + 1 >= argc) echouer(2, option + " sans valeur", true);
    return std::string(argv[++i]);
  };
  for (; i < argc && std::string(argv[i]) != "--"; ++i) {
    const std::string arg = argv[i];
    char* fin = nullptr;
    if (arg == "--delai") {
      const std::string texte = valeur(arg);
      a.delai = std::strtod(texte.c_str(), &fin);
      if (*fin || !(a.delai > 0))
        echouer(2, "--delai : un nombre de secondes positif, pas « " + texte + " »", true);
    } else if (arg == "--statut") {
      const std::string texte = valeur(arg);
      const long n = std::strtol(texte.c_str(), &fin, 10);
      if (*fin || texte.empty() || n < 0 || n > 255)
        echouer(2, "--statut : un entier de 0 à 255, pas « " + texte + " »", true);
      a.statut = static_cast<int>(n);
    } else if (arg == "--reponses") {
      a.reponses = valeur(arg);
    } else if (arg.rfind("--", 0) == 0 || a.transcript) {
      echouer(2, "argument inattendu : « " + arg + " »", true);
    } else {
      a.transcript = arg;
    }
  }
  if (i >= argc) echouer(2, "il manque « -- » avant le programme", true);
  for (++i; i < argc; ++i) a.programme.emplace_back(argv[i]);
  if (a.programme.empty()) echouer(2, "il manque le programme après « -- »", true);
  if (a.reponses.has_value() == a.transcript.has_value())
    echouer(2, "donnez soit --reponses FICHIER, soit un TRANSCRIPT", true);
  if (a.statut && !a.transcript) echouer(2, "--statut va avec un TRANSCRIPT", true);
  return a;
}

// Why a program could not be started, or what a signal is, in French.
std::string pourquoi(int erreur) {
  switch (erreur) {
    case ENOENT:
      return "introuvable";
    case EACCES:
      return "permission refusée";
    case ENOEXEC:
      return "ce n'est pas un exécutable";
    case EISDIR:
      return "c'est un dossier";
    default:
      return std::strerror(erreur);
  }
}

std::string nomDuSignal(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV, accès mémoire interdit";
    case SIGABRT:
      return "SIGABRT, abandon";
    case SIGFPE:
      return "SIGFPE, erreur de calcul";
    case SIGBUS:
      return "SIGBUS, accès mémoire invalide";
    case SIGILL:
      return "SIGILL, instruction illégale";
    case SIGKILL:
      return "SIGKILL";
    case SIGTERM:
      return "SIGTERM";
    default:
      return "signal " + std::to_string(signal);
  }
}

std::string lireFichier(const std::string& nom) {
  std::string contenu;
  if (const int erreur = lireFichierEntier(nom, contenu))
    echouer(2, "impossible de lire « " + nom + " » : " + pourquoi(erreur));
  return contenu;
}

// The program's run, typing `reponses` in turn; with `finsSiEpuisees`, each
// wait past them gets Ctrl-D, else it ends the run. Gives the transcript.
struct Deroulement {
  std::string transcript;
  std::size_t utilisees = 0;
  bool enAttenteDePlus = false;  // it waited for an answer past the last one
  int statut = -1;
};

Deroulement derouler(const Arguments& a, const std::vector<std::string>& reponses,
                     bool finsSiEpuisees) {
  Lancement lancement;
  lancement.erreursSurLeTerminal = true;  // as the screen shows it
  lancement.echo = false;                 // the transcript writes each answer itself
  lancement.chercherDansPath = true;
  Programme p(a.programme, Entree::terminal, "", lancement);
  if (const int erreur = p.erreurDeLancement())
    echouer(127, "impossible de lancer « " + a.programme[0] + " » : " + pourquoi(erreur));
  Deroulement d;
  std::size_t copie = 0;  // how much of the output is in the transcript
  const auto recopier = [&] {
    d.transcript += enFinsDeLigneLF(p.sortie().substr(copie));
    copie = p.sortie().size();
  };
  const auto delai =
      std::chrono::duration_cast<horloge::duration>(std::chrono::duration<double>(a.delai));
  auto limite = horloge::now() + delai;
  int finsDeSuite = 0;
  while (!p.aFini()) {
    const std::size_t avant = p.sortie().size();
    p.lireDisponible(2ms);
    if (p.sortie().size() > kSortieMax) {
      p.tuerTout();
      echouer(2, "le programme écrit sans fin (plus de 4 Mo) : arrêté");
    }
    // A program that has just written is not waiting: /proc is looked at once it is quiet.
    if (p.sortie().size() == avant && p.attendUneReponse()) {
      p.lireDisponible(0ms);
      recopier();
      const bool epuisees = d.utilisees >= reponses.size();
      if (epuisees && !finsSiEpuisees) {
        d.enAttenteDePlus = true;
        p.tuerTout();
        break;
      }
      const std::string reponse = epuisees ? kFinDEntree : reponses[d.utilisees++];
      const bool fin = reponse == kFinDEntree;
      finsDeSuite = fin ? finsDeSuite + 1 : 0;
      if (finsDeSuite > kFinsDEntreeDeSuite) {
        p.tuerTout();
        echouer(2, "le programme attend encore après " + std::to_string(kFinsDEntreeDeSuite) +
                       " fins d'entrée de suite : il boucle, arrêté");
      }
      p.taper(fin ? "\x04" : reponse + "\n");
      d.transcript += "{{" + reponse + "}}" + (fin ? "" : "\n");
      limite = horloge::now() + delai;
    }
    if (horloge::now() > limite) {
      p.tuerTout();
      std::ostringstream secondes;
      secondes << a.delai;
      echouer(
          2, "le programme n'a ni attendu de réponse ni fini en " + secondes.str() + " s : arrêté");
    }
  }
  p.finir(kLectureDeLaFin);
  p.tuerTout();  // what it left running
  recopier();
  if (const int signal = p.signalDeFin(); signal != 0 && !d.enAttenteDePlus)
    echouer(2, "le programme a été tué par le signal " + std::to_string(signal) + " (" +
                   nomDuSignal(signal) + ")");
  d.statut = p.statut();
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  const Arguments a = analyser(argc, argv);
  if (a.reponses) {
    const Deroulement d = derouler(a, reponsesDe(lireFichier(*a.reponses)), true);
    std::cout << d.transcript << std::flush;
    if (d.statut != 0)
      std::cerr << "repondre: le programme a fini avec le statut " << d.statut << '\n';
    return 0;
  }
  const std::string attendu = enFinsDeLigneLF(lireFichier(*a.transcript));
  std::vector<std::string> reponses;
  std::string erreur;
  if (!reponsesDuTranscript(attendu, reponses, erreur)) echouer(2, *a.transcript + ", " + erreur);
  const Deroulement d = derouler(a, reponses, false);
  const std::string difference = premiereDifference(attendu, d.transcript);
  if (!difference.empty()) std::cerr << "repondre: " << difference;
  if (d.enAttenteDePlus)
    std::cerr << "repondre: le programme attend une réponse de plus que les " << reponses.size()
              << " du transcript\n";
  else if (d.utilisees < reponses.size())
    std::cerr << "repondre: le programme a fini après " << d.utilisees << " réponses sur "
              << reponses.size() << '\n';
  if (a.statut && d.statut != *a.statut)
    std::cerr << "repondre: statut " << d.statut << ", attendu " << *a.statut << '\n';
  const bool pareil = difference.empty() && !d.enAttenteDePlus && d.utilisees == reponses.size() &&
                      (!a.statut || d.statut == *a.statut);
  return pareil ? 0 : 1;
}
