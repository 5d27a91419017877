#pragma once
// Shown once at start-up: the logo and a bar that fills, then it closes itself.
#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

class TformSplash : public QDialog {
  Q_OBJECT
 public:
  TformSplash();

  QLabel* Image1;
  QProgressBar* ProgressBar1;
  QTimer* Timer1;

  void FormShow();
  void Timer1Timer();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int tickCount = 0;  // the timer's ticks since this splash was made: it is shown once
};

extern TformSplash* formSplash;
