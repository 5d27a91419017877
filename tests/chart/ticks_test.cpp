#include "chart/ticks.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>

namespace {

QStringList Labels(const AxisTicks& ticks) {
  QStringList labels;
  for (const Tick& tick : ticks.ticks) labels << tick.label;
  return labels;
}

void ExpectStep(double rough, int mantissa, int exponent) {
  const TickStep step = NiceStepAtLeast(rough);
  EXPECT_EQ(step.mantissa, mantissa) << rough;
  EXPECT_EQ(step.exponent, exponent) << rough;
}

TEST(TickStep, IsTheSmallestOneTwoOrFiveTimesAPowerOfTenNotBelowTheRoughStep) {
  ExpectStep(1, 1, 0);
  ExpectStep(0.2, 2, -1);  // not pushed to 5 by rounding
  ExpectStep(3e-11, 5, -11);
  ExpectStep(1.7e-12, 2, -12);
  ExpectStep(1.1e6, 2, 6);
  ExpectStep(4.2e9, 5, 9);
  ExpectStep(5.01e9, 1, 10);
}

TEST(TickLabels, CountWholeStepsWithTheSameDecimals) {
  EXPECT_EQ(Labels(MakeTicks(-10000, 10000, {5, 3})), QStringList({"-10000", "-5000", "0", "5000", "10000"}));
  EXPECT_EQ(Labels(MakeTicks(-0.1, 1, {2, -1})), QStringList({"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
  EXPECT_EQ(Labels(MakeTicks(0, 2047, {5, 2})), QStringList({"0", "500", "1000", "1500", "2000"}));
}

TEST(TickLabels, TurnScientificForTinyAndHugeValues) {
  EXPECT_EQ(Labels(MakeTicks(0, 1e-10, {2, -11})),
            QStringList({"0", "2e-11", "4e-11", "6e-11", "8e-11", "1e-10"}));
  EXPECT_EQ(Labels(MakeTicks(-3e7, 5e7, {2, 7})), QStringList({"-2e7", "0", "2e7", "4e7"}));
  EXPECT_EQ(Labels(MakeTicks(0, 5e6, {2, 6})), QStringList({"0", "2000000", "4000000"}));
  EXPECT_EQ(Labels(MakeTicks(1e-6, 1.6e-6, {2, -7})).first(), "1e-6");
  EXPECT_EQ(Labels(MakeTicks(1e-6, 1.6e-6, {2, -7})).last(), "1.6e-6");
}

TEST(TickLabels, CountFromAnOffsetWhenTheRangeLiesFarFromZero) {
  const double minimum = 1e6;
  const double maximum = 1e6 + 1e-9;
  const AxisTicks ticks = MakeTicks(minimum, maximum, {2, -10});
  EXPECT_EQ(ticks.offset, "+1000000");
  EXPECT_EQ(Labels(ticks), QStringList({"0", "2e-10", "4e-10", "6e-10", "8e-10", "1e-9"}));
  // The positions come from the exact distances, not from the unrepresentable values.
  for (size_t i = 0; i < ticks.ticks.size(); ++i) EXPECT_NEAR(ticks.ticks[i].fromMinimum, i * 2e-10, 1e-22);

  // Two neighbouring doubles: the offset's decimal value lies between them,
  // 2.8677425e-11 above the minimum, and the ticks are placed from it.
  const double low = 1000000.0000000009;
  const AxisTicks between = MakeTicks(low, std::nextafter(low, 2e6), {5, -12});
  EXPECT_EQ(between.offset, "+1.00000000000000096e6");
  ASSERT_FALSE(between.ticks.empty());
  for (const Tick& tick : between.ticks)
    EXPECT_NEAR(tick.fromMinimum, tick.label.toDouble() + 2.8677425e-11, 1e-17) << tick.label.toStdString();

  const AxisTicks negative = MakeTicks(-1234567.9, -1234567.89, {2, -3});
  EXPECT_EQ(negative.offset, "-1234567.9");
  EXPECT_EQ(Labels(negative).first(), "0.000");
  EXPECT_EQ(Labels(negative).last(), "0.010");
}

TEST(TickLabels, StayAbsoluteWhileEightDigitsSuffice) {
  const AxisTicks ticks = MakeTicks(1000000, 1000010, {2, 0});
  EXPECT_TRUE(ticks.offset.isEmpty());
  EXPECT_EQ(Labels(ticks).first(), "1000000");
  EXPECT_EQ(Labels(ticks).last(), "1000010");
}

TEST(TickLabels, GiveAZeroWidthRangeOneTickAndAnUnboundedOneNone) {
  const AxisTicks single = MakeTicks(5, 5, {1, 0});
  ASSERT_EQ(single.ticks.size(), 1u);
  EXPECT_EQ(single.ticks[0].label, "5");
  EXPECT_EQ(single.ticks[0].fromMinimum, 0);

  EXPECT_TRUE(MakeTicks(-1e308, 1e308, {1, 0}).ticks.empty());
  EXPECT_TRUE(MakeTicks(0, std::numeric_limits<double>::infinity(), {1, 0}).ticks.empty());
}

}  // namespace
