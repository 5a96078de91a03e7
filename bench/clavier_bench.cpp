// A clavier's own work from a key to its echo, against a bare read and write
// of the same bytes: on a pseudo-terminal, a typist thread types a line one
// key at a time, each once the previous one is echoed and the line is read
// in raw mode, then Enter.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include <outils/clavier.h>

#include "minimum.h"

namespace {

constexpr int kTouches = 64;  // keys a line, then Enter

// The terminal on descriptors 0 and 1 for the life of the object, and its typist.
class Terminal {
 public:
  Terminal() : entree_(dup(0)), sortie_(dup(1)), lecteur_(static_cast<pid_t>(syscall(SYS_gettid))) {
    winsize taille{};
    taille.ws_col = 200;
    taille.ws_row = 24;
    if (openpty(&maitre_, &esclave_, nullptr, nullptr, &taille) != 0) std::abort();
    dup2(esclave_, 0);
    dup2(esclave_, 1);
    dactylo_ = std::thread([this] { taper(); });
  }
  ~Terminal() {
    fin_ = true;
    dactylo_.join();
    dup2(entree_, 0);
    dup2(sortie_, 1);
    for (int fd : {entree_, sortie_, maitre_, esclave_}) close(fd);
    std::cin.clear();
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  void ligneLue() { ++lues_; }

 private:
  // Types a key once the line is read in raw mode (a clavier's, or the bare
  // loop's), and waits for its echo, again and again, until the end.
  void taper() {
    for (int touche = 0; !fin_; touche = (touche + 1) % (kTouches + 1)) {
      const char octet = touche == kTouches ? '\r' : 'a';
      // The next line once the last one is read; each key once the reader waits for it.
      while (!fin_ && lues_ < lignes_) {
      }
      attendreLaLecture();
      lignes_ += touche == kTouches ? 1 : 0;
      if (write(maitre_, &octet, 1) != 1) return;
      char echo[64];
      pollfd sonde{maitre_, POLLIN, 0};
      while (!fin_ && poll(&sonde, 1, 10) == 0) {
      }
      if (!fin_ && read(maitre_, echo, sizeof echo) <= 0) return;
    }
  }

  // Until the reading thread is blocked in a read of descriptor 0.
  void attendreLaLecture() {
    const std::string appel = "/proc/self/task/" + std::to_string(lecteur_) + "/syscall";
    for (char texte[64] = {}; !fin_;) {
      const int fd = open(appel.c_str(), O_RDONLY);
      const ssize_t n = fd < 0 ? -1 : read(fd, texte, sizeof texte - 1);
      if (fd >= 0) close(fd);
      long numero = -1;
      unsigned long descripteur = 1;
      if (n > 0 && std::sscanf(texte, "%ld 0x%lx", &numero, &descripteur) == 2 &&
          numero == SYS_read && descripteur == 0)
        return;
    }
  }

  int entree_, sortie_;
  pid_t lecteur_;
  int maitre_ = -1, esclave_ = -1;
  std::atomic<bool> fin_{false};
  std::atomic<long> lues_{0};  // lines read by the benchmark
  long lignes_ = 0;            // lines typed
  std::thread dactylo_;
};

void BM_clavier(benchmark::State& state) {
  setenv("TERM", "xterm", 1);
  Terminal terminal;
  const clavier c;
  std::string ligne;
  for (auto _ : state) {
    std::getline(std::cin, ligne);
    if (ligne.size() != kTouches) state.SkipWithError("ligne");
    terminal.ligneLue();
  }
  state.SetItemsProcessed(state.iterations() * (kTouches + 1));
}

void BM_lectureNue(benchmark::State& state) {
  Terminal terminal;
  termios avant{};
  tcgetattr(0, &avant);
  termios brut = avant;
  brut.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  tcsetattr(0, TCSANOW, &brut);
  for (auto _ : state) {
    for (char octet = 0; octet != '\r' && octet != '\n';) {  // Enter: CR, or LF with ICRNL
      if (read(0, &octet, 1) != 1) break;
      if (write(1, octet == '\r' || octet == '\n' ? "\n" : &octet, 1) != 1) break;
    }
    terminal.ligneLue();
  }
  tcsetattr(0, TCSANOW, &avant);
  state.SetItemsProcessed(state.iterations() * (kTouches + 1));
}

}  // namespace

BENCHMARK(BM_clavier)->Apply(minimum)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_lectureNue)->Apply(minimum)->Unit(benchmark::kMicrosecond)->UseRealTime();
