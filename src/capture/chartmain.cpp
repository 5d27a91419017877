#include "capture/chartmain.h"

#include "capture/captureblock.h"
#include "capture/chartoptions.h"
#include "capture/chartstruct.h"
#include "chart/chart.h"
#include "link/comport.h"
#include "link/comportmain.h"
#include "link/debug.h"
#include "panel/cellcommand.h"
#include "panel/initform.h"
#include "platform/messages.h"
#include "platform/uitext.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <array>
#include <chrono>
#include <thread>

TformChart* formChart = nullptr;

TformChart::TformChart() {
  setWindowTitle("Chart");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  resize(808, 854);
  Chart = new TChart(this);
  setCentralWidget(Chart);
  CreateMenu();
  ShowRunState(false);
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
}

// Idle: Run and Once offered. Running: only Stop.
void TformChart::ShowRunState(bool running) {
  nnRun->setEnabled(!running);
  nnStop->setEnabled(running);
  nnOnce->setEnabled(!running);
  Running = running;
}

// A restore from minimised is a spontaneous show of a window that stays
// open: only a show from hidden is the window's showing.
void TformChart::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) RunHandler([this] { FormShow(); });
}

void TformChart::FormShow() { nnStop->setEnabled(Running); }

void TformChart::closeEvent(QCloseEvent* event) {
  RunHandler([this] { FormClose(); });
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

void TformChart::nnGraph1Click() {
  Settings.Graph1 = nnGraph1->isChecked();  // the menu has already turned its check mark over
  ProcessBlock(*this);
}

void TformChart::nnGraph2Click() {
  Settings.Graph2 = nnGraph2->isChecked();
  ProcessBlock(*this);
}

// One capture on the held port; the debug window follows the byte count.
// Only a whole block reaches the history, after it has moved back one slot
// when averaging.
bool TformChart::Capture() {
  std::array<std::uint8_t, BlockBytes> block;
  const auto showReceived = [](int received) {
    formDebug->edRxCnt->setText(QString::number(received));
    return true;
  };
  if (FetchBlock(*formComPort->ComPort, block, Now, AnswerSettle, showReceived) !=
      BlockResult::Whole)
    return false;
  if (Settings.Average) Samples.Shift();
  Samples.Decode(block);
  return true;
}

void TformChart::SendPendingCommand() {
  PanelCommand& command = PendingCommand;
  QPointer<QLineEdit> target = command.target;
  const auto text = CarryOutCellCommand(
      *formComPort->ComPort,
      {command.command, command.address, command.value, TextBytes(command.accessMode)}, true);
  if (text && target) target->setText(QtText(*text));
  command.pending = false;
}

void TformChart::nnRunClick() {
  if (Acquiring) {
    // Run given while a stopped run is still in its last pass: that run goes on.
    if (Looping) ShowRunState(true);
    return;
  }
  ShowRunState(true);
  try {
    WithPortHeld([this] { RunPasses(); });
  } catch (...) {
    // Whatever failed inside the loop, the user's panel is kept before the
    // program ends.
    RunHandler([] { SaveLayout(); });
    ShowMessage("Restart program", "Fatal error");
    QApplication::exit(0);
  }
}

// Each pass lets the windows have their turn (Stop, the panel, the options
// dialog), then captures, shows, and sends what the panel left waiting.
void TformChart::RunPasses() {
  Looping = true;
  const auto ended = qScopeGuard([this] { Looping = false; });
  do {
    QApplication::processEvents();
    if (!Capture()) {
      ShowRunState(false);
      ShowMessage("Timeout", "Port error");
      break;
    }
    ProcessBlock(*this);
    if (PendingCommand.pending) SendPendingCommand();
  } while (Running);
}

void TformChart::nnStopClick() { ShowRunState(false); }

void TformChart::nnOnceClick() {
  if (!nnRun->isEnabled() || Acquiring) return;
  WithPortHeld([this] {
    if (Capture()) {
      ProcessBlock(*this);
    } else {
      ShowRunState(false);
      ShowMessage("Timeout", "Port error");
    }
  });
}

void TformChart::SetAcquiring(bool acquiring) {
  Acquiring = acquiring;
  formDebug->btnCheck->setEnabled(!acquiring);
}

// The port is opened unless it is open already; a port that cannot be had
// is said at once instead of a time-out later. While the work holds the
// port, panel commands wait in the slot; one still waiting when the work is
// done is sent before the port closes, and the port closes however the work
// ends.
void TformChart::WithPortHeld(const std::function<void()>& work) {
  TComPort& port = *formComPort->ComPort;
  if (!port.Opened && !port.Open()) {
    ShowRunState(false);
    ShowMessage("Port is busy", "Port error");
    return;
  }
  SetAcquiring(true);
  const auto released = qScopeGuard([this] { SetAcquiring(false); });
  const PortCloser closer(port);
  work();
  if (PendingCommand.pending) SendPendingCommand();
}

void TformChart::nnAvgClick() {
  Settings.Average = !Settings.Average;
  const QSignalBlocker quiet(formChartOptions->cbAverage);
  formChartOptions->cbAverage->setChecked(Settings.Average);
}

void TformChart::nnSaveClick() { SaveDump(Samples); }
