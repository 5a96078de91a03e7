// Exercises the pause prompt and the sort: ten numbers, sorted, then a pause.
#include <cstdlib>
#include <iostream>

#include <outils/saisie.h>
#include <outils/tri.h>

namespace {

void ecrire(const int* t) {
  for (int i = 0; i < TAILLE; ++i) std::cout << t[i] << ", ";
  std::cout << std::endl;
}

}  // namespace

int main() {
  saisie<void> pause("appuyer sur une touche pour continuer\n");
  int t[100];
  for (int i = 0; i < TAILLE; ++i) t[i] = std::rand() % 100;
  ecrire(t);
  trier(t, false);
  ecrire(t);

  int a = 0;
  int b = 8;
  int c = 0;
  int d = 1;
  const int* marque = &d;
  if (c == a) std::cout << "premier repere\n";
  if (c * 0 == a) std::cout << "deuxieme repere\n";
  if (c == a && b == 8) std::cout << "troisieme repere\n";
  if (*marque != 0) std::cout << "quatrieme repere\n";

  pause.demander();
  return 0;
}
