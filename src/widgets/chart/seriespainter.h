#pragma once
// Drawing of the series after every captured block: nothing goes to the
// painter that the pixels cannot show.
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QRect>
#include <unordered_map>
#include <vector>

#include "chart/layout.h"
#include "chart/series.h"

// The pixel runs of a line series inside `plot`: points at the pixel of
// the point before them add nothing, segments are cut at the plot's edges.
std::vector<QPolygon> VisiblePolylines(const std::vector<ChartPoint>& points, const AxisMap& x, const AxisMap& y,
                                       const QRect& plot);

void DrawLineSeries(QPainter& painter, const TChartSeries& series, const AxisMap& x, const AxisMap& y,
                    const QRect& plot);

// Draws point series as discs of radius 2, each a copy of a small image
// per colour.
class MarkerPainter {
 public:
  void Draw(QPainter& painter, const TChartSeries& series, const AxisMap& x, const AxisMap& y, const QRect& plot);

 private:
  struct Sprite {
    QImage image;
    QPoint offset;  // of the image's top left from the disc's centre pixel
  };
  const Sprite& SpriteFor(QColor colour);

  std::unordered_map<QRgb, Sprite> sprites_;
};
