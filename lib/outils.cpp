// The library's non-template code.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>
#include <locale>
#include <streambuf>
#include <string>
#include <utility>

#include <outils/fichier.h>
#include <outils/saisie.h>

// ---- Platform layer: what standard input is, and dropping what it holds ----
//
// entreeReguliere()     standard input is a regular (disk) file
// abandonnerConsole(f)  drops, without waiting, what the C library and the
//                       system hold of standard input, and clears stdin's
//                       end-of-file and error indicators; `f`: an end of
//                       input was met since (Ctrl-D, Ctrl-Z)
// lectureInterrompue()  the last read failed only for a signal or for input
//                       that is not ready (errno)
// attendreEntree()      waits until standard input can be read
// occuperEntreeFermee() a closed descriptor 0 is taken by the null device, so
//                       that no file the library opens is taken for it
// ouvrirFichier()       opens a file by its UTF-8 name, for reading

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <filesystem>

namespace {

// The handle that stdin reads, which is not always GetStdHandle's.
HANDLE poigneeEntree() {
  const int descripteur = _fileno(stdin);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the C runtime gives handles as integers
  return descripteur < 0 ? INVALID_HANDLE_VALUE
                         : reinterpret_cast<HANDLE>(_get_osfhandle(descripteur));
}

// A console, and not NUL, which _isatty also takes for a device.
bool entreeConsole() {
  DWORD mode = 0;
  return GetConsoleMode(poigneeEntree(), &mode) != 0;
}

bool entreeReguliere() {
  return GetFileType(poigneeEntree()) == FILE_TYPE_DISK;
}

void abandonnerConsole(bool finVue) {
  // The Windows C runtime defines it: it drops what the input buffer holds.
  // cppcheck-suppress fflushOnInputStream
  std::fflush(stdin);
  if (entreeConsole()) {
    // After Ctrl-Z the C runtime answers every read with the end of input,
    // whatever clearerr() says: the console is opened again.
    if (finVue) static_cast<void>(std::freopen("CONIN$", "r", stdin));
    FlushConsoleInputBuffer(poigneeEntree());
  }
  std::clearerr(stdin);
}

bool lectureInterrompue() {
  return errno == EINTR || errno == EAGAIN;
}

void attendreEntree() {
  WaitForSingleObject(poigneeEntree(), INFINITE);
}

void occuperEntreeFermee() {
  if (poigneeEntree() != INVALID_HANDLE_VALUE) return;
  const int nul = _open("NUL", _O_RDONLY);
  if (nul > 0) _close(nul);  // 0 was taken meanwhile
}

void ouvrirFichier(std::ifstream& flux, const std::string& nom) {
  // A narrow name would be read in the ANSI code page.
  flux.open(std::filesystem::u8path(nom), std::ios::in);
}

}  // namespace

#else  // POSIX

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if __has_include(<stdio_ext.h>)
#include <stdio_ext.h>  // __fpurge: glibc, musl
#endif

namespace {

bool entreeReguliere() {
  struct stat etat {};
  return fstat(STDIN_FILENO, &etat) == 0 && S_ISREG(etat.st_mode);
}

void abandonnerConsole(bool /*finVue*/) {
#if __has_include(<stdio_ext.h>)
  __fpurge(stdin);
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  fpurge(stdin);
#endif
  if (isatty(STDIN_FILENO)) tcflush(STDIN_FILENO, TCIFLUSH);
  std::clearerr(stdin);
}

bool lectureInterrompue() {
  return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
}

void attendreEntree() {
  pollfd entree{STDIN_FILENO, POLLIN, 0};
  while (poll(&entree, 1, -1) < 0 && errno == EINTR) {
  }
}

void occuperEntreeFermee() {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
  if (fcntl(STDIN_FILENO, F_GETFD) >= 0 || errno != EBADF) return;
  const int nul = open("/dev/null", O_RDONLY);  // NOLINT(cppcoreguidelines-pro-type-vararg)
  if (nul > STDIN_FILENO) close(nul);           // 0 was taken meanwhile
}

void ouvrirFichier(std::ifstream& flux, const std::string& nom) {
  flux.open(nom.c_str(), std::ios::in);
}

}  // namespace

#endif

// ---- Which buffer std::cin reads through ----

#if defined(__GLIBCXX__)
#include <ext/stdio_filebuf.h>
#include <ext/stdio_sync_filebuf.h>
#endif

namespace {

// True while std::cin reads standard input through the buffer the library
// set up, false once the program has put a buffer of its own in place.
bool lisLaConsole() {
#if defined(__GLIBCXX__)
  std::streambuf* tampon = std::cin.rdbuf();
  if (auto* synchro = dynamic_cast<__gnu_cxx::stdio_sync_filebuf<char>*>(tampon))
    return synchro->file() == stdin;
  if (auto* desynchro = dynamic_cast<__gnu_cxx::stdio_filebuf<char>*>(tampon))
    return desynchro->file() == stdin;
  return false;
#else
  return std::cin.rdbuf() != nullptr;
#endif
}

// Characters that a stream buffer holds, received and not yet read. Unlike
// in_avail(), this never counts what the system could still deliver.
struct tamponRecu : std::streambuf {
  static std::streamsize taille(const std::streambuf& tampon) {
    char* (std::streambuf::*lu)() const = &tamponRecu::gptr;
    char* (std::streambuf::*recu)() const = &tamponRecu::egptr;
    return (tampon.*recu)() - (tampon.*lu)();
  }
};

// Drops what std::cin's buffer holds, received and not read, without waiting.
void abandonnerTampon() {
  std::cin.clear();
  if (std::streambuf* tampon = std::cin.rdbuf()) {
    const std::streamsize recu = tamponRecu::taille(*tampon);
    if (recu > 0) std::cin.ignore(recu);
  }
}

// Moves std::cin to the end of its input; false where it cannot be positioned.
bool sauterALaFin() {
  std::cin.seekg(0, std::ios::end);
  if (std::cin.fail()) return false;
  std::cin.ignore(std::numeric_limits<int>::max(), std::char_traits<char>::eof());
  return true;
}

// Clears std::cin's exception mask for its lifetime, so that nothing throws
// while a prompt reads. rendre() sets the caller's mask again, which throws
// std::ios_base::failure when a state it names is set, as a read would have.
// Left without rendre(), it clears those states first and never throws.
class masqueSuspendu {
 public:
  masqueSuspendu() : masque(std::cin.exceptions()) { std::cin.exceptions(std::ios::goodbit); }
  ~masqueSuspendu() {
    if (rendu) return;
    std::cin.clear(std::cin.rdstate() & ~masque);
    std::cin.exceptions(masque);
  }
  masqueSuspendu(const masqueSuspendu&) = delete;
  masqueSuspendu& operator=(const masqueSuspendu&) = delete;

  template <class T>
  T rendre(T valeur) {
    rendu = true;
    std::cin.exceptions(masque);
    return valeur;
  }

 private:
  std::ios::iostate masque;
  bool rendu = false;
};

// True once std::cin can give no more answers: its end, or a read error.
bool finEntree() {
  return std::cin.eof() || std::cin.bad();
}

// One read of a prompt. A read that ended in `echec` only because a signal
// came or the input was not ready waits for input and is made again; a read
// that succeeded all the same keeps its value and loses that state.
template <class Lecture>
void lireSansInterruption(Lecture lecture, std::ios::iostate echec) {
  for (;;) {
    errno = 0;
    lecture();
    if (!lisLaConsole() || !finEntree() || !lectureInterrompue()) return;
    const bool echoue = (std::cin.rdstate() & echec) != 0;
    std::cin.clear();
    std::clearerr(stdin);
    if (!echoue) return;
    attendreEntree();
  }
}

// Writes a prompt's text, and makes sure it is seen before the read.
void montrer(const std::string& texte) {
  std::cout << texte << std::flush;
}

// The first character of the answer, or EOF.
int lireCaractere() {
  int lu = std::char_traits<char>::eof();
  lireSansInterruption([&] { lu = std::cin.get(); }, std::ios::failbit);
  return lu;
}

char majuscule(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

// ---- Prompt base, pause and screen ----

void viderEntree() {
  const masqueSuspendu garde;
  const bool finVue = std::cin.eof() || std::feof(stdin) != 0;
  std::cin.clear();
  if (!lisLaConsole()) {
    if (!sauterALaFin()) abandonnerTampon();
    return;
  }
  std::clearerr(stdin);
  if (entreeReguliere() && sauterALaFin()) return;
  abandonnerTampon();
  abandonnerConsole(finVue);
}

void effacerEcran() {
  for (int i = 0; i < 25; ++i) std::cout << '\n';
}

bool saisie<void>::saisir() {
  masqueSuspendu garde;
  montrer(invite);
  vider();
  lireSansInterruption([] { std::cin.ignore(std::numeric_limits<int>::max(), '\n'); },
                       std::ios::eofbit | std::ios::badbit);
  return garde.rendre(true);
}

// ---- Typed prompts ----

template <>
int saisie<int>::saisir() {
  masqueSuspendu garde;
  int entierPositif = 0;
  for (;;) {
    vider();
    montrer(invite);
    lireSansInterruption([&] { std::cin >> entierPositif; }, std::ios::failbit);
    if (!std::cin.fail() && entierPositif > 0) return garde.rendre(entierPositif);
    if (finEntree()) return garde.rendre(0);
  }
}

template <>
std::string saisie<std::string>::saisir() {
  masqueSuspendu garde;
  std::string ligne;
  for (;;) {
    vider();
    montrer(invite);
    lireSansInterruption([&] { std::getline(std::cin, ligne); }, std::ios::failbit);
    if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();  // a CR LF line end
    if (!ligne.empty()) return garde.rendre(std::move(ligne));
    if (finEntree()) return garde.rendre(std::string());
  }
}

saisie<char>::saisie(std::string texte, std::string lettres)
    : entree<char>(std::move(texte)), autorises(std::move(lettres)) {}

bool saisie<char>::estAutorise(char c) {
  // A byte of a multi-byte character is never one of the letters.
  if (static_cast<unsigned char>(c) >= 0x80) return false;
  return std::any_of(autorises.begin(), autorises.end(),
                     [c](char autorise) { return majuscule(c) == majuscule(autorise); });
}

char saisie<char>::saisir() {
  masqueSuspendu garde;
  for (;;) {
    vider();
    montrer(invite);
    const int lu = lireCaractere();
    const char c = static_cast<char>(lu);
    if (lu == std::char_traits<char>::eof() || autorises.empty() || estAutorise(c))
      return garde.rendre(c);
  }
}

saisie<bool>::saisie(std::string texte, char lettreOui, char lettreNon)
    : entree<bool>(std::move(texte)), oui(majuscule(lettreOui)), non(majuscule(lettreNon)) {}

bool saisie<bool>::saisir() {
  masqueSuspendu garde;
  for (;;) {
    vider();
    montrer(invite);
    const int lu = lireCaractere();
    if (lu == std::char_traits<char>::eof()) return garde.rendre(false);
    const char c = majuscule(static_cast<char>(lu));
    if (c == oui) return garde.rendre(true);
    if (c == non) return garde.rendre(false);
  }
}

// ---- Text-file reader ----

fichier::fichier(const std::string& nom) {
  ouvrir(nom);
}

bool fichier::ouvrir(const std::string& nom) {
  // While a file is open the call is refused, and that file keeps its state and position.
  const bool dejaOuvert = flux.is_open();
  if (!dejaOuvert) {
    occuperEntreeFermee();
    ouvrirFichier(flux, nom);
  }
  if (!dejaOuvert && !flux.fail() && flux.peek() == std::char_traits<char>::eof() && flux.bad()) {
    flux.close();  // opened, but it cannot be read: a directory, a read error
    flux.setstate(std::ios::failbit);
  }
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
  if (!flux.is_open() || !flux.good()) return false;
  const auto& types = std::use_facet<std::ctype<char>>(flux.getloc());
  try {
    std::streambuf& tampon = *flux.rdbuf();
    for (int c = tampon.sgetc();; c = tampon.snextc()) {
      if (c == std::char_traits<char>::eof()) {
        flux.setstate(std::ios::eofbit);
        return false;
      }
      if (!types.is(std::ctype_base::space, static_cast<char>(c))) return true;
    }
  } catch (...) {  // a read error of the system, thrown by the file buffer
    flux.setstate(std::ios::badbit);
    return false;
  }
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
// to taille - 1 characters and a NUL; no character stored is a failure, and
// a failure stores the empty word.
fichier& fichier::lire(char* mot, std::size_t taille) {
  const std::istream::sentry garde(flux);
  if (garde && taille > 0) {
    const auto& types = std::use_facet<std::ctype<char>>(flux.getloc());
    std::size_t n = 0;
    try {
      std::streambuf& tampon = *flux.rdbuf();
      int c = tampon.sgetc();
      for (; n + 1 < taille && c != std::char_traits<char>::eof(); c = tampon.snextc()) {
        const char lu = static_cast<char>(c);
        if (types.is(std::ctype_base::space, lu)) break;
        mot[n++] = lu;
      }
      if (c == std::char_traits<char>::eof()) flux.setstate(std::ios::eofbit);
      if (n == 0) flux.setstate(std::ios::failbit);
    } catch (...) {  // a read error of the system, thrown by the file buffer
      flux.setstate(std::ios::badbit);
    }
    mot[n] = '\0';
  } else if (garde) {
    flux.setstate(std::ios::failbit);  // no room even for the NUL
  }
  if (flux.fail()) {
    if (taille > 0) mot[0] = '\0';
    signaler(" attendu serie de charactere");
  }
  return *this;
}
