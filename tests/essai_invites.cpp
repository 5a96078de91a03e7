// A console program for the prompt tests. Each argument is one step:
//   pause         the pause prompt, text "pause> "
//   entier        saisie<int>, text "entier? "
//   entiers:N     N answers to saisie<int> in a row, each printed as "entier=V"
//   ligne         saisie<std::string>, text "ligne? "; prints the answer in []
//   lettre:SET    saisie<char> allowing SET, text "lettre? "; prints the byte's code
//   reponse:ON    saisie<bool> with the letters O and N, text "reponse? "
//   lire          std::cin >> int, without a prompt
//   reste         std::getline on std::cin, without a prompt
//   dormir:MS     sleep MS milliseconds
//   desynchro     std::ios::sync_with_stdio(false), before any input
// After each step it prints "<step>=<value> etat=<flags>" on a line of its own.
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include <outils/saisie.h>

namespace {

std::string etat() {
  std::string s;
  if (std::cin.eof()) s += 'e';
  if (std::cin.fail()) s += 'f';
  if (std::cin.bad()) s += 'b';
  return s.empty() ? "bon" : s;
}

void rapporter(const std::string& pas, const std::string& valeur) {
  std::cout << '\n' << pas << '=' << valeur << " etat=" << etat() << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string pas = argv[i];
    const std::string nom = pas.substr(0, pas.find(':'));
    const std::string arg = pas.find(':') == std::string::npos ? "" : pas.substr(pas.find(':') + 1);
    if (nom == "pause") {
      saisie<void> pause("pause> ");
      rapporter(nom, std::to_string(pause.demander()));
    } else if (nom == "entier") {
      saisie<int> invite("entier? ");
      rapporter(nom, std::to_string(invite.demander()));
    } else if (nom == "entiers") {
      saisie<int> invite("entier? ");
      for (int n = std::stoi(arg); n > 0; --n) {
        const int valeur = invite.demander();
        std::cout << "entier=" << valeur << '\n';
      }
    } else if (nom == "ligne") {
      saisie<std::string> invite("ligne? ");
      rapporter(nom, '[' + invite.demander() + ']');
    } else if (nom == "lettre") {
      saisie<char> invite("lettre? ", arg);
      rapporter(nom, std::to_string(static_cast<unsigned char>(invite.demander())));
    } else if (nom == "reponse" && arg.size() == 2) {
      saisie<bool> invite("reponse? ", arg[0], arg[1]);
      rapporter(nom, std::to_string(invite.demander()));
    } else if (nom == "reste") {
      std::string ligne;
      std::getline(std::cin, ligne);
      rapporter(nom, '[' + ligne + ']');
    } else if (nom == "lire") {
      int n = 0;
      std::cin >> n;
      rapporter(nom, std::to_string(n));
    } else if (nom == "dormir") {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(arg)));
    } else if (nom == "desynchro") {
      std::ios::sync_with_stdio(false);
    } else {
      std::cout << "pas inconnu: " << pas << std::endl;
      return 2;
    }
  }
  return 0;
}
