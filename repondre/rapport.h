// Reports on the cases, for people, TAP and JUnit readers, Moodle's Virtual
// Programming Lab and spreadsheets. Names and texts are shown visible
// (transcript.h), so that no name or output can break a report.
#ifndef OUTILS_REPONDRE_RAPPORT_H
#define OUTILS_REPONDRE_RAPPORT_H

#include <functional>
#include <string>
#include <vector>

#include "cas.h"

enum class Format { texte, tap, junit, vpl, csv };

struct Rapport {
  Format format = Format::texte;
  std::vector<std::string> options;  // in force, as given
  std::string nom;                   // csv: the line's first field
  bool entete = false;               // csv: a header line first
};

// A variable of the environment, or nullptr (VPL_GRADEMIN, VPL_GRADEMAX).
using Environnement = std::function<const char*(const char*)>;

std::string ecrireRapport(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts,
                          const Rapport& rapport, const Environnement& environnement);

#endif
