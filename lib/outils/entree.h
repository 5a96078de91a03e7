// Base of the prompt family, input discarding and screen clearing.
#ifndef OUTILS_ENTREE_H
#define OUTILS_ENTREE_H

#include <string>
#include <utility>

// The library also acts once without being called, at program start: see
// docs/invites.md, "Au démarrage" (the rule, its order and its limits).

// Discards what standard input holds pending, never waiting for input, and
// throws nothing: what is dropped for each kind of input is in
// docs/invites.md, "Selon ce qu'est l'entrée standard".
void viderEntree();

// Writes 25 line feeds to std::cout, which scrolls the console clear.
void effacerEcran();

// Prompts and comparators are values, never deleted through a pointer to
// their base: they need no virtual destructor.
#if defined(__GNUC__)  // g++ and clang++; MSVC has no such warning at /W4
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// A prompt: shows `invite` and reads one value of type T from std::cin.
// Callers use demander(); each saisie<T> overrides saisir().
template <class T>
class entree {
 public:
  entree() = default;
  explicit entree(std::string texte) : invite(std::move(texte)) {}

  // Asks through the prompt's own saisir() and returns its answer.
  T demander() { return saisir(); }

 protected:
  // The base reads nothing, writes nothing and returns T{}.
  virtual T saisir() { return T(); }

  void vider() { viderEntree(); }

  std::string invite;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#endif
