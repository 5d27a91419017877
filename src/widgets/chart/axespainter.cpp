#include "chart/axespainter.h"

#include <cmath>

namespace {

// Shares of the ink in the window colour. The mixed colours are opaque:
// translucent lines cost ten times as much to draw.
constexpr double GridInk = 0.16;
constexpr double FrameInk = 0.6;

QColor Mixed(const QColor& ink, const QColor& paper, double inkShare) {
  const auto channel = [&](int inkValue, int paperValue) {
    return int(std::lround(paperValue + (inkValue - paperValue) * inkShare));
  };
  return QColor(channel(ink.red(), paper.red()), channel(ink.green(), paper.green()),
                channel(ink.blue(), paper.blue()));
}

void DrawGrid(QPainter& painter, const ChartLayout& layout) {
  const QRect& plot = layout.plot;
  for (const TickMark& tick : layout.bottom.ticks) painter.drawLine(tick.pixel, plot.top(), tick.pixel, plot.bottom());
  for (const TickMark& tick : layout.left.ticks) painter.drawLine(plot.left(), tick.pixel, plot.right(), tick.pixel);
}

void DrawTickMarks(QPainter& painter, const ChartLayout& layout) {
  const QRect& plot = layout.plot;
  for (const TickMark& tick : layout.bottom.ticks)
    painter.drawLine(tick.pixel, plot.bottom() + 1, tick.pixel, plot.bottom() + TickLength);
  for (const TickMark& tick : layout.left.ticks)
    painter.drawLine(plot.left() - TickLength, tick.pixel, plot.left() - 1, tick.pixel);
}

void DrawLabels(QPainter& painter, const ChartLayout& layout) {
  for (const TickMark& tick : layout.bottom.ticks) painter.drawText(tick.labelBox, Qt::AlignCenter, tick.label);
  for (const TickMark& tick : layout.left.ticks)
    painter.drawText(tick.labelBox, Qt::AlignRight | Qt::AlignVCenter, tick.label);
}

void DrawCaptions(QPainter& painter, const ChartLayout& layout) {
  painter.drawText(layout.bottom.captionBox, Qt::AlignCenter, layout.bottom.caption);

  // The left caption reads upwards along the axis.
  const QRect& box = layout.left.captionBox;
  painter.save();
  painter.translate(QRectF(box).center());
  painter.rotate(-90);
  painter.drawText(QRectF(-box.height() / 2.0, -box.width() / 2.0, box.height(), box.width()), Qt::AlignCenter,
                   layout.left.caption);
  painter.restore();
}

}  // namespace

void DrawAxes(QPainter& painter, const ChartLayout& layout, const QPalette& palette) {
  const QColor ink = palette.color(QPalette::WindowText);
  const QColor paper = palette.color(QPalette::Window);
  painter.setPen(Mixed(ink, paper, GridInk));
  DrawGrid(painter, layout);

  painter.setPen(Mixed(ink, paper, FrameInk));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(layout.plot.adjusted(-1, -1, 0, 0));  // just outside the plot, so series at its edges show
  DrawTickMarks(painter, layout);

  painter.setPen(ink);
  DrawLabels(painter, layout);
  DrawCaptions(painter, layout);
}
