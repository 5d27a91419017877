#pragma once
// A chart of a fixed size, shown offscreen, and a mouse that drags on it.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "chart/chart.h"

class ShownChart : public ::testing::Test {
 protected:
  ShownChart() {
    chart.resize(800, 600);
    chart.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
  }

  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(chart.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&chart, &event);
  }

  void Press(QPoint at, Qt::MouseButton button) { Send(QEvent::MouseButtonPress, at, button, button); }
  void MoveHolding(QPoint at, Qt::MouseButton button) { Send(QEvent::MouseMove, at, Qt::NoButton, button); }
  void Release(QPoint at, Qt::MouseButton button) { Send(QEvent::MouseButtonRelease, at, button, Qt::NoButton); }

  void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    Press(from, button);
    MoveHolding((from + to) / 2, button);
    MoveHolding(to, button);
    Release(to, button);
  }

  QPoint PlotCentre() const { return chart.PlotRect().center(); }

  TChart chart;
};
