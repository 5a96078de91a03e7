// The library's non-template code.
#include <cctype>
#include <cstdio>
#include <iostream>
#include <limits>
#include <streambuf>
#include <string>
#include <utility>

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

// True once std::cin can give no more answers: its end, or a read error.
bool finEntree() {
  return std::cin.eof() || std::cin.bad();
}

char majuscule(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
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

// ---- Typed prompts ----

template <>
int saisie<int>::saisir() {
  int entierPositif = 0;
  for (;;) {
    vider();
    std::cout << invite;
    std::cin >> entierPositif;
    if (!std::cin.fail() && entierPositif > 0) return entierPositif;
    if (finEntree()) return 0;
  }
}

template <>
std::string saisie<std::string>::saisir() {
  std::string ligne;
  for (;;) {
    vider();
    std::cout << invite;
    std::getline(std::cin, ligne);
    if (!ligne.empty()) return ligne;
    if (finEntree()) return std::string();
  }
}

saisie<char>::saisie(std::string invite, std::string autorises) {
  this->autorises = std::move(autorises);
  this->invite = std::move(invite);
}

bool saisie<char>::estAutorise(char c) {
  for (char autorise : autorises)
    if (majuscule(c) == majuscule(autorise)) return true;
  return false;
}

char saisie<char>::saisir() {
  for (;;) {
    vider();
    std::cout << invite;
    const int lu = std::cin.get();
    const char c = static_cast<char>(lu);
    if (lu == std::char_traits<char>::eof() || autorises.empty() || estAutorise(c)) return c;
  }
}

saisie<bool>::saisie(std::string invite, char oui, char non)
    : entree<bool>(std::move(invite)), oui(majuscule(oui)), non(majuscule(non)) {}

bool saisie<bool>::saisir() {
  for (;;) {
    vider();
    std::cout << invite;
    const int lu = std::cin.get();
    if (lu == std::char_traits<char>::eof()) return false;
    const char c = majuscule(static_cast<char>(lu));
    if (c == oui) return true;
    if (c == non) return false;
  }
}
