#include "programme.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using horloge = std::chrono::steady_clock;

void verifier(bool ok, const char* quoi) {
  if (!ok) throw std::runtime_error(std::string(quoi) + " a echoue");
}

[[noreturn]] void lancer(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

// Appends what `fd` has to `tampon`; closes it and sets it to -1 at its end.
void lire(int& fd, std::string& tampon) {
  char bloc[4096];
  const ssize_t n = read(fd, bloc, sizeof bloc);
  if (n > 0) {
    tampon.append(bloc, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    close(fd);  // EIO on a pty master means the child side is gone
    fd = -1;
  }
}

}  // namespace

Programme::Programme(std::vector<std::string> argv, Entree entree, const std::string& contenu)
    : entree_(entree) {
  int err[2];
  verifier(pipe(err) == 0, "pipe");
  int maitre = -1, esclave = -1, entreeTube[2] = {-1, -1}, sortieTube[2] = {-1, -1};
  if (entree == Entree::terminal) {
    verifier(openpty(&maitre, &esclave, nullptr, nullptr, nullptr) == 0, "openpty");
  } else {
    verifier(pipe(sortieTube) == 0, "pipe");
    if (entree == Entree::tube) verifier(pipe(entreeTube) == 0, "pipe");
    if (entree == Entree::fichier) fichier_.emplace(contenu);
  }
  pid_ = fork();
  verifier(pid_ >= 0, "fork");
  if (pid_ == 0) {
    dup2(err[1], 2);
    if (entree == Entree::terminal) {
      setsid();
      ioctl(esclave, TIOCSCTTY, 0);
      dup2(esclave, 0);
      dup2(esclave, 1);
    } else {
      dup2(sortieTube[1], 1);
      if (entree == Entree::tube) dup2(entreeTube[0], 0);
      if (entree == Entree::fichier) dup2(open(fichier_->nom().c_str(), O_RDONLY), 0);
      if (entree == Entree::vide) dup2(open("/dev/null", O_RDONLY), 0);
      if (entree == Entree::zero) dup2(open("/dev/zero", O_RDONLY), 0);
      if (entree == Entree::repertoire) dup2(open("/", O_RDONLY | O_DIRECTORY), 0);
      if (entree == Entree::fermee) close(0);
    }
    for (int fd = 3; fd < 256; ++fd) close(fd);
    lancer(argv);
  }
  close(err[1]);
  erreur_ = err[0];
  if (entree == Entree::terminal) {
    close(esclave);
    lecture_ = maitre;
    ecriture_ = dup(maitre);
  } else {
    close(sortieTube[1]);
    lecture_ = sortieTube[0];
    if (entree == Entree::tube) {
      close(entreeTube[0]);
      ecriture_ = entreeTube[1];
      signal(SIGPIPE, SIG_IGN);
      taper(contenu);
    }
  }
}

Programme::~Programme() {
  if (!fini_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {ecriture_, lecture_, erreur_})
    if (fd >= 0) close(fd);
}

void Programme::lireDisponible(std::chrono::milliseconds attente) {
  pollfd fds[2] = {{lecture_, POLLIN, 0}, {erreur_, POLLIN, 0}};
  if (poll(fds, 2, static_cast<int>(attente.count())) <= 0) return;
  if (fds[0].revents) lire(lecture_, sortie_);
  if (fds[1].revents) lire(erreur_, erreurs_);
}

bool Programme::attendre(const std::string& texte, std::chrono::milliseconds delai) {
  const auto fin = horloge::now() + delai;
  for (;;) {
    const auto trouve = sortie_.find(texte, curseur_);
    if (trouve != std::string::npos) {
      curseur_ = trouve + texte.size();
      return true;
    }
    if (horloge::now() >= fin || (lecture_ < 0 && erreur_ < 0)) return false;
    lireDisponible(20ms);
  }
}

bool Programme::attendLecture(std::chrono::milliseconds delai, bool parPoll) {
  const auto fin = horloge::now() + delai;
  const std::string appel = "/proc/" + std::to_string(pid_) + "/syscall";
  while (horloge::now() < fin) {
    std::ifstream f(appel);  // "NUMBER FIRST-ARG ..." while blocked, else "running"
    long numero = -1;
    std::string descripteur;
    int enAttente = 0;  // bytes written to a pipe and not yet read by the child
    const bool toutLu = entree_ != Entree::tube || ecriture_ < 0 ||
                        (ioctl(ecriture_, FIONREAD, &enAttente) == 0 && enAttente == 0);
    if (toutLu && f >> numero >> descripteur) {
      if (!parPoll && numero == SYS_read && descripteur == "0x0") return true;
#ifdef SYS_poll
      if (parPoll && numero == SYS_poll) return true;
#endif
      if (parPoll && numero == SYS_ppoll) return true;
    }
    lireDisponible(5ms);
  }
  return false;
}

void Programme::signaler(int numero) {
  kill(pid_, numero);
}

void Programme::taper(const std::string& texte) {
  if (ecriture_ >= 0 && !texte.empty()) {
    [[maybe_unused]] const ssize_t n = write(ecriture_, texte.data(), texte.size());
  }
}

void Programme::fermerEntree() {
  if (ecriture_ >= 0 && ecriture_ != lecture_) close(ecriture_);
  ecriture_ = -1;
}

bool Programme::reaper(bool bloquant) {
  if (fini_) return true;
  int etat = 0;
  if (waitpid(pid_, &etat, bloquant ? 0 : WNOHANG) != pid_) return false;
  fini_ = true;
  statut_ = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
  return true;
}

bool Programme::attendToujours(std::chrono::milliseconds duree) {
  const auto fin = horloge::now() + duree;
  while (horloge::now() < fin) {
    if (reaper(false)) return false;
    lireDisponible(10ms);
    if (lecture_ < 0 && erreur_ < 0) std::this_thread::sleep_for(10ms);
  }
  return !reaper(false);
}

bool Programme::finir(std::chrono::milliseconds delai) {
  const auto fin = horloge::now() + delai;
  while (lecture_ >= 0 || erreur_ >= 0 || !reaper(false)) {
    if (horloge::now() >= fin) return false;
    if (lecture_ >= 0 || erreur_ >= 0)
      lireDisponible(20ms);
    else
      std::this_thread::sleep_for(5ms);
  }
  return true;
}

int Programme::compter(const std::string& motif) const {
  int n = 0;
  for (auto p = sortie_.find(motif); p != std::string::npos;
       p = sortie_.find(motif, p + motif.size()))
    ++n;
  return n;
}

Execution executer(std::vector<std::string> argv, Entree entree, const std::string& contenu,
                   std::chrono::milliseconds delai) {
  Programme p(std::move(argv), entree, contenu);
  p.fermerEntree();
  Execution e;
  e.termine = p.finir(delai);
  e.sortie = p.sortie();
  e.erreurs = p.erreurs();
  e.statut = p.statut();
  return e;
}
