#include "comparaison.h"

#include <algorithm>
#include <cstddef>

namespace {

bool chiffre(char c) {
  return c >= '0' && c <= '9';
}

bool blanc(char c) {
  return c == ' ' || c == '\t';
}

// A letter, for the sign of a number: ASCII, or any byte of a UTF-8 character.
bool lettreOuChiffre(char c) {
  const auto o = static_cast<unsigned char>(c);
  return chiffre(c) || (o >= 'a' && o <= 'z') || (o >= 'A' && o <= 'Z') || o >= 0x80;
}

// ---- Blanks ----

// Runs of blanks made one space; those that end a line dropped.
std::string espacesReduits(const std::string& s) {
  std::string r;
  for (std::size_t i = 0; i < s.size();) {
    if (!blanc(s[i])) {
      r += s[i++];
      continue;
    }
    std::size_t j = i;
    while (j < s.size() && blanc(s[j])) ++j;
    if (j == s.size() || s[j] != '\n') r += ' ';
    i = j;
  }
  return r;
}

void reduireEspaces(Transcript& t) {
  for (Morceau& m : t)
    if (m.sorte == Morceau::texte) m.contenu = espacesReduits(m.contenu);
  if (!t.empty() && t.back().sorte == Morceau::texte) {  // the screen's end
    std::string& fin = t.back().contenu;
    fin.erase(fin.find_last_not_of(" \t\n") + 1);
  }
}

// ---- Case ----

// Unicode's simple lower case within ASCII and U+00C0-U+017F.
unsigned long minuscule(unsigned long c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c < 0x100 || c > 0x17F || c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
    return c;
  const bool pairesPaires = c <= 0x137 || (c >= 0x14A && c <= 0x177);  // upper case even
  return (pairesPaires ? c % 2 == 0 : c % 2 == 1) ? c + 1 : c;
}

std::string sansCasse(const std::string& s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto o = static_cast<unsigned char>(s[i]);
    const auto suite = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (o >= 0xC2 && o <= 0xC5 && (suite & 0xC0) == 0x80) {  // U+0080-U+017F
      const unsigned long point = minuscule((o & 0x1FUL) << 6 | (suite & 0x3FUL));
      r += static_cast<char>(0xC0 | point >> 6);
      r += static_cast<char>(0x80 | (point & 0x3F));
      ++i;
    } else {
      r += static_cast<char>(minuscule(o));
    }
  }
  return r;
}

// ---- Numbers ----

// The length of the number at `i` of `s`, or 0.
std::size_t nombreA(const std::string& s, std::size_t i) {
  std::size_t k = i;
  if ((s[k] == '-' || s[k] == '+') && (k == 0 || !lettreOuChiffre(s[k - 1]))) ++k;
  const std::size_t chiffres = k;
  while (k < s.size() && chiffre(s[k])) ++k;
  if (k == chiffres) return 0;
  if (k + 1 < s.size() && (s[k] == '.' || s[k] == ',') && chiffre(s[k + 1])) {
    k += 2;
    while (k < s.size() && chiffre(s[k])) ++k;
  }
  return k - i;
}

// A decimal as a sign and its digits scaled by 10^echelle, without leading zeros.
struct Decimal {
  bool negatif = false;
  std::string entier, fraction;
};

Decimal decimal(const std::string& texte) {
  Decimal d;
  std::size_t i = 0;
  if (texte[i] == '-' || texte[i] == '+') d.negatif = texte[i++] == '-';
  const std::size_t separateur = texte.find_first_of(".,", i);
  d.entier = texte.substr(i, separateur == std::string::npos ? std::string::npos : separateur - i);
  if (separateur != std::string::npos) d.fraction = texte.substr(separateur + 1);
  return d;
}

std::string sansZerosDeTete(std::string s) {
  s.erase(0, std::min(s.find_first_not_of('0'), s.size()));
  return s;
}

std::string echelonne(const Decimal& d, std::size_t echelle) {
  return sansZerosDeTete(d.entier + d.fraction + std::string(echelle - d.fraction.size(), '0'));
}

// Natural numbers written in decimal, without leading zeros.
bool plusPetit(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::string somme(const std::string& a, const std::string& b) {
  std::string r;
  int retenue = 0;
  for (std::size_t k = 0; k < std::max(a.size(), b.size()) || retenue; ++k) {
    const int x = (k < a.size() ? a[a.size() - 1 - k] - '0' : 0) +
                  (k < b.size() ? b[b.size() - 1 - k] - '0' : 0) + retenue;
    r += static_cast<char>('0' + x % 10);
    retenue = x / 10;
  }
  std::reverse(r.begin(), r.end());
  return sansZerosDeTete(r);
}

std::string difference(const std::string& a, const std::string& b) {  // a >= b
  std::string r;
  int emprunt = 0;
  for (std::size_t k = 0; k < a.size(); ++k) {
    int x = a[a.size() - 1 - k] - '0' - (k < b.size() ? b[b.size() - 1 - k] - '0' : 0) - emprunt;
    emprunt = x < 0;
    r += static_cast<char>('0' + (x + 10) % 10);
  }
  std::reverse(r.begin(), r.end());
  return sansZerosDeTete(r);
}

bool proches(const std::string& a, const std::string& b, const std::string& tolerance) {
  const Decimal x = decimal(a), y = decimal(b), t = decimal(tolerance);
  const std::size_t echelle = std::max({x.fraction.size(), y.fraction.size(), t.fraction.size()});
  const std::string u = echelonne(x, echelle), v = echelonne(y, echelle);
  std::string ecart;
  if (x.negatif != y.negatif && !u.empty() && !v.empty())
    ecart = somme(u, v);
  else
    ecart = plusPetit(u, v) ? difference(v, u) : difference(u, v);
  return !plusPetit(echelonne(t, echelle), ecart);
}

// `obtenu` with each number within `tolerance` of the expected one at the
// same place written as expected; from the first other difference on, as is.
std::string nombresAlignes(const std::string& attendu, const std::string& obtenu,
                           const std::string& tolerance) {
  std::string r;
  std::size_t i = 0, j = 0;
  while (i < attendu.size() && j < obtenu.size()) {
    const std::size_t a = nombreA(attendu, i), o = nombreA(obtenu, j);
    if (a > 0 && o > 0) {
      if (!proches(attendu.substr(i, a), obtenu.substr(j, o), tolerance)) break;
      r += attendu.substr(i, a);
      i += a;
      j += o;
    } else if (attendu[i] == obtenu[j]) {
      r += obtenu[j];
      ++i;
      ++j;
    } else {
      break;
    }
  }
  return r + obtenu.substr(j);
}

}  // namespace

bool estTolerance(const std::string& texte) {
  std::size_t i = 0;
  while (i < texte.size() && chiffre(texte[i])) ++i;
  if (i == 0) return false;
  if (i == texte.size()) return true;
  if (texte[i] != '.' && texte[i] != ',') return false;
  return i + 1 < texte.size() &&
         std::all_of(texte.begin() + static_cast<std::ptrdiff_t>(i) + 1, texte.end(), chiffre);
}

Comparables comparables(const Transcript& attendu, const Transcript& obtenu,
                        const Comparaison& comparaison) {
  Transcript a = attendu, o = obtenu;
  if (comparaison.espaces) {
    reduireEspaces(a);
    reduireEspaces(o);
  }
  for (Transcript* t : {&a, &o})
    for (Morceau& m : *t)
      if (comparaison.casse && m.sorte == Morceau::texte) m.contenu = sansCasse(m.contenu);
  if (comparaison.tolerance) {
    for (std::size_t k = 0; k < std::min(a.size(), o.size()); ++k) {
      if (a[k].sorte != o[k].sorte) break;
      if (a[k].sorte == Morceau::texte)
        o[k].contenu = nombresAlignes(a[k].contenu, o[k].contenu, *comparaison.tolerance);
      if (!(a[k] == o[k])) break;
    }
  }
  return {ecrireTranscript(a), ecrireTranscript(o)};
}
