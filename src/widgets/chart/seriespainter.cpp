#include "chart/seriespainter.h"

#include <cmath>

namespace {

constexpr double DiscRadius = 2;

struct Pixel {
  double x;
  double y;
  bool operator==(const Pixel&) const = default;
};

Pixel PixelOf(const ChartPoint& point, const AxisMap& x, const AxisMap& y) {
  return {std::round(x.ToPixel(point.x)), std::round(y.ToPixel(point.y))};
}

bool IsFinite(Pixel pixel) { return std::isfinite(pixel.x) && std::isfinite(pixel.y); }

enum Outside : int { LeftOf = 1, RightOf = 2, Above = 4, Below = 8 };

int SidesOutside(Pixel p, const QRect& plot) {
  return (p.x < plot.left() ? LeftOf : 0) | (p.x > plot.right() ? RightOf : 0) | (p.y < plot.top() ? Above : 0) |
         (p.y > plot.bottom() ? Below : 0);
}

// Moves p along the line through p and q onto the first plot edge that it
// lies beyond. The crossing is measured from whichever end lies nearer to
// that edge, so that an end far outside (a deep zoom puts ends at 1e14
// pixels and more) costs no precision.
Pixel OntoEdge(Pixel p, Pixel q, int sides, const QRect& plot) {
  const auto atX = [&](double edge) {
    const Pixel& base = std::fabs(edge - p.x) < std::fabs(edge - q.x) ? p : q;
    return Pixel{edge, base.y + (edge - base.x) * ((q.y - p.y) / (q.x - p.x))};
  };
  const auto atY = [&](double edge) {
    const Pixel& base = std::fabs(edge - p.y) < std::fabs(edge - q.y) ? p : q;
    return Pixel{base.x + (edge - base.y) * ((q.x - p.x) / (q.y - p.y)), edge};
  };
  if (sides & LeftOf) return atX(plot.left());
  if (sides & RightOf) return atX(plot.right());
  if (sides & Above) return atY(plot.top());
  return atY(plot.bottom());
}

// Cuts the segment from a to b, whole finite pixels both, to the plot
// (Cohen–Sutherland); false when nothing of it lies inside.
bool ClipSegment(Pixel& a, Pixel& b, const QRect& plot) {
  // Most segments of a series lie wholly inside, with nothing to cut or round.
  if ((SidesOutside(a, plot) | SidesOutside(b, plot)) == 0) return true;
  // Each end crosses at most two edges; the spare passes absorb rounding.
  for (int pass = 0; pass < 8; ++pass) {
    const int outsideA = SidesOutside(a, plot);
    const int outsideB = SidesOutside(b, plot);
    if ((outsideA | outsideB) == 0) {
      a = {std::round(a.x), std::round(a.y)};
      b = {std::round(b.x), std::round(b.y)};
      return IsFinite(a) && IsFinite(b);
    }
    if (outsideA & outsideB) return false;
    if (outsideA)
      a = OntoEdge(a, b, outsideA, plot);
    else
      b = OntoEdge(b, a, outsideB, plot);
  }
  return false;
}

QPoint ToPoint(Pixel pixel) { return QPoint(int(pixel.x), int(pixel.y)); }

}  // namespace

std::vector<QPolygon> VisiblePolylines(const std::vector<ChartPoint>& points, const AxisMap& x, const AxisMap& y,
                                       const QRect& plot) {
  std::vector<QPolygon> runs;
  QPolygon run;
  Pixel previous{};
  const auto addSegment = [&](Pixel from, Pixel to) {
    if (!IsFinite(from) || !IsFinite(to) || !ClipSegment(from, to, plot)) return;
    if (run.isEmpty() || run.constLast() != ToPoint(from)) {
      if (run.size() > 1) runs.push_back(run);
      run = {ToPoint(from)};
    }
    if (run.constLast() != ToPoint(to)) run.append(ToPoint(to));
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
  const QRectF reach = QRectF(plot).adjusted(-DiscRadius - 1, -DiscRadius - 1, DiscRadius + 1, DiscRadius + 1);
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

  // The disc of radius 2 about the centre pixel: the 5 x 5 square of its
  // bounding box without the four corners, which lie farther out than the
  // radius reaches.
  const int radius = static_cast<int>(DiscRadius);
  QImage disc(2 * radius + 1, 2 * radius + 1, QImage::Format_ARGB32_Premultiplied);
  disc.fill(Qt::transparent);
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (dx * dx + dy * dy <= radius * (radius + 1)) disc.setPixelColor(dx + radius, dy + radius, colour);
  return sprites_.emplace(colour.rgba(), Sprite{disc, QPoint(-radius, -radius)}).first->second;
}
