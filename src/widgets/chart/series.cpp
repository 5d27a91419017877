#include "chart/series.h"

#include <utility>

TChartSeries::TChartSeries(SeriesKind kind, QColor colour, std::function<void()> changed)
    : kind_(kind), colour_(colour), changed_(std::move(changed)) {}

void TChartSeries::Clear() {
  points_.clear();
  changed_();
}

void TChartSeries::Append(double x, double y, const QString& label, QColor colour) {
  points_.push_back({x, y, label, colour});
  changed_();
}
