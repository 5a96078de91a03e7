// fichier against a bare std::ifstream loop and fscanf, reading the same
// 10^6 integers, reals or words in the same run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include <outils/fichier.h>

#include "aides.h"
#include "minimum.h"

namespace {

constexpr int kValeurs = 1000000;

enum Sorte { entiers, reels, mots };

// One data file per kind, written once, ten values a line; removed when the
// run ends.
const std::string& donnees(Sorte sorte) {
  static const aides::FichierTemporaire fichiers[3];
  static bool ecrits[3] = {};
  const std::string& nom = fichiers[sorte].nom();
  if (ecrits[sorte]) return nom;
  ecrits[sorte] = true;
  std::ofstream sortie(nom);
  std::mt19937 gen(sorte);
  std::uniform_int_distribution<int> d(0, 999999);
  for (int i = 0; i < kValeurs; ++i) {
    if (sorte == entiers) sortie << d(gen);
    if (sorte == reels) sortie << d(gen) / 1000.0;
    if (sorte == mots) sortie << "mot" << d(gen);
    sortie << (i % 10 == 9 ? '\n' : ' ');
  }
  return nom;
}

void conclure(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["rss_max_Mo"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.SetItemsProcessed(state.iterations() * kValeurs);
}

template <class T>
void parFichier(benchmark::State& state, Sorte sorte) {
  const std::string& nom = donnees(sorte);  // written before the timing starts
  aides::SortieCapturee messages;           // a failure would show here, and fail the run
  for (auto _ : state) {
    fichier f(nom);
    T v{};
    for (int i = 0; i < kValeurs; ++i) f.lire(v);
    benchmark::DoNotOptimize(v);
  }
  if (!messages.lus().empty()) state.SkipWithError("le lecteur a signale une erreur");
  conclure(state);
}

template <class T>
void parFlux(benchmark::State& state, Sorte sorte) {
  const std::string& nom = donnees(sorte);
  for (auto _ : state) {
    std::ifstream flux(nom);
    T v{};
    for (int i = 0; i < kValeurs; ++i) flux >> v;
    benchmark::DoNotOptimize(v);
    if (!flux) state.SkipWithError("lecture echouee");
  }
  conclure(state);
}

template <class T>
void parFscanf(benchmark::State& state, Sorte sorte, const char* format) {
  const std::string& nom = donnees(sorte);
  for (auto _ : state) {
    std::FILE* f = std::fopen(nom.c_str(), "r");
    T v{};
    int lus = 0;
    for (int i = 0; i < kValeurs; ++i) lus += std::fscanf(f, format, &v);
    benchmark::DoNotOptimize(v);
    std::fclose(f);
    if (lus != kValeurs) state.SkipWithError("lecture echouee");
  }
  conclure(state);
}

struct Mot {
  char texte[32];
};

// Each reader on each kind of data: BM_<reader>_<kind>.
int enregistrer() {
  const auto mesurer = [](const char* nom, auto fonction, auto... arguments) {
    benchmark::RegisterBenchmark(nom, fonction, arguments...)
        ->Apply(minimum)
        ->Unit(benchmark::kMillisecond);
  };
  mesurer("BM_fichier_entiers", parFichier<int>, entiers);
  mesurer("BM_flux_entiers", parFlux<int>, entiers);
  mesurer("BM_fscanf_entiers", parFscanf<int>, entiers, "%d");
  mesurer("BM_fichier_reels", parFichier<float>, reels);
  mesurer("BM_flux_reels", parFlux<float>, reels);
  mesurer("BM_fscanf_reels", parFscanf<float>, reels, "%f");
  mesurer("BM_fichier_reels_double", parFichier<double>, reels);
  mesurer("BM_flux_reels_double", parFlux<double>, reels);
  mesurer("BM_fichier_mots", parFichier<std::string>, mots);
  mesurer("BM_flux_mots", parFlux<std::string>, mots);
  mesurer("BM_fscanf_mots", parFscanf<Mot>, mots, "%31s");
  return 0;
}
const int enregistres = enregistrer();

}  // namespace
