// A header of the consumer's own that shares its name with one of the library's.
#ifndef CONSOMMATEUR_TRI_H
#define CONSOMMATEUR_TRI_H

inline const char* triDuConsommateur() {
  return "tri";
}

#endif
