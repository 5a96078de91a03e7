// Test support for the tests, benchmarks and fuzz target: what std::cout
// receives during a scope, and a temporary file removed with its object.
#ifndef OUTILS_TESTS_AIDES_H
#define OUTILS_TESTS_AIDES_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

namespace aides {

// Captures std::cout until the object dies, then puts its buffer back.
class SortieCapturee {
 public:
  SortieCapturee() : ancienne_(std::cout.rdbuf(tampon_.rdbuf())) {}
  ~SortieCapturee() { std::cout.rdbuf(ancienne_); }
  SortieCapturee(const SortieCapturee&) = delete;
  SortieCapturee& operator=(const SortieCapturee&) = delete;

  // What was written since the last call.
  std::string lus() {
    std::string s = tampon_.str();
    tampon_.str("");
    return s;
  }

 private:
  std::ostringstream tampon_;
  std::streambuf* ancienne_;
};

// A new file in the temporary folder, holding `contenu` byte for byte (more
// may be written to nom()); removed with the object.
class FichierTemporaire {
 public:
  explicit FichierTemporaire(const std::string& contenu = "") {
    std::random_device alea;
    const auto dossier = std::filesystem::temp_directory_path();
    do {
      nom_ = (dossier / ("outils-" + std::to_string(alea()) + std::to_string(alea()))).string();
    } while (std::filesystem::exists(nom_));
    std::ofstream(nom_, std::ios::binary) << contenu;
  }
  ~FichierTemporaire() {
    std::error_code erreur;
    std::filesystem::remove(nom_, erreur);
  }
  FichierTemporaire(const FichierTemporaire&) = delete;
  FichierTemporaire& operator=(const FichierTemporaire&) = delete;

  const std::string& nom() const { return nom_; }

 private:
  std::string nom_;
};

#if !defined(_WIN32)
// A C locale whose decimal point is two bytes (U+066B, Pashto), made once
// with localedef into a temporary folder that LOCPATH names, for this process
// and its children; its name, or "" when glibc's localedef could not make it.
inline std::string localeAPointLong() {
  static const std::string nom = [] {
    const auto dossier = std::filesystem::temp_directory_path() / "outils-locales";
    const std::string commande =
        "localedef -i ps_AF -f UTF-8 '" + (dossier / "ps_AF.UTF-8").string() + "' 2>/dev/null";
    std::filesystem::create_directories(dossier);
    if (std::system(commande.c_str()) != 0 || setenv("LOCPATH", dossier.c_str(), 1) != 0) return "";
    return "ps_AF.UTF-8";
  }();
  return nom;
}
#endif

}  // namespace aides

#endif
