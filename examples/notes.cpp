// Lit une ligne "nom note" par eleve (la note avec une virgule ou un point), trie les notes de
// la plus haute a la plus basse, puis donne leur moyenne.
// Lancer : build/defaut/examples/notes [FICHIER]   (par defaut notes.txt, a cote d'ici)
// Statut : 0 ; 1 quand le fichier manque, est vide ou contient autre chose.
#include <iostream>
#include <string>
#include <vector>

#include <outils/fichier.h>
#include <outils/tri.h>

int main(int argc, char** argv) {
  fichier donnees(argc > 1 ? argv[1] : NOTES);
  std::vector<double> notes;
  std::string nom;
  double note = 0;
  while (donnees.sauterBlancs() && donnees.lire(nom).lire(note)) notes.push_back(note);
  if (!donnees || notes.empty()) return 1;

  trier(notes, true);  // de la plus haute a la plus basse
  double somme = 0;
  for (double n : notes) {
    std::cout << n << ' ';
    somme += n;
  }
  std::cout << "\nmoyenne : " << somme / static_cast<double>(notes.size()) << '\n';
  return 0;
}
