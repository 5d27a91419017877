#pragma once
// Where every part of the chart goes for a given size and font: the
// plotting rectangle, the ticks, labels and titles of both axes.
#include <QFontMetrics>
#include <QRect>
#include <QString>
#include <vector>

#include "chart/axis.h"

// Maps an axis range linearly onto a span of pixels. A range of zero width
// maps every value onto the middle of the span.
class AxisMap {
 public:
  AxisMap(AxisRange range, double pixelAtMinimum, double pixelAtMaximum);

  double ToPixel(double value) const { return PixelAt(value - range_.minimum); }
  // `distance` is measured from the axis minimum.
  double PixelAt(double distance) const { return pixelAtMinimum_ + distance * pixelsPerUnit_; }
  double ToValue(double pixel) const;

 private:
  AxisRange range_;
  double pixelAtMinimum_;
  double pixelsPerUnit_;
};

// How far a tick mark stands out of the plot: drawn that long, and given
// that room by the layout.
inline constexpr int TickLength = 4;

struct TickMark {
  int pixel;  // x on the bottom axis, y on the left axis
  QString label;
  QRect labelBox;
};

struct AxisLayout {
  AxisMap map;
  std::vector<TickMark> ticks;
  QString caption;   // the title, with the labels' offset if they have one
  QRect captionBox;  // the left axis' caption is drawn turned up in its box
};

struct ChartLayout {
  QRect chartArea;  // the control less its margins
  QRect plot;       // what the axes map onto, edges inclusive
  AxisLayout left;
  AxisLayout bottom;
};

struct AxisSetting {
  AxisRange range;
  QString title;
  bool operator==(const AxisSetting&) const = default;
};

ChartLayout LayOutChart(const QRect& control, const QFontMetrics& metrics, const AxisSetting& left,
                        const AxisSetting& bottom);
