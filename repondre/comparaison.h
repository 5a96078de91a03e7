// Comparing a screen as a teacher wants, on the screen's text only (answers
// never change):
//   espaces    a run of blanks (space, tab) equals any other run; blanks at
//              a line's end, empty lines at the screen's end and a missing
//              final line feed are ignored
//   casse      letters without case: ASCII, and Unicode's simple case
//              mapping within U+00C0-U+017F (I with a dot, dotless i, long s,
//              sharp s, kra, 'n and the signs x and / only match themselves)
//   tolerance  numbers ([-+] not after a letter or digit, digits, and a . or
//              , then digits) equal when within X, computed in decimal
#ifndef OUTILS_REPONDRE_COMPARAISON_H
#define OUTILS_REPONDRE_COMPARAISON_H

#include <optional>
#include <string>

#include "transcript.h"

struct Comparaison {
  bool espaces = false;
  bool casse = false;
  std::optional<std::string> tolerance;  // digits, optionally a . or , and digits
};

// Whether `texte` is a tolerance: digits, optionally a . or , and digits.
bool estTolerance(const std::string& texte);

// Both screens written as transcripts, made equal where the comparison lets
// them be; an exact comparison of the two then gives the verdict.
struct Comparables {
  std::string attendu, obtenu;
};
Comparables comparables(const Transcript& attendu, const Transcript& obtenu,
                        const Comparaison& comparaison);

#endif
