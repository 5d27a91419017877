#include "capture/display.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "capture/fft.h"

namespace {

// √512: both channels are divided by it before their transform.
constexpr long double InputScaleDivisor = 22.627417L;
constexpr double NewWeight = 0.05, StoredWeight = 0.95;
constexpr double PowerOffset = 80;  // dB to dBm on the physical axis

using Block = std::array<long double, BlockLength>;
using DbValues = std::array<double, BlockLength>;

// The working arrays of one transform: the scaled samples and the output.
struct Transform {
  Block inRe, inIm, outRe, outIm;
};

void Scale(const ChannelHistory& channel, Block& scaled) {
  for (int k = 0; k < BlockLength; ++k) scaled[k] = channel[k] / InputScaleDivisor;
}

// Off, the stored value follows the plain spectrum, so that averaging starts
// from the spectrum last shown when it is switched on.
void Blend(double& stored, long double db, bool average) {
  const auto fresh = static_cast<double>(db);
  stored = average ? NewWeight * fresh + StoredWeight * stored : fresh;
}

// One transform of I + iQ; both graphs carry its spectrum. The bins are read
// half a turn round, so that zero frequency lies in the middle with the
// negative frequencies on the left.
int AdvanceComplex(const SampleHistory& history, bool average, SmoothedSpectrum& smoothed,
                   Transform& t) {
  Scale(history.HistoryI, t.inRe);
  Scale(history.HistoryQ, t.inIm);
  const int n = Fft(BlockLength, FftMode::Complex, t.inRe, t.inIm, t.outRe, t.outIm);
  for (int j = 0; j < n; ++j) {
    const int bin = (j + n / 2) % n;
    Blend(smoothed.S1[j], MagnitudeDb(t.outRe[bin], t.outIm[bin]), average);
    smoothed.S2[j] = smoothed.S1[j];
  }
  return n;
}

// One real transform of a channel: bins from zero frequency up to half the
// sample rate.
int AdvanceReal(const ChannelHistory& channel, bool average, DbValues& stored, Transform& t) {
  Scale(channel, t.inRe);
  const int n = Fft(BlockLength, FftMode::Real, t.inRe, {}, t.outRe, t.outIm);
  for (int j = 0; j < n; ++j) Blend(stored[j], MagnitudeDb(t.outRe[j], t.outIm[j]), average);
  return n;
}

// Returns the count of bins to show.
int AdvanceSpectrum(const DisplaySettings& settings, const SampleHistory& history,
                    SmoothedSpectrum& smoothed) {
  Transform t;
  if (settings.ComplexFft) return AdvanceComplex(history, settings.Average, smoothed, t);
  AdvanceReal(history.HistoryI, settings.Average, smoothed.S1, t);
  return AdvanceReal(history.HistoryQ, settings.Average, smoothed.S2, t);
}

// The sample rate places the points on the physical axis only where it gives
// each a finite place. Without such a rate (zero, NaN, infinite, or so small
// that the times overflow) the samples keep their index and the bins their
// number.
bool OnPhysicalAxis(const DisplaySettings& settings) {
  const double rate = settings.FreqMHz;
  return settings.RealAxis && std::isfinite(rate) && std::isfinite((BlockLength - 1) / rate);
}

template <typename X, typename Y>
void AddPoints(bool shown, int count, X x, Y y, std::vector<DisplayPoint>& points) {
  if (!shown) return;
  points.reserve(count);
  for (int j = 0; j < count; ++j) points.push_back({x(j), y(j)});
}

// The samples of one channel, by index, as point coordinates.
auto Samples(const ChannelHistory& channel) {
  return [&channel](int i) { return static_cast<double>(channel[i]); };
}

void AddTimeGraphs(const DisplaySettings& settings, const SampleHistory& history,
                   DisplayPoints& out) {
  const bool inMicroseconds = OnPhysicalAxis(settings);
  const auto x = [&](int j) { return inMicroseconds ? j / settings.FreqMHz : j; };
  AddPoints(settings.Graph1, BlockLength, x, Samples(history.HistoryI), out.graph1);
  AddPoints(settings.Graph2, BlockLength, x, Samples(history.HistoryQ), out.graph2);
}

void AddSpectrumGraphs(const DisplaySettings& settings, const SmoothedSpectrum& smoothed,
                       int bins, DisplayPoints& out) {
  const int centre = settings.ComplexFft ? bins / 2 : 0;
  const double binWidth = OnPhysicalAxis(settings) ? settings.FreqMHz * (1.0 / BlockLength) : 1;
  const double offset = settings.RealAxis ? PowerOffset : 0;
  const auto x = [=](int j) { return (j - centre) * binWidth; };
  AddPoints(settings.Graph1, bins, x, [&](int j) { return smoothed.S1[j] - offset; }, out.graph1);
  AddPoints(settings.Graph2, bins, x, [&](int j) { return smoothed.S2[j] - offset; }, out.graph2);
}

// Averaging accumulates the ten slots, filled or not.
void AddConstellation(const SampleHistory& history, bool average,
                      std::vector<DisplayPoint>& points) {
  AddPoints(true, average ? HistoryLength : BlockLength, Samples(history.HistoryI),
            Samples(history.HistoryQ), points);
}

constexpr int DcReach = 4;  // points either side of zero frequency

bool SpectrumShown(const DisplaySettings& settings) { return settings.Spectrum && !settings.QamMode; }

constexpr double FitMargin = 0.05;  // of the span, on each side

// An extent as FittedLimits widens it; one with its minimum above its
// maximum holds no points.
DisplayRange WithMargin(DisplayRange range) {
  if (range.minimum > range.maximum) range = {0, 0};
  const double span = range.maximum - range.minimum;
  const double flat = range.minimum == 0 ? 1 : FitMargin * std::abs(range.minimum);
  const double margin = span > 0 ? FitMargin * span : flat;
  return {range.minimum - margin, range.maximum + margin};
}

// A range `span` wide about the same centre.
DisplayRange Widened(DisplayRange range, double span) {
  const double centre = (range.minimum + range.maximum) / 2;
  return {centre - span / 2, centre + span / 2};
}

}  // namespace

void ComputeDisplay(const DisplaySettings& settings, const SampleHistory& history,
                    SmoothedSpectrum& smoothed, DisplayPoints& out) {
  out.graph1.clear();
  out.graph2.clear();
  out.peak.clear();
  out.constellation.clear();
  const int bins = settings.Spectrum ? AdvanceSpectrum(settings, history, smoothed) : 0;
  if (settings.QamMode)
    AddConstellation(history, settings.Average, out.constellation);
  else if (settings.Spectrum)
    AddSpectrumGraphs(settings, smoothed, bins, out);
  else
    AddTimeGraphs(settings, history, out);
}

void PeakHold::Hold(const DisplaySettings& settings, const DisplayLimits& limits, DisplayPoints& points) {
  if (settings != settings_ || limits != limits_) peak_.clear();
  settings_ = settings;
  limits_ = limits;
  if (!SpectrumShown(settings)) return;
  for (const auto* graph : {&points.graph1, &points.graph2}) {
    if (graph->empty()) continue;
    if (peak_.size() != graph->size()) peak_ = *graph;
    for (std::size_t j = 0; j < peak_.size(); ++j) peak_[j].y = std::max(peak_[j].y, (*graph)[j].y);
  }
  points.peak = peak_;
}

std::optional<DisplayPoint> FundamentalPoint(const DisplaySettings& settings, const DisplayPoints& points) {
  const auto& graph = points.graph1.empty() ? points.graph2 : points.graph1;
  if (!SpectrumShown(settings) || graph.empty()) return std::nullopt;
  // Zero frequency is the middle point of a complex spectrum, the first of a real one.
  const int dc = settings.ComplexFft ? int(graph.size()) / 2 : 0;
  std::optional<DisplayPoint> largest;
  for (int j = 0; j < int(graph.size()); ++j)
    if (std::abs(j - dc) > DcReach && (!largest || graph[j].y > largest->y)) largest = graph[j];
  return largest;
}

DisplayLimits FittedLimits(const DisplayPoints& points) {
  constexpr double Infinity = std::numeric_limits<double>::infinity();
  DisplayLimits extent{{Infinity, -Infinity}, {Infinity, -Infinity}};
  for (const auto* graph : {&points.graph1, &points.graph2, &points.constellation})
    for (const DisplayPoint& point : *graph) {
      extent.x = {std::min(extent.x.minimum, point.x), std::max(extent.x.maximum, point.x)};
      extent.y = {std::min(extent.y.minimum, point.y), std::max(extent.y.maximum, point.y)};
    }
  return {WithMargin(extent.x), WithMargin(extent.y)};
}

DisplayLimits EqualScales(const DisplayLimits& limits, double width, double height) {
  const double perPixel = std::max((limits.x.maximum - limits.x.minimum) / width,
                                   (limits.y.maximum - limits.y.minimum) / height);
  return {Widened(limits.x, perPixel * width), Widened(limits.y, perPixel * height)};
}

AxisTitles AxisTitlesFor(bool qamMode, bool realAxis, bool spectrum) {
  if (qamMode) return {"Amp, uV", "Amp, uV"};
  if (realAxis) return spectrum ? AxisTitles{"Power, dBm", "Freq, MHz"} : AxisTitles{"Amp, uV", "Time, us"};
  return spectrum ? AxisTitles{"Power, dB", "Freq, 1/sample"} : AxisTitles{"Amp. uV", "Time, sample"};
}
