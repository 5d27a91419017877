#pragma once
// The chart options: axis limits, display mode and sample rate. Its limit
// fields also carry the limits to and from the layout file.
#include <QDialog>

#include "platform/chartsettings.h"

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

  // Shows the stored settings in the fields and check boxes, without running
  // any handler. The limit fields keep the stored values even when the chart
  // refuses them, so that the next save writes back what the user stored.
  void ShowSettings(const ChartSettings& stored);
  // The limits as the fields hold them, to be saved; the display settings
  // are left at their defaults. Throws ConversionError for a field that is
  // no number, before anything is saved.
  ChartSettings Limits() const;

  void FormShow();
  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool LimitsChanged() const;
};

extern TformChartOptions* formChartOptions;
