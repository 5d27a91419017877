#include "capture/display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace {

constexpr double BinWidth150 = 150.0 / 1024;  // MHz per bin at 150 MHz

// The spectrum of a constant block in bin 0, by hand: the window's weights
// sum to 512.5 and the input is divided by 22.627417 before the transform.
double ConstantDb(double sample) { return 20 * std::log10(sample * 512.5 / 22.627417 + 1e-10); }

std::size_t LargestAt(const std::vector<DisplayPoint>& graph) {
  const auto byY = [](const DisplayPoint& a, const DisplayPoint& b) { return a.y < b.y; };
  return std::max_element(graph.begin(), graph.end(), byY) - graph.begin();
}

class Display : public ::testing::Test {
 protected:
  void FillSlot0(const std::function<double(int)>& sampleI, const std::function<double(int)>& sampleQ) {
    for (int k = 0; k < BlockLength; ++k) {
      history.HistoryI[k] = static_cast<std::int32_t>(std::lround(sampleI(k)));
      history.HistoryQ[k] = static_cast<std::int32_t>(std::lround(sampleQ(k)));
    }
  }

  void FillTone(int cycles, double qSign) {
    const auto phase = [cycles](int k) { return 2 * std::numbers::pi * cycles * k / BlockLength; };
    FillSlot0([&](int k) { return 1000 * std::cos(phase(k)); },
              [&](int k) { return qSign * 1000 * std::sin(phase(k)); });
  }

  const DisplayPoints& Show() {
    ComputeDisplay(settings, history, smoothed, out);
    return out;
  }

  // The spectrum of the block without any memory of earlier ones.
  DisplayPoints Plain() const {
    DisplaySettings once = settings;
    once.Average = false;
    SmoothedSpectrum fresh;
    DisplayPoints points;
    ComputeDisplay(once, history, fresh, points);
    return points;
  }

  DisplaySettings settings;
  SampleHistory history;
  SmoothedSpectrum smoothed;
  DisplayPoints out;
};

TEST_F(Display, AnEmptyBlockShowsTheFloorInEveryBin) {
  settings.Spectrum = true;
  for (const bool complex : {false, true}) {
    for (const bool realAxis : {false, true}) {
      settings.ComplexFft = complex;
      settings.RealAxis = realAxis;
      const DisplayPoints& points = Show();
      ASSERT_EQ(points.graph1.size(), complex ? 1024u : 512u);
      ASSERT_EQ(points.graph2.size(), points.graph1.size());
      for (const auto* graph : {&points.graph1, &points.graph2})
        for (const DisplayPoint& p : *graph) ASSERT_NEAR(p.y, realAxis ? -280 : -200, 1e-9);
    }
  }
}

TEST_F(Display, RealSpectrumOfAConstantPeaksInBinZero) {
  settings.Spectrum = true;
  FillSlot0([](int) { return 1; }, [](int) { return 0; });
  const DisplayPoints& points = Show();
  EXPECT_NEAR(points.graph1[0].y, ConstantDb(1), 1e-9);
  EXPECT_NEAR(points.graph1[0].y, 27.10, 0.005);
  EXPECT_NEAR(points.graph1[1].y, 21.07, 0.005);
  for (int j = 0; j < 512; ++j) {
    ASSERT_EQ(points.graph1[j].x, j);
    ASSERT_NEAR(points.graph2[j].y, -200, 1e-9);  // Q has its own transform
  }
}

TEST_F(Display, ComplexSpectrumPutsZeroFrequencyInTheMiddle) {
  settings.Spectrum = settings.ComplexFft = true;
  FillTone(5, +1);
  const DisplayPoints& rising = Show();
  const std::size_t peak = LargestAt(rising.graph1);
  EXPECT_EQ(peak, 517u);
  EXPECT_EQ(rising.graph1[peak].x, 5);
  EXPECT_NEAR(rising.graph1[peak].y, 87.10, 0.01);
  for (int j = 0; j < 1024; ++j) {
    ASSERT_EQ(rising.graph1[j].x, j - 512);
    ASSERT_EQ(rising.graph2[j].y, rising.graph1[j].y);  // one spectrum on both graphs
  }

  FillTone(5, -1);
  const DisplayPoints& falling = Show();
  EXPECT_EQ(falling.graph1[LargestAt(falling.graph1)].x, -5);
}

TEST_F(Display, RealAxisShowsMegahertzAndDbm) {
  settings.Spectrum = settings.ComplexFft = true;
  FillTone(5, +1);
  const DisplayPoints inBins = Plain();
  settings.RealAxis = true;
  const DisplayPoints& complex = Show();
  ASSERT_EQ(complex.graph1.size(), 1024u);
  EXPECT_DOUBLE_EQ(complex.graph1.front().x, -75);
  EXPECT_DOUBLE_EQ(complex.graph1.back().x, 75 - BinWidth150);
  for (int j = 0; j < 1024; ++j) {
    ASSERT_DOUBLE_EQ(complex.graph1[j].x, -75 + j * BinWidth150);
    ASSERT_DOUBLE_EQ(complex.graph2[j].x, complex.graph1[j].x);
    ASSERT_DOUBLE_EQ(complex.graph1[j].y, inBins.graph1[j].y - 80);
    ASSERT_DOUBLE_EQ(complex.graph2[j].y, inBins.graph2[j].y - 80);
  }

  settings.ComplexFft = false;
  const DisplayPoints& real = Show();
  ASSERT_EQ(real.graph1.size(), 512u);
  EXPECT_EQ(real.graph1.front().x, 0);
  EXPECT_DOUBLE_EQ(real.graph1.back().x, 75 - BinWidth150);
  for (int j = 0; j < 512; ++j) ASSERT_DOUBLE_EQ(real.graph2[j].x, j * BinWidth150);
}

TEST_F(Display, TimeDisplayShowsTheRawSamples) {
  FillSlot0([](int k) { return k - 600; }, [](int k) { return 3 * k; });
  const DisplayPoints& byIndex = Show();
  ASSERT_EQ(byIndex.graph1.size(), 1024u);
  ASSERT_EQ(byIndex.graph2.size(), 1024u);
  EXPECT_TRUE(byIndex.constellation.empty());
  for (int j = 0; j < 1024; ++j) {
    ASSERT_EQ(byIndex.graph1[j].x, j);
    ASSERT_EQ(byIndex.graph1[j].y, j - 600);
    ASSERT_EQ(byIndex.graph2[j].y, 3 * j);
  }

  settings.RealAxis = true;
  const DisplayPoints& inMicroseconds = Show();
  EXPECT_DOUBLE_EQ(inMicroseconds.graph1[150].x, 1);
  EXPECT_DOUBLE_EQ(inMicroseconds.graph2[1023].x, 1023 / 150.0);
  EXPECT_EQ(inMicroseconds.graph1[1023].y, 1023 - 600);
}

TEST_F(Display, WithoutAUsableSampleRateSamplesAndBinsKeepTheirIndex) {
  settings.RealAxis = true;
  for (const double rate : {0.0, 1e-320, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()}) {
    settings.FreqMHz = rate;
    for (const bool spectrum : {false, true}) {
      settings.Spectrum = spectrum;
      const DisplayPoints& points = Show();
      ASSERT_EQ(points.graph1.size(), spectrum ? 512u : 1024u);
      for (std::size_t j = 0; j < points.graph1.size(); ++j) ASSERT_EQ(points.graph1[j].x, j) << rate;
    }
  }
}

TEST_F(Display, AveragingMovesFivePercentTowardEachNewSpectrum) {
  settings.Spectrum = true;
  FillSlot0([](int) { return 1; }, [](int) { return 10; });
  Show();  // averaging off: the stored values are this spectrum

  settings.Average = true;
  FillSlot0([](int) { return 100; }, [](int) { return 1; });
  double expectedI = ConstantDb(1), expectedQ = ConstantDb(10);
  for (int step = 0; step < 2; ++step) {  // the same block averaged twice
    expectedI = 0.05 * ConstantDb(100) + 0.95 * expectedI;
    expectedQ = 0.05 * ConstantDb(1) + 0.95 * expectedQ;
    const DisplayPoints& points = Show();
    EXPECT_NEAR(points.graph1[0].y, expectedI, 1e-9) << step;
    EXPECT_NEAR(points.graph2[0].y, expectedQ, 1e-9) << step;
  }
  EXPECT_NEAR(smoothed.S1[0], expectedI, 1e-9);

  settings.Average = false;
  const DisplayPoints& plain = Show();
  EXPECT_NEAR(plain.graph1[0].y, ConstantDb(100), 1e-9);
  EXPECT_NEAR(plain.graph2[0].y, ConstantDb(1), 1e-9);
}

TEST_F(Display, ConstellationShowsSlotZeroOrAllTenSlots) {
  settings.QamMode = true;
  for (int i = 0; i < HistoryLength; ++i) {
    history.HistoryI[i] = i - 5000;
    history.HistoryQ[i] = 7 * (i % 1000);
  }
  const DisplayPoints& newest = Show();
  ASSERT_EQ(newest.constellation.size(), 1024u);
  EXPECT_TRUE(newest.graph1.empty());
  EXPECT_TRUE(newest.graph2.empty());

  settings.Average = true;
  const DisplayPoints& all = Show();
  ASSERT_EQ(all.constellation.size(), 10240u);
  for (int i = 0; i < HistoryLength; ++i) {
    ASSERT_EQ(all.constellation[i].x, i - 5000);
    ASSERT_EQ(all.constellation[i].y, 7 * (i % 1000));
  }
}

TEST_F(Display, ConstellationStillAdvancesTheSpectrumAverage) {
  settings.Spectrum = true;
  FillSlot0([](int) { return 1; }, [](int) { return 0; });
  Show();
  settings.QamMode = settings.Average = true;
  FillSlot0([](int) { return 100; }, [](int) { return 0; });
  const DisplayPoints& points = Show();
  EXPECT_TRUE(points.graph1.empty());
  EXPECT_TRUE(points.graph2.empty());
  EXPECT_EQ(points.constellation.size(), 10240u);
  EXPECT_NEAR(smoothed.S1[0], 0.05 * ConstantDb(100) + 0.95 * ConstantDb(1), 1e-9);
}

TEST_F(Display, ShowsOnlyTheGraphsThatAreSwitchedOn) {
  for (const bool spectrum : {false, true}) {
    settings.Spectrum = spectrum;
    settings.Graph1 = false;
    EXPECT_TRUE(Show().graph1.empty());
    EXPECT_FALSE(out.graph2.empty());
    settings.Graph2 = false;
    Show();
    EXPECT_TRUE(out.graph1.empty() && out.graph2.empty() && out.constellation.empty());
    settings.Graph1 = settings.Graph2 = true;
  }
}

void ExpectLimits(const DisplayLimits& actual, const DisplayLimits& expected) {
  for (const auto range : {&DisplayLimits::x, &DisplayLimits::y}) {
    EXPECT_NEAR((actual.*range).minimum, (expected.*range).minimum, 1e-9);
    EXPECT_NEAR((actual.*range).maximum, (expected.*range).maximum, 1e-9);
  }
}

}  // namespace

TEST(DisplayLimits, FittedToEveryPointWithAMarginNeverEmpty) {
  struct Row {
    DisplayPoints points;
    DisplayLimits fitted;
  };
  const Row rows[] = {
      {{{{0, 0}, {10, 100}}, {{20, -100}}, {}, {}}, {{-1, 21}, {-110, 110}}},
      {{{}, {}, {{-4, 3}, {4, 3}}, {}}, {{-4.4, 4.4}, {2.85, 3.15}}},  // flat: 5 % of its value
      {{{}, {}, {{0, -20}}, {}}, {{-1, 1}, {-21, -19}}},
      {{}, {{-1, 1}, {-1, 1}}},
  };
  for (const Row& row : rows) ExpectLimits(FittedLimits(row.points), row.fitted);
}

TEST(DisplayLimits, EqualScalesWidenOneAxisAboutItsCentre) {
  struct Row {
    DisplayLimits limits;
    double width, height;
    DisplayLimits equal;
  };
  const Row rows[] = {
      {{{-1, 1}, {-1, 1}}, 200, 100, {{-2, 2}, {-1, 1}}},
      {{{0, 10}, {0, 10}}, 100, 200, {{0, 10}, {-5, 15}}},
      {{{0, 4}, {10, 12}}, 100, 100, {{0, 4}, {9, 13}}},
  };
  for (const Row& row : rows)
    ExpectLimits(EqualScales(row.limits, row.width, row.height), row.equal);
}

TEST(AxisTitles, TheFirstMatchingModeNamesBothAxes) {
  for (bool realAxis : {false, true})
    for (bool spectrum : {false, true})
      EXPECT_EQ(AxisTitlesFor(true, realAxis, spectrum), (AxisTitles{"Amp, uV", "Amp, uV"}));
  EXPECT_EQ(AxisTitlesFor(false, true, true), (AxisTitles{"Power, dBm", "Freq, MHz"}));
  EXPECT_EQ(AxisTitlesFor(false, true, false), (AxisTitles{"Amp, uV", "Time, us"}));
  EXPECT_EQ(AxisTitlesFor(false, false, true), (AxisTitles{"Power, dB", "Freq, 1/sample"}));
  EXPECT_EQ(AxisTitlesFor(false, false, false), (AxisTitles{"Amp. uV", "Time, sample"}));
}
