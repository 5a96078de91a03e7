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
// program killed by a signal, looping, writing without end, or one whose
// waits /proc does not show; 127 a program that cannot be started. Killed by
// SIGTERM, SIGINT or SIGHUP, it kills the run first, then dies of the signal.
// The guide: docs/repondre.md.

#include <sys/prctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
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
constexpr double kDelaiMax = 86400;   // a day: --delai is refused past it

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
      if (texte.empty() || *fin || !std::isfinite(a.delai) || !(a.delai > 0) || a.delai > kDelaiMax)
        echouer(2,
                "--delai : un nombre de secondes de plus de 0 et d'au plus un jour (" +
                    std::to_string(static_cast<int>(kDelaiMax)) + "), pas « " + texte + " »",
                true);
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

// Why a program could not be started, in French.
std::string pourquoi(int erreur) {
  switch (erreur) {
    case ENOENT:
      return "introuvable";
    case EACCES:
    case EPERM:
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

// SIGTERM, SIGINT and SIGHUP, held from the start and looked at while the
// program runs: the run is killed before repondre dies of the same signal.
class Arret {
 public:
  Arret() {
    sigemptyset(&signaux_);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signaux_, s);
    sigprocmask(SIG_BLOCK, &signaux_, nullptr);
  }
  // The signal received, or 0.
  int recu() const {
    const timespec aussitot{};
    const int s = sigtimedwait(&signaux_, nullptr, &aussitot);
    return s > 0 ? s : 0;
  }
  [[noreturn]] void mourir(int numero) const {
    std::signal(numero, SIG_DFL);
    sigprocmask(SIG_UNBLOCK, &signaux_, nullptr);
    std::raise(numero);
    std::_Exit(128 + numero);  // cppcheck-suppress unreachableCode ; raise() returns if it fails
  }

 private:
  sigset_t signaux_{};
};

// A run of the program, typing `reponses` in turn; with `finsSiEpuisees`,
// each wait past them gets Ctrl-D, else it ends the run.
struct Deroulement {
  Transcript transcript;
  std::size_t utilisees = 0;
  bool enAttenteDePlus = false;  // it waited for an answer past the last one
  int statut = -1;
  std::string echec;  // why the run was stopped (status 2), or ""
};

Deroulement derouler(const Arguments& a, const Transcript& reponses, bool finsSiEpuisees,
                     const Arret& arret) {
  Lancement lancement;
  lancement.erreursSurLeTerminal = true;  // as the screen shows it
  lancement.echo = false;                 // the transcript writes each answer itself
  lancement.chercherDansPath = true;
  lancement.environnementStable = true;
  Programme p(a.programme, Entree::terminal, "", lancement);
  if (const int erreur = p.erreurDeLancement())
    echouer(127, "impossible de lancer « " + a.programme[0] + " » : " + pourquoi(erreur));
  Deroulement d;
  std::size_t copie = 0;  // how much of the output is in the transcript
  const auto recopier = [&] {
    if (p.sortie().size() > copie)
      d.transcript.push_back({Morceau::texte, p.sortie().substr(copie)});
    copie = p.sortie().size();
  };
  const auto delai =
      std::chrono::duration_cast<horloge::duration>(std::chrono::duration<double>(a.delai));
  auto limite = horloge::now() + delai;
  const auto arreter = [&](const std::string& pourquoi) {
    p.tuerTout();
    d.echec = pourquoi;
  };
  int finsDeSuite = 0;
  while (!p.aFini() && d.echec.empty()) {
    if (const int signal = arret.recu()) {
      p.tuerTout();
      arret.mourir(signal);
    }
    p.lireDisponible(2ms);
    if (p.sortie().size() > kSortieMax) {
      arreter("le programme écrit sans fin (plus de 4 Mo) : arrêté");
    } else if (p.attendUneReponse()) {
      p.lireDisponible(0ms);
      recopier();
      const bool epuisees = d.utilisees >= reponses.size();
      if (epuisees && !finsSiEpuisees) {
        d.enAttenteDePlus = true;
        p.tuerTout();
        break;
      }
      const Morceau reponse = epuisees ? Morceau{Morceau::finDEntree, ""} : reponses[d.utilisees++];
      const bool fin = reponse.sorte == Morceau::finDEntree;
      finsDeSuite = fin ? finsDeSuite + 1 : 0;
      if (finsDeSuite > kFinsDEntreeDeSuite) {
        arreter("le programme attend encore après " + std::to_string(kFinsDEntreeDeSuite) +
                " fins d'entrée de suite : il boucle, arrêté");
        break;
      }
      d.transcript.push_back(reponse);
      if (!fin) d.transcript.push_back({Morceau::texte, "\n"});
      limite = horloge::now() + delai;
      if (!p.taper(fin ? "\x04" : reponse.contenu + "\n",
                   std::chrono::duration_cast<std::chrono::milliseconds>(delai)))
        arreter("le programme ne lit pas ce qui lui est tapé : arrêté");
    } else if (const int refus = p.refusDeProc()) {
      arreter(std::string("impossible de savoir si le programme attend une réponse : /proc "
                          "refuse de le dire (") +
              pourquoi(refus) +
              " ; un programme setuid ou non « dumpable », ptrace_scope, un bac à sable)");
    }
    if (horloge::now() > limite && d.echec.empty()) {
      std::ostringstream secondes;
      secondes << a.delai;
      arreter("le programme n'a ni attendu de réponse ni fini en " + secondes.str() +
              " s : arrêté");
    }
  }
  if (d.echec.empty()) p.finir(kLectureDeLaFin);
  p.tuerTout();  // what it left running
  recopier();
  d.transcript = ecranDe(d.transcript);
  if (const int signal = p.signalDeFin(); signal != 0 && d.echec.empty() && !d.enAttenteDePlus)
    d.echec = "le programme a été tué par le signal " + std::to_string(signal) + " (" +
              nomDuSignal(signal) + ")";
  d.statut = p.statut();
  return d;
}

int ecrireLesReponses(const Arguments& a, const Arret& arret) {
  Transcript reponses;
  std::string erreur;
  if (!lireReponses(lireFichier(*a.reponses), reponses, erreur))
    echouer(2, *a.reponses + ", " + erreur);
  const Deroulement d = derouler(a, reponses, true, arret);
  std::cout << ecrireTranscript(d.transcript) << std::flush;
  if (!d.echec.empty()) echouer(2, d.echec);
  if (d.statut != 0)
    std::cerr << "repondre: le programme a fini avec le statut " << d.statut << '\n';
  if (const std::size_t restantes = reponses.size() - std::min(d.utilisees, reponses.size()))
    std::cerr << "repondre: " << restantes
              << (restantes == 1 ? " réponse non utilisée" : " réponses non utilisées")
              << ", la première : « " << visible(reponses[d.utilisees].contenu) << " »\n";
  return 0;
}

int verifierLeTranscript(const Arguments& a, const Arret& arret) {
  Transcript attendu;
  std::string erreur;
  if (!lireTranscript(lireFichier(*a.transcript), attendu, erreur))
    echouer(2, *a.transcript + ", " + erreur);
  attendu = ecranDe(attendu);
  Transcript reponses;
  std::copy_if(attendu.begin(), attendu.end(), std::back_inserter(reponses),
               [](const Morceau& m) { return m.sorte != Morceau::texte; });
  const Deroulement d = derouler(a, reponses, false, arret);
  if (!d.echec.empty()) echouer(2, d.echec);
  const std::string difference =
      premiereDifference(ecrireTranscript(attendu), ecrireTranscript(d.transcript));
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

}  // namespace

int main(int argc, char** argv) {
  const Arguments a = analyser(argc, argv);
  // The run's orphans, and processes that leave its session, stay this
  // process's descendants: watched, and killed at the end.
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  const Arret arret;
  return a.reponses ? ecrireLesReponses(a, arret) : verifierLeTranscript(a, arret);
}
