#pragma once
// One axis of the chart: limits that only the program, a zoom, a pan or an
// undo change (never the data), and a title.
#include <QString>
#include <functional>
#include <stdexcept>

// A refused axis limit. It travels to the program's standard error box.
class ChartAxisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct AxisRange {
  double minimum;
  double maximum;
  bool operator==(const AxisRange&) const = default;
};

class TChartAxis {
 public:
  TChartAxis(const TChartAxis&) = delete;
  TChartAxis& operator=(const TChartAxis&) = delete;

  double Minimum() const { return range_.minimum; }
  double Maximum() const { return range_.maximum; }
  AxisRange Range() const { return range_; }

  // Refused with ChartAxisError, leaving the axis unchanged, when x lies
  // above the maximum. A minimum equal to the maximum is accepted.
  void SetMinimum(double x);
  // Refused with ChartAxisError, leaving the axis unchanged, when x lies
  // below the minimum.
  void SetMaximum(double x);
  // Both limits, in the order that the refusals let pass wherever the new
  // range lies: only a minimum above its maximum is refused.
  void SetRange(double minimum, double maximum);

  const QString& Title() const { return title_; }
  void SetTitle(const QString& title);

 private:
  friend class TChart;
  TChartAxis(const QString& title, std::function<void()> changed);

  // Zoom, pan and undo move both limits at once, without the refusals.
  void AssignRange(AxisRange range);

  AxisRange range_{-10000.0, 10000.0};
  QString title_;
  std::function<void()> changed_;
};
