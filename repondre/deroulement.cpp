#include "deroulement.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "programme.h"

namespace {

using namespace std::chrono_literals;
using horloge = std::chrono::steady_clock;

constexpr int kFinsDEntreeDeSuite = 10;  // then the program is taken to be looping
constexpr std::size_t kSortieMax = std::size_t{4} * 1024 * 1024;  // 4 Mo of output at most
constexpr auto kLectureDeLaFin = 2s;  // to read what is left once it has exited

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

}  // namespace

Arret::Arret() {
  sigemptyset(&signaux_);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signaux_, s);
  sigprocmask(SIG_BLOCK, &signaux_, nullptr);
}

int Arret::recu() const {
  const timespec aussitot{};
  const int s = sigtimedwait(&signaux_, nullptr, &aussitot);
  return s > 0 ? s : 0;
}

void Arret::mourir(int numero) const {
  std::signal(numero, SIG_DFL);
  sigprocmask(SIG_UNBLOCK, &signaux_, nullptr);
  std::raise(numero);
  std::_Exit(128 + numero);  // cppcheck-suppress unreachableCode ; raise() returns if it fails
}

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

Deroulement derouler(const Reglages& reglages, const Transcript& reponses, bool finsSiEpuisees,
                     const Arret& arret) {
  Lancement lancement;
  lancement.erreursSurLeTerminal = true;  // as the screen shows it
  lancement.echo = false;                 // the transcript writes each answer itself
  lancement.chercherDansPath = true;
  lancement.environnementStable = true;
  lancement.memoire = reglages.memoire;
  Programme p(reglages.programme, Entree::terminal, "", lancement);
  Deroulement d;
  if (const int erreur = p.erreurDeLancement()) {
    d.erreurDeLancement = erreur;
    d.raison = "impossible de lancer « " + reglages.programme[0] + " » : " + pourquoi(erreur);
    return d;
  }
  std::size_t copie = 0;  // how much of the output is in the transcript
  const auto recopier = [&] {
    if (p.sortie().size() > copie)
      d.transcript.push_back({Morceau::texte, p.sortie().substr(copie)});
    copie = p.sortie().size();
  };
  const auto delai =
      std::chrono::duration_cast<horloge::duration>(std::chrono::duration<double>(reglages.delai));
  auto limite = horloge::now() + delai;
  const auto arreter = [&](const std::string& court, const std::string& pourquoi) {
    p.tuerTout();
    d.raison = court;
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
      arreter("écrit sans fin", "le programme écrit sans fin (plus de 4 Mo) : arrêté");
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
        arreter("boucle sur la fin de l'entrée", "le programme attend encore après " +
                                                     std::to_string(kFinsDEntreeDeSuite) +
                                                     " fins d'entrée de suite : il boucle, arrêté");
        break;
      }
      d.transcript.push_back(reponse);
      if (!fin) d.transcript.push_back({Morceau::texte, "\n"});
      limite = horloge::now() + delai;
      if (!p.taper(fin ? "\x04" : reponse.contenu + "\n",
                   std::chrono::duration_cast<std::chrono::milliseconds>(delai)))
        arreter("ne lit pas", "le programme ne lit pas ce qui lui est tapé : arrêté");
    } else if (const int refus = p.refusDeProc()) {
      arreter(
          "/proc ne dit pas ce qu'il attend",
          "impossible de savoir si le programme attend une réponse : /proc refuse de le dire (" +
              pourquoi(refus) +
              " ; un programme setuid ou non « dumpable », ptrace_scope, un bac à sable)");
    }
    if (horloge::now() > limite && d.echec.empty()) {
      std::ostringstream secondes;
      secondes << reglages.delai;
      arreter(
          "ni attente ni fin en " + secondes.str() + " s",
          "le programme n'a ni attendu de réponse ni fini en " + secondes.str() + " s : arrêté");
    }
  }
  if (d.echec.empty()) p.finir(kLectureDeLaFin);
  p.tuerTout();  // what it left running
  recopier();
  d.transcript = ecranDe(d.transcript);
  if (const int signal = p.signalDeFin(); signal != 0 && d.echec.empty() && !d.enAttenteDePlus) {
    const std::string quel = std::to_string(signal) + " (" + nomDuSignal(signal) + ")";
    d.raison = "tué par le signal " + quel;
    d.echec = "le programme a été tué par le signal " + quel;
  }
  d.statut = p.statut();
  return d;
}
