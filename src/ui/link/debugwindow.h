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
  QLineEdit* edRxCnt;  // set by the capture loop
  QPushButton* btnCheck;

  void btnCheckClick();
  void mmDebugDblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

// Shows the debug window, or brings it to the front when it is open already.
void ShowDebugWindow();

extern TformDebug* formDebug;
