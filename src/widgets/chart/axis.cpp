#include "chart/axis.h"

#include <utility>

TChartAxis::TChartAxis(const QString& title, std::function<void()> changed)
    : title_(title), changed_(std::move(changed)) {}

void TChartAxis::SetMinimum(double x) {
  if (x > range_.maximum) throw ChartAxisError("Axis Minimum Value must be <= Maximum");
  AssignRange({x, range_.maximum});
}

void TChartAxis::SetMaximum(double x) {
  if (x < range_.minimum) throw ChartAxisError("Axis Maximum Value must be >= Minimum");
  AssignRange({range_.minimum, x});
}

void TChartAxis::SetRange(double minimum, double maximum) {
  if (maximum < range_.minimum) {
    SetMinimum(minimum);
    SetMaximum(maximum);
  } else {
    SetMaximum(maximum);
    SetMinimum(minimum);
  }
}

void TChartAxis::SetTitle(const QString& title) {
  title_ = title;
  changed_();
}

void TChartAxis::AssignRange(AxisRange range) {
  range_ = range;
  changed_();
}
