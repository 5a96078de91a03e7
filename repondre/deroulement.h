// One run of the program on a pseudo-terminal, typing each answer once it
// waits for one (programme.h), and what repondre says of it.
#ifndef OUTILS_REPONDRE_DEROULEMENT_H
#define OUTILS_REPONDRE_DEROULEMENT_H

#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "transcript.h"

// SIGTERM, SIGINT and SIGHUP, held from the start and looked at while the
// program runs: the run is killed before repondre dies of the same signal.
class Arret {
 public:
  Arret();
  // The signal received, or 0.
  int recu() const;
  [[noreturn]] void mourir(int numero) const;

 private:
  sigset_t signaux_{};
};

struct Reglages {
  double delai = 10;                   // seconds to the next wait or the end
  unsigned long long memoire = 0;      // bytes of address space, 0: no limit
  std::vector<std::string> programme;  // looked up in PATH
};

struct Deroulement {
  Transcript transcript;  // the screen (ecranDe)
  std::size_t utilisees = 0;
  bool enAttenteDePlus = false;  // it waited for an answer past the last one
  int statut = -1;
  int erreurDeLancement = 0;  // it could not be started: the errno
  std::string echec;          // why it was stopped, or ""
  std::string raison;         // the same, short
};

// Types `reponses` in turn; with `finsSiEpuisees`, each wait past them gets
// Ctrl-D, else it ends the run.
Deroulement derouler(const Reglages& reglages, const Transcript& reponses, bool finsSiEpuisees,
                     const Arret& arret);

// Why a program could not be started, in French.
std::string pourquoi(int erreur);

#endif
