// The converter figures of captured blocks of a noisy tone: per block, the
// window, a transform in double precision and the power of each bin; then the
// zones once.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "capture/measurement.h"

namespace {

// I and Q of a tone near the middle of the range with some noise, in counts.
struct Channels {
  std::vector<std::int32_t> i, q;
};

Channels NoisyTone(int blocks) {
  std::mt19937 random(1);
  std::normal_distribution<double> noise(0, 30);
  Channels c;
  for (int n = 0; n < blocks * BlockLength; ++n) {
    const double angle = 2 * std::numbers::pi * 37.3 * n / BlockLength;
    c.i.push_back(static_cast<std::int32_t>(std::round(8000 * std::cos(angle) + noise(random))));
    c.q.push_back(static_cast<std::int32_t>(std::round(8000 * std::sin(angle) + noise(random))));
  }
  return c;
}

void RunMeasure(benchmark::State& state, MeasureSource source) {
  const int blocks = static_cast<int>(state.range(0));
  const Channels c = NoisyTone(blocks);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Measure(c.i, c.q, source, 1e6));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * blocks);
}

void BM_MeasureComplex(benchmark::State& state) { RunMeasure(state, MeasureSource::Iq); }
void BM_MeasureReal(benchmark::State& state) { RunMeasure(state, MeasureSource::I); }

}  // namespace

// One block must take at most 0.3 ms; 64 show the cost per block alone.
BENCHMARK(BM_MeasureComplex)->Arg(1)->Arg(64);
BENCHMARK(BM_MeasureReal)->Arg(1);
