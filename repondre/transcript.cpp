#include "transcript.h"

#include <algorithm>
#include <cstdio>

namespace {

const std::string kCtrlD = "^D";

bool echappable(char c) {
  return c == '{' || c == '}' || c == '\\' || c == '^';
}

std::string numeroDeLigne(std::size_t ligne) {
  return "ligne " + std::to_string(ligne) + " : ";
}

std::string hexa(unsigned char octet) {
  char texte[5];
  std::snprintf(texte, sizeof texte, "\\x%02X", octet);
  return texte;
}

// Why `reponse` cannot be typed on a terminal in line mode, or "".
std::string intapable(const std::string& reponse) {
  if (reponse.size() > kReponseMax)
    return "la réponse fait " + std::to_string(reponse.size()) +
           " octets, plus qu'une ligne de terminal (" + std::to_string(kReponseMax) + ")";
  for (char c : reponse) {
    const auto octet = static_cast<unsigned char>(c);
    if ((octet < 0x20 && c != '\t') || octet == 0x7F)
      return "la réponse contient le caractère de contrôle " + hexa(octet) +
             ", qu'un terminal ne transmet pas tel quel";
  }
  return "";
}

// Appends `c` to the last piece if it is text, or to a new text.
void ajouterTexte(Transcript& t, char c) {
  if (t.empty() || t.back().sorte != Morceau::texte) t.push_back({Morceau::texte, ""});
  t.back().contenu += c;
}

// The length of the valid UTF-8 sequence at `i`, or 0.
std::size_t longueurUtf8(const std::string& s, std::size_t i) {
  const auto o = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = o(i);
  std::size_t n = 0;
  unsigned long point = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    point = c & 0x1FU;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    point = c & 0x0FU;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    point = c & 0x07U;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((o(i + k) & 0xC0) != 0x80) return 0;
    point = point << 6 | (o(i + k) & 0x3FU);
  }
  const unsigned long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (point < minimum[n] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF) ||
      point == 0xFFFE || point == 0xFFFF)
    return 0;
  return n;
}

bool suite(const std::string& s, std::size_t i) {
  return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
}

// The line of `texte` at `position`, and whether a line feed ends it.
std::string ligneA(const std::string& texte, std::size_t position, bool& finie) {
  const std::size_t debut = position == 0 ? 0 : texte.rfind('\n', position - 1);
  const std::size_t depuis = debut == std::string::npos || position == 0 ? 0 : debut + 1;
  const std::size_t fin = texte.find('\n', depuis);
  finie = fin != std::string::npos;
  return texte.substr(depuis, (finie ? fin : texte.size()) - depuis);
}

}  // namespace

bool lireTranscript(const std::string& source, Transcript& transcript, std::string& erreur) {
  transcript.clear();
  std::size_t ligne = 1;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (c == '\\' && i + 1 < source.size() && echappable(source[i + 1])) {
      ajouterTexte(transcript, source[++i]);
      continue;
    }
    if (c != '{' || i + 1 >= source.size() || source[i + 1] != '{') {
      if (c == '\n') ++ligne;
      ajouterTexte(transcript, c);
      continue;
    }
    Morceau reponse{Morceau::reponse, ""};
    std::size_t j = i + 2;
    for (; j < source.size() && source[j] != '\n'; ++j) {
      if (source[j] == '\\' && j + 1 < source.size() && echappable(source[j + 1])) {
        reponse.contenu += source[++j];
      } else if (source[j] == '}' && j + 1 < source.size() && source[j + 1] == '}') {
        break;
      } else {
        reponse.contenu += source[j];
      }
    }
    if (j >= source.size() || source[j] == '\n') {
      erreur = numeroDeLigne(ligne) + "« {{ » sans « }} » sur la même ligne";
      return false;
    }
    if (source.compare(i + 2, j - i - 2, kCtrlD) == 0) reponse = {Morceau::finDEntree, ""};
    if (const std::string pourquoi = intapable(reponse.contenu); !pourquoi.empty()) {
      erreur = numeroDeLigne(ligne) + pourquoi;
      return false;
    }
    transcript.push_back(reponse);
    i = j + 1;
  }
  return true;
}

std::string ecrireTranscript(const Transcript& transcript) {
  std::string resultat;
  for (std::size_t m = 0; m < transcript.size(); ++m) {
    const Morceau& morceau = transcript[m];
    if (morceau.sorte == Morceau::finDEntree) {
      resultat += "{{" + kCtrlD + "}}";
      continue;
    }
    const bool reponse = morceau.sorte == Morceau::reponse;
    // What follows the piece's last character: the closing }} of an answer,
    // the {{ of the next answer, or the next text's first character.
    char apres = reponse ? '}' : '\0';
    for (std::size_t n = m + 1; !reponse && n < transcript.size(); ++n) {
      if (transcript[n].sorte != Morceau::texte) apres = '{';
      if (transcript[n].sorte != Morceau::texte || !transcript[n].contenu.empty()) {
        if (transcript[n].sorte == Morceau::texte) apres = transcript[n].contenu[0];
        break;
      }
    }
    const std::string& s = morceau.contenu;
    if (reponse) resultat += "{{";
    if (reponse && s == kCtrlD) resultat += '\\';
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char suivant = i + 1 < s.size() ? s[i + 1] : apres;
      const bool echapper = (s[i] == '\\' && echappable(suivant)) ||
                            (!reponse && s[i] == '{' && suivant == '{') ||
                            (reponse && s[i] == '}' && suivant == '}');
      if (echapper) resultat += '\\';
      resultat += s[i];
    }
    if (reponse) resultat += "}}";
  }
  return resultat;
}

bool lireReponses(const std::string& contenu, Transcript& reponses, std::string& erreur) {
  reponses.clear();
  std::size_t numero = 0;
  for (std::size_t debut = 0; debut < contenu.size();) {
    const std::size_t fin = std::min(contenu.find('\n', debut), contenu.size());
    std::string ligne = contenu.substr(debut, fin - debut);
    debut = fin + 1;
    ++numero;
    if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
    if (ligne == kCtrlD) {
      reponses.push_back({Morceau::finDEntree, ""});
      continue;
    }
    if (!ligne.empty() && ligne[0] == '\\') ligne.erase(0, 1);
    if (const std::string pourquoi = intapable(ligne); !pourquoi.empty()) {
      erreur = numeroDeLigne(numero) + pourquoi;
      return false;
    }
    reponses.push_back({Morceau::reponse, ligne});
  }
  return true;
}

Transcript ecranDe(const Transcript& transcript) {
  Transcript ecran;
  for (const Morceau& morceau : transcript) {
    if (morceau.sorte != Morceau::texte) {
      ecran.push_back(morceau);
      continue;
    }
    for (char c : morceau.contenu) ajouterTexte(ecran, c);
  }
  for (Morceau& morceau : ecran) {
    if (morceau.sorte != Morceau::texte) continue;
    std::string& s = morceau.contenu;
    std::string propre;
    for (std::size_t i = 0; i < s.size(); ++i) {
      std::size_t j = i;
      while (j < s.size() && s[j] == '\r') ++j;
      if (j > i && j < s.size() && s[j] == '\n') i = j;  // CRs before a line feed
      propre += s[i];
    }
    s = propre;
  }
  return ecran;
}

std::string visible(const std::string& texte, bool finDeLigne) {
  std::string resultat;
  for (std::size_t i = 0; i < texte.size();) {
    const char c = texte[i];
    const auto octet = static_cast<unsigned char>(c);
    if (octet >= 0x80) {
      const std::size_t n = longueurUtf8(texte, i);
      resultat += n > 0 ? texte.substr(i, n) : hexa(octet);
      i += n > 0 ? n : 1;
      continue;
    }
    if (c == ' ') {
      std::size_t j = i;
      while (j < texte.size() && texte[j] == ' ') ++j;
      const bool finit =
          (j == texte.size() && finDeLigne) || (j < texte.size() && texte[j] == '\n');
      resultat += finit ? std::string() : std::string(j - i, ' ');
      if (finit)
        for (std::size_t k = i; k < j; ++k) resultat += "\xC2\xB7";  // U+00B7
      i = j;
      continue;
    }
    if (c == '\\')
      resultat += "\\\\";
    else if (c == '\n')
      resultat += "\\n";
    else if (c == '\r')
      resultat += "\\r";
    else if (c == '\t')
      resultat += "\\t";
    else if (octet < 0x20 || octet == 0x7F)
      resultat += hexa(octet);
    else
      resultat += c;
    ++i;
  }
  return resultat;
}

std::size_t ligneDifferente(const std::string& attendu, const std::string& obtenu) {
  const auto ecart = std::mismatch(attendu.begin(), attendu.end(), obtenu.begin(), obtenu.end());
  if (ecart.first == attendu.end() && ecart.second == obtenu.end()) return 0;
  return 1 + static_cast<std::size_t>(std::count(attendu.begin(), ecart.first, '\n'));
}

std::string lignesVisibles(const std::string& texte, std::size_t premiere, std::size_t derniere,
                           const std::string& retrait) {
  std::string resultat;
  std::size_t numero = 1;
  for (std::size_t debut = 0; debut < texte.size() && numero <= derniere; ++numero) {
    const std::size_t fin = std::min(texte.find('\n', debut), texte.size());
    if (numero >= premiere)
      resultat += retrait + "« " + visible(texte.substr(debut, fin - debut), true) + " »\n";
    debut = fin + 1;
  }
  return resultat;
}

std::string premiereDifference(const std::string& attendu, const std::string& obtenu) {
  const auto ecart = std::mismatch(attendu.begin(), attendu.end(), obtenu.begin(), obtenu.end());
  if (ecart.first == attendu.end() && ecart.second == obtenu.end()) return "";
  auto position = static_cast<std::size_t>(ecart.first - attendu.begin());
  while (position > 0 && suite(attendu, position)) --position;  // never inside a character
  const auto ligne = 1 + std::count(attendu.begin(),
                                    attendu.begin() + static_cast<std::ptrdiff_t>(position), '\n');
  const auto montrer = [&](const std::string& texte) {
    const bool rien = position >= texte.size() && (position == 0 || texte[position - 1] == '\n');
    if (rien) return std::string("(la fin du texte)");
    bool finie = false;
    const std::string l = ligneA(texte, position, finie);
    return "« " + visible(l, true) + " »" + (finie ? "" : " (sans saut de ligne à la fin)");
  };
  std::size_t avant = position - std::min<std::size_t>(position, 30);
  while (suite(attendu, avant)) ++avant;
  const auto extrait = [&](const std::string& texte) {
    const std::size_t debut = std::min(position, texte.size());
    std::size_t fin = std::min(debut + 30, texte.size());
    while (suite(texte, fin)) ++fin;
    return visible(texte.substr(debut, fin - debut));
  };
  return "première différence à la ligne " + std::to_string(ligne) + " du transcript\n" +
         "  attendu : " + montrer(attendu) + "\n" + "  obtenu  : " + montrer(obtenu) + "\n" +
         "  juste après « " + visible(attendu.substr(avant, position - avant)) + " »" +
         " : attendu « " + extrait(attendu) + " », obtenu « " + extrait(obtenu) + " »\n";
}
