// A reader of text files that says in French when something is missing.
#ifndef OUTILS_FICHIER_H
#define OUTILS_FICHIER_H

#include <cstddef>
#include <fstream>
#include <string>

// Reads values one by one from a text file. Messages go to std::cout:
//   le fichier "NOM" est absent      (a file that cannot be opened)
//   le fichier "NOM" est vide        (a file with nothing in it)
//   erreur 1 attendu ...             (a typed read that failed)
// Reals are written with a point or a comma (12.5, 12,5), as saisie<double>
// reads them; see <outils/saisie.h>.
// A failed read stores its zero value (0, 0.0, '\0', "", the empty word in
// a character buffer). The failed state then stays set: every later read
// fails and says so, until a successful ouvrir() after fermer(). Nothing
// throws, not even on a read error of the system (the bad state says so).
//
// Files are read in the classic locale, whatever the program's global one
// (a French locale would group "12 15 9" into one number), and a UTF-8
// byte-order mark at the very start of a file is skipped.
//
// Reading a file to its end:
//   while (f.sauterBlancs()) f.lire(n);
// stops at the end of the file, after the first failed read, or at once when
// no file is open.
class fichier {
 public:
  // Opens `nom` through ouvrir(); its result shows only in the messages and
  // in the reader's state.
  explicit fichier(const std::string& nom);

  // Opens `nom` for reading. False, with a message, when it is missing or
  // cannot be read as a file (a directory: "absent", and nothing stays open)
  // or empty (an empty file stays open, at its end). While a file is open, a
  // further ouvrir() is refused with the missing-file message and leaves the
  // open file and its position as they were.
  bool ouvrir(const std::string& nom);

  // Closes the file. With no file open, the reader enters the failed state.
  void fermer();

  // Skips what the reads skip as white space (space, tab, line feed, carriage
  // return, vertical tab, form feed). False when no
  // further value can be read: at the end of the file, after a failure, with
  // no file open. It never sets the failed state itself.
  bool sauterBlancs();

  fichier& lire(int& n);          // " attendu entier"; 0 on failure
  fichier& lire(long& n);         // " attendu entier"; 0 on failure
  fichier& lire(long long& n);    // " attendu entier"; 0 on failure
  fichier& lire(float& x);        // " attendu naturel"; 0.0 on failure
  fichier& lire(double& x);       // " attendu naturel"; 0.0 on failure
  fichier& lire(char& c);         // the very next character, blank or not
  fichier& lire(std::string& s);  // one blank-delimited word; "" on failure

  // The rest of the current line, without its line feed or a CR before it,
  // and past the line feed. " attendu ligne" and "" when nothing at all is
  // left. Every non-blank line, its leading blanks skipped:
  //   while (f.sauterBlancs()) f.lireLigne(ligne);
  fichier& lireLigne(std::string& ligne);

  // One blank-delimited word into a buffer of `taille` characters: at most
  // taille - 1 of them and a terminating NUL. The rest of a longer word stays
  // for the next read. A failure stores the empty word; with a `taille` of 0
  // nothing is written.
  fichier& lire(char* mot, std::size_t taille);
  template <std::size_t N>
  fichier& lire(char (&mot)[N]) {
    return lire(static_cast<char*>(mot), N);
  }

  // True while no read or opening has failed.
  explicit operator bool() const { return !flux.fail(); }

 private:
  template <class T, class Lecture>
  fichier& lireOuSignaler(T& valeur, const char* attendu, Lecture lecture);
  void signaler(const char* attendu);

  std::ifstream flux;
};

#endif
