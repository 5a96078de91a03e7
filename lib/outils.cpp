// The library's non-template code.
//
//   Platform layer    what standard input is, what the C library holds of it,
//                     the start-up guard of the standard descriptors
//   Start-up          the one piece that runs without being called
//   std::cin          which buffer it reads through; dropping what was received
//   Real numbers      one grammar, a point or a comma, for prompts and reader
//   Prompt cycle      discard, show, read, accept; the end-of-input rule
//   Prompts           saisie<int>, <double>, <std::string>, <char>, <bool>, <void>
//   Reader            fichier
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <locale>
#include <streambuf>
#include <string>
#include <utility>

#include <outils/fichier.h>
#include <outils/saisie.h>

// ---- Platform layer ----
//
// Each platform provides, in an unnamed namespace:
//   entreeReguliere()       standard input is a regular (disk) file
//   entreeTube()            standard input is a pipe or a socket
//   recuEnC()               what the C library has received of stdin and not
//                           yet given out (a view; empty where unknown)
//   abandonnerConsole(f)    drops, without waiting, what the C library and the
//                           system hold of standard input, and clears stdin's
//                           indicators; `f`: an end of input was met since
//   lectureInterrompue()    the last read failed only for a signal or for
//                           input that is not ready (errno)
//   attendreEntree()        waits until standard input can be read
//   occuperDescripteurs()   takes each closed standard descriptor (0, 1, 2)
//                           with the null device, so that no file the program
//                           opens later is taken for one
//   ouvrirFichier(f, nom)   opens a file for reading, by its name in UTF-8 on
//                           Windows; a directory is not opened

namespace {

// Bytes received and not yet read, oldest first.
struct Recu {
  const char* debut = nullptr;
  std::size_t taille = 0;
};

}  // namespace

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
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

bool entreeTube() {
  return GetFileType(poigneeEntree()) == FILE_TYPE_PIPE;
}

// stdin's read pointer and count. The Universal CRT (Visual Studio 2015 and
// later, MinGW-w64 built for it) keeps FILE opaque and gives them through
// _get_stream_buffer_pointers, as its own <fstream> uses them; the older
// MSVCRT that MinGW-w64 links by default has them in FILE.
bool pointeursEntree(char**& lu, int*& reste) {
#if defined(_UCRT) || defined(_MSC_VER)
  char** base = nullptr;
  return _get_stream_buffer_pointers(stdin, &base, &lu, &reste) == 0 && lu && reste;
#else
  lu = &stdin->_ptr;
  reste = &stdin->_cnt;
  return true;
#endif
}

Recu recuEnC() {
  char** lu = nullptr;
  int* reste = nullptr;
  if (!pointeursEntree(lu, reste) || !*lu || *reste <= 0) return {};
  return {*lu, static_cast<std::size_t>(*reste)};
}

void abandonnerConsole(bool finVue) {
  // fflush(stdin) would drop the buffer with MSVCRT only: the Universal CRT
  // documents it as having no effect on an input stream.
  char** lu = nullptr;
  int* reste = nullptr;
  if (pointeursEntree(lu, reste) && *lu && *reste > 0) {
    *lu += *reste;
    *reste = 0;
  }
  if (entreeConsole()) {
    // After Ctrl-Z the C runtime answers every read with the end of input,
    // whatever clearerr() says: the console is opened again.
    FILE* console = nullptr;
    if (finVue) static_cast<void>(freopen_s(&console, "CONIN$", "r", stdin));
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

void occuperDescripteurs() {
  for (int descripteur = 0; descripteur <= 2; ++descripteur) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    if (reinterpret_cast<HANDLE>(_get_osfhandle(descripteur)) != INVALID_HANDLE_VALUE) continue;
    int nul = -1;
    if (_sopen_s(&nul, "NUL", descripteur == 0 ? _O_RDONLY : _O_WRONLY, _SH_DENYNO,
                 _S_IREAD | _S_IWRITE) != 0)
      continue;
    if (nul != descripteur) {
      _dup2(nul, descripteur);
      _close(nul);
    }
  }
}

void ouvrirFichier(std::ifstream& flux, const std::string& nom) {
  // A narrow name would be read in the ANSI code page: the name is taken as
  // UTF-8, and one that is not valid UTF-8 names no file.
  const int taille = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, nom.data(),
                                         static_cast<int>(nom.size()), nullptr, 0);
  if (taille <= 0 && !nom.empty()) {
    flux.setstate(std::ios::failbit);
    return;
  }
  std::wstring large(static_cast<std::size_t>(taille), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, nom.data(), static_cast<int>(nom.size()), large.data(), taille);
  flux.open(std::filesystem::path(large), std::ios::in);
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

mode_t typeEntree() {
  struct stat etat {};
  return fstat(STDIN_FILENO, &etat) == 0 ? (etat.st_mode & S_IFMT) : 0;
}

bool entreeReguliere() {
  return S_ISREG(typeEntree());
}

bool entreeTube() {
  const mode_t type = typeEntree();
  return S_ISFIFO(type) || S_ISSOCK(type);
}

Recu recuEnC() {
#if defined(__GLIBC__)
  return {stdin->_IO_read_ptr, static_cast<std::size_t>(stdin->_IO_read_end - stdin->_IO_read_ptr)};
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  return {reinterpret_cast<const char*>(stdin->_p),
          stdin->_r > 0 ? static_cast<std::size_t>(stdin->_r) : 0};
#elif __has_include(<stdio_ext.h>)  // musl
  std::size_t taille = 0;
  const char* debut = reinterpret_cast<const char*>(__freadptr(stdin, &taille));
  return {debut, debut ? taille : 0};
#else
  return {};
#endif
}

void abandonnerConsole(bool /*finVue*/) {
#if __has_include(<stdio_ext.h>)
  __fpurge(stdin);
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  fpurge(stdin);
#endif
  // A process in the background that flushed the terminal would be stopped
  // (SIGTTOU), and would throw away what the person types for another program.
  if (isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp()) tcflush(STDIN_FILENO, TCIFLUSH);
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

void occuperDescripteurs() {
  for (int descripteur = 0; descripteur <= 2; ++descripteur) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
    if (fcntl(descripteur, F_GETFD) >= 0 || errno != EBADF) continue;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
    const int nul = open("/dev/null", descripteur == 0 ? O_RDONLY : O_WRONLY);
    if (nul > descripteur) {  // the lowest free one is `descripteur`, unless taken meanwhile
      dup2(nul, descripteur);
      close(nul);
    }
  }
}

void ouvrirFichier(std::ifstream& flux, const std::string& nom) {
  // Some standard libraries open a directory and then read it as empty.
  struct stat etat {};
  if (stat(nom.c_str(), &etat) == 0 && S_ISDIR(etat.st_mode)) {
    flux.setstate(std::ios::failbit);
    return;
  }
  flux.open(nom.c_str(), std::ios::in);
}

}  // namespace

#endif

// ---- Start-up ----
//
// Before the program's own static objects are built, each of the standard
// descriptors 0, 1 and 2 that is closed is taken by the null device, and
// std::cin's buffer is recorded, to tell it later from one the program puts
// in place. This and that pointer are the library's only state of its own.

namespace {

// The library's only state, written once by demarrer().
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
std::streambuf* tamponDeDepart = nullptr;

void demarrer() {
  occuperDescripteurs();
  // cppcheck-suppress unusedVariable ; its constructor makes std::cin exist
  const std::ios_base::Init flux;
  tamponDeDepart = std::cin.rdbuf();
}

}  // namespace

#if defined(_MSC_VER)
#pragma init_seg(lib)
namespace {
struct Demarrage {
  Demarrage() { demarrer(); }
} const demarrage;
}  // namespace
#else
__attribute__((constructor(101))) static void demarrerOutils() {
  demarrer();
}
#endif

// ---- Which buffer std::cin reads through ----

#if defined(__GLIBCXX__) && defined(__GXX_RTTI)
#include <ext/stdio_filebuf.h>
#include <ext/stdio_sync_filebuf.h>
#endif

namespace {

// True while std::cin reads standard input through the buffer the standard
// library set up, false once the program has put a buffer of its own in
// place. libstdc++ with RTTI says it exactly (sync_with_stdio(false) replaces
// the buffer there); elsewhere the buffer recorded at start-up is compared.
bool lisLaConsole() {
  std::streambuf* tampon = std::cin.rdbuf();
#if defined(__GLIBCXX__) && defined(__GXX_RTTI)
  if (auto* synchro = dynamic_cast<__gnu_cxx::stdio_sync_filebuf<char>*>(tampon))
    return synchro->file() == stdin;
  if (auto* desynchro = dynamic_cast<__gnu_cxx::stdio_filebuf<char>*>(tampon))
    return desynchro->file() == stdin;
  return false;
#else
  if (tampon == nullptr) return false;
  if (tampon == tamponDeDepart) return true;
#if defined(__GLIBCXX__)
  // Unsynced, libstdc++ reads through a buffer it made then, which only RTTI
  // can tell from one the program put in place afterwards. There,
  // sync_with_stdio(true) only says whether the streams are still synced.
  return !std::ios_base::sync_with_stdio(true);
#else
  return false;
#endif
#endif
}

// What a stream buffer holds, received and not yet read. Unlike in_avail(),
// this never counts what the system could still deliver. The pointers are
// protected members of std::streambuf: a class derived from it may name them,
// through a pointer to member, on any other buffer.
struct tamponRecu : std::streambuf {
  static Recu de(const std::streambuf& tampon) {
    char* (std::streambuf::*lu)() const = &tamponRecu::gptr;
    char* (std::streambuf::*recu)() const = &tamponRecu::egptr;
    const char* debut = (tampon.*lu)();
    const std::ptrdiff_t taille = (tampon.*recu)() - debut;
    return {debut, taille > 0 ? static_cast<std::size_t>(taille) : 0};
  }
};

constexpr int kFin = std::char_traits<char>::eof();

int dernierOctet(Recu recu) {
  return recu.taille > 0 ? static_cast<unsigned char>(recu.debut[recu.taille - 1]) : kFin;
}

// Drops what std::cin's buffer holds, received and not read, without ever
// asking it for more; gives the last byte dropped, or kFin.
int abandonnerTampon() {
  std::cin.clear();
  std::streambuf* tampon = std::cin.rdbuf();
  if (!tampon) return kFin;
  const Recu recu = tamponRecu::de(*tampon);
  for (std::size_t i = 0; i < recu.taille; ++i) tampon->sbumpc();
  return dernierOctet(recu);
}

// Moves std::cin to the end of a regular file; false where it cannot. The
// standard input is positioned through the C stream, which every library's
// std::cin reads (or, unsynced, shares the descriptor of).
bool sauterALaFin(bool console) {
  if (console ? std::fseek(stdin, 0, SEEK_END) != 0 : std::cin.seekg(0, std::ios::end).fail()) {
    std::cin.clear();
    return false;
  }
  std::cin.ignore(std::numeric_limits<int>::max(), kFin);
  return true;
}

// Discards what standard input holds pending, never waiting. True when what
// was dropped ended inside a line of a pipe or a socket: the rest of that
// line is still to come, and must not be taken for an answer.
bool abandonnerEntree() {
  const bool finVue = std::cin.eof() || std::feof(stdin) != 0;
  std::cin.clear();
  if (!lisLaConsole()) {
    if (!sauterALaFin(false)) abandonnerTampon();
    return false;
  }
  std::clearerr(stdin);
  if (entreeReguliere()) {
    abandonnerTampon();
    if (sauterALaFin(true)) return false;
  }
  // The C library's bytes come after std::cin's own, which it delivered.
  const int dernierC = dernierOctet(recuEnC());
  int dernier = abandonnerTampon();
  if (dernierC != kFin) dernier = dernierC;
  abandonnerConsole(finVue);
  return dernier != kFin && dernier != '\n' && entreeTube();
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

// The read just made ended only because a signal came or the input was not
// ready: more may follow.
bool interrompue() {
  return finEntree() && lisLaConsole() && lectureInterrompue();
}

// After an interrupted read: clear the states, wait for input.
void reprendre() {
  std::cin.clear();
  std::clearerr(stdin);
  attendreEntree();
}

// A read error of standard input ends it, and says so: eof, fail and bad,
// whatever the library. libstdc++ unsynced reports it from inside its buffer
// (bad); elsewhere getc() gives EOF with stdin's error indicator set.
void constaterErreurEntree() {
  if (!lisLaConsole()) return;
  if (std::cin.bad() || (std::cin.eof() && std::ferror(stdin) != 0 && !lectureInterrompue()))
    std::cin.setstate(std::ios::eofbit | std::ios::failbit | std::ios::badbit);
}

// One read of a prompt. A read that ended in `echec` only because a signal
// came or the input was not ready waits for input and is made again; a read
// that succeeded all the same keeps its value and loses that state.
template <class Lecture>
void lireSansInterruption(Lecture lecture, std::ios::iostate echec) {
  for (;;) {
    errno = 0;
    lecture();
    if (!interrompue()) return constaterErreurEntree();
    if ((std::cin.rdstate() & echec) == 0) {
      std::cin.clear();
      std::clearerr(stdin);
      return;
    }
    reprendre();
  }
}

// Reads and discards up to and including the next line feed.
void finirLaLigne() {
  lireSansInterruption([] { std::cin.ignore(std::numeric_limits<int>::max(), '\n'); },
                       std::ios::eofbit | std::ios::badbit);
}

// ---- Real numbers ----
//
// An optional sign; digits; optionally a point or a comma and digits; then
// optionally e or E, an optional sign and digits. A point may stand first or
// last (.5, 5.), a comma only between digits: after "12," with no digit, the
// number is 12 and the comma stays pending. The same on every standard
// library, whatever the locales.

// The longest text of a real number; a longer one is refused.
constexpr std::size_t kLongueurReel = 256;

bool chiffre(int c) {
  return c >= '0' && c <= '9';
}

// Reads a real number's text into `texte`, with a point, after the blanks
// that >> skips; gives its length, or 0 with the failed state set. What
// follows the number stays pending.
std::size_t lireTexteReel(std::istream& flux, char (&texte)[kLongueurReel]) {
  const std::istream::sentry garde(flux);
  if (!garde) return 0;
  std::size_t n = 0;
  bool valide = false;
  try {
    std::streambuf& tampon = *flux.rdbuf();
    int c = tampon.sgetc();
    const auto ajouter = [&](int lu) {
      if (n < kLongueurReel) texte[n] = static_cast<char>(lu);
      ++n;
    };
    const auto garder = [&](int lu) {
      ajouter(lu);
      return tampon.snextc();
    };
    std::size_t chiffres = 0;
    const auto suite = [&] {
      for (; chiffre(c); ++chiffres) c = garder(c);
    };
    if (c == '+' || c == '-') c = garder(c);
    suite();
    if (c == '.') {
      c = garder(c);
      suite();
    } else if (c == ',' && chiffres > 0) {
      c = tampon.snextc();
      if (chiffre(c)) {
        ajouter('.');
        suite();
      } else {
        tampon.sungetc();  // the comma stays pending
        c = ',';
      }
    }
    valide = chiffres > 0;
    if (valide && (c == 'e' || c == 'E')) {
      c = garder(c);
      if (c == '+' || c == '-') c = garder(c);
      chiffres = 0;
      suite();
      valide = chiffres > 0;
    }
    if (c == kFin) flux.setstate(std::ios::eofbit);
  } catch (...) {  // a read error of the system, thrown by a file buffer
    flux.setstate(std::ios::badbit);
  }
  if (!valide || n >= kLongueurReel) {
    flux.setstate(std::ios::failbit);
    return 0;
  }
  texte[n] = '\0';
  return n;
}

// The value of a text read by lireTexteReel, as strtod (strtof) gives it in
// the "C" locale; false on overflow. errno stays as the read left it.
template <class R>
bool convertirReel(char* texte, R& valeur) {
  const char point = *std::localeconv()->decimal_point;  // strtod reads the C locale's
  std::replace(texte, texte + std::strlen(texte), '.', point);
  const int erreurDeLecture = errno;
  R lu;
  if constexpr (std::is_same_v<R, float>)
    lu = std::strtof(texte, nullptr);
  else
    lu = std::strtod(texte, nullptr);
  errno = erreurDeLecture;
  if (std::isinf(lu)) return false;
  valeur = lu;
  return true;
}

// One real number from `flux` into `valeur`; the failed state when there is
// none, or when it overflows.
template <class R>
void lireReel(std::istream& flux, R& valeur) {
  char texte[kLongueurReel];
  if (lireTexteReel(flux, texte) > 0 && !convertirReel(texte, valeur))
    flux.setstate(std::ios::failbit);
}

// ---- The prompt cycle ----

// Writes a prompt's text, and makes sure it is seen before the read.
void montrer(const std::string& texte) {
  std::cout << texte << std::flush;
}

// Discards pending input, shows the text, reads with `lire` until `accepte`
// takes the answer. At the end of input it returns `auBout`, std::cin keeping
// its state; only there may the caller's exception mask throw.
template <class T, class Lecture, class Accepte>
T demanderJusquA(const std::string& invite, Lecture lire, Accepte accepte, T auBout) {
  masqueSuspendu garde;
  for (;;) {
    const bool ligneEntamee = abandonnerEntree();
    montrer(invite);
    if (ligneEntamee) finirLaLigne();
    T valeur = lire();
    if (accepte(valeur)) return garde.rendre(std::move(valeur));
    if (finEntree()) return garde.rendre(std::move(auBout));
  }
}

// The first character of the answer, or kFin.
int lireCaractere() {
  int lu = kFin;
  lireSansInterruption([&] { lu = std::cin.get(); }, std::ios::failbit);
  return lu;
}

// A whole line, without its line feed or CR LF. Pieces cut apart by a signal,
// or by input that was not ready, are joined: the line ends only at a line
// feed or at a real end of input.
std::string lireLigne() {
  std::string ligne;
  std::string morceau;
  lireSansInterruption(
      [&] {
        std::getline(std::cin, morceau);
        ligne += morceau;
      },
      std::ios::eofbit | std::ios::badbit);
  if (!ligne.empty()) std::cin.clear(std::cin.rdstate() & ~std::ios::failbit);
  if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
  return ligne;
}

// Upper case as in the "C" locale, whatever the program's locale.
char majuscule(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

// ---- Prompt base, pause and screen ----

void viderEntree() {
  const masqueSuspendu garde;
  abandonnerEntree();
}

void effacerEcran() {
  for (int i = 0; i < 25; ++i) std::cout << '\n';
}

bool saisie<void>::saisir() {
  masqueSuspendu garde;
  montrer(invite);
  if (abandonnerEntree()) finirLaLigne();
  finirLaLigne();
  return garde.rendre(true);
}

// ---- Typed prompts ----

template <>
int saisie<int>::saisir() {
  const auto lire = [] {
    int n = 0;
    lireSansInterruption([&] { std::cin >> n; }, std::ios::failbit);
    return n;
  };
  const auto accepte = [this](int n) {
    return !std::cin.fail() && limites.bas <= n && n <= limites.haut;
  };
  return demanderJusquA(invite, lire, accepte, 0);
}

template <>
double saisie<double>::saisir() {
  const auto lire = [] {
    double x = 0;
    lireSansInterruption([&] { lireReel(std::cin, x); }, std::ios::failbit);
    return x;
  };
  const auto accepte = [this](double x) {
    return !std::cin.fail() && limites.bas <= x && x <= limites.haut;
  };
  return demanderJusquA(invite, lire, accepte, 0.0);
}

template <>
std::string saisie<std::string>::saisir() {
  return demanderJusquA(
      invite, lireLigne, [](const std::string& ligne) { return !ligne.empty(); }, std::string());
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
  const auto accepte = [this](int lu) {
    return lu == kFin || autorises.empty() || estAutorise(static_cast<char>(lu));
  };
  return static_cast<char>(demanderJusquA(invite, lireCaractere, accepte, kFin));
}

saisie<bool>::saisie(std::string texte, char lettreOui, char lettreNon)
    : entree<bool>(std::move(texte)), oui(majuscule(lettreOui)), non(majuscule(lettreNon)) {}

bool saisie<bool>::saisir() {
  const auto accepte = [this](int lu) {
    const char c = majuscule(static_cast<char>(lu));
    return lu == kFin || c == oui || c == non;
  };
  const int lu = demanderJusquA(invite, lireCaractere, accepte, kFin);
  return lu != kFin && majuscule(static_cast<char>(lu)) == oui;
}

// ---- Text-file reader ----

fichier::fichier(const std::string& nom) {
  ouvrir(nom);
}

namespace {

// After a read of the file that met its end: libc++'s and MSVC's file buffers
// report a read error of the system as the end of the file, and errno (cleared
// before the read) tells them apart; libstdc++'s throws, which sets bad.
void constaterErreur(std::istream& flux) {
  if (flux.eof() && errno != 0 && errno != ERANGE && errno != EINVAL)
    flux.setstate(std::ios::badbit);
}

// Skips a UTF-8 byte-order mark at the start of a file just opened and
// peeked, when the buffer holds it whole.
void sauterMarque(std::istream& flux) {
  static constexpr char kMarque[] = "\xEF\xBB\xBF";
  std::streambuf& tampon = *flux.rdbuf();
  const Recu recu = tamponRecu::de(tampon);
  if (recu.taille >= 3 && std::equal(kMarque, kMarque + 3, recu.debut))
    for (int i = 0; i < 3; ++i) tampon.sbumpc();
}

}  // namespace

bool fichier::ouvrir(const std::string& nom) {
  // While a file is open the call is refused, and that file keeps its state and position.
  const bool dejaOuvert = flux.is_open();
  if (!dejaOuvert) {
    flux.imbue(std::locale::classic());  // numbers and blanks as written, whatever the program's
    ouvrirFichier(flux, nom);
  }
  if (!dejaOuvert && !flux.fail() && flux.peek() == kFin && flux.bad()) {
    flux.close();  // opened, but it cannot be read: a directory, a read error
    flux.setstate(std::ios::failbit);
  }
  if (dejaOuvert || flux.fail()) {
    std::cout << "le fichier \"" << nom << "\" est absent\n";
    return false;
  }
  sauterMarque(flux);
  if (flux.peek() == kFin) {
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
  errno = 0;
  try {
    std::streambuf& tampon = *flux.rdbuf();
    for (int c = tampon.sgetc();; c = tampon.snextc()) {
      if (c == kFin) {
        flux.setstate(std::ios::eofbit);
        constaterErreur(flux);
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

// One read of the file; on failure, T's zero value and the message.
template <class T, class Lecture>
fichier& fichier::lireOuSignaler(T& valeur, const char* attendu, Lecture lecture) {
  errno = 0;
  lecture();
  constaterErreur(flux);
  if (flux.fail()) {
    valeur = T();
    signaler(attendu);
  }
  return *this;
}

fichier& fichier::lire(int& n) {
  return lireOuSignaler(n, " attendu entier", [&] { flux >> n; });
}

fichier& fichier::lire(long& n) {
  return lireOuSignaler(n, " attendu entier", [&] { flux >> n; });
}

fichier& fichier::lire(long long& n) {
  return lireOuSignaler(n, " attendu entier", [&] { flux >> n; });
}

fichier& fichier::lire(float& x) {
  return lireOuSignaler(x, " attendu naturel", [&] { lireReel(flux, x); });
}

fichier& fichier::lire(double& x) {
  return lireOuSignaler(x, " attendu naturel", [&] { lireReel(flux, x); });
}

fichier& fichier::lireLigne(std::string& ligne) {
  lireOuSignaler(ligne, " attendu ligne", [&] { std::getline(flux, ligne); });
  if (flux && !ligne.empty() && ligne.back() == '\r') ligne.pop_back();
  return *this;
}

fichier& fichier::lire(std::string& s) {
  return lireOuSignaler(s, " attendu serie de charactere", [&] { flux >> s; });
}

fichier& fichier::lire(char& c) {
  return lireOuSignaler(c, " attendu charactere", [&] { c = static_cast<char>(flux.get()); });
}

// The stream's own word extraction with a width of `taille`, written out
// because C++20 keeps it for arrays only: skip leading white space, store up
// to taille - 1 characters and a NUL; no character stored is a failure, and
// a failure stores the empty word.
fichier& fichier::lire(char* mot, std::size_t taille) {
  errno = 0;
  const std::istream::sentry garde(flux);
  if (garde && taille > 0) {
    const auto& types = std::use_facet<std::ctype<char>>(flux.getloc());
    std::size_t n = 0;
    try {
      std::streambuf& tampon = *flux.rdbuf();
      int c = tampon.sgetc();
      for (; n + 1 < taille && c != kFin; c = tampon.snextc()) {
        const char lu = static_cast<char>(c);
        if (types.is(std::ctype_base::space, lu)) break;
        mot[n++] = lu;
      }
      if (c == kFin) flux.setstate(std::ios::eofbit);
      constaterErreur(flux);
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
