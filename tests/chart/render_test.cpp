#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSet>

#include "chart/axespainter.h"
#include "chart_test_support.h"

namespace {

QImage Rendered(TChart& chart, QImage::Format format = QImage::Format_ARGB32_Premultiplied, qreal pixelRatio = 1) {
  QImage image(chart.size() * pixelRatio, format);
  image.setDevicePixelRatio(pixelRatio);
  image.fill(Qt::black);  // anything the chart leaves unpainted would show
  chart.render(&image);
  return image;
}

class ChartPicture : public ShownChart {
 protected:
  ChartPicture() {
    chart.LeftAxis().SetMinimum(0);
    chart.LeftAxis().SetMaximum(100);
    chart.BottomAxis().SetMinimum(0);
    chart.BottomAxis().SetMaximum(100);
  }

  QImage Render() { return Rendered(chart); }

  QPoint PixelOf(double x, double y) { return chart.ValueToPixel(x, y).toPoint(); }

  // The pixels that differ between two pictures.
  static QList<QPoint> Changed(const QImage& before, const QImage& after) {
    QList<QPoint> changed;
    for (int y = 0; y < before.height(); ++y)
      for (int x = 0; x < before.width(); ++x)
        if (before.pixel(x, y) != after.pixel(x, y)) changed << QPoint(x, y);
    return changed;
  }
};

TEST_F(ChartPicture, MapsTheAxisRangesOntoThePlotEdges) {
  const QRect plot = chart.PlotRect();
  EXPECT_EQ(chart.ValueToPixel(0, 0), QPointF(plot.left(), plot.bottom()));
  EXPECT_EQ(chart.ValueToPixel(100, 100), QPointF(plot.right(), plot.top()));
  EXPECT_EQ(chart.ValueToPixel(25, 75), QPointF(plot.left() + 0.25 * (plot.width() - 1),
                                                 plot.bottom() - 0.75 * (plot.height() - 1)));
  EXPECT_EQ(chart.PixelToValue(chart.ValueToPixel(12.5, 87.5)), QPointF(12.5, 87.5));

  // Room for labels and titles, inside margins of 2 % of the height above and below.
  EXPECT_GE(plot.top(), 0.02 * chart.height());
  EXPECT_LE(plot.bottom(), 0.98 * chart.height());
  EXPECT_GT(plot.left(), 0);
  EXPECT_LT(plot.right(), chart.width() - 1);
}

TEST_F(ChartPicture, LeavesThePlotInTheWindowColour) {
  const QImage image = Render();
  EXPECT_EQ(image.pixelColor(chart.PlotRect().center() + QPoint(3, 7)), chart.palette().color(QPalette::Window));
}

TEST_F(ChartPicture, DrawsEachPointAsTheFilledDiscOfRadiusTwoInItsOwnColour) {
  const QImage empty = Render();
  const QList<QPointF> places = {{50, 50}, {10.3, 77.7}, {91.1, 8.6}, {33.3, 33.3}};
  const QList<QColor> colours = {Qt::red, Qt::blue, QColor(0, 128, 0), Qt::red};
  for (int i = 0; i < places.size(); ++i) chart.Series5().Append(places[i].x(), places[i].y(), "", colours[i]);
  const QImage drawn = Render();

  // Every pixel within radius 2 of the centre pixel, in the point's colour.
  QImage expected = empty;
  for (int i = 0; i < places.size(); ++i) {
    const QPoint centre = PixelOf(places[i].x(), places[i].y());
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx)
        if (std::abs(dx) + std::abs(dy) < 4) expected.setPixelColor(centre + QPoint(dx, dy), colours[i]);
  }
  EXPECT_EQ(drawn, expected);

  // No outline: the one disc's 21 pixels are all red, 5 wide and 5 high.
  chart.Series5().Clear();
  chart.Series5().Append(50, 50, "", Qt::red);
  const QImage single = Render();
  const QList<QPoint> disc = Changed(empty, single);
  QRect bounds;
  for (const QPoint& pixel : disc) {
    EXPECT_EQ(single.pixelColor(pixel), QColor(Qt::red));
    bounds |= QRect(pixel, QSize(1, 1));
  }
  EXPECT_EQ(bounds, QRect(PixelOf(50, 50) - QPoint(2, 2), QSize(5, 5)));
  EXPECT_EQ(disc.size(), 21);
}

TEST_F(ChartPicture, DrawsLineSeriesInTheSeriesColourNotThePointColour) {
  const QImage empty = Render();
  chart.Series2().Append(10, 40, "", QColor(0, 128, 0));
  chart.Series2().Append(90, 60, "", QColor(0, 128, 0));
  const QImage drawn = Render();
  const QList<QPoint> line = Changed(empty, drawn);

  ASSERT_FALSE(line.isEmpty());
  for (const QPoint& pixel : line) EXPECT_EQ(drawn.pixelColor(pixel), QColor(0, 128, 64));
  // One pixel wide: a gentle slope covers each column once.
  const QPoint start = PixelOf(10, 40);
  const QPoint end = PixelOf(90, 60);
  EXPECT_EQ(line.size(), end.x() - start.x() + 1);
  EXPECT_TRUE(line.contains(start));
  EXPECT_TRUE(line.contains(end));
}

TEST_F(ChartPicture, KeepsSeriesInsideThePlot) {
  const QImage empty = Render();
  chart.Series1().Append(-1e9, 50, "", Qt::red);
  chart.Series1().Append(1e300, 50, "", Qt::red);
  chart.Series5().Append(100, 100, "", Qt::red);
  const QList<QPoint> changed = Changed(empty, Render());
  const QRect plot = chart.PlotRect();
  ASSERT_FALSE(changed.isEmpty());
  for (const QPoint& pixel : changed) EXPECT_TRUE(plot.contains(pixel)) << pixel.x() << "," << pixel.y();
  EXPECT_TRUE(changed.contains(QPoint(plot.left(), PixelOf(0, 50).y())));
  EXPECT_TRUE(changed.contains(QPoint(plot.right(), PixelOf(0, 50).y())));
}

TEST_F(ChartPicture, OutlinesTheZoomRectangleWhileDragging) {
  const QImage before = Render();
  const QPoint from = chart.PlotRect().center() - QPoint(37, 23);
  const QPoint to = from + QPoint(60, 40);
  Press(from, Qt::LeftButton);
  MoveHolding(to, Qt::LeftButton);
  const QList<QPoint> outline = Changed(before, Render());

  QSet<int> sides;
  for (const QPoint& pixel : outline) {
    const bool onSide = pixel.x() == from.x() || pixel.x() == to.x() || pixel.y() == from.y() || pixel.y() == to.y();
    EXPECT_TRUE(onSide) << pixel.x() << "," << pixel.y();
    if (pixel.x() == from.x()) sides << 0;
    if (pixel.x() == to.x()) sides << 1;
    if (pixel.y() == from.y()) sides << 2;
    if (pixel.y() == to.y()) sides << 3;
  }
  EXPECT_EQ(sides.size(), 4);

  // Brought back to a slip of the hand and released: nothing is left.
  MoveHolding(from + QPoint(5, 5), Qt::LeftButton);
  Release(from + QPoint(5, 5), Qt::LeftButton);
  EXPECT_EQ(Render(), before);
}

// The axes, grid and labels are kept in a picture between redraws: every
// change they show must reach it.
TEST(ChartAxesPicture, FollowsChangesOfLimitsTitlesSizeFontAndPalette) {
  const std::vector<std::pair<const char*, std::function<void(TChart&)>>> changes = {
      {"left maximum", [](TChart& chart) { chart.LeftAxis().SetMaximum(250); }},
      {"bottom minimum", [](TChart& chart) { chart.BottomAxis().SetMinimum(-40); }},
      {"left title", [](TChart& chart) { chart.LeftAxis().SetTitle("Power, dBm"); }},
      {"bottom title", [](TChart& chart) { chart.BottomAxis().SetTitle("Freq, MHz"); }},
      {"larger size", [](TChart& chart) { chart.resize(960, 640); }},
      {"smaller size", [](TChart& chart) { chart.resize(640, 480); }},
      {"font", [](TChart& chart) { chart.setFont(QFont(chart.font().family(), 15)); }},
      {"palette",
       [](TChart& chart) {
         QPalette palette = chart.palette();
         palette.setColor(QPalette::Window, QColor(255, 255, 220));
         palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
         chart.setPalette(palette);
       }},
  };
  const auto setUp = [](TChart& chart) {
    chart.resize(800, 600);
    chart.LeftAxis().SetMinimum(0);
    chart.LeftAxis().SetMaximum(100);
    chart.BottomAxis().SetMinimum(0);
    chart.BottomAxis().SetMaximum(100);
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    TChart redrawn;
    setUp(redrawn);
    const QImage before = Rendered(redrawn);
    change(redrawn);
    const QImage after = Rendered(redrawn);
    TChart fresh;
    setUp(fresh);
    change(fresh);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, Rendered(fresh));
  }
}

// Copied rather than painted, the axes must still come out as if painted on
// the target itself: sharp at its pixel ratio, whatever its format.
TEST(ChartAxesPicture, LooksAsPaintedDirectlyInTargetsOfAnyFormatAndPixelRatio) {
  TChart chart;
  chart.resize(640, 400);
  const ChartLayout layout =
      LayOutChart(chart.rect(), chart.fontMetrics(), {chart.LeftAxis().Range(), chart.LeftAxis().Title()},
                  {chart.BottomAxis().Range(), chart.BottomAxis().Title()});
  for (const auto& [format, pixelRatio] : std::vector<std::pair<QImage::Format, qreal>>{
           {QImage::Format_ARGB32_Premultiplied, 1}, {QImage::Format_RGB32, 1},
           {QImage::Format_RGB888, 1}, {QImage::Format_ARGB32_Premultiplied, 2}}) {
    SCOPED_TRACE(testing::Message() << "format " << format << ", pixel ratio " << pixelRatio);
    QImage direct(chart.size() * pixelRatio, format);
    direct.setDevicePixelRatio(pixelRatio);
    QPainter painter(&direct);
    painter.setFont(chart.font());
    painter.fillRect(chart.rect(), chart.palette().window());
    DrawAxes(painter, layout, chart.palette());
    painter.end();
    EXPECT_EQ(Rendered(chart, format, pixelRatio), direct);
  }
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(ChartPicture, RepaintsOnceAfterABatchOfAppends) {
  QApplication::processEvents();
  PaintCounter counter;
  chart.installEventFilter(&counter);
  chart.Series1().Clear();
  for (int i = 0; i < 1000; ++i) chart.Series1().Append(i / 10.0, i % 100, "", Qt::red);
  EXPECT_EQ(counter.paints, 0);
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 1);
}

}  // namespace
