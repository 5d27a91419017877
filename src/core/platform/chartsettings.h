#pragma once
// The capture window's settings that shape the display: set by the options
// dialog, the graph items and "Avg", and kept in the layout file with the
// chart's limits.

struct DisplaySettings {
  bool QamMode = false, Spectrum = false, Average = false, Graph1 = true, Graph2 = true,
       RealAxis = false, ComplexFft = false;
  // The sample rate of the real axis. Zero, or a rate that would place a
  // point at no finite place, leaves the samples and bins at their index.
  double FreqMHz = 150;

  bool operator==(const DisplaySettings&) const = default;
};

// The CHART section of the layout file: the axis limits and the display
// settings. The initial values are the defaults of missing keys.
struct ChartSettings {
  double maxY = 10000;
  double maxX = 10000;
  double minY = -10000;
  double minX = -10000;
  DisplaySettings display;

  bool operator==(const ChartSettings&) const = default;
};
