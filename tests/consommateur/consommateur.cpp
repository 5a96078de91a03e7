// Uses a prompt, the sort and the reader through the installed headers, with
// headers and functions of its own named like the library's.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include <outils/outils.h>

#include "entree.h"  // the consumer's own, found after the library's folder
#include "tri.h"

// Global functions of the consumer's own, named like the sort's helpers in
// outils::detail: the library's calls must still reach its own (qualified
// calls, no argument-dependent lookup of the consumer's), and the consumer's
// calls its.
template <class T, class Avant>
int partitionner(T* /*tab*/, int debut, int /*fin*/, Avant& /*avant*/) {
  return debut;
}
template <class T, class Avant>
void trierPlage(T* /*tab*/, int /*debut*/, int /*fin*/, Avant& /*avant*/) {}
template <class T, class Avant>
void trierDeux(T* /*t*/, Avant& /*avant*/) {}
template <class T, class Avant>
void trierTrois(T* /*t*/, Avant& /*avant*/) {}

int main() {
  int t[TAILLE] = {4, 9, 1, 7, 3, 8, 2, 6, 5, 0};
  trier(t, true);
  auto jamais = [](int, int) { return false; };
  const bool siens = partitionner(t, 3, 9, jamais) == 3 &&
                     std::strcmp(triDuConsommateur(), "tri") == 0 &&
                     std::strcmp(entreeDuConsommateur(), "entree") == 0;

  std::istringstream rien;  // at the end of its input, 0 at once: never the proposal
  std::ostringstream ecran;
  std::streambuf* entree = std::cin.rdbuf(rien.rdbuf());
  std::streambuf* sortie = std::cout.rdbuf(ecran.rdbuf());
  saisie<int> nombre("nombre ? ");
  const int reponse = nombre.proposer(5).ligneEntiere().demander();
  std::cin.rdbuf(entree);
  std::cout.rdbuf(sortie);

  const char* nom = "consommateur-donnees.txt";
  std::ofstream(nom) << "42 mot\n";
  fichier f(nom);
  int n = 0;
  std::string mot;
  f.lire(n).lire(mot);
  std::remove(nom);

  const bool ok = siens && t[0] == 9 && t[9] == 0 && reponse == 0 && ecran.str() == "nombre ? " &&
                  n == 42 && mot == "mot";
  std::cout << (ok ? "consommateur: ok" : "consommateur: ECHEC") << '\n';
  return ok ? 0 : 1;
}
