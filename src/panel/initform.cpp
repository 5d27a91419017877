#include "panel/initform.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <filesystem>

#include "app/mainform.h"
#include "capture/capturechart.h"
#include "capture/chartmain.h"
#include "capture/chartoptions.h"
#include "chart/chart.h"
#include "panel/cellcontrols.h"
#include "panel/layoutmodel.h"
#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/numtext.h"
#include "platform/profile.h"

namespace {

LayoutFiles layoutFiles;

// A layout file that existed but could not be read at load. The panel then
// shows defaults, which a save must never put in the place of the user's
// layout, even once the file reads again.
std::string unreadAtLoad;

// The panel is the main window's client area; its cells are created in the
// order that stacks and visits them.
void CreatePanel(const ProfileFile& file) {
  auto* panel = new QWidget(formMain);
  for (const PanelCell& cell : AllPanelCells()) CreateCellControls(panel, cell, ReadCellTexts(file, cell));
  formMain->setCentralWidget(panel);
}

// Loading shows values only: no handler of the windows may run.
template <class Checkable>
void ShowChecked(Checkable* item, bool checked) {
  const QSignalBlocker quiet(item);
  item->setChecked(checked);
}

void ShowNumber(QLineEdit* field, double value) {
  const QSignalBlocker quiet(field);
  field->setText(QtText(FormatNumber(value)));
}

// The fields keep the stored values even when the chart refuses them, so
// that the next save writes back what the user stored. A refusal is shown,
// and the rest of the settings still load.
void ApplyLimits(TChartAxis& axis, double minimum, double maximum, QLineEdit* minimumField,
                 QLineEdit* maximumField) {
  ShowNumber(maximumField, maximum);
  ShowNumber(minimumField, minimum);
  RunHandler([&] { axis.SetRange(minimum, maximum); });
}

// The dialog's check boxes, the graph items and the rate field show the
// window's settings.
void ShowDisplaySettings(const DisplaySettings& settings) {
  TformChartOptions& options = *formChartOptions;
  ShowChecked(options.cbQAM, settings.QamMode);
  ShowChecked(options.cbSpectrum, settings.Spectrum);
  ShowChecked(options.cbAverage, settings.Average);
  ShowChecked(options.cbFFTComplex, settings.ComplexFft);
  ShowChecked(formChart->nnGraph1, settings.Graph1);
  ShowChecked(formChart->nnGraph2, settings.Graph2);
  ShowChecked(options.cbAxis, settings.RealAxis);
  ShowNumber(options.edFreq, settings.FreqMHz);
}

void ApplyChartSettings(const ChartSettings& settings) {
  TformChart& chart = *formChart;
  TformChartOptions& options = *formChartOptions;
  ApplyLimits(chart.Chart->LeftAxis(), settings.minY, settings.maxY, options.edMinY, options.edMaxY);
  ApplyLimits(chart.Chart->BottomAxis(), settings.minX, settings.maxX, options.edMinX, options.edMaxX);
  chart.Settings = settings.display;
  ShowDisplaySettings(settings.display);
  ShowModeTitles(*chart.Chart, chart.Settings);
}

double FieldNumber(const QLineEdit* field) {
  return static_cast<double>(ParseFloatText(TextBytes(field->text())));
}

ChartSettings CurrentChartSettings() {
  const TformChartOptions& options = *formChartOptions;
  ChartSettings settings;
  settings.maxY = FieldNumber(options.edMaxY);
  settings.maxX = FieldNumber(options.edMaxX);
  settings.minY = FieldNumber(options.edMinY);
  settings.minX = FieldNumber(options.edMinX);
  settings.display = formChart->Settings;
  return settings;
}

// Until the user's own file exists, a save starts from the shipped defaults
// loaded, so that what the panel does not hold, the baud rate, carries over.
std::string SaveBase() {
  std::error_code error;
  const bool ownExists = std::filesystem::exists(layoutFiles.write, error);
  return ownExists || layoutFiles.read == unreadAtLoad ? layoutFiles.write : layoutFiles.read;
}

PanelTexts CurrentPanelTexts() {
  PanelTexts texts;
  for (const PanelCell& cell : AllPanelCells()) texts[cell.CellIndex()] = CellTextsOf(cell);
  return texts;
}

}  // namespace

// Files newly set have not been loaded yet.
void SetLayoutFiles(const LayoutFiles& files) {
  layoutFiles = files;
  unreadAtLoad.clear();
}

void LoadLayout() {
  const ProfileFile file(layoutFiles.read);
  unreadAtLoad = file.Readable() ? "" : file.FileName();
  if (!file.Readable()) ShowErrorBox("Unable to read " + file.FileName());
  CreatePanel(file);
  ApplyChartSettings(ReadChartSettings(file));
}

void SaveLayout() {
  const ChartSettings chart = CurrentChartSettings();
  const PanelTexts cells = CurrentPanelTexts();
  const std::string& path = layoutFiles.write;
  if (path == unreadAtLoad) throw WriteError("Unable to write to " + path);
  ProfileFile file(SaveBase());
  WriteLayout(file, chart, cells);
  // A folder that cannot be made shows as the save's own failure.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  file.SaveAs(path);
}
