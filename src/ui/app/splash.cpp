#include "app/splash.h"

#include "app/logo.h"
#include "platform/messages.h"
#include "platform/placement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

TformSplash* formSplash = nullptr;

TformSplash::TformSplash() {
  setWindowTitle("splash");
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setFixedSize(254, 65);
  Image1 = new QLabel(this);
  Image1->setGeometry(0, 0, 254, 65 - 19);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setPixmap(TarnwickLogo());
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(0, 65 - 19, 254, 19);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  Timer1 = new QTimer(this);
  Timer1->setInterval(10);
  connect(Timer1, &QTimer::timeout, this, [this] { RunHandler([this] { Timer1Timer(); }); });
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const auto [left, top] = CentredAbove(screen.width(), screen.height(), width(), height(), 2);
  move(left, top);
}

void TformSplash::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RunHandler([this] { FormShow(); });
}

void TformSplash::FormShow() { Timer1->start(); }

void TformSplash::Timer1Timer() {
  if (tickCount == 100) {
    Timer1->stop();
    close();
    return;
  }
  ProgressBar1->setValue(std::min(ProgressBar1->value() + 2, ProgressBar1->maximum()));
  ++tickCount;
}
