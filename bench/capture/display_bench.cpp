// The display values of one block in each mode of the capture window, as
// ComputeDisplay works them out after every block of a run. The chart redraw
// that follows is measured in the chart's own benchmarks.
#include <benchmark/benchmark.h>

#include <random>

#include "capture/display.h"

namespace {

// All ten slots of noise within 16 bits, as a long averaged run leaves them.
SampleHistory Noise() {
  std::mt19937 random(7);
  std::normal_distribution<double> sample(0, 3000);
  SampleHistory history;
  for (int i = 0; i < HistoryLength; ++i) {
    history.HistoryI[i] = static_cast<std::int32_t>(sample(random));
    history.HistoryQ[i] = static_cast<std::int32_t>(sample(random));
  }
  return history;
}

void RunDisplay(benchmark::State& state, const DisplaySettings& settings) {
  const SampleHistory history = Noise();
  SmoothedSpectrum smoothed;
  DisplayPoints points;
  for (auto _ : state) {
    ComputeDisplay(settings, history, smoothed, points);
    benchmark::DoNotOptimize(points.graph1.data());
    benchmark::DoNotOptimize(points.constellation.data());
    benchmark::ClobberMemory();
  }
}

void BM_DisplayTime(benchmark::State& state) { RunDisplay(state, {}); }

void BM_DisplayRealSpectrum(benchmark::State& state) {
  RunDisplay(state, {.Spectrum = true});
}

void BM_DisplayComplexSpectrum(benchmark::State& state) {
  RunDisplay(state, {.Spectrum = true, .ComplexFft = true});
}

void BM_DisplayAveragedRealSpectrum(benchmark::State& state) {
  RunDisplay(state, {.Spectrum = true, .Average = true});
}

void BM_DisplayConstellation(benchmark::State& state) { RunDisplay(state, {.QamMode = true}); }

void BM_DisplayAveragedConstellation(benchmark::State& state) {
  RunDisplay(state, {.QamMode = true, .Average = true});
}

}  // namespace

BENCHMARK(BM_DisplayTime);
BENCHMARK(BM_DisplayRealSpectrum);
BENCHMARK(BM_DisplayComplexSpectrum);
BENCHMARK(BM_DisplayAveragedRealSpectrum);
BENCHMARK(BM_DisplayConstellation);
BENCHMARK(BM_DisplayAveragedConstellation);
