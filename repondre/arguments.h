// repondre's command line.
//
//   repondre [--delai S] [--memoire MIO] --reponses FICHIER -- PROGRAMME [ARGUMENTS...]
//   repondre [OPTIONS] CAS... -- PROGRAMME [ARGUMENTS...]
//
// One CAS that is a transcript file, with at most --delai and --statut, is
// checked alone; otherwise (a folder, several, or an option below) the cases
// are reported on. Options, each at most once: --delai S, --statut N, -j N,
// --espaces, --casse, --tolerance X, --format texte|tap|junit|vpl|csv,
// --nom NOM and --entete (csv), --obtenu DOSSIER, --memoire MIO.
#ifndef OUTILS_REPONDRE_ARGUMENTS_H
#define OUTILS_REPONDRE_ARGUMENTS_H

#include <optional>
#include <string>
#include <vector>

#include "comparaison.h"
#include "rapport.h"

struct Arguments {
  double delai = 10;
  std::optional<std::string> reponses;
  std::vector<std::string> cas;
  std::optional<int> statut;
  int travaux = 1;
  Comparaison comparaison;
  Format format = Format::texte;
  std::optional<std::string> nom;
  bool entete = false;
  std::optional<std::string> obtenu;
  std::optional<unsigned long> memoire;  // MiB of address space for each process
  std::vector<std::string> programme;
  bool rapport = false;              // several cases, or options that only a report has
  std::vector<std::string> options;  // those in force that change verdicts or reports, as given
};

// The arguments, or the end of repondre with status 2 and why.
Arguments analyser(int argc, char** argv);

[[noreturn]] void echouer(int code, const std::string& message, bool usage = false);

#endif
