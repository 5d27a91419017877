// One pass of the capture loop per display mode, as a run makes it: the
// capture request and the 4096-byte answer from the virtual board over a
// pty, the display of the block, and the repaint of a 1600 × 900 chart. The
// CPU time is the tool's own thread; the board serves from a thread of its own.
// With the Measurements window open, each pass also lets its timer run, as a
// run's wait for the block does.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>

#include "board/ptyboard.h"
#include "capture/capturewindow.h"
#include "capture/measurewindow.h"
#include "chart/chart.h"
#include "link/comport.h"

namespace {

struct Mode {
  bool spectrum;
  bool complexFft;
  bool qam;
  bool average;
  bool measure = false;
};

void BM_RunPass(benchmark::State& state, Mode mode) {
  PtyBoard board;
  TComPort port;
  port.PortName = board.PortPath();
  formChart = new TformChart(port);
  DisplaySettings settings;
  settings.Spectrum = mode.spectrum;
  settings.ComplexFft = mode.complexFft;
  settings.QamMode = mode.qam;
  settings.Average = mode.average;
  formChart->SetSettings(settings);
  TChart& chart = *formChart->Chart;
  chart.resize(1600, 900);
  QImage screen(chart.size(), QImage::Format_ARGB32_Premultiplied);
  if (mode.measure) formChart->Measurements->show();

  CaptureSession& session = formChart->Session();
  if (!session.Start(true)) state.SkipWithError("the board's port does not open");
  int received = 0;
  const auto count = [&](int bytes) {
    received = bytes;
    return true;
  };
  for (auto _ : state) {
    if (session.Capture(mode.average, count) != BlockResult::Whole) {
      state.SkipWithError("capture failed");
      break;
    }
    formChart->ProcessBlock();
    if (mode.measure) QCoreApplication::processEvents();
    chart.render(&screen);
    benchmark::DoNotOptimize(screen.constBits());
  }
  state.counters["bytes"] = received;
  session.Release();
  delete formChart;
  formChart = nullptr;
}

BENCHMARK_CAPTURE(BM_RunPass, time, Mode{false, false, false, false})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, real_spectrum, Mode{true, false, false, false})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, complex_spectrum, Mode{true, true, false, false})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, averaged_real_spectrum, Mode{true, false, false, true})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, constellation, Mode{false, false, true, false})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, averaged_constellation, Mode{false, false, true, true})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, time_measured, Mode{false, false, false, false, true})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, complex_spectrum_measured, Mode{true, true, false, false, true})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunPass, averaged_constellation_measured, Mode{false, false, true, true, true})
    ->Unit(benchmark::kMillisecond);

}  // namespace
