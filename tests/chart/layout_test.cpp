#include "chart/layout.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "chart/seriespainter.h"

namespace {

struct Case {
  QSize size;
  AxisRange left;
  AxisRange bottom;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  const std::vector<AxisRange> ranges = {{-10000, 10000}, {0, 1e-10},        {1e6, 1e6 + 1e-9},
                                         {-1e9, 1e9},     {5, 5},            {0, 2047},
                                         {-75, 75},       {-280, -120},      {1234567.891, 1234567.901},
                                         {-3e-7, -1e-7},  {-1.5e15, 2.5e15}, {0.1, 0.10000000001},
                                         {9999990, 1e7},  {-1234.5678, -1234.5}};
  for (QSize size : {QSize(300, 200), QSize(808, 854), QSize(1600, 900)})
    for (const AxisRange& left : ranges)
      for (const AxisRange& bottom : ranges) cases.push_back({size, left, bottom});
  return cases;
}

std::vector<QRect> LabelBoxes(const AxisLayout& axis) {
  std::vector<QRect> boxes;
  for (const TickMark& tick : axis.ticks) boxes.push_back(tick.labelBox);
  return boxes;
}

TEST(ChartLayout, KeepsEveryLabelApartAndInsideTheControl) {
  const QFontMetrics metrics(QApplication::font());
  for (const Case& c : Cases()) {
    const QRect control(QPoint(0, 0), c.size);
    const ChartLayout layout = LayOutChart(control, metrics, {c.left, "dBm"}, {c.bottom, "MHz"});
    const QString name = QString("%1x%2 left %3..%4 bottom %5..%6")
                             .arg(c.size.width()).arg(c.size.height())
                             .arg(c.left.minimum, 0, 'g', 17).arg(c.left.maximum, 0, 'g', 17)
                             .arg(c.bottom.minimum, 0, 'g', 17).arg(c.bottom.maximum, 0, 'g', 17);
    SCOPED_TRACE(name.toStdString());

    EXPECT_FALSE(layout.left.ticks.empty());
    EXPECT_FALSE(layout.bottom.ticks.empty());
    std::vector<QRect> boxes = LabelBoxes(layout.left);
    const std::vector<QRect> bottomBoxes = LabelBoxes(layout.bottom);
    boxes.insert(boxes.end(), bottomBoxes.begin(), bottomBoxes.end());
    boxes.push_back(layout.bottom.captionBox);
    boxes.push_back(layout.left.captionBox);
    for (size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_TRUE(control.contains(boxes[i])) << i;
      EXPECT_FALSE(boxes[i].intersects(layout.plot)) << i;
      for (size_t j = i + 1; j < boxes.size(); ++j) EXPECT_FALSE(boxes[i].intersects(boxes[j])) << i << " " << j;
    }
    QStringList labels;
    for (const TickMark& tick : layout.bottom.ticks) labels << tick.label;
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size()) << labels.join(" ").toStdString();
  }
}

TEST(ChartLayout, RangesAtTheEdgesOfDoubleGetTicksOnTheirAxisOrNone) {
  const QFontMetrics metrics(QApplication::font());
  struct Edge {
    AxisRange range;
    bool ticked;
  };
  // A denormal span, and one wider than the largest double, have no step to tick at.
  for (const Edge& edge : {Edge{{0, 4.9e-324}, false}, Edge{{1.3e-318, 1.1e-314}, false},
                           Edge{{0, 1e307}, true}, Edge{{-1e308, 1e308}, false},
                           Edge{{0, 1.7976931348623157e308}, true}, Edge{{1e300, 1.0000000001e300}, true}}) {
    SCOPED_TRACE(edge.range.maximum);
    const ChartLayout layout = LayOutChart(QRect(0, 0, 808, 854), metrics, {edge.range, "dBm"}, {edge.range, "MHz"});
    EXPECT_EQ(!layout.left.ticks.empty(), edge.ticked);
    EXPECT_EQ(!layout.bottom.ticks.empty(), edge.ticked);
    for (const TickMark& tick : layout.left.ticks)
      EXPECT_TRUE(tick.pixel >= layout.plot.top() && tick.pixel <= layout.plot.bottom()) << tick.pixel;
    for (const TickMark& tick : layout.bottom.ticks)
      EXPECT_TRUE(tick.pixel >= layout.plot.left() && tick.pixel <= layout.plot.right()) << tick.pixel;
  }
}

TEST(ChartLayout, LeavesMarginsOfTwoPercentAboveAndBelowOnly) {
  const QFontMetrics metrics(QApplication::font());
  const ChartLayout layout = LayOutChart(QRect(0, 0, 1000, 1000), metrics, {{0, 1}, "dBm"}, {{0, 1}, "MHz"});
  EXPECT_EQ(layout.chartArea, QRect(0, 20, 1000, 960));
}

// A 100 × 100 plot whose pixels are the values.
class PlotLines : public ::testing::Test {
 protected:
  const QRect plot{0, 0, 101, 101};
  const AxisMap x{{0, 100}, 0, 100};
  const AxisMap y{{0, 100}, 100, 0};

  std::vector<QPolygon> Lines(std::vector<std::pair<double, double>> values) {
    std::vector<ChartPoint> points;
    for (auto [px, py] : values) points.push_back({px, py, {}, {}});
    return VisiblePolylines(points, x, y, plot);
  }
};

TEST_F(PlotLines, SkipPointsOnThePixelOfThePointBefore) {
  const auto lines = Lines({{10, 10}, {10.2, 10.3}, {9.8, 9.9}, {20, 10}, {20.4, 10}, {20, 30}});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], QPolygon({QPoint(10, 90), QPoint(20, 90), QPoint(20, 70)}));
  EXPECT_TRUE(Lines({{50, 50}}).empty());
  EXPECT_TRUE(Lines({{50, 50}, {50.1, 50.1}}).empty());
}

TEST_F(PlotLines, CutSegmentsAtThePlotEdgesAndBreakWhereTheyLeave) {
  const auto lines = Lines({{-1e12, 50}, {50, 50}, {50, 1e300}, {60, 1e300}, {60, 40}, {70, 40}});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], QPolygon({QPoint(0, 50), QPoint(50, 50), QPoint(50, 0)}));
  EXPECT_EQ(lines[1], QPolygon({QPoint(60, 0), QPoint(60, 60), QPoint(70, 60)}));
  EXPECT_TRUE(Lines({{-10, -10}, {-20, 200}, {200, 200}}).empty());
  EXPECT_TRUE(Lines({{0, std::nan("")}, {50, 50}}).empty());
}

}  // namespace
