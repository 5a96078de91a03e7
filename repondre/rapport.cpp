#include "rapport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

std::size_t reussis(const std::vector<Verdict>& verdicts) {
  return static_cast<std::size_t>(
      std::count_if(verdicts.begin(), verdicts.end(), [](const Verdict& v) { return v.reussi; }));
}

std::string options(const Rapport& r) {
  std::string texte;
  for (const auto& o : r.options) texte += (texte.empty() ? "" : " ") + visible(o);
  return texte.empty() ? "aucune" : texte;
}

std::string echoue(const Verdict& v) {
  return "échoué (" + visible(v.raison) + ")";
}

// Each line of `texte` after `debut`.
std::string prefixer(const std::string& texte, const std::string& debut) {
  std::string r;
  std::istringstream lignes(texte);
  for (std::string ligne; std::getline(lignes, ligne);) r += debut + ligne + "\n";
  return r;
}

std::string enTexte(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts,
                    const Rapport& r) {
  std::string s;
  if (!r.options.empty()) s += "options : " + options(r) + "\n";
  for (std::size_t i = 0; i < cas.size(); ++i) {
    s += visible(cas[i].nom) + " : " + (verdicts[i].reussi ? "réussi" : echoue(verdicts[i])) + "\n";
    if (!verdicts[i].reussi) s += prefixer(verdicts[i].difference, "  ");
  }
  return s + "réussis : " + std::to_string(reussis(verdicts)) + "/" +
         std::to_string(verdicts.size()) + "\n";
}

std::string tap(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts,
                const Rapport& r) {
  const auto nom = [](const std::string& n) {
    std::string e;
    for (char c : visible(n))
      e += c == '#' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return e;
  };
  const auto guillemets = [](const std::string& t) {
    std::string e = "\"";
    for (char c : t) e += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return e + "\"";
  };
  std::string s = "TAP version 13\n1.." + std::to_string(cas.size()) + "\n";
  if (!r.options.empty()) s += "# options : " + options(r) + "\n";
  for (std::size_t i = 0; i < cas.size(); ++i) {
    const Verdict& v = verdicts[i];
    s += std::string(v.reussi ? "ok " : "not ok ") + std::to_string(i + 1) + " - " +
         nom(cas[i].nom) + "\n";
    if (v.reussi) continue;
    s += "  ---\n  message: " + guillemets(echoue(v)) + "\n";
    if (!v.difference.empty()) s += "  difference: |\n" + prefixer(v.difference, "    ");
    s += "  ...\n";
  }
  return s;
}

std::string xml(const std::string& t) {
  std::string e;
  for (char c : t) {
    switch (c) {
      case '&':
        e += "&amp;";
        break;
      case '<':
        e += "&lt;";
        break;
      case '>':
        e += "&gt;";
        break;
      case '"':
        e += "&quot;";
        break;
      default:
        e += c;
    }
  }
  return e;
}

std::string junit(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts,
                  const Rapport& r) {
  std::string s =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuite name=\"repondre\" tests=\"" +
      std::to_string(cas.size()) + "\" failures=\"" +
      std::to_string(cas.size() - reussis(verdicts)) + "\">\n";
  s += "  <properties>\n    <property name=\"options\" value=\"" + xml(options(r)) +
       "\"/>\n  </properties>\n";
  for (std::size_t i = 0; i < cas.size(); ++i) {
    const Verdict& v = verdicts[i];
    s += R"(  <testcase classname="repondre" name=")" + xml(visible(cas[i].nom)) + "\"";
    if (v.reussi) {
      s += "/>\n";
      continue;
    }
    s += ">\n    <failure message=\"" + xml(echoue(v)) + "\">" + xml(v.difference) +
         "</failure>\n  </testcase>\n";
  }
  return s + "</testsuite>\n";
}

// A grade bound of VPL's environment: [-]digits[.digits].
bool borne(const char* texte, double& valeur) {
  if (!texte) return false;
  const std::string t = texte;
  std::size_t i = t.rfind('-', 0) == 0 ? 1 : 0;
  const std::size_t chiffres = i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  if (i == chiffres) return false;
  if (i < t.size() && t[i] == '.') {
    const std::size_t fraction = ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == fraction) return false;
  }
  if (i != t.size()) return false;
  valeur = std::strtod(t.c_str(), nullptr);  // the C locale's point: repondre never sets one
  return true;
}

std::string note(double valeur) {
  char texte[64];
  std::snprintf(texte, sizeof texte, "%.2f", valeur);
  std::string n = texte;
  if (n.size() > 3 && n.compare(n.size() - 3, 3, ".00") == 0) n.resize(n.size() - 3);
  return n;
}

std::string vpl(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts, const Rapport& r,
                const Environnement& environnement) {
  std::string s = "Comment :=>>options : " + options(r) + "\n";
  double bornes[2] = {0, 10};
  const char* noms[2] = {"VPL_GRADEMIN", "VPL_GRADEMAX"};
  for (int k = 0; k < 2; ++k)
    if (!borne(environnement(noms[k]), bornes[k]))
      s += std::string("Comment :=>>") + noms[k] +
           " absente ou pas un nombre : " + note(bornes[k]) + "\n";
  for (std::size_t i = 0; i < cas.size(); ++i) {
    if (verdicts[i].reussi) continue;
    s += "<|--\n-" + visible(cas[i].nom) + " : " + echoue(verdicts[i]) + "\n" +
         prefixer(verdicts[i].difference, ">") + "--|>\n";
  }
  if (bornes[0] >= bornes[1])
    return s + "Comment :=>>pas de note : VPL_GRADEMIN (" + note(bornes[0]) +
           ") n'est pas sous VPL_GRADEMAX (" + note(bornes[1]) + ")\n";
  const double n = bornes[0] + (bornes[1] - bornes[0]) * static_cast<double>(reussis(verdicts)) /
                                   static_cast<double>(verdicts.size());
  return s + "Grade :=>>" + note(n) + "\n";
}

std::string champ(const std::string& t) {
  if (t.find_first_of(";\"\r\n") == std::string::npos) return t;
  std::string e = "\"";
  for (char c : t) e += c == '"' ? std::string("\"\"") : std::string(1, c);
  return e + "\"";
}

std::string csv(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts,
                const Rapport& r) {
  std::string s;
  if (r.entete) {
    s += "nom";
    for (const auto& c : cas) s += ";" + champ(visible(c.nom));
    s += ";reussis;total\n";
  }
  s += champ(visible(r.nom));
  for (const auto& v : verdicts) s += v.reussi ? ";1" : ";0";
  return s + ";" + std::to_string(reussis(verdicts)) + ";" + std::to_string(verdicts.size()) + "\n";
}

}  // namespace

std::string ecrireRapport(const std::vector<Cas>& cas, const std::vector<Verdict>& verdicts,
                          const Rapport& rapport, const Environnement& environnement) {
  switch (rapport.format) {
    case Format::tap:
      return tap(cas, verdicts, rapport);
    case Format::junit:
      return junit(cas, verdicts, rapport);
    case Format::vpl:
      return vpl(cas, verdicts, rapport, environnement);
    case Format::csv:
      return csv(cas, verdicts, rapport);
    default:
      return enTexte(cas, verdicts, rapport);
  }
}
