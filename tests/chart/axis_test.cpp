#include <gtest/gtest.h>

#include "chart/chart.h"

namespace {

void ExpectRange(TChartAxis& axis, double minimum, double maximum) {
  EXPECT_EQ(axis.Minimum(), minimum);
  EXPECT_EQ(axis.Maximum(), maximum);
}

TEST(ChartAxis, StartsAtPlusMinusTenThousandWithItsTitles) {
  TChart chart;
  ExpectRange(chart.LeftAxis(), -10000, 10000);
  ExpectRange(chart.BottomAxis(), -10000, 10000);
  EXPECT_EQ(chart.LeftAxis().Title(), "dBm");
  EXPECT_EQ(chart.BottomAxis().Title(), "MHz");
  chart.BottomAxis().SetTitle("Time, sample");
  EXPECT_EQ(chart.BottomAxis().Title(), "Time, sample");
}

TEST(ChartAxis, RefusesAMaximumBelowTheMinimumAndKeepsItsRange) {
  TChart chart;
  TChartAxis& axis = chart.LeftAxis();
  axis.SetMaximum(20);
  axis.SetMinimum(10);
  try {
    axis.SetMaximum(5);
    FAIL() << "a maximum of 5 under a minimum of 10 was accepted";
  } catch (const ChartAxisError& error) {
    EXPECT_STREQ(error.what(), "Axis Maximum Value must be >= Minimum");
  }
  ExpectRange(axis, 10, 20);
}

TEST(ChartAxis, RefusesAMinimumAboveTheMaximumAndKeepsItsRange) {
  TChart chart;
  TChartAxis& axis = chart.BottomAxis();
  try {
    axis.SetMinimum(10001);
    FAIL() << "a minimum above the maximum was accepted";
  } catch (const std::runtime_error& error) {  // what the standard error box catches
    EXPECT_STREQ(error.what(), "Axis Minimum Value must be <= Maximum");
  }
  ExpectRange(axis, -10000, 10000);
}

TEST(ChartAxis, AppliesARangeBelowTheCurrentOneOnlyMinimumFirst) {
  TChart chart;
  EXPECT_THROW(chart.LeftAxis().SetMaximum(-20000), ChartAxisError);
  ExpectRange(chart.LeftAxis(), -10000, 10000);

  chart.LeftAxis().SetMinimum(-50000);
  chart.LeftAxis().SetMaximum(-20000);
  ExpectRange(chart.LeftAxis(), -50000, -20000);
}

TEST(ChartAxis, AcceptsAMinimumEqualToTheMaximumFromEitherSetter) {
  TChart chart;
  chart.LeftAxis().SetMinimum(10000);
  ExpectRange(chart.LeftAxis(), 10000, 10000);
  chart.BottomAxis().SetMaximum(-10000);
  ExpectRange(chart.BottomAxis(), -10000, -10000);
}

TEST(ChartSeries, AreFourFastLinesAndAPointSeriesInTheirColours) {
  TChart chart;
  EXPECT_EQ(chart.Series1().Colour(), QColor(255, 0, 0));
  EXPECT_EQ(chart.Series2().Colour(), QColor(0, 128, 64));
  EXPECT_EQ(chart.Series3().Colour(), QColor(0, 0, 160));
  EXPECT_EQ(chart.Series4().Colour(), QColor(128, 64, 0));
  for (TChartSeries* line : {&chart.Series1(), &chart.Series2(), &chart.Series3(), &chart.Series4()})
    EXPECT_EQ(line->Kind(), SeriesKind::FastLine);
  EXPECT_EQ(chart.Series5().Kind(), SeriesKind::Point);
}

}  // namespace
