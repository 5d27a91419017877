#pragma once
// The chart options: axis limits, display mode and sample rate.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TformChartOptions : public QDialog {
  Q_OBJECT
 public:
  TformChartOptions();

  QLineEdit* edFreq;
  QLabel* lbFreq;
  QLineEdit* edMaxY;
  QLineEdit* edMinX;
  QLineEdit* edMaxX;
  QLineEdit* edMinY;
  QCheckBox* cbQAM;
  QCheckBox* cbSpectrum;
  QCheckBox* cbAverage;
  QCheckBox* cbAxis;
  QCheckBox* cbFFTComplex;
  QPushButton* btnOK;
};

extern TformChartOptions* formChartOptions;
