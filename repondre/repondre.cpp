// repondre: runs a console program on a pseudo-terminal and types each answer
// once the program waits for one, so that every prompt gets its own answer
// whatever it discards first; writes the transcript, checks it, or reports
// on several cases (arguments.h).
//
// Exit: 0 done (with --reponses: the program ended by itself, whatever its
// status; with cases: every one passed); 1 a case that failed; 2 usage, an
// unreadable file, and, for one transcript or --reponses, a delay passed, a
// program killed by a signal, looping, writing without end, or one whose
// waits /proc does not show; 127 a program that cannot be started. Killed by
// SIGTERM, SIGINT or SIGHUP, it kills the run first, then dies of the signal.
// The guide: docs/repondre.md.
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "cas.h"
#include "deroulement.h"
#include "programme.h"
#include "rapport.h"
#include "transcript.h"

namespace {

namespace fs = std::filesystem;

Reglages reglagesDe(const Arguments& a) {
  return {a.delai, static_cast<unsigned long long>(a.memoire.value_or(0)) << 20, a.programme};
}

int ecrireLesReponses(const Arguments& a, const Arret& arret) {
  std::string contenu, erreur;
  if (const int e = lireFichierEntier(*a.reponses, contenu))
    echouer(2, "impossible de lire « " + *a.reponses + " » : " + pourquoi(e));
  Transcript reponses;
  if (!lireReponses(contenu, reponses, erreur)) echouer(2, *a.reponses + ", " + erreur);
  const Deroulement d = derouler(reglagesDe(a), reponses, true, arret);
  if (d.erreurDeLancement != 0) echouer(127, d.raison);
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

// One transcript, said as the differences go.
int verifierLeTranscript(const Arguments& a, const Cas& cas, const Arret& arret) {
  const Transcript reponses = reponsesDe(cas);
  const Deroulement d = derouler(reglagesDe(a), reponses, false, arret);
  if (d.erreurDeLancement != 0) echouer(127, d.raison);
  if (!d.echec.empty()) echouer(2, d.echec);
  const Comparables c = comparables(cas.attendu, d.transcript, a.comparaison);
  const std::string difference = premiereDifference(c.attendu, c.obtenu);
  if (!difference.empty()) std::cerr << "repondre: " << difference;
  if (d.enAttenteDePlus)
    std::cerr << "repondre: le programme attend une réponse de plus que les " << reponses.size()
              << " du transcript\n";
  else if (d.utilisees < reponses.size())
    std::cerr << "repondre: le programme a fini après " << d.utilisees << " réponses sur "
              << reponses.size() << '\n';
  if (a.statut && d.statut != *a.statut)
    std::cerr << "repondre: statut " << d.statut << ", attendu " << *a.statut << '\n';
  return juger(cas, d, a.statut, a.comparaison).reussi ? 0 : 1;
}

// ---- Several cases, each in a process of its own ----

struct EnCours {
  pid_t pid;
  int lecture;  // its verdict, as bytes
  std::size_t indice;
  std::string octets;
};

// In the child: the case's run, whose orphans it adopts, and its verdict
// written to `ecriture`.
[[noreturn]] void jugerDansUnEnfant(const Arguments& a, const Cas& cas, int ecriture,
                                    const Arret& arret) {
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  const Deroulement d = derouler(reglagesDe(a), reponsesDe(cas), false, arret);
  const std::string octets = enOctets(juger(cas, d, a.statut, a.comparaison));
  for (std::size_t ecrit = 0; ecrit < octets.size();) {
    const ssize_t n = write(ecriture, octets.data() + ecrit, octets.size() - ecrit);
    if (n < 0 && errno != EINTR) _exit(3);
    if (n > 0) ecrit += static_cast<std::size_t>(n);
  }
  _exit(0);
}

EnCours lancerLeCas(const Arguments& a, const std::vector<Cas>& cas, std::size_t indice,
                    const Arret& arret) {
  int tube[2];
  if (pipe2(tube, O_CLOEXEC) != 0) echouer(2, "pipe2 a échoué");
  std::cout << std::flush;
  const pid_t pid = fork();
  if (pid < 0) echouer(2, "fork a échoué");
  if (pid == 0) {
    close(tube[0]);
    jugerDansUnEnfant(a, cas[indice], tube[1], arret);
  }
  close(tube[1]);
  return {pid, tube[0], indice, ""};
}

// Reads what the cases running have written; the verdict of those done.
void recolter(std::vector<EnCours>& enCours, std::vector<Verdict>& verdicts) {
  std::vector<pollfd> sondes(enCours.size());
  std::transform(enCours.begin(), enCours.end(), sondes.begin(), [](const EnCours& e) {
    return pollfd{e.lecture, POLLIN, 0};
  });
  if (poll(sondes.data(), sondes.size(), 10) <= 0) return;
  for (std::size_t k = 0; k < enCours.size(); ++k) {
    if (sondes[k].revents == 0) continue;
    char bloc[65536];
    const ssize_t n = read(enCours[k].lecture, bloc, sizeof bloc);
    if (n > 0) enCours[k].octets.append(bloc, static_cast<std::size_t>(n));
    if (n > 0 || (n < 0 && errno == EINTR)) continue;
    close(enCours[k].lecture);
    waitpid(enCours[k].pid, nullptr, 0);
    Verdict& v = verdicts[enCours[k].indice];
    if (!depuisOctets(enCours[k].octets, v))
      v = {false, 0, "repondre n'a pas pu juger ce cas", "", ""};
    enCours[k].lecture = -1;
  }
  enCours.erase(std::remove_if(enCours.begin(), enCours.end(),
                               [](const EnCours& e) { return e.lecture < 0; }),
                enCours.end());
}

std::vector<Verdict> jugerLesCas(const Arguments& a, const std::vector<Cas>& cas,
                                 const Arret& arret) {
  std::vector<Verdict> verdicts(cas.size());
  std::vector<EnCours> enCours;
  for (std::size_t prochain = 0; prochain < cas.size() || !enCours.empty();) {
    while (enCours.size() < static_cast<std::size_t>(a.travaux) && prochain < cas.size())
      enCours.push_back(lancerLeCas(a, cas, prochain++, arret));
    if (const int signal = arret.recu()) {
      for (const auto& e : enCours) kill(e.pid, signal);
      for (const auto& e : enCours) waitpid(e.pid, nullptr, 0);
      arret.mourir(signal);
    }
    recolter(enCours, verdicts);
    while (waitpid(-1, nullptr, WNOHANG) > 0) {  // orphans of a case that died
    }
  }
  return verdicts;
}

// The folder for the screens obtained: made, and never one of the cases'.
void preparerObtenus(const std::string& dossier, const std::vector<std::string>& chemins) {
  std::error_code erreur;
  for (const auto& chemin : chemins)
    if (fs::is_directory(chemin, erreur) &&
        fs::weakly_canonical(chemin, erreur) == fs::weakly_canonical(dossier, erreur))
      echouer(2, "--obtenu : « " + visible(dossier) + " » est un dossier de cas", true);
  fs::create_directories(dossier, erreur);
  if (!fs::is_directory(dossier, erreur))
    echouer(2, "--obtenu : impossible de créer le dossier « " + visible(dossier) + " »");
}

int rapporter(const Arguments& a, const std::vector<Cas>& cas, const Arret& arret) {
  if (a.obtenu) preparerObtenus(*a.obtenu, a.cas);
  const std::vector<Verdict> verdicts = jugerLesCas(a, cas, arret);
  if (a.obtenu) {
    for (std::size_t i = 0; i < cas.size(); ++i) {
      std::ofstream fichier(fs::path(*a.obtenu) / (cas[i].nom + ".obtenu"), std::ios::binary);
      fichier << verdicts[i].obtenu;
      if (!fichier)
        echouer(2, "--obtenu : impossible d'écrire l'écran de « " + visible(cas[i].nom) + " »");
    }
  }
  const Rapport rapport{a.format, a.options, a.nom.value_or(a.programme[0]), a.entete};
  std::cout << ecrireRapport(cas, verdicts, rapport, [](const char* nom) {
    return std::getenv(nom);
  }) << std::flush;
  const bool aucunLance = std::all_of(verdicts.begin(), verdicts.end(),
                                      [](const Verdict& v) { return v.erreurDeLancement != 0; });
  if (aucunLance) return 127;
  return std::all_of(verdicts.begin(), verdicts.end(), [](const Verdict& v) { return v.reussi; })
             ? 0
             : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Arguments a = analyser(argc, argv);
  // The run's orphans, and processes that leave its session, stay this
  // process's descendants: watched, and killed at the end.
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  const Arret arret;
  if (a.reponses) return ecrireLesReponses(a, arret);
  std::vector<Cas> cas;
  std::string erreur;
  if (!lireLesCas(a.cas, cas, erreur)) echouer(2, erreur);
  return a.rapport ? rapporter(a, cas, arret) : verifierLeTranscript(a, cas.front(), arret);
}
