// Fuzz target for fichier: the first bytes choose a sequence of operations,
// the rest is the file's content. Words go into buffers of exactly the size
// given, on the heap, so that any overrun is caught.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include <outils/fichier.h>

#include "aides.h"

namespace {

void operer(fichier& f, std::uint8_t op, const std::string& nom) {
  switch (op % 9) {
    case 0: {
      int n = 0;
      f.lire(n);
      break;
    }
    case 1: {
      float x = 0;
      f.lire(x);
      break;
    }
    case 2: {
      char c = 0;
      f.lire(c);
      break;
    }
    case 3: {
      std::string s;
      f.lire(s);
      break;
    }
    case 4: {
      char mot[3];
      f.lire(mot);
      break;
    }
    case 5: {
      const std::size_t taille = op / 9 % 6;  // 0 to 5
      const auto mot = std::make_unique<char[]>(taille);
      f.lire(mot.get(), taille);
      break;
    }
    case 6:
      f.sauterBlancs();
      break;
    case 7:
      f.fermer();
      break;
    default:
      f.ouvrir(nom);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t ops = data[0] % 16 + 1 < size ? data[0] % 16 + 1 : size - 1;
  const std::size_t debut = 1 + ops;
  const aides::FichierTemporaire donnees(size > debut ? std::string(data + debut, data + size)
                                                      : std::string());
  const std::string& nom = donnees.nom();

  const aides::SortieCapturee messages;
  {
    fichier f(nom);
    for (std::size_t i = 0; i < ops; ++i) operer(f, data[1 + i], nom);
    while (f.sauterBlancs()) {  // must end: a failed read is not an end, so stop on it
      std::string s;
      if (!f.lire(s)) break;
    }
  }
  return 0;
}
