#include "chart/seriespainter.h"

#include <cmath>

namespace {

constexpr double kDiscRadius = 2;

struct Pixel {
  double x;
  double y;
  bool operator==(const Pixel&) const = default;
};

Pixel PixelOf(const ChartPoint& point, const AxisMap& x, const AxisMap& y) {
  return {std::round(x.ToPixel(point.x)), std::round(y.ToPixel(point.y))};
}

bool IsFinite(Pixel pixel) { return std::isfinite(pixel.x) && std::isfinite(pixel.y); }

// Cuts the segment from a to b to the rectangle [left, right] × [top, bottom]
// (Liang–Barsky); false when nothing of it lies inside.
bool ClipSegment(Pixel& a, Pixel& b, const QRect& plot) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  double enter = 0;
  double leave = 1;
  // Keeps the part of the segment where direction × t <= room.
  const auto keep = [&](double direction, double room) {
    if (direction == 0) return room >= 0;
    const double t = room / direction;
    if (direction < 0) {
      if (t > leave) return false;
      enter = std::max(enter, t);
    } else {
      if (t < enter) return false;
      leave = std::min(leave, t);
    }
    return true;
  };
  if (!(keep(-dx, a.x - plot.left()) && keep(dx, plot.right() - a.x) && keep(-dy, a.y - plot.top()) &&
        keep(dy, plot.bottom() - a.y)))
    return false;
  const Pixel start = a;
  a = {std::round(start.x + enter * dx), std::round(start.y + enter * dy)};
  b = {std::round(start.x + leave * dx), std::round(start.y + leave * dy)};
  return true;
}

QPoint ToPoint(Pixel pixel) { return QPoint(int(pixel.x), int(pixel.y)); }

QRectF DiscBounds(QPointF centre) {
  return QRectF(centre.x() - kDiscRadius, centre.y() - kDiscRadius, 2 * kDiscRadius, 2 * kDiscRadius);
}

QRect PaintedBounds(const QImage& image) {
  QRect painted;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) painted |= QRect(x, y, 1, 1);
  return painted;
}

}  // namespace

std::vector<QPolygon> VisiblePolylines(const std::vector<ChartPoint>& points, const AxisMap& x, const AxisMap& y,
                                       const QRect& plot) {
  std::vector<QPolygon> runs;
  QPolygon run;
  Pixel previous{};
  const auto addSegment = [&](Pixel from, Pixel to) {
    if (!IsFinite(from) || !IsFinite(to) || !ClipSegment(from, to, plot)) return;
    if (run.isEmpty() || run.last() != ToPoint(from)) {
      if (run.size() > 1) runs.push_back(run);
      run = {ToPoint(from)};
    }
    if (run.last() != ToPoint(to)) run.append(ToPoint(to));
  };
  for (size_t i = 0; i < points.size(); ++i) {
    const Pixel pixel = PixelOf(points[i], x, y);
    if (i > 0 && !(pixel == previous)) addSegment(previous, pixel);
    previous = pixel;
  }
  if (run.size() > 1) runs.push_back(run);
  return runs;
}

void DrawLineSeries(QPainter& painter, const TChartSeries& series, const AxisMap& x, const AxisMap& y,
                    const QRect& plot) {
  painter.setPen(QPen(series.Colour(), 1));
  for (const QPolygon& run : VisiblePolylines(series.Points(), x, y, plot)) painter.drawPolyline(run);
}

void MarkerPainter::Draw(QPainter& painter, const TChartSeries& series, const AxisMap& x, const AxisMap& y,
                         const QRect& plot) {
  // A disc whose centre lies this far outside the plot shows nothing in it.
  const QRectF reach = QRectF(plot).adjusted(-kDiscRadius - 1, -kDiscRadius - 1, kDiscRadius + 1, kDiscRadius + 1);
  for (const ChartPoint& point : series.Points()) {
    const Pixel centre = PixelOf(point, x, y);
    if (!(centre.x >= reach.left() && centre.x <= reach.right() && centre.y >= reach.top() &&
          centre.y <= reach.bottom()))
      continue;
    const Sprite& sprite = SpriteFor(point.colour);
    painter.drawImage(ToPoint(centre) + sprite.offset, sprite.image);
  }
}

const MarkerPainter::Sprite& MarkerPainter::SpriteFor(QColor colour) {
  const auto found = sprites_.find(colour.rgba());
  if (found != sprites_.end()) return found->second;

  const QPoint centre(4, 4);
  QImage canvas(2 * centre.x() + 1, 2 * centre.y() + 1, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  {
    QPainter painter(&canvas);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(DiscBounds(centre));
  }
  const QRect painted = PaintedBounds(canvas);
  return sprites_.emplace(colour.rgba(), Sprite{canvas.copy(painted), painted.topLeft() - centre}).first->second;
}
