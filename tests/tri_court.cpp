// Must not compile: trier orders TAILLE elements, and this array has five.
#include <outils/tri.h>

void trierCinq() {
  int notes[5] = {};
  trier(notes, false);
}
