#include "capture/capturechart.h"

#include "capture/display.h"
#include "chart/chart.h"
#include "platform/uitext.h"

namespace {

void Fill(TChartSeries& series, const std::vector<DisplayPoint>& points, QColor colour) {
  for (const DisplayPoint& point : points) series.Append(point.x, point.y, QString(), colour);
}

}  // namespace

void ShowPoints(TChart& chart, const DisplayPoints& points) {
  for (TChartSeries* series : {&chart.Series1(), &chart.Series2(), &chart.Series3(),
                               &chart.Series4(), &chart.Series5()})
    series->Clear();
  Fill(chart.Series1(), points.graph1, Qt::red);
  Fill(chart.Series2(), points.graph2, QColor(0, 128, 0));
  Fill(chart.Series3(), points.peak, chart.Series3().Colour());
  Fill(chart.Series5(), points.constellation, Qt::red);
}

void ShowFundamental(TChart& chart, const DisplaySettings& settings, const DisplayPoints& points) {
  const std::optional<DisplayPoint> fundamental = FundamentalPoint(settings, points);
  chart.SetMark(fundamental ? std::optional<QPointF>({fundamental->x, fundamental->y}) : std::nullopt);
}

void ShowModeTitles(TChart& chart, const DisplaySettings& settings) {
  const AxisTitles titles = AxisTitlesFor(settings.QamMode, settings.RealAxis, settings.Spectrum);
  chart.LeftAxis().SetTitle(QtText(titles.vertical));
  chart.BottomAxis().SetTitle(QtText(titles.horizontal));
}
