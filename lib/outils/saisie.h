// Prompts that insist until the answer is acceptable, and the pause prompt.
#ifndef OUTILS_SAISIE_H
#define OUTILS_SAISIE_H

#include <limits>
#include <string>
#include <type_traits>
#include <utility>

#include "entree.h"

// A prompt for one value, in a cycle: discard pending input (vider()), write
// the text, read; an unacceptable answer starts the cycle again, with no
// message. Only the first character of a line counts for char and bool; the
// rest is discarded by the next cycle or left for whatever reads next.
//
// At the end of input (a closed pipe, a file, /dev/null, Ctrl-D on a
// terminal, a closed descriptor) with no acceptable answer, the prompt
// returns at once instead of asking again:
//   saisie<int>         0
//   saisie<double>      0.0
//   saisie<std::string> ""                (never a valid answer)
//   saisie<char>        char(EOF), the character with all bits set
//   saisie<bool>        false
// std::cin keeps its end-of-file (or error) state for the caller to check:
// with bounds that admit 0, only `if (!std::cin)` right after the prompt
// tells the end of input from an answer.
// An acceptable answer that ends exactly at the end of input is accepted.
// A caller's std::cin.exceptions() mask throws only there, once the text has
// been written: a refused answer or a discard never throws.
//
// The text is flushed before each read. A read cut short by a signal, or by
// standard input that is not ready (non-blocking), waits and reads again; a
// line is complete only at its line feed or at the real end of input.
// On a pipe or a socket, an answer never starts in the middle of a line: when
// what the discard dropped ended inside a line, the prompt, after its text,
// first discards the rest of that line.
//
// Opt-in, on every typed prompt but the pause, chained:
//   saisie<int> age("Votre age [18] : ", 1, 120);
//   age.expliquer("Un nombre de 1 a 120.\n").proposer(18).ligneEntiere();
// expliquer(texte) says why after a refusal, proposer(valeur) answers an
// empty line, ligneEntiere() refuses what does not fill the line (see
// outils::detail::reglable). The prompt's text stays the program's own.
//
// The primary form serves T = int (a strictly positive integer), T = double
// (a real number), and T = std::string (a non-empty line, returned without
// its line feed, or its CR LF, and untrimmed). For int and double, bounds
// (min, max) accept only min <= x <= max; min > max is taken as swapped.
// A real number: an optional sign, digits, optionally a point or a comma and
// digits, optionally e or E, a sign and digits; ".5" and "5." too, but a
// comma only between digits. Its value is the one strtod gives for the text
// with a point in the "C" locale. No hexadecimal, inf or nan; an overflow is
// refused. What follows the number stays pending, as for int.
#if defined(__GNUC__)  // g++ and clang++; MSVC has no such warning at /W4
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // values, as entree<T>
#endif

namespace outils::detail {

// The accepted range of a numeric prompt; nothing for a line.
template <class T, bool = std::is_arithmetic_v<T>>
struct bornes {
  T bas;
  T haut;
};
template <class T>
struct bornes<T, false> {};

// The range from `min` to `max`, taken in either order.
template <class T>
constexpr bornes<T> entre(T min, T max) {
  if (max < min) return {max, min};
  return {min, max};
}

template <class T>
constexpr bornes<T> bornesParDefaut() {
  if constexpr (std::is_same_v<T, int>)
    return {1, std::numeric_limits<int>::max()};  // strictly positive
  else if constexpr (std::is_arithmetic_v<T>)
    return {std::numeric_limits<T>::lowest(), std::numeric_limits<T>::max()};
  else
    return {};
}

// What a program may ask of a typed prompt beyond its defaults.
template <class T>
struct reglages {
  std::string explication;  // written after each refused answer
  T proposition{};          // the answer of an empty line, when `propose`
  bool propose = false;
  bool ligneEntiere = false;
};

// The members that set them, shared by the typed prompts (`Saisie` derives
// from it); each returns the prompt, so that they chain.
template <class Saisie, class T>
class reglable {
 public:
  // Written exactly as given after each refused answer, before the text is
  // shown again; never after an accepted answer, never at the end of input.
  // NOLINTNEXTLINE(performance-unnecessary-value-param): moved, in a context tidy 14 cannot see
  Saisie& expliquer(std::string texte) {
    choix.explication = std::move(texte);
    return moi();
  }
  // An empty line answers `valeur` (a line of blanks too, but on the line
  // prompt, which returns it as typed); `valeur` is returned as given, even
  // outside what the prompt accepts. The end of input still returns the
  // prompt's end value. On the line prompt, proposer("") accepts the empty line.
  Saisie& proposer(T valeur) {
    choix.proposition = std::move(valeur);
    choix.propose = true;
    return moi();
  }
  // The answer must be the whole line: blanks only after the value (and,
  // for numbers, before it); else the line is refused and consumed, an empty
  // one too. An accepted answer consumes its line. No effect on a line prompt.
  Saisie& ligneEntiere() {
    choix.ligneEntiere = true;
    return moi();
  }

 protected:
  reglages<T> choix;

 private:
  Saisie& moi() { return static_cast<Saisie&>(*this); }
};

}  // namespace outils::detail

template <class T>
class saisie : public entree<T>, public outils::detail::reglable<saisie<T>, T> {
  static_assert(std::is_same_v<T, int> || std::is_same_v<T, double> ||
                    std::is_same_v<T, std::string>,
                "saisie<T> existe pour int, double, std::string, char, bool et void");

 public:
  explicit saisie(std::string texte)
      : entree<T>(std::move(texte)), limites(outils::detail::bornesParDefaut<T>()) {}

  // Only answers with min <= x <= max (int and double).
  template <class U = T, std::enable_if_t<std::is_arithmetic_v<U>, int> = 0>
  saisie(std::string texte, T min, T max)  // cppcheck-suppress passedByValue ; int, double
      : entree<T>(std::move(texte)), limites(outils::detail::entre(min, max)) {}

 protected:
  T saisir() override;

  outils::detail::bornes<T> limites;
};

template <>
int saisie<int>::saisir();
template <>
double saisie<double>::saisir();
template <>
std::string saisie<std::string>::saisir();

// One character out of `autorises`, compared without regard to case and
// returned as typed. An empty `autorises` accepts any character, a line feed
// included, and returns the first byte of a multi-byte (UTF-8) character.
// With a non-empty `autorises`, a byte of 0x80 or above never matches: "é"
// typed for a set "éa" is refused, and a set made only of such letters can
// never be answered.
template <>
class saisie<char> : public entree<char>, public outils::detail::reglable<saisie<char>, char> {
 public:
  saisie(std::string texte, std::string lettres);

  // True when c matches a character of `autorises`, case aside.
  bool estAutorise(char c);

 protected:
  char saisir() override;

  std::string autorises;
};

// A yes/no answer: true for the letter `oui`, false for `non`, case aside.
// When both are the same letter, that letter answers true.
template <>
class saisie<bool> : public entree<bool>, public outils::detail::reglable<saisie<bool>, bool> {
 public:
  saisie(std::string texte, char lettreOui, char lettreNon);

 protected:
  bool saisir() override;

  char oui;  // stored upper-cased
  char non;  // stored upper-cased
};

// Pause: writes its text, discards pending input, then waits for the end of a
// line and discards it. At end of input it returns at once. Always true.
template <>
class saisie<void> : public entree<bool> {
 public:
  explicit saisie(std::string texte) : entree<bool>(std::move(texte)) {}

 protected:
  bool saisir() override;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#endif
