// Standard input replaced by a 1 GB regular file or by /dev/zero: discarding
// stays constant time, and a prompt returns at once.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include <outils/saisie.h>

#include "aides.h"
#include "minimum.h"

namespace {

// Puts `descripteur` on standard input for the life of the object.
class EntreeRemplacee {
 public:
  explicit EntreeRemplacee(int descripteur) : ancienne_(dup(0)) {
    dup2(descripteur, 0);
    close(descripteur);
  }
  ~EntreeRemplacee() {
    dup2(ancienne_, 0);
    close(ancienne_);
    std::cin.clear();
    std::clearerr(stdin);
  }
  EntreeRemplacee(const EntreeRemplacee&) = delete;
  EntreeRemplacee& operator=(const EntreeRemplacee&) = delete;

 private:
  int ancienne_;
};

void BM_viderEntree_fichier(benchmark::State& state) {
  const aides::FichierTemporaire gros;
  const int fd = open(gros.nom().c_str(), O_RDWR);
  if (fd < 0 || ftruncate(fd, state.range(0)) != 0) state.SkipWithError("fichier");  // sparse
  const EntreeRemplacee entree(fd);
  for (auto _ : state) {
    lseek(0, 0, SEEK_SET);
    viderEntree();
    if (!std::cin.eof()) state.SkipWithError("fichier non saute");
  }
}

void BM_invite_devzero(benchmark::State& state) {
  const EntreeRemplacee entree(open("/dev/zero", O_RDONLY));
  saisie<char> lettre("", "");
  for (auto _ : state) benchmark::DoNotOptimize(lettre.demander());
}

}  // namespace

// 1 MB and 1 GB: the same time, whatever the size.
BENCHMARK(BM_viderEntree_fichier)->Apply(minimum)->Arg(1 << 20)->Arg(1 << 30);
BENCHMARK(BM_invite_devzero)->Apply(minimum)->Unit(benchmark::kMicrosecond);
