#include "capture/chartstruct.h"

#include "capture/chartmain.h"
#include "capture/display.h"
#include "capture/dumpfile.h"
#include "chart/chart.h"
#include "platform/uitext.h"

namespace {

DisplaySettings SettingsOf(const TformChart& window) {
  DisplaySettings settings;
  settings.QamMode = window.QamMode;
  settings.Spectrum = window.Spectrum;
  settings.Average = window.Average;
  settings.Graph1 = window.Graph1;
  settings.Graph2 = window.Graph2;
  settings.RealAxis = window.RealAxis;
  settings.ComplexFft = window.ComplexFft;
  settings.FreqMHz = window.FreqMHz;
  return settings;
}

void Fill(TChartSeries& series, const std::vector<DisplayPoint>& points, QColor colour) {
  for (const DisplayPoint& point : points) series.Append(point.x, point.y, QString(), colour);
}

}  // namespace

void ProcessBlock() {
  TformChart& window = *formChart;
  ComputeDisplay(SettingsOf(window), window.Smoothed, window.Points);

  TChart& chart = *window.Chart;
  for (TChartSeries* series : {&chart.Series1(), &chart.Series2(), &chart.Series3(),
                               &chart.Series4(), &chart.Series5()})
    series->Clear();
  Fill(chart.Series1(), window.Points.graph1, Qt::red);
  Fill(chart.Series2(), window.Points.graph2, QColor(0, 128, 0));
  Fill(chart.Series5(), window.Points.constellation, Qt::red);
}

void ShowModeTitles() {
  const AxisTitles titles = AxisTitlesFor(formChart->QamMode, formChart->RealAxis, formChart->Spectrum);
  formChart->Chart->LeftAxis().SetTitle(QtText(titles.vertical));
  formChart->Chart->BottomAxis().SetTitle(QtText(titles.horizontal));
}

void SaveDump() { WriteDump(DumpFilePath()); }
