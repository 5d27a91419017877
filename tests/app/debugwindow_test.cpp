// The debug window: the link check's log line and clearing the log.
#include "board/ptyboard.h"
#include "link/comport.h"
#include "link/portdialog.h"
#include "link/debugwindow.h"
#include "windows_fixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

TEST_F(WindowsTest, DebugCheckLogsTheReplyAndADoubleClickClearsTheLog) {
  PtyBoard board;
  formComPort->ComPort->PortName = board.PortPath();
  QTest::mouseClick(formDebug->btnCheck, Qt::LeftButton);
  formComPort->ComPort->PortName = "/dev/tarnwick-no-such-port";
  formDebug->btnCheckClick();
  EXPECT_EQ(formDebug->mmDebug->toPlainText(), ">>6 : Hello!\n>>0 : ");

  formDebug->edRxCnt->setText("4096");
  QTest::mouseDClick(formDebug->mmDebug->viewport(), Qt::LeftButton);
  EXPECT_EQ(formDebug->mmDebug->toPlainText(), "");
  EXPECT_EQ(formDebug->edRxCnt->text(), "4096");
}
