// The capture window against the virtual board: Once, Run, Stop, the
// pending panel command, the menu items and the ways a run ends.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QToolTip>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/mainform.h"
#include "board/ptyboard.h"
#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "capture/measurementtext.h"
#include "capture/measurewindow.h"
#include "chart/chart.h"
#include "link/comport.h"
#include "link/portdialog.h"
#include "link/debugwindow.h"
#include "link/registercommand.h"
#include "test_support.h"
#include "timelapse.h"
#include "windows_fixture.h"

namespace {

const Bytes CaptureRequest = ShortFrame(0xBC, 0x00);

// The capture's clock runs this many times faster than the board's, so that
// the 5-second rule is met in half a second; the board's delays are scaled
// to match.
constexpr int TimeLapse = 10;

int CountOf(const Bytes& bytes, const Bytes& frame) {
  int count = 0;
  for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), frame.begin(), frame.end())) != bytes.end();
       at += static_cast<long>(frame.size()))
    ++count;
  return count;
}

BoardOptions AnswerOf(std::size_t bytes) {
  BoardOptions options;
  options.captureBytes = bytes;
  return options;
}

class CaptureWindow : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    formMain->LoadLayout();
    UseBoard(AnswerOf(4096));
  }

  void UseBoard(const BoardOptions& options) {
    board = std::make_unique<PtyBoard>(options);
    formComPort->ComPort->PortName = board->PortPath();
  }

  // Runs, and has the given action done from within the run once it has shown a block.
  void RunUntil(const std::function<void()>& during) {
    When([this] { return Chart().Series1().Count() > 0; }, during);
    formChart->nnRun->trigger();
  }

  // Has the action done, from within whatever loop runs, as soon as the condition holds.
  static void When(const std::function<bool()>& condition, const std::function<void()>& action) {
    auto* poll = new QTimer(formChart);
    QObject::connect(poll, &QTimer::timeout, [=] {
      if (!condition()) return;
      poll->stop();
      poll->deleteLater();
      action();
    });
    poll->start(1);
  }

  TComPort& Port() { return *formComPort->ComPort; }
  TChart& Chart() { return *formChart->Chart; }

  std::unique_ptr<PtyBoard> board;
};

}  // namespace

TEST_F(CaptureWindow, OnceCapturesOneBlockShowsItAndClosesThePort) {
  formChart->nnOnce->trigger();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(board->Received(), CaptureRequest);
  EXPECT_EQ(Chart().Series1().Count(), 1024);
  EXPECT_EQ(Chart().Series2().Count(), 1024);
  EXPECT_EQ(formDebug->edRxCnt->text(), "4096");
  EXPECT_FALSE(Port().Opened);
}

TEST_F(CaptureWindow, OnlyWhileAveragingDoesABlockMoveTheHistoryBack) {
  const auto slot = [](const ChannelHistory& channel, int index) {
    return std::vector<std::int32_t>(channel.begin() + index * BlockLength,
                                     channel.begin() + (index + 1) * BlockLength);
  };
  const SampleHistory& samples = formChart->Session().Samples;
  formChart->nnOnce->trigger();
  const auto first = slot(samples.HistoryI, 0);
  const auto older = slot(samples.HistoryQ, 1);
  formChart->nnOnce->trigger();
  EXPECT_EQ(slot(samples.HistoryQ, 1), older);
  const auto second = slot(samples.HistoryI, 0);
  EXPECT_NE(second, first);  // the tone's phase runs on from block to block
  formChart->nnAvg->trigger();
  formChart->nnOnce->trigger();
  EXPECT_EQ(slot(samples.HistoryI, 1), second);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CaptureWindow, AFailedCaptureShowsTimeoutAndKeepsTheLastBlock) {
  formChart->nnOnce->trigger();
  const auto shown = Chart().Series1().Points().front().y;
  UseBoard(AnswerOf(4100));
  formChart->nnOnce->trigger();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Timeout");
  EXPECT_EQ(boxes[0].caption, "Port error");
  EXPECT_EQ(Chart().Series1().Points().front().y, shown);
  EXPECT_TRUE(formChart->nnRun->isEnabled());
  EXPECT_FALSE(Port().Opened);
}

TEST_F(CaptureWindow, RunCapturesUntilStopThenClosesThePort) {
  bool runningState = false;
  RunUntil([&] {
    runningState = !formChart->nnRun->isEnabled() && formChart->nnStop->isEnabled() &&
                   !formChart->nnOnce->isEnabled() && formChart->Session().Running() && Port().Opened;
    formChart->nnOnce->trigger();  // does nothing while running
    formChart->nnStop->trigger();
  });
  EXPECT_TRUE(runningState);
  EXPECT_FALSE(formChart->Session().Running());
  EXPECT_TRUE(formChart->nnRun->isEnabled());
  EXPECT_FALSE(formChart->nnStop->isEnabled());
  EXPECT_FALSE(Port().Opened);
  // The pass in which Stop was dispatched still captured its block.
  EXPECT_GE(CountOf(board->Received(), CaptureRequest), 2);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CaptureWindow, ARunStaysStoppableAndKeepsTheLinkCheckOffUntilItEnds) {
  bool stopOffered = false;
  bool checkOffered = true;
  RunUntil([&] {
    // What a restore from minimised sends: a spontaneous show of an open window.
    QShowEvent restored;
    QSpontaneKeyEvent::setSpontaneous(&restored);
    QApplication::sendEvent(formChart, &restored);
    stopOffered = formChart->nnStop->isEnabled();
    checkOffered = formDebug->btnCheck->isEnabled();
    formChart->nnStopClick();
  });
  EXPECT_TRUE(stopOffered);
  EXPECT_FALSE(checkOffered);
  EXPECT_TRUE(formDebug->btnCheck->isEnabled());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CaptureWindow, ACellClickedJustAfterStopIsServedByTheEndingRun) {
  RunUntil([] {
    formChart->nnStop->trigger();
    CellEdit("07")->setText("66");
    QTest::mouseClick(CellButton("07"), Qt::LeftButton);
  });
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(WaitUntil([&] { return board->Register(7) == 66; }));
  EXPECT_FALSE(formChart->Session().CommandWaiting());
  EXPECT_FALSE(Port().Opened);
  EXPECT_TRUE(formChart->nnRun->isEnabled());
}

TEST_F(CaptureWindow, APortHeldElsewhereIsBusyAtOnceForRunAndOnce) {
  TComPort other;
  other.PortName = board->PortPath();
  ASSERT_TRUE(other.Open());
  formChart->nnOnce->trigger();
  formChart->nnRun->trigger();
  ASSERT_EQ(boxes.size(), 2u);
  for (const MessageBoxRequest& box : boxes) {
    EXPECT_EQ(box.text, "Port is busy");
    EXPECT_EQ(box.caption, "Port error");
  }
  EXPECT_TRUE(board->Received().empty());
  EXPECT_TRUE(formChart->nnRun->isEnabled() && formChart->nnOnce->isEnabled());
  EXPECT_FALSE(formChart->nnStop->isEnabled());
  EXPECT_FALSE(formChart->Session().Running());

  // Any other reason is told as the port tells it.
  other.Close();
  Port().PortName = "/dev/tarnwick-no-such-port";
  boxes.clear();
  formChart->nnOnce->trigger();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Port /dev/tarnwick-no-such-port does not exist");
  EXPECT_FALSE(formChart->Session().Acquiring());
}

TEST_F(CaptureWindow, APanelCommandGivenDuringARunGoesOutBetweenTwoCaptures) {
  bool portHeld = false;
  RunUntil([&] {
    formChart->Session().Send([&portHeld](TComPort& port, bool held) {
      portHeld = held;
      const std::vector<std::uint8_t> write = RegisterFrame(0x47, 7, 0x55);
      port.Write(write.data(), static_cast<int>(write.size()));
    });
    When([] { return !formChart->Session().CommandWaiting(); }, [] { formChart->nnStop->trigger(); });
  });
  EXPECT_TRUE(portHeld);
  EXPECT_FALSE(formChart->Session().CommandWaiting());
  EXPECT_EQ(board->Register(7), 0x55);
  const Bytes received = board->Received();
  const Bytes write = ShortFrame(0x47, 0x07, 0x55);
  const auto at = std::search(received.begin(), received.end(), write.begin(), write.end());
  ASSERT_NE(at, received.end());
  EXPECT_GE(CountOf(Bytes(received.begin(), at), CaptureRequest), 1);
  EXPECT_GE(CountOf(Bytes(at, received.end()), CaptureRequest), 1);
}

TEST_F(CaptureWindow, StopDuringTheWaitForABlockEndsTheRunAtOnceAndDropsTheBlock) {
  BoardOptions silent;
  silent.silent = true;
  UseBoard(silent);
  When([this] { return board->Received().size() >= CaptureRequest.size(); },
       [] { formChart->nnStop->trigger(); });
  formChart->nnRun->trigger();  // returns when the run has ended
  EXPECT_TRUE(boxes.empty());   // no "Timeout" for a block the user stopped
  EXPECT_EQ(CountOf(board->Received(), CaptureRequest), 1);
  EXPECT_FALSE(Port().Opened);
  EXPECT_TRUE(formChart->nnRun->isEnabled() && formChart->nnOnce->isEnabled());
}

TEST_F(CaptureWindow, ABlockThatCameWhileADialogHeldTheWindowPastTheLimitIsTaken) {
  BoardOptions slow;
  slow.answerDelay = std::chrono::milliseconds(100);
  UseBoard(slow);
  formChart->Session().Now = TimeLapseClock(TimeLapse);
  // As a dialog opened during the wait would: 7 s by the capture's clock.
  When([this] { return board->Received().size() >= CaptureRequest.size(); }, [] { QTest::qWait(700); });
  formChart->nnOnce->trigger();
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Chart().Series1().Count(), 1024);
}

TEST_F(CaptureWindow, ClosingTheWindowEndsTheRun) {
  RunUntil([] { formChart->close(); });
  EXPECT_FALSE(formChart->Session().Running());
  EXPECT_FALSE(Port().Opened);
}

TEST_F(CaptureWindow, ClosingTheMainWindowEndsTheRunAndSaves) {
  RunUntil([] { formMain->close(); });
  EXPECT_FALSE(formChart->Session().Running());
  EXPECT_FALSE(Port().Opened);
  EXPECT_TRUE(std::filesystem::exists(LayoutFile()));
}

TEST_F(CaptureWindow, AFailureInsideTheRunSavesTheLayoutAndEndsTheProgram) {
  UseBoard(AnswerOf(4100));
  // The time-out box itself fails: something unexpected inside the loop.
  SetMessageBoxPresenter([this](const MessageBoxRequest& box) {
    boxes.push_back(box);
    if (box.text == "Timeout") throw std::runtime_error("broken");
  });
  formChart->nnRun->trigger();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Restart program");
  EXPECT_EQ(boxes[1].caption, "Fatal error");
  EXPECT_TRUE(std::filesystem::exists(LayoutFile()));
  EXPECT_FALSE(Port().Opened);
}

TEST_F(CaptureWindow, GraphItemsAndAvgChangeTheSettings) {
  formChart->nnOnce->trigger();
  formChart->nnGraph1->trigger();
  EXPECT_FALSE(formChart->Settings().Graph1);
  EXPECT_FALSE(formChart->nnGraph1->isChecked());
  EXPECT_EQ(Chart().Series1().Count(), 0);
  EXPECT_EQ(Chart().Series2().Count(), 1024);
  formChart->nnGraph1->trigger();
  EXPECT_EQ(Chart().Series1().Count(), 1024);

  formChart->nnAvg->trigger();
  EXPECT_TRUE(formChart->Settings().Average);
  EXPECT_TRUE(formChartOptions->cbAverage->isChecked());
  formChart->nnAvg->trigger();
  EXPECT_FALSE(formChartOptions->cbAverage->isChecked());
}

TEST_F(CaptureWindow, SaveWritesTheDumpOrSaysWhyItCannot) {
  const auto folder = Folder() / "dumps";
  std::filesystem::create_directories(folder);
  const auto back = qScopeGuard([was = std::filesystem::current_path()] {
    std::filesystem::current_path(was);
  });
  std::filesystem::current_path(folder);
  formChart->nnSave->trigger();
  EXPECT_EQ(std::filesystem::file_size(folder / "dump.bin"), 8192u);
  std::filesystem::remove(folder / "dump.bin");
  std::filesystem::create_directory(folder / "dump.bin");  // a folder where the file should go
  formChart->nnSave->trigger();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Unable to write to " + (folder / "dump.bin").string() + ".");
}

TEST_F(CaptureWindow, TheMenuEndsWithMeasureAndPeakAfterSave) {
  QStringList captions;
  for (const QAction* action : formChart->mmMenu->actions()) captions << action->text();
  EXPECT_EQ(captions, (QStringList{"Options...", "Graph", "Run", "Stop", "Once", "Avg", "Save", "Measure", "Peak"}));
}

namespace {

// The text of Measure()'s figures for the history's first blocks at the
// default 150 MHz.
QString FiguresOf(const SampleHistory& history, int blocks, MeasureSource source) {
  const auto samples = std::size_t(blocks) * BlockLength;
  const Measurement measured = Measure(std::span(history.HistoryI).first(samples),
                                       std::span(history.HistoryQ).first(samples), source, 150e6);
  return QString::fromStdString(MeasurementText(MeasurementRows(measured, source, blocks)));
}

}  // namespace

TEST_F(CaptureWindow, MeasureShowsTheFiguresOfTheBlocksAveragedOrTheNewestAndCopiesThem) {
  const SampleHistory& samples = formChart->Session().Samples;
  TformMeasure& window = *formChart->Measurements;
  formChart->nnAvg->trigger();
  for (int b = 0; b < 3; ++b) formChart->nnOnce->trigger();
  formChart->nnMeasure->trigger();
  ASSERT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "Measurements");
  EXPECT_EQ(window.Text(), FiguresOf(samples, 3, MeasureSource::Iq));
  EXPECT_TRUE(window.Text().contains("\nFundamental 5.41992 MHz (bin 37)\n")) << window.Text().toStdString();

  window.cbSource->setCurrentText("i");
  EXPECT_EQ(window.Text(), FiguresOf(samples, 3, MeasureSource::I));
  formChart->nnAvg->trigger();
  formChart->nnOnce->trigger();
  EXPECT_TRUE(WaitUntil([&] { return window.Text() == FiguresOf(samples, 1, MeasureSource::I); }));
  window.btCopy->click();
  EXPECT_EQ(QApplication::clipboard()->text(), window.Text());
  formChart->close();
  EXPECT_FALSE(window.isVisible());
}

TEST_F(CaptureWindow, PeakHoldKeepsEachPointsMaximumUntilTheModeOrTheRangeChanges) {
  DisplaySettings settings = formChart->Settings();
  settings.Spectrum = true;
  formChart->SetSettings(settings);
  std::vector<double> highest;
  const auto takeIn = [&] {
    highest.resize(Chart().Series1().Count(), -HUGE_VAL);
    for (const TChartSeries* graph : {&Chart().Series1(), &Chart().Series2()})
      for (int j = 0; j < graph->Count(); ++j) highest[j] = std::max(highest[j], graph->Points()[j].y);
  };
  const auto held = [&] {
    std::vector<double> peak;
    for (const ChartPoint& point : Chart().Series3().Points()) peak.push_back(point.y);
    return peak;
  };
  formChart->nnPeak->trigger();
  takeIn();
  for (int b = 0; b < 3; ++b) {
    formChart->nnOnce->trigger();
    takeIn();
  }
  EXPECT_EQ(held(), highest);

  settings.ComplexFft = true;
  formChart->SetSettings(settings);
  formChart->nnOnce->trigger();
  highest.clear();
  takeIn();
  EXPECT_EQ(held(), highest);
  Chart().LeftAxis().SetRange(-100, 100);
  formChart->nnOnce->trigger();
  highest.clear();
  takeIn();
  EXPECT_EQ(held(), highest);

  settings.Spectrum = false;
  formChart->SetSettings(settings);
  formChart->nnOnce->trigger();
  EXPECT_EQ(Chart().Series3().Count(), 0);
}

TEST_F(CaptureWindow, TheSpectrumMarksTheFundamentalAndHoveringTellsTheNearestPoint) {
  ChartSettings stored;
  stored.minX = 4.5, stored.maxX = 6.5, stored.minY = -150, stored.maxY = 50;  // a few bins about the tone
  stored.display.Spectrum = stored.display.ComplexFft = stored.display.RealAxis = true;
  formChart->ApplySettings(stored);
  formChart->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(formChart));
  formChart->nnOnce->trigger();
  double top = -HUGE_VAL;
  for (const ChartPoint& point : Chart().Series1().Points()) top = std::max(top, point.y);
  ASSERT_TRUE(Chart().Mark());
  EXPECT_DOUBLE_EQ(Chart().Mark()->x(), 37 * 150.0 / 1024);
  EXPECT_EQ(Chart().Mark()->y(), top);

  const QPoint at = Chart().ValueToPixel(Chart().Mark()->x(), top).toPoint();
  const QString expected = "5.41992 MHz, " + QString::number(top, 'g', 6) + " dBm";
  EXPECT_EQ(Chart().HoverText(at), expected);
  EXPECT_EQ(Chart().HoverText(Chart().PlotRect().topLeft() - QPoint(1, 1)), "");
  QTest::mouseMove(&Chart(), at);
  EXPECT_TRUE(WaitUntil([&] { return QToolTip::text() == expected; })) << QToolTip::text().toStdString();

  stored.display.Spectrum = false;
  formChart->ApplySettings(stored);
  formChart->nnOnce->trigger();
  EXPECT_FALSE(Chart().Mark());
}

namespace {

// A board fault met by one exchange of the capture window or a panel cell.
struct Fault {
  const char* name;
  BoardOptions board;
  enum { Once, Run, Read } exchange;
  enum { Nothing, StrayBytesBefore, KilledDuring } disturbance;
  std::vector<std::string> shown;  // the texts of the boxes, PORT for the board's port
  const char* field;               // what the read cell shows after a read
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

BoardOptions Options(std::size_t captureBytes, std::size_t readBytes = 6, int delayMs = 0,
                     bool silent = false) {
  BoardOptions options;
  options.captureBytes = captureBytes;
  options.readBytes = readBytes;
  options.answerDelay = std::chrono::milliseconds(delayMs);
  options.silent = silent;
  return options;
}

const std::vector<std::string> Timeout{"Timeout"};

const Fault Faults[] = {
    {"SilentBoardCapture", Options(4096, 6, 0, true), Fault::Once, Fault::Nothing, Timeout, nullptr},
    {"SilentBoardRead", Options(4096, 6, 0, true), Fault::Read, Fault::Nothing, Timeout, "TimeOut"},
    {"ThreeByteAnswer", Options(4096, 3), Fault::Read, Fault::Nothing, Timeout, "TimeOut"},
    {"FortyFiveByteAnswer", Options(4096, 45), Fault::Read, Fault::Nothing, {}, "42"},
    {"ShortBlock", Options(4095), Fault::Once, Fault::Nothing, Timeout, nullptr},
    {"LongBlock", Options(4100), Fault::Run, Fault::Nothing, Timeout, nullptr},
    {"BlockAfterFiveAndAHalfSeconds", Options(4096, 6, 5500 / TimeLapse), Fault::Once, Fault::Nothing, Timeout, nullptr},
    {"StrayBytesBeforeARead", Options(4096), Fault::Read, Fault::StrayBytesBefore, {}, "42"},
    {"StrayBytesBeforeACapture", Options(4096), Fault::Once, Fault::StrayBytesBefore, {}, nullptr},
    {"BoardKilledDuringARun", Options(4096), Fault::Run, Fault::KilledDuring, {"Port lost: PORT has gone"}, nullptr},
};

class BoardFaults : public CaptureWindow, public ::testing::WithParamInterface<Fault> {
 protected:
  void SetUp() override {
    CaptureWindow::SetUp();
    formChart->Session().Now = TimeLapseClock(TimeLapse);
    CellBox("00")->setTitle("7 | R");
    CellButton("00")->setText("get_u");
  }

  void Exchange(decltype(Fault::exchange) exchange, bool killDuringRun = false) {
    switch (exchange) {
      case Fault::Once: formChart->nnOnceClick(); break;
      case Fault::Run:
        // A run that no fault ends is stopped after a few passes.
        RunUntil([this, killDuringRun] { killDuringRun ? board->Vanish() : formChart->nnStopClick(); });
        break;
      case Fault::Read: QTest::mouseClick(CellButton("00"), Qt::LeftButton); break;
    }
  }

  // A late block still on its way would be the next exchange's noise: it is
  // let arrive first, as it would on the bench.
  void LetLateBytesArrive() {
    TComPort listener;
    listener.PortName = board->PortPath();
    ASSERT_TRUE(listener.Open());
    WaitUntil([&] { return listener.InQueueCount() >= 4095; }, 2000);
    listener.Close();
  }
};

}  // namespace

TEST_P(BoardFaults, EndIdleWithTheMessageAndTheNextGoodExchangeWorks) {
  const Fault& fault = GetParam();
  UseBoard(fault.board);
  board->SetRegister(7, 42);
  if (fault.disturbance == Fault::StrayBytesBefore) {
    board->SendUnasked({0xBB, 0x07, 0x00, 0x00, 0x00, 0x99, 0x12, 0x34});
    WaitUntil([] { return false; }, 20);  // the noise waits in the port's queue
  }
  const auto start = formChart->Session().Now();
  Exchange(fault.exchange, fault.disturbance == Fault::KilledDuring);
  EXPECT_LT(formChart->Session().Now() - start, std::chrono::seconds(7));  // the 5-second rule, and no hang beyond it

  std::vector<std::string> shown;
  for (const MessageBoxRequest& box : boxes) {
    shown.push_back(box.text);
    EXPECT_EQ(box.caption, "Port error");
  }
  std::vector<std::string> expected = fault.shown;
  for (std::string& text : expected)
    if (const auto at = text.find("PORT"); at != std::string::npos) text.replace(at, 4, board->PortPath());
  EXPECT_EQ(shown, expected);
  if (fault.field) {
    EXPECT_EQ(CellEdit("00")->text(), fault.field);
  }
  EXPECT_TRUE(formChart->nnRun->isEnabled() && formChart->nnOnce->isEnabled());
  EXPECT_FALSE(formChart->nnStop->isEnabled() || formChart->Session().Running() || formChart->Session().Acquiring());
  EXPECT_FALSE(Port().Opened);

  if (fault.disturbance == Fault::KilledDuring)
    UseBoard({});
  else if (fault.board.answerDelay.count() > 0)
    LetLateBytesArrive();
  board->SetOptions({});
  board->SetRegister(7, 43);
  boxes.clear();
  formChart->nnOnceClick();
  Exchange(Fault::Read);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(CellEdit("00")->text(), "43");
  EXPECT_EQ(Chart().Series1().Count(), 1024);
}

INSTANTIATE_TEST_SUITE_P(Board, BoardFaults, ::testing::ValuesIn(Faults),
                         [](const auto& info) { return std::string(info.param.name); });
