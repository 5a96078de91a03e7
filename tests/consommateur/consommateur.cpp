// Uses a prompt, the sort and the reader through the installed headers.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "outils.h"

int main() {
  int t[TAILLE] = {4, 9, 1, 7, 3, 8, 2, 6, 5, 0};
  trier(t, true);

  std::istringstream rien;  // a prompt at the end of its input returns 0 at once
  std::ostringstream ecran;
  std::streambuf* entree = std::cin.rdbuf(rien.rdbuf());
  std::streambuf* sortie = std::cout.rdbuf(ecran.rdbuf());
  const int reponse = saisie<int>("nombre ? ").demander();
  std::cin.rdbuf(entree);
  std::cout.rdbuf(sortie);

  const char* nom = "consommateur-donnees.txt";
  std::ofstream(nom) << "42 mot\n";
  fichier f(nom);
  int n = 0;
  std::string mot;
  f.lire(n).lire(mot);
  std::remove(nom);

  const bool ok = t[0] == 9 && t[9] == 0 && reponse == 0 && ecran.str() == "nombre ? " && n == 42 &&
                  mot == "mot";
  std::cout << (ok ? "consommateur: ok" : "consommateur: ECHEC") << '\n';
  return ok ? 0 : 1;
}
