#include "programme.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using horloge = std::chrono::steady_clock;

void verifier(bool ok, const char* quoi) {
  if (!ok) throw std::runtime_error(std::string(quoi) + " a echoue");
}

// Appends what `fd` has to `tampon`; closes it and sets it to -1 at its end.
void lire(int& fd, std::string& tampon) {
  char bloc[65536];
  const ssize_t n = read(fd, bloc, sizeof bloc);
  if (n > 0) {
    tampon.append(bloc, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    close(fd);  // EIO on a pty master means the other side is gone
    fd = -1;
  }
}

// A small file of /proc, whole; "" when it cannot be read (a process that has
// just ended gives ESRCH).
std::string lireFichier(const std::string& nom) {
  std::string contenu;
  lireFichierEntier(nom, contenu);
  return contenu;
}

std::string lien(const std::string& nom) {
  char cible[512];
  const ssize_t n = readlink(nom.c_str(), cible, sizeof cible);
  return n > 0 ? std::string(cible, static_cast<std::size_t>(n)) : std::string();
}

// The numeric entries of a folder of /proc.
std::vector<pid_t> numeros(const std::string& dossier) {
  std::vector<pid_t> resultat;
  DIR* d = opendir(dossier.c_str());
  if (!d) return resultat;
  while (const dirent* e = readdir(d)) {
    char* fin = nullptr;
    const long n = std::strtol(e->d_name, &fin, 10);
    if (fin != e->d_name && *fin == '\0') resultat.push_back(static_cast<pid_t>(n));
  }
  closedir(d);
  return resultat;
}

// The session of a process, from /proc/PID/stat (after the command's closing
// parenthesis: state, ppid, pgrp, session).
pid_t sessionDe(pid_t pid) {
  const std::string etat = lireFichier("/proc/" + std::to_string(pid) + "/stat");
  const auto parenthese = etat.rfind(')');
  if (parenthese == std::string::npos) return -1;
  char stat = 0;
  long parent = 0, groupe = 0, session = -1;
  std::sscanf(etat.c_str() + parenthese + 1, " %c %ld %ld %ld", &stat, &parent, &groupe, &session);
  return static_cast<pid_t>(session);
}

long commutationsDe(const std::string& tache) {
  const std::string etat = lireFichier(tache + "/status");
  const std::string cle = "voluntary_ctxt_switches:";
  const auto p = etat.find(cle);
  return p == std::string::npos ? -1 : std::strtol(etat.c_str() + p + cle.size(), nullptr, 10);
}

bool estPoll(long numero) {
  return
#ifdef SYS_poll
      numero == SYS_poll ||
#endif
#ifdef SYS_select
      numero == SYS_select ||
#endif
#ifdef SYS_epoll_wait
      numero == SYS_epoll_wait ||
#endif
      numero == SYS_ppoll || numero == SYS_pselect6 || numero == SYS_epoll_pwait;
}

std::string fichierTemporaire(const std::string& contenu) {
  const char* dossier = std::getenv("TMPDIR");
  std::string nom = std::string(dossier && *dossier ? dossier : "/tmp") + "/repondre-XXXXXX";
  const int fd = mkstemp(nom.data());
  verifier(fd >= 0, "mkstemp");
  verifier(write(fd, contenu.data(), contenu.size()) == static_cast<ssize_t>(contenu.size()),
           "write");
  close(fd);
  return nom;
}

[[noreturn]] void lancer(const std::vector<std::string>& argv, bool chercherDansPath, int rapport) {
  std::vector<char*> args(argv.size() + 1, nullptr);
  std::transform(argv.begin(), argv.end(), args.begin(),
                 [](const std::string& a) { return const_cast<char*>(a.c_str()); });
  if (chercherDansPath)
    execvp(args[0], args.data());
  else
    execv(args[0], args.data());
  const int erreur = errno;
  [[maybe_unused]] const ssize_t n = write(rapport, &erreur, sizeof erreur);
  _exit(127);
}

}  // namespace

int lireFichierEntier(const std::string& nom, std::string& contenu) {
  contenu.clear();
  const int fd = open(nom.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char bloc[65536];
  ssize_t n = 0;
  while ((n = read(fd, bloc, sizeof bloc)) > 0) contenu.append(bloc, static_cast<std::size_t>(n));
  const int erreur = n < 0 ? errno : 0;
  close(fd);
  return erreur;
}

Programme::Programme(const std::vector<std::string>& argv, Entree entree,
                     const std::string& contenu, Lancement lancement)
    : entree_(entree) {
  verifier(!argv.empty(), "argv");
  int err[2] = {-1, -1}, rapport[2], entreeTube[2] = {-1, -1}, sortieTube[2] = {-1, -1};
  int maitre = -1;
  const bool erreursApart = entree != Entree::terminal || !lancement.erreursSurLeTerminal;
  if (erreursApart) verifier(pipe(err) == 0, "pipe");
  verifier(pipe2(rapport, O_CLOEXEC) == 0, "pipe2");
  if (entree == Entree::terminal) {
    winsize taille{};
    taille.ws_row = 24;
    taille.ws_col = 80;
    char nom[256] = {};
    verifier(openpty(&maitre, &esclave_, nom, nullptr, &taille) == 0, "openpty");
    if (!lancement.echo) {  // the system's usual modes otherwise
      termios modes{};
      tcgetattr(esclave_, &modes);
      modes.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
      tcsetattr(esclave_, TCSANOW, &modes);
    }
    terminal_ = nom;
  } else {
    verifier(pipe(sortieTube) == 0, "pipe");
    if (entree == Entree::tube) verifier(pipe(entreeTube) == 0, "pipe");
    if (entree == Entree::fichier) fichier_ = fichierTemporaire(contenu);
  }
  pid_ = fork();
  verifier(pid_ >= 0, "fork");
  if (pid_ == 0) {
    setsid();
    if (erreursApart) dup2(err[1], 2);
    if (entree == Entree::terminal) {
      ioctl(esclave_, TIOCSCTTY, 0);
      dup2(esclave_, 0);
      dup2(esclave_, 1);
      if (!erreursApart) dup2(esclave_, 2);
    } else {
      dup2(sortieTube[1], 1);
      if (entree == Entree::tube) dup2(entreeTube[0], 0);
      if (entree == Entree::fichier) dup2(open(fichier_.c_str(), O_RDONLY), 0);
      if (entree == Entree::vide) dup2(open("/dev/null", O_RDONLY), 0);
      if (entree == Entree::zero) dup2(open("/dev/zero", O_RDONLY), 0);
      if (entree == Entree::repertoire) dup2(open("/", O_RDONLY | O_DIRECTORY), 0);
      if (entree == Entree::fermee) close(0);
    }
    for (int fd = 3; fd < 256; ++fd)
      if (fd != rapport[1]) close(fd);
    lancer(argv, lancement.chercherDansPath, rapport[1]);
  }
  close(rapport[1]);
  int erreur = 0;
  if (read(rapport[0], &erreur, sizeof erreur) == static_cast<ssize_t>(sizeof erreur))
    erreurDeLancement_ = erreur;
  close(rapport[0]);
  if (erreursApart) {
    close(err[1]);
    erreur_ = err[0];
  }
  if (entree == Entree::terminal) {
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
    tuerSession();
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {ecriture_, lecture_, erreur_, esclave_})
    if (fd >= 0) close(fd);
  if (!fichier_.empty()) unlink(fichier_.c_str());
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
    if (aFini()) {  // what is left to read is read at once
      const std::size_t avant = sortie_.size();
      lireDisponible(0ms);
      if (sortie_.size() == avant) return sortie_.find(texte, curseur_) != std::string::npos;
      continue;
    }
    lireDisponible(20ms);
  }
}

std::vector<Programme::Fil> Programme::filsDeLaSession() const {
  std::vector<Fil> fils;
  for (pid_t pid : numeros("/proc")) {
    if (sessionDe(pid) != pid_) continue;
    const std::string processus = "/proc/" + std::to_string(pid);
    for (pid_t tid : numeros(processus + "/task"))
      // cppcheck-suppress useStlAlgorithm ; one push per thread, two levels down
      fils.push_back({pid, tid, commutationsDe(processus + "/task/" + std::to_string(tid))});
  }
  return fils;
}

// Blocked in a read of its standard input (a terminal: of the terminal), or
// in a poll (`pollCompte`: any poll of a process that has the terminal open).
bool Programme::bloqueSurLEntree(pid_t pid, pid_t tid, bool parPoll, bool pollCompte) const {
  const std::string processus = "/proc/" + std::to_string(pid);
  std::istringstream f(lireFichier(processus + "/task/" + std::to_string(tid) + "/syscall"));
  long numero = -1;  // "NUMBER FIRST-ARG ..." while blocked, else "running"
  std::string premier;
  if (!(f >> numero >> premier)) return false;
  const long descripteur = std::strtol(premier.c_str(), nullptr, 16);
  if (!parPoll && numero == SYS_read)
    return terminal_.empty() ? descripteur == 0
                             : lien(processus + "/fd/" + std::to_string(descripteur)) == terminal_;
  if (!estPoll(numero) || (!parPoll && !pollCompte)) return false;
  if (terminal_.empty() || parPoll) return true;
  for (pid_t fd : numeros(processus + "/fd"))
    if (lien(processus + "/fd/" + std::to_string(fd)) == terminal_) return true;
  return false;
}

bool Programme::attendLecture(std::chrono::milliseconds delai, bool parPoll) {
  const auto fin = horloge::now() + delai;
  while (horloge::now() < fin) {
    int enAttente = 0;  // bytes written to a pipe and not yet read by the program
    const bool toutLu = entree_ != Entree::tube || ecriture_ < 0 ||
                        (ioctl(ecriture_, FIONREAD, &enAttente) == 0 && enAttente == 0);
    if (toutLu && bloqueSurLEntree(pid_, pid_, parPoll, false)) return true;
    lireDisponible(5ms);
  }
  return false;
}

bool Programme::attendUneReponse() {
  int nonLus = 0;
  if (esclave_ < 0 || ioctl(esclave_, FIONREAD, &nonLus) != 0 || nonLus > 0) {
    vuEnAttente_ = 0;
    return false;
  }
  bool attend = false;
  for (const Fil& fil : filsDeLaSession()) {
    const auto avant = std::find_if(avantLaFrappe_.begin(), avantLaFrappe_.end(),
                                    [&](const Fil& f) { return f.tid == fil.tid; });
    const bool bloqueDepuis =
        avant == avantLaFrappe_.end() || fil.commutations > avant->commutations;
    if (bloqueDepuis && bloqueSurLEntree(fil.pid, fil.tid, false, true)) attend = true;
  }
  vuEnAttente_ = attend ? vuEnAttente_ + 1 : 0;
  return vuEnAttente_ >= 2;
}

void Programme::signaler(int numero) {
  kill(pid_, numero);
}

void Programme::taper(const std::string& texte) {
  if (entree_ == Entree::terminal) {
    avantLaFrappe_ = filsDeLaSession();
    vuEnAttente_ = 0;
  }
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
  signal_ = WIFSIGNALED(etat) ? WTERMSIG(etat) : 0;
  return true;
}

bool Programme::aFini() {
  return reaper(false);
}

void Programme::tuerSession() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGKILL);
  for (int tour = 0; tour < 10; ++tour) {
    bool reste = false;
    for (pid_t pid : numeros("/proc"))
      if (pid != pid_ && sessionDe(pid) == pid_ && kill(pid, SIGKILL) == 0) reste = true;
    if (!reste) break;
  }
  if (!fini_) kill(pid_, SIGKILL);
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
  for (;;) {
    if (reaper(false) && lecture_ >= 0 && esclave_ >= 0) {
      // The terminal stays open on this side: once the program has exited,
      // what it wrote is read, then the terminal is let go.
      for (std::size_t avant = ~std::size_t{0}; avant != sortie_.size();) {
        avant = sortie_.size();
        lireDisponible(0ms);
      }
      close(lecture_);
      lecture_ = -1;
    }
    if (lecture_ < 0 && erreur_ < 0 && reaper(false)) return true;
    if (horloge::now() >= fin) return false;
    if (lecture_ >= 0 || erreur_ >= 0)
      lireDisponible(20ms);
    else
      std::this_thread::sleep_for(5ms);
  }
}

int Programme::compter(const std::string& motif) const {
  int n = 0;
  for (auto p = sortie_.find(motif); p != std::string::npos;
       p = sortie_.find(motif, p + motif.size()))
    ++n;
  return n;
}

Execution executer(const std::vector<std::string>& argv, Entree entree, const std::string& contenu,
                   std::chrono::milliseconds delai) {
  Programme p(argv, entree, contenu);
  p.fermerEntree();
  Execution e;
  e.termine = p.finir(delai);
  e.sortie = p.sortie();
  e.erreurs = p.erreurs();
  e.statut = p.statut();
  return e;
}
