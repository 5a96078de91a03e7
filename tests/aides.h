// Test support for the tests, benchmarks and fuzz target: what std::cout
// receives during a scope, and a temporary file removed with its object.
#ifndef OUTILS_TESTS_AIDES_H
#define OUTILS_TESTS_AIDES_H

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

}  // namespace aides

#endif
