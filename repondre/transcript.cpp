#include "transcript.h"

#include <algorithm>

namespace {

// A piece of text on one line, its line feeds shown as \n.
std::string visible(const std::string& texte) {
  std::string resultat;
  for (char c : texte) resultat += c == '\n' ? std::string("\\n") : std::string(1, c);
  return resultat;
}

std::string ligneA(const std::string& texte, std::size_t position) {
  const std::size_t debut = texte.rfind('\n', position == 0 ? 0 : position - 1);
  const std::size_t depuis = debut == std::string::npos || position == 0 ? 0 : debut + 1;
  return texte.substr(depuis, texte.find('\n', depuis) - depuis);
}

}  // namespace

std::string enFinsDeLigneLF(std::string texte) {
  std::size_t ecrit = 0;
  for (std::size_t i = 0; i < texte.size(); ++i)
    if (!(texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n'))
      texte[ecrit++] = texte[i];
  texte.resize(ecrit);
  return texte;
}

std::vector<std::string> reponsesDe(const std::string& contenu) {
  std::vector<std::string> reponses;
  const std::string texte = enFinsDeLigneLF(contenu);
  for (std::size_t debut = 0; debut < texte.size();) {
    const std::size_t fin = std::min(texte.find('\n', debut), texte.size());
    reponses.push_back(texte.substr(debut, fin - debut));
    debut = fin + 1;
  }
  return reponses;
}

bool reponsesDuTranscript(const std::string& transcript, std::vector<std::string>& reponses,
                          std::string& erreur) {
  std::size_t ligne = 1, depuis = 0;
  for (auto ouvre = transcript.find("{{"); ouvre != std::string::npos;
       ouvre = transcript.find("{{", depuis)) {
    ligne += static_cast<std::size_t>(
        std::count(transcript.begin() + static_cast<std::ptrdiff_t>(depuis),
                   transcript.begin() + static_cast<std::ptrdiff_t>(ouvre), '\n'));
    const auto ferme = transcript.find("}}", ouvre + 2);
    if (ferme == std::string::npos || transcript.find('\n', ouvre) < ferme) {
      erreur = "ligne " + std::to_string(ligne) + " : « {{ » sans « }} » sur la même ligne";
      return false;
    }
    reponses.push_back(transcript.substr(ouvre + 2, ferme - ouvre - 2));
    depuis = ferme + 2;
  }
  return true;
}

std::string premiereDifference(const std::string& attendu, const std::string& obtenu) {
  const auto ecart = std::mismatch(attendu.begin(), attendu.end(), obtenu.begin(), obtenu.end());
  if (ecart.first == attendu.end() && ecart.second == obtenu.end()) return "";
  const auto position = static_cast<std::size_t>(ecart.first - attendu.begin());
  const auto ligne = 1 + std::count(attendu.begin(), ecart.first, '\n');
  const std::size_t avant = std::min<std::size_t>(position, 30);
  const auto fin = [&](const std::string& texte) {
    return position < texte.size() ? "« " + ligneA(texte, position) + " »"
                                   : std::string("(la fin du texte)");
  };
  return "première différence à la ligne " + std::to_string(ligne) + " du transcript\n" +
         "  attendu : " + fin(attendu) + "\n" + "  obtenu  : " + fin(obtenu) + "\n" +
         "  juste après « " + visible(attendu.substr(position - avant, avant)) + " »" +
         " : attendu « " + visible(attendu.substr(position, 30)) + " », obtenu « " +
         visible(obtenu.substr(std::min(position, obtenu.size()), 30)) + " »\n";
}
