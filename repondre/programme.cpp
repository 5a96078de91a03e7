#include "programme.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using horloge = std::chrono::steady_clock;

constexpr auto kCalme = 10ms;        // nothing written for this long once the wait is seen
constexpr auto kAttenteMax = 100ms;  // typed at the latest this long after it is first seen
constexpr auto kRegard = 5ms;        // /proc looked at this often while the program writes
constexpr rlim_t kDescripteursMax = 65536;

void verifier(bool ok, const char* quoi) {
  if (!ok) throw std::runtime_error(std::string(quoi) + " a echoue");
}

// `fd` moved above 2 (the child's standard descriptors are made from the
// engine's ones, which must not be them), close-on-exec.
int auDessusDe2(int fd) {
  if (fd < 0) return fd;
  const int autre = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  close(fd);
  return autre;
}

Descripteur ouvrir(const char* nom, int mode) {
  const int fd = auDessusDe2(open(nom, mode | O_CLOEXEC));
  verifier(fd >= 0, "open");
  return Descripteur(fd);
}

struct Tube {
  Descripteur lecture, ecriture;
};

Tube tube() {
  int fds[2];
  verifier(pipe2(fds, O_CLOEXEC) == 0, "pipe2");
  return {Descripteur(auDessusDe2(fds[0])), Descripteur(auDessusDe2(fds[1]))};
}

bool sigpipeEnAttente() {
  sigset_t enAttente;
  sigpending(&enAttente);
  return sigismember(&enAttente, SIGPIPE) == 1;
}

// write(), without SIGPIPE: the signal is held for the call, and the one it
// raised (even with part of the text written) taken back, so that no
// process-wide setting changes.
ssize_t ecrireSansSigpipe(int fd, const char* texte, std::size_t taille) {
  sigset_t tubeCasse, avant;
  sigemptyset(&tubeCasse);
  sigaddset(&tubeCasse, SIGPIPE);
  const bool dejaLa = sigpipeEnAttente();
  pthread_sigmask(SIG_BLOCK, &tubeCasse, &avant);
  const ssize_t n = write(fd, texte, taille);
  const int erreur = errno;
  if (!dejaLa && sigpipeEnAttente()) {
    const timespec aussitot{};
    sigtimedwait(&tubeCasse, nullptr, &aussitot);
  }
  pthread_sigmask(SIG_SETMASK, &avant, nullptr);
  errno = erreur;
  return n;
}

// Appends what `fd` has to `tampon`; closes it at its end.
void lire(Descripteur& fd, std::string& tampon) {
  char bloc[65536];
  const ssize_t n = read(fd.fd(), bloc, sizeof bloc);
  if (n > 0) {
    tampon.append(bloc, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    fd.fermer();  // EIO on a pty master means the other side is gone
  }
}

// ---- The child: everything it needs is made before fork ----

struct Enfant {
  int standard[3] = {-1, -1, -1};    // what becomes 0, 1 and 2; -1: closed
  int terminal = -1;                 // made its controlling terminal
  int rapport = -1;                  // the exec-error pipe: an errno, if it fails
  int limite = 0;                    // descriptors are closed below this
  rlim_t memoire = 0;                // RLIMIT_AS, when not 0
  std::vector<std::string> chemins;  // tried in turn
  std::vector<char*> argv, envp;
  std::vector<std::string> environnement;  // what envp points into, when set here
};

// The files a name without '/' may be, in PATH's order; no shell fallback.
std::vector<std::string> chemins(const std::string& nom, bool chercher) {
  if (!chercher || nom.find('/') != std::string::npos) return {nom};
  const char* path = std::getenv("PATH");
  const std::string liste = path ? path : "/bin:/usr/bin";
  std::vector<std::string> resultat;
  for (std::size_t debut = 0; debut <= liste.size();) {
    const std::size_t fin = std::min(liste.find(':', debut), liste.size());
    const std::string dossier = liste.substr(debut, fin - debut);
    resultat.push_back((dossier.empty() ? "." : dossier) + "/" + nom);
    debut = fin + 1;
  }
  return resultat;
}

std::vector<std::string> environnementStable() {
  static const char* const fixes[] = {"TERM=xterm-256color", "COLUMNS=80", "LINES=24",
                                      "LC_ALL=C.UTF-8"};
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string variable = *e;
    const std::string nom = variable.substr(0, variable.find('='));
    if (nom != "TERM" && nom != "COLUMNS" && nom != "LINES" && nom != "LC_ALL" && nom != "LANGUAGE")
      env.push_back(variable);
  }
  env.insert(env.end(), std::begin(fixes), std::end(fixes));
  return env;
}

Enfant preparerEnfant(const std::vector<std::string>& argv, const Lancement& lancement) {
  Enfant e;
  e.chemins = chemins(argv[0], lancement.chercherDansPath);
  for (const auto& a : argv) e.argv.push_back(const_cast<char*>(a.c_str()));
  e.argv.push_back(nullptr);
  if (lancement.environnementStable) {
    e.environnement = environnementStable();
    for (auto& v : e.environnement) e.envp.push_back(v.data());
    e.envp.push_back(nullptr);
  }
  rlimit limite{};
  getrlimit(RLIMIT_NOFILE, &limite);
  e.limite = static_cast<int>(std::min(limite.rlim_cur, kDescripteursMax));
  e.memoire = static_cast<rlim_t>(lancement.memoire);
  return e;
}

[[noreturn]] void echecEnfant(int rapport, int erreur) {
  [[maybe_unused]] const ssize_t n = write(rapport, &erreur, sizeof erreur);
  _exit(127);
}

// Closes every descriptor from 3 up, but `garde`.
void fermerLesAutres(int garde, int limite) {
#ifdef SYS_close_range
  const auto fermer = [](unsigned premier, unsigned dernier) {
    return premier > dernier || syscall(SYS_close_range, premier, dernier, 0U) == 0;
  };
  const auto g = static_cast<unsigned>(garde);
  if (fermer(3U, g - 1) && fermer(g + 1, ~0U)) return;
#endif
  for (int fd = 3; fd < limite; ++fd)
    if (fd != garde) close(fd);
}

// The errno of the exec of `chemin`, told apart for a directory.
int pourquoiPasLance(const char* chemin, int erreur) {
  struct stat etat {};
  if (erreur == EACCES && stat(chemin, &etat) == 0 && S_ISDIR(etat.st_mode)) return EISDIR;
  return erreur;
}

// In the child: only calls that are safe after fork, nothing allocated.
[[noreturn]] void demarrerEnfant(const Enfant& e) {
  setsid();
  struct sigaction parDefaut {};
  parDefaut.sa_handler = SIG_DFL;
  for (int s = 1; s < NSIG; ++s) sigaction(s, &parDefaut, nullptr);
  sigset_t aucun;
  sigemptyset(&aucun);
  sigprocmask(SIG_SETMASK, &aucun, nullptr);
  if (e.terminal >= 0 && ioctl(e.terminal, TIOCSCTTY, 0) != 0) echecEnfant(e.rapport, errno);
  const rlimit memoire{e.memoire, e.memoire};
  if (e.memoire != 0 && setrlimit(RLIMIT_AS, &memoire) != 0) echecEnfant(e.rapport, errno);
  for (int fd = 0; fd < 3; ++fd) {
    if (e.standard[fd] < 0)
      close(fd);
    else if (dup2(e.standard[fd], fd) < 0)
      echecEnfant(e.rapport, errno);
  }
  fermerLesAutres(e.rapport, e.limite);
  char* const* envp = e.envp.empty() ? environ : e.envp.data();
  int erreur = ENOENT;
  for (const auto& chemin : e.chemins) {
    execve(chemin.c_str(), e.argv.data(), envp);
    const int echec = errno;
    if (echec == ENOENT || echec == ENOTDIR) continue;
    erreur = pourquoiPasLance(chemin.c_str(), echec);
    if (echec != EACCES) break;  // as execvp: a later one may still run
  }
  echecEnfant(e.rapport, erreur);
}

}  // namespace

void Descripteur::fermer() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

Temporaire::Temporaire(const std::string& contenu) {
  const char* dossier = std::getenv("TMPDIR");
  nom_ = std::string(dossier && *dossier ? dossier : "/tmp") + "/repondre-XXXXXX";
  const Descripteur fd(mkostemp(nom_.data(), O_CLOEXEC));
  verifier(fd.ouvert(), "mkstemp");
  verifier(write(fd.fd(), contenu.data(), contenu.size()) == static_cast<ssize_t>(contenu.size()),
           "write");
}

Temporaire::~Temporaire() {
  if (!nom_.empty()) unlink(nom_.c_str());
}

int lireFichierEntier(const std::string& nom, std::string& contenu) {
  contenu.clear();
  const Descripteur fd(open(nom.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ouvert()) return errno;
  char bloc[65536];
  ssize_t n = 0;
  while ((n = read(fd.fd(), bloc, sizeof bloc)) > 0)
    contenu.append(bloc, static_cast<std::size_t>(n));
  return n < 0 ? errno : 0;
}

Programme::Programme(const std::vector<std::string>& argv, Entree entree,
                     const std::string& contenu, Lancement lancement)
    : entree_(entree) {
  verifier(!argv.empty(), "argv");
  Enfant enfant = preparerEnfant(argv, lancement);
  Tube rapport = tube();
  std::vector<Descripteur> cotesEnfant;  // the child's ends, closed here once it has them
  brancher(contenu, lancement, enfant.standard, cotesEnfant);
  if (entree == Entree::terminal) enfant.terminal = esclave_.fd();
  enfant.rapport = rapport.ecriture.fd();
  pid_ = fork();
  verifier(pid_ >= 0, "fork");
  if (pid_ == 0) demarrerEnfant(enfant);
  rapport.ecriture.fermer();
  cotesEnfant.clear();
  int erreur = 0;
  if (read(rapport.lecture.fd(), &erreur, sizeof erreur) == static_cast<ssize_t>(sizeof erreur))
    erreurDeLancement_ = erreur;
  if (entree == Entree::tube) taper(contenu);
}

// Makes the program's standard descriptors (`standard`, held open by
// `cotesEnfant` until the fork) and this side's ends.
void Programme::brancher(const std::string& contenu, const Lancement& lancement, int (&standard)[3],
                         std::vector<Descripteur>& cotesEnfant) {
  const bool erreursApart = entree_ != Entree::terminal || !lancement.erreursSurLeTerminal;
  if (erreursApart) {
    Tube sesErreurs = tube();
    erreur_ = std::move(sesErreurs.lecture);
    standard[2] = sesErreurs.ecriture.fd();
    cotesEnfant.push_back(std::move(sesErreurs.ecriture));
  }
  if (entree_ == Entree::terminal) {
    winsize taille{};
    taille.ws_row = 24;
    taille.ws_col = 80;
    int maitre = -1, esclave = -1;
    verifier(openpty(&maitre, &esclave, nullptr, nullptr, &taille) == 0, "openpty");
    lecture_ = Descripteur(auDessusDe2(maitre));
    esclave_ = Descripteur(auDessusDe2(esclave));
    ecriture_ = Descripteur(fcntl(lecture_.fd(), F_DUPFD_CLOEXEC, 3));
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
    fcntl(lecture_.fd(), F_SETFL, fcntl(lecture_.fd(), F_GETFL) | O_NONBLOCK);  // never blocks
    if (!lancement.echo) {  // the system's usual modes otherwise
      termios modes{};
      tcgetattr(esclave_.fd(), &modes);
      modes.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
      tcsetattr(esclave_.fd(), TCSANOW, &modes);
    }
    for (int fd = 0; fd < 3; ++fd)
      if (fd < 2 || !erreursApart) standard[fd] = esclave_.fd();
    surveillee_ = entreeDe(esclave_.fd());
    return;
  }
  Tube versLui = tube();
  lecture_ = std::move(versLui.lecture);
  standard[1] = versLui.ecriture.fd();
  cotesEnfant.push_back(std::move(versLui.ecriture));
  Descripteur source;
  switch (entree_) {
    case Entree::tube: {
      Tube entree = tube();
      ecriture_ = std::move(entree.ecriture);
      source = std::move(entree.lecture);
      break;
    }
    case Entree::fichier:
      source = ouvrir(fichier_.emplace(contenu).nom().c_str(), O_RDONLY);
      break;
    case Entree::vide:
      source = ouvrir("/dev/null", O_RDONLY);
      break;
    case Entree::zero:
      source = ouvrir("/dev/zero", O_RDONLY);
      break;
    case Entree::repertoire:
      source = ouvrir("/", O_RDONLY | O_DIRECTORY);
      break;
    default:  // fermee
      break;
  }
  if (source.ouvert()) surveillee_ = entreeDe(source.fd());
  standard[0] = source.fd();
  cotesEnfant.push_back(std::move(source));
}

Programme::~Programme() {
  tuerTout();
  if (!fini_ && pid_ > 0) reaper(true);
}

void Programme::lireDisponible(std::chrono::milliseconds attente) {
  pollfd fds[2] = {{lecture_.fd(), POLLIN, 0}, {erreur_.fd(), POLLIN, 0}};
  if (poll(fds, 2, static_cast<int>(attente.count())) <= 0) return;
  const std::size_t avant = sortie_.size();
  if (fds[0].revents) lire(lecture_, sortie_);
  if (fds[1].revents) lire(erreur_, erreurs_);
  if (sortie_.size() != avant) derniereSortie_ = horloge::now();
}

bool Programme::attendre(const std::string& texte, std::chrono::milliseconds delai) {
  const auto fin = horloge::now() + delai;
  for (;;) {
    const auto trouve = sortie_.find(texte, curseur_);
    if (trouve != std::string::npos) {
      curseur_ = trouve + texte.size();
      return true;
    }
    if (horloge::now() >= fin || (!lecture_.ouvert() && !erreur_.ouvert())) return false;
    if (aFini()) {  // what is left to read is read at once
      const std::size_t avant = sortie_.size();
      lireDisponible(0ms);
      if (sortie_.size() == avant) return sortie_.find(texte, curseur_) != std::string::npos;
      continue;
    }
    lireDisponible(20ms);
  }
}

bool Programme::attendLecture(std::chrono::milliseconds delai, Attente attente) {
  const auto fin = horloge::now() + delai;
  while (horloge::now() < fin) {
    int enAttente = 0;  // bytes written to a pipe and not yet read by the program
    const bool toutLu = entree_ != Entree::tube || !ecriture_.ouvert() ||
                        (ioctl(ecriture_.fd(), FIONREAD, &enAttente) == 0 && enAttente == 0);
    if (toutLu && attenteDe({pid_, pid_, 0}, surveillee_, refusDeProc_) == attente) return true;
    lireDisponible(5ms);
  }
  return false;
}

// Whether a thread of the run that has blocked since the last taper() waits
// for input on the terminal.
bool Programme::quelquUnAttend() {
  bool attend = false;
  for (const Fil& fil : filsDuLancement(pid_)) {
    const auto avant = std::find_if(avantLaFrappe_.begin(), avantLaFrappe_.end(),
                                    [&](const Fil& f) { return f.tid == fil.tid; });
    const bool bloqueDepuis =
        avant == avantLaFrappe_.end() || fil.commutations > avant->commutations;
    if (bloqueDepuis && attenteDe(fil, surveillee_, refusDeProc_) != Attente::aucune) attend = true;
  }
  return attend;
}

bool Programme::attendUneReponse() {
  const auto maintenant = horloge::now();
  int nonLus = 0;
  if (!esclave_.ouvert() || ioctl(esclave_.fd(), FIONREAD, &nonLus) != 0 || nonLus > 0) {
    vuDepuis_.reset();
    return false;
  }
  const bool calme = maintenant - derniereSortie_ >= kCalme;
  const bool tarde = vuDepuis_ && maintenant - *vuDepuis_ >= kAttenteMax;
  if (!calme && !tarde && maintenant - dernierRegard_ < kRegard) return false;
  dernierRegard_ = maintenant;
  if (!quelquUnAttend()) {
    vuDepuis_.reset();
    return false;
  }
  if (!vuDepuis_) vuDepuis_ = maintenant;
  return maintenant - std::max(*vuDepuis_, derniereSortie_) >= kCalme ||
         maintenant - *vuDepuis_ >= kAttenteMax;
}

void Programme::signaler(int numero) {
  kill(pid_, numero);
}

bool Programme::taper(const std::string& texte, std::chrono::milliseconds delai) {
  if (entree_ == Entree::terminal) {
    avantLaFrappe_ = filsDuLancement(pid_);
    vuDepuis_.reset();
  }
  if (!ecriture_.ouvert()) return texte.empty();
  const auto fin = horloge::now() + delai;
  for (std::size_t ecrit = 0; ecrit < texte.size();) {
    const ssize_t n = ecrireSansSigpipe(ecriture_.fd(), texte.data() + ecrit, texte.size() - ecrit);
    if (n > 0) {
      ecrit += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN && horloge::now() < fin) {
      // The terminal is full: what the program writes meanwhile is read, so
      // that it can go on and read.
      pollfd sonde{ecriture_.fd(), POLLOUT, 0};
      poll(&sonde, 1, 1);
      lireDisponible(0ms);
    } else if (n >= 0 || errno != EINTR) {
      return false;
    }
  }
  return true;
}

void Programme::fermerEntree() {
  ecriture_.fermer();
}

void Programme::noterFin(int etat) {
  fini_ = true;
  statut_ = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
  signal_ = WIFSIGNALED(etat) ? WTERMSIG(etat) : 0;
}

bool Programme::reaper(bool bloquant) {
  if (fini_) return true;
  int etat = 0;
  if (waitpid(pid_, &etat, bloquant ? 0 : WNOHANG) != pid_) return false;
  noterFin(etat);
  return true;
}

// As a subreaper, the orphans of the run are this process's children: their
// ends are collected, the started process's noted if it is among them.
void Programme::recolterAdoptes() {
  int adopte = 0;
  if (prctl(PR_GET_CHILD_SUBREAPER, &adopte) != 0 || adopte == 0) return;
  for (;;) {
    int etat = 0;
    const pid_t fini = waitpid(-1, &etat, WNOHANG);
    if (fini <= 0) return;
    if (fini == pid_ && !fini_) noterFin(etat);
  }
}

bool Programme::aFini() {
  return reaper(false);
}

void Programme::tuerTout() {
  if (pid_ <= 0) return;
  for (int tour = 0; tour < 100; ++tour) {
    const auto restants = processusDuLancement(pid_, !fini_);
    for (pid_t reste : restants) kill(reste, SIGKILL);
    if (!fini_) reaper(false);
    recolterAdoptes();
    if (restants.empty()) return;
    std::this_thread::sleep_for(1ms);
  }
}

bool Programme::attendToujours(std::chrono::milliseconds duree) {
  const auto fin = horloge::now() + duree;
  while (horloge::now() < fin) {
    if (reaper(false)) return false;
    lireDisponible(10ms);
    if (!lecture_.ouvert() && !erreur_.ouvert()) std::this_thread::sleep_for(10ms);
  }
  return !reaper(false);
}

bool Programme::finir(std::chrono::milliseconds delai) {
  const auto fin = horloge::now() + delai;
  for (;;) {
    if (reaper(false) && lecture_.ouvert() && esclave_.ouvert()) {
      // The terminal stays open on this side: once the program has exited,
      // what it wrote is read, then the terminal is let go.
      for (std::size_t avant = ~std::size_t{0}; avant != sortie_.size();) {
        avant = sortie_.size();
        lireDisponible(0ms);
      }
      lecture_.fermer();
    }
    if (!lecture_.ouvert() && !erreur_.ouvert() && reaper(false)) return true;
    if (horloge::now() >= fin) return false;
    if (lecture_.ouvert() || erreur_.ouvert())
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
  e.signal = p.signalDeFin();
  return e;
}
