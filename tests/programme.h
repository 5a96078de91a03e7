// Runs a console program the way a person or a script would: on a
// pseudo-terminal, or with standard input from a pipe, a regular file,
// /dev/null, /dev/zero, a directory (every read fails), or closed. Every wait has a deadline; a
// child still running when the object dies is killed, so a prompt that spins fails instead of
// hanging.
#ifndef OUTILS_TESTS_PROGRAMME_H
#define OUTILS_TESTS_PROGRAMME_H

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "aides.h"

enum class Entree { terminal, tube, fichier, vide, zero, repertoire, fermee };

class Programme {
 public:
  // Starts `argv` with standard input of kind `entree`. For Entree::fichier,
  // `contenu` is written to a temporary file first; for Entree::tube it is
  // written to the pipe at once (more may be typed later).
  Programme(std::vector<std::string> argv, Entree entree, const std::string& contenu = "");
  ~Programme();
  Programme(const Programme&) = delete;
  Programme& operator=(const Programme&) = delete;

  // Waits until `texte` appears in the output after the previous match, and
  // moves past it. False when the deadline passes first.
  bool attendre(const std::string& texte,
                std::chrono::milliseconds delai = std::chrono::seconds(5));
  // Waits until the child is blocked reading its standard input (Linux
  // /proc), and, on a pipe, has read all that was written to it. The pause writes its text before
  // it discards pending input, so a test types only once this holds, or its line could be
  // discarded. With `parPoll`, waits until it is blocked in poll instead, where a prompt waits for
  // input after a read cut short by a signal.
  bool attendLecture(std::chrono::milliseconds delai = std::chrono::seconds(5),
                     bool parPoll = false);
  // Sends `numero` to the child.
  void signaler(int numero);
  // Writes to the child's standard input (terminal or pipe).
  void taper(const std::string& texte);
  // Closes the writing end of the pipe, so the child meets the end of input.
  void fermerEntree();
  // True when the child has not exited after `duree`.
  bool attendToujours(std::chrono::milliseconds duree = std::chrono::milliseconds(300));
  // Waits for the child to exit and for all of its output. False on timeout.
  bool finir(std::chrono::milliseconds delai = std::chrono::seconds(10));

  const std::string& sortie() const { return sortie_; }
  const std::string& erreurs() const { return erreurs_; }
  int statut() const { return statut_; }  // exit status, or -1

  // Counts the non-overlapping occurrences of `motif` in the output.
  int compter(const std::string& motif) const;

 private:
  void lireDisponible(std::chrono::milliseconds attente);
  bool reaper(bool bloquant);

  Entree entree_;
  pid_t pid_ = -1;
  int ecriture_ = -1;  // child's standard input (pty master or pipe)
  int lecture_ = -1;   // child's standard output (pty master or pipe)
  int erreur_ = -1;    // child's error stream
  std::string sortie_, erreurs_;
  std::optional<aides::FichierTemporaire> fichier_;  // standard input, for Entree::fichier
  std::size_t curseur_ = 0;
  int statut_ = -1;
  bool fini_ = false;
};

// Runs `argv` to its end with the given input; the output is in the result.
struct Execution {
  std::string sortie, erreurs;
  int statut = -1;
  bool termine = false;
};
Execution executer(std::vector<std::string> argv, Entree entree, const std::string& contenu = "",
                   std::chrono::milliseconds delai = std::chrono::seconds(10));

#endif
