/* A console program that does not use the library, for repondre's tests.
 *   (none)       "Nombre ? " scanf("%d"), "Nom ? " fgets, then both on a line
 *   fils         the same, in a child process, the parent waiting for it
 *   evade        the same, in a child that leaves the session (setsid)
 *   orphelin     a child leaves the session and stays; the parent ends at once
 *   relit        "? " and fgets without end, past the end of input too
 *   boucle       "Calcul" then loops without reading
 *   tube         reads a pipe that nobody writes: blocked, but not on the terminal
 *   bavard       writes without end
 *   plante       "Avant", then dies of SIGSEGV
 *   statut127    exits with status 127
 * Waits that are not for the terminal: each is followed by two prompts that
 * drop what was typed ahead, as the library's do ("Premier : ", "Second : ").
 *   dort         poll() with no descriptor, for 300 ms
 *   filpoll      a thread blocked in poll() on a pipe while the main one computes
 *   epoll        epoll_wait() on a timer
 *   arriere      a child in the background reads the terminal (and is stopped)
 * Waits for the terminal ("Nom ? ", then the line):
 *   sonde K      poll, select, epoll or readv on descriptor 0 (K), then fgets
 *   tty          fgets on /dev/tty
 *   tardif       a thread reads, the prompt is written 5 ms later
 *   horloge      "Nom ? ", then a thread writes a dot every 2 ms while the line is read
 *   nondumpable  "Nombre ? ..." as (none), after prctl(PR_SET_DUMPABLE, 0)
 *   brut         canonical mode off: reads one key, says it, ends
 *   tenace       ignores SIGHUP, then asks without end
 *   accolades    "Objet {" and a line, printed between brackets; a text with
 *                {{, }} and backslashes; "Fin \" and a line
 *   crlf         "Nom :\r\n" (its own CR), a line, printed back
 *   env          what the program's environment and locale say
 *   sansfin      "Café servi", without a line feed
 *   memoire      says whether 256 MiB can be allocated */
#define _GNU_SOURCE
#include <locale.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/epoll.h>
#include <sys/prctl.h>
#include <sys/select.h>
#include <sys/timerfd.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

static int demander(void) {
  int n = 0;
  char nom[64] = "";
  printf("Nombre ? ");
  fflush(stdout);
  if (scanf("%d", &n) != 1) return 1;
  while (getchar() != '\n') {
  }
  printf("Nom ? ");
  fflush(stdout);
  if (!fgets(nom, sizeof nom, stdin)) return 1;
  nom[strcspn(nom, "\n")] = '\0';
  printf("%d %s\n", n, nom);
  return 0;
}

/* A prompt that drops what was typed ahead, then reads a number. */
static int entier(const char* texte) {
  int n = 0;
  tcflush(0, TCIFLUSH);
  printf("%s", texte);
  fflush(stdout);
  if (scanf("%d", &n) != 1) return -1;
  while (getchar() != '\n') {
  }
  return n;
}

static int deuxEntiers(void) {
  const int a = entier("Premier : ");
  const int b = entier("Second : ");
  printf("%d\n", a + b);
  return 0;
}

static void dormirMs(long ms) {
  const struct timespec duree = {ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&duree, NULL);
}

static void* sonderTube(void* tube) {
  struct pollfd sonde = {*(int*)tube, POLLIN, 0};
  poll(&sonde, 1, -1);
  return NULL;
}

static void calculer(long ms) {
  struct timespec debut, maintenant;
  clock_gettime(CLOCK_MONOTONIC, &debut);
  do clock_gettime(CLOCK_MONOTONIC, &maintenant);
  while ((maintenant.tv_sec - debut.tv_sec) * 1000 +
             (maintenant.tv_nsec - debut.tv_nsec) / 1000000 <
         ms);
}

static void attendreTimer(void) {
  const int minuterie = timerfd_create(CLOCK_MONOTONIC, 0);
  const struct itimerspec quand = {{0, 0}, {0, 300000000L}};
  timerfd_settime(minuterie, 0, &quand, NULL);
  const int instance = epoll_create1(0);
  struct epoll_event evenement = {EPOLLIN, {0}};
  epoll_ctl(instance, EPOLL_CTL_ADD, minuterie, &evenement);
  epoll_wait(instance, &evenement, 1, -1);
}

/* Waits until descriptor 0 can be read, as `sorte` says; then the line. */
static int sonder(const char* sorte) {
  char ligne[64] = "";
  printf("Nom ? ");
  fflush(stdout);
  if (strcmp(sorte, "poll") == 0) {
    struct pollfd sonde = {0, POLLIN, 0};
    poll(&sonde, 1, -1);
  } else if (strcmp(sorte, "select") == 0) {
    fd_set lecture;
    FD_ZERO(&lecture);
    FD_SET(0, &lecture);
    select(1, &lecture, NULL, NULL, NULL);
  } else if (strcmp(sorte, "epoll") == 0) {
    const int instance = epoll_create1(0);
    struct epoll_event evenement = {EPOLLIN, {0}};
    epoll_ctl(instance, EPOLL_CTL_ADD, 0, &evenement);
    epoll_wait(instance, &evenement, 1, -1);
  } else {
    struct iovec morceau = {ligne, sizeof ligne - 1};
    const ssize_t n = readv(0, &morceau, 1);
    ligne[n > 0 ? n : 0] = '\0';
    printf("%s", ligne);
    return 0;
  }
  if (!fgets(ligne, sizeof ligne, stdin)) return 1;
  printf("%s", ligne);
  return 0;
}

static char ligneLue[64];

static void* lireLigne(void* rien) {
  (void)rien;
  if (!fgets(ligneLue, sizeof ligneLue, stdin)) ligneLue[0] = '\0';
  return NULL;
}

static volatile int lue;

static void* tictac(void* rien) {
  (void)rien;
  while (!lue) {
    if (write(1, ".", 1) != 1) break;
    dormirMs(2);
  }
  return NULL;
}

static int horloge(void) {
  pthread_t fil;
  printf("Nom ? ");
  fflush(stdout);
  pthread_create(&fil, NULL, tictac, NULL);
  lireLigne(NULL);
  lue = 1;
  pthread_join(fil, NULL);
  printf("\n%s", ligneLue);
  return 0;
}

static int tardif(void) {
  pthread_t lecteur;
  pthread_create(&lecteur, NULL, lireLigne, NULL);
  dormirMs(5);
  printf("Nom ? ");
  fflush(stdout);
  pthread_join(lecteur, NULL);
  printf("%s", ligneLue);
  return 0;
}

static int brut(void) {
  struct termios modes;
  char touche = 0;
  tcgetattr(0, &modes);
  cfmakeraw(&modes);
  tcsetattr(0, TCSANOW, &modes);
  printf("Touche ? ");
  fflush(stdout);
  if (read(0, &touche, 1) != 1) return 1;
  printf("lu %c\n", touche);
  return 0;
}

static int ligneEntre(const char* avant, const char* apres) {
  char ligne[64] = "";
  printf("%s", avant);
  fflush(stdout);
  if (!fgets(ligne, sizeof ligne, stdin)) return 1;
  ligne[strcspn(ligne, "\n")] = '\0';
  printf("%s%s\n", ligne, apres);
  return 0;
}

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (strcmp(mode, "fils") == 0 || strcmp(mode, "evade") == 0 || strcmp(mode, "orphelin") == 0) {
    const pid_t fils = fork();
    if (fils == 0) {
      if (strcmp(mode, "fils") != 0) setsid();
      if (strcmp(mode, "orphelin") == 0) pause();
      return demander();
    }
    if (strcmp(mode, "orphelin") == 0) return 0;
    int etat = 0;
    waitpid(fils, &etat, 0);
    return WIFEXITED(etat) ? WEXITSTATUS(etat) : 3;
  }
  if (strcmp(mode, "relit") == 0) {
    char ligne[64];
    for (;;) {
      printf("? ");
      fflush(stdout);
      if (!fgets(ligne, sizeof ligne, stdin)) clearerr(stdin);
    }
  }
  if (strcmp(mode, "boucle") == 0) {
    printf("Calcul\n");
    fflush(stdout);
    for (volatile int i = 0;; i = i + 1) {
    }
  }
  if (strcmp(mode, "tube") == 0) {
    int tube[2];
    char c;
    return pipe(tube) == 0 && read(tube[0], &c, 1) == 1 ? 0 : 1;
  }
  if (strcmp(mode, "bavard") == 0)
    for (;;) fputs("bla bla bla\n", stdout);
  if (strcmp(mode, "plante") == 0) {
    printf("Avant\n");
    fflush(stdout);
    raise(SIGSEGV);
  }
  if (strcmp(mode, "statut127") == 0) return 127;
  if (strcmp(mode, "dort") == 0) {
    printf("Calcul...\n");
    fflush(stdout);
    poll(NULL, 0, 300);
    return deuxEntiers();
  }
  if (strcmp(mode, "filpoll") == 0) {
    int tube[2];
    pthread_t fil;
    if (pipe(tube) != 0) return 1;
    pthread_create(&fil, NULL, sonderTube, &tube[0]);
    calculer(300);
    return deuxEntiers();
  }
  if (strcmp(mode, "epoll") == 0) {
    attendreTimer();
    return deuxEntiers();
  }
  if (strcmp(mode, "arriere") == 0) {
    const pid_t fils = fork();
    if (fils == 0) {
      char c;
      setpgid(0, 0);
      return read(0, &c, 1) == 1 ? 0 : 1;
    }
    dormirMs(300);
    kill(fils, SIGKILL);
    waitpid(fils, NULL, 0);
    return deuxEntiers();
  }
  if (strcmp(mode, "sonde") == 0 && argc > 2) return sonder(argv[2]);
  if (strcmp(mode, "tty") == 0) {
    char ligne[64] = "";
    FILE* terminal = fopen("/dev/tty", "r");
    printf("Nom ? ");
    fflush(stdout);
    if (!terminal || !fgets(ligne, sizeof ligne, terminal)) return 1;
    printf("%s", ligne);
    return 0;
  }
  if (strcmp(mode, "tardif") == 0) return tardif();
  if (strcmp(mode, "horloge") == 0) return horloge();
  if (strcmp(mode, "nondumpable") == 0) {
    prctl(PR_SET_DUMPABLE, 0);
    return demander();
  }
  if (strcmp(mode, "brut") == 0) return brut();
  if (strcmp(mode, "tenace") == 0) {
    signal(SIGHUP, SIG_IGN);
    for (;;)
      if (ligneEntre("? ", "") != 0) dormirMs(100);
  }
  if (strcmp(mode, "accolades") == 0) {
    if (ligneEntre("Objet {", "]") != 0) return 1;
    printf("{{^D}} a\\{b }} c\\\n");
    return ligneEntre("Fin \\", ".");
  }
  if (strcmp(mode, "crlf") == 0) return ligneEntre("Nom :\r\n", "");
  if (strcmp(mode, "memoire") == 0) {
    void* bloc = malloc((size_t)256 << 20);
    puts(bloc ? "allocation possible" : "allocation impossible");
    free(bloc);
    return 0;
  }
  if (strcmp(mode, "sansfin") == 0) {
    printf("Caf\xc3\xa9 servi");
    return 0;
  }
  if (strcmp(mode, "env") == 0) {
    const char* noms[] = {"TERM", "COLUMNS", "LINES", "LC_ALL", "LANGUAGE"};
    for (size_t i = 0; i < sizeof noms / sizeof noms[0]; ++i)
      printf("%s ", getenv(noms[i]) ? getenv(noms[i]) : "-");
    setlocale(LC_ALL, "");
    printf("%.1f\n", 12.5);
    return 0;
  }
  return demander();
}
