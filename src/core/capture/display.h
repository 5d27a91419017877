#pragma once
// What each display mode of the capture window shows, worked out from its
// sample history without any chart: the time signal, the spectrum of each
// channel or of the complex signal, or the I/Q constellation. The window
// hands the points to its series.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/chartsettings.h"
#include "capture/history.h"

struct DisplayPoint {
  double x;
  double y;
};

// graph1 goes to Series1 (I), graph2 to Series2 (Q), constellation to
// Series5, and peak (the peak hold) to Series3.
struct DisplayPoints {
  std::vector<DisplayPoint> graph1, graph2, constellation, peak;
};

// The spectrum values last shown, in dB, for graph 1 and graph 2: the memory
// of the exponential average. Kept by the window from one block to the next.
struct SmoothedSpectrum {
  std::array<double, BlockLength> S1{}, S2{};
};

// Empties `out` and fills it with the points of the mode that `settings`
// choose, from `history`. With Spectrum on, every call advances `smoothed`
// by one step, also when the constellation is shown instead. The vectors keep
// their capacity, so a run allocates nothing after its first block.
void ComputeDisplay(const DisplaySettings& settings, const SampleHistory& history,
                    SmoothedSpectrum& smoothed, DisplayPoints& out);

// Axis limits for a plot that has none of its own.
struct DisplayRange {
  double minimum;
  double maximum;

  bool operator==(const DisplayRange&) const = default;
};
struct DisplayLimits {
  DisplayRange x, y;

  bool operator==(const DisplayLimits&) const = default;
};

// The extent of all the points, widened on each side by 5 % of its span so
// that no point sits on the plot's edge. A flat extent is widened by 5 % of
// its value (by 1 at zero), so that the range is never empty; without points
// both ranges are -1 to 1.
DisplayLimits FittedLimits(const DisplayPoints& points);

// The limits widened on one axis, about their centre, so that a unit spans
// as many pixels across as up on a plot `width` by `height` pixels: a circle
// stays round.
DisplayLimits EqualScales(const DisplayLimits& limits, double width, double height);

// The chart's axis titles for a display mode: the first of constellation,
// real-axis spectrum, real-axis time, spectrum, time that the flags select.
struct AxisTitles {
  std::string vertical;
  std::string horizontal;

  bool operator==(const AxisTitles&) const = default;
};
AxisTitles AxisTitlesFor(bool qamMode, bool realAxis, bool spectrum);

// The peak hold of the spectrum modes: per point, the largest value that a
// shown graph has had since the display settings or the axes' limits last
// changed, for then the old maxima no longer belong to what is shown.
class PeakHold {
 public:
  // Takes in the graphs of `points` and puts the trace into points.peak;
  // outside the spectrum modes there is none.
  void Hold(const DisplaySettings& settings, const DisplayLimits& limits, DisplayPoints& points);
  void Clear() { peak_.clear(); }

 private:
  DisplaySettings settings_;
  DisplayLimits limits_{};
  std::vector<DisplayPoint> peak_;
};

// The fundamental on the spectrum shown: the largest point of the first
// graph shown outside the DC zone (4 points either side of zero frequency,
// the converter's offset), by the rule the measurements find theirs. None
// outside the spectrum modes.
std::optional<DisplayPoint> FundamentalPoint(const DisplaySettings& settings, const DisplayPoints& points);
