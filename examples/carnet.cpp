// Lit un nom, un age et une note par ligne dans un petit fichier et les affiche ; le lecteur
// dit en francais ou une ligne est mal formee, et la lecture s'arrete la.
// Lancer : build/defaut/examples/carnet [FICHIER]   (par defaut carnet.txt, a cote d'ici)
// Statut : 0 quand tout le fichier a ete lu ; 1 sinon (celui fourni a une ligne mal formee).
#include <iostream>
#include <string>

#include <outils/fichier.h>

int main(int argc, char** argv) {
  fichier carnet(argc > 1 ? argv[1] : CARNET);
  std::string nom;
  int age = 0;
  float note = 0;
  while (carnet.sauterBlancs() && carnet.lire(nom).lire(age).lire(note))
    std::cout << nom << " a " << age << " ans et la note " << note << '\n';
  return carnet ? 0 : 1;
}
