#include "capture/chartoptions.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

}  // namespace

TformChartOptions::TformChartOptions() {
  setWindowTitle("Chart Options");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowStaysOnTopHint);
  setFixedSize(475, 217);
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
}
