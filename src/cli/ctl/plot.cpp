#include "ctl/plot.h"

#include <QApplication>
#include <QImage>
#include <array>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "capture/captureblock.h"
#include "capture/capturechart.h"
#include "capture/display.h"
#include "chart/chart.h"
#include "ctl/recordinginput.h"
#include "link/comport.h"
#include "panel/layoutmodel.h"
#include "platform/layoutnames.h"
#include "platform/messages.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uitext.h"

using json = nlohmann::ordered_json;

namespace {

constexpr int LargestSide = 10000;  // pixels; keeps the image within memory

// The capture window's display modes, as its options dialog sets them.
void SetMode(DisplaySettings& settings, const std::string& mode) {
  struct Mode {
    const char* name;
    bool spectrum, complexFft, qam;
  };
  static constexpr Mode modes[] = {{"time", false, false, false},
                                   {"spectrum", true, false, false},
                                   {"complex-spectrum", true, true, false},
                                   {"constellation", false, false, true}};
  for (const Mode& known : modes) {
    if (mode != known.name) continue;
    settings.Spectrum = known.spectrum;
    settings.ComplexFft = known.complexFft;
    settings.QamMode = known.qam;
    return;
  }
  throw UsageFailure("unknown mode " + mode);
}

// The layout file's display settings, changed by the options. One block has
// nothing to average with: averaged, its spectrum would rise from silence and
// its constellation gain nine empty slots at the origin.
DisplaySettings SettingsFor(const ChartSettings& stored, const ParsedArguments& arguments) {
  DisplaySettings settings = stored.display;
  settings.Average = false;
  if (arguments.Has("--mode")) SetMode(settings, arguments.Value("--mode", ""));
  if (arguments.Has("--real-axis")) settings.RealAxis = true;
  return settings;
}

// The real axis places the graphs by the sample rate in MHz: --rate, else
// the recording's, else the layout file's. The other displays need none, so
// the layout file is then neither asked for one nor warned about.
void SetRate(DisplaySettings& settings, std::optional<double> given, std::optional<double> recorded,
             const Session& session) {
  if (!settings.RealAxis || settings.QamMode) return;
  settings.FreqMHz = given ? *given : recorded ? *recorded : session.LayoutRateMHz();
}

// "WxH" in pixels.
QSize SizeOf(const std::string& text) {
  const auto cross = text.find('x');
  const auto side = [&](const std::string& part) {
    const auto pixels = ParseIntegerText(part);
    if (cross == std::string::npos || !pixels || *pixels < 1 || *pixels > LargestSide)
      throw UsageFailure("'" + text + "' is not a size from 1x1 to 10000x10000");
    return static_cast<int>(*pixels);
  };
  return {side(text.substr(0, cross)), side(text.substr(cross + 1))};
}

// The first block of the recording named by `input`; returns the sample rate
// its metadata gives.
std::optional<double> ReadRecording(const std::string& input, SampleHistory& history) {
  const RecordingInput recording = OpenRecording(input);
  ReadBlocks(recording.data, 1, [&](auto block) { history.Decode(block); });
  return recording.rateMHz;
}

void BlockFromBoard(const Session& session, SampleHistory& history) {
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  std::array<std::uint8_t, BlockBytes> block;
  const auto toTheEnd = [](int) { return true; };
  if (FetchBlock(port, block, session.now, AnswerSettle, toTheEnd) != BlockResult::Whole)
    throw LinkFailure(LinkError::NoAnswer, port);
  history.Decode(block);
}

// The limits as the tool loads them; a pair it would refuse is refused here
// with its message.
void ApplyLimits(TChart& chart, const ChartSettings& stored) {
  try {
    chart.LeftAxis().SetRange(stored.minY, stored.maxY);
    chart.BottomAxis().SetRange(stored.minX, stored.maxX);
  } catch (const ChartAxisError& error) {
    throw CtlFailure(ExitUsage, WithFullStop(error.what()));
  }
}

void SetLimits(TChart& chart, const DisplayLimits& limits) {
  chart.BottomAxis().SetRange(limits.x.minimum, limits.x.maximum);
  chart.LeftAxis().SetRange(limits.y.minimum, limits.y.maximum);
}

// The axes fitted to the points; a constellation's with equal scales, so
// that a circle stays round. The plot's size in pixels depends on the labels
// of its limits, so the scales are settled over a few rounds.
void FitLimits(TChart& chart, const DisplayPoints& points, bool equalScales) {
  const DisplayLimits fitted = FittedLimits(points);
  SetLimits(chart, fitted);
  QRect plot;
  for (int round = 0; equalScales && round < 4 && plot != chart.PlotRect(); ++round) {
    plot = chart.PlotRect();
    SetLimits(chart, EqualScales(fitted, plot.width() - 1, plot.height() - 1));
  }
}

// The chart stands alone, with the application's font and palette, as it
// fills the capture window; its limits are the layout file's, or fitted.
QImage Draw(const ChartSettings& stored, bool fit, const DisplaySettings& settings,
            const SampleHistory& history, QSize size) {
  TChart chart;
  chart.resize(size);
  ShowModeTitles(chart, settings);
  SmoothedSpectrum smoothed;
  DisplayPoints points;
  ComputeDisplay(settings, history, smoothed, points);
  if (fit)
    FitLimits(chart, points, settings.QamMode);
  else
    ApplyLimits(chart, stored);
  ShowPoints(chart, points);
  QImage image(size, QImage::Format_RGB32);
  chart.render(&image);
  return image;
}

void Plot(Session& session, const ParsedArguments& arguments) {
  if (arguments.positional.size() > 1) throw UsageFailure("expected at most one INPUT");
  const std::string png = arguments.Value("-o", "");
  if (png.empty()) throw UsageFailure("plot needs -o FILE.png");
  const ProfileFile layout(session.LayoutFile());
  const ChartSettings stored = ReadChartSettings(layout);
  const bool fit = arguments.Has("--fit") || !layout.HasSection(layout::SectionChart);
  DisplaySettings settings = SettingsFor(stored, arguments);
  const QSize size = SizeOf(arguments.Value("--size", "1600x900"));
  const std::optional<double> rate = RateOption(arguments);

  SampleHistory history;
  std::optional<double> recordedRate;
  if (arguments.positional.empty())
    BlockFromBoard(session, history);
  else
    recordedRate = ReadRecording(arguments.positional[0], history);
  SetRate(settings, rate, recordedRate, session);

  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "tarnwick-ctl";
  char* argv[] = {name, nullptr};
  const QApplication application(argc, argv);
  if (!Draw(stored, fit, settings, history, size).save(QtText(png), "PNG"))
    throw CtlFailure(ExitOutput, "Unable to write to " + png);
  if (session.json)
    session.out << json{{"png", png}, {"width", size.width()}, {"height", size.height()}}.dump() << '\n';
}

}  // namespace

Command PlotCommand() {
  return {"plot",
          "  plot -o FILE.png [--mode time|spectrum|complex-spectrum|constellation] [--real-axis]\n"
          "       [--rate MHZ] [--fit] [--size WxH] [INPUT]\n"
          "                         draw one block (fetched now from the board, or the first\n"
          "                         block of INPUT, a recording: BASE, its data or its meta\n"
          "                         file) as the capture window would, within the layout file's\n"
          "                         axis limits, else (or --fit) with axes fitted to the data, a\n"
          "                         constellation's at equal scales; MHZ: the real axis' sample\n"
          "                         rate, else the recording's, else the layout file's FREQ\n",
          {{"-o", "--mode", "--rate", "--size"}, {"--real-axis", "--fit"}},
          Plot};
}
