// What the processes of a run are waiting for, read in /proc (Linux).
//
// A thread waits for input when it is blocked, not stopped, in one of:
//   read, readv                 on the input
//   poll, ppoll                 with the input in its set, for POLLIN
//   select, pselect6            with the input in its read set
//   epoll_wait, epoll_pwait(2)  on an instance that watches the input for
//                               EPOLLIN (its targets matched by inode and
//                               device in /proc/PID/fdinfo, not by number)
// A descriptor is the input when it opens the same device (a terminal,
// whatever its path; /dev/tty for a process whose controlling terminal it
// is) or the same file (a pipe). The sets polled are read in /proc/PID/mem.
// System-call numbers come from <sys/syscall.h>: native processes of x86-64
// and aarch64 (and other 64-bit architectures with the same calls); a 32-bit
// program on a 64-bit kernel is not recognised.
#ifndef OUTILS_REPONDRE_ATTENTE_H
#define OUTILS_REPONDRE_ATTENTE_H

#include <sys/types.h>

#include <string>
#include <vector>

// The input a run's processes may wait on.
struct EntreeSurveillee {
  bool terminal = false;   // a terminal: matched by its device
  dev_t peripherique = 0;  // the terminal's device (st_rdev)
  dev_t systeme = 0;       // the file's filesystem and inode (st_dev, st_ino)
  ino_t inode = 0;
  dev_t systemeTty = 0;  // /dev/tty's, for a process whose terminal it is
  ino_t inodeTty = 0;
};

// The input open at `descripteur` (a pty's slave or a pipe's end).
EntreeSurveillee entreeDe(int descripteur);

// A thread of the run, and how many times it had blocked when last seen.
struct Fil {
  pid_t pid;
  pid_t tid;
  long commutations;
};

// The processes of the run started as `racine`, zombies aside: its session,
// its descendants, and the orphans this process adopted as a subreaper.
// Once `racine` is reaped (`racineVivante` false), its pid may name another
// process: only its session (while no process has that pid) and the adopted
// orphans are then the run's.
std::vector<pid_t> processusDuLancement(pid_t racine, bool racineVivante = true);

// The threads of those processes.
std::vector<Fil> filsDuLancement(pid_t racine);

enum class Attente { aucune, lecture, sondage };

// What the thread waits for: a read of the input, a poll, select or epoll
// wait on it, or nothing. `refus` gets the errno when /proc refuses to say
// (EACCES, EPERM); a thread that has just ended waits for nothing.
Attente attenteDe(const Fil& fil, const EntreeSurveillee& entree, int& refus);

#endif
