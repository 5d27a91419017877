// One redraw of the capture chart after a block, rendered offscreen at
// 1600 × 900: the two line series of a time display, and the constellation.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>
#include <random>

#include "chart/chart.h"

namespace {

constexpr int LinePoints = 2048;
constexpr int Markers = 10240;

void RenderEachIteration(benchmark::State& state, TChart& chart) {
  chart.resize(1600, 900);
  QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    chart.render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}

// I and Q of a noisy tone, the way a time display shows a block.
void BM_RedrawTwoLines(benchmark::State& state) {
  TChart chart;
  chart.BottomAxis().SetMaximum(LinePoints);
  chart.BottomAxis().SetMinimum(0);
  std::mt19937 random(1);
  std::normal_distribution<double> noise(0, 300);
  for (int i = 0; i < LinePoints; ++i) {
    const double phase = 2 * M_PI * 7 * i / LinePoints;
    chart.Series1().Append(i, 8000 * std::cos(phase) + noise(random), "", Qt::red);
    chart.Series2().Append(i, 8000 * std::sin(phase) + noise(random), "", Qt::green);
  }
  RenderEachIteration(state, chart);
}
BENCHMARK(BM_RedrawTwoLines)->Unit(benchmark::kMillisecond);

// A constellation spread over the whole plot, so that few markers share a pixel.
void BM_RedrawMarkers(benchmark::State& state) {
  TChart chart;
  std::mt19937 random(2);
  std::uniform_real_distribution<double> anywhere(-9500, 9500);
  for (int i = 0; i < Markers; ++i) chart.Series5().Append(anywhere(random), anywhere(random), "", Qt::red);
  RenderEachIteration(state, chart);
}
BENCHMARK(BM_RedrawMarkers)->Unit(benchmark::kMillisecond);

// The chart with no series: what every redraw costs before the data.
void BM_RedrawEmpty(benchmark::State& state) {
  TChart chart;
  RenderEachIteration(state, chart);
}
BENCHMARK(BM_RedrawEmpty)->Unit(benchmark::kMillisecond);

// A pan or zoom drag: new limits at every redraw, so the axes, grid and
// labels are laid out and painted afresh each time.
void BM_RedrawWhilePanning(benchmark::State& state) {
  TChart chart;
  chart.resize(1600, 900);
  QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
  double shift = 0;
  for (auto _ : state) {
    shift = shift == 0 ? 1 : 0;
    chart.BottomAxis().SetMaximum(10000 + shift);
    chart.BottomAxis().SetMinimum(-10000 + shift);
    chart.render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_RedrawWhilePanning)->Unit(benchmark::kMillisecond);

}  // namespace
