// Base of the prompt family, input discarding and screen clearing.
#ifndef OUTILS_ENTREE_H
#define OUTILS_ENTREE_H

#include <string>
#include <utility>

// At program start, before the program's static objects of ordinary priority
// are built, the library takes each closed standard descriptor (0, 1, 2) with
// the null device, so that a file the program opens is never taken for
// standard input or output, and records std::cin's buffer. It is the one piece
// of the library that runs without being called, and that pointer its only
// state. Limits: it runs at priority 101 with g++ and clang++ (up to 100 is
// reserved to the implementation), so a program's object marked
// init_priority(101) may be built before it (at equal priority, in link
// order); with MSVC it runs in init_seg(lib), after init_seg(compiler) objects
// and, within its segment, in link order. A library loaded later (dlopen) acts
// when loaded; a descriptor the program closes itself after start-up stays
// closed; on Windows, a DLL with its own C runtime guards that runtime's
// descriptors only.
//
// Discards what standard input holds pending and never waits for input:
// - a regular file is skipped to its end without being read, and std::cin is
//   left at its end (the end-of-file state set);
// - any other input (terminal, pipe, socket, device) has what was received
//   dropped: on a terminal, the lines typed ahead as well; std::cin is left in
//   the good state, and an earlier end of file (Ctrl-D) no longer answers
//   later reads.
// Nothing here asks std::cin's buffer for more than it holds, even with
// std::ios::sync_with_stdio(false). In the background of a terminal, the
// terminal is not flushed.
// When the program reads std::cin through a buffer of its own (rdbuf()), only
// that buffer is positioned or dropped. Nothing throws, whatever the mask of
// std::cin.exceptions(): a state the mask names is cleared.
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
