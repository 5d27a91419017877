// Working the panel: buttons, arrow keys and the right click, with the
// frames checked where they reach the virtual board.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/mainform.h"
#include "board/ptyboard.h"
#include "capture/capturewindow.h"
#include "link/comport.h"
#include "link/portdialog.h"
#include "panel_fixture.h"

#include "test_support.h"

namespace {

class PanelActionsTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    LoadFrom("[BOXES]\nboxDynamic00=7 | GAIN\nboxDynamic01=-1 | WIDE\nboxDynamic02=noname\n"
             "boxDynamic06=300 | X\n"
             "[BUTTONS]\nbtnDynamic03=get_u\nbtnDynamic04=get_s\n");
    formComPort->ComPort->PortName = board.PortPath();
  }

  // The bytes that reached the board since the last look, once `count` have.
  Bytes Sent(std::size_t count) {
    WaitUntil([&] { return board.Received().size() >= count; });
    Bytes received = board.Received();
    board.ClearReceived();
    return received;
  }
  // Nothing reached the board: a write given now is the first it gets.
  bool NothingSent() {
    Press("00", "1");
    return Sent(8) == ShortFrame(0x47, 7, 1);
  }

  void Press(const char* suffix, const char* value) {
    CellEdit(suffix)->setText(value);
    QTest::mouseClick(CellButton(suffix), Qt::LeftButton);
  }

  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& box : boxes) texts.push_back(box.text);
    boxes.clear();
    return texts;
  }

  PtyBoard board;
};

}  // namespace

TEST_F(PanelActionsTest, AWriteCellSendsItsValueAndAReadCellShowsTheAnswer) {
  Press("00", "300");
  EXPECT_EQ(Sent(8), ShortFrame(0x47, 7, 0x2C));
  Press("00", "TimeOut");  // what a failed read left writes 0
  EXPECT_EQ(Sent(8), ShortFrame(0x47, 7, 0));

  board.SetRegister(3, 0xFE);
  Press("03", "letters are never parsed");
  EXPECT_EQ(Sent(8), ShortFrame(0xBB, 3, 0));
  EXPECT_EQ(CellEdit("03")->text(), "254");
  EXPECT_TRUE(boxes.empty());

  // Space on the focused button is a click too.
  board.SetRegister(4, 0x80);
  CellButton("04")->setFocus();
  QTest::keyClick(CellButton("04"), Qt::Key_Space);
  EXPECT_EQ(Sent(8), ShortFrame(0xBB, 4, 0));
  EXPECT_EQ(CellEdit("04")->text(), "128");
}

TEST_F(PanelActionsTest, ANegativeAddressIsTheWideAddressOfItsBitPattern) {
  Press("01", "$01020304");
  EXPECT_EQ(Sent(20), LongFrame(0x47, 40, 0x01020304));
}

TEST_F(PanelActionsTest, BadTextsAreReportedValueFirstAndSendNothing) {
  Press("02", "12a");
  Press("02", "-1");
  Press("02", "5");
  Press("05", "4294967296");
  EXPECT_EQ(Shown(), (std::vector<std::string>{"'12a' is not a valid integer value.",
                                               "Value is out of range.",
                                               "'' is not a valid integer value.",
                                               "Value is out of range."}));
  EXPECT_TRUE(NothingSent());
}

TEST_F(PanelActionsTest, ArrowsStepAWriteCellAndWriteIt) {
  struct Step {
    const char* before;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* after;
  };
  for (const Step& step : {Step{"255", Qt::Key_Up, Qt::NoModifier, "0"},
                           Step{"5", Qt::Key_Down, Qt::ControlModifier, "251"},
                           Step{"250", Qt::Key_Up, Qt::ControlModifier, "4"},
                           Step{"1000", Qt::Key_Up, Qt::NoModifier, "233"},
                           Step{"words", Qt::Key_Down, Qt::NoModifier, "255"}}) {
    CellEdit("00")->setText(step.before);
    QTest::keyClick(CellEdit("00"), static_cast<Qt::Key>(step.key), step.modifiers);
    EXPECT_EQ(CellEdit("00")->text(), step.after) << step.before;
    EXPECT_EQ(Sent(8), ShortFrame(0x47, 7, static_cast<std::uint8_t>(std::stoi(step.after)))) << step.before;
  }
  // A wide cell steps its whole 32-bit value and writes it as a long frame.
  for (const Step& step : {Step{"$12345678", Qt::Key_Up, Qt::NoModifier, "305419897"},
                           Step{"4294967295", Qt::Key_Up, Qt::NoModifier, "0"},
                           Step{"words", Qt::Key_Down, Qt::ControlModifier, "4294967286"}}) {
    CellEdit("06")->setText(step.before);
    QTest::keyClick(CellEdit("06"), static_cast<Qt::Key>(step.key), step.modifiers);
    EXPECT_EQ(CellEdit("06")->text(), step.after) << step.before;
    const auto value = static_cast<std::uint32_t>(std::stoul(step.after));
    EXPECT_EQ(Sent(20).size(), 20u) << step.before;
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(board.Register(3 + k), static_cast<std::uint8_t>(value >> (24 - 8 * k))) << step.before;
  }
  // Read cells and other keys: nothing at all.
  CellEdit("03")->setText("17");
  QTest::keyClick(CellEdit("03"), Qt::Key_Up);
  QTest::keyClick(CellEdit("00"), Qt::Key_PageUp);
  EXPECT_EQ(CellEdit("03")->text(), "17");
  EXPECT_TRUE(NothingSent());
}

TEST_F(PanelActionsTest, WhileTheCaptureHoldsThePortOnlyTheLastCommandWaitsForIt) {
  CaptureSession& capture = formChart->Session();
  ASSERT_TRUE(capture.Start(false));
  Press("00", "5");
  board.SetRegister(3, 0x2A);
  Press("03", "");
  EXPECT_TRUE(capture.CommandWaiting());
  capture.SendPending();  // the gap between two blocks
  EXPECT_EQ(Sent(8), ShortFrame(0xBB, 3, 0));
  EXPECT_EQ(CellEdit("03")->text(), "42");
  capture.Release();
  EXPECT_TRUE(NothingSent());
}

TEST_F(PanelActionsTest, ARightClickOnABoxOpensTheRegisterDialog) {
  ModalWatcher watcher;
  QTest::mouseClick(CellBox("05"), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(CellButton("05"), Qt::RightButton);
  EXPECT_TRUE(watcher.seen.isEmpty());  // the dialog runs within the click
  QTest::mouseClick(CellBox("05"), Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(WaitUntil([&] { return watcher.seen.contains("Set MSPI"); }));
}
