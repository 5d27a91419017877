#pragma once
// The capture window: fetches sample blocks from the board and plots them.
#include <QMainWindow>
#include <functional>

#include "capture/capturesession.h"
#include "capture/display.h"
#include "platform/chartsettings.h"

class QAction;
class TChart;
class TComPort;
class TformMeasure;

class TformChart : public QMainWindow {
  Q_OBJECT
 public:
  // Captures on the given port, which outlives the window.
  explicit TformChart(TComPort& port);

  TChart* Chart;  // fills the client area

  QMenuBar* mmMenu;
  QAction* nnOption;
  QAction* nnGraph;
  QAction* nnGraph1;
  QAction* nnGraph2;
  QAction* nnRun;
  QAction* nnStop;
  QAction* nnOnce;
  QAction* nnAvg;
  QAction* nnSave;
  QAction* nnMeasure;
  QAction* nnPeak;

  TformMeasure* Measurements;  // opened by "Measure"

  // Stored in the layout file, edited by the options dialog, the graph
  // items and "Avg".
  const DisplaySettings& Settings() const { return settings; }
  // Takes the settings the options dialog chose; they show from the next
  // drawing.
  void SetSettings(const DisplaySettings& chosen) { settings = chosen; }
  // The stored settings, shown without running any handler: the limits (a
  // pair the chart refuses is reported, and the rest still applies), the
  // display settings with the graph items' check marks, and the axis titles.
  void ApplySettings(const ChartSettings& stored);
  // Run when a failure inside a run ends the program, so that the user's
  // layout is kept.
  void SetLayoutSaver(std::function<void()> save) { saveLayout = std::move(save); }

  // Redraws the chart from the sample history in the display mode.
  void ProcessBlock();

  // The acquisition: its state, the sample history and the panel command
  // waiting for the port.
  CaptureSession& Session() { return session; }
  const CaptureSession& Session() const { return session; }

  void FormShow();
  void FormClose();
  void FormKeyUp(int key, Qt::KeyboardModifiers shift);
  void nnOptionClick();
  void nnGraph1Click();
  void nnGraph2Click();
  void nnRunClick();
  void nnStopClick();
  void nnOnceClick();
  void nnAvgClick();
  void nnSaveClick();
  void nnMeasureClick();
  void nnPeakClick();

 signals:
  // The capture took the port (true) or let it go (false).
  void AcquiringChanged(bool acquiring);
  // The count of bytes of the block in progress, after every poll.
  void BytesReceived(int count);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void CreateMenu();
  CaptureSession session;
  DisplaySettings settings;
  SmoothedSpectrum smoothed;
  DisplayPoints points;
  PeakHold peak;
  std::function<void()> saveLayout;
  bool Looping = false;  // the run loop is between its first and last pass

  void ShowRunState();
  DisplayLimits ShownLimits() const;
  void WithPortHeld(bool run, const std::function<void()>& work);
  BlockResult Capture();
  void CaptureFailed(BlockResult result);
  void RunPasses();
};

extern TformChart* formChart;
