// The chart options dialog: what OK applies, in which order, and what a
// failing field leaves applied.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "chart/chart.h"
#include "app/mainform.h"
#include "windows_fixture.h"

namespace {

class ChartOptions : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    formMain->LoadLayout();
    formChartOptions->FormShow();
  }

  void SetLimits(const char* maxY, const char* maxX, const char* minY, const char* minX) {
    formChartOptions->edMaxY->setText(maxY);
    formChartOptions->edMaxX->setText(maxX);
    formChartOptions->edMinY->setText(minY);
    formChartOptions->edMinX->setText(minX);
  }

  // A zoom made with the mouse on the chart.
  void Zoom() {
    formChart->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(formChart));
    TChart& chart = *formChart->Chart;
    const QPoint from = chart.PlotRect().center();
    QTest::mousePress(&chart, Qt::LeftButton, {}, from);
    QTest::mouseMove(&chart, from + QPoint(40, 40));
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, from + QPoint(40, 40));
  }

  TChartAxis& Left() { return formChart->Chart->LeftAxis(); }
  TChartAxis& Bottom() { return formChart->Chart->BottomAxis(); }
};

}  // namespace

TEST_F(ChartOptions, UnchangedLimitsKeepTheUsersZoomAndChangedOnesUndoItFirst) {
  Zoom();
  const double zoomedMaximum = Left().Maximum();
  ASSERT_LT(zoomedMaximum, 10000);
  formChartOptions->btnOKClick();
  EXPECT_EQ(Left().Maximum(), zoomedMaximum);

  formChartOptions->FormShow();
  Zoom();
  formChartOptions->edMinX->setText("-2,5");
  formChartOptions->btnOKClick();
  EXPECT_EQ(Bottom().Minimum(), -2.5);
  EXPECT_EQ(Bottom().Maximum(), 10000);  // back from the zoom
  EXPECT_EQ(Left().Maximum(), 10000);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ChartOptions, ALimitSinglePrecisionCannotHoldAlwaysCountsAsChanged) {
  SetLimits("0.1", "10000", "-10000", "-10000");
  formChartOptions->FormShow();
  Zoom();
  formChartOptions->btnOKClick();
  EXPECT_EQ(Left().Maximum(), 0.1);
  EXPECT_EQ(Bottom().Maximum(), 10000);  // the zoom was undone
}

TEST_F(ChartOptions, FlagsFrequencyAndTitlesAreApplied) {
  formChartOptions->cbQAM->setChecked(true);
  formChartOptions->cbAxis->setChecked(true);
  formChartOptions->cbSpectrum->setChecked(true);
  formChartOptions->edFreq->setText("61,44");
  formChartOptions->btnOKClick();
  EXPECT_TRUE(formChart->Settings().QamMode);
  EXPECT_TRUE(formChart->Settings().RealAxis);
  EXPECT_EQ(formChart->Settings().FreqMHz, 61.44);
  EXPECT_EQ(Left().Title(), "Amp, uV");
  EXPECT_EQ(Bottom().Title(), "Amp, uV");

  formChartOptions->cbQAM->setChecked(false);
  formChartOptions->btnOKClick();
  EXPECT_EQ(Left().Title(), "Power, dBm");
  EXPECT_EQ(Bottom().Title(), "Freq, MHz");
}

TEST_F(ChartOptions, ABadFrequencyLeavesTheFlagsAppliedAndTheRestNot) {
  formChartOptions->cbSpectrum->setChecked(true);
  formChartOptions->edFreq->setText("fast");
  RunHandler([] { formChartOptions->btnOKClick(); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "'fast' is not a valid floating point value.");
  EXPECT_TRUE(formChart->Settings().Spectrum);
  EXPECT_EQ(formChart->Settings().FreqMHz, 150);
  EXPECT_EQ(Left().Title(), "Amp. uV");  // titles not reached
}

TEST_F(ChartOptions, ARangeBelowTheMinimumIsAppliedAndOnlyAnInvertedOneIsRefused) {
  SetLimits("-20000", "10000", "-50000", "-10000");
  formChartOptions->btnOKClick();
  EXPECT_EQ(Left().Range(), (AxisRange{-50000, -20000}));
  EXPECT_TRUE(boxes.empty());

  formChartOptions->FormShow();
  SetLimits("-20000", "10000", "-10000", "-10000");
  RunHandler([] { formChartOptions->btnOKClick(); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Axis Minimum Value must be <= Maximum.");
  EXPECT_EQ(Left().Range(), (AxisRange{-50000, -20000}));
}
