// The library's non-template code.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <limits>
#include <locale>
#include <streambuf>
#include <string>
#include <utility>

#include <outils/fichier.h>
#include <outils/saisie.h>

// ---- Platform layer: dropping what standard input has already received ----

#if defined(__unix__) || defined(__APPLE__)
#include <termios.h>
#include <unistd.h>
#endif
#if __has_include(<stdio_ext.h>)
#include <stdio_ext.h>  // __fpurge: glibc, musl
#endif

namespace {

// Characters that a stream buffer holds, received and not yet read. Unlike
// in_avail(), this never counts what the system could still deliver.
struct tamponRecu : std::streambuf {
  static std::streamsize taille(const std::streambuf& tampon) {
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
#if __has_include(<stdio_ext.h>)
  __fpurge(stdin);
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  fpurge(stdin);
#endif
#if defined(__unix__) || defined(__APPLE__)
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
    if (finEntree()) return {};
  }
}

saisie<char>::saisie(std::string texte, std::string lettres)
    : entree<char>(std::move(texte)), autorises(std::move(lettres)) {}

bool saisie<char>::estAutorise(char c) {
  return std::any_of(autorises.begin(), autorises.end(),
                     [c](char autorise) { return majuscule(c) == majuscule(autorise); });
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

saisie<bool>::saisie(std::string texte, char lettreOui, char lettreNon)
    : entree<bool>(std::move(texte)), oui(majuscule(lettreOui)), non(majuscule(lettreNon)) {}

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

// ---- Text-file reader ----

fichier::fichier(const std::string& nom) {
  ouvrir(nom);
}

bool fichier::ouvrir(const std::string& nom) {
  // While a file is open the call is refused, and that file keeps its state and position.
  const bool dejaOuvert = flux.is_open();
  if (!dejaOuvert) flux.open(nom.c_str(), std::ios::in);
  if (dejaOuvert || flux.fail()) {
    std::cout << "le fichier \"" << nom << "\" est absent\n";
    return false;
  }
  if (flux.peek() == std::char_traits<char>::eof()) {
    std::cout << "le fichier \"" << nom << "\" est vide\n";
    return false;
  }
  return true;
}

void fichier::fermer() {
  flux.close();
}

bool fichier::sauterBlancs() {
  for (int c = flux.peek(); c == ' ' || c == '\n'; c = flux.peek()) flux.get();
  return !flux.eof();
}

void fichier::signaler(const char* attendu) {
  std::cout << "erreur " << 1 << attendu << std::endl;
}

// One formatted extraction; on failure, T's zero value and the message.
template <class T>
fichier& fichier::extraire(T& valeur, const char* attendu) {
  flux >> valeur;
  if (flux.fail()) {
    valeur = T();
    signaler(attendu);
  }
  return *this;
}

fichier& fichier::lire(int& n) {
  return extraire(n, " attendu entier");
}

fichier& fichier::lire(float& x) {
  return extraire(x, " attendu naturel");
}

fichier& fichier::lire(std::string& s) {
  return extraire(s, " attendu serie de charactere");
}

fichier& fichier::lire(char& c) {
  c = static_cast<char>(flux.get());
  if (flux.fail()) {
    c = 0;
    signaler(" attendu charactere");
  }
  return *this;
}

// The stream's own word extraction with a width of `taille`, written out
// because C++20 keeps it for arrays only: skip leading white space, store up
// to taille - 1 characters and a NUL; no character stored is a failure.
fichier& fichier::lire(char* mot, std::size_t taille) {
  const std::istream::sentry garde(flux);
  if (garde && taille > 0) {
    const auto& types = std::use_facet<std::ctype<char>>(flux.getloc());
    std::streambuf& tampon = *flux.rdbuf();
    std::size_t n = 0;
    int c = tampon.sgetc();
    for (; n + 1 < taille && c != std::char_traits<char>::eof(); c = tampon.snextc()) {
      const char lu = static_cast<char>(c);
      if (types.is(std::ctype_base::space, lu)) break;
      mot[n++] = lu;
    }
    mot[n] = '\0';
    if (c == std::char_traits<char>::eof()) flux.setstate(std::ios::eofbit);
    if (n == 0) flux.setstate(std::ios::failbit);
  } else if (garde) {
    flux.setstate(std::ios::failbit);  // no room even for the NUL
  }
  if (flux.fail()) signaler(" attendu serie de charactere");
  return *this;
}
