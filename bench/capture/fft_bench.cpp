// The spectrum of one captured block, as the capture window computes it after
// every block of a run: the transform of 1024 samples, then decibels per bin.
#include <benchmark/benchmark.h>

#include <array>
#include <random>

#include "capture/fft.h"

namespace {

constexpr int BlockLength = 1024;
using Block = std::array<long double, BlockLength>;

Block NoisyBlock(unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> sample(0, 300);
  Block block;
  for (auto& s : block) s = sample(random) / 22.627417;
  return block;
}

void RunFft(benchmark::State& state, FftMode mode) {
  const Block inRe = NoisyBlock(1), inIm = NoisyBlock(2);
  Block outRe, outIm;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Fft(BlockLength, mode, inRe, inIm, outRe, outIm));
    benchmark::ClobberMemory();
  }
}

void BM_FftComplex1024(benchmark::State& state) { RunFft(state, FftMode::Complex); }
void BM_FftReal1024(benchmark::State& state) { RunFft(state, FftMode::Real); }

void BM_MagnitudeDb1024Bins(benchmark::State& state) {
  const Block re = NoisyBlock(3), im = NoisyBlock(4);
  Block db;
  for (auto _ : state) {
    for (int k = 0; k < BlockLength; ++k) db[k] = MagnitudeDb(re[k], im[k]);
    benchmark::DoNotOptimize(db.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_FftComplex1024);
BENCHMARK(BM_FftReal1024);
BENCHMARK(BM_MagnitudeDb1024Bins);
