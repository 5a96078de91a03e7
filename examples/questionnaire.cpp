// Demande un age de 1 a 120 (18 si l'on tape seulement Entree), une note sur 20 (virgule ou
// point), un nom, une lettre et une reponse oui/non, puis dit ce qu'il a recu. L'age et la note
// disent pourquoi ils refusent une reponse, et veulent la ligne entiere (pas "12,5 sur 20").
// Lancer dans un terminal : build/defaut/examples/questionnaire
// Statut : 0 ; 2 a la premiere fin de l'entree (Ctrl-D, /dev/null), apres l'avoir dit.
#include <iostream>
#include <string>

#include <outils/clavier.h>
#include <outils/saisie.h>

namespace {

// Vrai, une fois la personne prevenue, quand l'entree standard est finie.
bool entreeFinie() {
  if (std::cin) return false;
  std::cout << "\nfin de l'entree\n";
  return true;
}

}  // namespace

int main() {
  clavier c;  // au terminal : les fleches, l'historique, les accents
  saisie<int> age("Votre age [18] : ", 1, 120);
  age.expliquer("Un nombre de 1 a 120, s'il vous plait.\n").proposer(18).ligneEntiere();
  saisie<double> note("Votre note sur 20 : ", 0, 20);
  note.expliquer("Une note de 0 a 20, avec une virgule ou un point.\n").ligneEntiere();
  saisie<std::string> nom("Votre nom : ");
  saisie<char> menu("Entree, plat ou dessert (E/P/D) : ", "EPD");
  saisie<bool> cafe("Un cafe (o/n) ? ", 'o', 'n');

  const int a = age.demander();
  if (entreeFinie()) return 2;
  const double n = note.demander();  // 0 est une note : seul std::cin dit la fin de l'entree
  if (entreeFinie()) return 2;
  const std::string qui = nom.demander();
  if (entreeFinie()) return 2;
  const char choix = menu.demander();
  if (entreeFinie()) return 2;
  const bool avecCafe = cafe.demander();
  if (entreeFinie()) return 2;
  std::cout << qui << ", " << a << " ans, " << n << "/20, choisit " << choix
            << (avecCafe ? " avec" : " sans") << " cafe.\n";
  return 0;
}
