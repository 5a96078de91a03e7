/* A console program that does not use the library, for repondre's tests.
 *   (none)    "Nombre ? " scanf("%d"), "Nom ? " fgets, then both on a line
 *   fils      the same, in a child process, the parent waiting for it
 *   relit     "? " and fgets without end, past the end of input too
 *   boucle    loops without reading
 *   bavard    writes without end
 *   plante    dies of SIGSEGV
 *   statut127 exits with status 127 */
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
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

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (strcmp(mode, "fils") == 0) {
    const pid_t fils = fork();
    if (fils == 0) return demander();
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
  if (strcmp(mode, "boucle") == 0)
    for (volatile int i = 0;; i = i + 1) {
    }
  if (strcmp(mode, "bavard") == 0)
    for (;;) fputs("bla bla bla\n", stdout);
  if (strcmp(mode, "plante") == 0) raise(SIGSEGV);
  if (strcmp(mode, "statut127") == 0) return 127;
  return demander();
}
