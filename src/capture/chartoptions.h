#pragma once
// The chart options: axis limits, display mode and sample rate. Its limit
// fields also carry the limits to and from the layout file.
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

  // The limits as they stood when the dialog was last shown, in single precision.
  float ShownMaxY = 0;
  float ShownMaxX = 0;
  float ShownMinY = 0;
  float ShownMinX = 0;

  void FormShow();
  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool LimitsChanged() const;
};

extern TformChartOptions* formChartOptions;
