#include "chart/chart.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>

namespace {

// A zoom rectangle of this extent or less, either way, is a slip of the hand.
constexpr int LeastZoomExtent = 16;
// The narrowest range a zoom applies.
constexpr double LeastZoomWidth = 1e-10;

AxisRange ZoomRange(double first, double second) {
  if (first > second) std::swap(first, second);
  return {first, std::max(second, first + LeastZoomWidth)};
}

AxisRange Shifted(AxisRange range, double by) { return {range.minimum + by, range.maximum + by}; }

QString Unit(const QString& title) { return title.section(QLatin1Char(' '), -1); }

// The box moved as little as it takes to lie inside the area, where it fits.
QRect Inside(QRect box, const QRect& area) {
  box.moveLeft(std::clamp(box.left(), area.left(), std::max(area.left(), area.right() + 1 - box.width())));
  box.moveTop(std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() + 1 - box.height())));
  return box;
}

// The mark: a triangle this many pixels high, its tip on the point.
constexpr int MarkSize = 6;

// An image keeps its own format; other devices (a printer, a picture) take
// the one the raster engine paints fastest.
QImage::Format FormatOf(const QPaintDevice& target) {
  return target.devType() == QInternal::Image ? static_cast<const QImage&>(target).format()
                                              : QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

TChart::TChart(QWidget* parent)
    : QWidget(parent),
      leftAxis_(QStringLiteral("dBm"), [this] { RequestRedraw(); }),
      bottomAxis_(QStringLiteral("MHz"), [this] { RequestRedraw(); }),
      series_{TChartSeries(SeriesKind::FastLine, QColor(255, 0, 0), [this] { RequestRedraw(); }),
              TChartSeries(SeriesKind::FastLine, QColor(0, 128, 64), [this] { RequestRedraw(); }),
              TChartSeries(SeriesKind::FastLine, QColor(0, 0, 160), [this] { RequestRedraw(); }),
              TChartSeries(SeriesKind::FastLine, QColor(128, 64, 0), [this] { RequestRedraw(); }),
              // Its points carry their own colours.
              TChartSeries(SeriesKind::Point, QColor(), [this] { RequestRedraw(); })} {
  // Every pixel is painted here: the backdrop covers the whole control, the
  // plot in the window colour, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);  // for the value under the mouse
}

void TChart::UndoZoom() {
  if (!restored_) {
    leftAxis_.AssignRange(saved_.left);
    bottomAxis_.AssignRange(saved_.bottom);
    restored_ = true;
  }
  RequestRedraw();
}

QRect TChart::PlotRect() const { return Layout().plot; }

QPointF TChart::ValueToPixel(double x, double y) const {
  const ChartLayout layout = Layout();
  return {layout.bottom.map.ToPixel(x), layout.left.map.ToPixel(y)};
}

QPointF TChart::PixelToValue(QPointF pixel) const {
  const ChartLayout layout = Layout();
  return {layout.bottom.map.ToValue(pixel.x()), layout.left.map.ToValue(pixel.y())};
}

void TChart::SetMark(std::optional<QPointF> value) {
  if (value == mark_) return;
  mark_ = value;
  RequestRedraw();
}

QString TChart::ValueText(QPointF value) const {
  return QStringLiteral("%1 %2, %3 %4")
      .arg(QString::number(value.x(), 'g', 6), Unit(bottomAxis_.Title()), QString::number(value.y(), 'g', 6),
           Unit(leftAxis_.Title()));
}

QString TChart::HoverText(QPoint pixel) const {
  const ChartLayout layout = Layout();
  if (!layout.plot.contains(pixel)) return {};
  const ChartPoint* nearest = nullptr;
  double least = 0;
  for (const TChartSeries& series : series_)
    for (const ChartPoint& point : series.Points()) {
      const double dx = layout.bottom.map.ToPixel(point.x) - pixel.x();
      const double dy = layout.left.map.ToPixel(point.y) - pixel.y();
      if (!nearest || dx * dx + dy * dy < least) {
        nearest = &point;
        least = dx * dx + dy * dy;
      }
    }
  return nearest ? ValueText({nearest->x, nearest->y}) : QString();
}

ChartLayout TChart::Layout() const { return LayOutChart(rect(), fontMetrics(), LeftSetting(), BottomSetting()); }

AxisSetting TChart::LeftSetting() const { return {leftAxis_.Range(), leftAxis_.Title()}; }

AxisSetting TChart::BottomSetting() const { return {bottomAxis_.Range(), bottomAxis_.Title()}; }

BackdropSetting TChart::BackdropSettingFor(const QPaintDevice& target) const {
  return {size(), target.devicePixelRatio(), FormatOf(target), logicalDpiY(), LeftSetting(), BottomSetting(),
          font(), palette()};
}

void TChart::RequestRedraw() {
  if (redrawPending_) return;
  redrawPending_ = true;
  update();
}

void TChart::RememberLimits() {
  if (!restored_) return;
  saved_ = {leftAxis_.Range(), bottomAxis_.Range()};
  restored_ = false;
}

void TChart::paintEvent(QPaintEvent*) {
  redrawPending_ = false;
  QPainter painter(this);
  // The engine's device is the image actually painted, which a redirected
  // paint (QWidget::render) or a backing store gives a format and pixel
  // ratio of its own.
  backdrop_.Update(BackdropSettingFor(*painter.paintEngine()->paintDevice()));
  // The default composition copies an opaque image as fast as Source does,
  // and lets a translucent window colour blend as it did when painted here.
  painter.drawImage(0, 0, backdrop_.Image());
  DrawSeries(painter, backdrop_.Layout());
  DrawMark(painter, backdrop_.Layout());
  if (gesture_ == Gesture::Zoom) DrawZoomRectangle(painter);
}

void TChart::DrawSeries(QPainter& painter, const ChartLayout& layout) {
  painter.save();
  painter.setClipRect(layout.plot);
  for (const TChartSeries& series : series_) {
    if (series.Kind() == SeriesKind::FastLine)
      DrawLineSeries(painter, series, layout.bottom.map, layout.left.map, layout.plot);
    else
      markers_.Draw(painter, series, layout.bottom.map, layout.left.map, layout.plot);
  }
  painter.restore();
}

// Above the point, the triangle and over it the value, kept inside the plot.
void TChart::DrawMark(QPainter& painter, const ChartLayout& layout) const {
  if (!mark_) return;
  const QPointF tip(layout.bottom.map.ToPixel(mark_->x()), layout.left.map.ToPixel(mark_->y()));
  if (!layout.plot.contains(tip.toPoint())) return;
  painter.save();
  painter.setClipRect(layout.plot);
  const QColor ink = palette().color(QPalette::WindowText);
  painter.setPen(ink);
  painter.setBrush(ink);
  painter.drawPolygon(QPolygonF{tip, tip + QPointF(-MarkSize / 2.0, -MarkSize), tip + QPointF(MarkSize / 2.0, -MarkSize)});
  const QString text = ValueText(*mark_);
  QRect box = painter.fontMetrics().boundingRect(text);
  box.moveCenter(tip.toPoint());
  box.moveBottom(int(tip.y()) - MarkSize - 2);
  painter.drawText(Inside(box, layout.plot), Qt::AlignCenter, text);
  painter.restore();
}

void TChart::DrawZoomRectangle(QPainter& painter) const {
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  // drawRect strokes a QRect one pixel beyond its right and bottom edges.
  painter.drawRect(QRect(dragStart_, dragLast_).normalized().adjusted(0, 0, -1, -1));
}

void TChart::mousePressEvent(QMouseEvent* event) {
  if (gesture_ != Gesture::None || event->modifiers() != Qt::NoModifier) return;
  const QPoint at = event->position().toPoint();
  const ChartLayout layout = Layout();
  // The zoom starts on the plot, an axis or a series: anywhere inside the margins.
  if (event->button() == Qt::LeftButton && layout.chartArea.contains(at))
    gesture_ = Gesture::Zoom;
  else if (event->button() == Qt::RightButton && layout.plot.contains(at))
    gesture_ = Gesture::Pan;
  dragStart_ = dragLast_ = at;
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (gesture_ == Gesture::Zoom) {
    dragLast_ = at;
    RequestRedraw();
  } else if (gesture_ == Gesture::None) {
    const QString text = HoverText(at);
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(event->globalPosition().toPoint(), text, this);
  } else if (gesture_ == Gesture::Pan) {
    if (!PlotRect().contains(at)) {
      gesture_ = Gesture::None;
      return;
    }
    Pan(dragLast_, at);
    dragLast_ = at;
  }
}

void TChart::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (gesture_ == Gesture::Zoom && event->button() == Qt::LeftButton) {
    gesture_ = Gesture::None;
    FinishZoomRectangle(dragStart_, at);
    RequestRedraw();  // the rectangle goes, whatever it did
  } else if (gesture_ == Gesture::Pan && event->button() == Qt::RightButton) {
    gesture_ = Gesture::None;
  }
}

void TChart::FinishZoomRectangle(QPoint from, QPoint to) {
  const QPoint extent = to - from;
  if (std::abs(extent.x()) <= LeastZoomExtent || std::abs(extent.y()) <= LeastZoomExtent) return;
  if (extent.x() > 0 && extent.y() > 0)
    ZoomInto(from, to);
  else
    UndoZoom();
}

void TChart::ZoomInto(QPoint topLeft, QPoint bottomRight) {
  const ChartLayout layout = Layout();
  RememberLimits();
  bottomAxis_.AssignRange(ZoomRange(layout.bottom.map.ToValue(topLeft.x()), layout.bottom.map.ToValue(bottomRight.x())));
  leftAxis_.AssignRange(ZoomRange(layout.left.map.ToValue(bottomRight.y()), layout.left.map.ToValue(topLeft.y())));
}

void TChart::Pan(QPoint from, QPoint to) {
  if (from == to) return;
  const ChartLayout layout = Layout();
  RememberLimits();
  // Shifting by the value under `from` less the value under `to` brings
  // what was under the mouse back under it.
  bottomAxis_.AssignRange(
      Shifted(bottomAxis_.Range(), layout.bottom.map.ToValue(from.x()) - layout.bottom.map.ToValue(to.x())));
  leftAxis_.AssignRange(Shifted(leftAxis_.Range(), layout.left.map.ToValue(from.y()) - layout.left.map.ToValue(to.y())));
}
