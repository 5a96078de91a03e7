// Reads a name, an age and a mark a line from a small data file and prints
// them; the reader says in French where a line is malformed, and stops there.
// Run: build/defaut/examples/carnet [FILE]   (by default, carnet.txt beside this file)
#include <iostream>
#include <string>

#include <outils/fichier.h>

int main(int argc, char** argv) {
  fichier carnet(argc > 1 ? argv[1] : CARNET);
  std::string nom;
  int age = 0;
  float note = 0;
  while (carnet && carnet.sauterBlancs() && carnet.lire(nom).lire(age).lire(note))
    std::cout << nom << " a " << age << " ans et la note " << note << '\n';
  return carnet ? 0 : 1;
}
