// Asks for a number, a line, a letter and a yes/no answer, then says what it got.
// At the first end of input (Ctrl-D, /dev/null) it says so and ends with status 2.
// Run it in a terminal: build/defaut/examples/questionnaire
#include <iostream>
#include <string>

#include <outils/saisie.h>

namespace {

// True, once the person has been told, when standard input has ended.
bool entreeFinie() {
  if (std::cin) return false;
  std::cout << "\nfin de l'entree\n";
  return true;
}

}  // namespace

int main() {
  saisie<int> age("Votre age : ");
  saisie<std::string> nom("Votre nom : ");
  saisie<char> menu("Entree, plat ou dessert (E/P/D) : ", "EPD");
  saisie<bool> cafe("Un cafe (o/n) ? ", 'o', 'n');

  const int a = age.demander();
  if (entreeFinie()) return 2;
  const std::string n = nom.demander();
  if (entreeFinie()) return 2;
  const char choix = menu.demander();
  if (entreeFinie()) return 2;
  const bool avecCafe = cafe.demander();
  if (entreeFinie()) return 2;
  std::cout << n << ", " << a << " ans, choisit " << choix << (avecCafe ? " avec" : " sans")
            << " cafe.\n";
  return 0;
}
