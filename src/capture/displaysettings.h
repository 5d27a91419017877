#pragma once
// The capture window's settings that shape the display: set by the options
// dialog, the graph items and "Avg", and kept in the layout file.

struct DisplaySettings {
  bool QamMode = false, Spectrum = false, Average = false, Graph1 = true, Graph2 = true,
       RealAxis = false, ComplexFft = false;
  // The sample rate of the real axis. Zero, or a rate that would place a
  // point at no finite place, leaves the samples and bins at their index.
  double FreqMHz = 150;

  bool operator==(const DisplaySettings&) const = default;
};
