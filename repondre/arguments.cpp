#include "arguments.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <set>

namespace {

constexpr double kDelaiMax = 86400;               // a day
constexpr unsigned long kMemoireMax = 1UL << 20;  // MiB: a tebibyte
constexpr int kTravauxMax = 64;

const char* const kUsage =
    "usage : repondre [--delai S] [--memoire MIO] --reponses FICHIER -- PROGRAMME [ARGUMENTS...]\n"
    "        repondre [OPTIONS] CAS... -- PROGRAMME [ARGUMENTS...]\n"
    "options : --delai S, --statut N, -j N, --espaces, --casse, --tolerance X,\n"
    "          --format texte|tap|junit|vpl|csv, --nom NOM, --entete, --obtenu DOSSIER,\n"
    "          --memoire MIO\n";

// A whole number from `minimum` to `maximum`, or the end with why.
long entier(const std::string& option, const std::string& texte, long minimum, long maximum) {
  char* fin = nullptr;
  errno = 0;
  const long n = std::strtol(texte.c_str(), &fin, 10);
  if (texte.empty() || *fin || errno != 0 || n < minimum || n > maximum)
    echouer(2,
            option + " : un entier de " + std::to_string(minimum) + " à " +
                std::to_string(maximum) + ", pas « " + texte + " »",
            true);
  return n;
}

Format format(const std::string& texte) {
  const std::pair<const char*, Format> formats[] = {{"texte", Format::texte},
                                                    {"tap", Format::tap},
                                                    {"junit", Format::junit},
                                                    {"vpl", Format::vpl},
                                                    {"csv", Format::csv}};
  for (const auto& [nom, f] : formats)
    if (texte == nom) return f;
  echouer(2, "--format : texte, tap, junit, vpl ou csv, pas « " + texte + " »", true);
}

bool dossier(const std::string& chemin) {
  struct stat etat {};
  return stat(chemin.c_str(), &etat) == 0 && S_ISDIR(etat.st_mode);
}

}  // namespace

void echouer(int code, const std::string& message, bool usage) {
  std::cerr << "repondre: " << message << '\n';
  if (usage) std::cerr << kUsage;
  std::exit(code);
}

Arguments analyser(int argc, char** argv) {
  Arguments a;
  std::set<std::string> vues;
  bool rapport = false;  // an option that only a report has
  int i = 1;
  const auto valeur = [&](const std::string& option) {
    if (i + 1 >= argc) echouer(2, option + " sans valeur", true);
    return std::string(argv[++i]);
  };
  const auto enVigueur = [&](const std::string& option, const std::string& v = "") {
    a.options.push_back(v.empty() ? option : option + " " + v);
  };
  for (; i < argc && std::string(argv[i]) != "--"; ++i) {
    const std::string arg = argv[i];
    if (arg.size() < 2 || arg[0] != '-') {
      a.cas.push_back(arg);
      continue;
    }
    if (!vues.insert(arg).second) echouer(2, "option donnée deux fois : « " + arg + " »", true);
    rapport = rapport || (arg != "--delai" && arg != "--statut" && arg != "--reponses");
    if (arg == "--delai") {
      const std::string texte = valeur(arg);
      char* fin = nullptr;
      a.delai = std::strtod(texte.c_str(), &fin);
      if (texte.empty() || *fin || !std::isfinite(a.delai) || !(a.delai > 0) || a.delai > kDelaiMax)
        echouer(2,
                "--delai : un nombre de secondes de plus de 0 et d'au plus un jour (86400), pas "
                "« " +
                    texte + " »",
                true);
      enVigueur(arg, texte);
    } else if (arg == "--statut") {
      a.statut = static_cast<int>(entier(arg, valeur(arg), 0, 255));
      enVigueur(arg, std::to_string(*a.statut));
    } else if (arg == "--reponses") {
      a.reponses = valeur(arg);
    } else if (arg == "-j") {
      a.travaux = static_cast<int>(entier(arg, valeur(arg), 1, kTravauxMax));
    } else if (arg == "--espaces") {
      a.comparaison.espaces = true;
      enVigueur(arg);
    } else if (arg == "--casse") {
      a.comparaison.casse = true;
      enVigueur(arg);
    } else if (arg == "--tolerance") {
      const std::string texte = valeur(arg);
      if (!estTolerance(texte))
        echouer(2,
                "--tolerance : des chiffres, et une virgule ou un point suivi de chiffres, pas « " +
                    texte + " »",
                true);
      a.comparaison.tolerance = texte;
      enVigueur(arg, texte);
    } else if (arg == "--format") {
      a.format = format(valeur(arg));
    } else if (arg == "--nom") {
      a.nom = valeur(arg);
    } else if (arg == "--entete") {
      a.entete = true;
    } else if (arg == "--obtenu") {
      a.obtenu = valeur(arg);
    } else if (arg == "--memoire") {
      a.memoire =
          static_cast<unsigned long>(entier(arg, valeur(arg), 1, static_cast<long>(kMemoireMax)));
      enVigueur(arg, std::to_string(*a.memoire));
    } else {
      echouer(2, "argument inattendu : « " + arg + " »", true);
    }
  }
  if (i >= argc) echouer(2, "il manque « -- » avant le programme", true);
  for (++i; i < argc; ++i) a.programme.emplace_back(argv[i]);
  if (a.programme.empty()) echouer(2, "il manque le programme après « -- »", true);
  if (a.reponses && !a.cas.empty()) echouer(2, "--reponses ne va pas avec des CAS", true);
  if (!a.reponses && a.cas.empty())
    echouer(2, "donnez soit --reponses FICHIER, soit des CAS", true);
  for (const auto& o : vues)
    if (a.reponses && o != "--reponses" && o != "--delai" && o != "--memoire")
      echouer(2, "« " + o + " » ne va pas avec --reponses", true);
  if ((a.nom || a.entete) && a.format != Format::csv)
    echouer(2, "--nom et --entete vont avec --format csv", true);
  a.rapport = !a.reponses && (rapport || a.cas.size() > 1 || dossier(a.cas.front()));
  return a;
}
