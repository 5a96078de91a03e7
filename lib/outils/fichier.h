// A reader of text files that says in French when something is missing.
#ifndef OUTILS_FICHIER_H
#define OUTILS_FICHIER_H

#include <cstddef>
#include <fstream>
#include <string>

// Reads values one by one from a text file, and says on std::cout, in French,
// what is missing. A failed read stores its zero value and leaves the failed
// state set; nothing throws. The messages, the reals, the locale, the
// byte-order mark and the reading loop:
//   while (f.sauterBlancs()) f.lire(n);
// are described in docs/lecteur.md.
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
