#include "link/debug.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TformDebug* formDebug = nullptr;

TformDebug::TformDebug() {
  setWindowTitle("Debug");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  setFont(QFont("MS Sans Serif", 8));
  setGeometry(570, 292, 500, 424);
  mmDebug = new QPlainTextEdit(this);
  mmDebug->setGeometry(0, height() - 190, width(), 190);
  edRxCnt = new QLineEdit("0", this);
  edRxCnt->setGeometry(196, 31, 149, 24);
  btnCheck = new QPushButton("Check", this);
  btnCheck->setGeometry(56, 32, 75, 25);
}

void ShowDebugWindow() {
  formDebug->show();
  formDebug->raise();
  formDebug->activateWindow();
}
