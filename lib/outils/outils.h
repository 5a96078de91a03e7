// Everything the library offers: prompts, input discarding and screen
// clearing, the text-file reader, comparators and the quicksort.
#ifndef OUTILS_OUTILS_H
#define OUTILS_OUTILS_H

#include "entree.h"
#include "fichier.h"
#include "saisie.h"
#include "tri.h"

#endif
