// The cases of a report: each a transcript file, and what a run of the
// program makes of it.
#ifndef OUTILS_REPONDRE_CAS_H
#define OUTILS_REPONDRE_CAS_H

#include <optional>
#include <string>
#include <vector>

#include "comparaison.h"
#include "deroulement.h"
#include "transcript.h"

struct Cas {
  std::string nom;     // its file name, without folder and .attendu
  std::string chemin;  // as found
  Transcript attendu;  // its screen (ecranDe)
};

// The cases that `chemins` stand for, each read and parsed: a file, or a
// folder for its files ending in .attendu, in byte order of their names.
// False, with `erreur` naming it, for an unreadable or malformed one, a
// folder with none, no case at all, or two cases with the same name.
bool lireLesCas(const std::vector<std::string>& chemins, std::vector<Cas>& cas,
                std::string& erreur);

// The answers a case types, Ctrl-D included, in order.
Transcript reponsesDe(const Cas& cas);

struct Verdict {
  bool reussi = false;
  int erreurDeLancement = 0;  // the program could not be started: the errno
  std::string raison;         // why it failed, in a few words
  std::string difference;     // what differs, on lines of their own
  std::string obtenu;         // the screen obtained, as a transcript
};

// The verdict on a run of the case: the same screen (as `comparaison` lets
// them be), every answer used and no more, and the status if one is asked.
Verdict juger(const Cas& cas, const Deroulement& deroulement, std::optional<int> statut,
              const Comparaison& comparaison);

// A verdict as bytes, between the process that runs a case and the report.
std::string enOctets(const Verdict& verdict);
bool depuisOctets(const std::string& octets, Verdict& verdict);

#endif
