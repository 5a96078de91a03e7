// Runs a console program the way a person or a script would: on a
// pseudo-terminal, or with standard input from a pipe, a regular file,
// /dev/null, /dev/zero, a directory (every read fails), or closed. Every wait
// has a deadline; a program still running when the object dies is killed,
// with every process of its run, so a prompt that spins fails instead of
// hanging. Linux: what the program waits for is read in /proc (attente.h).
// The engine changes no process-wide signal setting, and its writes never
// raise SIGPIPE.
#ifndef OUTILS_REPONDRE_PROGRAMME_H
#define OUTILS_REPONDRE_PROGRAMME_H

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "attente.h"

enum class Entree { terminal, tube, fichier, vide, zero, repertoire, fermee };

// How the program is started.
struct Lancement {
  bool erreursSurLeTerminal = false;  // its error stream on the terminal, not kept apart
  bool echo = true;                   // the terminal echoes what is typed
  bool chercherDansPath = false;      // a name without '/' is looked up in PATH (no shell)
  // TERM=xterm-256color, COLUMNS=80, LINES=24, LC_ALL=C.UTF-8, no LANGUAGE;
  // the rest of the environment is the caller's.
  bool environnementStable = false;
  // Each process's address space, in bytes (RLIMIT_AS); 0: the caller's limit.
  unsigned long long memoire = 0;
};

// A descriptor, closed with its owner.
class Descripteur {
 public:
  Descripteur() = default;
  explicit Descripteur(int fd) : fd_(fd) {}
  ~Descripteur() { fermer(); }
  Descripteur(Descripteur&& autre) noexcept : fd_(std::exchange(autre.fd_, -1)) {}
  Descripteur& operator=(Descripteur&& autre) noexcept {
    if (this != &autre) {
      fermer();
      fd_ = std::exchange(autre.fd_, -1);
    }
    return *this;
  }
  Descripteur(const Descripteur&) = delete;
  Descripteur& operator=(const Descripteur&) = delete;

  int fd() const { return fd_; }
  bool ouvert() const { return fd_ >= 0; }
  void fermer();

 private:
  int fd_ = -1;
};

// A file in the temporary folder, removed with its owner.
class Temporaire {
 public:
  Temporaire() = default;
  explicit Temporaire(const std::string& contenu);
  ~Temporaire();
  Temporaire(const Temporaire&) = delete;
  Temporaire& operator=(const Temporaire&) = delete;
  const std::string& nom() const { return nom_; }

 private:
  std::string nom_;
};

class Programme {
 public:
  // Starts `argv` with standard input of kind `entree`. For Entree::fichier,
  // `contenu` is written to a temporary file first; for Entree::tube it is
  // written to the pipe at once (more may be typed later). A terminal has 80
  // columns, and is the controlling terminal of the program's own session.
  Programme(const std::vector<std::string>& argv, Entree entree, const std::string& contenu = "",
            Lancement lancement = {});
  ~Programme();
  Programme(const Programme&) = delete;
  Programme& operator=(const Programme&) = delete;

  pid_t pid() const { return pid_; }
  // 0 once the program is running; else the errno of its exec (it did not start).
  int erreurDeLancement() const { return erreurDeLancement_; }

  // Waits until `texte` appears in the output after the previous match, and
  // moves past it. False when the deadline passes first.
  bool attendre(const std::string& texte,
                std::chrono::milliseconds delai = std::chrono::seconds(5));
  // Waits until the started process is blocked reading its standard input
  // (on a pipe, once it has read all that was written to it), or, with
  // Attente::sondage, in a poll, select or epoll wait on it, where a prompt
  // waits for input after a read cut short by a signal. The pause writes its
  // text before it discards pending input, so a test types only once this
  // holds, or its line could be discarded.
  bool attendLecture(std::chrono::milliseconds delai = std::chrono::seconds(5),
                     Attente attente = Attente::lecture);
  // True when the program waits for the next line: since the last taper(),
  // the terminal's input has all been read, and a thread of the run is
  // blocked waiting for input on the terminal (attente.h); it has been seen
  // so, with nothing written by the program, for kCalme, or for kAttenteMax
  // whatever it writes.
  bool attendUneReponse();
  // The errno with which /proc refused to say what a process of the run
  // waits for (EACCES, EPERM), or 0.
  int refusDeProc() const { return refusDeProc_; }
  // Sends `numero` to the program.
  void signaler(int numero);
  // Writes to the program's standard input (terminal or pipe); false when not
  // all of it could be written (a terminal: within `delai`).
  bool taper(const std::string& texte, std::chrono::milliseconds delai = std::chrono::seconds(5));
  // Closes the writing end of the pipe, so the program meets the end of input.
  void fermerEntree();
  // True when the program has not exited after `duree`.
  bool attendToujours(std::chrono::milliseconds duree = std::chrono::milliseconds(300));
  // Waits for the program to exit and for all of its output. False on timeout.
  bool finir(std::chrono::milliseconds delai = std::chrono::seconds(10));
  // Reads what the program wrote, waiting at most `attente` for some.
  void lireDisponible(std::chrono::milliseconds attente);
  // True once the started process has exited (it is then reaped).
  bool aFini();
  // Kills every process of the run (attente.h, filsDuLancement()).
  void tuerTout();

  const std::string& sortie() const { return sortie_; }
  const std::string& erreurs() const { return erreurs_; }
  int statut() const { return statut_; }       // exit status, or -1
  int signalDeFin() const { return signal_; }  // the signal that killed it, or 0

  // Counts the non-overlapping occurrences of `motif` in the output.
  int compter(const std::string& motif) const;

 private:
  void brancher(const std::string& contenu, const Lancement& lancement, int (&standard)[3],
                std::vector<Descripteur>& cotesEnfant);
  bool quelquUnAttend();
  bool reaper(bool bloquant);
  void noterFin(int etat);
  void recolterAdoptes();

  Entree entree_;
  pid_t pid_ = -1;
  Descripteur ecriture_;               // program's standard input (pty master or pipe)
  Descripteur lecture_;                // program's standard output (pty master or pipe)
  Descripteur erreur_;                 // program's error stream, when kept apart
  Descripteur esclave_;                // the terminal's other side, kept to see its input queue
  std::optional<Temporaire> fichier_;  // standard input, for Entree::fichier
  EntreeSurveillee surveillee_;
  std::string sortie_, erreurs_;
  std::vector<Fil> avantLaFrappe_;  // the run's threads when last typed to
  std::optional<std::chrono::steady_clock::time_point> vuDepuis_;  // waiting since
  std::chrono::steady_clock::time_point derniereSortie_, dernierRegard_;
  int refusDeProc_ = 0;
  std::size_t curseur_ = 0;
  int statut_ = -1;
  int signal_ = 0;
  int erreurDeLancement_ = 0;
  bool fini_ = false;
};

// Reads the file `nom` whole into `contenu`, with the system's reads (a file
// stream would throw some errors, or take them for an end); 0, or the errno.
int lireFichierEntier(const std::string& nom, std::string& contenu);

// Runs `argv` to its end with the given input; the output is in the result.
struct Execution {
  std::string sortie, erreurs;
  int statut = -1;
  int signal = 0;  // the signal that killed it, or 0
  bool termine = false;
};
Execution executer(const std::vector<std::string>& argv, Entree entree,
                   const std::string& contenu = "",
                   std::chrono::milliseconds delai = std::chrono::seconds(10));

#endif
