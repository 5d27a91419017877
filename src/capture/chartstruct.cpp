#include "capture/chartstruct.h"

#include "capture/chartmain.h"
#include "capture/display.h"
#include "capture/dumpfile.h"
#include "chart/chart.h"
#include "platform/uitext.h"

namespace {

void Fill(TChartSeries& series, const std::vector<DisplayPoint>& points, QColor colour) {
  for (const DisplayPoint& point : points) series.Append(point.x, point.y, QString(), colour);
}

}  // namespace

void ProcessBlock(TformChart& window) {
  ComputeDisplay(window.Settings, window.Samples, window.Smoothed, window.Points);

  TChart& chart = *window.Chart;
  for (TChartSeries* series : {&chart.Series1(), &chart.Series2(), &chart.Series3(),
                               &chart.Series4(), &chart.Series5()})
    series->Clear();
  Fill(chart.Series1(), window.Points.graph1, Qt::red);
  Fill(chart.Series2(), window.Points.graph2, QColor(0, 128, 0));
  Fill(chart.Series5(), window.Points.constellation, Qt::red);
}

void ShowModeTitles(TformChart& window) {
  const DisplaySettings& settings = window.Settings;
  const AxisTitles titles = AxisTitlesFor(settings.QamMode, settings.RealAxis, settings.Spectrum);
  window.Chart->LeftAxis().SetTitle(QtText(titles.vertical));
  window.Chart->BottomAxis().SetTitle(QtText(titles.horizontal));
}

void SaveDump(const SampleHistory& history) { WriteDump(DumpFilePath(), history); }
