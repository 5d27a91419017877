#include "capture/chartoptions.h"

#include "capture/capturechart.h"
#include "capture/capturewindow.h"
#include "chart/chart.h"
#include "link/frameplacement.h"
#include "platform/messages.h"
#include "platform/numtext.h"
#include "platform/uitext.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

TformChartOptions* formChartOptions = nullptr;

namespace {

QLineEdit* Field(QWidget* parent, const char* text, int left, int top, int width) {
  auto* field = new QLineEdit(text, parent);
  field->setGeometry(left, top, width, 21);
  return field;
}

QCheckBox* Check(QWidget* parent, const char* caption, int top) {
  auto* box = new QCheckBox(caption, parent);
  box->setGeometry(340, top, 120, 17);
  return box;
}

long double ValueOf(const QLineEdit* field) { return ParseFloatText(TextBytes(field->text())); }

double NumberOf(const QLineEdit* field) { return static_cast<double>(ValueOf(field)); }

void ShowChecked(QCheckBox* box, bool checked) {
  const QSignalBlocker quiet(box);
  box->setChecked(checked);
}

void ShowNumber(QLineEdit* field, double value) {
  const QSignalBlocker quiet(field);
  field->setText(QtText(FormatNumber(value)));
}

}  // namespace

TformChartOptions::TformChartOptions() {
  setWindowTitle("Chart Options");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowStaysOnTopHint);
  setFixedSize(475, 217);
  KeepOnScreen(this);
  // The four limits sit as a cross: maximum Y above, minimum Y below,
  // minimum X to the left and maximum X to the right.
  edFreq = Field(this, "150", 16, 16, 73);
  lbFreq = new QLabel("MHz", this);
  lbFreq->setGeometry(95, 18, 40, 17);
  edMaxY = Field(this, "10000", 130, 50, 70);
  edMinX = Field(this, "-10000", 40, 95, 70);
  edMaxX = Field(this, "10000", 220, 95, 70);
  edMinY = Field(this, "-10000", 130, 140, 70);
  cbQAM = Check(this, "QAM Mode", 16);
  cbSpectrum = Check(this, "Spectrum", 40);
  cbAverage = Check(this, "Average", 64);
  cbAxis = Check(this, "Real axis", 88);
  cbFFTComplex = Check(this, "Complex FFT", 112);
  btnOK = new QPushButton("OK", this);
  btnOK->setGeometry(340, 144, 75, 57);
  btnOK->setAutoDefault(false);
  connect(btnOK, &QPushButton::clicked, this, [this] { RunHandler([this] { btnOKClick(); }); });
}

void TformChartOptions::ShowSettings(const ChartSettings& stored) {
  ShowNumber(edMaxY, stored.maxY);
  ShowNumber(edMinY, stored.minY);
  ShowNumber(edMaxX, stored.maxX);
  ShowNumber(edMinX, stored.minX);
  const DisplaySettings& display = stored.display;
  ShowChecked(cbQAM, display.QamMode);
  ShowChecked(cbSpectrum, display.Spectrum);
  ShowChecked(cbAverage, display.Average);
  ShowChecked(cbFFTComplex, display.ComplexFft);
  ShowChecked(cbAxis, display.RealAxis);
  ShowNumber(edFreq, display.FreqMHz);
}

ChartSettings TformChartOptions::Limits() const {
  ChartSettings limits;
  limits.maxY = NumberOf(edMaxY);
  limits.maxX = NumberOf(edMaxX);
  limits.minY = NumberOf(edMinY);
  limits.minX = NumberOf(edMinX);
  return limits;
}

void TformChartOptions::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RunHandler([this] { FormShow(); });
}

void TformChartOptions::FormShow() {
  ShownMaxY = static_cast<float>(ValueOf(edMaxY));
  ShownMaxX = static_cast<float>(ValueOf(edMaxX));
  ShownMinY = static_cast<float>(ValueOf(edMinY));
  ShownMinX = static_cast<float>(ValueOf(edMinX));
}

// Compared with the single-precision record, so a limit that single
// precision cannot hold exactly always counts as changed.
bool TformChartOptions::LimitsChanged() const {
  return ValueOf(edMaxY) != ShownMaxY || ValueOf(edMaxX) != ShownMaxX ||
         ValueOf(edMinY) != ShownMinY || ValueOf(edMinX) != ShownMinX;
}

// Each step applies at once: a failing field leaves what came before it applied.
void TformChartOptions::btnOKClick() {
  TformChart& window = *formChart;
  TChart& chart = *window.Chart;
  if (LimitsChanged()) {
    chart.UndoZoom();
    chart.LeftAxis().SetRange(NumberOf(edMinY), NumberOf(edMaxY));
    chart.BottomAxis().SetRange(NumberOf(edMinX), NumberOf(edMaxX));
  }
  DisplaySettings settings = window.Settings();
  settings.QamMode = cbQAM->isChecked();
  settings.Spectrum = cbSpectrum->isChecked();
  settings.Average = cbAverage->isChecked();
  settings.RealAxis = cbAxis->isChecked();
  settings.ComplexFft = cbFFTComplex->isChecked();
  window.SetSettings(settings);  // a rate that is no number leaves these applied
  settings.FreqMHz = NumberOf(edFreq);
  window.SetSettings(settings);
  ShowModeTitles(chart, settings);
  window.ProcessBlock();
  close();
}
