// Everything the library offers: prompts, input discarding and screen
// clearing, line editing at a terminal, the text-file reader, comparators and
// the quicksort.
#ifndef OUTILS_OUTILS_H
#define OUTILS_OUTILS_H

#include "clavier.h"
#include "entree.h"
#include "fichier.h"
#include "saisie.h"
#include "tri.h"

#endif
