#include "chart/layout.h"

#include <algorithm>
#include <cmath>

#include "chart/ticks.h"

namespace {

// Margins in percent of the control's height (top, bottom) and width (left, right).
constexpr double TopMarginPercent = 2;
constexpr double BottomMarginPercent = 2;
constexpr double LeftMarginPercent = 0;
constexpr double RightMarginPercent = 0;

// Room between the control's edge, an axis title, its labels and its tick marks.
constexpr int Gap = 4;
// Ticks closer than this clutter the plot, whatever their labels.
constexpr int BottomTickDistance = 70;
constexpr int LeftTickDistance = 36;
// Free room between two neighbouring labels.
constexpr int BottomLabelSpacing = 16;
constexpr int LeftLabelSpacing = 8;

QRect LessMargins(const QRect& control) {
  const auto share = [](int length, double percent) { return int(std::lround(length * percent / 100)); };
  return control.adjusted(share(control.width(), LeftMarginPercent), share(control.height(), TopMarginPercent),
                          -share(control.width(), RightMarginPercent),
                          -share(control.height(), BottomMarginPercent));
}

template <class Extent>
int LargestExtent(const AxisTicks& ticks, Extent extent) {
  int largest = 0;
  for (const Tick& tick : ticks.ticks) largest = std::max(largest, extent(tick.label));
  return largest;
}

// The densest nice ticks whose labels, each `extent` pixels long along the
// axis, keep `spacing` pixels free between them.
template <class Extent>
AxisTicks FitTicks(AxisRange range, int length, int minDistance, int spacing, Extent extent) {
  const double span = range.maximum - range.minimum;
  if (length <= 0 || span == 0) return MakeTicks(range.minimum, range.maximum, {});
  if (!(span > 0) || !std::isfinite(span)) return {};
  // A span so narrow that the axis maps it onto its middle (a denormal) gets
  // no ticks: its steps would fall below what a double holds. Neither does
  // one whose steps would pass the largest double.
  if (!std::isfinite(length / span)) return {};
  const double rough = span / length * minDistance;
  if (!std::isfinite(rough)) return {};
  for (TickStep step = NiceStepAtLeast(rough);; step = step.Larger()) {
    if (!std::isfinite(step.Value())) return {};
    AxisTicks ticks = MakeTicks(range.minimum, range.maximum, step);
    const double distance = step.Value() / span * length;
    if (step.Value() >= span || LargestExtent(ticks, extent) + spacing <= distance) return ticks;
  }
}

QString Caption(const QString& title, const QString& offset) {
  if (offset.isEmpty()) return title;
  return title + QStringLiteral("  (") + offset + QLatin1Char(')');
}

}  // namespace

AxisMap::AxisMap(AxisRange range, double pixelAtMinimum, double pixelAtMaximum)
    : range_(range), pixelAtMinimum_(pixelAtMinimum), pixelsPerUnit_(0) {
  const double span = range.maximum - range.minimum;
  const double perUnit = (pixelAtMaximum - pixelAtMinimum) / span;
  // A span of zero, or one so narrow that its pixels per unit pass the
  // largest double, maps onto the middle.
  if (span > 0 && std::isfinite(perUnit))
    pixelsPerUnit_ = perUnit;
  else
    pixelAtMinimum_ = (pixelAtMinimum + pixelAtMaximum) / 2;
}

double AxisMap::ToValue(double pixel) const {
  if (pixelsPerUnit_ == 0) return range_.minimum;
  return range_.minimum + (pixel - pixelAtMinimum_) / pixelsPerUnit_;
}

ChartLayout LayOutChart(const QRect& control, const QFontMetrics& metrics, const AxisSetting& left,
                        const AxisSetting& bottom) {
  const QRect area = LessMargins(control);
  const int line = metrics.height();
  const auto width = [&](const QString& text) { return metrics.horizontalAdvance(text); };
  const auto height = [&](const QString&) { return line; };

  // The top label is centred on the plot's top edge and must not be cut.
  const int plotTop = std::max(area.top(), control.top() + line / 2);
  const int plotBottom = std::max(plotTop + 1, area.bottom() - (TickLength + Gap + line + Gap + line));
  const AxisTicks leftTicks =
      FitTicks(left.range, plotBottom - plotTop, LeftTickDistance, LeftLabelSpacing, height);

  const int plotLeft = area.left() + Gap + line + Gap + LargestExtent(leftTicks, width) + Gap + TickLength;
  const auto fitBottom = [&](int right) {
    return FitTicks(bottom.range, right - plotLeft, BottomTickDistance, BottomLabelSpacing, width);
  };
  // The last bottom label is centred on the plot's right edge: leave it room.
  const int plotRight = std::max(plotLeft + 1, area.right() - LargestExtent(fitBottom(area.right()), width) / 2);
  const AxisTicks bottomTicks = fitBottom(plotRight);

  ChartLayout layout{area,
                     QRect(QPoint(plotLeft, plotTop), QPoint(plotRight, plotBottom)),
                     {AxisMap(left.range, plotBottom, plotTop), {}, {}, {}},
                     {AxisMap(bottom.range, plotLeft, plotRight), {}, {}, {}}};
  const QRect& plot = layout.plot;

  for (const Tick& tick : leftTicks.ticks) {
    const int y = int(std::lround(layout.left.map.PixelAt(tick.fromMinimum)));
    const int labelWidth = width(tick.label);
    layout.left.ticks.push_back(
        {y, tick.label, QRect(plot.left() - TickLength - Gap - labelWidth, y - line / 2, labelWidth, line)});
  }
  layout.left.caption =
      metrics.elidedText(Caption(left.title, leftTicks.offset), Qt::ElideRight, plot.height());
  layout.left.captionBox = QRect(area.left() + Gap, plot.top(), line, plot.height());

  const int labelsTop = plot.bottom() + 1 + TickLength + Gap;
  for (const Tick& tick : bottomTicks.ticks) {
    const int x = int(std::lround(layout.bottom.map.PixelAt(tick.fromMinimum)));
    const int labelWidth = width(tick.label);
    layout.bottom.ticks.push_back({x, tick.label, QRect(x - labelWidth / 2, labelsTop, labelWidth, line)});
  }
  layout.bottom.caption =
      metrics.elidedText(Caption(bottom.title, bottomTicks.offset), Qt::ElideRight, plot.width());
  layout.bottom.captionBox = QRect(plot.left(), labelsTop + line + Gap, plot.width(), line);
  return layout;
}
