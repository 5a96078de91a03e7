// Base of the prompt family, input discarding and screen clearing.
#ifndef OUTILS_ENTREE_H
#define OUTILS_ENTREE_H

#include <string>
#include <utility>

// Discards what standard input holds pending and never waits for input:
// - a regular file (or any input that can be positioned) is skipped to its end
//   without being read;
// - on a terminal, what the stream has received and what was typed ahead and
//   still sits in the terminal's input queue is dropped;
// - on a pipe, only what the stream has already received is dropped.
// std::cin is left in the good state, and an earlier end of file (Ctrl-D on a
// terminal) no longer answers later reads.
void viderEntree();

// Writes 25 line feeds to std::cout, which scrolls the console clear.
void effacerEcran();

// Prompts and comparators are values, never deleted through a pointer to
// their base: they need no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

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

#pragma GCC diagnostic pop

#endif
