#include "cas.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <set>

#include "programme.h"

namespace {

namespace fs = std::filesystem;

const std::string kSuffixe = ".attendu";

bool estUnCas(const std::string& nom) {
  return nom.size() > kSuffixe.size() &&
         nom.compare(nom.size() - kSuffixe.size(), kSuffixe.size(), kSuffixe) == 0;
}

bool lireUnCas(const std::string& chemin, std::vector<Cas>& cas, std::string& erreur) {
  std::string source;
  if (const int e = lireFichierEntier(chemin, source)) {
    erreur = "impossible de lire « " + visible(chemin) + " » : " + pourquoi(e);
    return false;
  }
  Transcript attendu;
  std::string pourquoiPas;
  if (!lireTranscript(source, attendu, pourquoiPas)) {
    erreur = visible(chemin) + ", " + pourquoiPas;
    return false;
  }
  std::string nom = fs::path(chemin).filename().string();
  if (estUnCas(nom)) nom.resize(nom.size() - kSuffixe.size());
  cas.push_back({nom, chemin, ecranDe(attendu)});
  return true;
}

// The .attendu files of a folder, in byte order of their names.
std::vector<std::string> casDuDossier(const std::string& dossier) {
  std::vector<std::string> noms;
  std::error_code erreur;
  for (const auto& entree : fs::directory_iterator(dossier, erreur)) {
    const std::string nom = entree.path().filename().string();
    if (estUnCas(nom)) noms.push_back(nom);
  }
  std::sort(noms.begin(), noms.end());
  for (auto& nom : noms) nom = (fs::path(dossier) / nom).string();
  return noms;
}

void ajouterTexte(std::string& octets, const std::string& texte) {
  const auto taille = static_cast<std::uint64_t>(texte.size());
  char brut[sizeof taille];
  std::memcpy(brut, &taille, sizeof taille);
  octets.append(brut, sizeof taille);
  octets += texte;
}

bool lireTexte(const std::string& octets, std::size_t& position, std::string& texte) {
  std::uint64_t taille = 0;
  if (octets.size() - position < sizeof taille) return false;
  std::memcpy(&taille, octets.data() + position, sizeof taille);
  position += sizeof taille;
  if (octets.size() - position < taille) return false;
  texte = octets.substr(position, taille);
  position += taille;
  return true;
}

}  // namespace

bool lireLesCas(const std::vector<std::string>& chemins, std::vector<Cas>& cas,
                std::string& erreur) {
  cas.clear();
  for (const auto& chemin : chemins) {
    struct stat etat {};
    if (stat(chemin.c_str(), &etat) == 0 && S_ISDIR(etat.st_mode)) {
      const auto fichiers = casDuDossier(chemin);
      if (fichiers.empty()) {
        erreur = "le dossier « " + visible(chemin) + " » n'a aucun fichier " + kSuffixe;
        return false;
      }
      const auto lire = [&](const std::string& fichier) { return lireUnCas(fichier, cas, erreur); };
      if (!std::all_of(fichiers.begin(), fichiers.end(), lire)) return false;
    } else if (!lireUnCas(chemin, cas, erreur)) {
      return false;
    }
  }
  if (cas.empty()) {
    erreur = "aucun cas";
    return false;
  }
  std::set<std::string> noms;
  for (const auto& c : cas) {
    if (!noms.insert(c.nom).second) {
      erreur = "deux cas portent le nom « " + visible(c.nom) + " »";
      return false;
    }
  }
  return true;
}

Transcript reponsesDe(const Cas& cas) {
  Transcript reponses;
  std::copy_if(cas.attendu.begin(), cas.attendu.end(), std::back_inserter(reponses),
               [](const Morceau& m) { return m.sorte != Morceau::texte; });
  return reponses;
}

Verdict juger(const Cas& cas, const Deroulement& d, std::optional<int> statut,
              const Comparaison& comparaison) {
  Verdict v;
  v.erreurDeLancement = d.erreurDeLancement;
  v.obtenu = ecrireTranscript(d.transcript);
  if (d.erreurDeLancement != 0) {
    v.raison = d.raison;
    return v;
  }
  std::vector<std::string> raisons;
  const Comparables c = comparables(cas.attendu, d.transcript, comparaison);
  if (const std::size_t ligne = ligneDifferente(c.attendu, c.obtenu); ligne != 0) {
    raisons.push_back("différence à la ligne " + std::to_string(ligne));
    v.difference = premiereDifference(c.attendu, c.obtenu);
    if (ligne > 1)
      v.difference += "l'écran obtenu juste avant :\n" +
                      lignesVisibles(c.obtenu, ligne > 3 ? ligne - 3 : 1, ligne - 1, "  ");
  }
  if (!d.raison.empty()) raisons.push_back(d.raison);
  const std::size_t reponses = reponsesDe(cas).size();
  if (d.raison.empty() && d.enAttenteDePlus)
    raisons.push_back("attend une réponse de plus que les " + std::to_string(reponses));
  else if (d.raison.empty() && d.utilisees < reponses)
    raisons.push_back("a fini après " + std::to_string(d.utilisees) + " réponses sur " +
                      std::to_string(reponses));
  if (d.raison.empty() && statut && d.statut != *statut)
    raisons.push_back("statut " + std::to_string(d.statut) + ", attendu " +
                      std::to_string(*statut));
  for (const auto& r : raisons) v.raison += (v.raison.empty() ? "" : ", ") + r;
  v.reussi = raisons.empty();
  return v;
}

std::string enOctets(const Verdict& v) {
  std::string octets;
  ajouterTexte(octets, v.reussi ? "1" : "0");
  ajouterTexte(octets, std::to_string(v.erreurDeLancement));
  for (const std::string* texte : {&v.raison, &v.difference, &v.obtenu})
    ajouterTexte(octets, *texte);
  return octets;
}

bool depuisOctets(const std::string& octets, Verdict& v) {
  std::size_t position = 0;
  std::string reussi, erreur;
  if (!lireTexte(octets, position, reussi) || !lireTexte(octets, position, erreur)) return false;
  v.reussi = reussi == "1";
  v.erreurDeLancement = std::atoi(erreur.c_str());
  return lireTexte(octets, position, v.raison) && lireTexte(octets, position, v.difference) &&
         lireTexte(octets, position, v.obtenu) && position == octets.size();
}
