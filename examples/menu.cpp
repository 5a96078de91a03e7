// Un menu qui revient jusqu'a ce que l'on quitte : saisie<char> sur quelques lettres.
// Lancer dans un terminal : build/defaut/examples/menu
// Statut : 0, avec Q comme a la fin de l'entree (Ctrl-D, /dev/null).
#include <cctype>
#include <iostream>

#include <outils/clavier.h>
#include <outils/saisie.h>

int main() {
  clavier c;  // au terminal : les fleches, l'historique, les accents
  saisie<char> menu("[A]jouter, [R]etirer, [V]oir, [Q]uitter : ", "ARVQ");
  int compteur = 0;
  for (;;) {
    const char choix = menu.demander();  // une autre lettre : la question revient
    if (!std::cin) {
      std::cout << "\nfin de l'entree\n";
      return 0;
    }
    switch (std::toupper(static_cast<unsigned char>(choix))) {
      case 'A':
        ++compteur;
        break;
      case 'R':
        if (compteur > 0) --compteur;
        break;
      case 'V':
        std::cout << "compteur : " << compteur << '\n';
        break;
      default:
        std::cout << "au revoir\n";
        return 0;
    }
  }
}
