#include <gtest/gtest.h>

#include "chart_test_support.h"

namespace {

struct Limits {
  double left0, left1, bottom0, bottom1;
  bool operator==(const Limits&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Limits& l) {
  return out << "left " << l.left0 << ".." << l.left1 << ", bottom " << l.bottom0 << ".." << l.bottom1;
}

class ChartMouse : public ShownChart {
 protected:
  Limits Current() {
    return {chart.LeftAxis().Minimum(), chart.LeftAxis().Maximum(), chart.BottomAxis().Minimum(),
            chart.BottomAxis().Maximum()};
  }
  const Limits initial{-10000, 10000, -10000, 10000};
};

TEST_F(ChartMouse, ZoomsIntoARectangleDraggedToTheLowerRight) {
  const QPoint from = PlotCentre();
  const QPoint to = from + QPoint(17, 17);
  const QPointF topLeft = chart.PixelToValue(from);
  const QPointF bottomRight = chart.PixelToValue(to);
  Drag(from, to);
  EXPECT_EQ(Current(), (Limits{bottomRight.y(), topLeft.y(), topLeft.x(), bottomRight.x()}));
}

TEST_F(ChartMouse, IgnoresARectangleOfSixteenPixelsOrLessEitherWay) {
  Drag(PlotCentre(), PlotCentre() + QPoint(16, 40));
  EXPECT_EQ(Current(), initial);
  Drag(PlotCentre(), PlotCentre() + QPoint(40, 16));
  EXPECT_EQ(Current(), initial);
}

TEST_F(ChartMouse, UndoesTheZoomOnADragInAnyOtherDirection) {
  for (const QPoint away : {QPoint(-40, -40), QPoint(40, -40), QPoint(-40, 40)}) {
    Drag(PlotCentre(), PlotCentre() + QPoint(40, 40));
    ASSERT_NE(Current(), initial);
    Drag(PlotCentre(), PlotCentre() + away);
    EXPECT_EQ(Current(), initial) << away.x() << "," << away.y();
  }
}

TEST_F(ChartMouse, UndoBringsBackTheLimitsBeforeTheFirstOfSeveralZoomsOnce) {
  chart.LeftAxis().SetMinimum(-500);
  const Limits before = Current();
  Drag(PlotCentre() - QPoint(100, 100), PlotCentre() + QPoint(100, 100));
  Drag(PlotCentre(), PlotCentre() + QPoint(50, 30));
  chart.UndoZoom();
  EXPECT_EQ(Current(), before);

  // The program's own limits after an undo are not taken back by a second one.
  chart.LeftAxis().SetMaximum(700);
  chart.UndoZoom();
  EXPECT_EQ(Current(), (Limits{-500, 700, -10000, 10000}));
}

TEST_F(ChartMouse, WidensAZoomNarrowerThanTheLeastWidth) {
  chart.BottomAxis().SetMinimum(5);
  chart.BottomAxis().SetMaximum(5);
  Drag(PlotCentre(), PlotCentre() + QPoint(30, 30));
  EXPECT_EQ(chart.BottomAxis().Minimum(), 5);
  EXPECT_EQ(chart.BottomAxis().Maximum(), 5 + 1e-10);
}

TEST_F(ChartMouse, PanShiftsBothAxesSoThatThePlotStaysUnderTheMouse) {
  const QPoint from = PlotCentre();
  const QPoint to = from + QPoint(30, -20);
  const QPointF grabbed = chart.PixelToValue(from);
  const QPointF shift = grabbed - chart.PixelToValue(to);
  Drag(from, to, Qt::RightButton);

  EXPECT_DOUBLE_EQ(chart.BottomAxis().Minimum(), -10000 + shift.x());
  EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 10000 + shift.x());
  EXPECT_DOUBLE_EQ(chart.LeftAxis().Minimum(), -10000 + shift.y());
  EXPECT_DOUBLE_EQ(chart.LeftAxis().Maximum(), 10000 + shift.y());
  EXPECT_LT(shift.x(), 0);  // dragged right: the view moves to lower values
  EXPECT_LT(shift.y(), 0);  // dragged up: the same

  const QPointF underMouse = chart.PixelToValue(to);
  EXPECT_NEAR(underMouse.x(), grabbed.x(), 1e-9);
  EXPECT_NEAR(underMouse.y(), grabbed.y(), 1e-9);

  chart.UndoZoom();
  EXPECT_EQ(Current(), initial);
}

TEST_F(ChartMouse, PanEndsWhenTheMouseLeavesThePlot) {
  const QRect plot = chart.PlotRect();
  Press(plot.center(), Qt::RightButton);
  MoveHolding(QPoint(plot.left() - 5, plot.center().y()), Qt::RightButton);
  MoveHolding(plot.center() + QPoint(50, 50), Qt::RightButton);
  Release(plot.center() + QPoint(50, 50), Qt::RightButton);
  EXPECT_EQ(Current(), initial);
}

}  // namespace
