// Lit des notes dans un fichier, les trie de la plus haute a la plus basse, puis donne
// leur moyenne.
// Lancer : build/defaut/examples/notes [FICHIER]   (par defaut notes.txt, a cote d'ici)
// Statut : 0 ; 1 quand le fichier manque, est vide ou contient autre chose que des notes.
#include <iostream>

#include <outils/fichier.h>
#include <outils/tri.h>

int main(int argc, char** argv) {
  fichier donnees(argc > 1 ? argv[1] : NOTES);
  int notes[100];
  int n = 0;
  while (n < 100 && donnees.sauterBlancs() && donnees.lire(notes[n])) ++n;
  if (!donnees || n == 0) return 1;

  maxCmp<int> decroissant;
  triRapide(notes, 0, n - 1, &decroissant);
  int somme = 0;
  for (int i = 0; i < n; ++i) {
    std::cout << notes[i] << ' ';
    somme += notes[i];
  }
  std::cout << "\nmoyenne : " << static_cast<double>(somme) / n << '\n';
  return 0;
}
