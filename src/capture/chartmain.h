#pragma once
// The capture window: fetches sample blocks from the board and plots them.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>

#include "capture/captureblock.h"
#include "capture/display.h"
#include "capture/displaysettings.h"

class QAction;
class QLineEdit;
class TChart;

// A panel command given while a run holds the port: the run sends it
// between two captures. A newer command replaces one not yet sent.
struct PanelCommand {
  bool pending = false;
  std::uint8_t command = 0;
  std::uint32_t address = 0;
  std::uint32_t value = 0;
  QPointer<QLineEdit> target;
  QString accessMode;
};

class TformChart : public QMainWindow {
  Q_OBJECT
 public:
  TformChart();

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

  bool Running = false;
  // The capture holds the port: from a successful open by Run or Once until
  // the port is closed again, which for a run comes after Stop has cleared
  // Running. The panel then hands its commands over, and the link check
  // waits.
  bool Acquiring = false;

  PanelCommand PendingCommand;
  // What a capture's 5-second limit is measured by.
  CaptureClock Now = std::chrono::steady_clock::now;

  // The blocks captured, and what the display keeps from block to block:
  // the smoothed spectrum, and the points, reused so that a run allocates
  // nothing per block.
  SampleHistory Samples;

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

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void CreateMenu();
  DisplaySettings settings;
  SmoothedSpectrum smoothed;
  DisplayPoints points;
  std::function<void()> saveLayout;
  bool Looping = false;  // the run loop is between its first and last pass

  void ShowRunState(bool running);
  void SetAcquiring(bool acquiring);
  void WithPortHeld(const std::function<void()>& work);
  bool Capture();
  void SendPendingCommand();
  void RunPasses();
};

extern TformChart* formChart;
