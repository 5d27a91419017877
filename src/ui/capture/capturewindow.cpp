#include "capture/capturewindow.h"

#include "capture/chartoptions.h"
#include "capture/capturechart.h"
#include "capture/dumpfile.h"
#include "capture/measurewindow.h"
#include "chart/chart.h"
#include "link/debugwindow.h"
#include "link/frameplacement.h"
#include "platform/messages.h"
#include "platform/uitext.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScopeGuard>
#include <array>
#include <chrono>
#include <thread>

TformChart* formChart = nullptr;

TformChart::TformChart(TComPort& port) : session(port) {
  setWindowTitle("Chart");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  resize(808, 854);
  KeepOnScreen(this);
  Chart = new TChart(this);
  setCentralWidget(Chart);
  CreateMenu();
  ShowRunState();
  Measurements = new TformMeasure(session.Samples, settings, this);
}

void TformChart::CreateMenu() {
  mmMenu = menuBar();
  auto item = [this](QMenu* menu, const QString& caption, void (TformChart::*handler)()) {
    QAction* action = menu ? menu->addAction(caption) : mmMenu->addAction(caption);
    connect(action, &QAction::triggered, this, [this, handler] { RunHandler([&] { (this->*handler)(); }); });
    return action;
  };
  nnOption = item(nullptr, "Options...", &TformChart::nnOptionClick);
  QMenu* graph = mmMenu->addMenu("Graph");
  nnGraph = graph->menuAction();
  nnGraph1 = item(graph, "Graph 1 (red, I, [31:16])", &TformChart::nnGraph1Click);
  nnGraph2 = item(graph, "Graph 2 (green, Q, [15:0])", &TformChart::nnGraph2Click);
  for (QAction* check : {nnGraph1, nnGraph2}) {
    check->setCheckable(true);
    check->setChecked(true);
  }
  nnRun = item(nullptr, "Run", &TformChart::nnRunClick);
  nnStop = item(nullptr, "Stop", &TformChart::nnStopClick);
  nnOnce = item(nullptr, "Once", &TformChart::nnOnceClick);
  nnAvg = item(nullptr, "Avg", &TformChart::nnAvgClick);
  nnSave = item(nullptr, "Save", &TformChart::nnSaveClick);
  nnMeasure = item(nullptr, "Measure", &TformChart::nnMeasureClick);
  nnPeak = item(nullptr, "Peak", &TformChart::nnPeakClick);
  nnPeak->setCheckable(true);
}

// Idle, or a run told to stop: Run and Once offered. Running: only Stop.
void TformChart::ShowRunState() {
  const bool running = session.Running();
  nnRun->setEnabled(!running);
  nnStop->setEnabled(running);
  nnOnce->setEnabled(!running);
}

// A restore from minimised is a spontaneous show of a window that stays
// open: only a show from hidden is the window's showing.
void TformChart::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) RunHandler([this] { FormShow(); });
}

void TformChart::FormShow() { nnStop->setEnabled(session.Running()); }

// The figures of a closed capture window would no longer change.
void TformChart::closeEvent(QCloseEvent* event) {
  RunHandler([this] { FormClose(); });
  Measurements->close();
  QMainWindow::closeEvent(event);
}

// A run in progress ends at the end of its pass.
void TformChart::FormClose() {
  nnStopClick();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void TformChart::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) RunHandler([&] { FormKeyUp(event->key(), event->modifiers()); });
  QMainWindow::keyReleaseEvent(event);
}

void TformChart::FormKeyUp(int key, Qt::KeyboardModifiers shift) {
  if (key == Qt::Key_D && (shift & Qt::ControlModifier)) ShowDebugWindow();
}

void TformChart::nnOptionClick() { formChartOptions->exec(); }

void TformChart::ApplySettings(const ChartSettings& stored) {
  RunHandler([&] { Chart->LeftAxis().SetRange(stored.minY, stored.maxY); });
  RunHandler([&] { Chart->BottomAxis().SetRange(stored.minX, stored.maxX); });
  settings = stored.display;
  for (auto [item, checked] : {std::pair{nnGraph1, settings.Graph1}, std::pair{nnGraph2, settings.Graph2}}) {
    const QSignalBlocker quiet(item);
    item->setChecked(checked);
  }
  ShowModeTitles(*Chart, settings);
}

void TformChart::ProcessBlock() {
  ComputeDisplay(settings, session.Samples, smoothed, points);
  if (nnPeak->isChecked()) peak.Hold(settings, ShownLimits(), points);
  ShowPoints(*Chart, points);
  ShowFundamental(*Chart, settings, points);
  Measurements->BlockShown();
}

DisplayLimits TformChart::ShownLimits() const {
  const auto range = [](TChartAxis& axis) { return DisplayRange{axis.Minimum(), axis.Maximum()}; };
  return {range(Chart->BottomAxis()), range(Chart->LeftAxis())};
}

void TformChart::nnGraph1Click() {
  settings.Graph1 = nnGraph1->isChecked();  // the menu has already turned its check mark over
  ProcessBlock();
}

void TformChart::nnGraph2Click() {
  settings.Graph2 = nnGraph2->isChecked();
  ProcessBlock();
}

// One capture on the held port. While the bytes are awaited the windows
// have their turn, so that they repaint, move and take clicks at once; the
// byte count is told as it grows. A run stopped meanwhile drops its block.
BlockResult TformChart::Capture() {
  return session.Capture(settings.Average, [this](int received) {
    emit BytesReceived(received);
    QApplication::processEvents();
    return !(Looping && session.State() == CaptureState::Stopping);
  });
}

// A port whose device or server has gone says so; any other failure is the
// board's silence.
void TformChart::CaptureFailed(BlockResult result) {
  ShowRunState();
  ShowMessage(result == BlockResult::Lost ? session.Port().FaultText() : "Timeout", "Port error");
}

void TformChart::nnRunClick() {
  if (session.Acquiring()) {
    // Run given while a stopped run is still in its last pass: that run goes on.
    if (Looping) session.Resume();
    ShowRunState();
    return;
  }
  try {
    WithPortHeld(true, [this] { RunPasses(); });
  } catch (...) {
    // Whatever failed inside the loop, the user's panel is kept before the
    // program ends.
    if (saveLayout) RunHandler(saveLayout);
    ShowMessage("Restart program", "Fatal error");
    QApplication::exit(0);
  }
}

// Each pass captures (the windows having their turn meanwhile: Stop, the
// panel, the options dialog), shows, and sends what the panel left waiting.
// A block the user stopped is no failure.
void TformChart::RunPasses() {
  Looping = true;
  const auto ended = qScopeGuard([this] { Looping = false; });
  do {
    const BlockResult result = Capture();
    if (result == BlockResult::Abandoned) break;
    if (result != BlockResult::Whole) {
      CaptureFailed(result);
      break;
    }
    ProcessBlock();
    session.SendPending();
  } while (session.Running());
}

void TformChart::nnStopClick() {
  session.Stop();
  ShowRunState();
}

void TformChart::nnOnceClick() {
  if (!nnRun->isEnabled() || session.Acquiring()) return;
  WithPortHeld(false, [this] {
    if (const BlockResult result = Capture(); result == BlockResult::Whole)
      ProcessBlock();
    else
      CaptureFailed(result);
  });
}

// The port is opened unless it is open already; a port that cannot be had
// is said at once instead of a time-out later. While the work holds the
// port, panel commands wait in the session; one still waiting when the work
// is done is sent before the port closes, and the port closes however the
// work ends.
void TformChart::WithPortHeld(bool run, const std::function<void()>& work) {
  const bool started = session.Start(run);
  ShowRunState();
  if (!started) {
    ShowMessage(session.Port().FaultText(), "Port error");
    return;
  }
  emit AcquiringChanged(true);
  const auto released = qScopeGuard([this] {
    session.Release();
    ShowRunState();
    emit AcquiringChanged(false);
  });
  work();
  session.SendPending();
}

void TformChart::nnAvgClick() {
  settings.Average = !settings.Average;
  const QSignalBlocker quiet(formChartOptions->cbAverage);
  formChartOptions->cbAverage->setChecked(settings.Average);
}

void TformChart::nnSaveClick() { WriteDump(DumpFilePath(), session.Samples); }

void TformChart::nnMeasureClick() {
  Measurements->show();
  Measurements->raise();
}

// Each time it is turned on, the peak hold starts from the block shown.
void TformChart::nnPeakClick() {
  peak.Clear();
  ProcessBlock();
}
