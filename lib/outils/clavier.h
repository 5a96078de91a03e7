// Line editing at a terminal for what std::cin reads: arrow keys, history,
// UTF-8. One object on main's stack; anywhere but at a terminal it changes
// nothing. What it does, and its limits: docs/clavier.md.
#ifndef OUTILS_CLAVIER_H
#define OUTILS_CLAVIER_H

#include <cstddef>
#include <streambuf>

namespace outils::detail {

// Passes what std::cout writes on to its buffer (on a Windows console, to the
// console in UTF-16), and counts the characters written since the last line
// feed: the column a line being edited starts at.
class sortieSuivie : public std::streambuf {
 public:
  std::streambuf* cible = nullptr;
  std::size_t colonne = 0;
  void finir();  // writes a character's start still held

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool versLaConsole(const char* s, std::size_t n);
  char enAttente[4] = {};  // a UTF-8 character's start, until its rest comes
  std::size_t tailleEnAttente = 0;
};

// The line being edited and the lines entered before, in fixed buffers.
struct edition {
  static constexpr std::size_t kLigne = 4095;  // a line's bytes, as the terminal's own
  static constexpr std::size_t kHistorique = 8192;

  char texte[kLigne] = {};
  std::size_t taille = 0;
  std::size_t curseur = 0;      // a byte index, always at a character's start
  char brouillon[kLigne] = {};  // the line typed, while an older one is shown
  std::size_t tailleBrouillon = 0;
  char historique[kHistorique] = {};  // lines, oldest first, each ended by '\n'
  std::size_t tailleHistorique = 0;
  std::size_t rappel = 0;  // how far back the line shown is; 0: the line typed
  // An escape sequence being read: 0 none, 1 after ESC, 2 after ESC [, 3 after ESC O.
  int sequence = 0;
  char parametre[8] = {};
  std::size_t tailleParametre = 0;
  // The screen, while the terminal echoes: columns from the line's row start.
  bool dessiner = false;
  std::size_t largeur = 80;
  std::size_t debut = 0;     // the line's first column
  std::size_t position = 0;  // the column the next character written goes to
  bool enSuspens = false;    // the cursor waits at the last column (a pending wrap)
};

// std::cin's buffer while a clavier is in place: each line, edited.
class ligneEditee : public std::streambuf {
 public:
  ligneEditee() = default;
  sortieSuivie* sortie = nullptr;
  void abandonner();  // drops the line read, and what the console holds of it

 protected:
  int_type underflow() override;

 private:
  int_type lireTelQuel();
  int_type editer();

  edition e;
  char lue[edition::kLigne + 1] = {};  // what std::cin reads: the line and its line feed
  bool entamee = false;                // a Windows console holds the rest of the line
};

}  // namespace outils::detail

// Line editing for std::cin while the object lives, when standard input and
// output are terminals and TERM is set and not "dumb". Left, Right, Home,
// End, Up and Down (history), Backspace and Delete over whole UTF-8
// characters, Ctrl-A, Ctrl-E, Ctrl-U, Ctrl-K, Ctrl-W; every prompt rule kept.
// On Windows, UTF-8 for std::cin from a console and for std::cout to a
// console, each side on its own; the console's line mode edits.
class clavier {
 public:
  clavier();
  ~clavier();
  clavier(const clavier&) = delete;
  clavier& operator=(const clavier&) = delete;

 private:
  outils::detail::ligneEditee entree;
  outils::detail::sortieSuivie sortie;
  std::streambuf* ancienneEntree = nullptr;
  bool enPlace = false;
};

#endif
