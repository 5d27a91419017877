#pragma once
// The x/y plot control of the capture window: two axes whose limits only
// the program and the user's mouse change, four line series and a point
// series, and the mouse zoom, pan and undo.
#include <QWidget>
#include <array>
#include <optional>

#include "chart/axis.h"
#include "chart/backdrop.h"
#include "chart/layout.h"
#include "chart/series.h"
#include "chart/seriespainter.h"

class TChart : public QWidget {
  Q_OBJECT

 public:
  explicit TChart(QWidget* parent = nullptr);

  TChartAxis& LeftAxis() { return leftAxis_; }
  TChartAxis& BottomAxis() { return bottomAxis_; }

  // In the order of the chart's series list: four fast lines, then points.
  TChartSeries& Series1() { return series_[0]; }
  TChartSeries& Series2() { return series_[1]; }
  TChartSeries& Series3() { return series_[2]; }
  TChartSeries& Series4() { return series_[3]; }
  TChartSeries& Series5() { return series_[4]; }

  // Brings back the limits in force before the first zoom or pan since the
  // last undo; with nothing to bring back it only redraws.
  void UndoZoom();

  // The rectangle the axes map onto (edges inclusive), and the mapping: x
  // on the bottom axis, y on the left axis.
  QRect PlotRect() const;
  QPointF ValueToPixel(double x, double y) const;
  QPointF PixelToValue(QPointF pixel) const;

  // A point marked with a small triangle and its value, or none.
  void SetMark(std::optional<QPointF> value);
  std::optional<QPointF> Mark() const { return mark_; }

  // A value in the axes' units, each the last word of its axis title:
  // "5.41992 MHz, -42.1 dBm".
  QString ValueText(QPointF value) const;
  // What the tooltip says with the mouse at `pixel`: the value of the
  // nearest point of any series, or nothing off the plot or without points.
  QString HoverText(QPoint pixel) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Gesture { None, Zoom, Pan };
  struct Limits {
    AxisRange left;
    AxisRange bottom;
  };

  ChartLayout Layout() const;
  AxisSetting LeftSetting() const;
  AxisSetting BottomSetting() const;
  BackdropSetting BackdropSettingFor(const QPaintDevice& target) const;
  void RequestRedraw();
  void RememberLimits();
  void FinishZoomRectangle(QPoint from, QPoint to);
  void ZoomInto(QPoint topLeft, QPoint bottomRight);
  void Pan(QPoint from, QPoint to);
  void DrawSeries(QPainter& painter, const ChartLayout& layout);
  void DrawZoomRectangle(QPainter& painter) const;
  void DrawMark(QPainter& painter, const ChartLayout& layout) const;

  TChartAxis leftAxis_;
  TChartAxis bottomAxis_;
  std::array<TChartSeries, 5> series_;

  // Zoom memory: the limits before the first zoom or pan since the last undo.
  Limits saved_{};
  bool restored_ = true;

  Gesture gesture_ = Gesture::None;
  QPoint dragStart_;
  QPoint dragLast_;

  std::optional<QPointF> mark_;

  bool redrawPending_ = false;
  Backdrop backdrop_;
  MarkerPainter markers_;
};
