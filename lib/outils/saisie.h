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
// message. At the end of input it returns its end value at once (0, 0.0, "",
// char(EOF), false), std::cin keeping its state for the caller to check.
// What each prompt accepts and returns, the real numbers' grammar, and what
// happens on each kind of standard input: docs/invites.md.
//
// Opt-in, on every typed prompt but the pause, chained:
//   saisie<int> age("Votre age [18] : ", 1, 120);
//   age.expliquer("Un nombre de 1 a 120.\n").proposer(18).ligneEntiere();
// (see outils::detail::reglable).
//
// The primary form serves T = int (a strictly positive integer, or within
// bounds), T = double (a real number, or within bounds) and T = std::string
// (a non-empty line).
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
// from it); each returns the prompt, so that they chain. Their effects, and
// at the end of input: docs/invites.md, "Dire pourquoi, proposer une
// réponse, vouloir toute la ligne".
template <class Saisie, class T>
class reglable {
 public:
  // Written after each refused answer.
  // NOLINTNEXTLINE(performance-unnecessary-value-param): moved, in a context tidy 14 cannot see
  Saisie& expliquer(std::string texte) {
    choix.explication = std::move(texte);
    return moi();
  }
  // An empty line answers `valeur`, returned as given.
  Saisie& proposer(T valeur) {
    choix.proposition = std::move(valeur);
    choix.propose = true;
    return moi();
  }
  // The answer must be the whole line, blanks aside.
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
// returned as typed; an empty `autorises` accepts any byte. A byte of 0x80 or
// above never matches a letter (UTF-8: see docs/invites.md).
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
