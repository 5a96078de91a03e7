// Asks for a number, a line, a letter and a yes/no answer, then says what it got.
// Run it in a terminal: build/defaut/examples/questionnaire
#include <iostream>
#include <string>

#include "saisie.h"

int main() {
  saisie<int> age("Votre age : ");
  saisie<std::string> nom("Votre nom : ");
  saisie<char> menu("Entree, plat ou dessert (E/P/D) : ", "EPD");
  saisie<bool> cafe("Un cafe (o/n) ? ", 'o', 'n');

  const int a = age.demander();
  const std::string n = nom.demander();
  const char choix = menu.demander();
  const bool avecCafe = cafe.demander();
  if (!std::cin) {
    std::cout << "\nfin de l'entree\n";
    return 1;
  }
  std::cout << n << ", " << a << " ans, choisit " << choix << (avecCafe ? " avec" : " sans")
            << " cafe.\n";
  return 0;
}
