#include "attente.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "programme.h"  // lireFichierEntier

namespace {

constexpr std::size_t kSondesMax = 4096;   // pollfd entries read at most
constexpr std::size_t kSelectMax = 65536;  // select bits read at most
constexpr unsigned kMajeurTty = 5;         // /dev/tty is (5, 0)

std::string proc(pid_t pid) {
  return "/proc/" + std::to_string(pid);
}

// A small file of /proc, whole; `erreur` gets its errno, or 0.
std::string lireProc(const std::string& nom, int& erreur) {
  std::string contenu;
  erreur = lireFichierEntier(nom, contenu);
  return contenu;
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

// From /proc/PID/stat, after the command's closing parenthesis.
struct Processus {
  char etat = 0;  // R, S, D, T, Z...
  pid_t pid = 0;
  pid_t parent = 0;
  pid_t session = 0;
  long terminal = 0;  // tty_nr: its controlling terminal, encoded as the kernel says
};

bool lireStat(pid_t pid, Processus& p) {
  int erreur = 0;
  const std::string etat = lireProc(proc(pid) + "/stat", erreur);
  const auto parenthese = etat.rfind(')');
  if (parenthese == std::string::npos) return false;
  char lettre = 0;
  long parent = 0, groupe = 0, session = 0, terminal = 0;
  if (std::sscanf(etat.c_str() + parenthese + 1, " %c %ld %ld %ld %ld", &lettre, &parent, &groupe,
                  &session, &terminal) != 5)
    return false;
  p = {lettre, pid, static_cast<pid_t>(parent), static_cast<pid_t>(session), terminal};
  return true;
}

// A device as /proc/PID/stat writes a controlling terminal.
long encoderTty(dev_t peripherique) {
  const auto maj = static_cast<long>(major(peripherique));
  const auto min = static_cast<long>(minor(peripherique));
  return (min & 0xff) | (maj << 8) | ((min & ~0xffL) << 12);
}

// Whether the process's controlling terminal is the input's.
bool terminalDe(pid_t pid, const EntreeSurveillee& entree) {
  Processus p;
  return entree.terminal && lireStat(pid, p) && p.terminal == encoderTty(entree.peripherique);
}

// Whether descriptor `fd` of `pid` is the input.
bool estEntree(pid_t pid, long fd, const EntreeSurveillee& entree, int& refus) {
  struct stat etat {};
  if (fd < 0 || stat((proc(pid) + "/fd/" + std::to_string(fd)).c_str(), &etat) != 0) {
    if (errno == EACCES || errno == EPERM) refus = errno;
    return false;
  }
  if (!entree.terminal) return etat.st_dev == entree.systeme && etat.st_ino == entree.inode;
  if (!S_ISCHR(etat.st_mode)) return false;
  if (etat.st_rdev == entree.peripherique) return true;
  return etat.st_rdev == makedev(kMajeurTty, 0) && terminalDe(pid, entree);
}

// `taille` bytes of the process's memory at `adresse`; false when unreadable.
bool lireMemoire(pid_t pid, std::uintptr_t adresse, std::vector<char>& octets, int& refus) {
  const int fd = open((proc(pid) + "/mem").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) refus = errno;
    return false;
  }
  const ssize_t n = pread(fd, octets.data(), octets.size(), static_cast<off_t>(adresse));
  close(fd);
  return n == static_cast<ssize_t>(octets.size());
}

bool pollSurEntree(pid_t pid, std::uintptr_t sondes, unsigned long nombre,
                   const EntreeSurveillee& entree, int& refus) {
  if (sondes == 0 || nombre == 0 || nombre > kSondesMax) return false;
  std::vector<char> octets(nombre * sizeof(pollfd));
  if (!lireMemoire(pid, sondes, octets, refus)) return false;
  for (std::size_t i = 0; i < nombre; ++i) {
    pollfd sonde{};
    std::memcpy(&sonde, octets.data() + i * sizeof sonde, sizeof sonde);
    if ((sonde.events & (POLLIN | POLLRDNORM)) != 0 && estEntree(pid, sonde.fd, entree, refus))
      return true;
  }
  return false;
}

bool selectSurEntree(pid_t pid, unsigned long nombre, std::uintptr_t lecture,
                     const EntreeSurveillee& entree, int& refus) {
  if (lecture == 0 || nombre == 0 || nombre > kSelectMax) return false;
  std::vector<char> octets((nombre + 63) / 64 * 8);
  if (!lireMemoire(pid, lecture, octets, refus)) return false;
  for (std::size_t fd = 0; fd < nombre; ++fd) {
    const auto octet = static_cast<unsigned char>(octets[fd / 8]);  // little-endian words
    if ((octet >> (fd % 8) & 1U) != 0 && estEntree(pid, static_cast<long>(fd), entree, refus))
      return true;
  }
  return false;
}

// An epoll instance's targets, from its fdinfo: "tfd: N events: HEX ... ino:HEX sdev:HEX".
bool epollSurEntree(pid_t pid, long instance, const EntreeSurveillee& entree, int& refus) {
  int erreur = 0;
  std::istringstream lignes(lireProc(proc(pid) + "/fdinfo/" + std::to_string(instance), erreur));
  if (erreur == EACCES || erreur == EPERM) refus = erreur;
  const bool tty = terminalDe(pid, entree);
  for (std::string ligne; std::getline(lignes, ligne);) {
    unsigned long evenements = 0, inode = 0, systeme = 0;
    const auto champ = [&](const char* nom, unsigned long& valeur) {
      const auto p = ligne.find(nom);
      if (p == std::string::npos) return false;
      valeur = std::strtoul(ligne.c_str() + p + std::char_traits<char>::length(nom), nullptr, 16);
      return true;
    };
    if (ligne.rfind("tfd:", 0) != 0 || !champ("events:", evenements) || !champ("ino:", inode) ||
        !champ("sdev:", systeme) || (evenements & EPOLLIN) == 0)
      continue;
    const dev_t dev = makedev(systeme >> 20, systeme & 0xfffff);  // the kernel's own encoding
    if ((dev == entree.systeme && inode == entree.inode) ||
        (tty && dev == entree.systemeTty && inode == entree.inodeTty))
      return true;
  }
  return false;
}

bool estLecture(long numero) {
  return numero == SYS_read || numero == SYS_readv;
}

bool estPoll(long numero) {
#ifdef SYS_poll
  if (numero == SYS_poll) return true;
#endif
  return numero == SYS_ppoll;
}

bool estSelect(long numero) {
#ifdef SYS_select
  if (numero == SYS_select) return true;
#endif
  return numero == SYS_pselect6;
}

bool estEpoll(long numero) {
#ifdef SYS_epoll_wait
  if (numero == SYS_epoll_wait) return true;
#endif
#ifdef SYS_epoll_pwait2
  if (numero == SYS_epoll_pwait2) return true;
#endif
  return numero == SYS_epoll_pwait;
}

// Stopped (job control, or traced): not waiting, whatever its system call says.
bool arrete(const std::string& statut) {
  const auto p = statut.find("State:");
  if (p == std::string::npos) return false;
  const auto lettre = statut.find_first_not_of(" \t", p + 6);
  return lettre != std::string::npos && (statut[lettre] == 'T' || statut[lettre] == 't');
}

}  // namespace

EntreeSurveillee entreeDe(int descripteur) {
  EntreeSurveillee entree;
  struct stat etat {};
  if (fstat(descripteur, &etat) != 0) return entree;
  entree.terminal = S_ISCHR(etat.st_mode) && isatty(descripteur);
  entree.peripherique = etat.st_rdev;
  entree.systeme = etat.st_dev;
  entree.inode = etat.st_ino;
  struct stat tty {};
  if (entree.terminal && stat("/dev/tty", &tty) == 0) {
    entree.systemeTty = tty.st_dev;
    entree.inodeTty = tty.st_ino;
  }
  return entree;
}

std::vector<pid_t> processusDuLancement(pid_t racine, bool racineVivante) {
  std::vector<Processus> tous;
  for (pid_t pid : numeros("/proc")) {
    Processus p;
    if (lireStat(pid, p)) tous.push_back(p);
  }
  int adopte = 0;
  prctl(PR_GET_CHILD_SUBREAPER, &adopte);
  const pid_t moi = getpid();
  std::vector<pid_t> lancement;
  if (racineVivante) lancement.push_back(racine);
  // Reaped, its pid names another process if one has it: its session is no longer the run's.
  const bool session =
      racineVivante ||
      std::none_of(tous.begin(), tous.end(), [&](const Processus& p) { return p.pid == racine; });
  const auto dedans = [&](pid_t pid) {
    return std::find(lancement.begin(), lancement.end(), pid) != lancement.end();
  };
  for (bool ajoute = true; ajoute;) {  // until no descendant is left to add
    ajoute = false;
    for (const Processus& p : tous) {
      if (dedans(p.pid)) continue;
      if ((session && p.session == racine) || dedans(p.parent) ||
          (adopte != 0 && p.parent == moi)) {
        lancement.push_back(p.pid);
        ajoute = true;
      }
    }
  }
  const auto zombie = [&](pid_t pid) {
    return std::any_of(tous.begin(), tous.end(),
                       [&](const Processus& p) { return p.pid == pid && p.etat == 'Z'; });
  };
  lancement.erase(std::remove_if(lancement.begin(), lancement.end(), zombie), lancement.end());
  return lancement;
}

std::vector<Fil> filsDuLancement(pid_t racine) {
  std::vector<Fil> fils;
  for (pid_t pid : processusDuLancement(racine)) {
    for (pid_t tid : numeros(proc(pid) + "/task")) {
      int erreur = 0;
      const std::string statut =
          lireProc(proc(pid) + "/task/" + std::to_string(tid) + "/status", erreur);
      const std::string cle = "voluntary_ctxt_switches:";
      const auto p = statut.find(cle);
      const long commutations =
          p == std::string::npos ? -1 : std::strtol(statut.c_str() + p + cle.size(), nullptr, 10);
      fils.push_back({pid, tid, commutations});
    }
  }
  return fils;
}

Attente attenteDe(const Fil& fil, const EntreeSurveillee& entree, int& refus) {
  const std::string tache = proc(fil.pid) + "/task/" + std::to_string(fil.tid);
  int erreur = 0;
  if (arrete(lireProc(tache + "/status", erreur))) return Attente::aucune;
  std::istringstream appel(lireProc(tache + "/syscall", erreur));
  if (erreur == EACCES || erreur == EPERM) {
    refus = erreur;
    return Attente::aucune;
  }
  long numero = -1;  // "NUMBER ARG1 ... ARG6 SP PC" while blocked, else "running"
  unsigned long arg[3] = {};
  if (!(appel >> numero >> std::hex >> arg[0] >> arg[1] >> arg[2])) return Attente::aucune;
  const auto descripteur = static_cast<long>(arg[0]);
  if (estLecture(numero))
    return estEntree(fil.pid, descripteur, entree, refus) ? Attente::lecture : Attente::aucune;
  bool sonde = false;
  if (estPoll(numero)) sonde = pollSurEntree(fil.pid, arg[0], arg[1], entree, refus);
  if (estSelect(numero)) sonde = selectSurEntree(fil.pid, arg[0], arg[1], entree, refus);
  if (estEpoll(numero)) sonde = epollSurEntree(fil.pid, descripteur, entree, refus);
  return sonde ? Attente::sondage : Attente::aucune;
}
