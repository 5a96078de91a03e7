// The library's non-template code.
#include <cstdio>
#include <iostream>
#include <limits>
#include <streambuf>

#include "saisie.h"

// ---- Platform layer: dropping what standard input has already received ----

#if defined(__unix__) || defined(__APPLE__)
#include <termios.h>
#include <unistd.h>
#define OUTILS_TERMINAL 1
#endif
#if defined(__has_include)
#if __has_include(<stdio_ext.h>)
#include <stdio_ext.h>
#define OUTILS_PURGER_STDIO(flux) __fpurge(flux)
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
#define OUTILS_PURGER_STDIO(flux) fpurge(flux)
#endif
#endif

namespace {

// Characters that a stream buffer holds, received and not yet read. Unlike
// in_avail(), this never counts what the system could still deliver.
struct tamponRecu : std::streambuf {
  static std::streamsize taille(std::streambuf& tampon) {
    char* (std::streambuf::*lu)() const = &tamponRecu::gptr;
    char* (std::streambuf::*recu)() const = &tamponRecu::egptr;
    return (tampon.*recu)() - (tampon.*lu)();
  }
};

// Drops, without waiting, what std::cin has received and not read: the C++
// stream buffer (a program without stdio sync), the C library's stdin buffer
// (with sync, std::cin reads through it), and on a terminal the lines typed
// ahead. Also clears stdin's end-of-file and error indicators, which would
// otherwise answer every later read at once.
void abandonnerRecu() {
  std::cin.clear();
  if (std::streambuf* tampon = std::cin.rdbuf()) {
    const std::streamsize recu = tamponRecu::taille(*tampon);
    if (recu > 0) std::cin.ignore(recu);
  }
#ifdef OUTILS_PURGER_STDIO
  OUTILS_PURGER_STDIO(stdin);
#endif
#ifdef OUTILS_TERMINAL
  if (isatty(STDIN_FILENO)) tcflush(STDIN_FILENO, TCIFLUSH);
#endif
  std::clearerr(stdin);
}

}  // namespace

// ---- Prompt base, pause and screen ----

void viderEntree() {
  std::cin.clear();
  std::clearerr(stdin);
  std::cin.seekg(0, std::ios::end);
  if (std::cin.fail()) {
    abandonnerRecu();
    return;
  }
  std::cin.ignore(std::numeric_limits<int>::max(), std::char_traits<char>::eof());
}

void effacerEcran() {
  for (int i = 0; i < 25; ++i) std::cout << '\n';
}

bool saisie<void>::saisir() {
  std::cout << invite;
  vider();
  std::cin.ignore(std::numeric_limits<int>::max(), '\n');
  return true;
}
