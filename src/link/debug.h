#pragma once
// The debug window: a link check and the byte count of the capture in progress.
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TformDebug : public QWidget {
  Q_OBJECT
 public:
  TformDebug();

  QPlainTextEdit* mmDebug;
  QLineEdit* edRxCnt;
  QPushButton* btnCheck;
};

// Shows the debug window, or brings it to the front when it is open already.
void ShowDebugWindow();

extern TformDebug* formDebug;
