// The library's non-template code.
//
//   C library      what standard input is and what the C library holds of it,
//                  one section per platform (POSIX, Windows): sorteEntree,
//                  dernierRecuEnC, purgerEntreeC, lectureInterrompue,
//                  attendreEntree, occuperDescripteurs, ouvrirFichier; and the
//                  terminal or console for clavier: clavierEnEntree,
//                  ModeTerminal, lireTerminal, ecrireTerminal...
//   C++ library    what differs from one standard library to another:
//                  voieDeCin, rendApresRemplissage, constaterErreurEntree,
//                  constaterErreurDeFichier
//   Start-up       the one piece that runs without being called
//   Buffers        a view of a get area; reads straight from a buffer
//   Discarding     abandonnerEntree: drop what was received, never waiting
//   Real numbers   one grammar, a point or a comma, for prompts and reader
//   Prompt cycle   discard, show, read, accept; the end-of-input rule
//   Prompts        saisie<int>, <double>, <std::string>, <char>, <bool>, <void>
//   Keyboard       clavier: a line edited at a terminal, its history, its drawing
//   Reader         fichier
#include <algorithm>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <locale>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

#if defined(__GLIBCXX__) && defined(__GXX_RTTI)
#include <ext/stdio_filebuf.h>       // std::cin unsynced
#include <ext/stdio_sync_filebuf.h>  // std::cin synced
#endif

#include <outils/clavier.h>
#include <outils/fichier.h>
#include <outils/saisie.h>

namespace {

constexpr int kFin = std::char_traits<char>::eof();

int octet(char c) {
  return static_cast<unsigned char>(c);
}

bool suiteUtf8(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The bytes of the UTF-8 character that `tete` starts.
std::size_t longueurUtf8(char tete) {
  const auto c = static_cast<unsigned char>(tete);
  return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

// What standard input is. A terminal, a console and a device are `autre`.
enum class Sorte { reguliere, tube, autre };

}  // namespace

// ---- C library ----
//
// Each platform provides, in an unnamed namespace:
//   sorteEntree()           what standard input is (one query of the system)
//   dernierRecuEnC()        the last byte the C library received of stdin,
//                           read since or not; kFin where it is not known
//   purgerEntreeC(f)        drops, without waiting, what the C library and the
//                           system hold of standard input (a terminal's typed
//                           lines too), and clears stdin's indicators; `f`: an
//                           end of input was met since the last discard
//   lectureInterrompue(e)   a read failed with errno `e` only for a signal or
//                           for input that is not ready
//   attendreEntree()        waits until standard input can be read
//   occuperDescripteurs()   takes each closed standard descriptor (0, 1, 2)
//                           with the null device
//   ouvrirFichier(f, nom)   opens a file for reading, by its name in UTF-8 on
//                           Windows; a directory is not opened
//   clavierEnEntree()       a clavier reads standard input: POSIX, standard
//                           input and output are terminals, TERM set and not
//                           "dumb"; Windows, standard input is a console
//   clavierEnSortie()       a clavier takes std::cout: POSIX, as
//                           clavierEnEntree() (the editor needs its column);
//                           Windows, standard output is a console
//   kSortieConsole          what a clavier's std::cout writes goes to the
//                           console through ecrireTerminal(s, n), in UTF-16
//                           (Windows), or on to std::cout's buffer (POSIX)
//   lireTerminal(s, n, e)   a read as it is; on Windows, of the console in
//                           UTF-16, given in UTF-8; `e`: the console holds the
//                           rest of the line, which finirLigneConsole() drops
//   entrerModeBrut(m)       the terminal out of canonical mode for one line,
//                           when it is in it and the program in the foreground;
//                           sortirModeBrut(m) puts it back (never on Windows,
//                           where the console's line mode edits)
//   ecrireTerminal(s, n)    writes to standard output, a terminal or a console
//                           (whole UTF-8 characters there); false on an error
//   lignePrete(), largeurTerminal(), dejaTape(), lireUnOctet(c),
//   envoyerAuGroupe(signal)
//
// The C libraries, and what dernierRecuEnC() cannot know (kFin then, and a
// prompt takes the input for being at the start of a line, as on a terminal):
//   glibc         FILE's public fields; after ungetc() of another character
//                 the main area is kept in _IO_save_*. Not known: before the
//                 first read, and after a read that brought nothing (the end,
//                 an error, a signal).
//   BSD family    (macOS, FreeBSD, NetBSD, OpenBSD) _p, _r and _bf. Also not
//                 known while an ungetc() of another character is held in _ub
//                 (macOS keeps the main area's place in private fields).
//   musl          __freadptr(): known only while some of it is unread, and a
//                 byte put back by ungetc() is taken for one received.
//   MSVCRT, UCRT  _ptr, _cnt and _base, through _get_stream_buffer_pointers
//                 with the Universal CRT. Not known after a read that brought
//                 nothing.
//   another       never known, and stdin's own buffer is not dropped (only
//                 std::cin's and the terminal's are): a line typed ahead may
//                 answer the next prompt there.

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

#if defined(_UCRT) && !defined(_MSC_VER)
// MinGW-w64's headers for the Universal CRT do not declare it; ucrtbase.dll
// exports it (Visual Studio's <stdio.h> declares it).
extern "C" errno_t __cdecl _get_stream_buffer_pointers(FILE*, char***, char***, int**);
#endif

namespace {

// The handle under a descriptor of the C runtime, which gives it as an integer.
HANDLE poigneeDe(int descripteur) {
  if (descripteur < 0) return INVALID_HANDLE_VALUE;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast,performance-no-int-to-ptr)
  return reinterpret_cast<HANDLE>(_get_osfhandle(descripteur));
}

// The handle that stdin reads, which is not always GetStdHandle's.
HANDLE poigneeEntree() {
  return poigneeDe(_fileno(stdin));
}

HANDLE poigneeSortie() {
  return poigneeDe(_fileno(stdout));
}

// A console, and not NUL, which _isatty also takes for a device.
bool console(HANDLE poignee) {
  DWORD mode = 0;
  return GetConsoleMode(poignee, &mode) != 0;
}

bool entreeConsole() {
  return console(poigneeEntree());
}

Sorte sorteEntree() {
  switch (GetFileType(poigneeEntree())) {
    case FILE_TYPE_DISK:
      return Sorte::reguliere;
    case FILE_TYPE_PIPE:
      return Sorte::tube;
    default:
      return Sorte::autre;
  }
}

// stdin's buffer: its start, read pointer and count left. The Universal CRT
// (Visual Studio 2015 and later, MinGW-w64 built for it) keeps FILE opaque
// and gives them through _get_stream_buffer_pointers, as its own <fstream>
// uses them; the older MSVCRT that MinGW-w64 links by default has them in FILE.
struct PointeursC {
  char** debut = nullptr;
  char** lu = nullptr;
  int* reste = nullptr;
};

bool pointeursEntree(PointeursC& p) {
#if defined(_UCRT) || defined(_MSC_VER)
  return _get_stream_buffer_pointers(stdin, &p.debut, &p.lu, &p.reste) == 0 && p.debut && p.lu &&
         p.reste;
#else
  p = {&stdin->_base, &stdin->_ptr, &stdin->_cnt};
  return true;
#endif
}

int dernierRecuEnC() {
  PointeursC p;
  if (!pointeursEntree(p) || !*p.debut || !*p.lu) return kFin;
  const char* fin = *p.lu + std::max(*p.reste, 0);
  return std::less<>()(*p.debut, fin) ? octet(fin[-1]) : kFin;
}

void purgerEntreeC(bool finVue) {
  // fflush(stdin) would drop the buffer with MSVCRT only: the Universal CRT
  // documents it as having no effect on an input stream.
  PointeursC p;
  if (pointeursEntree(p) && *p.lu && *p.reste > 0) {
    *p.lu += *p.reste;
    *p.reste = 0;
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

bool lectureInterrompue(int erreur) {
  return erreur == EINTR || erreur == EAGAIN;
}

void attendreEntree() {
  WaitForSingleObject(poigneeEntree(), INFINITE);
}

void occuperDescripteurs() {
  for (int descripteur = 0; descripteur <= 2; ++descripteur) {
    if (poigneeDe(descripteur) != INVALID_HANDLE_VALUE) continue;
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

// A clavier on a console: the console's line mode edits (its keys, its
// history), and the clavier reads and writes it in UTF-16, so that neither
// side depends on the console's code pages, which it never changes.
struct ModeTerminal {
  bool echo = false;
  int signalDe(unsigned char /*touche*/) const { return 0; }
  unsigned char effacer = 0x08, fin = 0x1A;
};

bool clavierEnEntree() {
  return entreeConsole();
}
bool clavierEnSortie() {
  return console(poigneeSortie());
}
bool entrerModeBrut(ModeTerminal& /*mode*/) {
  return false;
}
void sortirModeBrut(const ModeTerminal& /*mode*/) {}
std::size_t largeurTerminal() {
  return 80;
}
bool lignePrete() {
  return false;
}
std::size_t dejaTape() {
  return 0;
}
long lireUnOctet(char& /*octet*/) {
  return 0;
}
void envoyerAuGroupe(int /*signal*/) {}

bool modeLigne() {
  DWORD mode = 0;
  return GetConsoleMode(poigneeEntree(), &mode) != 0 && (mode & ENABLE_LINE_INPUT) != 0;
}

// Up to `voulu` UTF-16 units typed. A Ctrl-C that a handler of the program
// takes ends the read with none (and ERROR_OPERATION_ABORTED on some
// versions): that is not an error.
bool lireConsole(wchar_t* large, DWORD voulu, DWORD& lu) {
  lu = 0;
  return ReadConsoleW(poigneeEntree(), large, voulu, &lu, nullptr) != 0 ||
         GetLastError() == ERROR_OPERATION_ABORTED;
}

// In line mode, the rest of a line partly read is already in the console:
// reading it out never waits. FlushConsoleInputBuffer() does not drop it.
void finirLigneConsole() {
  wchar_t large[256];
  DWORD lu = 0;
  while (modeLigne() && lireConsole(large, 256, lu) && lu > 0 && large[lu - 1] != L'\n') {
  }
}

// At most `taille` / 3 - 1 units are read, one more to keep a surrogate pair
// or a CR LF whole: each unit gives at most 3 bytes. Ctrl-Z ends the line:
// what comes before it is given, the rest is dropped, and at its start it is
// the end of input (as the C runtime's text mode has it).
long lireTerminal(char* octets, std::size_t taille, bool& entamee) {
  constexpr std::size_t kUnites = 1365;
  wchar_t large[kUnites];
  const auto voulu = static_cast<DWORD>(std::clamp<std::size_t>(taille / 3, 2, kUnites) - 1);
  entamee = false;
  DWORD n = 0;
  if (!lireConsole(large, voulu, n)) {
    errno = EIO;
    return -1;
  }
  if (n == 0) {  // a Ctrl-C that the program's handler took: read again
    errno = EINTR;
    return -1;
  }
  const bool ligne = modeLigne();
  DWORD un = 0;
  if (ligne && n == voulu && (IS_HIGH_SURROGATE(large[n - 1]) || large[n - 1] == L'\r') &&
      lireConsole(large + n, 1, un))
    n += un;
  entamee = ligne && large[n - 1] != L'\n';
  const auto finDeTexte = static_cast<DWORD>(std::find(large, large + n, L'\x1A') - large);
  if (finDeTexte < n) {
    if (entamee) finirLigneConsole();
    entamee = false;
    n = finDeTexte;
  }
  DWORD k = 0;
  for (DWORD i = 0; i < n; ++i)
    if (large[i] != L'\r' || i + 1 == n || large[i + 1] != L'\n') large[k++] = large[i];
  if (k == 0) return 0;
  return WideCharToMultiByte(CP_UTF8, 0, large, static_cast<int>(k), octets,
                             static_cast<int>(std::min<std::size_t>(taille, INT_MAX)), nullptr,
                             nullptr);
}

constexpr bool kSortieConsole = true;

// How many of the first `taille` bytes of `texte` to take, at most `plafond`,
// without cutting a character (a run of stray continuation bytes is cut).
std::size_t sansCouper(const char* texte, std::size_t taille, std::size_t plafond) {
  if (taille <= plafond) return taille;
  std::size_t k = plafond;
  while (k > 0 && k + 3 > plafond && suiteUtf8(texte[k])) --k;
  return suiteUtf8(texte[k]) ? plafond : k;
}

// Whole UTF-8 characters to the console; a stray byte is drawn as U+FFFD.
bool ecrireTerminal(const char* texte, std::size_t taille) {
  constexpr std::size_t kUnites = 1024;  // a byte gives at most one unit
  wchar_t large[kUnites];
  const HANDLE sortie = poigneeSortie();
  while (taille > 0) {
    const std::size_t part = sansCouper(texte, taille, kUnites);
    const int n = MultiByteToWideChar(CP_UTF8, 0, texte, static_cast<int>(part), large,
                                      static_cast<int>(kUnites));
    for (int fait = 0; fait < n;) {
      DWORD ecrits = 0;
      if (WriteConsoleW(sortie, large + fait, static_cast<DWORD>(n - fait), &ecrits, nullptr) ==
              0 ||
          ecrits == 0)
        return false;
      fait += static_cast<int>(ecrits);
    }
    texte += part;
    taille -= part;
  }
  return true;
}

}  // namespace

#else  // POSIX

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#if __has_include(<stdio_ext.h>)
#include <stdio_ext.h>  // __fpurge, __freadptr: glibc, musl
#endif

#if defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
#define OUTILS_STDIO_BSD 1
#endif

namespace {

Sorte sorteEntree() {
  struct stat etat {};
  if (fstat(STDIN_FILENO, &etat) != 0) return Sorte::autre;
  if (S_ISREG(etat.st_mode)) return Sorte::reguliere;
  if (S_ISFIFO(etat.st_mode) || S_ISSOCK(etat.st_mode)) return Sorte::tube;
  return Sorte::autre;
}

#if defined(__GLIBC__)
// Whether stdin reads its main area, not the one ungetc() makes apart (the
// main area's unread part is then kept in _IO_save_base and _IO_save_end).
bool zonePrincipale(const FILE& f) {
  const std::less<> avant;
  return !avant(f._IO_read_base, f._IO_buf_base) && !avant(f._IO_buf_end, f._IO_read_end);
}

// Whether stdin holds bytes unread, in either area.
bool resteDansStdin(const FILE& f) {
  const std::less<> avant;
  return avant(f._IO_read_ptr, f._IO_read_end) ||
         (!zonePrincipale(f) && avant(f._IO_save_base, f._IO_save_end));
}
#endif

int dernierRecuEnC() {
  const std::less<> avant;
#if defined(__GLIBC__)
  const FILE& f = *stdin;
  const char* fin = zonePrincipale(f) ? f._IO_read_end : f._IO_save_end;
  return f._IO_buf_base && avant(f._IO_buf_base, fin) ? octet(fin[-1]) : kFin;
#elif defined(OUTILS_STDIO_BSD)
  const FILE& f = *stdin;
  if (f._ub._base) return kFin;
  const unsigned char* fin = f._p + std::max(f._r, 0);
  return f._bf._base && avant(f._bf._base, fin) ? fin[-1] : kFin;
#elif __has_include(<stdio_ext.h>)  // musl
  std::size_t taille = 0;
  const char* debut = reinterpret_cast<const char*>(__freadptr(stdin, &taille));
  static_cast<void>(avant);
  return debut && taille > 0 ? octet(debut[taille - 1]) : kFin;
#else
  static_cast<void>(avant);
  return kFin;
#endif
}

void purgerEntreeC(bool /*finVue*/) {
#if defined(__GLIBC__)
  // __fpurge() ends the main area where it was read, which would hide the
  // last byte received from dernierRecuEnC(): what stdin holds is read out
  // first (never more: each getc() has a byte in hand).
  while (resteDansStdin(*stdin)) getc_unlocked(stdin);
#endif
#if __has_include(<stdio_ext.h>)
  __fpurge(stdin);
#elif defined(OUTILS_STDIO_BSD)
  fpurge(stdin);
#endif
  // A process in the background that flushed the terminal would be stopped
  // (SIGTTOU), and would throw away what the person types for another program.
  if (isatty(STDIN_FILENO) && tcgetpgrp(STDIN_FILENO) == getpgrp()) tcflush(STDIN_FILENO, TCIFLUSH);
  std::clearerr(stdin);
}

bool lectureInterrompue(int erreur) {
  return erreur == EINTR || erreur == EAGAIN || erreur == EWOULDBLOCK;
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
  // A directory opens, then fails its first read, which libstdc++ throws and
  // libc++ takes for an empty file: it is refused here, as on Windows.
  struct stat etat {};
  if (stat(nom.c_str(), &etat) == 0 && S_ISDIR(etat.st_mode)) {
    flux.setstate(std::ios::failbit);
    return;
  }
  flux.open(nom.c_str(), std::ios::in);
}

// The terminal's settings while a clavier edits a line, and its keys.
struct ModeTerminal {
  termios avant{};
  bool echo = false;
  unsigned char effacer = 0x7F, fin = 0x04;
  // The signal a key sends, as the terminal would: only with its signal keys on.
  int signalDe(unsigned char touche) const {
    if ((avant.c_lflag & ISIG) == 0 || touche == _POSIX_VDISABLE) return 0;
    if (touche == avant.c_cc[VINTR]) return SIGINT;
    if (touche == avant.c_cc[VQUIT]) return SIGQUIT;
    if (touche == avant.c_cc[VSUSP]) return SIGTSTP;
    return 0;
  }
};

bool clavierEnEntree() {
  const char* terminal = std::getenv("TERM");
  return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO) && terminal && *terminal &&
         std::strcmp(terminal, "dumb") != 0;
}
bool clavierEnSortie() {
  return clavierEnEntree();
}

bool entrerModeBrut(ModeTerminal& mode) {
  // In the background of its controlling terminal, a program reads as it is
  // (and is stopped by the terminal); a terminal it does not control has no
  // foreground.
  const pid_t premierPlan = tcgetpgrp(STDIN_FILENO);
  if (tcgetattr(STDIN_FILENO, &mode.avant) != 0 || (mode.avant.c_lflag & ICANON) == 0 ||
      (premierPlan != -1 && premierPlan != getpgrp()))
    return false;
  termios brut = mode.avant;
  brut.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  brut.c_cc[VMIN] = 1;
  brut.c_cc[VTIME] = 0;
  mode.echo = (mode.avant.c_lflag & ECHO) != 0;
  mode.effacer = mode.avant.c_cc[VERASE];
  mode.fin = mode.avant.c_cc[VEOF];
  return tcsetattr(STDIN_FILENO, TCSANOW, &brut) == 0;
}

void sortirModeBrut(const ModeTerminal& mode) {
  tcsetattr(STDIN_FILENO, TCSANOW, &mode.avant);
}

std::size_t largeurTerminal() {
  winsize taille{};
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
  return ioctl(STDOUT_FILENO, TIOCGWINSZ, &taille) == 0 && taille.ws_col > 0 ? taille.ws_col : 80;
}

// A line, or the end of input, that the terminal already gives: typed, edited
// and echoed before the read began.
bool lignePrete() {
  pollfd entree{STDIN_FILENO, POLLIN, 0};
  return poll(&entree, 1, 0) > 0;
}

// Bytes the terminal holds, typed before the edit began (and echoed then).
std::size_t dejaTape() {
  int n = 0;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
  return ioctl(STDIN_FILENO, FIONREAD, &n) == 0 && n > 0 ? static_cast<std::size_t>(n) : 0;
}

long lireUnOctet(char& octet) {
  return read(STDIN_FILENO, &octet, 1);
}

// What a read leaves of a terminal's line, a discard's tcflush() drops.
long lireTerminal(char* octets, std::size_t taille, bool& entamee) {
  entamee = false;
  return read(STDIN_FILENO, octets, taille);
}
void finirLigneConsole() {}

constexpr bool kSortieConsole = false;

bool ecrireTerminal(const char* texte, std::size_t taille) {
  while (taille > 0) {
    const ssize_t n = write(STDOUT_FILENO, texte, taille);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    texte += n;
    taille -= static_cast<std::size_t>(n);
  }
  return true;
}

void envoyerAuGroupe(int signal) {
  kill(0, signal);
}

}  // namespace

#endif

// ---- Start-up ----
//
// demarrer() runs before the program's static objects of ordinary priority
// (the rule, its order and its limits: docs/invites.md, "Au démarrage"): a
// closed standard descriptor would let a file the program opens be taken for
// standard input or output, and std::cin's buffer at start tells it later
// from one the program puts in place.

namespace {

// The library's only state: std::cin's buffer at start, written once by
// demarrer(), and the input buffer of the clavier in place, if one is (in
// front of std::cin or not).
struct Depart {
  std::streambuf* cin = nullptr;
  outils::detail::ligneEditee* clavier = nullptr;
};
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
Depart depart;

void demarrer() {
  occuperDescripteurs();
  // cppcheck-suppress unusedVariable ; its constructor makes std::cin exist
  const std::ios_base::Init flux;
  depart.cin = std::cin.rdbuf();
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

// ---- C++ library ----
//
// What differs from one standard library to another:
//   std::cin's buffer   libstdc++: synced, a stdio_sync_filebuf that takes each
//                       character from stdin; unsynced, a stdio_filebuf with a
//                       buffer of its own on descriptor 0. libc++: a buffer
//                       that takes each character from stdin and keeps one
//                       given back in itself. MSVC: a filebuf whose get area
//                       is stdin's own buffer.
//   giving a byte back  libstdc++'s file buffers cannot once they have
//                       refilled, unless they can seek; libc++'s keep room for
//                       it, MSVC's give it to ungetc().
//   read errors         libstdc++'s file buffers throw, and the stream is bad;
//                       libc++'s and MSVC's report the end of the file, and
//                       stdin's error indicator or errno tells.

namespace {

// How std::cin reads: through stdin, one character at a time or in stdin's
// own buffer; through a buffer of its own on the same descriptor
// (libstdc++ unsynced); through a clavier's, which reads descriptor 0 itself;
// or through a buffer the program put in place.
enum class Voie { parStdin, parSonTampon, parClavier, parLeProgramme };

Voie voieDeCin() {
  std::streambuf* tampon = std::cin.rdbuf();
  if (tampon != nullptr && tampon == depart.clavier) return Voie::parClavier;
#if defined(__GLIBCXX__) && defined(__GXX_RTTI)
  if (auto* synchro = dynamic_cast<__gnu_cxx::stdio_sync_filebuf<char>*>(tampon))
    return synchro->file() == stdin ? Voie::parStdin : Voie::parLeProgramme;
  if (auto* desynchro = dynamic_cast<__gnu_cxx::stdio_filebuf<char>*>(tampon))
    return desynchro->file() == stdin ? Voie::parSonTampon : Voie::parLeProgramme;
  return Voie::parLeProgramme;
#else
  if (tampon == nullptr) return Voie::parLeProgramme;
  if (tampon == depart.cin) return Voie::parStdin;
#if defined(__GLIBCXX__)
  // Unsynced, libstdc++ reads through a buffer it made then, which only RTTI
  // can tell from one the program put in place afterwards. There,
  // sync_with_stdio(true) only says whether the streams are still synced.
  if (!std::ios_base::sync_with_stdio(true)) return Voie::parSonTampon;
#endif
  return Voie::parLeProgramme;
#endif
}

// Whether `tampon`, with one byte left in its get area, can take it, refill,
// and give it back. libstdc++'s file buffer gives back across a refill by
// seeking, which fails on a pipe or a terminal.
bool rendApresRemplissage(std::streambuf& tampon) {
#if defined(__GLIBCXX__)
  return tampon.pubseekoff(0, std::ios::cur, std::ios::in) != std::streampos(std::streamoff(-1));
#else
  static_cast<void>(tampon);
  return true;
#endif
}

// After a read of std::cin that ended with errno `erreur`: a read error of the
// system ends the input, and says so (eof, fail and bad) whatever the
// library. libstdc++ unsynced reports it from inside its buffer (bad);
// elsewhere getc() gave EOF with stdin's error indicator set.
void constaterErreurEntree(int erreur) {
  const Voie voie = voieDeCin();
  if (voie == Voie::parLeProgramme) return;
  if (voie == Voie::parClavier) {  // it reads descriptor 0: an error leaves errno
    if (std::cin.eof() && erreur != 0 && !lectureInterrompue(erreur))
      std::cin.setstate(std::ios::eofbit | std::ios::failbit | std::ios::badbit);
    return;
  }
  if (std::cin.bad() || (std::cin.eof() && std::ferror(stdin) != 0 && !lectureInterrompue(erreur)))
    std::cin.setstate(std::ios::eofbit | std::ios::failbit | std::ios::badbit);
}

// The same for a file of the reader, once a read met its end. The C library's
// end of file is sticky (it does not read again), so asking the buffer once
// more with errno cleared reads again only after an error, which sets errno.
void constaterErreurDeFichier(std::istream& flux) {
#if !defined(__GLIBCXX__)
  if (!flux.eof() || flux.bad()) return;
  errno = 0;
  flux.rdbuf()->sgetc();
  if (errno != 0) flux.setstate(std::ios::badbit);
#else
  static_cast<void>(flux);
#endif
}

// ---- Buffers ----

// Bytes received and not yet read, oldest first.
struct Recu {
  const char* debut = nullptr;
  std::size_t taille = 0;
};

// A view of a stream buffer's get area. Unlike in_avail(), it never counts
// what the system could still deliver. The pointers are protected members of
// std::streambuf: a class derived from it may name them, through a pointer to
// member, on any other buffer.
struct zone : std::streambuf {
  // What `tampon` holds, received and not yet read.
  static Recu recu(const std::streambuf& tampon) {
    const char* debut = (tampon.*&zone::gptr)();
    const std::ptrdiff_t taille = (tampon.*&zone::egptr)() - debut;
    return {debut, taille > 0 ? static_cast<std::size_t>(taille) : 0};
  }
  // The last byte its get area received, read since or not; kFin when it has
  // none (a buffer that reads through stdin).
  static int dernierRecu(const std::streambuf& tampon) {
    const char* debut = (tampon.*&zone::eback)();
    const char* fin = (tampon.*&zone::egptr)();
    return debut && std::less<>()(debut, fin) ? octet(fin[-1]) : kFin;
  }
  static bool existe(const std::streambuf& tampon) { return (tampon.*&zone::eback)() != nullptr; }
};

// Runs `lecture` on `flux`'s buffer. A read error of the system, which
// libstdc++'s file buffers throw, leaves the stream bad instead.
template <class Lecture>
void lireTampon(std::istream& flux, Lecture lecture) {
  try {
    lecture(*flux.rdbuf());
  } catch (...) {
    flux.setstate(std::ios::badbit);
  }
}

// Whose buffer a read goes through: one of the standard library's file
// buffers, whose ways are known, or one the program put in place.
enum class Tampon { connu, duProgramme };

// The byte after sgetc()'s. `pris`: sgetc()'s byte had to be taken to see it
// (a buffer that could not give it back), and the byte seen is now sgetc()'s.
// kFin, nothing taken, when a known buffer's get area ends there and it
// cannot give a byte back across a refill.
struct Suivant {
  int octet = kFin;
  bool pris = false;
};

Suivant octetSuivant(std::streambuf& tampon, Tampon origine) {
  const Recu recu = zone::recu(tampon);
  if (recu.taille >= 2) return {octet(recu.debut[1]), false};
  if (recu.taille == 1 && origine == Tampon::connu && !rendApresRemplissage(tampon)) return {};
  const int suivant = tampon.snextc();
  return {suivant, tampon.sungetc() == kFin};
}

// ---- Discarding ----

// Drops what `tampon` holds, received and not read, without ever asking it
// for more.
void abandonnerZone(std::streambuf& tampon) {
  const Recu recu = zone::recu(tampon);
  for (std::size_t i = 0; i < recu.taille; ++i) tampon.sbumpc();
}

// A buffer that reads stdin one character at a time may keep a character
// given back in itself (libc++), where no discard of the C library reaches.
// A byte is put in front of stdin and one character taken: the one kept if
// there is one, else that byte. What stays in stdin is purged after.
void abandonnerRendu(std::streambuf& tampon) {
  if (zone::existe(tampon) || std::ungetc('\n', stdin) == EOF) return;
  tampon.sbumpc();
}

// Moves std::cin to the end of a regular file, through stdin (which every
// library's std::cin reads, or shares the descriptor of) or through a buffer
// of the program's; false where it cannot.
bool sauterALaFinParStdin() {
  if (std::fseek(stdin, 0, SEEK_END) != 0) return false;
  std::cin.ignore(std::numeric_limits<int>::max(), kFin);
  return true;
}

bool sauterALaFinParTampon() {
  if (std::cin.seekg(0, std::ios::end).fail()) {
    std::cin.clear();
    return false;
  }
  std::cin.ignore(std::numeric_limits<int>::max(), kFin);
  return true;
}

struct Abandon {
  // What was received ended inside a line of a pipe or a socket: the rest of
  // that line is still to come, and must not be taken for an answer.
  bool ligneEntamee = false;
};

// Discards what standard input holds pending, never waiting. Whether a line
// was left unfinished is told by the last byte received, dropped now or read
// before: std::cin's own buffer's when it has one, else stdin's.
Abandon abandonnerEntree() {
  const bool finEnC = std::feof(stdin) != 0;
  const bool finVue = std::cin.eof() || finEnC;
  std::cin.clear();
  const Voie voie = voieDeCin();
  if (voie == Voie::parLeProgramme) {
    if (!sauterALaFinParTampon() && std::cin.rdbuf()) abandonnerZone(*std::cin.rdbuf());
    return {};
  }
  std::streambuf& tampon = *std::cin.rdbuf();
  std::clearerr(stdin);
  if (voie == Voie::parClavier) {  // a terminal: its line, and what was typed ahead
    depart.clavier->abandonner();
    purgerEntreeC(finEnC);  // the clavier's own end of input leaves stdin as it was
    return {};
  }
  const Sorte sorte = sorteEntree();
  if (sorte == Sorte::reguliere) {
    abandonnerZone(tampon);
    if (sauterALaFinParStdin()) return {};
  }
  const int dernier = voie == Voie::parSonTampon ? zone::dernierRecu(tampon) : dernierRecuEnC();
  abandonnerZone(tampon);
  if (voie == Voie::parStdin) abandonnerRendu(tampon);
  purgerEntreeC(finVue);
  return {sorte == Sorte::tube && dernier != kFin && dernier != '\n'};
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
    const int erreur = errno;
    const bool interrompue =
        finEntree() && voieDeCin() != Voie::parLeProgramme && lectureInterrompue(erreur);
    if (!interrompue) return constaterErreurEntree(erreur);
    const bool reussie = (std::cin.rdstate() & echec) == 0;
    std::cin.clear();
    std::clearerr(stdin);
    if (reussie) return;
    attendreEntree();
  }
}

// Reads and discards up to and including the next line feed.
void finirLaLigne() {
  lireSansInterruption([] { std::cin.ignore(std::numeric_limits<int>::max(), '\n'); },
                       std::ios::eofbit | std::ios::badbit);
}

// ---- Real numbers ----
//
// The grammar is the guide's (docs/invites.md, "Les réels"), read byte by
// byte from the buffer so that it is the same on every standard library,
// whatever the locales. A comma or an e needs the byte after it, seen
// through octetSuivant().

// The longest text of a real number; a longer one is refused.
constexpr std::size_t kLongueurReel = 256;
// The longest decimal point of a C locale that strtod is given.
constexpr std::size_t kLongueurPoint = 16;

bool chiffre(int c) {
  return c >= '0' && c <= '9';
}

// Reads a real number's text into `texte`, with a point, after the blanks
// that >> skips; gives its length, or 0 with the failed state set. What
// follows the number stays pending.
std::size_t lireTexteReel(std::istream& flux, Tampon origine, char (&texte)[kLongueurReel]) {
  const std::istream::sentry garde(flux);
  if (!garde) return 0;
  std::size_t n = 0;
  bool valide = false;
  lireTampon(flux, [&](std::streambuf& tampon) {
    int c = tampon.sgetc();
    const auto noter = [&](int lu) {
      if (n < kLongueurReel) texte[n] = static_cast<char>(lu);
      ++n;
    };
    const auto garder = [&](int lu) {
      noter(lu);
      return tampon.snextc();
    };
    // Keeps `lu`, sgetc()'s byte when `apres` was seen past it.
    const auto garderVu = [&](int lu, Suivant apres) {
      if (!apres.pris) return garder(lu);
      noter(lu);
      return apres.octet;
    };
    std::size_t chiffres = 0;
    const auto suite = [&] {
      for (; chiffre(c); ++chiffres) c = garder(c);
    };
    if (c == '+' || c == '-') c = garder(c);
    suite();
    const Suivant virgule = c == ',' && chiffres > 0 ? octetSuivant(tampon, origine) : Suivant{};
    if (c == '.' || chiffre(virgule.octet)) {
      c = garderVu('.', virgule);
      suite();
    } else if (virgule.pris) {
      c = virgule.octet;  // the comma is lost
    }
    valide = chiffres > 0;
    if (valide && (c == 'e' || c == 'E')) {
      const Suivant apres = octetSuivant(tampon, origine);
      if (chiffre(apres.octet) || apres.octet == '+' || apres.octet == '-') {
        c = garderVu(c, apres);
        if (c == '+' || c == '-') c = garder(c);
        chiffres = 0;
        suite();
        valide = chiffres > 0;
      } else if (apres.pris) {
        c = apres.octet;  // the e is lost
      }
    }
    if (c == kFin) flux.setstate(std::ios::eofbit);
  });
  if (!valide || n >= kLongueurReel) {
    flux.setstate(std::ios::failbit);
    return 0;
  }
  texte[n] = '\0';
  return n;
}

// The value of a text read by lireTexteReel, as strtod (strtof) gives it in
// the "C" locale; false on overflow, or when the C locale's decimal point is
// longer than kLongueurPoint.
template <class R>
bool convertirReel(const char* texte, R& valeur) {
  const char* point = std::localeconv()->decimal_point;  // strtod reads the C locale's
  const std::size_t longueurPoint = std::strlen(point);
  if (longueurPoint == 0 || longueurPoint > kLongueurPoint) return false;
  char local[kLongueurReel + kLongueurPoint];
  std::size_t n = 0;
  for (const char* c = texte; *c; ++c) {
    if (*c != '.') {
      local[n++] = *c;
      continue;
    }
    std::memcpy(local + n, point, longueurPoint);
    n += longueurPoint;
  }
  local[n] = '\0';
  R lu;
  if constexpr (std::is_same_v<R, float>)
    lu = std::strtof(local, nullptr);
  else
    lu = std::strtod(local, nullptr);
  if (std::isinf(lu)) return false;
  valeur = lu;
  return true;
}

// One real number from `flux` into `valeur`; the failed state when there is
// none, or when it is out of range. `lecture` makes the read of the text.
template <class R, class Lecture>
void lireReel(std::istream& flux, Tampon origine, R& valeur, Lecture lecture) {
  char texte[kLongueurReel];
  std::size_t n = 0;
  lecture([&] { n = lireTexteReel(flux, origine, texte); });
  if (n > 0 && !convertirReel(texte, valeur)) flux.setstate(std::ios::failbit);
}

// ---- The prompt cycle ----

// Writes a prompt's text, and makes sure it is seen before the read.
void montrer(const std::string& texte) {
  std::cout << texte << std::flush;
}

// An answer as a prompt read it: a value, the proposal (an empty line), or a
// line refused whole.
template <class T>
struct Reponse {
  enum Sorte { lue, proposee, refusee };
  T valeur{};
  Sorte sorte = lue;
};

// Discards pending input, shows the text, reads with `lire` until `accepte`
// takes the answer, or it is the proposal; after a refusal, writes the
// explanation. At the end of input it gives `auBout`, std::cin keeping its
// state; only there may the caller's exception mask throw.
template <class T, class P, class Lecture, class Accepte>
Reponse<T> demanderJusquA(const std::string& invite, const outils::detail::reglages<P>& choix,
                          Lecture lire, Accepte accepte, T auBout) {
  masqueSuspendu garde;
  for (;;) {
    const Abandon abandon = abandonnerEntree();
    montrer(invite);
    if (abandon.ligneEntamee) finirLaLigne();
    Reponse<T> reponse = lire();
    if (reponse.sorte == Reponse<T>::proposee ||
        (reponse.sorte == Reponse<T>::lue && accepte(reponse.valeur)))
      return garde.rendre(std::move(reponse));
    if (finEntree()) return garde.rendre(Reponse<T>{std::move(auBout)});
    if (!choix.explication.empty()) montrer(choix.explication);
  }
}

// The value a prompt returns for `reponse`.
template <class T>
T valeurDe(const Reponse<T>& reponse, const outils::detail::reglages<T>& choix) {
  return reponse.sorte == Reponse<T>::proposee ? choix.proposition : reponse.valeur;
}

bool blanc(int c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// The start of an answer's line: its blanks are taken, and a line of blanks
// with its line feed.
struct Entame {
  bool ligneVide = false;   // the line held only blanks, now taken
  int premierBlanc = kFin;  // the first blank taken
};

Entame entamerLigne() {
  Entame entame;
  lireSansInterruption(
      [&] {
        lireTampon(std::cin, [&](std::streambuf& tampon) {
          int c = tampon.sgetc();
          for (; blanc(c); c = tampon.snextc())
            if (entame.premierBlanc == kFin) entame.premierBlanc = c;
          if (c == '\n') tampon.sbumpc();
          entame.ligneVide = c == '\n';
          if (c == kFin) std::cin.setstate(std::ios::eofbit | std::ios::failbit);  // no answer
        });
      },
      std::ios::eofbit | std::ios::badbit);
  return entame;
}

// Takes the rest of the line, its line feed too; true when it held only blanks.
bool finirLigneBlanche() {
  bool blanche = true;
  lireSansInterruption(
      [&] {
        if (std::cin.eof()) return;
        lireTampon(std::cin, [&](std::streambuf& tampon) {
          int c = tampon.sgetc();
          for (; c != kFin && c != '\n'; c = tampon.snextc()) blanche = blanche && blanc(c);
          if (c == '\n') tampon.sbumpc();
          if (c == kFin) std::cin.setstate(std::ios::eofbit);
        });
      },
      std::ios::eofbit | std::ios::badbit);
  return blanche;
}

// One answer of a number (or, with `lettre`, a letter) prompt, read by `lire`
// under the program's choices. With a proposal or the whole line wanted, the
// line's first blanks are taken first: a line of blanks is the proposal, or
// refused; a letter prompt's answer is then its first blank. With the whole
// line wanted, the rest of the line must be blanks, and is taken.
template <class T, class P, class Lecture>
Reponse<T> lireSelon(const outils::detail::reglages<P>& choix, bool lettre, Lecture lire) {
  using R = Reponse<T>;
  if (!choix.propose && !choix.ligneEntiere) return {lire()};
  const Entame entame = entamerLigne();
  if (entame.ligneVide) return {T(), choix.propose ? R::proposee : R::refusee};
  if (std::cin.eof()) return {T(), R::refusee};
  R reponse{lettre && entame.premierBlanc != kFin ? T(entame.premierBlanc) : lire()};
  if (!choix.ligneEntiere || finEntree()) return reponse;
  const bool valeurLue = !std::cin.fail();
  std::cin.clear(std::cin.rdstate() & ~std::ios::failbit);
  if (!finirLigneBlanche() || !valeurLue) reponse.sorte = R::refusee;
  return reponse;
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
  if (abandonnerEntree().ligneEntamee) finirLaLigne();
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
  return valeurDe(
      demanderJusquA(
          invite, choix, [&] { return lireSelon<int>(choix, false, lire); }, accepte, 0),
      choix);
}

template <>
double saisie<double>::saisir() {
  const auto lire = [] {
    double x = 0;
    const Tampon origine =
        voieDeCin() == Voie::parLeProgramme ? Tampon::duProgramme : Tampon::connu;
    lireReel(std::cin, origine, x,
             [](auto lecture) { lireSansInterruption(lecture, std::ios::failbit); });
    return x;
  };
  const auto accepte = [this](double x) {
    return !std::cin.fail() && limites.bas <= x && x <= limites.haut;
  };
  return valeurDe(
      demanderJusquA(
          invite, choix, [&] { return lireSelon<double>(choix, false, lire); }, accepte, 0.0),
      choix);
}

template <>
std::string saisie<std::string>::saisir() {
  // Only the empty line is the proposal: a line of blanks is an answer, as typed.
  const auto lire = [this] {
    Reponse<std::string> reponse{lireLigne()};
    if (reponse.valeur.empty() && choix.propose && !finEntree())
      reponse.sorte = Reponse<std::string>::proposee;
    return reponse;
  };
  const auto accepte = [](const std::string& ligne) { return !ligne.empty(); };
  return valeurDe(demanderJusquA(invite, choix, lire, accepte, std::string()), choix);
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
    return autorises.empty() || estAutorise(static_cast<char>(lu));
  };
  const auto reponse = demanderJusquA(
      invite, choix, [&] { return lireSelon<int>(choix, true, lireCaractere); }, accepte, kFin);
  return reponse.sorte == Reponse<int>::proposee ? choix.proposition
                                                 : static_cast<char>(reponse.valeur);
}

saisie<bool>::saisie(std::string texte, char lettreOui, char lettreNon)
    : entree<bool>(std::move(texte)), oui(majuscule(lettreOui)), non(majuscule(lettreNon)) {}

bool saisie<bool>::saisir() {
  const auto accepte = [this](int lu) {
    const char c = majuscule(static_cast<char>(lu));
    return lu != kFin && (c == oui || c == non);
  };
  const auto reponse = demanderJusquA(
      invite, choix, [&] { return lireSelon<int>(choix, true, lireCaractere); }, accepte, kFin);
  if (reponse.sorte == Reponse<int>::proposee) return choix.proposition;
  return reponse.valeur != kFin && majuscule(static_cast<char>(reponse.valeur)) == oui;
}

// ---- Keyboard ----
//
// clavier puts its own buffers in front of std::cin and std::cout. At each
// read it edits a line in the terminal's raw mode, for that line only, or
// reads descriptor 0 as it is (the terminal not in canonical mode, the
// program in the background). The screen is modelled in columns counted
// from the start of the line's first row: `position`, where the next
// character goes, and `enSuspens`, when the terminal waits at the last
// column (its pending wrap) because the line filled the row. Plain typing
// at the end of the line writes only the character, as the terminal's echo
// would; any other change moves to the line's start, erases to the end of
// the screen and writes the line again.

namespace {

using outils::detail::edition;

// Bytes of drawing, written once a key is handled.
class Trace {
 public:
  Trace() = default;
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;
  ~Trace() { vider(); }
  void ajouter(const char* texte, std::size_t taille) {
    if (n_ + taille > sizeof octets_) vider();
    if (taille > sizeof octets_) {
      ecrireTerminal(texte, taille);
      return;
    }
    std::memcpy(octets_ + n_, texte, taille);
    n_ += taille;
  }
  void ajouter(const char* texte) { ajouter(texte, std::strlen(texte)); }
  // ESC [ N, and the command's letter.
  void commande(std::size_t n, char lettre) {
    char chiffres[24];
    std::size_t k = 0;
    do chiffres[k++] = static_cast<char>('0' + n % 10);
    while ((n /= 10) > 0);
    char texte[28] = {'\x1b', '['};
    std::size_t taille = 2;
    while (k > 0) texte[taille++] = chiffres[--k];
    texte[taille++] = lettre;
    ajouter(texte, taille);
  }
  void vider() {
    ecrireTerminal(octets_, n_);
    n_ = 0;
  }

 private:
  char octets_[4096] = {};
  std::size_t n_ = 0;
};

std::size_t colonnes(const char* texte, std::size_t taille) {
  return static_cast<std::size_t>(
      std::count_if(texte, texte + taille, [](char c) { return !suiteUtf8(c); }));
}

// The column where the byte at `indice` is drawn.
std::size_t colonneDe(const edition& e, std::size_t indice) {
  return e.debut + colonnes(e.texte, indice);
}

std::size_t debutDuCaractere(const edition& e, std::size_t indice) {
  while (indice > 0 && indice < e.taille && suiteUtf8(e.texte[indice])) --indice;
  return indice;
}

std::size_t finDuCaractere(const edition& e, std::size_t indice) {
  do ++indice;
  while (indice < e.taille && suiteUtf8(e.texte[indice]));
  return indice;
}

// Moves the cursor to `colonne`, a column of the line as drawn.
void aller(edition& e, Trace& t, std::size_t colonne) {
  if (!e.dessiner || (colonne == e.position && !e.enSuspens)) return;
  const std::size_t fin = colonneDe(e, e.taille);
  const std::size_t l = e.largeur;
  if (colonne == fin && fin % l == 0 && fin > e.debut) {
    // The line fills its last row: the last character is written again, so
    // that the terminal waits at the last column as after typing it.
    if (e.enSuspens && e.position == fin) return;
    const std::size_t dernier = debutDuCaractere(e, e.taille - 1);
    aller(e, t, fin - 1);
    t.ajouter(e.texte + dernier, e.taille - dernier);
    e.position = fin;
    e.enSuspens = true;
    return;
  }
  const std::size_t rangee = e.enSuspens ? e.position / l - 1 : e.position / l;
  const std::size_t cible = colonne / l;
  if (cible < rangee) t.commande(rangee - cible, 'A');
  if (cible > rangee) t.commande(cible - rangee, 'B');
  t.ajouter("\r");
  if (colonne % l > 0) t.commande(colonne % l, 'C');
  e.position = colonne;
  e.enSuspens = false;
}

void redessiner(edition& e, Trace& t) {
  if (!e.dessiner) return;
  aller(e, t, e.debut);
  t.ajouter("\x1b[J");
  t.ajouter(e.texte, e.taille);
  e.position = colonneDe(e, e.taille);
  e.enSuspens = e.taille > 0 && e.position % e.largeur == 0;
  aller(e, t, colonneDe(e, e.curseur));
}

void retirer(edition& e, std::size_t debut, std::size_t fin) {
  std::memmove(e.texte + debut, e.texte + fin, e.taille - fin);
  e.taille -= fin - debut;
  e.curseur = debut;
}

// A byte typed: at the cursor. At the end of the line it is drawn as the
// terminal's echo draws it (not at all when `dejaVu`: the echo did).
void inserer(edition& e, Trace& t, char octet, bool dejaVu) {
  if (e.taille >= edition::kLigne) return;  // past a terminal's line
  std::memmove(e.texte + e.curseur + 1, e.texte + e.curseur, e.taille - e.curseur);
  e.texte[e.curseur++] = octet;
  ++e.taille;
  if (e.curseur == e.taille) {
    if (!dejaVu && e.dessiner) t.ajouter(&octet, 1);
    if (!suiteUtf8(octet)) {
      ++e.position;
      e.enSuspens = e.position % e.largeur == 0;
    }
    return;
  }
  // In the middle: drawn once its character is whole.
  const std::size_t debut = debutDuCaractere(e, e.curseur - 1);
  if (e.curseur - debut >= longueurUtf8(e.texte[debut])) redessiner(e, t);
}

void deplacer(edition& e, Trace& t, std::size_t indice) {
  e.curseur = indice;
  aller(e, t, colonneDe(e, indice));
}

void effacer(edition& e, Trace& t, std::size_t debut, std::size_t fin) {
  if (debut >= fin) return;
  retirer(e, debut, fin);
  redessiner(e, t);
}

void effacerMot(edition& e, Trace& t) {
  std::size_t debut = e.curseur;
  while (debut > 0 && blanc(e.texte[debut - 1])) --debut;
  while (debut > 0 && !blanc(e.texte[debut - 1])) --debut;
  effacer(e, t, debut, e.curseur);
}

// ---- History: lines oldest first, each ended by '\n' ----

std::size_t lignesRetenues(const edition& e) {
  return static_cast<std::size_t>(
      std::count(e.historique, e.historique + e.tailleHistorique, '\n'));
}

// The line `recul` back from the newest (1: the newest): its start and size.
std::pair<std::size_t, std::size_t> ligneRetenue(const edition& e, std::size_t recul) {
  std::size_t fin = e.tailleHistorique;  // past a line's '\n'
  for (std::size_t k = 1; k < recul; ++k)
    fin = std::string_view(e.historique, fin - 1).rfind('\n') + 1;
  const std::size_t avant = std::string_view(e.historique, fin - 1).rfind('\n');
  const std::size_t debut = avant == std::string_view::npos ? 0 : avant + 1;
  return {debut, fin - 1 - debut};
}

void retenir(edition& e) {
  if (e.taille == 0) return;
  if (lignesRetenues(e) > 0) {
    const auto [debut, taille] = ligneRetenue(e, 1);
    if (taille == e.taille && std::memcmp(e.historique + debut, e.texte, taille) == 0) return;
  }
  while (e.tailleHistorique + e.taille + 1 > edition::kHistorique) {  // the oldest go
    const std::size_t premiere = std::string_view(e.historique, e.tailleHistorique).find('\n') + 1;
    std::memmove(e.historique, e.historique + premiere, e.tailleHistorique - premiere);
    e.tailleHistorique -= premiere;
  }
  std::memcpy(e.historique + e.tailleHistorique, e.texte, e.taille);
  e.tailleHistorique += e.taille;
  e.historique[e.tailleHistorique++] = '\n';
}

void montrerLigne(edition& e, Trace& t, const char* texte, std::size_t taille) {
  std::memmove(e.texte, texte, taille);
  e.taille = e.curseur = taille;
  redessiner(e, t);
}

void rappeler(edition& e, Trace& t, bool plusAncienne) {
  if (plusAncienne ? e.rappel >= lignesRetenues(e) : e.rappel == 0) return;
  if (plusAncienne && e.rappel == 0) {
    std::memcpy(e.brouillon, e.texte, e.taille);
    e.tailleBrouillon = e.taille;
  }
  e.rappel += plusAncienne ? 1 : -1;
  if (e.rappel == 0) return montrerLigne(e, t, e.brouillon, e.tailleBrouillon);
  const auto [debut, taille] = ligneRetenue(e, e.rappel);
  montrerLigne(e, t, e.historique + debut, taille);
}

// ---- Keys ----

enum class Suite { continuer, ligne, finDEntree };

bool parametreEst(const edition& e, const char* texte) {
  return std::string_view(e.parametre, e.tailleParametre) == texte;
}

// The key that ends ESC [ PARAMETER FINAL or ESC O FINAL; any other is dropped.
void toucheSpeciale(edition& e, Trace& t, char finale, bool csi) {
  const bool nu = !csi || e.tailleParametre == 0;
  if (nu && finale == 'A') return rappeler(e, t, true);
  if (nu && finale == 'B') return rappeler(e, t, false);
  if (nu && finale == 'C' && e.curseur < e.taille)
    return deplacer(e, t, finDuCaractere(e, e.curseur));
  if (nu && finale == 'D' && e.curseur > 0)
    return deplacer(e, t, debutDuCaractere(e, e.curseur - 1));
  const bool debut = (nu && finale == 'H') ||
                     (csi && finale == '~' && (parametreEst(e, "1") || parametreEst(e, "7")));
  const bool fin = (nu && finale == 'F') ||
                   (csi && finale == '~' && (parametreEst(e, "4") || parametreEst(e, "8")));
  if (debut) return deplacer(e, t, 0);
  if (fin) return deplacer(e, t, e.taille);
  if (csi && finale == '~' && parametreEst(e, "3") && e.curseur < e.taille)
    effacer(e, t, e.curseur, finDuCaractere(e, e.curseur));
}

// An escape sequence's byte; false when `octet` is not one.
bool sequence(edition& e, Trace& t, char octet) {
  switch (e.sequence) {
    case 0:
      if (octet != '\x1b') return false;
      e.sequence = 1;
      return true;
    case 1:
      e.sequence = octet == '[' ? 2 : octet == 'O' ? 3 : 0;  // ESC and another byte: dropped
      e.tailleParametre = 0;
      return true;
    case 2:
      if (octet >= 0x40 && octet <= 0x7E) {
        e.sequence = 0;
        toucheSpeciale(e, t, octet, true);
      } else if (e.tailleParametre < sizeof e.parametre) {
        e.parametre[e.tailleParametre++] = octet;
      }
      return true;
    default:
      e.sequence = 0;
      toucheSpeciale(e, t, octet, false);
      return true;
  }
}

Suite toucher(edition& e, Trace& t, const ModeTerminal& mode, char octet, bool dejaVu) {
  if (sequence(e, t, octet)) return Suite::continuer;
  const auto touche = static_cast<unsigned char>(octet);
  if (octet == '\r' || octet == '\n') return Suite::ligne;
  if (touche == mode.fin && touche != 0) {
    if (e.taille == 0) return Suite::finDEntree;
    if (e.curseur < e.taille) effacer(e, t, e.curseur, finDuCaractere(e, e.curseur));
    return Suite::continuer;
  }
  if (touche == 0x7F || touche == 0x08 || (touche == mode.effacer && touche != 0)) {
    if (e.curseur > 0) effacer(e, t, debutDuCaractere(e, e.curseur - 1), e.curseur);
  } else if (touche == 0x01) {
    deplacer(e, t, 0);
  } else if (touche == 0x05) {
    deplacer(e, t, e.taille);
  } else if (touche == 0x15) {
    effacer(e, t, 0, e.curseur);
  } else if (touche == 0x0B) {
    effacer(e, t, e.curseur, e.taille);
  } else if (touche == 0x17) {
    effacerMot(e, t);
  } else if (touche >= 0x20 || octet == '\t') {
    inserer(e, t, octet, dejaVu);
  }
  return Suite::continuer;
}

// A new line to edit, starting at `colonne`.
void commencer(edition& e, const ModeTerminal& mode, std::size_t colonne) {
  e.taille = e.curseur = 0;
  e.rappel = 0;
  e.sequence = 0;
  e.dessiner = mode.echo;
  e.largeur = largeurTerminal();
  e.debut = colonne % e.largeur;
  e.position = e.debut;
  e.enSuspens = false;
}

}  // namespace

namespace outils::detail {

std::streambuf::int_type sortieSuivie::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char octet = traits_type::to_char_type(c);
  return xsputn(&octet, 1) == 1 ? c : traits_type::eof();
}

std::streamsize sortieSuivie::xsputn(const char* s, std::streamsize n) {
  for (std::streamsize i = 0; i < n; ++i) {
    if (s[i] == '\n' || s[i] == '\r')
      colonne = 0;
    else if (!suiteUtf8(s[i]))
      ++colonne;
  }
  if (kSortieConsole) return versLaConsole(s, static_cast<std::size_t>(n)) ? n : 0;
  return cible ? cible->sputn(s, n) : 0;
}

int sortieSuivie::sync() {
  if (kSortieConsole) return 0;  // nothing held but a character's start
  return cible ? cible->pubsync() : -1;
}

// Whole characters only: a character cut at the end is held until its rest
// comes. What printf() wrote goes first.
bool sortieSuivie::versLaConsole(const char* s, std::size_t n) {
  std::fflush(stdout);
  bool ecrit = true;
  if (tailleEnAttente > 0) {
    const std::size_t longueur = longueurUtf8(enAttente[0]);
    for (; n > 0 && tailleEnAttente < longueur && suiteUtf8(*s); ++s, --n)
      enAttente[tailleEnAttente++] = *s;
    if (n == 0 && tailleEnAttente < longueur) return true;
    ecrit = ecrireTerminal(enAttente, tailleEnAttente);
    tailleEnAttente = 0;
  }
  std::size_t entier = n;
  for (std::size_t k = 1; k <= std::min<std::size_t>(n, 3); ++k) {
    if (suiteUtf8(s[n - k])) continue;
    if (longueurUtf8(s[n - k]) > k) entier = n - k;
    break;
  }
  tailleEnAttente = n - entier;
  std::memcpy(enAttente, s + entier, tailleEnAttente);
  return ecrireTerminal(s, entier) && ecrit;
}

void sortieSuivie::finir() {
  if (tailleEnAttente > 0) ecrireTerminal(enAttente, tailleEnAttente);
  tailleEnAttente = 0;
}

void ligneEditee::abandonner() {
  setg(eback(), egptr(), egptr());
  if (entamee) finirLigneConsole();
  entamee = false;
}

std::streambuf::int_type ligneEditee::lireTelQuel() {
  const long n = lireTerminal(lue, sizeof lue, entamee);
  if (n <= 0) return traits_type::eof();
  setg(lue, lue, lue + n);
  if (sortie && lue[n - 1] == '\n') sortie->colonne = 0;
  return traits_type::to_int_type(lue[0]);
}

std::streambuf::int_type ligneEditee::editer() {
  ModeTerminal mode;
  if (lignePrete() || !entrerModeBrut(mode)) return lireTelQuel();
  commencer(e, mode, sortie ? sortie->colonne : 0);
  std::size_t dejaVus = dejaTape();  // typed before: the terminal echoed them
  Trace t;
  for (;;) {
    char octet = 0;
    const long n = lireUnOctet(octet);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sortirModeBrut(mode);
      return traits_type::eof();
    }
    const bool dejaVu = dejaVus > 0;
    if (dejaVu) --dejaVus;
    if (const int signal = mode.signalDe(static_cast<unsigned char>(octet))) {
      if (mode.echo) {
        const char nom[] = {'^', static_cast<char>(octet ^ 0x40), '\n', '\0'};
        t.ajouter(nom);
      }
      t.vider();
      sortirModeBrut(mode);
      envoyerAuGroupe(signal);
      if (!entrerModeBrut(mode)) return lireTelQuel();  // the program goes on: a fresh line
      commencer(e, mode, 0);
      if (sortie) sortie->colonne = 0;
      continue;
    }
    const Suite suite = toucher(e, t, mode, octet, dejaVu);
    if (suite == Suite::continuer) {
      t.vider();
      continue;
    }
    if (suite == Suite::ligne) {
      deplacer(e, t, e.taille);
      if (e.dessiner && !dejaVu) t.ajouter("\n");
    }
    t.vider();
    sortirModeBrut(mode);
    if (suite == Suite::finDEntree) return traits_type::eof();
    retenir(e);
    std::memcpy(lue, e.texte, e.taille);
    lue[e.taille] = '\n';
    setg(lue, lue, lue + e.taille + 1);
    if (sortie) sortie->colonne = 0;
    return traits_type::to_int_type(lue[0]);
  }
}

std::streambuf::int_type ligneEditee::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  return editer();
}

}  // namespace outils::detail

clavier::clavier() {
  if (depart.clavier != nullptr) return;
  const bool lit = clavierEnEntree();
  const bool ecrit = clavierEnSortie();
  if (!lit && !ecrit) return;
  if (ecrit) {  // what std::cout holds goes out first
    std::cout.flush();
    sortie.cible = std::cout.rdbuf(&sortie);
    entree.sortie = &sortie;
  }
  if (lit) ancienneEntree = std::cin.rdbuf(&entree);
  depart.clavier = &entree;
  enPlace = true;
}

clavier::~clavier() {
  if (!enPlace) return;
  if (std::cin.rdbuf() == &entree) std::cin.rdbuf(ancienneEntree);
  sortie.finir();
  if (std::cout.rdbuf() == &sortie) std::cout.rdbuf(sortie.cible);
  depart.clavier = nullptr;
}

// ---- Text-file reader ----

fichier::fichier(const std::string& nom) {
  ouvrir(nom);
}

namespace {

// Skips a UTF-8 byte-order mark at the start of a file just opened and
// peeked, when the buffer holds it whole.
void sauterMarque(std::istream& flux) {
  static constexpr char kMarque[] = "\xEF\xBB\xBF";
  std::streambuf& tampon = *flux.rdbuf();
  const Recu recu = zone::recu(tampon);
  if (recu.taille >= 3 && std::equal(kMarque, kMarque + 3, recu.debut))
    for (int i = 0; i < 3; ++i) tampon.sbumpc();
}

// Direct reads (lireTampon) end at the end of the file with its state.
void constaterFinDeFichier(std::istream& flux, int c) {
  if (c != kFin) return;
  flux.setstate(std::ios::eofbit);
  constaterErreurDeFichier(flux);
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
    flux.close();  // opened, but its first read failed (a read error of the system)
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
  bool suite = false;
  lireTampon(flux, [&](std::streambuf& tampon) {
    int c = tampon.sgetc();
    while (c != kFin && types.is(std::ctype_base::space, static_cast<char>(c))) c = tampon.snextc();
    constaterFinDeFichier(flux, c);
    suite = c != kFin;
  });
  return suite && !flux.bad();
}

void fichier::signaler(const char* attendu) {
  std::cout << "erreur " << 1 << " attendu " << attendu << std::endl;
}

// One read of the file; on failure, T's zero value and the message.
template <class T, class Lecture>
fichier& fichier::lireOuSignaler(T& valeur, const char* attendu, Lecture lecture) {
  lecture();
  if (flux.good()) return *this;
  if (flux.eof()) constaterErreurDeFichier(flux);
  if (flux.fail()) {
    valeur = T();
    signaler(attendu);
  }
  return *this;
}

fichier& fichier::lire(int& n) {
  return lireOuSignaler(n, "entier", [&] { flux >> n; });
}

fichier& fichier::lire(long& n) {
  return lireOuSignaler(n, "entier", [&] { flux >> n; });
}

fichier& fichier::lire(long long& n) {
  return lireOuSignaler(n, "entier", [&] { flux >> n; });
}

fichier& fichier::lire(float& x) {
  return lireOuSignaler(x, "naturel",
                        [&] { lireReel(flux, Tampon::connu, x, [](auto lecture) { lecture(); }); });
}

fichier& fichier::lire(double& x) {
  return lireOuSignaler(x, "naturel",
                        [&] { lireReel(flux, Tampon::connu, x, [](auto lecture) { lecture(); }); });
}

fichier& fichier::lireLigne(std::string& ligne) {
  lireOuSignaler(ligne, "ligne", [&] { std::getline(flux, ligne); });
  if (flux && !ligne.empty() && ligne.back() == '\r') ligne.pop_back();
  return *this;
}

fichier& fichier::lire(std::string& s) {
  return lireOuSignaler(s, "serie de charactere", [&] { flux >> s; });
}

fichier& fichier::lire(char& c) {
  return lireOuSignaler(c, "charactere", [&] { c = static_cast<char>(flux.get()); });
}

// The stream's own word extraction with a width of `taille`, written out
// because C++20 keeps it for arrays only: skip leading white space, store up
// to taille - 1 characters and a NUL; no character stored is a failure, and
// a failure stores the empty word.
fichier& fichier::lire(char* mot, std::size_t taille) {
  const std::istream::sentry garde(flux);
  std::size_t n = 0;
  if (garde && taille > 0) {
    const auto& types = std::use_facet<std::ctype<char>>(flux.getloc());
    lireTampon(flux, [&](std::streambuf& tampon) {
      int c = tampon.sgetc();
      for (; n + 1 < taille && c != kFin; c = tampon.snextc()) {
        if (types.is(std::ctype_base::space, static_cast<char>(c))) break;
        mot[n++] = static_cast<char>(c);
      }
      constaterFinDeFichier(flux, c);
    });
  }
  if (garde && n == 0) flux.setstate(std::ios::failbit);  // nothing stored, or no room for it
  if (taille > 0) mot[flux.fail() ? 0 : n] = '\0';
  if (flux.fail()) signaler("serie de charactere");
  return *this;
}
