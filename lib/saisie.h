// Prompts that insist until the answer is acceptable, and the pause prompt.
#ifndef OUTILS_SAISIE_H
#define OUTILS_SAISIE_H

#include <string>
#include <utility>

#include "entree.h"

template <class T>
class saisie;

// Pause: writes its text, discards pending input, then waits for the end of a
// line and discards it. At end of input it returns at once. Always true.
template <>
class saisie<void> : public entree<bool> {
 public:
  explicit saisie(std::string invite) : entree<bool>(std::move(invite)) {}

 protected:
  bool saisir() override;
};

#endif
