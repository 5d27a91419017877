#pragma once
// A series of the chart: an ordered list of points that the program empties
// and refills after every captured block.
#include <QColor>
#include <QString>
#include <functional>
#include <vector>

enum class SeriesKind {
  FastLine,  // joined in list order, in the series' own colour
  Point,     // a disc per point, in the point's own colour
};

struct ChartPoint {
  double x;
  double y;
  QString label;
  QColor colour;
};

class TChartSeries {
 public:
  TChartSeries(const TChartSeries&) = delete;
  TChartSeries& operator=(const TChartSeries&) = delete;

  SeriesKind Kind() const { return kind_; }
  QColor Colour() const { return colour_; }
  int Count() const { return int(points_.size()); }
  const std::vector<ChartPoint>& Points() const { return points_; }

  // Both only mark the chart for one later redraw, so that refilling a
  // series point by point costs one paint, not one per point.
  void Clear();
  void Append(double x, double y, const QString& label, QColor colour);

 private:
  friend class TChart;
  TChartSeries(SeriesKind kind, QColor colour, std::function<void()> changed);

  SeriesKind kind_;
  QColor colour_;
  std::vector<ChartPoint> points_;
  std::function<void()> changed_;
};
