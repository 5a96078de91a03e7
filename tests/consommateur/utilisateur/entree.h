// A header of the consumer's own that shares its name with one of the library's.
#ifndef CONSOMMATEUR_ENTREE_H
#define CONSOMMATEUR_ENTREE_H

inline const char* entreeDuConsommateur() {
  return "entree";
}

#endif
