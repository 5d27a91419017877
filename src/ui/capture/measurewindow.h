#pragma once
// The Measurements window: the converter figures of the capture window's
// blocks, beside it, new with every block shown.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "capture/measurementtext.h"

class QComboBox;
class QLabel;
class QPushButton;
struct DisplaySettings;
struct SampleHistory;

class TformMeasure : public QWidget {
  Q_OBJECT
 public:
  // Measures the history by the settings' averaging and sample rate; both
  // belong to the capture window, its parent.
  TformMeasure(const SampleHistory& history, const DisplaySettings& settings, QWidget* parent);

  QComboBox* cbSource;  // iq, i, q
  QPushButton* btCopy;

  // After every block shown: a window on screen measures it, but at most
  // every 100 ms, so that a run's passes stay short; the newest block is
  // measured when they have passed.
  void BlockShown();
  // The figures as they are copied, a row a line.
  QString Text() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Refresh();
  void btCopyClick();

  const SampleHistory& history;
  const DisplaySettings& settings;
  std::vector<FigureRow> rows;
  std::vector<QLabel*> values;  // one a row, after the source's
  QElapsedTimer sinceRefresh;
  QTimer due;
};
