// Runs a console program the way a person or a script would: on a
// pseudo-terminal, or with standard input from a pipe, a regular file,
// /dev/null, /dev/zero, a directory (every read fails), or closed. Every wait
// has a deadline; a program still running when the object dies is killed,
// with its whole session, so a prompt that spins fails instead of hanging.
// Linux: what the program waits for is read in /proc.
#ifndef OUTILS_REPONDRE_PROGRAMME_H
#define OUTILS_REPONDRE_PROGRAMME_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

enum class Entree { terminal, tube, fichier, vide, zero, repertoire, fermee };

// How the program is started.
struct Lancement {
  bool erreursSurLeTerminal = false;  // its error stream on the terminal, not kept apart
  bool echo = true;                   // the terminal echoes what is typed
  bool chercherDansPath = false;      // a name without '/' is looked up in PATH
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

  // 0 once the program is running; else the errno of its exec (it did not start).
  int erreurDeLancement() const { return erreurDeLancement_; }

  // Waits until `texte` appears in the output after the previous match, and
  // moves past it. False when the deadline passes first.
  bool attendre(const std::string& texte,
                std::chrono::milliseconds delai = std::chrono::seconds(5));
  // Waits until a process of the program's session is blocked reading its
  // standard input (on a pipe, once it has read all that was written to it).
  // The pause writes its text before it discards pending input, so a test
  // types only once this holds, or its line could be discarded. With
  // `parPoll`, waits until it is blocked in poll instead, where a prompt waits
  // for input after a read cut short by a signal.
  bool attendLecture(std::chrono::milliseconds delai = std::chrono::seconds(5),
                     bool parPoll = false);
  // True when, since the last taper(), the terminal's input has all been read
  // and a process of the session has blocked in a read or a poll of the
  // terminal: it waits for the next line. Seen twice in a row, a moment apart.
  bool attendUneReponse();
  // Sends `numero` to the program.
  void signaler(int numero);
  // Writes to the program's standard input (terminal or pipe).
  void taper(const std::string& texte);
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
  // Kills every process of the program's session.
  void tuerSession();

  const std::string& sortie() const { return sortie_; }
  const std::string& erreurs() const { return erreurs_; }
  int statut() const { return statut_; }       // exit status, or -1
  int signalDeFin() const { return signal_; }  // the signal that killed it, or 0

  // Counts the non-overlapping occurrences of `motif` in the output.
  int compter(const std::string& motif) const;

 private:
  struct Fil {
    pid_t pid;  // its process
    pid_t tid;
    long commutations;  // voluntary context switches: each time it blocked
  };
  std::vector<Fil> filsDeLaSession() const;
  bool bloqueSurLEntree(pid_t pid, pid_t tid, bool parPoll, bool pollCompte) const;
  bool reaper(bool bloquant);

  Entree entree_;
  pid_t pid_ = -1;
  int ecriture_ = -1;     // program's standard input (pty master or pipe)
  int lecture_ = -1;      // program's standard output (pty master or pipe)
  int erreur_ = -1;       // program's error stream, when kept apart
  int esclave_ = -1;      // the terminal's other side, kept to see its input queue
  std::string terminal_;  // the terminal's name (/dev/pts/N)
  std::string sortie_, erreurs_;
  std::string fichier_;             // standard input, for Entree::fichier; removed at the end
  std::vector<Fil> avantLaFrappe_;  // the session's threads when last typed to
  int vuEnAttente_ = 0;
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
  bool termine = false;
};
Execution executer(const std::vector<std::string>& argv, Entree entree,
                   const std::string& contenu = "",
                   std::chrono::milliseconds delai = std::chrono::seconds(10));

#endif
